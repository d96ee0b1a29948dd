#pragma once
// CWnd: a window of the program. Messages of a window that the program wraps go to its
// virtual WindowProc; Default hands the message being handled to the window's own
// procedure.
#include <windows.h>

#include "String.h"

// Wraps one HWND; subclassing routes its messages to WindowProc.
class CWnd {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Routes the window's messages to WindowProc until it is destroyed; false, with the
    // window left as it was, when it cannot.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, CWnd* parent);
    void UnsubclassWindow();

    // The dispatch function of a window class: override it and switch on the message.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void SetWindowText(const CString& text) const;
    CString GetWindowText() const;
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) const {
        return ::SetWindowPlacement(m_hWnd, placement);
    }
    int MessageBox(const CString& text, const CString& caption, UINT type = MB_OK) const;
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    void DrawMenuBar() const { ::DrawMenuBar(m_hWnd); }
    // Centres the window over its owner (over the work area when it has none), kept
    // inside the work area of the owner's monitor.
    void CenterWindow() const;
    HICON SetIcon(HICON icon, BOOL big) const {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    // Gives every child control a tooltip whose text the window supplies on request
    // (TTN_NEEDTEXT with the control's window handle as the tool id).
    BOOL EnableToolTips(BOOL enable = TRUE);
    HWND GetToolTip() const { return m_toolTip; }

    HWND m_hWnd = nullptr;

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    WNDPROC m_oldProc = nullptr;
    CurrentMessage m_current{0, 0, 0};
    HWND m_toolTip = nullptr;
};
