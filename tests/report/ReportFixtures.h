#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "pdf/PdfClasses.h"
#include "report/TPRGridPanel.h"
#include "report/TPRJpegImage.h"
#include "report/TPRPage.h"
#include "support/PdfFileCheck.h"

// Writes a baseline JPEG of the given size: a red left half, a blue right half.
void WriteTestJpeg(const std::filesystem::path& path, int width, int height);

// The program's hidden page layout: an A4 page, margins 1, a 1 x 1 grid panel filling it and
// a JPEG item filling that.
struct ProgramLayout {
    ProgramLayout();
    TPRPage pagina;
    TPRGridPanel PRGridPanel1;
    TPRJpegImage PRJpegImage1;
};

// The text of indirect object n of a PDF file written by our writer ("n 0 obj" .. "endobj").
std::string PdfObjectText(const std::string& pdf, int n);

// Runs a command, answering its exit status; its output goes to output.
int RunCommand(const std::string& command, std::string& output);
