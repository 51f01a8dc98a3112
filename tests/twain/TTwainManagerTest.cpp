#include <fstream>

#include <gtest/gtest.h>

#include "TwainFixture.h"
#include "platform/win/Directories.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Window.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace twaintest {
namespace {

using dsmscript::Call;
using twain::TTwainManager;
using twain::TTwainSource;
using Strings = std::vector<std::string>;

class TTwainManagerTest : public TwainFixture {};

TEST_F(TTwainManagerTest, WithoutLibraryLoadFailsAndSearchesAgainNextTime) {
    auto manager = makeManager();
    EXPECT_FALSE(manager->LoadTwainLibrary());
    EXPECT_FALSE(manager->LibraryLoaded());
    EXPECT_EQ(manager->LibraryHandle(), nullptr);
    installLibrary("temp");
    EXPECT_TRUE(manager->LoadTwainLibrary());
    EXPECT_TRUE(manager->LibraryLoaded());
    ASSERT_EQ(script().lifecycle.size(), 1u);
    EXPECT_EQ(script().lifecycle[0],
              "loaded " + (folder("temp") / TTwainManager::kLibraryName).string());
}

TEST_F(TTwainManagerTest, SearchTakesTheFirstFolderInOrder) {
    struct Case {
        std::vector<std::string> installed;
        std::string loaded;
    };
    const Case cases[] = {
        {{"windows", "system", "current", "program", "temp"}, "windows"},
        {{"system", "program"}, "system"},
        {{"current", "temp"}, "current"},
        {{"program", "temp"}, "program"},
        {{"temp"}, "temp"},
    };
    for (const Case& c : cases) {
        for (const char* name : {"windows", "system", "current", "program", "temp"})
            std::filesystem::remove(folder(name) / TTwainManager::kLibraryName);
        for (const std::string& name : c.installed) installLibrary(name);
        script().lifecycle.clear();
        {
            auto manager = makeManager();
            ASSERT_TRUE(manager->LoadTwainLibrary()) << c.loaded;
        }
        ASSERT_EQ(script().lifecycle.size(), 2u);
        EXPECT_EQ(script().lifecycle[0],
                  "loaded " + (folder(c.loaded) / TTwainManager::kLibraryName).string());
    }
}

TEST_F(TTwainManagerTest, FoldersAndFilesOthersMayWriteAreSkipped) {
    using std::filesystem::perms;
    struct Case {
        const char* name;
        perms folder;
        perms file;
        std::string loaded;
    };
    const perms safeFolder = perms::owner_all | perms::group_read | perms::group_exec |
                             perms::others_read | perms::others_exec;
    const perms safeFile =
        perms::owner_read | perms::owner_write | perms::group_read | perms::others_read;
    const Case cases[] = {
        {"safe", safeFolder, safeFile, "system"},
        {"world-writable folder like /tmp", perms::all | perms::sticky_bit, safeFile, "program"},
        {"group-writable folder", safeFolder | perms::group_write, safeFile, "program"},
        {"world-writable file", safeFolder, safeFile | perms::others_write, "program"},
        {"group-writable file", safeFolder, safeFile | perms::group_write, "program"},
    };
    installLibrary("program");
    installLibrary("system");
    const auto library = folder("system") / TTwainManager::kLibraryName;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::permissions(folder("system"), c.folder);
        std::filesystem::permissions(library, c.file);
        script().lifecycle.clear();
        {
            auto manager = makeManager();
            ASSERT_TRUE(manager->LoadTwainLibrary());
        }
        ASSERT_FALSE(script().lifecycle.empty());
        EXPECT_EQ(script().lifecycle[0],
                  "loaded " + (folder(c.loaded) / TTwainManager::kLibraryName).string());
    }
    // The temporary folder as it is on every system: never searched.
    std::filesystem::remove(folder("program") / TTwainManager::kLibraryName);
    std::filesystem::remove(library);
    installLibrary("temp");
    std::filesystem::permissions(folder("temp"), perms::all | perms::sticky_bit);
    EXPECT_FALSE(makeManager()->LoadTwainLibrary());
}

TEST_F(TTwainManagerTest, LongFolderNamesAreFetchedAgainWithRoomEnough) {
    const std::filesystem::path deep =
        folder("system") / std::string(200, 'd') / std::string(200, 'e');
    std::filesystem::create_directories(deep);
    win::SetFolderOverride(win::SystemFolder::System, deep.string());
    std::filesystem::copy_file(SCRIPTED_DSM_PATH, deep / TTwainManager::kLibraryName);
    auto manager = makeManager();
    ASSERT_TRUE(manager->LoadTwainLibrary());
    EXPECT_EQ(script().lifecycle.at(0), "loaded " + (deep / TTwainManager::kLibraryName).string());
}

