#include "WinText.h"

std::wstring Widen(const char* text) {
    if (!text || !*text)
        return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring out(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], length);
    out.resize(static_cast<size_t>(length - 1));
    return out;
}

CString Narrow(const wchar_t* text, int length) {
    if (!text || length == 0 || (length < 0 && !*text))
        return CString();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return CString();
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], bytes, nullptr, nullptr);
    if (length < 0)
        out.resize(static_cast<size_t>(bytes - 1));
    return CString(std::move(out));
}

bool CString::LoadString(unsigned id) {
    const wchar_t* resource = nullptr;
    int length =
        ::LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) {
        Empty();
        return false;
    }
    *this = Narrow(resource, length);
    return true;
}
