#include <cstring>
#include <map>

#include <gtest/gtest.h>

#include "TwainFixture.h"
#include "platform/graphics/Bitmap.h"
#include "platform/win/GlobalMemory.h"

namespace twaintest {
namespace {

using brevanto::graphics::Bitmap;
using brevanto::graphics::PaletteEntry;
using brevanto::graphics::RgbColor;
using dsmscript::Call;
using dsmscript::Responder;
using namespace twain;
using Strings = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// Answers DAT_CAPABILITY by the capability asked for; others fail with condition code 0.
Responder capabilities(std::map<TW_UINT16, Responder> answers) {
    return [answers = std::move(answers)](TW_MEMREF data) -> TW_UINT16 {
        const auto it = answers.find(static_cast<TW_CAPABILITY*>(data)->Cap);
        return it == answers.end() ? TWRC_FAILURE : it->second(data);
    };
}

TW_IMAGEINFO imageInfo(int width, int height, int bits, TW_INT16 pixelType, double xres = 300,
                       double yres = 300) {
    TW_IMAGEINFO info{};
    info.XResolution = FloatToFix32(xres);
    info.YResolution = FloatToFix32(yres);
    info.ImageWidth = width;
    info.ImageLength = height;
    info.BitsPerPixel = static_cast<TW_INT16>(bits);
    info.PixelType = pixelType;
    return info;
}

class TTwainTransferTest : public TwainFixture {
  protected:
    void start(TTwainTransferMode mode) {
        manager_ = enabledSource(mode);
        source_ = manager_->Sources(0);
    }
    void TearDown() override {
        source_ = nullptr;
        manager_.reset();
        TwainFixture::TearDown();
    }

    // One memory image: its information, the strip size, and its strips (the last one ends
    // the transfer).
    void scriptImage(const TW_IMAGEINFO& info, TW_UINT32 preferred, std::vector<Bytes> strips) {
        script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, dsmscript::imageInfo(info));
        script().once(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(preferred));
        script().once(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(preferred));
        for (std::size_t i = 0; i < strips.size(); ++i)
            script().once(
                DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET,
                dsmscript::strip(strips[i], i + 1 == strips.size() ? TWRC_XFERDONE : TWRC_SUCCESS));
    }
    void pendingAfter(std::vector<TW_UINT16> counts) {
        for (TW_UINT16 count : counts)
            script().once(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, dsmscript::pending(count));
    }
    void unitsAre(TW_UINT16 unit, std::map<TW_UINT16, Responder> more = {}) {
        more[ICAP_UNITS] = dsmscript::uint16Enumeration({unit}, 0, 0);
        script().always(DG_CONTROL, DAT_CAPABILITY, MSG_GET, capabilities(std::move(more)));
    }

    std::unique_ptr<TTwainManager> manager_;
    TTwainSource* source_ = nullptr;
};

TEST_F(TTwainTransferTest, RgbStripsBecomeATopDownPictureInBlueGreenRed) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    // Rows of 8 bytes (two pixels and two padding bytes); the first strip ends mid-row.
    const Bytes row0{10, 20, 30, 40, 50, 60, 0, 0};
    const Bytes row1{70, 80, 90, 100, 110, 120, 0, 0};
    Bytes first(row0.begin(), row0.begin() + 5);
    Bytes second(row0.begin() + 5, row0.end());
    second.insert(second.end(), row1.begin(), row1.end());
    scriptImage(imageInfo(2, 2, 24, TWPT_RGB), 12, {first, second});
    pendingAfter({0});
    announceImages(*manager_);

    EXPECT_EQ(journal(), (Strings{"DAT_EVENT MSG_PROCESSEVENT", "DAT_IMAGEINFO MSG_GET",
                                  "DAT_SETUPMEMXFER MSG_GET", "DAT_CAPABILITY MSG_GET",
                                  "DAT_SETUPMEMXFER MSG_GET", "DAT_IMAGEMEMXFER MSG_GET",
                                  "DAT_IMAGEMEMXFER MSG_GET", "OnTwainAcquire manager 0",
                                  "DAT_PENDINGXFERS MSG_ENDXFER", "DAT_USERINTERFACE MSG_DISABLEDS",
                                  "OnSourceDisable manager 0"}));
    ASSERT_EQ(acquired.size(), 1u);
    const Bitmap& image = acquired[0];
    EXPECT_EQ(image.width(), 2);
    EXPECT_EQ(image.height(), 2);
    EXPECT_EQ(image.bitsPerPixel(), 24);
    EXPECT_EQ(image.pixel(0, 0), (RgbColor{10, 20, 30}));
    EXPECT_EQ(image.pixel(1, 0), (RgbColor{40, 50, 60}));
    EXPECT_EQ(image.pixel(0, 1), (RgbColor{70, 80, 90}));
    EXPECT_EQ(image.pixel(1, 1), (RgbColor{100, 110, 120}));
    EXPECT_EQ(image.xPelsPerMeter(), 11811);
    EXPECT_EQ(image.yPelsPerMeter(), 11811);
    EXPECT_FALSE(source_->Enabled());
    EXPECT_TRUE(source_->Loaded());
    // Progress: one event per completed row, from the source object.
    EXPECT_EQ(progress, (Strings{"source 0 0/1", "source 0 1/1"}));
}

