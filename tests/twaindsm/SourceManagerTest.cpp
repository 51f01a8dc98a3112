#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "DsmTestSupport.h"
#include "platform/win/GlobalMemory.h"

namespace twaindsmtest {
namespace {

const char* const kTwoScanners =
    "[SourceManager]\n"
    "DefaultSource=Second Scanner\n"
    "VirtualScanner=true\n"
    "[VirtualScanner]\n"
    "PageWidthMm=40\nPageHeightMm=30\nResolution=75\nStripSize=500\n"
    "[VirtualScanner2]\n"
    "Name=Second Scanner\n";

std::vector<TW_IDENTITY> listSources(DsmSession& session) {
    std::vector<TW_IDENTITY> list;
    TW_IDENTITY id{};
    for (TW_UINT16 rc = session.toManager(DAT_IDENTITY, MSG_GETFIRST, &id); rc == TWRC_SUCCESS;
         rc = session.toManager(DAT_IDENTITY, MSG_GETNEXT, &id))
        list.push_back(id);
    return list;
}

TEST(TwainDsmManager, ListsSourcesWithIdentitiesStableAcrossLoads) {
    IniFile ini(kTwoScanners);
    std::vector<TW_IDENTITY> first;
    {
        DsmLibrary library;
        DsmSession session(library.entry());
        ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
        EXPECT_NE(session.app().Id, 0u);
        first = listSources(session);
        TW_IDENTITY id{};
        EXPECT_EQ(session.toManager(DAT_IDENTITY, MSG_GETNEXT, &id), TWRC_ENDOFLIST);
    }
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(textOf(first[0].ProductName), "Brevanto Virtual Scanner");
    EXPECT_EQ(textOf(first[1].ProductName), "Second Scanner");
    EXPECT_EQ(textOf(first[0].Manufacturer), "Brevanto");
    EXPECT_EQ(first[0].ProtocolMajor, 1);
    EXPECT_EQ(first[0].ProtocolMinor, 9);
    EXPECT_EQ(TW_UINT32{first[0].SupportedGroups}, DG_CONTROL | DG_IMAGE);
    EXPECT_NE(first[0].Id, first[1].Id);

    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    const std::vector<TW_IDENTITY> second = listSources(session);
    ASSERT_EQ(second.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_EQ(std::memcmp(&first[i], &second[i], sizeof(TW_IDENTITY)), 0) << i;
}

TEST(TwainDsmManager, VirtualScannerOnlyWhenTheSettingsOfferIt) {
    struct Case {
        const char* ini;
        std::size_t sources;
    };
    const Case cases[] = {
        {"", 0},
        {"[VirtualScanner]\nName=Demo\n", 0},
        {"[SourceManager]\nVirtualScanner=false\n", 0},
        {"[SourceManager]\nVirtualScanner=true\n", 1},
        {kTwoScanners, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        IniFile ini(c.ini);
        DsmLibrary library;
        DsmSession session(library.entry());
        ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
        EXPECT_EQ(listSources(session).size(), c.sources);
        if (c.sources == 0) {
            TW_IDENTITY picked{};
            EXPECT_EQ(session.toManager(DAT_IDENTITY, MSG_USERSELECT, &picked), TWRC_FAILURE);
            EXPECT_EQ(session.managerCondition(), TWCC_NODS);
        }
    }
}

TEST(TwainDsmManager, DefaultSourceComesFromTheIni) {
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    TW_IDENTITY id{};
    ASSERT_EQ(session.toManager(DAT_IDENTITY, MSG_GETDEFAULT, &id), TWRC_SUCCESS);
    EXPECT_EQ(textOf(id.ProductName), "Second Scanner");
    // An identity naming no source opens the default one.
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    EXPECT_EQ(textOf(session.source().ProductName), "Second Scanner");
}

TEST(TwainDsmManager, AnswersTheSelectionDialogFromTheIni) {
    struct Case {
        const char* answer;
        TW_UINT16 rc;
        const char* picked;
    };
    const Case cases[] = {
        {"Brevanto Virtual Scanner", TWRC_SUCCESS, "Brevanto Virtual Scanner"},
        {"second scanner", TWRC_SUCCESS, "Second Scanner"},
        {"default", TWRC_SUCCESS, "Second Scanner"},
        {"cancel", TWRC_CANCEL, ""},
        {"No Such Scanner", TWRC_CANCEL, ""},
    };
    for (const Case& c : cases) {
        IniFile ini(std::string(kTwoScanners) + "[SourceManager]\nAutoSelect=" + c.answer + "\n");
        DsmLibrary library;
        DsmSession session(library.entry());
        ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
        const std::vector<TW_IDENTITY> listed = listSources(session);
        TW_IDENTITY picked{};
        EXPECT_EQ(session.toManager(DAT_IDENTITY, MSG_USERSELECT, &picked), c.rc) << c.answer;
        if (c.rc != TWRC_SUCCESS) continue;
        EXPECT_EQ(textOf(picked.ProductName), c.picked);
        // The picked identity is byte for byte one of the listed ones.
        bool found = false;
        for (const TW_IDENTITY& id : listed)
            found = found || std::memcmp(&id, &picked, sizeof id) == 0;
        EXPECT_TRUE(found) << c.answer;
    }
}

// The states of one session, reached by legal triplets only.
void reachState(DsmSession& session, int state, std::vector<std::uint8_t>& strip) {
    if (state >= 3) {
        ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    }
    if (state >= 4) {
        ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    }
    if (state >= 5) {
        // Without a user interface the source scans at once (state 6).
        ASSERT_EQ(session.enable(false), TWRC_SUCCESS);
        ASSERT_EQ(session.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
    }
    if (state == 5) {
        TW_PENDINGXFERS pending{};
        ASSERT_EQ(session.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending),
                  TWRC_SUCCESS);
    }
    if (state == 7) {
        TW_IMAGEMEMXFER memory;
        std::memset(&memory, 0xFF, sizeof memory);
        memory.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        memory.Memory.Length = static_cast<TW_UINT32>(strip.size());
        memory.Memory.TheMem = strip.data();
        ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &memory), TWRC_SUCCESS);
    }
}

TEST(TwainDsmManager, RefusesTripletsOutOfSequence) {
    struct Case {
        int state;
        bool toSource;
        TW_UINT32 dg;
        TW_UINT16 dat;
        TW_UINT16 msg;
    };
    const Case cases[] = {
        {2, false, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST},
        {2, false, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT},
        {2, false, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS},
        {2, false, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM},
        {3, false, DG_CONTROL, DAT_PARENT, MSG_OPENDSM},
        {4, true, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS},
        {4, true, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT},
        {4, true, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER},
        {4, true, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET},
        {4, true, DG_IMAGE, DAT_IMAGEINFO, MSG_GET},
        {4, true, DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET},
        {4, true, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET},
        {4, true, DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET},
        {4, false, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM},
        {5, true, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS},
        {5, true, DG_CONTROL, DAT_CAPABILITY, MSG_SET},
        {5, true, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER},
        {5, true, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET},
        {5, false, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS},
        {6, true, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS},
        {6, true, DG_CONTROL, DAT_CAPABILITY, MSG_RESET},
        {7, true, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS},
        {7, true, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET},
        {7, true, DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET},
        {7, true, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET},
    };
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    for (const Case& c : cases) {
        SCOPED_TRACE("state " + std::to_string(c.state) + " dat " + std::to_string(c.dat) +
                     " msg " + std::to_string(c.msg));
        DsmSession session(library.entry());
        std::vector<std::uint8_t> strip(500);
        reachState(session, c.state, strip);
        alignas(8) std::uint8_t record[2048] = {};
        if (c.toSource) {
            if (c.dat == DAT_IDENTITY) std::memcpy(record, &session.source(), sizeof(TW_IDENTITY));
            EXPECT_EQ(session.toSource(c.dg, c.dat, c.msg, record), TWRC_FAILURE);
            EXPECT_EQ(session.sourceCondition(), TWCC_SEQERROR);
        } else {
            if (c.dat == DAT_IDENTITY) std::memcpy(record, &session.source(), sizeof(TW_IDENTITY));
            EXPECT_EQ(session.toManager(c.dat, c.msg, record, c.dg), TWRC_FAILURE);
            EXPECT_EQ(session.managerCondition(), TWCC_SEQERROR);
        }
    }
}

TEST(TwainDsmManager, UnknownTripletsAreBadProtocol) {
    struct Case {
        bool toSource;
        TW_UINT32 dg;
        TW_UINT16 dat;
        TW_UINT16 msg;
    };
    const Case cases[] = {
        {false, DG_IMAGE, DAT_IMAGEINFO, MSG_GET},
        {false, DG_CONTROL, DAT_CAPABILITY, MSG_GET},
        {false, DG_CONTROL, DAT_IDENTITY, MSG_ENDXFER},
        {true, DG_CONTROL, DAT_PARENT, MSG_OPENDSM},
        {true, DG_CONTROL, DAT_CAPABILITY, MSG_PROCESSEVENT},
        {true, DG_IMAGE, DAT_CAPABILITY, MSG_GET},
        {true, DG_CONTROL, DAT_IMAGEINFO, MSG_GET},
        {true, DG_AUDIO, 0x0201, MSG_GET},
        {true, DG_CONTROL, 0x7777, MSG_GET},
    };
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    for (const Case& c : cases) {
        SCOPED_TRACE("dat " + std::to_string(c.dat) + " msg " + std::to_string(c.msg));
        alignas(8) std::uint8_t record[2048] = {};
        if (c.toSource) {
            EXPECT_EQ(session.toSource(c.dg, c.dat, c.msg, record), TWRC_FAILURE);
            EXPECT_EQ(session.sourceCondition(), TWCC_BADPROTOCOL);
        } else {
            EXPECT_EQ(session.toManager(c.dat, c.msg, record, c.dg), TWRC_FAILURE);
            EXPECT_EQ(session.managerCondition(), TWCC_BADPROTOCOL);
        }
    }
}

TEST(TwainDsmManager, StatusKeepsTheLastConditionUntilTheNextCall) {
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    TW_CAPABILITY cap{0x7FFF, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(session.sourceCondition(), TWCC_CAPUNSUPPORTED);
    TW_SETUPMEMXFER setup{};
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(session.sourceCondition(), TWCC_SUCCESS);
    // A source that is not open is not a destination.
    TW_IDENTITY other = session.source();
    other.Id += 1;
    TW_STATUS status{};
    EXPECT_EQ(library.entry()(&session.app(), &other, DG_CONTROL, DAT_STATUS, MSG_GET, &status),
              TWRC_FAILURE);
    EXPECT_EQ(session.managerCondition(), TWCC_BADDEST);
}

TEST(TwainDsmManager, BadRecordsAreRefusedWithoutHarm) {
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    EXPECT_EQ(library.entry()(nullptr, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr),
              TWRC_FAILURE);
    DsmSession session(library.entry());
    EXPECT_EQ(session.toManager(DAT_PARENT, MSG_OPENDSM, nullptr), TWRC_FAILURE);
    EXPECT_EQ(session.managerCondition(), TWCC_BADVALUE);
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    EXPECT_EQ(session.toManager(DAT_IDENTITY, MSG_GETFIRST, nullptr), TWRC_FAILURE);
    EXPECT_EQ(session.managerCondition(), TWCC_BADVALUE);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_BADVALUE);
    // Enabling needs a real parent window.
    TW_USERINTERFACE ui{0, 0, reinterpret_cast<TW_HANDLE>(0x1234)};
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_BADVALUE);
    TW_IDENTITY unknown{};
    std::strcpy(unknown.ProductName, "Nobody");
    EXPECT_EQ(session.toManager(DAT_IDENTITY, MSG_OPENDS, &unknown), TWRC_FAILURE);
    EXPECT_EQ(session.managerCondition(), TWCC_NODS);
}

TEST(TwainDsmManager, ASourceIsOpenedByOneApplicationAtATime) {
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    DsmSession first(library.entry());
    DsmSession second(library.entry());
    ASSERT_EQ(first.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(second.openManager(), TWRC_SUCCESS);
    EXPECT_NE(first.app().Id, second.app().Id);
    ASSERT_EQ(first.openSource("Second Scanner"), TWRC_SUCCESS);
    EXPECT_EQ(second.openSource("Second Scanner"), TWRC_FAILURE);
    EXPECT_EQ(second.managerCondition(), TWCC_MAXCONNECTIONS);
    EXPECT_EQ(second.openSource("Brevanto Virtual Scanner"), TWRC_SUCCESS);
    // One application cannot reach the other's source.
    TW_SETUPMEMXFER setup{};
    EXPECT_EQ(library.entry()(&second.app(), &first.source(), DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                              &setup),
              TWRC_FAILURE);
    EXPECT_EQ(second.managerCondition(), TWCC_BADDEST);
}

TEST(TwainDsmManager, SourcesOfAnApplicationThatWentAwayAreFreed) {
    IniFile ini(kTwoScanners);
    DsmLibrary library;
    auto gone = std::make_unique<DsmSession>(library.entry());
    ASSERT_EQ(gone->openManager(), TWRC_SUCCESS);
    ASSERT_EQ(gone->openSource("Second Scanner"), TWRC_SUCCESS);
    ASSERT_EQ(gone->enable(false), TWRC_SUCCESS);
    // The application's window is destroyed without it closing anything.
    gone->abandon();
    DsmSession next(library.entry());
    ASSERT_EQ(next.openManager(), TWRC_SUCCESS);
    EXPECT_EQ(next.openSource("Second Scanner"), TWRC_SUCCESS);
    gone.reset();
}

TEST(TwainDsmManager, LoadsUnloadsAndLoadsAgain) {
    IniFile ini(kTwoScanners);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // Really unloaded in between: nothing of the last round is left in the process.
        EXPECT_FALSE(DsmLibrary::isLoaded());
        DsmLibrary library;
        DsmSession session(library.entry());
        ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
        ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
        ASSERT_EQ(session.enable(false), TWRC_SUCCESS);
        ASSERT_EQ(session.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
        TW_HANDLE dib = nullptr;
        ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
        EXPECT_NE(dib, nullptr);
        TW_UINT16 count = 99;
        ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(session.disable(), TWRC_SUCCESS);
        EXPECT_EQ(session.closeSource(), TWRC_SUCCESS);
        EXPECT_EQ(session.closeManager(), TWRC_SUCCESS);
        win::GlobalFree(dib);
    }
}

}  // namespace
}  // namespace twaindsmtest
