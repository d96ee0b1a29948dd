#include "StoredSettings.h"

#include <cstring>
#include <cwchar>

#include "WindowDriver.h"

namespace {
const wchar_t kKey[] = L"Software\\Pelka\\Voldix";
}

void ClearStoredSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
}

void StoreValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void StoreNumber(const wchar_t* name, uint32_t value) {
    DWORD data = value;
    StoreValue(name, REG_DWORD, &data, sizeof(data));
}

void StoreText(const wchar_t* name, const std::wstring& text) {
    StoreValue(name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

StoredValue ReadStoredValue(const wchar_t* name) {
    StoredValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        if (RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size) ==
            ERROR_SUCCESS) {
            value.present = true;
            value.data.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

uint32_t StoredValue::Number() const {
    uint32_t number = 0;
    if (data.size() == sizeof(number))
        std::memcpy(&number, data.data(), sizeof(number));
    return number;
}

std::wstring StoredValue::Text() const {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::vector<long> StoredNumbers(const wchar_t* name) {
    std::vector<long> numbers;
    const std::wstring text = ReadStoredValue(name).Text();
    size_t start = 0, comma;
    while ((comma = text.find(L',', start)) != std::wstring::npos) {
        numbers.push_back(std::wcstol(text.substr(start, comma - start).c_str(), nullptr, 10));
        start = comma + 1;
    }
    return numbers;
}

INT_PTR RunStored(CDialog& dialog, const std::function<void(HWND)>& script) {
    return RunDialog(dialog, script, true);
}