TEST_F(TTwainTransferTest, StripRecordIsFilledWithOnesAndPointsAtTheBuffer) {
    start(ttmMemory);
    unitsAre(TWUN_PIXELS);
    scriptImage(imageInfo(4, 2, 8, TWPT_GRAY), 4, {{1, 2, 3, 4}, {5, 6, 7, 8}});
    pendingAfter({0});
    announceImages(*manager_);
    std::vector<const Call*> strips;
    for (const Call& call : script().calls)
        if (call.dat == DAT_IMAGEMEMXFER) strips.push_back(&call);
    ASSERT_EQ(strips.size(), 2u);
    for (const Call* call : strips) {
        EXPECT_EQ(call->dg, DG_IMAGE);
        const auto xfer = call->as<TW_IMAGEMEMXFER>();
        EXPECT_EQ(xfer.Compression, 0xFFFF);
        EXPECT_EQ(xfer.BytesPerRow, 0xFFFFFFFFu);
        EXPECT_EQ(xfer.YOffset, 0xFFFFFFFFu);
        EXPECT_EQ(xfer.BytesWritten, 0u);
        EXPECT_EQ(xfer.Memory.Flags, TWMF_APPOWNS | TWMF_POINTER);
        EXPECT_EQ(xfer.Memory.Length, 4u);
        EXPECT_NE(xfer.Memory.TheMem, nullptr);
    }
    EXPECT_EQ(strips[0]->as<TW_IMAGEMEMXFER>().Memory.TheMem,
              strips[1]->as<TW_IMAGEMEMXFER>().Memory.TheMem);
    ASSERT_EQ(acquired.size(), 1u);
    EXPECT_EQ(acquired[0].pixelIndex(3, 0), 4);
    EXPECT_EQ(acquired[0].pixelIndex(0, 1), 5);
    EXPECT_EQ(acquired[0].xPelsPerMeter(), 0);  // pixels: no resolution
}

