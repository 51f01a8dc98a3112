#include "IntakeFigure.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "SyntheticPage.h"
#include "app/PageFiles.h"
#include "platform/graphics/Bitmap.h"

namespace brevanto::bench {

namespace {

constexpr unsigned kPageSeed = 1;
constexpr int kQuality = 90;

std::filesystem::path prepareBmp(const std::filesystem::path& dataFolder) {
    const std::filesystem::path bmp = dataFolder / "intake" / "page.bmp";
    if (!std::filesystem::exists(bmp)) {
        std::filesystem::create_directories(bmp.parent_path());
        makeScannedPage(kPageSeed).saveToFile(bmp);
    }
    return bmp;
}

}  // namespace

int runIntakeChild(const std::filesystem::path& outFolder) {
    // What the program holds before a page arrives (its libraries, mostly) is not the intake's.
    resetPeakResident();
    const double before = residentMiB();
    const graphics::Bitmap page = makeScannedPage(kPageSeed);
    const double start = nowSeconds();
    WritePageFiles(page, outFolder.string(), "page");
    const double seconds = nowSeconds() - start;
    std::printf("%.6f %.3f\n", seconds, peakResidentMiB() - before);
    return 0;
}

void runIntakeFigure(const BenchSettings& settings) {
    const std::filesystem::path bmp = prepareBmp(settings.dataFolder);
    const std::filesystem::path out = settings.outFolder / "intake";
    const double bmpMiB = static_cast<double>(std::filesystem::file_size(bmp)) / (1024.0 * 1024.0);

    std::vector<double> ours, floor, peaks;
    // Round 0 warms the page cache and the programs; it is not counted.
    for (int round = 0; round <= settings.rounds; ++round) {
        emptyFolder(out);
        std::istringstream result(runSelf({"--child", "intake", out.string()}));
        double seconds = 0, peak = 0;
        if (!(result >> seconds >> peak)) throw std::runtime_error("intake child printed nothing");

        emptyFolder(out);
        double floorSeconds = timeProgram({"cp", bmp.string(), (out / "page.bmp").string()});
        floorSeconds += timeProgram({"cjpeg", "-quality", std::to_string(kQuality), "-outfile",
                                     (out / "page.jpg").string(), bmp.string()});
        if (round == 0) continue;
        ours.push_back(seconds);
        peaks.push_back(peak);
        floor.push_back(floorSeconds);
    }
    std::filesystem::remove_all(out);
    printFigure("intake", median(ours), median(floor));
    printFigure("intake-peak", median(peaks), bmpMiB);
}

}  // namespace brevanto::bench
