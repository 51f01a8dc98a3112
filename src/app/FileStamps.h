#pragma once

#include <string>

#include "platform/locale/LocalClock.h"

// The time stamps files are named after.

// Page files: day, month, year, hour, second ("ddmmyyyyhhss"), without the minutes.
std::string PageFileStamp(const LocalDateTime& time);

// Filed documents: day, month, year, hour, minute, second ("ddmmyyyyhhmmss").
std::string DocumentFileStamp(const LocalDateTime& time);

// The n-th name tried for base + extension when the earlier ones are taken: the first is
// base + extension, then base + "-2" + extension, base + "-3" + extension, ...
std::string NumberedFileName(const std::string& base, int n, const std::string& extension);
