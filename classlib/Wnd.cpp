#include "Wnd.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "WinText.h"

namespace {
const wchar_t kWndProperty[] = L"Voldix.CWnd";

// Registers a child control with the window's tooltip.
BOOL CALLBACK AddToolForChild(HWND child, LPARAM param) {
    HWND toolTip = reinterpret_cast<HWND>(param);
    HWND owner = GetWindow(toolTip, GW_OWNER);
    if (GetParent(child) != owner)
        return TRUE;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return TRUE;
}
} // namespace

CWnd::~CWnd() {
    if (m_hWnd && m_oldProc)
        UnsubclassWindow();
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_oldProc || !SetPropW(hwnd, kWndProperty, this))
        return false;
    m_hWnd = hwnd;
    m_oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (m_oldProc)
        return true;
    RemovePropW(hwnd, kWndProperty);
    m_hWnd = nullptr;
    return false;
}

bool CWnd::SubclassDlgItem(int id, CWnd* parent) {
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, id));
}

void CWnd::UnsubclassWindow() {
    if (m_hWnd && m_oldProc && IsWindow(m_hWnd)) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
        RemovePropW(m_hWnd, kWndProperty);
    }
    m_oldProc = nullptr;
    m_hWnd = nullptr;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = static_cast<CWnd*>(GetPropW(hwnd, kWndProperty));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    CurrentMessage saved = self->m_current;
    self->m_current = {message, wParam, lParam};
    LRESULT result = self->WindowProc(message, wParam, lParam);
    self->m_current = saved;
    if (message == WM_NCDESTROY) {
        self->UnsubclassWindow();
        self->m_toolTip = nullptr;
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT, WPARAM, LPARAM) {
    return Default();
}

LRESULT CWnd::Default() {
    if (!m_oldProc)
        return DefWindowProcW(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
    return CallWindowProcW(m_oldProc, m_hWnd, m_current.message, m_current.wParam,
                           m_current.lParam);
}

void CWnd::SetWindowText(const CString& text) const {
    ::SetWindowTextW(m_hWnd, Widen(text).c_str());
}

CString CWnd::GetWindowText() const {
    int length = GetWindowTextLengthW(m_hWnd);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    return Narrow(buffer.data(), copied);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const {
    placement->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, placement);
}

int CWnd::MessageBox(const CString& text, const CString& caption, UINT type) const {
    return ::MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(caption).c_str(), type);
}

BOOL CWnd::EnableToolTips(BOOL enable) {
    if (!enable) {
        if (m_toolTip)
            DestroyWindow(m_toolTip);
        m_toolTip = nullptr;
        return TRUE;
    }
    if (m_toolTip)
        return TRUE;
    m_toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_toolTip)
        return FALSE;
    EnumChildWindows(m_hWnd, &AddToolForChild, reinterpret_cast<LPARAM>(m_toolTip));
    return TRUE;
}

void CWnd::CenterWindow() const {
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    HMONITOR handle = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY);
    if (!GetMonitorInfoW(handle, &monitor))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
    const RECT& work = monitor.rcWork;
    RECT around = work;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &around);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = (around.left + around.right) / 2 - width / 2;
    int y = (around.top + around.bottom) / 2 - height / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
