#include "platform/twaindsm/SaneBackend.h"

#include <algorithm>
#include <cstring>

#include <signal.h>

namespace brevanto::twaindsm {

namespace {

std::string textOf(SANE_String_Const text) { return text ? std::string(text) : std::string(); }

void copyText(char (&field)[34], const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), sizeof field - 1));
}

}  // namespace

SaneLibrary::SaneLibrary() {
    // Backends read through pipes from reader threads or processes; a cancel closes the pipe
    // under a writer, and the default answer to that would end the whole program.
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
        ::signal(SIGPIPE, SIG_IGN);
    SANE_Int version = 0;
    ready_ = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
}

SaneLibrary::~SaneLibrary() {
    if (ready_) sane_exit();
}

std::vector<SaneLibrary::Device> SaneLibrary::devices() const {
    std::vector<Device> found;
    if (!ready_) return found;
    const SANE_Device** list = nullptr;
    if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return found;
    for (const SANE_Device** at = list; *at; ++at) {
        const SANE_Device* device = *at;
        if (!device->name || !*device->name) continue;
        found.push_back(
            {device->name, textOf(device->vendor), textOf(device->model), textOf(device->type)});
    }
    return found;
}

ReadResult readResultFor(SANE_Status status) {
    ReadResult result;
    result.outcome = ReadOutcome::Failed;
    switch (status) {
        case SANE_STATUS_CANCELLED:
            result.outcome = ReadOutcome::Cancelled;
            result.condition = TWCC_SUCCESS;
            break;
        case SANE_STATUS_JAMMED:
            result.condition = TWCC_PAPERJAM;
            break;
        case SANE_STATUS_NO_DOCS:
            result.condition = TWCC_NOMEDIA;
            break;
        case SANE_STATUS_COVER_OPEN:
            result.condition = TWCC_INTERLOCK;
            break;
        case SANE_STATUS_DEVICE_BUSY:
            result.condition = TWCC_MAXCONNECTIONS;
            break;
        case SANE_STATUS_IO_ERROR:
            result.condition = TWCC_CHECKDEVICEONLINE;
            break;
        case SANE_STATUS_NO_MEM:
            result.condition = TWCC_LOWMEMORY;
            break;
        case SANE_STATUS_ACCESS_DENIED:
            result.condition = TWCC_DENIED;
            break;
        case SANE_STATUS_INVAL:
            result.condition = TWCC_BADVALUE;
            break;
        default:
            result.condition = TWCC_OPERATIONERROR;
            break;
    }
    return result;
}

TW_UINT32 saneSourceId(const std::string& deviceName) {
    // FNV-1a of the name, folded into 0x10000000 ... 0x7FFFFFFF.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : deviceName) hash = (hash ^ c) * 16777619u;
    return 0x10000000u + hash % 0x70000000u;
}

TW_IDENTITY saneIdentity(const SaneLibrary::Device& device, const std::string& productName,
                         TW_UINT32 id) {
    TW_IDENTITY identity;
    std::memset(&identity, 0, sizeof identity);
    identity.Id = id;
    identity.Version.MajorNum = 1;
    identity.Version.MinorNum = 0;
    identity.Version.Language = TWLG_USA;
    identity.Version.Country = TWCY_USA;
    copyText(identity.Version.Info, device.name);
    identity.ProtocolMajor = 1;
    identity.ProtocolMinor = 9;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    copyText(identity.Manufacturer, device.vendor);
    copyText(identity.ProductFamily, device.type.empty() ? "SANE" : device.type);
    copyText(identity.ProductName, productName);
    return identity;
}

}  // namespace brevanto::twaindsm
