// The one export of libtwain_32.so: the TWAIN source manager's entry point.

#include <type_traits>

#include "platform/twaindsm/SourceManager.h"
#include "twain/Twain.h"

namespace {

brevanto::twaindsm::SourceManager& sourceManager() {
    // Lives until the library is unloaded.
    static brevanto::twaindsm::SourceManager manager;
    return manager;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DSM_Entry(TW_IDENTITY* origin,
                                                                      TW_IDENTITY* dest,
                                                                      TW_UINT32 dg, TW_UINT16 dat,
                                                                      TW_UINT16 msg,
                                                                      TW_MEMREF data) {
    try {
        return sourceManager().entry(origin, dest, dg, dat, msg, data);
    } catch (...) {
        return TWRC_FAILURE;
    }
}

// The entry point has exactly the type applications call it through.
static_assert(std::is_same_v<decltype(&DSM_Entry), DSMENTRYPROC>);
