#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"

namespace brevanto::graphics::test {

// A folder under the system temp folder, removed with everything in it when the object dies.
class TempFolder {
  public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }
    // Names of the entries in the folder.
    std::vector<std::string> entries() const;

  private:
    std::filesystem::path path_;
};

// A bitmap of the format whose pixels follow a fixed pattern that depends on x and y, so that
// any row or column mix-up shows. Palette formats get a palette of distinct colours and use
// every index; 15 and 16 bits use colours those formats store exactly.
Bitmap patternBitmap(int width, int height, PixelFormat format);

// The colour of the pattern at (x, y) in that format.
RgbColor patternColor(int x, int y, PixelFormat format);

// Smooth colour gradient, pf24bit: what a scan looks like to a JPEG codec.
Bitmap gradientBitmap(int width, int height);

std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& data);

// Little-endian stores for building headers by hand.
void putU16(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value);
void putU32(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value);

}  // namespace brevanto::graphics::test
