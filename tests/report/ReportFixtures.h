#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "pdf/PdfClasses.h"
#include "report/ProgramPageLayout.h"
#include "support/PdfFileCheck.h"

// Writes a baseline JPEG of the given size: a red left half, a blue right half.
void WriteTestJpeg(const std::filesystem::path& path, int width, int height);

// The text of indirect object n of a PDF file written by our writer ("n 0 obj" .. "endobj").
std::string PdfObjectText(const std::string& pdf, int n);

// Runs a command, answering its exit status; its output goes to output.
int RunCommand(const std::string& command, std::string& output);