TEST_F(TTwainTransferTest, ColourTablesByPixelType) {
    struct Case {
        const char* what;
        TW_INT16 pixelType;
        int bits;
        std::map<TW_UINT16, Responder> caps;
        std::optional<Responder> palette;
        std::vector<PaletteEntry> expectedFirst;  // leading entries
        std::size_t count;
    };
    TW_PALETTE8 three{};
    three.NumColors = 3;
    three.Colors[0] = {0, 1, 2, 3};
    three.Colors[1] = {1, 4, 5, 6};
    three.Colors[2] = {2, 7, 8, 9};
    TW_PALETTE8 tooMany = three;
    tooMany.NumColors = 300;
    const PaletteEntry black{0, 0, 0, 0};
    const PaletteEntry white{255, 255, 255, 0};
    const PaletteEntry grey1{1, 1, 1, 0};
    std::vector<Case> cases;
    cases.push_back({"bw chocolate",
                     TWPT_BW,
                     1,
                     {{ICAP_PIXELFLAVOR, dsmscript::uint16Enumeration({TWPF_CHOCOLATE}, 0, 0)}},
                     std::nullopt,
                     {black, white},
                     2});
    cases.push_back({"bw vanilla",
                     TWPT_BW,
                     1,
                     {{ICAP_PIXELFLAVOR, dsmscript::uint16Enumeration({TWPF_VANILLA}, 0, 0)}},
                     std::nullopt,
                     {white, black},
                     2});
    cases.push_back({"bw unknown flavor",
                     TWPT_BW,
                     1,
                     {{ICAP_PIXELFLAVOR, dsmscript::uint16Enumeration({4}, 0, 0)}},
                     std::nullopt,
                     {black, white},
                     2});
    cases.push_back({"bw flavor fails", TWPT_BW, 1, {}, std::nullopt, {black, white}, 2});
    cases.push_back({"gray", TWPT_GRAY, 8, {}, std::nullopt, {black, grey1}, 256});
    cases.push_back({"palette",
                     TWPT_PALETTE,
                     8,
                     {},
                     dsmscript::palette(three),
                     {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}},
                     3});
    cases.push_back({"palette fails",
                     TWPT_PALETTE,
                     8,
                     {},
                     dsmscript::returns(TWRC_FAILURE),
                     {black, grey1},
                     256});
    cases.push_back({"palette of 300 colours",
                     TWPT_PALETTE,
                     8,
                     {},
                     dsmscript::palette(tooMany),
                     {{1, 2, 3, 0}},
                     256});
    cases.push_back({"other pixel type", 9, 4, {}, dsmscript::palette(three), {{1, 2, 3, 0}}, 3});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        script().reset();
        acquired.clear();
        start(ttmMemory);
        unitsAre(TWUN_INCHES, c.caps);
        if (c.palette) script().once(DG_IMAGE, DAT_PALETTE8, MSG_GET, *c.palette);
        const std::size_t rowBytes = ((c.bits * 8 + 31) / 32) * 4;
        scriptImage(imageInfo(8, 1, c.bits, c.pixelType), 64, {Bytes(rowBytes, 0)});
        pendingAfter({0});
        announceImages(*manager_);
        ASSERT_EQ(acquired.size(), 1u);
        const auto& table = acquired[0].palette();
        ASSERT_EQ(table.size(), c.count);
        for (std::size_t i = 0; i < c.expectedFirst.size(); ++i)
            EXPECT_EQ(table[i], c.expectedFirst[i]) << i;
        EXPECT_EQ(script().count(DAT_PALETTE8, MSG_GET), c.palette ? 1u : 0u);
        if (c.count == 256 && c.pixelType == TWPT_GRAY) {
            EXPECT_EQ(table[255], white);
        }
        manager_.reset();
    }
}

TEST_F(TTwainTransferTest, ResolutionByUnits) {
    struct Case {
        std::optional<TW_UINT16> unit;
        double resolution;
        std::int32_t perMetre;
    };
    const Case cases[] = {{TWUN_INCHES, 300, 11811}, {TWUN_CENTIMETERS, 120, 12000},
                          {TWUN_PIXELS, 300, 0},     {TWUN_POINTS, 300, 0},
                          {std::nullopt, 300, 0},    {TWUN_INCHES, 300.5, 11830}};
    for (const Case& c : cases) {
        script().reset();
        acquired.clear();
        start(ttmMemory);
        if (c.unit)
            unitsAre(*c.unit);
        else  // no units: the read fails
            script().always(DG_CONTROL, DAT_CAPABILITY, MSG_GET, dsmscript::returns(TWRC_FAILURE));
        scriptImage(imageInfo(1, 1, 24, TWPT_RGB, c.resolution, c.resolution / 2), 16,
                    {Bytes(4, 0)});
        pendingAfter({0});
        announceImages(*manager_);
        ASSERT_EQ(acquired.size(), 1u);
        EXPECT_EQ(acquired[0].xPelsPerMeter(), c.perMetre) << c.resolution;
        manager_.reset();
    }
}

TEST_F(TTwainTransferTest, CancelWithOneImagePendingEndsWithoutReset) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    cancelInAcquire = true;
    scriptImage(imageInfo(1, 1, 24, TWPT_RGB), 16, {Bytes(4, 0)});
    pendingAfter({0});
    announceImages(*manager_);
    EXPECT_EQ(acquired.size(), 1u);
    EXPECT_EQ(script().count(DAT_PENDINGXFERS, MSG_ENDXFER), 1u);
    EXPECT_EQ(script().count(DAT_PENDINGXFERS, MSG_RESET), 0u);
    EXPECT_FALSE(source_->Enabled());
}

