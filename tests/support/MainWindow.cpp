#include "MainWindow.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TestDrives.h"
#include "WindowDriver.h"
#include "classlib/WinText.h"
#include "res/resource.h"

INT_PTR RunMainWindow(CUsageDlg& dialog, const char* letters,
                      const std::function<void(HWND)>& script, bool keepSettings) {
    if (letters)
        AllowOnlyLetters(dialog, letters);
    return RunDialog(dialog, script, keepSettings);
}

namespace {
// A block of memory where the list can read and write it: in the list's own process.
class ListMemory {
  public:
    ListMemory(HWND list, size_t bytes) : m_local(bytes) {
        const DWORD process = WindowProcess(list);
        if (process == GetCurrentProcessId())
            return;
        m_process =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        if (m_process)
            m_remote = VirtualAllocEx(m_process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    }
    ~ListMemory() {
        if (m_remote)
            VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    ListMemory(const ListMemory&) = delete;
    ListMemory& operator=(const ListMemory&) = delete;

    // The block as the list sees it; null when it could not be made.
    char* Address() { return m_process ? static_cast<char*>(m_remote) : m_local.data(); }
    void Write(size_t offset, const void* data, size_t size) {
        if (m_remote)
            WriteProcessMemory(m_process, Address() + offset, data, size, nullptr);
        else
            memcpy(m_local.data() + offset, data, size);
    }
    void Read(size_t offset, void* data, size_t size) {
        if (m_remote)
            ReadProcessMemory(m_process, Address() + offset, data, size, nullptr);
        else
            memcpy(data, m_local.data() + offset, size);
    }

  private:
    std::vector<char> m_local;
    HANDLE m_process = nullptr;
    void* m_remote = nullptr;
};
} // namespace

HWND ListProbe::List() const {
    return GetDlgItem(m_window, IDC_LIST);
}

int ListProbe::Rows() const {
    return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
}

CString ListProbe::Text(int row, int column) const {
    const int chars = 1024;
    ListMemory memory(List(), sizeof(LVITEMW) + chars * sizeof(wchar_t));
    if (!memory.Address())
        return CString();
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(memory.Address() + sizeof(LVITEMW));
    item.cchTextMax = chars;
    memory.Write(0, &item, sizeof(item));
    const LRESULT length =
        SendMessageW(List(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(memory.Address()));
    std::vector<wchar_t> text(chars + 1, L'\0');
    memory.Read(sizeof(LVITEMW), text.data(), chars * sizeof(wchar_t));
    return Narrow(text.data(), static_cast<int>(length > 0 ? length : 0));
}

CString ListProbe::Heading(int column) const {
    const int chars = 256;
    ListMemory memory(List(), sizeof(LVCOLUMNW) + chars * sizeof(wchar_t));
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(memory.Address() + sizeof(LVCOLUMNW));
    item.cchTextMax = chars;
    memory.Write(0, &item, sizeof(item));
    std::vector<wchar_t> text(chars + 1, L'\0');
    if (SendMessageW(List(), LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(memory.Address())))
        memory.Read(sizeof(LVCOLUMNW), text.data(), chars * sizeof(wchar_t));
    return Narrow(text.data());
}

int ListProbe::ColumnWidth(int column) const {
    return static_cast<int>(SendMessageW(List(), LVM_GETCOLUMNWIDTH, column, 0));
}

int ListProbe::Image(int row, int column) const {
    ListMemory memory(List(), sizeof(LVITEMW));
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = column;
    item.iImage = -1;
    memory.Write(0, &item, sizeof(item));
    SendMessageW(List(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.Address()));
    memory.Read(0, &item, sizeof(item));
    return item.iImage;
}

int ListProbe::SelectionMark() const {
    return static_cast<int>(SendMessageW(List(), LVM_GETSELECTIONMARK, 0, 0));
}

HCURSOR ListProbe::Cursor() const {
    const DWORD uiThread = GetWindowThreadProcessId(m_window, nullptr);
    AttachThreadInput(GetCurrentThreadId(), uiThread, TRUE);
    SetCursor(nullptr);
    SendMessageW(List(), WM_SETCURSOR, reinterpret_cast<WPARAM>(List()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HCURSOR cursor = GetCursor();
    AttachThreadInput(GetCurrentThreadId(), uiThread, FALSE);
    return cursor;
}

std::vector<std::string> ListProbe::Column(int column) const {
    std::vector<std::string> texts;
    for (int row = 0, rows = Rows(); row < rows; ++row)
        texts.push_back(Text(row, column).str());
    return texts;
}

int ListProbe::RowOf(const CString& text) const {
    for (int row = 0, rows = Rows(); row < rows; ++row)
        if (Text(row) == text)
            return row;
    return -1;
}

RECT ListProbe::RowRect(int row, int part) const {
    RECT rect{part, 0, 0, 0};
    ListMemory memory(List(), sizeof(rect));
    memory.Write(0, &rect, sizeof(rect));
    if (!memory.Address() ||
        !SendMessageW(List(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(memory.Address())))
        return RECT{0, 0, 0, 0};
    memory.Read(0, &rect, sizeof(rect));
    return rect;
}

bool ListProbe::Select(const std::vector<int>& rows) const {
    ListMemory memory(List(), sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    memory.Write(0, &item, sizeof(item));
    const LPARAM address = reinterpret_cast<LPARAM>(memory.Address());
    bool done = address && SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), address);
    item.state = LVIS_SELECTED;
    memory.Write(0, &item, sizeof(item));
    for (int row : rows)
        done = SendMessageW(List(), LVM_SETITEMSTATE, row, address) && done;
    return done;
}

bool ListProbe::IsSelected(int row) const {
    return SendMessageW(List(), LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0;
}

bool ListProbe::DoubleClickRow(int row) const {
    const RECT rect = RowRect(row);
    if (rect.right <= rect.left)
        return false;
    SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    return true;
}

bool ListProbe::ButtonsEnabled() const {
    return IsWindowEnabled(GetDlgItem(m_window, IDC_BACK)) &&
           IsWindowEnabled(GetDlgItem(m_window, IDC_RESTART));
}

bool ListProbe::WaitForLevel(const CString& title) const {
    const bool shown =
        WaitFor([&] { return WindowTitle(m_window) == title && ButtonsEnabled(); }, 60000);
    Settle(m_window);
    return shown;
}

bool ListProbe::Open(const CString& name, const CString& title) const {
    const int row = RowOf(name);
    if (row < 0) {
        ADD_FAILURE() << "no row " << name.c_str();
        return false;
    }
    DoubleClickRow(row);
    if (!WaitForLevel(title)) {
        ADD_FAILURE() << "the level " << title.c_str() << " did not come up";
        return false;
    }
    return true;
}

void ListProbe::PressKey(WPARAM key) const {
    ::PressKey(List(), key);
}
