#include <cstdlib>

#include <gtest/gtest.h>

#include "DsmTestSupport.h"
#include "platform/twaindsm/DsmSettings.h"

namespace brevanto::twaindsm {
namespace {

using twaindsmtest::IniFile;

TEST(TwainDsmSettings, MissingFileGivesTheDefaults) {
    const DsmSettings settings = loadDsmSettings("/nonexistent/twain.ini");
    ASSERT_EQ(settings.scanners.size(), 1u);
    const ScannerSettings& s = settings.scanners[0];
    EXPECT_EQ(s.name, "Brevanto Virtual Scanner");
    EXPECT_EQ(s.sheets, 1);
    EXPECT_EQ(s.pageWidthMm, 210.0);
    EXPECT_EQ(s.pageHeightMm, 297.0);
    EXPECT_EQ(s.dpi, 150);
    EXPECT_EQ(s.pixelType, TWPT_RGB);
    EXPECT_EQ(s.units, TWUN_INCHES);
    EXPECT_EQ(s.pixelFlavor, TWPF_CHOCOLATE);
    EXPECT_EQ(s.stripSize, 0u);
    EXPECT_FALSE(s.autoScan);
    EXPECT_EQ(s.jamSheet, 0);
    EXPECT_EQ(s.cancelSheet, 0);
    EXPECT_FALSE(settings.virtualScanner);
    EXPECT_FALSE(settings.saneAutoScan);
    EXPECT_TRUE(settings.autoSelect.empty());
    EXPECT_TRUE(settings.defaultSource.empty());
}

TEST(TwainDsmSettings, ReadsEveryKey) {
    IniFile ini(
        "[SourceManager]\nDefaultSource=Office, Front Desk\nAutoSelect=default\n"
        "VirtualScanner=true\n[Sane]\nAutoScan=true\n"
        "[VirtualScanner]\nName=Office, Front Desk\nSheets=4\nPageWidthMm=216\n"
        "PageHeightMm=279.4\nResolution=300\nPixelType=palette\nUnits=Centimeters\n"
        "PixelFlavor=Vanilla\nStripSize=4097\nAutoScan=yes\nTransferFile=/tmp/x.bmp\n"
        "JamSheet=2\nJamAfterStrips=5\nCancelSheet=3\nCancelAfterStrips=7\n"
        "[VirtualScanner3]\nName=Back Office\nPixelType=BW\n");
    const DsmSettings settings = loadDsmSettings(std::getenv("BREVANTO_TWAIN_INI"));
    EXPECT_EQ(settings.defaultSource, "Office, Front Desk");
    EXPECT_EQ(settings.autoSelect, "default");
    EXPECT_TRUE(settings.virtualScanner);
    EXPECT_TRUE(settings.saneAutoScan);
    ASSERT_EQ(settings.scanners.size(), 2u);
    const ScannerSettings& s = settings.scanners[0];
    EXPECT_EQ(s.name, "Office, Front Desk");
    EXPECT_EQ(s.section, 1);
    EXPECT_EQ(s.sheets, 4);
    EXPECT_EQ(s.pageWidthMm, 216.0);
    EXPECT_EQ(s.pageHeightMm, 279.4);
    EXPECT_EQ(s.dpi, 300);
    EXPECT_EQ(s.pixelType, TWPT_PALETTE);
    EXPECT_EQ(s.units, TWUN_CENTIMETERS);
    EXPECT_EQ(s.pixelFlavor, TWPF_VANILLA);
    EXPECT_EQ(s.stripSize, 4097u);
    EXPECT_TRUE(s.autoScan);
    EXPECT_EQ(s.transferFile, "/tmp/x.bmp");
    EXPECT_EQ(s.jamSheet, 2);
    EXPECT_EQ(s.jamAfterStrips, 5);
    EXPECT_EQ(s.cancelSheet, 3);
    EXPECT_EQ(s.cancelAfterStrips, 7);
    // A further scanner takes what it does not set from the first one.
    const ScannerSettings& back = settings.scanners[1];
    EXPECT_EQ(back.name, "Back Office");
    EXPECT_EQ(back.section, 3);
    EXPECT_EQ(back.pixelType, TWPT_BW);
    EXPECT_EQ(back.dpi, 300);
    EXPECT_EQ(back.sheets, 4);
}

TEST(TwainDsmSettings, BadValuesFallBackToTheDefaults) {
    IniFile ini(
        "[VirtualScanner]\nSheets=-1\nResolution=abc\nPixelType=CMYK\nUnits=furlongs\n"
        "StripSize=-5\nAutoScan=maybe\nPageWidthMm=5\n"
        "[VirtualScanner2]\nName=Huge\nPageWidthMm=1000\nPageHeightMm=1000\nResolution=1200\n"
        "[VirtualScanner4]\nName=Brevanto Virtual Scanner\n");
    const DsmSettings settings = loadDsmSettings(std::getenv("BREVANTO_TWAIN_INI"));
    const ScannerSettings defaults;
    const ScannerSettings& s = settings.scanners[0];
    EXPECT_EQ(s.sheets, defaults.sheets);
    EXPECT_EQ(s.dpi, defaults.dpi);
    EXPECT_EQ(s.pixelType, defaults.pixelType);
    EXPECT_EQ(s.units, defaults.units);
    EXPECT_EQ(s.stripSize, defaults.stripSize);
    EXPECT_EQ(s.autoScan, defaults.autoScan);
    EXPECT_EQ(s.pageWidthMm, defaults.pageWidthMm);
    // A page too big to hold in memory keeps the default size and resolution; a second
    // scanner with a name already taken is left out.
    ASSERT_EQ(settings.scanners.size(), 2u);
    EXPECT_EQ(settings.scanners[1].name, "Huge");
    EXPECT_EQ(settings.scanners[1].dpi, defaults.dpi);
    EXPECT_EQ(settings.scanners[1].pageWidthMm, defaults.pageWidthMm);
}

TEST(TwainDsmSettings, PathComesFromTheEnvironment) {
    ::setenv("BREVANTO_TWAIN_INI", "/somewhere/else.ini", 1);
    EXPECT_EQ(dsmSettingsPath(), "/somewhere/else.ini");
    ::unsetenv("BREVANTO_TWAIN_INI");
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = config ? config : "";
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(dsmSettingsPath(),
              std::string(std::getenv("HOME")) + "/.config/brevanto-scanner/twain.ini");
    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(dsmSettingsPath(), "/xdg/brevanto-scanner/twain.ini");
    if (config)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace brevanto::twaindsm
