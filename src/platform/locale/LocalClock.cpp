#include "platform/locale/LocalClock.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>

namespace {

std::optional<LocalDateTime>& FixedTime() {
    static std::optional<LocalDateTime> fixed;
    return fixed;
}

// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's civil algorithm).
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

constexpr long kDaysTo1899 = -25569;  // 1899-12-30 counted from 1970-01-01
constexpr double kMsPerDay = 86400000.0;

}  // namespace

LocalDateTime LocalClock::Now() {
    if (FixedTime()) return *FixedTime();
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    LocalDateTime t;
    t.Year = parts.tm_year + 1900;
    t.Month = parts.tm_mon + 1;
    t.Day = parts.tm_mday;
    t.Hour = parts.tm_hour;
    t.Minute = parts.tm_min;
    t.Second = parts.tm_sec > 59 ? 59 : parts.tm_sec;  // a leap second stays in its minute
    t.Millisecond = static_cast<int>(ms < 0 ? 0 : ms);
    return t;
}

double LocalClock::NowAsDateTime() { return EncodeDateTime(Now()); }

void LocalClock::Fix(const LocalDateTime& time) { FixedTime() = time; }

void LocalClock::Release() { FixedTime().reset(); }

double EncodeDateTime(const LocalDateTime& time) {
    const long days = DaysFromCivil(time.Year, time.Month, time.Day) - kDaysTo1899;
    const double ms =
        ((time.Hour * 60.0 + time.Minute) * 60.0 + time.Second) * 1000.0 + time.Millisecond;
    // Before 1899-12-30 the fraction counts forward from the day's start, away from zero.
    return days >= 0 ? days + ms / kMsPerDay : days - ms / kMsPerDay;
}

LocalDateTime DecodeDateTime(double value) {
    double whole = std::trunc(value);
    double ms = std::round(std::fabs(value - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        whole += value < 0 ? -1 : 1;
    }
    LocalDateTime t;
    CivilFromDays(static_cast<long>(whole) + kDaysTo1899, t.Year, t.Month, t.Day);
    long rest = static_cast<long>(ms);
    t.Millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    t.Second = static_cast<int>(rest % 60);
    rest /= 60;
    t.Minute = static_cast<int>(rest % 60);
    t.Hour = static_cast<int>(rest / 60);
    return t;
}

FixedLocalClock::FixedLocalClock(const LocalDateTime& time) { LocalClock::Fix(time); }

FixedLocalClock::~FixedLocalClock() { LocalClock::Release(); }
