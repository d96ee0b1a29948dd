// A watchdog over every test case of a test program: a case that runs longer than its
// limit ends the program at once with the case's name, instead of hanging until the
// test runner gives up on the whole program.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

namespace {
// Longer than any case needs on a loaded machine.
constexpr ULONGLONG kCaseLimitMs = 60 * 1000;

// The case under way (GoogleTest keeps its record for the program's life) and when it
// began. Plain atomics and a polling thread: the watch must not depend on anything that
// a hanging case could hold.
std::atomic<const ::testing::TestInfo*> g_case{nullptr};
std::atomic<ULONGLONG> g_caseStart{0};

DWORD WINAPI Watch(LPVOID) {
    for (;;) {
        Sleep(500);
        const ::testing::TestInfo* before = g_case.load();
        const ULONGLONG start = g_caseStart.load();
        // The same case on both sides of the start time: the time belongs to it.
        if (!before || g_case.load() != before || GetTickCount64() - start < kCaseLimitMs)
            continue;
        std::fprintf(stderr, "\n[  HANG    ] %s.%s ran longer than %llu s; ending the tests\n",
                     before->test_suite_name(), before->name(), kCaseLimitMs / 1000);
        std::fflush(stderr);
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

// Tells the watch when a case starts and ends; owned by GoogleTest.
class CaseWatchdog : public ::testing::EmptyTestEventListener {
  public:
    CaseWatchdog() {
        if (HANDLE thread = CreateThread(nullptr, 0, &Watch, nullptr, 0, nullptr))
            CloseHandle(thread);
    }
    void OnTestStart(const ::testing::TestInfo& info) override {
        g_caseStart = GetTickCount64();
        g_case = &info;
    }
    void OnTestEnd(const ::testing::TestInfo&) override { g_case = nullptr; }
};

// Installed before main runs; GoogleTest owns and deletes the listener.
const bool g_installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
    return true;
}();
} // namespace
