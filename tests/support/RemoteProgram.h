#pragma once
// Starts Voldix.exe (next to the test program) and reads its main window from outside,
// as another process would.
#include <windows.h>

#include <string>
#include <vector>

// A running Voldix.exe, killed at the end if it has not ended by itself.
class RemoteProgram {
  public:
    RemoteProgram() = default;
    RemoteProgram(const RemoteProgram&) = delete;
    RemoteProgram& operator=(const RemoteProgram&) = delete;
    ~RemoteProgram();

    // Starts the program and waits until its main window is up; false if it is not.
    // Unless keepSettings is set, the stored settings are removed first (a first run).
    // The program is Voldix.exe next to the test program unless exe names another file.
    bool Start(DWORD timeoutMs = 15000, bool keepSettings = false,
               const std::wstring& exe = std::wstring());
    HWND Window() const { return m_window; }
    HANDLE Process() const { return m_process.hProcess; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    // Waits for the process to end; true if it ended in time (exit code in *code).
    bool WaitForExit(DWORD timeoutMs, DWORD* code = nullptr) const;
    // Posts WM_CLOSE to the main window; the milliseconds until the process ended, or
    // INFINITE when it did not end within timeoutMs.
    DWORD CloseAndTime(DWORD timeoutMs, DWORD* code = nullptr) const;
    // The main window's list: use ListProbe(Window()), which reads it through the
    // program's memory.

  private:
    PROCESS_INFORMATION m_process{};
    HWND m_window = nullptr;
};

// The full path of a file next to the running test program.
std::wstring BesideTestProgram(const wchar_t* name);
