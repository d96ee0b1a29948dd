#include "RemoteProgram.h"

#include <commctrl.h>

#include "res/resource.h"
#include "support/StoredSettings.h"
#include "support/WindowDriver.h"

std::wstring BesideTestProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.rfind(L'\\') + 1);
    return folder + name;
}

RemoteProgram::~RemoteProgram() {
    if (m_process.hProcess) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process.hProcess, 99);
            WaitForSingleObject(m_process.hProcess, 5000);
        }
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

bool RemoteProgram::Start(DWORD timeoutMs, bool keepSettings, const std::wstring& program) {
    if (!keepSettings)
        ClearStoredSettings();
    const std::wstring exe = program.empty() ? BesideTestProgram(L"Voldix.exe") : program;
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_process))
        return false;
    WaitFor(
        [&] {
            m_window = FindTopLevelWindow([&](HWND window) {
                return WindowProcess(window) == m_process.dwProcessId &&
                       WindowClass(window) == L"#32770" && GetDlgItem(window, IDC_LIST);
            });
            return m_window != nullptr;
        },
        timeoutMs);
    if (m_window)
        Settle(m_window);
    return m_window != nullptr;
}

bool RemoteProgram::WaitForExit(DWORD timeoutMs, DWORD* code) const {
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (code)
        GetExitCodeProcess(m_process.hProcess, code);
    return true;
}

DWORD RemoteProgram::CloseAndTime(DWORD timeoutMs, DWORD* code) const {
    const DWORD start = GetTickCount();
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    if (!WaitForExit(timeoutMs, code))
        return INFINITE;
    return GetTickCount() - start;
}
