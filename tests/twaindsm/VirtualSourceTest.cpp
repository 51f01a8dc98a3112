#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DsmTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFile.h"
#include "platform/twaindsm/ScanRaster.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"

namespace twaindsmtest {
namespace {

using brevanto::twaindsm::Rgb;
using brevanto::twaindsm::ScanRaster;

constexpr double kWidthMm = 50;
constexpr double kHeightMm = 40;
constexpr int kDpi = 100;
constexpr TW_UINT32 kStrip = 1001;

std::string smallPageIni(const std::string& pixelType, const std::string& extra = "") {
    return std::string(kVirtualScannerOn) +
           "[VirtualScanner]\nPageWidthMm=50\nPageHeightMm=40\nResolution=100\nStripSize=1001\n"
           "PixelType=" +
           pixelType + "\n" + extra;
}

struct PixelTypeCase {
    const char* name;
    TW_INT16 pixelType;
    int bitsPerPixel;
};

const PixelTypeCase kPixelTypes[] = {
    {"BW", TWPT_BW, 1},
    {"Gray", TWPT_GRAY, 8},
    {"RGB", TWPT_RGB, 24},
    {"Palette", TWPT_PALETTE, 8},
};

// A session with the virtual scanner enabled without its dialog and its images ready.
class ReadySource {
  public:
    explicit ReadySource(const std::string& ini) : ini_(ini), session_(library_.entry()) {
        EXPECT_EQ(session_.openManager(), TWRC_SUCCESS);
        EXPECT_EQ(session_.openSource(), TWRC_SUCCESS);
        EXPECT_EQ(session_.enable(false), TWRC_SUCCESS);
        EXPECT_EQ(session_.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
    }
    DsmSession& session() { return session_; }
    IniFile& ini() { return ini_; }

  private:
    IniFile ini_;
    DsmLibrary library_;
    DsmSession session_;
};

struct Strips {
    std::vector<std::uint8_t> bytes;
    std::vector<TW_UINT32> sizes;
    TW_UINT16 lastRc = TWRC_SUCCESS;
};

// Fetches strips as the acquisition component does, until a code other than success.
Strips fetchStrips(DsmSession& session, TW_UINT32 size) {
    Strips strips;
    std::vector<std::uint8_t> buffer(size);
    TW_IMAGEMEMXFER memory;
    std::memset(&memory, 0xFF, sizeof memory);
    memory.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    memory.Memory.Length = size;
    do {
        memory.Memory.TheMem = buffer.data();
        memory.BytesWritten = 0;
        strips.lastRc = session.toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &memory);
        if (strips.lastRc == TWRC_SUCCESS || strips.lastRc == TWRC_XFERDONE) {
            strips.sizes.push_back(TW_UINT32{memory.BytesWritten});
            strips.bytes.insert(strips.bytes.end(), buffer.begin(),
                                buffer.begin() + memory.BytesWritten);
        }
    } while (strips.lastRc == TWRC_SUCCESS && strips.sizes.size() < 100000);
    return strips;
}

void expectSamePixels(const brevanto::graphics::Bitmap& bitmap, const ScanRaster& expected) {
    ASSERT_EQ(bitmap.width(), expected.width);
    ASSERT_EQ(bitmap.height(), expected.height);
    int mismatches = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const auto got = bitmap.pixel(x, y);
            const Rgb want = expected.pixel(x, y);
            if (got.red != want.red || got.green != want.green || got.blue != want.blue)
                if (++mismatches < 5) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(mismatches, 0);
}

class TwainDsmPixelType : public ::testing::TestWithParam<PixelTypeCase> {};

TEST_P(TwainDsmPixelType, MemoryStripsCarryThePageTopRowFirst) {
    const PixelTypeCase& c = GetParam();
    ReadySource ready(smallPageIni(c.name));
    DsmSession& session = ready.session();
    const ScanRaster expected =
        expectedRaster(kWidthMm, kHeightMm, kDpi, 1, "Brevanto Virtual Scanner", c.pixelType);

    TW_IMAGEINFO info{};
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.ImageWidth, expected.width);
    EXPECT_EQ(info.ImageLength, expected.height);
    EXPECT_EQ(info.BitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(info.PixelType, c.pixelType);
    EXPECT_EQ(info.XResolution.Whole, kDpi);
    EXPECT_EQ(info.XResolution.Frac, 0);
    EXPECT_EQ(info.YResolution.Whole, kDpi);
    EXPECT_EQ(info.SamplesPerPixel, c.pixelType == TWPT_RGB ? 3 : 1);

    TW_SETUPMEMXFER setup{};
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(setup.Preferred, kStrip);

    TW_PALETTE8 palette{};
    const TW_UINT16 paletteRc = session.toSource(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette);
    if (c.pixelType == TWPT_GRAY || c.pixelType == TWPT_PALETTE) {
        ASSERT_EQ(paletteRc, TWRC_SUCCESS);
        ASSERT_EQ(palette.NumColors, 256);
        for (int i = 0; i < 256; ++i) {
            const Rgb want = expected.palette[i];
            EXPECT_EQ((Rgb{palette.Colors[i].Channel1, palette.Colors[i].Channel2,
                           palette.Colors[i].Channel3}),
                      want)
                << i;
        }
    } else {
        EXPECT_EQ(paletteRc, TWRC_FAILURE);
    }

    const Strips strips = fetchStrips(session, setup.Preferred);
    EXPECT_EQ(strips.lastRc, TWRC_XFERDONE);
    ASSERT_GT(strips.sizes.size(), 1u);
    for (std::size_t i = 0; i + 1 < strips.sizes.size(); ++i) EXPECT_EQ(strips.sizes[i], kStrip);
    EXPECT_EQ(strips.bytes, expected.bytes);
    // The strips are cut by size: they end in the middle of rows.
    EXPECT_NE(kStrip % expected.rowBytes, 0u);

    TW_UINT16 count = 99;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(session.disable(), TWRC_SUCCESS);
}

TEST_P(TwainDsmPixelType, NativeTransferHandsOverAPackedDib) {
    const PixelTypeCase& c = GetParam();
    ReadySource ready(smallPageIni(c.name));
    DsmSession& session = ready.session();
    const ScanRaster expected =
        expectedRaster(kWidthMm, kHeightMm, kDpi, 1, "Brevanto Virtual Scanner", c.pixelType);

    TW_HANDLE dib = nullptr;
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
    const auto* block = static_cast<const std::uint8_t*>(win::GlobalLock(dib));
    ASSERT_NE(block, nullptr);
    const auto bitmap = brevanto::graphics::Bitmap::fromPackedDib(block, win::GlobalSize(dib));
    win::GlobalUnlock(dib);
    EXPECT_EQ(win::GlobalFree(dib), nullptr);
    EXPECT_EQ(bitmap->bitsPerPixel(), c.bitsPerPixel);
    EXPECT_EQ(bitmap->xPelsPerMeter(), 3937);
    expectSamePixels(*bitmap, expected);

    TW_UINT16 count = 99;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
}

TEST_P(TwainDsmPixelType, FileTransferWritesABmpFile) {
    const PixelTypeCase& c = GetParam();
    ReadySource ready(smallPageIni(c.name));
    DsmSession& session = ready.session();
    const ScanRaster expected =
        expectedRaster(kWidthMm, kHeightMm, kDpi, 1, "Brevanto Virtual Scanner", c.pixelType);

    const std::filesystem::path file = ready.ini().folder() / "page.bmp";
    TW_SETUPFILEXFER setup{};
    std::strcpy(setup.FileName, file.c_str());
    setup.Format = TWFF_BMP;
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    TW_SETUPFILEXFER asked{};
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &asked), TWRC_SUCCESS);
    EXPECT_EQ(std::string(asked.FileName), file.string());
    EXPECT_EQ(asked.Format, TWFF_BMP);

    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const brevanto::graphics::Bitmap bitmap =
        brevanto::graphics::decodeBmpFile(bytes.data(), bytes.size());
    EXPECT_EQ(bitmap.bitsPerPixel(), c.bitsPerPixel);
    expectSamePixels(bitmap, expected);
    EXPECT_FALSE(std::filesystem::exists(file.string() + ".part"));
}