TEST_F(TTwainManagerTest, LoadingTwiceLoadsOnceAndUnloadFreesIt) {
    installLibrary("system");
    auto manager = makeManager();
    EXPECT_TRUE(manager->LoadTwainLibrary());
    const win::HMODULE first = manager->LibraryHandle();
    EXPECT_TRUE(manager->LoadTwainLibrary());
    EXPECT_EQ(manager->LibraryHandle(), first);
    EXPECT_TRUE(manager->UnloadTwainLibrary());
    EXPECT_FALSE(manager->LibraryLoaded());
    EXPECT_EQ(manager->LibraryHandle(), nullptr);
    // One load, one unload: a second load would have kept the library in memory.
    ASSERT_EQ(script().lifecycle.size(), 2u);
    EXPECT_EQ(script().lifecycle[1].rfind("unloaded ", 0), 0u);
    EXPECT_TRUE(manager->UnloadTwainLibrary());
    EXPECT_TRUE(script().calls.empty());
}

TEST_F(TTwainManagerTest, LibraryThatIsNotUsableIsReleased) {
    installFile("system", NO_ENTRY_MODULE_PATH);
    auto manager = makeManager();
    EXPECT_FALSE(manager->LoadTwainLibrary());
    EXPECT_FALSE(manager->LibraryLoaded());
    EXPECT_EQ(manager->LibraryHandle(), nullptr);

    std::ofstream(folder("system") / TTwainManager::kLibraryName) << "not a library";
    EXPECT_FALSE(manager->LoadTwainLibrary());
    EXPECT_EQ(manager->LibraryHandle(), nullptr);
}

TEST_F(TTwainManagerTest, PropertySettersActOnlyOnChange) {
    installLibrary("system");
    auto manager = makeManager();
    manager->SetSourceManagerLoaded(true);  // library not loaded: nothing happens
    EXPECT_FALSE(manager->SourceManagerLoaded());
    EXPECT_TRUE(script().calls.empty());
    manager->SetLibraryLoaded(true);
    EXPECT_TRUE(manager->LibraryLoaded());
    manager->SetSourceManagerLoaded(true);
    manager->SetSourceManagerLoaded(true);
    EXPECT_EQ(script().triplets(), Strings{"DAT_PARENT MSG_OPENDSM"});
    manager->SetLibraryLoaded(false);
    EXPECT_EQ(script().triplets(), (Strings{"DAT_PARENT MSG_OPENDSM", "DAT_PARENT MSG_CLOSEDSM"}));
    EXPECT_FALSE(manager->SourceManagerLoaded());
    EXPECT_FALSE(manager->LibraryLoaded());
}

TEST_F(TTwainManagerTest, SourceManagerGetsTheHiddenWindowAndTheAppIdentity) {
    installLibrary("system");
    auto manager = makeManager();
    manager->LoadTwainLibrary();
    EXPECT_TRUE(manager->OpenSourceManager());
    EXPECT_TRUE(manager->OpenSourceManager());  // already open: no second call
    ASSERT_EQ(script().calls.size(), 1u);
    const Call& open = script().calls[0];
    EXPECT_EQ(open.dg, DG_CONTROL);
    EXPECT_FALSE(open.dest.has_value());
    EXPECT_EQ(open.as<TW_HANDLE>(), static_cast<TW_HANDLE>(manager->WindowHandle()));
    EXPECT_EQ(std::memcmp(&open.origin, manager->AppIdentity(), sizeof(TW_IDENTITY)), 0);
    EXPECT_EQ(manager->AppIdentity(), &manager->Info().Structure());
    EXPECT_EQ(open.origin.ProtocolMinor, 9);
    EXPECT_TRUE(win::IsWindow(manager->WindowHandle()));
}

TEST_F(TTwainManagerTest, FailedOpenAndCloseLeaveTheFlag) {
    installLibrary("system");
    script().sources.push_back(dsmscript::makeIdentity(1, "A"));
    auto manager = makeManager();
    manager->LoadTwainLibrary();
    script().once(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, dsmscript::returns(TWRC_FAILURE));
    EXPECT_FALSE(manager->OpenSourceManager());
    EXPECT_EQ(manager->SourceCount(), 0);
    EXPECT_EQ(manager->Sources(0), nullptr);
    EXPECT_EQ(manager->ChooseSource(), -1);
    EXPECT_EQ(script().triplets(), Strings{"DAT_PARENT MSG_OPENDSM"});

    EXPECT_TRUE(manager->OpenSourceManager());
    EXPECT_EQ(manager->SourceCount(), 1);
    script().once(DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, dsmscript::returns(TWRC_FAILURE));
    EXPECT_FALSE(manager->CloseSourceManager());
    EXPECT_TRUE(manager->SourceManagerLoaded());
    EXPECT_FALSE(manager->SourcesListed());  // the sources are gone all the same
}

