#include "ReportFixtures.h"

#include <array>
#include <cstdio>

#include <sys/wait.h>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JpegImage.h"

using namespace brevanto::graphics;

void WriteTestJpeg(const std::filesystem::path& path, int width, int height) {
    Bitmap bitmap(width, height, PixelFormat::pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, x < width / 2 ? RgbColor{220, 20, 20} : RgbColor{20, 20, 220});
    JpegImage jpeg;
    jpeg.assign(bitmap);
    jpeg.saveToFile(path);
}

std::string PdfObjectText(const std::string& pdf, int n) {
    const std::string start = "\n" + std::to_string(n) + " 0 obj";
    const auto from = pdf.find(start);
    if (from == std::string::npos) return {};
    const auto to = pdf.find("endobj", from);
    return pdf.substr(from + 1, to == std::string::npos ? std::string::npos : to - from - 1);
}

int RunCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