INSTANTIATE_TEST_SUITE_P(AllPixelTypes, TwainDsmPixelType, ::testing::ValuesIn(kPixelTypes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TwainDsmSource, DefaultStripsEndInTheMiddleOfARow) {
    IniFile ini(kVirtualScannerOn);
    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    TW_SETUPMEMXFER setup{};
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    // A4 at 150 dpi in RGB: 1240 pixels of 3 bytes a row.
    EXPECT_EQ(setup.Preferred, 7u * 3720 + 3720 / 2 + 1);
    EXPECT_NE(setup.Preferred % 3720, 0u);
    EXPECT_LE(setup.MinBufSize, setup.Preferred);
    EXPECT_GE(setup.MaxBufSize, setup.Preferred);
}

TEST(TwainDsmSource, FeederSheetsArePendingAndNumbered) {
    ReadySource ready(smallPageIni("Gray", "Sheets=3\n"));
    DsmSession& session = ready.session();
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 3);
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        const Strips strips = fetchStrips(session, kStrip);
        ASSERT_EQ(strips.lastRc, TWRC_XFERDONE);
        EXPECT_EQ(strips.bytes, expectedRaster(kWidthMm, kHeightMm, kDpi, page,
                                               "Brevanto Virtual Scanner", TWPT_GRAY)
                                    .bytes);
        TW_UINT16 count = 99;
        ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
        EXPECT_EQ(count, 3 - page);
    }
    EXPECT_EQ(session.disable(), TWRC_SUCCESS);
}