TEST_F(TTwainManagerTest, ClosedManagerCountsNoSourcesWithoutAsking) {
    installLibrary("system");
    auto manager = makeManager();
    EXPECT_EQ(manager->SourceCount(), 0);
    manager->LoadTwainLibrary();
    EXPECT_EQ(manager->SourceCount(), 0);
    EXPECT_EQ(manager->Sources(-1), nullptr);
    EXPECT_TRUE(script().calls.empty());
    EXPECT_FALSE(manager->ListSources());
}

TEST_F(TTwainManagerTest, NoSourcesIsListedOnceUntilReopened) {
    auto manager = openManager(0);
    EXPECT_TRUE(manager->SourcesListed());
    EXPECT_EQ(manager->SourceCount(), 0);
    EXPECT_EQ(manager->Sources(-1), nullptr);
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_GETFIRST), 1u);
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_GETNEXT), 0u);
    manager->SetSourceManagerLoaded(false);
    manager->SetSourceManagerLoaded(true);
    EXPECT_EQ(manager->SourceCount(), 0);
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_GETFIRST), 2u);
}

TEST_F(TTwainManagerTest, ElevenSourcesGrowTheListByTen) {
    auto manager = openManager(11);
    EXPECT_EQ(manager->SourceListCapacity(), 20);
    for (int i = 0; i < 11; ++i) {
        TTwainSource* source = manager->Sources(i);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(source->Index(), i);
        EXPECT_EQ(source->ProductName(), "Scanner " + std::to_string(i + 1));
        EXPECT_EQ(source->TransferMode(), twain::ttmMemory);
        EXPECT_EQ(source->Manager(), manager.get());
    }
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_GETNEXT), 11u);
    // Every listing call gets a fresh record whose Index is the list count so far.
    manager->FreeSources();
    EXPECT_EQ(manager->SourceListCapacity(), 10);
    EXPECT_FALSE(manager->SourcesListed());
    EXPECT_EQ(manager->SourceCount(), 11);
}

TEST_F(TTwainManagerTest, TransferModeIsCopiedIntoListedSources) {
    installLibrary("system");
    script().sources.push_back(dsmscript::makeIdentity(1, "A"));
    auto manager = makeManager();
    manager->SetTransferMode(twain::ttmFile);
    manager->LoadTwainLibrary();
    manager->OpenSourceManager();
    EXPECT_EQ(manager->Sources(0)->TransferMode(), twain::ttmFile);
}

TEST_F(TTwainManagerTest, SourcesOutsideTheListAreNullAndMinusOneIsTheDefault) {
    auto manager = openManager(3);
    EXPECT_EQ(manager->Sources(3), nullptr);
    EXPECT_EQ(manager->Sources(-2), nullptr);
    // The default query fails: the first source.
    EXPECT_EQ(manager->Sources(-1), manager->Sources(0));
    script().defaultSource = script().sources[2];
    EXPECT_EQ(manager->DefaultSourceIndex(), 2);
    EXPECT_EQ(manager->Sources(-1), manager->Sources(2));
    // A default that is not listed: no source.
    script().defaultSource = dsmscript::makeIdentity(9, "Elsewhere");
    EXPECT_EQ(manager->DefaultSourceIndex(), -1);
    EXPECT_EQ(manager->Sources(-1), nullptr);
}

TEST_F(TTwainManagerTest, IndexOfIdentityComparesAllBytes) {
    auto manager = openManager(2);
    TW_IDENTITY identity = script().sources[1];
    EXPECT_EQ(manager->IndexOfIdentity(identity), 1);
    identity.ProductName[33] = 'x';  // past the text's end, still part of the record
    EXPECT_EQ(manager->IndexOfIdentity(identity), -1);
}

