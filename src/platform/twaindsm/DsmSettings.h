#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "twain/Twain.h"

namespace brevanto::twaindsm {

// The settings of one virtual scanner source, as the ini file gives them (see the README's
// section on the virtual scanner for the keys).
struct ScannerSettings {
    std::string name = "Brevanto Virtual Scanner";
    // Which ini section this is (1 for [VirtualScanner], n for [VirtualScannerN]); keeps the
    // source's identity the same from run to run.
    int section = 1;
    int sheets = 1;
    double pageWidthMm = 210.0;
    double pageHeightMm = 297.0;
    int dpi = 150;
    TW_INT16 pixelType = TWPT_RGB;
    TW_UINT16 units = TWUN_INCHES;
    TW_UINT16 pixelFlavor = TWPF_CHOCOLATE;
    // Preferred memory strip size in bytes; 0 chooses seven and a half rows plus one byte, so
    // that strips end in the middle of a row.
    std::uint32_t stripSize = 0;
    // Press "Scan" by itself as soon as the source is enabled.
    bool autoScan = false;
    // Where a file transfer writes its BMP unless the application names a file.
    std::string transferFile;
    // Faults, counted in sheets of one scan (1 = the first sheet) and in memory strips:
    // 0 = never.
    int jamSheet = 0;
    int jamAfterStrips = 0;
    int cancelSheet = 0;
    int cancelAfterStrips = 0;
};

// Everything the source manager reads from its ini file. There is always at least one virtual
// scanner described, but it is offered only when virtualScanner is set.
struct DsmSettings {
    // Offer the virtual scanners: for demonstrations and tests only, never on an office's
    // installation, where a clerk could file its synthetic pages against a case.
    bool virtualScanner = false;
    std::vector<ScannerSettings> scanners{ScannerSettings{}};
    // SANE sources press "Digitalizar" by themselves as soon as they are enabled.
    bool saneAutoScan = false;
    // Product name of the default source; empty or unknown: the first one.
    std::string defaultSource;
    // The selection dialog's automatic answer: empty shows the dialog; "cancel" cancels;
    // "default" picks the default source; anything else picks the source of that product name
    // (a name that matches none cancels).
    std::string autoSelect;
};

inline constexpr int kMaxScannerSections = 9;
inline constexpr const char* kSettingsPathVariable = "BREVANTO_TWAIN_INI";

// $BREVANTO_TWAIN_INI, else $XDG_CONFIG_HOME/brevanto-scanner/twain.ini, else
// ~/.config/brevanto-scanner/twain.ini.
std::string dsmSettingsPath();

// Reads the file; a missing file or a missing key gives the defaults, and so does a value
// that does not parse or lies outside its range.
DsmSettings loadDsmSettings(const std::string& path);

}  // namespace brevanto::twaindsm
