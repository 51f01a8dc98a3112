#pragma once

#include "twain/Twain.h"

// TWAIN constants the source manager and its sources answer with beyond those the acquisition
// component reads (values of the published TWAIN header).
namespace brevanto::twaindsm {

inline constexpr TW_UINT16 kTwccPaperJam = 20;        // TWCC_PAPERJAM
inline constexpr TW_UINT16 kTwccFileWriteError = 22;  // TWCC_FILEWRITEERROR
inline constexpr TW_UINT16 kTwccNoMedia = 29;         // TWCC_NOMEDIA
inline constexpr TW_UINT16 kTwlgUsa = 13;             // TWLG_USA
inline constexpr TW_UINT16 kTwpaRgb = 0;              // TWPA_RGB
inline constexpr TW_UINT16 kTwpaGray = 1;             // TWPA_GRAY

}  // namespace brevanto::twaindsm
