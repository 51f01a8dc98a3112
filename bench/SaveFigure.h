#pragma once

#include <filesystem>

#include "Measure.h"

namespace brevanto::bench {

// save50: "Salvar PDF" of 50 A4 300-dpi JPEG pages (about 1.4 MB each) through the filing path,
// against `cat` of the same JPEG files into one file followed by fsync.
void runSaveFigure(const BenchSettings& settings);

// One run of ours in a process of its own: files the pages of pageFolder as pdf and prints the
// seconds it took.
int runSaveChild(const std::filesystem::path& pageFolder, const std::filesystem::path& pdf);

}  // namespace brevanto::bench
