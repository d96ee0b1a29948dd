#pragma once
// The clock the program reads, set by a test for as long as a guard lives.
#include <atomic>

#include "classlib/Time.h"
#include "support/WindowDriver.h"

// Makes the program read its time from clock until the guard ends.
class TestClock {
  public:
    explicit TestClock(COleDateTime (*clock)()) { COleDateTime::SetClockForTesting(clock); }
    ~TestClock() { COleDateTime::SetClockForTesting(nullptr); }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;
};

// A clock on 1 July at the hour a test sets, which counts how often it was read: the
// periodic thread reads it once per round.
inline std::atomic<int> g_julyHour{9};
inline std::atomic<int> g_clockReads{0};
inline COleDateTime JulyFirstClock() {
    ++g_clockReads;
    return COleDateTime(2026, 7, 1, g_julyHour, 30, 0);
}
// Waits until the periodic thread has begun more rounds; every round before the last
// has then ended.
inline bool WaitForPeriodicRounds(int rounds) {
    const int until = g_clockReads + rounds;
    return WaitFor([&] { return g_clockReads >= until; });
}
