#pragma once

#include <filesystem>

#include "Measure.h"

namespace brevanto::bench {

// intake: one delivered A4 300-dpi page (a pf24bit bitmap in memory) to its BMP and quality-90
// JPEG page files, against `cp` of the BMP plus `cjpeg -quality 90` of it. Prints the time
// line and "intake-peak" (peak resident memory of the run against the BMP's size).
void runIntakeFigure(const BenchSettings& settings);

// One run of ours, in a process of its own so that its peak memory is its own: makes the page,
// writes its files into outFolder with WritePageFiles and prints "<seconds of the writing> <peak
// MiB>".
int runIntakeChild(const std::filesystem::path& outFolder);

}  // namespace brevanto::bench
