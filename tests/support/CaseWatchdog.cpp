// A watchdog over every test case of a test program: a case that runs longer than its
// limit ends the program at once with the case's name, instead of hanging until the
// test runner gives up on the whole program.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace {
// Longer than any case needs on a loaded machine.
constexpr std::chrono::seconds kCaseLimit{60};

// Watches the case that runs. It lives as long as the program, with its thread.
class CaseWatch {
  public:
    CaseWatch() : m_thread([this] { Watch(); }) { m_thread.detach(); }

    void Start(const std::string& name) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_case = name;
        m_deadline = std::chrono::steady_clock::now() + kCaseLimit;
        m_running = true;
        m_changed.notify_all();
    }
    void End() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_running = false;
        m_changed.notify_all();
    }

  private:
    void Watch() {
        std::unique_lock<std::mutex> guard(m_lock);
        for (;;) {
            if (!m_running) {
                m_changed.wait(guard);
                continue;
            }
            const auto deadline = m_deadline;
            if (m_changed.wait_until(guard, deadline) == std::cv_status::timeout && m_running &&
                m_deadline == deadline) {
                std::fprintf(stderr, "\n[  HANG    ] %s ran longer than %lld s; ending the tests\n",
                             m_case.c_str(), static_cast<long long>(kCaseLimit.count()));
                std::fflush(stderr);
                std::fflush(stdout);
                TerminateProcess(GetCurrentProcess(), 3);
            }
        }
    }

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::string m_case;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_running = false;
    std::thread m_thread;
};

// Tells the watch when a case starts and ends; owned by GoogleTest.
class CaseWatchdog : public ::testing::EmptyTestEventListener {
  public:
    // Never deleted: its thread may still wait while the program ends.
    CaseWatchdog() : m_watch(new CaseWatch) {}

    void OnTestStart(const ::testing::TestInfo& info) override {
        m_watch->Start(std::string(info.test_suite_name()) + "." + info.name());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { m_watch->End(); }

  private:
    CaseWatch* m_watch;
};

// Installed before main runs; GoogleTest owns and deletes the listener.
const bool g_installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new CaseWatchdog);
    return true;
}();
} // namespace
