#pragma once
// CMenu: a menu handle, owned (created here, destroyed with the object) or borrowed
// (a window's menu bar or system menu, which the window destroys).
#include <windows.h>

#include "String.h"

// Menu operations with UTF-8 item texts.
class CMenu {
  public:
    CMenu() = default;
    explicit CMenu(HMENU borrowed) : m_hMenu(borrowed) {}
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() { DestroyMenu(); }

    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const CString& text = CString());
    BOOL DeleteMenu(UINT item, UINT flags) { return ::DeleteMenu(m_hMenu, item, flags); }
    UINT CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(m_hMenu, item, flags); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }
    CString GetMenuString(UINT item, UINT flags) const;
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, nullptr);
    }

  private:
    HMENU m_hMenu = nullptr;
    bool m_owned = false;
};
