#pragma once
// The clock the program reads, set by a test for as long as a guard lives.
#include "classlib/Time.h"

// Makes the program read its time from clock until the guard ends.
class TestClock {
  public:
    explicit TestClock(COleDateTime (*clock)()) { COleDateTime::SetClockForTesting(clock); }
    ~TestClock() { COleDateTime::SetClockForTesting(nullptr); }
    TestClock(const TestClock&) = delete;
    TestClock& operator=(const TestClock&) = delete;
};
