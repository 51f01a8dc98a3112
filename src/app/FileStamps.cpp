#include "app/FileStamps.h"

#include <cstdio>

std::string PageFileStamp(const LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%04d%02d%02d", time.Day, time.Month, time.Year,
                  time.Hour, time.Second);
    return text;
}

std::string DocumentFileStamp(const LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%04d%02d%02d%02d", time.Day, time.Month, time.Year,
                  time.Hour, time.Minute, time.Second);
    return text;
}

std::string NumberedFileName(const std::string& base, int n, const std::string& extension) {
    if (n <= 1) return base + extension;
    return base + "-" + std::to_string(n) + extension;
}
