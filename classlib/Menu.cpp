#include "Menu.h"

#include "WinText.h"

BOOL CMenu::CreatePopupMenu() {
    DestroyMenu();
    m_hMenu = ::CreatePopupMenu();
    m_owned = m_hMenu != nullptr;
    return m_owned;
}

BOOL CMenu::DestroyMenu() {
    BOOL result = TRUE;
    if (m_owned && m_hMenu)
        result = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    m_owned = false;
    return result;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const CString& text) {
    if (flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW))
        return ::AppendMenuW(m_hMenu, flags, id, nullptr);
    return ::AppendMenuW(m_hMenu, flags, id, Widen(text).c_str());
}

CString CMenu::GetMenuString(UINT item, UINT flags) const {
    wchar_t buffer[256] = L"";
    int length = ::GetMenuStringW(m_hMenu, item, buffer, 256, flags);
    return Narrow(buffer, length);
}
