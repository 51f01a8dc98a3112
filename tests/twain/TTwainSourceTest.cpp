#include <gtest/gtest.h>

#include "TwainFixture.h"
#include "platform/win/GlobalMemory.h"
#include "twain/TTwainSource.h"

namespace twaintest {
namespace {

using dsmscript::Call;
using namespace twain;
using Strings = std::vector<std::string>;

class TTwainSourceTest : public TwainFixture {
  protected:
    void SetUp() override {
        TwainFixture::SetUp();
        manager_ = openManager(1);
        source_ = manager_->Sources(0);
        script().calls.clear();
        journal().clear();
    }
    void TearDown() override {
        source_ = nullptr;
        manager_.reset();
        TwainFixture::TearDown();
    }
    void openSource() {
        source_->SetLoaded(true);
        script().calls.clear();
        journal().clear();
    }

    std::unique_ptr<TTwainManager> manager_;
    TTwainSource* source_ = nullptr;
};

TEST_F(TTwainSourceTest, DefaultsOfAListedSource) {
    EXPECT_EQ(source_->Index(), 0);
    EXPECT_TRUE(source_->ShowUI());
    EXPECT_TRUE(source_->Modal());
    EXPECT_FALSE(source_->Loaded());
    EXPECT_FALSE(source_->Enabled());
    EXPECT_EQ(source_->ProductName(), "Scanner 1");
    TTwainSource fresh(manager_.get());
    EXPECT_EQ(fresh.TransferMode(), ttmNative);
}

TEST_F(TTwainSourceTest, OpenAndCloseCountOpenSources) {
    source_->SetLoaded(true);
    EXPECT_TRUE(source_->Loaded());
    EXPECT_EQ(manager_->OpenSourceCount(), 1);
    EXPECT_TRUE(source_->OpenSource());  // already open: no call
    const Call& open = script().calls.at(0);
    EXPECT_EQ(script().calls.size(), 1u);
    EXPECT_FALSE(open.dest.has_value());
    EXPECT_EQ(open.as<TW_IDENTITY>().Id, 1u);
    source_->SetLoaded(false);
    EXPECT_EQ(manager_->OpenSourceCount(), 0);
    EXPECT_EQ(script().triplets(),
              (Strings{"DAT_IDENTITY MSG_OPENDS", "DAT_IDENTITY MSG_CLOSEDS"}));
    EXPECT_FALSE(script().calls.at(1).dest.has_value());
}

TEST_F(TTwainSourceTest, FailedOpenAndCloseLeaveTheCount) {
    script().once(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, dsmscript::returns(TWRC_FAILURE));
    EXPECT_FALSE(source_->OpenSource());
    EXPECT_FALSE(source_->Loaded());
    EXPECT_EQ(manager_->OpenSourceCount(), 0);
    source_->SetEnabled(true);  // ignored: not open
    EXPECT_FALSE(source_->Enabled());
    EXPECT_EQ(script().count(DAT_USERINTERFACE, MSG_ENABLEDS), 0u);

    EXPECT_TRUE(source_->OpenSource());
    script().once(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, dsmscript::returns(TWRC_FAILURE));
    EXPECT_FALSE(source_->CloseSource());
    EXPECT_FALSE(source_->Loaded());
    EXPECT_EQ(manager_->OpenSourceCount(), 1);
    EXPECT_TRUE(source_->CloseSource());  // not open any more: nothing to do
}

TEST_F(TTwainSourceTest, EnableSendsTheUserInterfaceRecord) {
    openSource();
    source_->SetShowUI(false);
    source_->SetEnabled(true);
    EXPECT_TRUE(source_->Enabled());
    const Call& enable = script().calls.at(0);
    EXPECT_EQ(enable.dest->Id, 1u);
    const auto ui = enable.as<TW_USERINTERFACE>();
    EXPECT_EQ(ui.ShowUI, 0);
    EXPECT_EQ(ui.ModalUI, 0xFFFF);
    EXPECT_EQ(ui.hParent, static_cast<TW_HANDLE>(manager_->WindowHandle()));
    EXPECT_TRUE(source_->EnableDS(true, true));  // already enabled: no call
    EXPECT_EQ(script().calls.size(), 1u);
}

TEST_F(TTwainSourceTest, EnableAnswers) {
    struct Case {
        TW_UINT16 rc;
        bool enabled;
    };
    const Case cases[] = {{TWRC_SUCCESS, true},
                          {TWRC_CHECKSTATUS, true},
                          {TWRC_FAILURE, false},
                          {TWRC_CANCEL, false}};
    openSource();
    for (const Case& c : cases) {
        script().once(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, dsmscript::returns(c.rc));
        EXPECT_EQ(source_->EnableDS(true, true), c.enabled) << c.rc;
        EXPECT_EQ(source_->Enabled(), c.enabled) << c.rc;
        source_->DisableDS();
    }
    EXPECT_EQ(eventsOf(journal()),
              (Strings{"OnSourceDisable manager 0", "OnSourceDisable manager 0"}));
}

TEST_F(TTwainSourceTest, EnabledIsSetWhileTheEnableCallRuns) {
    openSource();
    bool enabledInside = false;
    script().during[{DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS}] = [&] {
        enabledInside = source_->Enabled();
    };
    source_->SetEnabled(true);
    EXPECT_TRUE(enabledInside);
}

TEST_F(TTwainSourceTest, FailedDisableKeepsTheSourceEnabled) {
    openSource();
    source_->SetEnabled(true);
    script().once(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, dsmscript::returns(TWRC_FAILURE));
    EXPECT_FALSE(source_->DisableDS());
    EXPECT_TRUE(source_->Enabled());
    EXPECT_TRUE(eventsOf(journal()).empty());
    const auto ui = script().last(DAT_USERINTERFACE, MSG_DISABLEDS)->as<TW_USERINTERFACE>();
    EXPECT_EQ(ui.ShowUI, 0);
    EXPECT_EQ(ui.hParent, nullptr);
}

TEST_F(TTwainSourceTest, UnloadingAnEnabledSourceDisablesItFirst) {
    openSource();
    source_->SetEnabled(true);
    journal().clear();
    source_->SetLoaded(false);
    EXPECT_EQ(journal(), (Strings{"DAT_USERINTERFACE MSG_DISABLEDS", "OnSourceDisable manager 0",
                                  "DAT_IDENTITY MSG_CLOSEDS"}));
    EXPECT_FALSE(source_->Loaded());
    EXPECT_FALSE(source_->Enabled());
}

TEST_F(TTwainSourceTest, CloseRequestCancelsAndDisablesButKeepsTheSourceOpen) {
    openSource();
    source_->SetEnabled(true);
    journal().clear();
    script().once(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                  dsmscript::processEvent(TWRC_DSEVENT, MSG_CLOSEDSREQ));
    win::MSG message{};
    EXPECT_TRUE(source_->HandleMessage(message));
    EXPECT_EQ(journal(), (Strings{"DAT_EVENT MSG_PROCESSEVENT", "OnAcquireCancel manager 0",
                                  "DAT_USERINTERFACE MSG_DISABLEDS", "OnSourceDisable manager 0"}));
    EXPECT_TRUE(source_->Loaded());
    EXPECT_FALSE(source_->Enabled());
    source_->SetEnabled(true);  // and can be enabled again
    EXPECT_TRUE(source_->Enabled());
}

TEST_F(TTwainSourceTest, HandleMessageClaimsOnlyDsEvents) {
    openSource();
    source_->SetEnabled(true);
    struct Case {
        TW_UINT16 rc;
        TW_UINT16 twMessage;
        bool claimed;
    };
    const Case cases[] = {{TWRC_NOTDSEVENT, MSG_NULL, false},
                          {TWRC_FAILURE, MSG_XFERREADY, false},
                          {TWRC_DSEVENT, MSG_NULL, true},
                          {TWRC_DSEVENT, MSG_CLOSEDSOK, true},
                          {TWRC_DSEVENT, MSG_DEVICEEVENT, true}};
    for (const Case& c : cases) {
        script().once(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
                      dsmscript::processEvent(c.rc, c.twMessage));
        EXPECT_EQ(source_->HandleMessage(win::MSG{}), c.claimed) << c.rc << " " << c.twMessage;
    }
    // None of them started a transfer or changed the state.
    EXPECT_EQ(script().count(DAT_IMAGEINFO, MSG_GET), 0u);
    EXPECT_TRUE(source_->Enabled());
}

TEST_F(TTwainSourceTest, ConditionCodeOfAClosedSourceIsZeroWithoutACall) {
    EXPECT_EQ(source_->ConditionCode(), 0);
    EXPECT_TRUE(script().calls.empty());
    openSource();
    script().once(DG_CONTROL, DAT_STATUS, MSG_GET, [](TW_MEMREF data) -> TW_UINT16 {
        static_cast<TW_STATUS*>(data)->ConditionCode = TWCC_SEQERROR;
        return TWRC_FAILURE;  // the return code is not looked at
    });
    EXPECT_EQ(source_->ConditionCode(), TWCC_SEQERROR);
    EXPECT_EQ(script().calls.at(0).dest->Id, 1u);
}

TEST_F(TTwainSourceTest, CapabilityFailuresMapByConditionCode) {
    openSource();
    const std::pair<TW_UINT16, TCapResult> cases[] = {
        {TWCC_CAPUNSUPPORTED, capUnsupported}, {TWCC_CAPBADOPERATION, capBadOperation},
        {TWCC_CAPSEQERROR, capDependency},     {TWCC_LOWMEMORY, capLowMemory},
        {TWCC_SEQERROR, capBadState},          {TWCC_BUMMER, capBadOperation},
        {TWCC_BADVALUE, capBadOperation}};
    for (const auto& [condition, expected] : cases) {
        script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET, dsmscript::returns(TWRC_FAILURE));
        script().once(DG_CONTROL, DAT_STATUS, MSG_GET, dsmscript::status(condition));
        TW_HANDLE container = reinterpret_cast<TW_HANDLE>(0x1234);
        TW_UINT16 conType = 77;
        EXPECT_EQ(source_->ReadCapability(ICAP_UNITS, container, conType, crqGet), expected)
            << condition;
        EXPECT_EQ(container, reinterpret_cast<TW_HANDLE>(0x1234));
        EXPECT_EQ(conType, 77);
    }
}

TEST_F(TTwainSourceTest, ReadCapabilitySendsTheRequestedMessage) {
    openSource();
    const std::pair<TCapRequest, TW_UINT16> cases[] = {{crqGet, MSG_GET},
                                                       {crqGetCurrent, MSG_GETCURRENT},
                                                       {crqGetDefault, MSG_GETDEFAULT},
                                                       {crqReset, MSG_RESET}};
    for (const auto& [request, msg] : cases) {
        script().once(DG_CONTROL, DAT_CAPABILITY, msg, dsmscript::oneValue(TWTY_UINT16, 5));
        TW_HANDLE container = nullptr;
        TW_UINT16 conType = 0;
        ASSERT_EQ(source_->ReadCapability(ICAP_PIXELFLAVOR, container, conType, request), capOk);
        EXPECT_EQ(conType, TWON_ONEVALUE);
        EXPECT_NE(container, nullptr);
        win::GlobalFree(container);
        const auto sent = script().calls.back().as<TW_CAPABILITY>();
        EXPECT_EQ(script().calls.back().msg, msg);
        EXPECT_EQ(sent.Cap, ICAP_PIXELFLAVOR);
        EXPECT_EQ(sent.ConType, TWON_DONTCARE16);
        EXPECT_EQ(sent.hContainer, nullptr);
    }
}

TEST_F(TTwainSourceTest, CapabilityOfAClosedSourceIsBadStateWithoutACall) {
    TW_HANDLE container = nullptr;
    TW_UINT16 conType = 0;
    EXPECT_EQ(source_->ReadCapability(ICAP_UNITS, container, conType, crqGet), capBadState);
    TScanUnit unit = suPixels;
    TScanUnits supported;
    EXPECT_EQ(source_->ReadUnits(unit, supported, crqGet), capBadState);
    EXPECT_TRUE(script().calls.empty());
}

TEST_F(TTwainSourceTest, UnitsFromAnEnumeration) {
    openSource();
    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET,
                  dsmscript::uint16Enumeration({0, 1, 5}, 1, 0));
    TScanUnit unit = suTwips;
    TScanUnits supported{suPoints};
    EXPECT_EQ(source_->ReadUnits(unit, supported, crqGet), capOk);
    EXPECT_EQ(unit, suCentimeters);
    EXPECT_EQ(supported, (TScanUnits{suInches, suCentimeters, suPoints, suPixels}));

    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GETDEFAULT,
                  dsmscript::uint16Enumeration({0, 1, 5}, 1, 0));
    EXPECT_EQ(source_->ReadUnits(unit, supported, crqGetDefault), capOk);
    EXPECT_EQ(unit, suInches);

    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET, dsmscript::uint16Enumeration({7}, 0, 0));
    supported.clear();
    EXPECT_EQ(source_->ReadUnits(unit, supported, crqGet), capOk);
    EXPECT_EQ(unit, suUnknown);
    EXPECT_EQ(supported, TScanUnits{suUnknown});
}

