#pragma once

#include <string>

#include "Measure.h"

namespace brevanto::bench {

// list100k: the filed-document list over 100,000 filed documents of 20,000 cases, opened (the
// full list) and searched with one letter, through our query component and grid model up to
// the grid's first screen of rows, against the server's own command-line client printing the
// same statements. Each run connects first, as the client does.
void runListFigure(const BenchSettings& settings);

// One run of ours: "open" or "search" against the database on that socket; prints seconds.
int runListChild(const std::string& socket, const std::string& database, const std::string& what);

}  // namespace brevanto::bench
