#include "SaneFigure.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>

#include "platform/graphics/Bitmap.h"
#include "platform/win/Directories.h"
#include "platform/win/qt/QtMessagePump.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace brevanto::bench {

namespace {

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// SANE's configuration with the test backend and its colour pattern on a glass that holds A4,
// and scanner settings that pick it and scan at once: colour, 300 dpi, A4.
void prepare(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    writeFile(folder / "dll.conf", "test\n");
    writeFile(folder / "test.conf",
              "number_of_devices 1\ngeometry_max 300.0\ntest-picture \"Color pattern\"\n");
    writeFile(folder / "twain.ini", "[SourceManager]\nAutoSelect=default\n[Sane]\nAutoScan=true\n");
    writeFile(folder / "sane-scanners.ini",
              "[test%253A0]\nMode=Color\nResolution=300\nSource=Flatbed\nPageSize=A4\n");
}

}  // namespace

int runSaneChild(const std::string& folder) {
    ::setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
    ::setenv("BREVANTO_TWAIN_INI", (folder + "/twain.ini").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Only the source manager built beside this program.
    win::SetFolderOverride(win::SystemFolder::Windows, folder);
    win::SetFolderOverride(win::SystemFolder::System, folder);
    int argc = 1;
    char name[] = "brevanto_bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    win::QtMessagePump pump;
    twain::TTwainManager manager;
    int width = 0;
    bool done = false;
    manager.OnTwainAcquire = [&](twain::TTwainObject*, int, graphics::Bitmap* image, bool& cancel) {
        width = image->width();
        cancel = true;
        done = true;
    };
    manager.OnSourceDisable = [&](twain::TTwainObject*, int) { done = true; };
    const double start = nowSeconds();
    if (!manager.LoadTwainLibrary()) throw std::runtime_error("no source manager");
    manager.SetSourceManagerLoaded(true);
    const int index = manager.ChooseSource();
    if (index < 0) throw std::runtime_error("no SANE test device");
    twain::TTwainSource* source = manager.Sources(index);
    source->SetLoaded(true);
    source->SetTransferMode(twain::ttmMemory);
    source->SetEnabled(true);
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double seconds = nowSeconds() - start;
    if (width < 2400) throw std::runtime_error("the page came back short");
    std::printf("%.6f\n", seconds);
    return 0;
}

void runSaneFigure(const BenchSettings& settings) {
    const std::filesystem::path folder = settings.dataFolder / "sane-a4";
    prepare(folder);
    std::filesystem::create_directories(settings.outFolder);
    ::setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
    const std::string pnm = (settings.outFolder / "sane-a4.pnm").string();
    std::vector<double> ours, floor;
    for (int round = 0; round <= settings.rounds; ++round) {
        const double seconds = std::stod(runSelf({"--child", "sane-a4", folder.string()}));
        const int out = ::open(pnm.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const double floorSeconds = timeProgram(
            {"scanimage", "-d", "test:0", "--format=pnm", "--mode", "Color", "--depth", "8",
             "--resolution", "300", "-l", "0", "-t", "0", "-x", "210", "-y", "297"},
            out);
        ::close(out);
        if (round == 0) continue;  // warms the file cache
        ours.push_back(seconds);
        floor.push_back(floorSeconds);
    }
    printFigure("sane-a4", median(ours), median(floor));
}

}  // namespace brevanto::bench