TEST_F(TTwainSourceTest, UnitsThatCannotBeReadLeaveTheArguments) {
    openSource();
    std::vector<std::uint8_t> str32(34, 0);
    str32[0] = 'x';
    struct Case {
        const char* what;
        dsmscript::Responder answer;
        TCapResult result;
    };
    const Case cases[] = {
        {"int16 items", dsmscript::enumeration(TWTY_INT16, 1, 0, 0, {1, 0}), capUnsupported},
        {"one value", dsmscript::oneValue(TWTY_UINT16, 1), capBadContainer},
        {"current past the list", dsmscript::uint16Enumeration({0, 1}, 2, 0), capBadContainer},
        {"empty list", dsmscript::uint16Enumeration({}, 0, 0), capBadContainer},
        {"items past the block", dsmscript::enumeration(TWTY_UINT16, 1000, 0, 0, {1, 0}),
         capBadContainer},
        {"header cut short", dsmscript::enumeration(TWTY_UINT16, 1, 0, 0, {1, 0}, 10),
         capBadContainer},
        {"text items", dsmscript::enumeration(TWTY_STR32, 1, 0, 0, str32), capUnsupported},
    };
    for (const Case& c : cases) {
        script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET, c.answer);
        TScanUnit unit = suTwips;
        TScanUnits supported{suPoints};
        EXPECT_EQ(source_->ReadUnits(unit, supported, crqGet), c.result) << c.what;
        EXPECT_EQ(unit, suTwips) << c.what;
        EXPECT_EQ(supported, TScanUnits{suPoints}) << c.what;
    }
}

