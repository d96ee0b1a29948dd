#include "Time.h"

#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
constexpr int64_t kFileTimeTo1970 = 116444736000000000LL;
COleDateTime (*g_testClock)() = nullptr;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}
} // namespace

CTime CTime::FromFileTime(uint64_t fileTime) {
    int64_t ticks = static_cast<int64_t>(fileTime) - kFileTimeTo1970;
    // Round towards minus infinity so that times before 1970 keep their second.
    int64_t seconds = ticks / 10000000;
    if (ticks % 10000000 < 0)
        --seconds;
    return CTime(seconds);
}

bool CTime::GetLocalParts(LocalTimeParts& parts) const {
#ifdef _WIN32
    ULONGLONG value = static_cast<ULONGLONG>(m_time * 10000000 + kFileTimeTo1970);
    FILETIME utc{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return false;
    parts = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return true;
#else
    time_t seconds = static_cast<time_t>(m_time);
    struct tm local;
    if (!localtime_r(&seconds, &local))
        return false;
    parts = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour,        local.tm_min,     local.tm_sec};
    return true;
#endif
}

CString CTime::Format(const char* format) const {
    LocalTimeParts parts;
    if (!GetLocalParts(parts))
        return CString();
    return FormatTimeParts(parts, format);
}

CString FormatTimeParts(const LocalTimeParts& parts, const char* format) {
    CString out;
    char field[16];
    for (const char* p = format; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        ++p;
        switch (*p) {
        case 'd': snprintf(field, sizeof field, "%02d", parts.day); break;
        case 'm': snprintf(field, sizeof field, "%02d", parts.month); break;
        case 'y': snprintf(field, sizeof field, "%02d", ((parts.year % 100) + 100) % 100); break;
        case 'Y': snprintf(field, sizeof field, "%04d", parts.year); break;
        case 'H': snprintf(field, sizeof field, "%02d", parts.hour); break;
        case 'M': snprintf(field, sizeof field, "%02d", parts.minute); break;
        case 'S': snprintf(field, sizeof field, "%02d", parts.second); break;
        case '%': snprintf(field, sizeof field, "%%"); break;
        default: snprintf(field, sizeof field, "%%%c", *p); break;
        }
        out += field;
    }
    return out;
}

COleDateTime COleDateTime::GetCurrentTime() {
    if (g_testClock)
        return g_testClock();
#ifdef _WIN32
    SYSTEMTIME now;
    GetLocalTime(&now);
    return COleDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
#else
    time_t seconds = time(nullptr);
    struct tm local;
    localtime_r(&seconds, &local);
    return COleDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
#endif
}

void COleDateTime::SetClockForTesting(COleDateTime (*clock)()) {
    g_testClock = clock;
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    bool ok = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
              day <= DaysInMonth(year, month) && hour >= 0 && hour < 24 && minute >= 0 &&
              minute < 60 && second >= 0 && second < 60;
    m_status = ok ? valid : invalid;
    m_parts = ok ? LocalTimeParts{year, month, day, hour, minute, second} : LocalTimeParts{};
    return ok ? 0 : 1;
}
