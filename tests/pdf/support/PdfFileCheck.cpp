#include "support/PdfFileCheck.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun Run(const std::string& command, const fs::path& scratch) {
    const fs::path out = scratch / "tool.out";
    const fs::path err = scratch / "tool.err";
    const std::string line = command + " >'" + out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(line.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

}  // namespace

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void ExpectConsistentXref(std::string_view file) {
    const size_t startxref = file.rfind("startxref\r\n");
    ASSERT_NE(startxref, std::string_view::npos);
    const long long xrefAt = std::atoll(std::string(file.substr(startxref + 11, 20)).c_str());
    ASSERT_GT(xrefAt, 0);
    ASSERT_LT(static_cast<size_t>(xrefAt), file.size());
    EXPECT_EQ(file.substr(xrefAt, 6), "xref\r\n");
    EXPECT_EQ(file.rfind("xref\r\n", startxref - 1), static_cast<size_t>(xrefAt));

    const size_t countAt = xrefAt + 6;
    ASSERT_EQ(file.substr(countAt, 2), "0 ");
    const size_t countEnd = file.find("\r\n", countAt);
    const int count =
        std::atoi(std::string(file.substr(countAt + 2, countEnd - countAt - 2)).c_str());
    ASSERT_GT(count, 0);
    size_t line = countEnd + 2;
    for (int i = 0; i < count; ++i, line += 20) {
        const std::string_view entry = file.substr(line, 20);
        ASSERT_EQ(entry.size(), 20u);
        EXPECT_EQ(entry.substr(18), "\r\n") << "entry " << i;
        EXPECT_EQ(entry[10], ' ');
        EXPECT_EQ(entry[16], ' ');
        if (i == 0) {
            EXPECT_EQ(entry.substr(0, 18), "0000000000 65535 f");
            continue;
        }
        EXPECT_EQ(entry.substr(10, 8), " 00000 n") << "entry " << i;
        const long long offset = std::atoll(std::string(entry.substr(0, 10)).c_str());
        const std::string header = std::to_string(i) + " 0 obj\r\n";
        EXPECT_EQ(file.substr(offset, header.size()), header) << "entry " << i;
        // The object before ends right where this one starts.
        if (i > 1) {
            EXPECT_EQ(file.substr(offset - 8, 8), "endobj\r\n") << "entry " << i;
        }
    }
    EXPECT_EQ(file.substr(line, 9), "trailer\r\n");
    EXPECT_NE(file.find("/Size " + std::to_string(count) + "\r\n", line), std::string_view::npos);
    EXPECT_TRUE(file.ends_with("%%EOF\r\n"));
}

void ExpectAcceptedByTools(const fs::path& file) {
    TempFolder scratch;
    const ToolRun qpdf = Run("qpdf --check '" + file.string() + "'", scratch.Path());
    EXPECT_EQ(qpdf.exitCode, 0) << qpdf.out << qpdf.err;
    const ToolRun info = Run("pdfinfo '" + file.string() + "'", scratch.Path());
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.err, "");
    EXPECT_NE(info.out.find("PDF version:     1.2"), std::string::npos) << info.out;
}

std::array<int, 3> RenderedPage::Pixel(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
    return {static_cast<unsigned char>(rgb.at(at)), static_cast<unsigned char>(rgb.at(at + 1)),
            static_cast<unsigned char>(rgb.at(at + 2))};
}

RenderedPage RenderFirstPage(const fs::path& file, int dpi) {
    TempFolder scratch;
    const fs::path prefix = scratch.Path() / "page";
    const ToolRun run = Run("pdftoppm -r " + std::to_string(dpi) + " -f 1 -l 1 -singlefile '" +
                                file.string() + "' '" + prefix.string() + "'",
                            scratch.Path());
    RenderedPage page;
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // "P6", width, height, maximum 255, one white-space byte, then the pixels.
    const std::string ppm = ReadFile(prefix.string() + ".ppm");
    std::istringstream header(ppm);
    std::string magic;
    int max = 0;
    header >> magic >> page.width >> page.height >> max;
    if (magic != "P6" || max != 255 || page.width <= 0 || page.height <= 0) {
        ADD_FAILURE() << "pdftoppm left no picture";
        return {};
    }
    page.rgb = ppm.substr(static_cast<std::size_t>(header.tellg()) + 1);
    EXPECT_EQ(page.rgb.size(), static_cast<std::size_t>(page.width) * page.height * 3);
    return page;
}

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "brevanto-pdf-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::Write(const std::string& name, std::string_view bytes) const {
    const fs::path file = path_ / name;
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}
