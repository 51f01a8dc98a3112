#include "SaveFigure.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "SyntheticPage.h"
#include "pdf/PdfClasses.h"
#include "platform/graphics/JpegCodec.h"
#include "report/ProgramPageLayout.h"
#include "report/TPReport.h"

namespace brevanto::bench {

namespace {

constexpr int kPages = 50;
constexpr int kQuality = 90;

std::filesystem::path pagePath(const std::filesystem::path& folder, int page) {
    char name[32];
    std::snprintf(name, sizeof name, "page-%02d.jpg", page);
    return folder / name;
}

// The page files, made once and kept: a marker file says the set is whole.
std::filesystem::path preparePages(const std::filesystem::path& dataFolder) {
    const std::filesystem::path folder = dataFolder / "save50";
    const std::filesystem::path done = folder / "complete";
    if (std::filesystem::exists(done)) return folder;
    emptyFolder(folder);
    std::uintmax_t total = 0;
    for (int page = 0; page < kPages; ++page) {
        const std::vector<std::uint8_t> jpeg =
            graphics::encodeJpeg(makeScannedPage(100 + static_cast<unsigned>(page)), kQuality);
        std::ofstream(pagePath(folder, page), std::ios::binary)
            .write(reinterpret_cast<const char*>(jpeg.data()),
                   static_cast<std::streamsize>(jpeg.size()));
        total += jpeg.size();
    }
    std::ofstream(done) << "pages " << kPages << ", " << total / kPages << " bytes each\n";
    std::fprintf(stderr, "save50: made %d pages of %ju bytes each\n", kPages,
                 static_cast<std::uintmax_t>(total / kPages));
    return folder;
}

// cat of every page into one new file, then fsync: the least any filing can cost.
double timeFloor(const std::filesystem::path& pages, const std::filesystem::path& target) {
    std::vector<std::string> argv{"cat"};
    for (int page = 0; page < kPages; ++page) argv.push_back(pagePath(pages, page).string());
    const double start = nowSeconds();
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw std::runtime_error("cannot create " + target.string());
    timeProgram(argv, fd);
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!synced || !closed) throw std::runtime_error("cannot write " + target.string());
    return nowSeconds() - start;
}

}  // namespace

int runSaveChild(const std::filesystem::path& pageFolder, const std::filesystem::path& pdf) {
    RegisterPdfClasses();
    const double start = nowSeconds();
    // What TDocumentFiler::writeDocument does for "Salvar PDF": one A4 page per page JPEG, the
    // document written, fsynced and given its name (never replacing one) at the end. The filer
    // itself also records a database row, which would need a database server here.
    TProgramPageLayout layout;
    TPReport report;
    report.SetReplaceExisting(false);
    report.SetFileName(pdf.string());
    report.OpenDoc();
    for (int page = 0; page < kPages; ++page) {
        layout.PRJpegImage1.SetSharedImage(false);
        layout.PRJpegImage1.Picture().loadFromFile(pagePath(pageFolder, page));
        report.PrintPage(layout.pagina);
    }
    report.CloseDoc();
    std::printf("%.6f\n", nowSeconds() - start);
    return 0;
}

void runSaveFigure(const BenchSettings& settings) {
    const std::filesystem::path pages = preparePages(settings.dataFolder);
    const std::filesystem::path out = settings.outFolder / "save50";
    std::vector<double> ours, floor;
    for (int round = 0; round <= settings.rounds; ++round) {
        emptyFolder(out);
        const double seconds =
            std::stod(runSelf({"--child", "save50", pages.string(), (out / "filed.pdf").string()}));
        emptyFolder(out);
        const double floorSeconds = timeFloor(pages, out / "floor.pdf");
        if (round == 0) continue;  // warms the page cache
        ours.push_back(seconds);
        floor.push_back(floorSeconds);
    }
    std::filesystem::remove_all(out);
    printFigure("save50", median(ours), median(floor));
}

}  // namespace brevanto::bench
