#pragma once
// CTime (a moment in seconds since 1970, UTC) and COleDateTime (a broken-down local
// date and time with a validity flag). The conversion to local time is Windows' own,
// so that daylight saving is that of the moment converted, not of today.
#include <cstdint>

#include "String.h"

#ifdef GetCurrentTime
#undef GetCurrentTime // an old alias of GetTickCount
#endif

// Broken-down local time as the formats use it.
struct LocalTimeParts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// A point in time, stored as seconds since 1 January 1970 UTC.
class CTime {
  public:
    CTime() = default;
    explicit CTime(int64_t seconds) : m_time(seconds) {}
    // From a FILETIME value (100 ns units since 1601, UTC).
    static CTime FromFileTime(uint64_t fileTime);

    int64_t GetTime() const { return m_time; }
    // The moment in local time; false when it cannot be converted.
    bool GetLocalParts(LocalTimeParts& parts) const;
    // strftime-style text of the local time ("%d.%m.%y %H:%M"); empty if not convertible.
    CString Format(const char* format) const;

    friend bool operator==(const CTime& a, const CTime& b) { return a.m_time == b.m_time; }

  private:
    int64_t m_time = 0;
};

// Formats broken-down time with %d %m %y %Y %H %M %S and %%.
CString FormatTimeParts(const LocalTimeParts& parts, const char* format);

// A local date and time; SetDateTime marks an impossible date invalid.
class COleDateTime {
  public:
    enum DateTimeStatus { valid = 0, invalid = 1 };

    COleDateTime() = default;
    COleDateTime(int year, int month, int day, int hour, int minute, int second) {
        SetDateTime(year, month, day, hour, minute, second);
    }
    // The current local time, or the test clock when one is set.
    static COleDateTime GetCurrentTime();
    // Lets tests replace the clock; a null function restores the real one.
    static void SetClockForTesting(COleDateTime (*clock)());

    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    DateTimeStatus GetStatus() const { return m_status; }
    int GetYear() const { return m_parts.year; }
    int GetMonth() const { return m_parts.month; }
    int GetDay() const { return m_parts.day; }
    int GetHour() const { return m_parts.hour; }
    int GetMinute() const { return m_parts.minute; }
    int GetSecond() const { return m_parts.second; }

  private:
    LocalTimeParts m_parts;
    DateTimeStatus m_status = valid;
};
