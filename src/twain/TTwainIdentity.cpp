#include "twain/TTwainIdentity.h"

#include <cstring>

namespace twain {
namespace {

std::string readText(const TW_STR32& field) {
    return std::string(field, strnlen(field, sizeof(TW_STR32)));
}

void writeText(TW_STR32& field, const std::string& value) {
    std::memset(field, 0, sizeof(TW_STR32));
    value.copy(field, sizeof(TW_STR32) - 1);
}

}  // namespace

TTwainObject::~TTwainObject() = default;

TTwainIdentity::TTwainIdentity(TTwainObject* owner) : owner_(owner) {
    SetLanguage(tlUserLocale);
    SetCountryCode(TWCY_USA);
    SetMajorVersion(1);
    SetMinorVersion(0);
    SetVersionInfo("Application name");
    structure_.ProtocolMajor = 1;
    structure_.ProtocolMinor = 9;
    SetGroups({tgControl, tgImage});
    SetManufacturer("Application manufacturer");
    SetProductFamily("App product family");
    SetProductName("App product name");
}

void TTwainIdentity::Assign(const TTwainIdentity& source) {
    std::memcpy(&structure_, &source.structure_, sizeof structure_);
}

TTwainLanguage TTwainIdentity::Language() const {
    return static_cast<TTwainLanguage>((structure_.Version.Language + 1) & 0xFF);
}

void TTwainIdentity::SetLanguage(TTwainLanguage value) {
    structure_.Version.Language = static_cast<TW_UINT16>((static_cast<int>(value) & 0x7F) - 1);
}

TTwainGroups TTwainIdentity::Groups() const {
    TTwainGroups groups{tgControl};
    if ((structure_.SupportedGroups & DG_IMAGE) != 0) groups.insert(tgImage);
    if ((structure_.SupportedGroups & DG_AUDIO) != 0) groups.insert(tgAudio);
    return groups;
}

void TTwainIdentity::SetGroups(const TTwainGroups& value) {
    TW_UINT32 bits = DG_CONTROL;
    if (value.count(tgImage) != 0) bits |= DG_IMAGE;
    if (value.count(tgAudio) != 0) bits |= DG_AUDIO;
    structure_.SupportedGroups = bits;
}

std::string TTwainIdentity::VersionInfo() const { return readText(structure_.Version.Info); }
void TTwainIdentity::SetVersionInfo(const std::string& value) {
    writeText(structure_.Version.Info, value);
}
std::string TTwainIdentity::Manufacturer() const { return readText(structure_.Manufacturer); }
void TTwainIdentity::SetManufacturer(const std::string& value) {
    writeText(structure_.Manufacturer, value);
}
std::string TTwainIdentity::ProductFamily() const { return readText(structure_.ProductFamily); }
void TTwainIdentity::SetProductFamily(const std::string& value) {
    writeText(structure_.ProductFamily, value);
}
std::string TTwainIdentity::ProductName() const { return readText(structure_.ProductName); }
void TTwainIdentity::SetProductName(const std::string& value) {
    writeText(structure_.ProductName, value);
}

}  // namespace twain