TEST_F(TTwainManagerTest, ChooseSourceReturnsTheChosenPosition) {
    auto manager = openManager(3);
    script().once(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT,
                  dsmscript::identity(script().sources[1]));
    EXPECT_EQ(manager->ChooseSource(), 1);
    const Call* select = script().last(DAT_IDENTITY, MSG_USERSELECT);
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->as<TW_IDENTITY>().Id, 0u);  // sent zero-filled
    EXPECT_FALSE(manager->Choosing());

    script().once(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT,
                  dsmscript::identity(script().sources[1], TWRC_CANCEL));
    EXPECT_EQ(manager->ChooseSource(), -1);
    TW_IDENTITY stranger = script().sources[1];
    stranger.Version.MinorNum = 99;
    script().once(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, dsmscript::identity(stranger));
    EXPECT_EQ(manager->ChooseSource(), -1);
}

TEST_F(TTwainManagerTest, ChooseSourceWhileTheDialogIsUpReturnsAtOnce) {
    auto manager = openManager(2);
    int nested = 0;
    bool choosingInside = false;
    script().during[{DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT}] = [&] {
        choosingInside = manager->Choosing();
        nested = manager->ChooseSource();
    };
    script().once(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT,
                  dsmscript::identity(script().sources[0]));
    EXPECT_EQ(manager->ChooseSource(), 0);
    EXPECT_TRUE(choosingInside);
    EXPECT_EQ(nested, -1);
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_USERSELECT), 1u);
}

TEST_F(TTwainManagerTest, DestroyingWithAnEnabledSourceUnwindsInOrder) {
    auto manager = openManager(2);
    manager->Sources(1)->SetLoaded(true);
    manager->Sources(1)->SetEnabled(true);
    journal().clear();
    manager.reset();
    EXPECT_EQ(journal(),
              (Strings{"DAT_USERINTERFACE MSG_DISABLEDS", "OnSourceDisable manager 1",
                       "DAT_IDENTITY MSG_CLOSEDS", "DAT_PARENT MSG_CLOSEDSM", "library freed"}));
}

TEST_F(TTwainManagerTest, HiddenWindowIsOfTheComponentClass) {
    auto manager = makeManager();
    win::WNDCLASS cls{};
    cls.lpfnWndProc = [](win::HWND, win::UINT, win::WPARAM, win::LPARAM) -> win::LRESULT {
        return 0;
    };
    cls.lpszClassName = "quorvatwain_virtualwindow";
    EXPECT_EQ(win::RegisterClass(&cls), 0);  // taken, whatever the case
    EXPECT_EQ(win::GetWindowLongPtr(manager->WindowHandle(), win::GWLP_USERDATA),
              reinterpret_cast<win::LONG_PTR>(manager.get()));
    const win::HWND window = manager->WindowHandle();
    manager.reset();
    EXPECT_FALSE(win::IsWindow(window));
}

TEST_F(TTwainManagerTest, MessagesReachSourcesOnlyWhileOneIsOpen) {
    auto manager = openManager(2);
    win::PostMessage(manager->WindowHandle(), win::WM_USER, 1, 2);
    win::DispatchPostedMessages();
    EXPECT_EQ(script().count(DAT_EVENT, MSG_PROCESSEVENT), 0u);

    // Open but not enabled: nobody is asked either.
    manager->Sources(1)->SetLoaded(true);
    win::PostMessage(manager->WindowHandle(), win::WM_USER, 1, 2);
    win::DispatchPostedMessages();
    EXPECT_EQ(script().count(DAT_EVENT, MSG_PROCESSEVENT), 0u);

    manager->Sources(1)->SetEnabled(true);
    win::SetCursorPos(321, 123);
    win::PostMessage(manager->WindowHandle(), win::WM_USER + 3, 4, -5);
    win::DispatchPostedMessages();
    win::SetCursorPos(0, 0);
    ASSERT_EQ(script().count(DAT_EVENT, MSG_PROCESSEVENT), 1u);
    const Call* event = script().last(DAT_EVENT, MSG_PROCESSEVENT);
    ASSERT_TRUE(event->event.has_value());
    EXPECT_EQ(event->dest->Id, 2u);
    EXPECT_EQ(event->as<TW_EVENT>().TWMessage, MSG_NULL);
    EXPECT_EQ(event->event->hwnd, manager->WindowHandle());
    EXPECT_EQ(event->event->message, win::WM_USER + 3);
    EXPECT_EQ(event->event->wParam, 4u);
    EXPECT_EQ(event->event->lParam, -5);
    EXPECT_EQ(event->event->pt.x, 321);
    EXPECT_EQ(event->event->pt.y, 123);
}

