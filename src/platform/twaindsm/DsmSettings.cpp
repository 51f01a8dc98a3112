#include "platform/twaindsm/DsmSettings.h"

#include <cstdlib>

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace brevanto::twaindsm {

namespace {

// Pages above this many pixels are refused in favour of the defaults: the page is held in
// memory several times over during a transfer.
constexpr double kMaxPagePixels = 80.0e6;

// The ini reader splits unquoted values at commas; a name may well contain one.
QString rawText(const QSettings& ini, const QString& key) {
    const QVariant value = ini.value(key);
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(", ").trimmed();
    return value.toString().trimmed();
}

int readInt(const QSettings& ini, const QString& key, int fallback, int low, int high) {
    bool ok = false;
    const int value = rawText(ini, key).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

double readDouble(const QSettings& ini, const QString& key, double fallback, double low,
                  double high) {
    bool ok = false;
    const double value = rawText(ini, key).toDouble(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

bool readBool(const QSettings& ini, const QString& key, bool fallback) {
    const QString text = rawText(ini, key).toLower();
    if (text == "1" || text == "true" || text == "yes" || text == "on") return true;
    if (text == "0" || text == "false" || text == "no" || text == "off") return false;
    return fallback;
}

std::string readText(const QSettings& ini, const QString& key, const std::string& fallback) {
    if (!ini.contains(key)) return fallback;
    return rawText(ini, key).toStdString();
}

template <typename T>
T readChoice(const QSettings& ini, const QString& key, T fallback,
             std::initializer_list<std::pair<const char*, T>> choices) {
    const QString text = rawText(ini, key);
    for (const auto& [name, value] : choices)
        if (text.compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0) return value;
    return fallback;
}

ScannerSettings readScanner(const QSettings& ini, const QString& group,
                            const ScannerSettings& base) {
    ScannerSettings s = base;
    const QString p = group + "/";
    s.name = readText(ini, p + "Name", s.name);
    if (s.name.empty()) s.name = base.name;
    if (s.name.size() > 33) s.name.resize(33);
    s.sheets = readInt(ini, p + "Sheets", s.sheets, 0, 1000);
    const double width = readDouble(ini, p + "PageWidthMm", s.pageWidthMm, 10.0, 1000.0);
    const double height = readDouble(ini, p + "PageHeightMm", s.pageHeightMm, 10.0, 1000.0);
    const int dpi = readInt(ini, p + "Resolution", s.dpi, 25, 1200);
    const double pixels = (width / 25.4 * dpi) * (height / 25.4 * dpi);
    if (pixels <= kMaxPagePixels) {
        s.pageWidthMm = width;
        s.pageHeightMm = height;
        s.dpi = dpi;
    }
    s.pixelType = readChoice<TW_INT16>(ini, p + "PixelType", s.pixelType,
                                       {{"BW", TWPT_BW},
                                        {"Gray", TWPT_GRAY},
                                        {"Grey", TWPT_GRAY},
                                        {"RGB", TWPT_RGB},
                                        {"Palette", TWPT_PALETTE}});
    s.units = readChoice<TW_UINT16>(
        ini, p + "Units", s.units,
        {{"Inches", TWUN_INCHES}, {"Centimeters", TWUN_CENTIMETERS}, {"Pixels", TWUN_PIXELS}});
    s.pixelFlavor =
        readChoice<TW_UINT16>(ini, p + "PixelFlavor", s.pixelFlavor,
                              {{"Chocolate", TWPF_CHOCOLATE}, {"Vanilla", TWPF_VANILLA}});
    s.stripSize = static_cast<std::uint32_t>(
        readInt(ini, p + "StripSize", static_cast<int>(s.stripSize), 0, 64 << 20));
    s.autoScan = readBool(ini, p + "AutoScan", s.autoScan);
    s.transferFile = readText(ini, p + "TransferFile", s.transferFile);
    if (s.transferFile.size() > 255) s.transferFile = base.transferFile;
    s.jamSheet = readInt(ini, p + "JamSheet", s.jamSheet, 0, 1000);
    s.jamAfterStrips = readInt(ini, p + "JamAfterStrips", s.jamAfterStrips, 0, 1 << 30);
    s.cancelSheet = readInt(ini, p + "CancelSheet", s.cancelSheet, 0, 1000);
    s.cancelAfterStrips = readInt(ini, p + "CancelAfterStrips", s.cancelAfterStrips, 0, 1 << 30);
    return s;
}

}  // namespace

std::string dsmSettingsPath() {
    if (const char* path = std::getenv(kSettingsPathVariable); path && *path) return path;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/brevanto-scanner/twain.ini";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/brevanto-scanner/twain.ini";
}

DsmSettings loadDsmSettings(const std::string& path) {
    DsmSettings settings;
    if (path.empty() || !QFileInfo(QString::fromStdString(path)).isFile()) return settings;
    const QSettings ini(QString::fromStdString(path), QSettings::IniFormat);
    settings.defaultSource = readText(ini, "SourceManager/DefaultSource", "");
    settings.autoSelect = readText(ini, "SourceManager/AutoSelect", "");
    settings.virtualScanner = readBool(ini, "SourceManager/VirtualScanner", false);
    settings.saneAutoScan = readBool(ini, "Sane/AutoScan", false);

    const ScannerSettings first = readScanner(ini, "VirtualScanner", ScannerSettings{});
    settings.scanners = {first};
    for (int n = 2; n <= kMaxScannerSections; ++n) {
        const QString group = QString("VirtualScanner%1").arg(n);
        if (!ini.childGroups().contains(group)) continue;
        ScannerSettings base = first;
        base.name = first.name.substr(0, 30) + " " + std::to_string(n);
        base.section = n;
        ScannerSettings extra = readScanner(ini, group, base);
        bool taken = false;
        for (const ScannerSettings& s : settings.scanners) taken = taken || s.name == extra.name;
        if (!taken) settings.scanners.push_back(extra);
    }
    return settings;
}

}  // namespace brevanto::twaindsm
