#pragma once

#include <string>

#include "Measure.h"

namespace brevanto::bench {

// sane-a4: one A4 page at 300 dpi in colour from SANE's test backend, through our source
// manager and the acquisition component as "Capturar" drives them, from the press to the
// acquire event; against scanimage writing the same page into a file.
void runSaneFigure(const BenchSettings& settings);

// One run of ours with SANE and the scanner settings in that folder; prints seconds.
int runSaneChild(const std::string& folder);

}  // namespace brevanto::bench
