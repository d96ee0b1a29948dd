#include "update/VersionInfo.h"

#include <windows.h>

#include <new>
#include <string>
#include <vector>

#include "classlib/SystemDll.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"

namespace {
// A string value of the German Unicode string table, or false when it is missing.
bool QueryString(std::vector<BYTE>& block, const wchar_t* key, CString& value) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040704B0\\") + key;
    void* text = nullptr;
    UINT length = 0;
    const auto query = SYSTEM_FUNCTION(L"version.dll", VerQueryValueW);
    if (!query || !query(block.data(), path.c_str(), &text, &length) || !text)
        return false;
    value = Narrow(static_cast<const wchar_t*>(text));
    return true;
}

CString FormatVersion(DWORD high, DWORD low) {
    CString text;
    text.Format("%d.%d.%d.%d", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
    return text;
}
} // namespace

bool ReadVersionInfo(CString& fileVersion, CString& productVersion, CString& comments,
                     CString& copyright, UpdateEntry* version) {
    // The running module's own path: a renamed copy reads itself, and no file of the
    // same name elsewhere in the search order is read in its place.
    const std::wstring file = GetProgramPath();
    if (file.empty())
        return false;
    const auto infoSize = SYSTEM_FUNCTION(L"version.dll", GetFileVersionInfoSizeW);
    const auto info = SYSTEM_FUNCTION(L"version.dll", GetFileVersionInfoW);
    const auto query = SYSTEM_FUNCTION(L"version.dll", VerQueryValueW);
    if (!infoSize || !info || !query)
        return false;
    DWORD ignored = 0;
    const DWORD size = infoSize(file.c_str(), &ignored);
    if (size == 0)
        return false;
    std::vector<BYTE> block;
    try {
        block.resize(size + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!info(file.c_str(), 0, size + 1, block.data()))
        return false;

    bool found = false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (query(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) && fixed &&
        fixedLength >= sizeof(VS_FIXEDFILEINFO)) {
        if (version) {
            *version = UpdateEntry{};
            version->version[0] = HIWORD(fixed->dwFileVersionMS);
            version->version[1] = LOWORD(fixed->dwFileVersionMS);
            version->version[2] = HIWORD(fixed->dwFileVersionLS);
            version->version[3] = LOWORD(fixed->dwFileVersionLS);
        }
        fileVersion = FormatVersion(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        productVersion = FormatVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        found = true;
    }
    QueryString(block, L"Comments", comments);
    QueryString(block, L"LegalCopyright", copyright);
    return found;
}
