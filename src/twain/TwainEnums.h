#pragma once

// The enumerations and sets of the TWAIN acquisition component, shared by the manager, its
// sources and the application.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace twain {

enum TTwainTransferMode : std::uint8_t { ttmFile = 0, ttmNative = 1, ttmMemory = 2 };

enum TTwainFormat : std::uint8_t {
    tfTIFF = 0,
    tfPict = 1,
    tfBMP = 2,
    tfXBM = 3,
    tfJPEG = 4,
    tfFPX = 5,
    tfTIFFMulti = 6,
    tfPNG = 7,
    tfSPIFF = 8,
    tfEXIF = 9,
    tfUnknown = 10
};

// The TWAIN language code is always the ordinal minus one (tlUserLocale is -1).
enum TTwainLanguage : std::uint8_t {
    tlUserLocale,
    tlDanish,
    tlDutch,
    tlInternationalEnglish,
    tlFrenchCanadian,
    tlFinnish,
    tlFrench,
    tlGerman,
    tlIcelandic,
    tlItalian,
    tlNorwegian,
    tlPortuguese,
    tlSpanish,
    tlSwedish,
    tlUsEnglish,
    tlAfrikaans,
    tlAlbania,
    tlArabic,
    tlArabicAlgeria,
    tlArabicBahrain,
    tlArabicEgypt,
    tlArabicIraq,
    tlArabJordan,
    tlArabicKuwait,
    tlArabicLebanon,
    tlArabicLibya,
    tlArabicMorocco,
    tlArabicOman,
    tlArabicQatar,
    tlArabicSaudiarabia,
    tlArabicSyria,
    tlArabicTunisia,
    tlArabicUae,
    tlArabicYemen,
    tlBasque,
    tlByelorussian,
    tlBulgarian,
    tlCatalan,
    tlChinese,
    tlChineseHongkong,
    tlChinesePeoplesRepublic,
    tlChineseSingapore,
    tlChineseSimplified,
    tlChineseTwain,
    tlChineseTraditional,
    tlCroatia,
    tlCzech,
    tlDutchBelgian,
    tlEnglishAustralian,
    tlEnglishCanadian,
    tlEnglishIreland,
    tlEnglishNewZealand,
    tlEnglishSouthAfrica,
    tlEnglishUk,
    tlEstonian,
    tlFaeroese,
    tlFarsi,
    tlFrenchBelgian,
    tlFrenchLuxembourg,
    tlFrenchSwiss,
    tlGermanAustrian,
    tlGermanLuxembourg,
    tlGermanLiechtenstein,
    tlGermanSwiss,
    tlGreek,
    tlHebrew,
    tlHungarian,
    tlIndonesian,
    tlItalianSwiss,
    tlJapanese,
    tlKorean,
    tlKoreanJohab,
    tlLatvian,
    tlLithuanian,
    tlNorewgianBokmal,
    tlNorwegianNynorsk,
    tlPolish,
    tlPortugueseBrazil,
    tlRomanian,
    tlRussian,
    tlSerbianLatin,
    tlSlovak,
    tlSlovenian,
    tlSpanishMexican,
    tlSpanishModern,
    tlThai,
    tlTurkish,
    tlUkranian,
    tlAssamese,
    tlBengali,
    tlBihari,
    tlBodo,
    tlDogri,
    tlGujarati,
    tlHarayanvi,
    tlHindi,
    tlKannada,
    tlKashmiri,
    tlMalayalam,
    tlMarathi,
    tlMarwari,
    tlMeghalayan,
    tlMizo,
    tlNaga,
    tlOrissi,
    tlPunjabi,
    tlPushtu,
    tlSerbianCyrillic,
    tlSikkimi,
    tlSwidishFinland,
    tlTamil,
    tlTelugu,
    tlTripuri,
    tlUrdu,
    tlVietnamese,
};
inline constexpr int kTwainLanguageCount = 115;

enum TTwainGroup : std::uint8_t { tgControl, tgImage, tgAudio };
using TTwainGroups = std::set<TTwainGroup>;

enum TCapResult : std::uint8_t {
    capOk = 0,
    capUnsupported = 1,
    capBadOperation = 2,
    capDependency = 3,
    capLowMemory = 4,
    capBadState = 5,
    capBadContainer = 6
};

enum TCapRequest : std::uint8_t { crqGet = 0, crqGetCurrent = 1, crqGetDefault = 2, crqReset = 3 };

enum TScanUnit : std::uint8_t {
    suInches = 0,
    suCentimeters = 1,
    suPicas = 2,
    suPoints = 3,
    suTwips = 4,
    suPixels = 5,
    suUnknown = 6
};
using TScanUnits = std::set<TScanUnit>;

enum TPixelFlavor : std::uint8_t { flChocolate = 0, flVanilla = 1, flUnknown = 2 };
using TPixelFlavors = std::set<TPixelFlavor>;

// One text per enumeration item.
using TGetCapabilityList = std::vector<std::string>;

}  // namespace twain
