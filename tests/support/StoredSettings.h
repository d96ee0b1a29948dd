#pragma once
// The program's key "Software\Pelka\Voldix" of the current user, written and read by
// the tests around a run of the main window.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/Dialog.h"

// Removes the key with all its values, so that the next start is a first run.
void ClearStoredSettings();
// Writes one value of any type and size, creating the key.
void StoreValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
void StoreNumber(const wchar_t* name, uint32_t value);
void StoreText(const wchar_t* name, const std::wstring& text);
// A stored value: present, its type and its bytes.
struct StoredValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    uint32_t Number() const;
    std::wstring Text() const;
};
StoredValue ReadStoredValue(const wchar_t* name);
// The numbers of a stored comma-terminated list ("1,2,3,").
std::vector<long> StoredNumbers(const wchar_t* name);
// Runs the dialog over the stored values as they are (RunDialog keeping the settings).
INT_PTR RunStored(CDialog& dialog, const std::function<void(HWND)>& script);