TEST_F(TTwainSourceTest, PixelFlavorReads) {
    openSource();
    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET,
                  dsmscript::uint16Enumeration({0, 1, 9}, 1, 0));
    TPixelFlavor flavor = flUnknown;
    TPixelFlavors supported;
    EXPECT_EQ(source_->ReadPixelFlavor(flavor, supported, crqGet), capOk);
    EXPECT_EQ(flavor, flVanilla);
    EXPECT_EQ(supported, (TPixelFlavors{flChocolate, flVanilla, flUnknown}));
    EXPECT_EQ(script().calls.back().as<TW_CAPABILITY>().Cap, ICAP_PIXELFLAVOR);

    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET, dsmscript::oneValue(TWTY_UINT16, 1));
    flavor = flChocolate;
    EXPECT_EQ(source_->ReadPixelFlavor(flavor, supported, crqGet), capBadContainer);
    EXPECT_EQ(flavor, flChocolate);
}

TEST_F(TTwainSourceTest, EnumerationStepsByItemSize) {
    openSource();
    std::vector<std::uint8_t> names(3 * 34, 0);
    for (int i = 0; i < 3; ++i)
        names[static_cast<std::size_t>(i) * 34] = static_cast<std::uint8_t>('a' + i);
    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET,
                  dsmscript::enumeration(TWTY_STR32, 3, 2, 1, names));
    TW_UINT16 itemType = 0;
    TGetCapabilityList list;
    TW_UINT32 current = 0;
    TW_UINT32 defaultIndex = 0;
    EXPECT_EQ(source_->ReadEnumeration(0x8001, itemType, list, current, defaultIndex, crqGet),
              capOk);
    EXPECT_EQ(itemType, TWTY_STR32);
    EXPECT_EQ(list, (Strings{"a", "b", "c"}));
    EXPECT_EQ(current, 2u);
    EXPECT_EQ(defaultIndex, 1u);

    // An unknown item type steps 0 bytes: every item is the first (here: empty text).
    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET, dsmscript::enumeration(99, 3, 0, 0, {}));
    EXPECT_EQ(source_->ReadEnumeration(0x8001, itemType, list, current, defaultIndex, crqGet),
              capOk);
    EXPECT_EQ(list, (Strings{"", "", ""}));
    // Type code 44 reads 16-bit values but steps 0 bytes as well.
    script().once(DG_CONTROL, DAT_CAPABILITY, MSG_GET,
                  dsmscript::enumeration(44, 2, 0, 0, {0xFE, 0xFF, 5, 0}));
    EXPECT_EQ(source_->ReadEnumeration(0x8001, itemType, list, current, defaultIndex, crqGet),
              capOk);
    EXPECT_EQ(list, (Strings{"-2", "-2"}));
}

