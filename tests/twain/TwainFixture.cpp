#include "TwainFixture.h"

#include <atomic>

#include <unistd.h>

#include "platform/graphics/Bitmap.h"
#include "platform/win/Directories.h"
#include "platform/win/Gdi.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"

namespace twaintest {
namespace {

using win::SystemFolder;

std::filesystem::path uniqueRoot() {
    static std::atomic<int> serial{0};
    return std::filesystem::temp_directory_path() /
           ("twain-test-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
}

}  // namespace

void TwainFixture::SetUp() {
    script().reset();
    win::DispatchPostedMessages();
    root_ = uniqueRoot();
    for (const char* name : {"windows", "system", "current", "program", "temp"})
        std::filesystem::create_directories(root_ / name);
    win::SetFolderOverride(SystemFolder::Windows, (root_ / "windows").string());
    win::SetFolderOverride(SystemFolder::System, (root_ / "system").string());
    win::SetFolderOverride(SystemFolder::Current, (root_ / "current").string());
    win::SetFolderOverride(SystemFolder::ProgramFile, (root_ / "program" / "brevanto").string());
    win::SetFolderOverride(SystemFolder::Temp, (root_ / "temp").string() + "/");
    memoryBefore_ = win::GlobalHandleCount();
    bitmapsBefore_ = win::BitmapHandleCount();
}

void TwainFixture::TearDown() {
    win::DispatchPostedMessages();
    EXPECT_EQ(win::GlobalHandleCount(), memoryBefore_) << "movable memory leaked";
    EXPECT_EQ(win::BitmapHandleCount(), bitmapsBefore_) << "bitmap handles leaked";
    for (auto folder : {SystemFolder::Windows, SystemFolder::System, SystemFolder::Current,
                        SystemFolder::ProgramFile, SystemFolder::Temp})
        win::SetFolderOverride(folder, std::nullopt);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void TwainFixture::installLibrary(const std::string& folderName) {
    installFile(folderName, SCRIPTED_DSM_PATH);
}

void TwainFixture::installFile(const std::string& folderName, const std::filesystem::path& file) {
    std::filesystem::copy_file(file, root_ / folderName / twain::TTwainManager::kLibraryName,
                               std::filesystem::copy_options::overwrite_existing);
}

std::unique_ptr<twain::TTwainManager> TwainFixture::makeManager() {
    auto manager = std::make_unique<twain::TTwainManager>();
    twain::TTwainManager* self = manager.get();
    auto sender = [self](twain::TTwainObject* object) -> std::string {
        if (object == self) return "manager";
        return dynamic_cast<twain::TTwainSource*>(object) != nullptr ? "source" : "?";
    };
    manager->OnSourceDisable = [this, sender](twain::TTwainObject* s, int index) {
        journal().push_back("OnSourceDisable " + sender(s) + " " + std::to_string(index));
    };
    manager->OnAcquireCancel = [this, sender](twain::TTwainObject* s, int index) {
        journal().push_back("OnAcquireCancel " + sender(s) + " " + std::to_string(index));
    };
    manager->OnSourceSetupFileXfer = [this, sender](twain::TTwainObject* s, int index) {
        journal().push_back("OnSourceSetupFileXfer " + sender(s) + " " + std::to_string(index));
    };
    manager->OnTwainAcquire = [this, sender](twain::TTwainObject* s, int index,
                                             brevanto::graphics::Bitmap* image, bool& cancel) {
        journal().push_back("OnTwainAcquire " + sender(s) + " " + std::to_string(index));
        acquired.push_back(*image);
        if (cancelInAcquire) cancel = true;
    };
    manager->OnSourceFileTransfer = [this, sender](twain::TTwainObject* s, int index,
                                                   TW_STR255& name, twain::TTwainFormat format,
                                                   bool& cancel) {
        journal().push_back("OnSourceFileTransfer " + sender(s) + " " + std::to_string(index) +
                            " " + name + " " + std::to_string(format));
        if (cancelInAcquire) cancel = true;
    };
    manager->OnAcquireError = [this, sender](twain::TTwainObject* s, int index, int error,
                                             int additional) {
        journal().push_back("OnAcquireError " + sender(s) + " " + std::to_string(index) + " " +
                            std::to_string(error) + " " + std::to_string(additional));
    };
    manager->OnAcquireProgress = [this, sender](twain::TTwainObject* s, int index, win::HBITMAP,
                                                int current, int total) {
        progress.push_back(sender(s) + " " + std::to_string(index) + " " + std::to_string(current) +
                           "/" + std::to_string(total));
    };
    return manager;
}

std::unique_ptr<twain::TTwainManager> TwainFixture::openManager(int count) {
    installLibrary("system");
    for (int i = 1; i <= count; ++i)
        script().sources.push_back(
            dsmscript::makeIdentity(static_cast<TW_UINT32>(i), "Scanner " + std::to_string(i)));
    auto manager = makeManager();
    EXPECT_TRUE(manager->LoadTwainLibrary());
    manager->SetSourceManagerLoaded(true);
    EXPECT_TRUE(manager->SourceManagerLoaded());
    EXPECT_EQ(manager->SourceCount(), count);
    return manager;
}

std::unique_ptr<twain::TTwainManager> TwainFixture::enabledSource(twain::TTwainTransferMode mode) {
    auto manager = openManager(1);
    twain::TTwainSource* source = manager->Sources(0);
    source->SetLoaded(true);
    source->SetTransferMode(mode);
    source->SetEnabled(true);
    EXPECT_TRUE(source->Enabled());
    script().journal.clear();
    script().calls.clear();
    return manager;
}

void TwainFixture::announceImages(twain::TTwainManager& manager) {
    script().once(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                  dsmscript::processEvent(TWRC_DSEVENT, MSG_XFERREADY));
    win::PostMessage(manager.WindowHandle(), win::WM_USER + 1, 0, 0);
    win::DispatchPostedMessages();
}

std::vector<std::string> eventsOf(const std::vector<std::string>& journal) {
    std::vector<std::string> events;
    for (const std::string& entry : journal)
        if (entry.rfind("On", 0) == 0) events.push_back(entry);
    return events;
}

}  // namespace twaintest
