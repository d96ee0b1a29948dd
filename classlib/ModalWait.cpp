#include "ModalWait.h"

#include <commctrl.h>

namespace {
const UINT_PTR kWaitCursorId = 0x766478;

LRESULT CALLBACK WaitCursorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
    if (message == WM_SETCURSOR) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool IsOwnWindow(HWND window, HWND owner) {
    return window && (window == owner || IsChild(owner, window));
}

// True when message asks to close owner.
bool IsCloseRequest(const MSG& message, HWND owner) {
    if (message.hwnd != owner)
        return false;
    return message.message == WM_CLOSE ||
           (message.message == WM_SYSCOMMAND && (message.wParam & 0xFFF0) == SC_CLOSE) ||
           (message.message == WM_COMMAND && LOWORD(message.wParam) == IDCANCEL);
}

// True for input and commands that owner's windows do not get while the wait lasts.
bool IsRefused(const MSG& message, HWND owner) {
    const UINT id = message.message;
    return IsOwnWindow(message.hwnd, owner) &&
           ((id >= WM_KEYFIRST && id <= WM_KEYLAST) ||
            (id >= WM_MOUSEFIRST && id <= WM_MOUSELAST) || id == WM_COMMAND || id == WM_SYSCOMMAND);
}
} // namespace

WaitEnd WaitModally(HWND owner, HANDLE done, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    const HWND focus = GetFocus();
    const bool disabled = owner && !EnableWindow(owner, FALSE);
    if (owner) {
        SetWindowSubclass(owner, WaitCursorProc, kWaitCursorId, 0);
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    }
    WaitEnd end = WaitEnd::TimedOut;
    MSG request{};
    bool handOn = false;
    for (;;) {
        if (WaitForSingleObject(done, 0) == WAIT_OBJECT_0) {
            end = WaitEnd::Signalled;
            break;
        }
        if (owner && (!IsWindow(owner) || !IsWindowVisible(owner))) {
            end = WaitEnd::Closing;
            break;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline ||
            MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE) == WAIT_FAILED)
            break;
        MSG message;
        while (!handOn && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT || (owner && IsCloseRequest(message, owner))) {
                request = message;
                handOn = true;
            } else if (!owner || !IsRefused(message, owner)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        if (handOn) {
            end = WaitEnd::Closing;
            break;
        }
    }
    if (owner && IsWindow(owner)) {
        RemoveWindowSubclass(owner, WaitCursorProc, kWaitCursorId);
        if (disabled)
            EnableWindow(owner, TRUE);
        if (focus && IsWindow(focus))
            SetFocus(focus);
    }
    if (handOn && request.message == WM_QUIT)
        PostQuitMessage(static_cast<int>(request.wParam));
    else if (handOn)
        PostMessageW(request.hwnd, request.message, request.wParam, request.lParam);
    return end;
}
