#pragma once

// A local calendar date and time of day.
struct LocalDateTime {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;

    bool operator==(const LocalDateTime&) const = default;
};

// The one source of "now" in local time for everything that stamps files or documents, so
// that tests can fix it and compare whole outputs byte for byte. Process-wide, single thread.
class LocalClock {
  public:
    // The fixed time when one is set, else the system's local time.
    static LocalDateTime Now();
    // Now() as a date-time value: days since 1899-12-30, the fraction being the time of day.
    static double NowAsDateTime();
    static void Fix(const LocalDateTime& time);
    static void Release();
};

// Date-time values (days since 1899-12-30 as double) to and from calendar fields.
double EncodeDateTime(const LocalDateTime& time);
LocalDateTime DecodeDateTime(double value);

// Fixes the clock for the lifetime of the object (tests).
class FixedLocalClock {
  public:
    explicit FixedLocalClock(const LocalDateTime& time);
    ~FixedLocalClock();
    FixedLocalClock(const FixedLocalClock&) = delete;
    FixedLocalClock& operator=(const FixedLocalClock&) = delete;
};
