#pragma once
// Conversions between the program's UTF-8 text and the UTF-16 that Windows' wide
// functions take, used at every call into Windows.
#include <windows.h>

#include <string>

#include "String.h"

std::wstring Widen(const char* text);
inline std::wstring Widen(const CString& text) {
    return Widen(text.c_str());
}
CString Narrow(const wchar_t* text, int length = -1);
inline CString Narrow(const std::wstring& text) {
    return Narrow(text.c_str(), static_cast<int>(text.size()));
}
