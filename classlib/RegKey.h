#pragma once
// CRegKey: one open registry key, closed with the object. Names and texts are UTF-8;
// the key is opened and read through the wide registry functions.
#include <windows.h>

#include <cstdint>

#include "String.h"

// An open key of the registry with the reads and writes the program uses.
class CRegKey {
  public:
    CRegKey() = default;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey() { Close(); }

    // Opens an existing key; false (and nothing open) when it does not exist or is denied.
    bool Open(HKEY parent, const CString& path, REGSAM access = KEY_ALL_ACCESS);
    // Opens the key, creating it and the keys above it when missing.
    bool Create(HKEY parent, const CString& path, REGSAM access = KEY_ALL_ACCESS);
    void Close();
    HKEY GetSafeHandle() const { return m_key; }

    // Reads a value of exactly four bytes, whatever its type; false for any other size.
    bool QueryDWORDValue(const CString& name, uint32_t& value) const;
    // Reads a text of fewer than maxChars characters, whatever its type; a longer value
    // fails to read. A missing terminator is supplied.
    bool QueryStringValue(const CString& name, CString& value, int maxChars) const;
    bool SetDWORDValue(const CString& name, uint32_t value) const;
    // Writes a REG_SZ value with its terminating zero counted in the length.
    bool SetStringValue(const CString& name, const CString& value) const;

  private:
    HKEY m_key = nullptr;
};
