// Fuzzing target: one memory-mode transfer through the acquisition component, every answer of
// the scanner driver taken from the fuzzer's bytes (see TwainStripInput.h): the image
// information, the units and pixel flavour, the strip size, the palette and each strip with the
// byte count it claims. The component is driven as the program drives it, through a source
// manager library (the scripted one of the TWAIN tests) and the posted-message queue.
//
// Findings besides sanitizer reports: an exception out of the component, a delivered image
// whose size is not the one announced, progress rows out of order, leaked handles.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "DsmScript.h"
#include "FuzzFinding.h"
#include "TwainStripInput.h"
#include "platform/graphics/Bitmap.h"
#include "platform/win/Directories.h"
#include "platform/win/Gdi.h"
#include "platform/win/GlobalMemory.h"
#include "platform/win/MessageQueue.h"
#include "twain/MemoryImageHeader.h"
#include "twain/TTwainManager.h"
#include "twain/TTwainSource.h"

namespace {

using namespace twain;
using fuzz::finding;

// A declared image above this many pixel bytes is skipped: the component allocates what the
// driver announces before any strip arrives (up to Bitmap's 2 GB limit), and large blocks only
// slow the fuzzer down and exhaust its memory without reaching other code. The same holds for
// the strip buffer the driver asks for.
constexpr std::uint64_t kMaxImageBytes = std::uint64_t{1} << 20;
constexpr std::uint32_t kMaxStripBuffer = std::uint32_t{1} << 20;

struct Expected {
    int width = 0;
    int height = 0;
    int nextRow = 0;
    int images = 0;
};

Expected expected;
TTwainManager* manager = nullptr;

void onAcquire(TTwainObject*, int, brevanto::graphics::Bitmap* image, bool&) {
    ++expected.images;
    if (image == nullptr) finding("no image delivered");
    if (image->width() != expected.width || image->height() != expected.height)
        finding("the delivered image is not the size the driver announced");
    // What the program does next with a scanned page: a BMP file and a 24-bit copy for the JPEG.
    const std::vector<std::uint8_t> file = image->saveToBytes();
    brevanto::graphics::Bitmap copy(*image);
    copy.setPixelFormat(brevanto::graphics::PixelFormat::pf24bit);
    if (copy.width() != image->width() || file.empty()) finding("the page could not be kept");
}

void onProgress(TTwainObject*, int, win::HBITMAP, int current, int total) {
    if (current != expected.nextRow || total != expected.height - 1 || current > total)
        finding("progress rows out of order or past the image");
    ++expected.nextRow;
}

// The scripted source manager is found, as the program finds libtwain_32.so, in the first
// folder searched; the folder is gone again once the library is loaded.
void openManager() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("brevanto-fuzz-twain-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(FUZZ_SCRIPTED_DSM_PATH, folder / TTwainManager::kLibraryName);
    for (auto f : {win::SystemFolder::Windows, win::SystemFolder::System,
                   win::SystemFolder::Current, win::SystemFolder::Temp})
        win::SetFolderOverride(f, folder.string() + "/");
    win::SetFolderOverride(win::SystemFolder::ProgramFile, (folder / "brevanto").string());

    dsmscript::script().sources.push_back(dsmscript::makeIdentity(1, "Fuzzed Scanner"));
    manager = new TTwainManager();
    // Closed before the script it answers from goes: the library reports its unloading there.
    std::atexit([] { delete manager; });
    manager->OnTwainAcquire = onAcquire;
    manager->OnAcquireProgress = onProgress;
    const bool loaded = manager->LoadTwainLibrary();
    std::filesystem::remove_all(folder);
    if (!loaded) finding("the scripted source manager did not load");
    manager->SetSourceManagerLoaded(true);
    TTwainSource* source = manager->Sources(0);
    if (source == nullptr) finding("the scripted source is not listed");
    source->SetLoaded(true);
    source->SetTransferMode(ttmMemory);
}

dsmscript::Responder codeAnswer(std::optional<TW_UINT16> value) {
    if (!value) return dsmscript::returns(TWRC_FAILURE);
    return dsmscript::uint16Enumeration({*value}, 0, 0);
}

void script(const fuzz::TwainStripInput& in) {
    using dsmscript::Responder;
    dsmscript::Script& s = dsmscript::script();
    s.reset();
    s.once(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, dsmscript::imageInfo(in.info));
    s.once(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(in.preferred));
    s.once(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, dsmscript::setupMem(in.laterPreferred));
    Responder units = codeAnswer(in.units);
    Responder flavor = codeAnswer(in.flavor);
    s.always(DG_CONTROL, DAT_CAPABILITY, MSG_GET, [units, flavor](TW_MEMREF data) -> TW_UINT16 {
        switch (static_cast<TW_CAPABILITY*>(data)->Cap) {
            case ICAP_UNITS:
                return units(data);
            case ICAP_PIXELFLAVOR:
                return flavor(data);
            default:
                return TWRC_FAILURE;
        }
    });
    s.always(DG_IMAGE, DAT_PALETTE8, MSG_GET,
             in.palette ? dsmscript::palette(*in.palette) : dsmscript::returns(TWRC_FAILURE));
    for (const fuzz::TwainStrip& strip : in.strips)
        s.once(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET,
               dsmscript::strip(strip.bytes, strip.returnCode, strip.claimed));
    // A driver out of strips fails, so that the transfer loop ends.
    s.always(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, dsmscript::returns(TWRC_FAILURE));
    s.always(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, dsmscript::pending(0));
    s.once(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT,
           dsmscript::processEvent(TWRC_DSEVENT, MSG_XFERREADY));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (manager == nullptr) openManager();
    const fuzz::TwainStripInput in = fuzz::unpackTwainStrips(data, size);
    const std::uint64_t declared = DibRowLength(in.info.BitsPerPixel, in.info.ImageWidth) *
                                   static_cast<std::uint64_t>(std::max(in.info.ImageLength, 0));
    if (declared > kMaxImageBytes || in.preferred > kMaxStripBuffer ||
        in.laterPreferred > kMaxStripBuffer)
        return -1;

    expected = Expected{in.info.ImageWidth, in.info.ImageLength, 0, 0};
    const std::size_t memoryBefore = win::GlobalHandleCount();
    const std::size_t bitmapsBefore = win::BitmapHandleCount();
    script(in);
    TTwainSource* source = manager->Sources(0);
    // Nothing may throw out of here: the component documents no exception for a transfer.
    source->SetEnabled(true);
    // The driver announces its image; the program's event loop then runs the transfer.
    win::PostMessage(manager->WindowHandle(), win::WM_USER + 1, 0, 0);
    win::DispatchPostedMessages();
    if (source->Enabled()) finding("the source stayed enabled after its transfer");
    if (expected.images > 1) finding("one transfer delivered more than one image");
    if (win::GlobalHandleCount() != memoryBefore) finding("movable memory leaked");
    if (win::BitmapHandleCount() != bitmapsBefore) finding("a bitmap handle leaked");
    return 0;
}
