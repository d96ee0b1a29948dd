#include "RegKey.h"

#include <vector>

#include "WinText.h"

bool CRegKey::Open(HKEY parent, const CString& path, REGSAM access) {
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, Widen(path).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

bool CRegKey::Create(HKEY parent, const CString& path, REGSAM access) {
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, Widen(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    m_key = key;
    return true;
}

void CRegKey::Close() {
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
}

bool CRegKey::QueryDWORDValue(const CString& name, uint32_t& value) const {
    if (!m_key)
        return false;
    DWORD data = 0, size = sizeof(data);
    if (RegQueryValueExW(m_key, Widen(name).c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        size != sizeof(data))
        return false;
    value = data;
    return true;
}

bool CRegKey::QueryStringValue(const CString& name, CString& value, int maxChars) const {
    if (!m_key || maxChars <= 0)
        return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 1, L'\0');
    DWORD size = static_cast<DWORD>(maxChars * sizeof(wchar_t));
    if (RegQueryValueExW(m_key, Widen(name).c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return false;
    // The stored data need not end in a zero; the buffer's extra character ends it.
    value = Narrow(buffer.data());
    return true;
}

bool CRegKey::SetDWORDValue(const CString& name, uint32_t value) const {
    if (!m_key)
        return false;
    DWORD data = value;
    return RegSetValueExW(m_key, Widen(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
}

bool CRegKey::SetStringValue(const CString& name, const CString& value) const {
    if (!m_key)
        return false;
    std::wstring text = Widen(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_key, Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
}
