// DataSource: the capabilities it answers (DAT_CAPABILITY).

#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/twaindsm/CapabilityContainer.h"
#include "platform/twaindsm/DataSource.h"

namespace brevanto::twaindsm {

namespace {

bool contains(const std::vector<std::uint32_t>& list, std::uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::uint32_t indexOf(const std::vector<std::uint32_t>& list, std::uint32_t value) {
    const auto at = std::find(list.begin(), list.end(), value);
    return at == list.end() ? 0 : static_cast<std::uint32_t>(at - list.begin());
}

}  // namespace
// ---- capabilities -------------------------------------------------------------------------

DataSource::Reply DataSource::capability(TW_UINT16 msg, TW_MEMREF data) {
    auto* cap = static_cast<TW_CAPABILITY*>(data);
    ScanParameters& current = device_->parameters();
    const ScanParameters& defaults = device_->defaults();

    // Each capability the source knows: its items, current and default value, and where a
    // new value goes.
    TW_UINT16 itemType = TWTY_UINT16;
    std::vector<std::uint32_t> items;
    std::uint32_t now = 0;
    std::uint32_t initial = 0;
    std::function<void(std::uint32_t)> store;
    const bool resolution = cap->Cap == ICAP_XRESOLUTION || cap->Cap == ICAP_YRESOLUTION;
    switch (cap->Cap) {
        case ICAP_UNITS:
            items = {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS};
            now = current.units;
            initial = defaults.units;
            store = [&](std::uint32_t v) { current.units = static_cast<TW_UINT16>(v); };
            break;
        case ICAP_PIXELFLAVOR:
            items = {TWPF_CHOCOLATE, TWPF_VANILLA};
            now = current.pixelFlavor;
            initial = defaults.pixelFlavor;
            store = [&](std::uint32_t v) { current.pixelFlavor = static_cast<TW_UINT16>(v); };
            break;
        case ICAP_PIXELTYPE:
            for (TW_INT16 type : device_->pixelTypes())
                items.push_back(static_cast<std::uint16_t>(type));
            now = static_cast<std::uint16_t>(current.pixelType);
            initial = static_cast<std::uint16_t>(defaults.pixelType);
            store = [&](std::uint32_t v) { current.pixelType = static_cast<TW_INT16>(v); };
            break;
        case ICAP_XFERMECH:
            items = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY};
            now = transferMechanism_;
            initial = TWSX_NATIVE;
            store = [&](std::uint32_t v) { transferMechanism_ = static_cast<TW_UINT16>(v); };
            break;
        case ICAP_XRESOLUTION:
        case ICAP_YRESOLUTION:
            // One resolution for both directions, in the current units.
            itemType = TWTY_FIX32;
            for (int dpi : device_->resolutions())
                items.push_back(CapabilityContainer::fix32Raw(resolutionInUnits(dpi)));
            now = CapabilityContainer::fix32Raw(resolutionInUnits(current.dpi));
            initial = CapabilityContainer::fix32Raw(resolutionInUnits(defaults.dpi));
            store = [&](std::uint32_t v) {
                for (int dpi : device_->resolutions())
                    if (CapabilityContainer::fix32Raw(resolutionInUnits(dpi)) == v)
                        current.dpi = dpi;
            };
            break;
        case ICAP_BITDEPTH:
        case CAP_XFERCOUNT: {
            if (msg == MSG_SET || msg == MSG_RESET) return {TWRC_FAILURE, TWCC_CAPBADOPERATION};
            const bool count = cap->Cap == CAP_XFERCOUNT;
            // The transfer count is always "all the sheets" (-1).
            win::HGLOBAL container = CapabilityContainer::makeOneValue(
                count ? TWTY_INT16 : TWTY_UINT16,
                count ? 0xFFFFu : static_cast<std::uint32_t>(device_->pageGeometry().bitsPerPixel));
            if (!container) return {TWRC_FAILURE, TWCC_LOWMEMORY};
            cap->ConType = TWON_ONEVALUE;
            cap->hContainer = container;
            return {TWRC_SUCCESS, TWCC_SUCCESS};
        }
        default:
            return {TWRC_FAILURE, TWCC_CAPUNSUPPORTED};
    }

    if (msg == MSG_SET) {
        const auto value = CapabilityContainer::readSetValue(cap->ConType, cap->hContainer);
        if (!value || value->itemType != itemType) return {TWRC_FAILURE, TWCC_BADVALUE};
        std::uint32_t raw = value->raw;
        if (itemType == TWTY_UINT16) raw &= 0xFFFF;
        if (resolution) {
            // Accept a resolution within half a dot of a supported one.
            const double asked = CapabilityContainer::fix32Value(raw);
            bool matched = false;
            for (std::uint32_t item : items)
                if (std::fabs(CapabilityContainer::fix32Value(item) - asked) < 0.5) {
                    raw = item;
                    matched = true;
                }
            if (!matched) return {TWRC_FAILURE, TWCC_BADVALUE};
        }
        if (!contains(items, raw)) return {TWRC_FAILURE, TWCC_BADVALUE};
        store(raw);
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_RESET) {
        store(initial);
        now = initial;
    }
    // Every read answers the whole enumeration, current and default marked.
    win::HGLOBAL container = CapabilityContainer::makeEnumeration(
        itemType, items, indexOf(items, now), indexOf(items, initial));
    if (!container) return {TWRC_FAILURE, TWCC_LOWMEMORY};
    cap->ConType = TWON_ENUMERATION;
    cap->hContainer = container;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

double DataSource::resolutionInUnits(int dpi) const {
    return device_->parameters().units == TWUN_CENTIMETERS ? dpi / 2.54 : dpi;
}

}  // namespace brevanto::twaindsm