TEST(TwainDsmSource, ResetDiscardsTheSheetsLeft) {
    ReadySource ready(smallPageIni("RGB", "Sheets=3\n"));
    DsmSession& session = ready.session();
    TW_HANDLE dib = nullptr;
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
    win::GlobalFree(dib);
    TW_UINT16 count = 0;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 2);
    TW_PENDINGXFERS pending{};
    pending.Count = 99;
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(session.disable(), TWRC_SUCCESS);
    // Still open, and a new scan starts from a full feeder with the next page number.
    ASSERT_EQ(session.enable(false), TWRC_SUCCESS);
    ASSERT_EQ(session.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
    const Strips strips = fetchStrips(session, kStrip);
    EXPECT_EQ(
        strips.bytes,
        expectedRaster(kWidthMm, kHeightMm, kDpi, 2, "Brevanto Virtual Scanner", TWPT_RGB).bytes);
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 2);
}

TEST(TwainDsmSource, StripsGoIntoAHandleAndAnImageCanBeAbandoned) {
    ReadySource ready(smallPageIni("RGB", "Sheets=2\n"));
    DsmSession& session = ready.session();
    win::HGLOBAL block = win::GlobalAlloc(win::GHND, 600);
    TW_IMAGEMEMXFER memory;
    std::memset(&memory, 0xFF, sizeof memory);
    memory.Memory.Flags = TWMF_APPOWNS | TWMF_HANDLE;
    memory.Memory.Length = 5000;  // more than the block: the block's size wins
    memory.Memory.TheMem = block;
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &memory), TWRC_SUCCESS);
    EXPECT_EQ(TW_UINT32{memory.BytesWritten}, 600u);
    EXPECT_EQ(TW_UINT32{memory.YOffset}, 0u);
    const ScanRaster first =
        expectedRaster(kWidthMm, kHeightMm, kDpi, 1, "Brevanto Virtual Scanner", TWPT_RGB);
    const auto* bytes = static_cast<const std::uint8_t*>(win::GlobalLock(block));
    EXPECT_TRUE(std::equal(bytes, bytes + 600, first.bytes.begin()));
    win::GlobalUnlock(block);
    win::GlobalFree(block);
    // Ending the transfer in the middle of an image drops the rest of it.
    TW_UINT16 count = 0;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 1);
    const Strips second = fetchStrips(session, kStrip);
    EXPECT_EQ(second.lastRc, TWRC_XFERDONE);
    EXPECT_EQ(
        second.bytes,
        expectedRaster(kWidthMm, kHeightMm, kDpi, 2, "Brevanto Virtual Scanner", TWPT_RGB).bytes);
}

TEST(TwainDsmSource, PaperJamAfterSomeStrips) {
    ReadySource ready(smallPageIni("RGB", "Sheets=3\nJamSheet=2\nJamAfterStrips=2\n"));
    DsmSession& session = ready.session();
    ASSERT_EQ(fetchStrips(session, kStrip).lastRc, TWRC_XFERDONE);
    TW_UINT16 count = 0;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    ASSERT_EQ(count, 2);
    const Strips jammed = fetchStrips(session, kStrip);
    EXPECT_EQ(jammed.lastRc, TWRC_FAILURE);
    EXPECT_EQ(jammed.sizes.size(), 2u);
    EXPECT_EQ(session.sourceCondition(), 20);  // TWCC_PAPERJAM
    // The jam stops the feeder: nothing more is pending.
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(session.disable(), TWRC_SUCCESS);
}

TEST(TwainDsmSource, PaperJamFailsANativeTransfer) {
    ReadySource ready(smallPageIni("RGB", "JamSheet=1\nJamAfterStrips=3\n"));
    DsmSession& session = ready.session();
    TW_HANDLE dib = nullptr;
    EXPECT_EQ(session.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_FAILURE);
    EXPECT_EQ(dib, nullptr);
    EXPECT_EQ(session.sourceCondition(), 20);
    TW_UINT16 count = 99;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
}

