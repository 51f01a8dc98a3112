#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "pdf/PdfClasses.h"
#include "report/TPRGridPanel.h"
#include "report/TPRJpegImage.h"
#include "report/TPRPage.h"

// A folder of its own for one test, removed with everything in it afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Writes a baseline JPEG of the given size: a red left half, a blue right half.
void WriteTestJpeg(const std::filesystem::path& path, int width, int height);

std::string ReadFileBytes(const std::filesystem::path& path);

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
