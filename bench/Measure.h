#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brevanto::bench {

// What a figure needs to know: where its input data are kept between runs, where its output
// goes, and how many measured rounds of ours and the floor to interleave.
struct BenchSettings {
    std::filesystem::path dataFolder;
    std::filesystem::path outFolder;
    int rounds = 7;
};

// Seconds on the monotonic clock.
double nowSeconds();

// Runs a program (looked up in PATH) and waits for it; its standard output goes to stdoutFd
// when that is not -1. Answers the wall time in seconds; throws std::runtime_error when the
// program cannot start or does not exit with 0.
double timeProgram(const std::vector<std::string>& argv, int stdoutFd = -1);

// Runs this benchmark program again with the arguments and answers what it printed on its
// standard output; throws std::runtime_error when it fails.
std::string runSelf(const std::vector<std::string>& arguments);

// The process's peak resident memory, in MiB, since it started or since resetPeakResident.
void resetPeakResident();
double peakResidentMiB();
// The process's resident memory now, in MiB.
double residentMiB();

double median(std::vector<double> values);

// The one line of a figure: "<figure> ours=<x> floor=<y> ratio=<x/y>".
void printFigure(const std::string& figure, double ours, double floor);

// Removes and recreates a folder.
void emptyFolder(const std::filesystem::path& folder);

}  // namespace brevanto::bench