TEST(TwainDsmSource, UserCancelDuringTheTransfer) {
    for (const char* mode : {"memory", "native", "file"}) {
        SCOPED_TRACE(mode);
        ReadySource ready(smallPageIni("RGB", "Sheets=2\nCancelSheet=1\nCancelAfterStrips=1\n"));
        DsmSession& session = ready.session();
        const std::filesystem::path file = ready.ini().folder() / "cancelled.bmp";
        TW_UINT16 rc = 0;
        if (std::string(mode) == "memory") {
            const Strips strips = fetchStrips(session, kStrip);
            EXPECT_EQ(strips.sizes.size(), 1u);
            rc = strips.lastRc;
        } else if (std::string(mode) == "native") {
            TW_HANDLE dib = nullptr;
            rc = session.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
            EXPECT_EQ(dib, nullptr);
        } else {
            TW_SETUPFILEXFER setup{};
            std::strcpy(setup.FileName, file.c_str());
            setup.Format = TWFF_BMP;
            ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup),
                      TWRC_SUCCESS);
            rc = session.toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
        }
        EXPECT_EQ(rc, TWRC_CANCEL);
        EXPECT_FALSE(std::filesystem::exists(file));
        // The application may disable at once, without ending the transfer first.
        EXPECT_EQ(session.disable(), TWRC_SUCCESS);
        EXPECT_EQ(session.closeSource(), TWRC_SUCCESS);
    }
}

TEST(TwainDsmSource, EmptyFeederFailsTheTransfer) {
    ReadySource ready(smallPageIni("RGB", "Sheets=0\n"));
    DsmSession& session = ready.session();
    TW_IMAGEINFO info{};
    EXPECT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), 29);  // TWCC_NOMEDIA
    TW_HANDLE dib = nullptr;
    EXPECT_EQ(session.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_FAILURE);
    TW_UINT16 count = 99;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(session.disable(), TWRC_SUCCESS);
}

