// The document's temporary file: never through a planted link, never left behind by a writer
// that was killed, and never a half-written target.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ReportFixtures.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/TemporaryFile.h"
#include "report/TPReport.h"

namespace fs = std::filesystem;
using brevanto::graphics::Bitmap;

namespace {

std::vector<std::string> temporaryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".~", 0) == 0) names.push_back(name);
    }
    return names;
}

void age(const fs::path& file, std::chrono::minutes by) {
    const auto when = fs::file_time_type::clock::now() - by;
    fs::last_write_time(file, when);
}

// A complete document of ours ends with its trailer.
bool complete(const std::string& pdf) {
    return pdf.size() > 20 && pdf.compare(pdf.size() - 7, 7, "%%EOF\r\n") == 0 &&
           pdf.rfind("%PDF-1.2", 0) == 0;
}

// A page JPEG that takes its time to file: noise compresses badly.
void writeNoisyJpeg(const fs::path& path) {
    Bitmap bitmap(900, 900, brevanto::graphics::PixelFormat::pf24bit);
    std::mt19937 noise(7);
    for (int y = 0; y < bitmap.height(); ++y) {
        std::uint8_t* row = bitmap.scanLine(y);
        for (std::size_t x = 0; x < bitmap.stride(); ++x)
            row[x] = static_cast<std::uint8_t>(noise());
    }
    brevanto::graphics::JpegImage jpeg;
    jpeg.assign(bitmap);
    jpeg.saveToFile(path);
}

pid_t startWriter(const fs::path& target, const fs::path& page, int pages) {
    const std::string program = BREVANTO_BIN_DIR "/pdf_writer_process";
    const std::string targetText = target.string();
    const std::string pageText = page.string();
    const std::string pagesText = std::to_string(pages);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(targetText.c_str()),
                    const_cast<char*>(pageText.c_str()), const_cast<char*>(pagesText.c_str()),
                    nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

}  // namespace

TEST(TemporaryFile, ALinkPlantedWhereTheDocumentIsWrittenIsNeverFollowed) {
    RegisterPdfClasses();
    TempFolder folder;
    TempFolder elsewhere;
    const fs::path victim = elsewhere.Write("victim.txt", "keep me");
    WriteTestJpeg(folder.Path() / "page.jpg", 40, 30);
    const fs::path target = folder.Path() / "doc.pdf";
    // Every name a predictable scheme could pick, and names of our own temporary kind.
    for (int n = 0; n < 64; ++n) {
        const std::string pid = std::to_string(::getpid());
        fs::create_symlink(
            victim, fs::path(target.string() + ".~" + pid + "-" + std::to_string(n) + ".tmp"));
    }
    fs::create_symlink(victim, folder.Path() / ".~brevanto-pdf-planted.tmp");
    age(folder.Path() / ".~brevanto-pdf-planted.tmp", std::chrono::minutes(60));

    TProgramPageLayout layout;
    TPReport report;
    report.SetFileName(target.string());
    report.OpenDoc();
    layout.PRJpegImage1.Picture().loadFromFile(folder.Path() / "page.jpg");
    report.PrintPage(layout.pagina);
    report.CloseDoc();

    EXPECT_EQ(ReadFile(victim), "keep me");
    EXPECT_TRUE(complete(ReadFile(target)));
    ExpectAcceptedByTools(target);
}

TEST(TemporaryFile, StaleFilesOfOursGoUnlessAWriterHoldsThem) {
    TempFolder folder;
    const fs::path stale = folder.Write(".~brevanto-page-stale1.tmp", "left by a killed writer");
    const fs::path held = folder.Write(".~brevanto-pdf-held11.tmp", "being written");
    const fs::path fresh = folder.Write(".~brevanto-pdf-fresh1.tmp", "just started");
    const fs::path other = folder.Write(".~somebody-else.tmp", "not ours");
    for (const fs::path& file : {stale, held, other}) age(file, std::chrono::minutes(60));
    const int holder = ::open(held.c_str(), O_RDONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    brevanto::graphics::removeStaleTemporaryFiles(folder.Path().string(),
                                                  brevanto::graphics::staleTemporaryAge());
    ::close(holder);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(held));
    EXPECT_TRUE(fs::exists(fresh));
    EXPECT_TRUE(fs::exists(other));
}

TEST(TemporaryFile, AWriterKilledAtAnyMomentLeavesTheOldDocumentOrACompleteNewOne) {
    TempFolder folder;
    const fs::path page = folder.Path() / "page.jpg";
    writeNoisyJpeg(page);
    const fs::path target = folder.Path() / "filed.pdf";
    constexpr int kPages = 12;

    // The kills fall anywhere in a whole run, however fast this machine writes.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(finish(startWriter(folder.Path() / "timing.pdf", page, kPages)), 0);
    const auto run = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::steady_clock::now() - started)
                         .count();
    std::mt19937 chance(2026);
    std::string previous;
    int leftBehind = 0;
    for (int loop = 0; loop < 50; ++loop) {
        SCOPED_TRACE(loop);
        const pid_t writer = startWriter(target, page, kPages);
        ASSERT_GT(writer, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(chance() % (run + 1)));
        ::kill(writer, SIGKILL);
        finish(writer);
        if (!temporaryNames(folder.Path()).empty()) ++leftBehind;
        if (!fs::exists(target)) {
            EXPECT_TRUE(previous.empty());
            continue;
        }
        const std::string now = ReadFile(target);
        EXPECT_TRUE(complete(now));
        previous = now;
    }
    // Some writers died with their temporary file open (each next writer cleans up).
    EXPECT_GT(leftBehind, 0);

    // The next document written there removes what the killed writers left.
    const pid_t writer = startWriter(target, page, 1);
    const int status = finish(writer);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(temporaryNames(folder.Path()).empty());
    ExpectConsistentXref(ReadFile(target));
}
