#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

// Checks on whole written PDF files: the cross-reference table against the bytes, and the
// verdicts of qpdf and poppler. Each adds GoogleTest failures; none aborts the test.

// Every xref line is 20 bytes and every "n" offset points at the first digit of its
// "n 0 obj" line; startxref points at "xref"; the trailer's Size is the entry count.
void ExpectConsistentXref(std::string_view file);

// `qpdf --check` exits 0 and `pdfinfo` exits 0 with nothing on stderr.
void ExpectAcceptedByTools(const std::filesystem::path& file);

// The first page as pdftoppm renders it at dpi dots per inch: RGB pixels, top row first. Adds
// a failure when pdftoppm exits non-zero, writes anything on stderr or leaves no picture.
struct RenderedPage {
    int width = 0;
    int height = 0;
    std::string rgb;
    // The colour at (x, y), red, green and blue from 0 to 255.
    std::array<int, 3> Pixel(int x, int y) const;
};
RenderedPage RenderFirstPage(const std::filesystem::path& file, int dpi);

// A fresh, empty folder for one test's files, removed with the object.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes the bytes to a file in the folder and answers its path.
    std::filesystem::path Write(const std::string& name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& file);