TEST(TwainDsmSource, AFileThatCannotBeWrittenFailsTheTransfer) {
    ReadySource ready(smallPageIni("RGB"));
    DsmSession& session = ready.session();
    const std::filesystem::path file = ready.ini().folder() / "missing" / "page.bmp";
    TW_SETUPFILEXFER setup{};
    std::strcpy(setup.FileName, file.c_str());
    setup.Format = TWFF_BMP;
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), 22);  // TWCC_FILEWRITEERROR
    EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
    // Only BMP files are written.
    setup.Format = TWFF_TIFF;
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_BADVALUE);
    // Retried with a file that can be written, the same page arrives whole.
    const std::filesystem::path good = ready.ini().folder() / "page.bmp";
    std::strcpy(setup.FileName, good.c_str());
    setup.Format = TWFF_BMP;
    ASSERT_EQ(session.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    std::ifstream in(good, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    expectSamePixels(
        brevanto::graphics::decodeBmpFile(bytes.data(), bytes.size()),
        expectedRaster(kWidthMm, kHeightMm, kDpi, 1, "Brevanto Virtual Scanner", TWPT_RGB));
    TW_UINT16 count = 99;
    ASSERT_EQ(session.endTransfer(&count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
}

TEST(TwainDsmSource, MessagesNotPostedByTheSourceAreNotClaimed) {
    ReadySource ready(smallPageIni("RGB"));
    DsmSession& session = ready.session();
    win::PostMessage(session.window().handle(), win::WM_USER + 5, 0, 0);
    win::MSG foreign{};
    foreign.hwnd = session.window().handle();
    foreign.message = win::WM_USER + 5;
    TW_EVENT event{&foreign, 0xBEEF};
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(event.TWMessage, MSG_NULL);
    EXPECT_TRUE(session.requests().empty());
}

// ---- capabilities ----

struct Enumeration {
    TW_UINT16 conType = 0;
    TW_UINT16 itemType = 0;
    std::vector<std::uint32_t> items;
    TW_UINT32 current = 0;
    TW_UINT32 byDefault = 0;
};

Enumeration readEnumeration(DsmSession& session, TW_UINT16 capability, TW_UINT16 msg = MSG_GET) {
    Enumeration e;
    TW_CAPABILITY cap{capability, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_CAPABILITY, msg, &cap), TWRC_SUCCESS);
    e.conType = cap.ConType;
    const auto* block = static_cast<const std::uint8_t*>(win::GlobalLock(cap.hContainer));
    if (!block || cap.ConType != TWON_ENUMERATION) return e;
    TW_ENUMERATION header;
    std::memcpy(&header, block, 14);
    e.itemType = header.ItemType;
    e.current = header.CurrentIndex;
    e.byDefault = header.DefaultIndex;
    const std::size_t size = header.ItemType == TWTY_FIX32 ? 4 : 2;
    for (TW_UINT32 i = 0; i < header.NumItems; ++i) {
        std::uint32_t item = 0;
        std::memcpy(&item, block + 14 + i * size, size);
        e.items.push_back(item);
    }
    win::GlobalUnlock(cap.hContainer);
    win::GlobalFree(cap.hContainer);
    return e;
}

TEST(TwainDsmSource, UnitsAndPixelFlavorAreEnumerations) {
    IniFile ini(smallPageIni("BW", "Units=Centimeters\nPixelFlavor=Vanilla\n"));
    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    const Enumeration units = readEnumeration(session, ICAP_UNITS);
    EXPECT_EQ(units.conType, TWON_ENUMERATION);
    EXPECT_EQ(units.itemType, TWTY_UINT16);
    EXPECT_EQ(units.items,
              (std::vector<std::uint32_t>{TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS}));
    EXPECT_EQ(units.current, 1u);
    const Enumeration flavor = readEnumeration(session, ICAP_PIXELFLAVOR);
    EXPECT_EQ(flavor.itemType, TWTY_UINT16);
    EXPECT_EQ(flavor.items, (std::vector<std::uint32_t>{TWPF_CHOCOLATE, TWPF_VANILLA}));
    EXPECT_EQ(flavor.current, 1u);
    EXPECT_EQ(readEnumeration(session, ICAP_PIXELFLAVOR, MSG_GETDEFAULT).byDefault, 1u);

    // The resolution follows the units: 100 dpi is 39.37 dots per centimetre.
    ASSERT_EQ(session.enable(false), TWRC_SUCCESS);
    ASSERT_EQ(session.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
    TW_IMAGEINFO info{};
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_NEAR(info.XResolution.Whole + info.XResolution.Frac / 65536.0, 100 / 2.54, 1e-4);
    // Vanilla black and white: a dark pixel is 1. The title's first dot is dark.
    const Strips strips = fetchStrips(session, kStrip);
    const ScanRaster expected = expectedRaster(kWidthMm, kHeightMm, kDpi, 1,
                                               "Brevanto Virtual Scanner", TWPT_BW, TWPF_VANILLA);
    EXPECT_EQ(strips.bytes, expected.bytes);
    EXPECT_EQ(expected.palette[1], (Rgb{0, 0, 0}));
}

TEST(TwainDsmSource, CapabilitiesAreSetOnlyBeforeEnabling) {
    IniFile ini(smallPageIni("RGB"));
    DsmLibrary library;
    DsmSession session(library.entry());
    ASSERT_EQ(session.openManager(), TWRC_SUCCESS);
    ASSERT_EQ(session.openSource(), TWRC_SUCCESS);
    auto setPixelType = [&](TW_UINT16 type) {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, win::GlobalAlloc(win::GHND, 6)};
        auto* one = static_cast<TW_ONEVALUE*>(win::GlobalLock(cap.hContainer));
        one->ItemType = TWTY_UINT16;
        one->Item = type;
        win::GlobalUnlock(cap.hContainer);
        const TW_UINT16 rc = session.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
        win::GlobalFree(cap.hContainer);
        return rc;
    };
    EXPECT_EQ(setPixelType(TWPT_GRAY), TWRC_SUCCESS);
    EXPECT_EQ(readEnumeration(session, ICAP_PIXELTYPE).current, 1u);
    EXPECT_EQ(setPixelType(9), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_BADVALUE);
    TW_CAPABILITY unknown{0x8123, TWON_DONTCARE16, nullptr};
    EXPECT_EQ(session.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &unknown), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_CAPUNSUPPORTED);

    ASSERT_EQ(session.enable(false), TWRC_SUCCESS);
    EXPECT_EQ(setPixelType(TWPT_RGB), TWRC_FAILURE);
    EXPECT_EQ(session.sourceCondition(), TWCC_SEQERROR);
    ASSERT_EQ(session.requests(), std::vector<TW_UINT16>{MSG_XFERREADY});
    TW_IMAGEINFO info{};
    ASSERT_EQ(session.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(info.PixelType, TWPT_GRAY);
}

}  // namespace
}  // namespace twaindsmtest