TEST_F(TTwainSourceTest, EnumerationFromAHeldContainerIsReadAndFreed) {
    openSource();
    TW_CAPABILITY cap{};
    dsmscript::uint16Enumeration({3, 4}, 0, 1)(&cap);
    TW_UINT16 itemType = 0;
    TGetCapabilityList list;
    TW_UINT32 current = 9;
    TW_UINT32 defaultIndex = 9;
    EXPECT_EQ(source_->ReadEnumeration(ICAP_UNITS, itemType, list, current, defaultIndex, crqGet,
                                       cap.hContainer),
              capOk);
    EXPECT_EQ(list, (Strings{"3", "4"}));
    EXPECT_TRUE(script().calls.empty());
    EXPECT_EQ(win::GlobalSize(cap.hContainer), 0u);  // freed
}

TEST_F(TTwainSourceTest, ItemTexts) {
    struct Case {
        TW_UINT16 type;
        std::vector<std::uint8_t> bytes;
        std::string text;
    };
    std::vector<std::uint8_t> str32(34, 'z');  // no terminating zero inside the item
    const Case cases[] = {
        {TWTY_INT8, {0xFF}, "-1"},
        {TWTY_UINT8, {0xFF}, "255"},
        {TWTY_INT16, {0xFF, 0xFF}, "-1"},
        {44, {0xFF, 0xFF}, "-1"},
        {TWTY_UINT16, {0xFF, 0xFF}, "65535"},
        {TWTY_BOOL, {0xFF, 0xFF}, "65535"},
        {TWTY_INT32, {0x00, 0x00, 0x00, 0x80}, "-2147483648"},
        {TWTY_UINT32, {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        {43, {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        {TWTY_UINT16, {0x00, 0x00}, "0"},
        {TWTY_FIX32, {0x2C, 0x01, 0x00, 0x80}, "300.5"},
        {TWTY_FIX32, {0x48, 0x00, 0x00, 0x00}, "72"},
        {TWTY_FIX32, {0xFF, 0xFF, 0x00, 0xC0}, "-0.25"},
        {TWTY_FIX32, {0x00, 0x00, 0x01, 0x00}, "0.00002"},
        {TWTY_FIX32, {0xFF, 0xFF, 0xFF, 0xFF}, "-0.00002"},
        {TWTY_STR32, {'A', 'b', 0, 'c'}, "Ab"},
        {TWTY_STR32, str32, std::string(34, 'z')},
        {TWTY_FRAME, std::vector<std::uint8_t>(16, 1), ""},
        {TWTY_STR1024, {'a', 0}, ""},
        {TWTY_UNI512, {'a', 0}, ""},
        {200, {'a', 0}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> item = c.bytes;
        item.resize(std::max<std::size_t>(item.size(), TTwainSource::ItemReadSize(c.type)));
        EXPECT_EQ(TTwainSource::ItemText(c.type, item.data()), c.text) << c.type;
    }
}

}  // namespace
}  // namespace twaintest