TEST_F(TTwainTransferTest, CancelWithThreeImagesPendingDiscardsTheRest) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    cancelInAcquire = true;
    scriptImage(imageInfo(1, 1, 24, TWPT_RGB), 16, {Bytes(4, 0)});
    pendingAfter({2});
    announceImages(*manager_);
    EXPECT_EQ(acquired.size(), 1u);
    EXPECT_EQ(script().count(DAT_IMAGEINFO, MSG_GET), 1u);
    const Strings tail(journal().end() - 5, journal().end());
    EXPECT_EQ(tail, (Strings{"OnTwainAcquire manager 0", "DAT_PENDINGXFERS MSG_ENDXFER",
                             "DAT_PENDINGXFERS MSG_RESET", "DAT_USERINTERFACE MSG_DISABLEDS",
                             "OnSourceDisable manager 0"}));
    EXPECT_TRUE(source_->Loaded());
}

TEST_F(TTwainTransferTest, FailedResetGoesOnWithTheNextImage) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    cancelInAcquire = true;
    scriptImage(imageInfo(1, 1, 24, TWPT_RGB), 16, {Bytes(4, 0)});
    scriptImage(imageInfo(1, 1, 24, TWPT_RGB), 16, {Bytes(4, 0)});
    pendingAfter({1, 0});
    script().once(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, dsmscript::returns(TWRC_FAILURE));
    announceImages(*manager_);
    EXPECT_EQ(acquired.size(), 2u);
}

TEST_F(TTwainTransferTest, WithoutCancelEveryImageArrivesAndUnknownCountMeansMore) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    for (std::uint8_t blue : {1, 2, 3})
        scriptImage(imageInfo(1, 1, 24, TWPT_RGB), 16, {Bytes{0, 0, blue, 0}});
    pendingAfter({0xFFFF, 1, 0});
    announceImages(*manager_);
    ASSERT_EQ(acquired.size(), 3u);
    EXPECT_EQ(acquired[0].pixel(0, 0).blue, 1);
    EXPECT_EQ(acquired[2].pixel(0, 0).blue, 3);
    EXPECT_EQ(eventsOf(journal()),
              (Strings{"OnTwainAcquire manager 0", "OnTwainAcquire manager 0",
                       "OnTwainAcquire manager 0", "OnSourceDisable manager 0"}));
}

TEST_F(TTwainTransferTest, CancelFromTheStripCallEndsAtOnce) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                  dsmscript::imageInfo(imageInfo(1, 2, 24, TWPT_RGB)));
    script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(4));
    script().once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, dsmscript::strip(Bytes(4, 0), TWRC_SUCCESS));
    script().once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, dsmscript::strip({}, TWRC_CANCEL));
    announceImages(*manager_);
    EXPECT_TRUE(acquired.empty());
    EXPECT_EQ(script().count(DAT_PENDINGXFERS, MSG_ENDXFER), 0u);
    const Strings tail(journal().end() - 3, journal().end());
    EXPECT_EQ(tail, (Strings{"OnAcquireCancel manager 0", "DAT_USERINTERFACE MSG_DISABLEDS",
                             "OnSourceDisable manager 0"}));
}

TEST_F(TTwainTransferTest, WithoutHandlerTheImageIsFetchedAndDiscarded) {
    start(ttmMemory);
    manager_->OnTwainAcquire = nullptr;
    unitsAre(TWUN_INCHES);
    scriptImage(imageInfo(2, 2, 24, TWPT_RGB), 16, {Bytes(16, 0)});
    pendingAfter({0});
    announceImages(*manager_);
    EXPECT_EQ(script().count(DAT_IMAGEMEMXFER, MSG_GET), 1u);
    EXPECT_EQ(script().count(DAT_PENDINGXFERS, MSG_ENDXFER), 1u);
    EXPECT_FALSE(source_->Enabled());
    // The fixture checks that no bitmap handle outlived the transfer.
}