TEST_F(TTwainManagerTest, FirstEnabledSourceThatClaimsTheMessageEndsTheRouting) {
    auto manager = openManager(3);
    for (int i = 0; i < 3; ++i) {
        manager->Sources(i)->SetLoaded(true);
        manager->Sources(i)->SetEnabled(true);
    }
    script().calls.clear();
    // Source 0 declines, source 1 claims, source 2 is never asked.
    script().once(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                  dsmscript::processEvent(TWRC_NOTDSEVENT));
    script().once(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                  dsmscript::processEvent(TWRC_DSEVENT, MSG_DEVICEEVENT));
    win::PostMessage(manager->WindowHandle(), win::WM_USER, 0, 0);
    win::DispatchPostedMessages();
    ASSERT_EQ(script().calls.size(), 2u);
    EXPECT_EQ(script().calls[0].dest->Id, 1u);
    EXPECT_EQ(script().calls[1].dest->Id, 2u);
}

TEST_F(TTwainManagerTest, MessagePostedDuringEnableIsServedByTheEventLoop) {
    auto manager = openManager(1);
    TTwainSource* source = manager->Sources(0);
    source->SetLoaded(true);
    script().once(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS,
                  dsmscript::postToParent(win::WM_USER + 9));
    script().always(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                    dsmscript::processEvent(TWRC_DSEVENT, MSG_XFERREADY));
    script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, dsmscript::returns(TWRC_FAILURE));
    script().once(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, dsmscript::pending(0));
    journal().clear();
    source->SetEnabled(true);
    // The source's request waits in the queue until the event loop runs.
    EXPECT_EQ(journal(), Strings{"DAT_USERINTERFACE MSG_ENABLEDS"});
    EXPECT_EQ(win::PostedMessageCount(), 1u);
    EXPECT_TRUE(source->Enabled());

    win::DispatchPostedMessage();
    // The whole transfer, events included, ran inside that one dispatch.
    EXPECT_EQ(journal(), (Strings{"DAT_USERINTERFACE MSG_ENABLEDS", "DAT_EVENT MSG_PROCESSEVENT",
                                  "DAT_IMAGEINFO MSG_GET", "DAT_STATUS MSG_GET",
                                  "OnAcquireError manager 0 1 0", "DAT_PENDINGXFERS MSG_ENDXFER",
                                  "DAT_USERINTERFACE MSG_DISABLEDS", "OnSourceDisable manager 0"}));
    EXPECT_FALSE(source->Enabled());
}

TEST_F(TTwainManagerTest, EveryCapturePressYieldsOnePageAndKeepsTheSourceOpen) {
    installLibrary("program");
    script().sources = {dsmscript::makeIdentity(1, "Flatbed"),
                        dsmscript::makeIdentity(2, "Feeder")};
    auto manager = makeManager();
    cancelInAcquire = true;  // as the main window's handler does
    script().always(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT,
                    dsmscript::identity(script().sources[1]));
    script().always(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS,
                    dsmscript::postToParent(win::WM_USER));
    script().always(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                    dsmscript::processEvent(TWRC_DSEVENT, MSG_XFERREADY));
    TW_IMAGEINFO info{};
    info.ImageWidth = 1;
    info.ImageLength = 1;
    info.BitsPerPixel = 24;
    info.PixelType = TWPT_RGB;
    script().always(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, dsmscript::imageInfo(info));
    script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(16));
    script().always(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET,
                    dsmscript::strip({1, 2, 3, 0}, TWRC_XFERDONE));
    script().always(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, dsmscript::pending(2));

    for (int press = 1; press <= 2; ++press) {
        ASSERT_TRUE(manager->LoadTwainLibrary());
        manager->SetSourceManagerLoaded(true);
        const int chosen = manager->ChooseSource();
        ASSERT_EQ(chosen, 1);
        TTwainSource* source = manager->Sources(chosen);
        source->SetLoaded(true);
        source->SetTransferMode(twain::ttmMemory);
        source->SetEnabled(true);
        win::DispatchPostedMessages();  // the event loop after the handler returned
        EXPECT_EQ(acquired.size(), static_cast<std::size_t>(press));
        EXPECT_TRUE(source->Loaded());
        EXPECT_FALSE(source->Enabled());
    }
    EXPECT_EQ(script().lifecycle.size(), 1u);  // loaded once
    EXPECT_EQ(script().count(DAT_PARENT, MSG_OPENDSM), 1u);
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_OPENDS), 1u);
    EXPECT_EQ(script().count(DAT_IDENTITY, MSG_GETFIRST), 1u);
    EXPECT_EQ(script().count(DAT_PENDINGXFERS, MSG_RESET), 2u);
    EXPECT_EQ(acquired[1].pixel(0, 0), (brevanto::graphics::RgbColor{1, 2, 3}));
}

}  // namespace
}  // namespace twaintest
