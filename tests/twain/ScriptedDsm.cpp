// The scripted source manager: a library exporting DSM_Entry that the tests copy into the
// folders the manager searches. It answers from the script shared by all its copies and never
// lets an exception out.

#include <string>

#include <dlfcn.h>

#include "DsmScript.h"

namespace {

std::string ownPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ownPath), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

__attribute__((constructor)) void announceLoad() {
    dsmscript::script().lifecycle.push_back("loaded " + ownPath());
}

__attribute__((destructor)) void announceUnload() {
    dsmscript::script().lifecycle.push_back("unloaded " + ownPath());
    dsmscript::script().journal.push_back("library freed");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) TW_UINT16 DSM_Entry(TW_IDENTITY* origin,
                                                                      TW_IDENTITY* dest,
                                                                      TW_UINT32 dg, TW_UINT16 dat,
                                                                      TW_UINT16 msg,
                                                                      TW_MEMREF data) {
    try {
        return dsmscript::script().handle(origin, dest, dg, dat, msg, data, ownPath());
    } catch (...) {
        return TWRC_FAILURE;
    }
}