TEST_F(TTwainTransferTest, FailuresAreReportedAndTheTransferEnded) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"image information fails",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(TW_IMAGEINFO{}, TWRC_FAILURE));
             dsmscript::script().once(DG_CONTROL, DAT_STATUS, MSG_GET,
                                      dsmscript::status(TWCC_SEQERROR));
         },
         "OnAcquireError manager 0 1 11"},
        {"strip fails",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(2, 2, 24, TWPT_RGB)));
             dsmscript::script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                        dsmscript::setupMem(8));
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET,
                                      dsmscript::strip(Bytes(8, 1), TWRC_SUCCESS));
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET,
                                      dsmscript::strip({}, TWRC_FAILURE));
             dsmscript::script().once(DG_CONTROL, DAT_STATUS, MSG_GET,
                                      dsmscript::status(TWCC_LOWMEMORY));
         },
         "OnAcquireError manager 0 1 2"},
        {"preferred size of 0",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(2, 2, 24, TWPT_RGB)));
             dsmscript::script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                        dsmscript::setupMem(0));
         },
         "OnAcquireError manager 0 1 10"},
        {"buffer size query fails",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(2, 2, 24, TWPT_RGB)));
             dsmscript::script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                        dsmscript::setupMem(64, TWRC_FAILURE));
             dsmscript::script().once(DG_CONTROL, DAT_STATUS, MSG_GET,
                                      dsmscript::status(TWCC_BUMMER));
         },
         "OnAcquireError manager 0 1 1"},
        {"second buffer size query gives 0",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(2, 2, 24, TWPT_RGB)));
             dsmscript::script().once(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                      dsmscript::setupMem(64));
             dsmscript::script().once(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                      dsmscript::setupMem(0));
         },
         "OnAcquireError manager 0 1 10"},
        {"impossible bit depth",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(2, 2, 7, TWPT_RGB)));
         },
         "OnAcquireError manager 0 1 10"},
        {"negative height",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(2, -2, 24, TWPT_RGB)));
         },
         "OnAcquireError manager 0 1 10"},
        {"a page larger than any scanner makes, refused before its pixels are allocated",
         [] {
             dsmscript::script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                                      dsmscript::imageInfo(imageInfo(20000, 20000, 1, TWPT_BW)));
             dsmscript::script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                        dsmscript::setupMem(64));
         },
         "OnAcquireError manager 0 1 10"},
        {"image too large to make",
         [] {
             dsmscript::script().once(
                 DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                 dsmscript::imageInfo(imageInfo(2000000, 2000000, 32, TWPT_RGB)));
             dsmscript::script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                                        dsmscript::setupMem(64));
         },
         "OnAcquireError manager 0 1 10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        script().reset();
        acquired.clear();
        start(ttmMemory);
        unitsAre(TWUN_INCHES);
        c.arrange();
        pendingAfter({0});
        announceImages(*manager_);
        EXPECT_TRUE(acquired.empty());
        EXPECT_EQ(eventsOf(journal()), (Strings{c.error, "OnSourceDisable manager 0"}));
        EXPECT_EQ(script().count(DAT_PENDINGXFERS, MSG_ENDXFER), 1u);
        manager_.reset();
    }
}

TEST_F(TTwainTransferTest, StripsCarryingTooMuchStopAtTheLastRow) {
    start(ttmMemory);
    unitsAre(TWUN_INCHES);
    // 2 x 2 grey: 4-byte rows, 8 bytes in all; the source sends 40, then claims a strip larger
    // than the buffer it was given.
    script().once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET,
                  dsmscript::imageInfo(imageInfo(2, 2, 8, TWPT_GRAY)));
    script().always(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(20));
    Bytes first(20);
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<std::uint8_t>(i + 1);
    script().once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, dsmscript::strip(first, TWRC_SUCCESS));
    script().once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET,
                  dsmscript::strip(Bytes(20, 0xEE), TWRC_XFERDONE, 100000));
    pendingAfter({0});
    announceImages(*manager_);
    ASSERT_EQ(acquired.size(), 1u);
    EXPECT_EQ(acquired[0].pixelIndex(0, 0), 1);
    EXPECT_EQ(acquired[0].pixelIndex(1, 1), 6);
    EXPECT_EQ(progress.size(), 2u);
}

TEST_F(TTwainTransferTest, NativeTransferDeliversTheDibAndFreesItsBlock) {
    start(ttmNative);
    Bitmap picture(2, 2, brevanto::graphics::PixelFormat::pf24bit);
    picture.setPixel(1, 0, RgbColor{9, 8, 7});
    script().once(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET,
                  dsmscript::nativeDib(picture.toPackedDib()));
    pendingAfter({0});
    announceImages(*manager_);
    EXPECT_EQ(journal(), (Strings{"DAT_EVENT MSG_PROCESSEVENT", "DAT_IMAGENATIVEXFER MSG_GET",
                                  "OnTwainAcquire manager 0", "DAT_PENDINGXFERS MSG_ENDXFER",
                                  "DAT_USERINTERFACE MSG_DISABLEDS", "OnSourceDisable manager 0"}));
    EXPECT_EQ(script().calls.at(1).as<TW_HANDLE>(), nullptr);  // sent as 0
    ASSERT_EQ(acquired.size(), 1u);
    EXPECT_EQ(acquired[0].pixel(1, 0), (RgbColor{9, 8, 7}));
}

