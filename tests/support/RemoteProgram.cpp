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

int RemoteProgram::RowCount() const {
    return static_cast<int>(SendMessageW(GetDlgItem(m_window, IDC_LIST), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring RemoteProgram::CellText(int row, int column) const {
    // The list view reads and writes the item record in its own process, so the
    // record and its text buffer live there.
    const SIZE_T textChars = 512;
    const SIZE_T bytes = sizeof(LVITEMW) + textChars * sizeof(wchar_t);
    void* remote = VirtualAllocEx(m_process.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = static_cast<int>(textChars);
    item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
    WriteProcessMemory(m_process.hProcess, remote, &item, sizeof(item), nullptr);
    LRESULT length = SendMessageW(GetDlgItem(m_window, IDC_LIST), LVM_GETITEMTEXTW, row,
                                  reinterpret_cast<LPARAM>(remote));
    std::wstring text(textChars, L'\0');
    ReadProcessMemory(m_process.hProcess, item.pszText, &text[0], textChars * sizeof(wchar_t),
                      nullptr);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    VirtualFreeEx(m_process.hProcess, remote, 0, MEM_RELEASE);
    return text;
}

int RemoteProgram::FindRow(const std::wstring& text) const {
    for (int row = 0; row < RowCount(); ++row)
        if (CellText(row, 0) == text)
            return row;
    return -1;
}

RECT RemoteProgram::RowRect(int row, int part) const {
    // The list view writes the rectangle in its own process.
    RECT rect{part, 0, 0, 0};
    void* remote =
        VirtualAllocEx(m_process.hProcess, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return RECT{};
    WriteProcessMemory(m_process.hProcess, remote, &rect, sizeof(rect), nullptr);
    HWND list = GetDlgItem(m_window, IDC_LIST);
    if (!SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote)) ||
        !ReadProcessMemory(m_process.hProcess, remote, &rect, sizeof(rect), nullptr))
        rect = RECT{};
    VirtualFreeEx(m_process.hProcess, remote, 0, MEM_RELEASE);
    return rect;
}

bool RemoteProgram::DoubleClickRow(int row) const {
    const RECT rect = RowRect(row, LVIR_LABEL);
    if (IsRectEmpty(&rect))
        return false;
    HWND list = GetDlgItem(m_window, IDC_LIST);
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    return PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point) != FALSE;
}
