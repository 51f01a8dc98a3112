#pragma once

// One TWAIN identity record (156 bytes) with the published view the form designer sees: the
// application's identity (TTwainManager::Info) and the base of every listed source. The owner is
// the manager; it is not owned by the identity.

#include <cstdint>
#include <string>

#include "twain/Twain.h"
#include "twain/TwainEnums.h"
#include "twain/TwainEvents.h"

namespace twain {

class TTwainIdentity : public TTwainObject {
  public:
    // The application identity's defaults: version 1.0, tlUserLocale, country 1, protocol 1.9,
    // groups control and image, and the four default texts.
    explicit TTwainIdentity(TTwainObject* owner);

    // Copies all 156 bytes of the record, Id included.
    void Assign(const TTwainIdentity& source);

    TTwainObject* Owner() const { return owner_; }
    TW_IDENTITY& Structure() { return structure_; }
    const TW_IDENTITY& Structure() const { return structure_; }

    std::uint16_t MajorVersion() const { return structure_.Version.MajorNum; }
    void SetMajorVersion(std::uint16_t value) { structure_.Version.MajorNum = value; }
    std::uint16_t MinorVersion() const { return structure_.Version.MinorNum; }
    void SetMinorVersion(std::uint16_t value) { structure_.Version.MinorNum = value; }
    std::uint16_t CountryCode() const { return structure_.Version.Country; }
    void SetCountryCode(std::uint16_t value) { structure_.Version.Country = value; }

    // Stored as (ordinal and 0x7F) - 1; read as the low 8 bits of (stored code + 1).
    TTwainLanguage Language() const;
    void SetLanguage(TTwainLanguage value);

    // tgControl is always in; bits 2 and 4 of SupportedGroups give tgImage and tgAudio.
    TTwainGroups Groups() const;
    void SetGroups(const TTwainGroups& value);

    // Text fields: written cut to 33 characters and zero-filled; read up to the first zero.
    std::string VersionInfo() const;
    void SetVersionInfo(const std::string& value);
    std::string Manufacturer() const;
    void SetManufacturer(const std::string& value);
    std::string ProductFamily() const;
    void SetProductFamily(const std::string& value);
    std::string ProductName() const;
    void SetProductName(const std::string& value);

  protected:
    TTwainIdentity(const TTwainIdentity&) = default;
    TTwainIdentity& operator=(const TTwainIdentity&) = default;

  private:
    TW_IDENTITY structure_{};
    TTwainObject* owner_;
};

}  // namespace twain
