#include "Dpi.h"

#include <vector>

#include "SystemDll.h"

namespace {
// Function types of the user32 and shcore calls that older systems lack.
typedef BOOL(WINAPI* SetProcessDpiAwarenessContextFn)(HANDLE context);
typedef HRESULT(WINAPI* SetProcessDpiAwarenessFn)(int awareness);
typedef BOOL(WINAPI* SetProcessDPIAwareFn)();
typedef UINT(WINAPI* GetDpiForWindowFn)(HWND window);
typedef BOOL(WINAPI* SetDialogDpiChangeBehaviorFn)(HWND dialog, int mask, int values);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, PROCESS_PER_MONITOR_DPI_AWARE, DDC_DISABLE_ALL.
const HANDLE kPerMonitorV2Context = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
const int kProcessPerMonitorDpiAware = 2;
const int kDialogDpiChangeDisableAll = 1;

template <typename Function> Function User32(const char* name) {
    return SystemFunction<Function>(L"user32.dll", name);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}
} // namespace

DpiAwareness DeclareDpiAwareness() {
    if (auto setContext = User32<SetProcessDpiAwarenessContextFn>("SetProcessDpiAwarenessContext"))
        if (setContext(kPerMonitorV2Context))
            return DpiAwareness::PerMonitorV2;
    // shcore.dll comes with Windows 8.1.
    if (auto setAwareness =
            SystemFunction<SetProcessDpiAwarenessFn>(L"shcore.dll", "SetProcessDpiAwareness"))
        if (SUCCEEDED(setAwareness(kProcessPerMonitorDpiAware)))
            return DpiAwareness::PerMonitor;
    if (auto setAware = User32<SetProcessDPIAwareFn>("SetProcessDPIAware"))
        if (setAware())
            return DpiAwareness::System;
    return DpiAwareness::Unaware;
}

UINT WindowDpi(HWND window) {
    static const GetDpiForWindowFn getDpi = User32<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpi && window)
        if (const UINT dpi = getDpi(window))
            return dpi;
    int dpi = 0;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleForDpi(int value, UINT dpi) {
    if (dpi == 0 || dpi == kDesignDpi)
        return value;
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

int UnscaleForDpi(int value, UINT dpi) {
    if (dpi == 0 || dpi == kDesignDpi)
        return value;
    return MulDiv(value, static_cast<int>(kDesignDpi), static_cast<int>(dpi));
}

void CDpiFont::Reset(HFONT font) {
    if (m_font)
        DeleteObject(m_font);
    m_font = font;
}

void KeepDialogDpiChangeToMyself(HWND dialog) {
    static const SetDialogDpiChangeBehaviorFn setBehavior =
        User32<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior");
    if (setBehavior)
        setBehavior(dialog, kDialogDpiChangeDisableAll, kDialogDpiChangeDisableAll);
}

void ApplyDpiChange(HWND dialog, UINT oldDpi, UINT newDpi, const RECT& suggested, CDpiFont& font) {
    if (oldDpi != 0 && newDpi != 0 && oldDpi != newDpi) {
        std::vector<HWND> controls;
        EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&controls));
        // The controls hold the font in use; the dialog may still name the template's.
        HFONT current = nullptr;
        for (HWND control : controls)
            if (!current && GetParent(control) == dialog)
                current = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        if (!current)
            current = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        LOGFONTW logFont{};
        HFONT scaled = nullptr;
        if (current && GetObjectW(current, sizeof(logFont), &logFont)) {
            logFont.lfHeight =
                MulDiv(logFont.lfHeight, static_cast<int>(newDpi), static_cast<int>(oldDpi));
            logFont.lfWidth =
                MulDiv(logFont.lfWidth, static_cast<int>(newDpi), static_cast<int>(oldDpi));
            scaled = CreateFontIndirectW(&logFont);
        }
        for (HWND control : controls) {
            if (GetParent(control) != dialog)
                continue;
            RECT rect;
            GetWindowRect(control, &rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
            auto scale = [&](LONG v) {
                return MulDiv(v, static_cast<int>(newDpi), static_cast<int>(oldDpi));
            };
            MoveWindow(control, scale(rect.left), scale(rect.top), scale(rect.right - rect.left),
                       scale(rect.bottom - rect.top), FALSE);
            if (scaled)
                SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
        }
        if (scaled) {
            SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
            font.Reset(scaled);
        }
    }
    SetWindowPos(dialog, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(dialog, nullptr, TRUE);
}
