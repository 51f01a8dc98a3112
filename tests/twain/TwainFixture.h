#pragma once

// The common ground of the TWAIN component tests: five private folders standing in for the
// directories the manager searches, the scripted source manager copied into the ones a test
// picks, a manager whose events write into the script's journal, and leak checks of movable
// memory and bitmap handles at the end of every test.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DsmScript.h"
#include "platform/graphics/Bitmap.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace twaintest {

class TwainFixture : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Folders: "windows", "system", "current", "program", "temp".
    std::filesystem::path folder(const std::string& name) const { return root_ / name; }
    void installLibrary(const std::string& folderName);
    void installFile(const std::string& folderName, const std::filesystem::path& file);

    // A manager whose events write "OnX <index> ..." into the journal.
    std::unique_ptr<twain::TTwainManager> makeManager();
    // Library in "system", manager open, `count` sources listed (ids 1..count).
    std::unique_ptr<twain::TTwainManager> openManager(int count);
    // The same with source 0 opened and enabled; the journal is cleared afterwards.
    std::unique_ptr<twain::TTwainManager> enabledSource(twain::TTwainTransferMode mode);

    // Posts a message to the manager's window and answers it as the source's MSG_XFERREADY;
    // then drains the queue as the event loop would.
    void announceImages(twain::TTwainManager& manager);

    dsmscript::Script& script() { return dsmscript::script(); }
    std::vector<std::string>& journal() { return dsmscript::script().journal; }

    // Whether a handler keeps Cancel false (default) or sets it.
    bool cancelInAcquire = false;
    // Copies of the delivered images.
    std::vector<brevanto::graphics::Bitmap> acquired;
    std::vector<std::string> progress;

  private:
    std::filesystem::path root_;
    std::size_t memoryBefore_ = 0;
    std::size_t bitmapsBefore_ = 0;
};

// Journal entries that are events (not source manager calls).
std::vector<std::string> eventsOf(const std::vector<std::string>& journal);

}  // namespace twaintest