TEST_F(TTwainTransferTest, NativeDibThatDoesNotFitItsBlockIsRefused) {
    Bitmap picture(4, 4, brevanto::graphics::PixelFormat::pf8bit);
    const Bytes whole = picture.toPackedDib();
    struct Case {
        const char* what;
        Bytes dib;
    };
    Bytes hugeColours = whole;
    const std::uint32_t clrUsed = 0x7FFFFFFF;
    std::memcpy(hugeColours.data() + 32, &clrUsed, 4);
    const std::vector<Case> cases = {
        {"pixels cut short", Bytes(whole.begin(), whole.end() - 1)},
        {"colour table cut short", Bytes(whole.begin(), whole.begin() + 100)},
        {"header cut short", Bytes(whole.begin(), whole.begin() + 20)},
        {"colour count past the block", hugeColours},
        {"empty block", Bytes{}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        script().reset();
        acquired.clear();
        start(ttmNative);
        script().once(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, dsmscript::nativeDib(c.dib));
        pendingAfter({0});
        announceImages(*manager_);
        EXPECT_TRUE(acquired.empty());
        EXPECT_EQ(eventsOf(journal()),
                  (Strings{"OnAcquireError manager 0 1 10", "OnSourceDisable manager 0"}));
        manager_.reset();
    }
}

TEST_F(TTwainTransferTest, NativeFailureFreesAnyBlockHandedOver) {
    start(ttmNative);
    script().once(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET,
                  dsmscript::nativeDib(Bytes(64, 0), TWRC_FAILURE));
    pendingAfter({0});
    announceImages(*manager_);
    EXPECT_EQ(eventsOf(journal()),
              (Strings{"OnAcquireError manager 0 1 0", "OnSourceDisable manager 0"}));
}

TEST_F(TTwainTransferTest, FileTransferReportsTheSourcesFile) {
    start(ttmFile);
    cancelInAcquire = true;
    script().once(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET,
                  dsmscript::setupFile("/tmp/page.bmp", TWFF_BMP));
    script().once(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, dsmscript::returns(TWRC_XFERDONE));
    pendingAfter({3});
    announceImages(*manager_);
    EXPECT_EQ(journal(), (Strings{"DAT_EVENT MSG_PROCESSEVENT", "OnSourceSetupFileXfer manager 0",
                                  "DAT_SETUPFILEXFER MSG_GET", "DAT_IMAGEFILEXFER MSG_GET",
                                  "OnSourceFileTransfer source 0 /tmp/page.bmp 2",
                                  "DAT_PENDINGXFERS MSG_ENDXFER", "DAT_PENDINGXFERS MSG_RESET",
                                  "DAT_USERINTERFACE MSG_DISABLEDS", "OnSourceDisable manager 0"}));
    const Call* file = script().last(DAT_IMAGEFILEXFER, MSG_GET);
    EXPECT_EQ(file->dg, DG_IMAGE);
    EXPECT_FALSE(file->hasRecord);
}

TEST_F(TTwainTransferTest, FileFormatsAndAFailedSetup) {
    const std::pair<TW_UINT16, TTwainFormat> formats[] = {
        {TWFF_TIFF, tfTIFF}, {TWFF_JFIF, tfJPEG}, {TWFF_EXIF, tfEXIF}, {10, tfUnknown}};
    for (const auto& [code, format] : formats) {
        script().reset();
        start(ttmFile);
        // A name that fills the whole field without a terminating zero is cut to 255.
        script().once(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET,
                      dsmscript::setupFile(std::string(300, 'n'), code));
        script().once(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, dsmscript::returns(TWRC_XFERDONE));
        pendingAfter({0});
        announceImages(*manager_);
        EXPECT_EQ(eventsOf(journal()).at(1), "OnSourceFileTransfer source 0 " +
                                                 std::string(255, 'n') + " " +
                                                 std::to_string(format));
        manager_.reset();
    }
    script().reset();
    start(ttmFile);
    script().once(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET,
                  dsmscript::setupFile("/x.tif", TWFF_TIFF, TWRC_FAILURE));
    script().once(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, dsmscript::returns(TWRC_XFERDONE));
    pendingAfter({0});
    announceImages(*manager_);
    EXPECT_EQ(eventsOf(journal()).at(1), "OnSourceFileTransfer source 0  10");
}

}  // namespace
}  // namespace twaintest
