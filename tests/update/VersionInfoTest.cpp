// The program's version resource as the About box and the update check read it, also
// from a copy of the program under another name.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "classlib/WinText.h"
#include "log/TempFolder.h"
#include "support/RemoteProgram.h"
#include "update/VersionInfo.h"

namespace {
// A string value of the program's own version resource, read without ReadVersionInfo.
std::string ResourceString(const wchar_t* key) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path, &ignored));
    if (block.empty() ||
        !GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()))
        return "<no version resource>";
    void* text = nullptr;
    UINT length = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\040704b0\\") + key;
    if (!VerQueryValueW(block.data(), query.c_str(), &text, &length))
        return "<missing>";
    return Narrow(static_cast<const wchar_t*>(text)).str();
}
} // namespace

TEST(VersionInfo, ReadsTheOwnResource) {
    CString fileVersion = "x", productVersion = "x", comments = "x", copyright = "x";
    UpdateEntry record{};
    record.version[0] = 7;
    record.size = 5;
    ASSERT_TRUE(ReadVersionInfo(fileVersion, productVersion, comments, copyright, &record));
    EXPECT_EQ(fileVersion, "1.0.0.21");
    EXPECT_EQ(productVersion, "1.0.0.1");
    EXPECT_EQ(comments, "Release 28.02.2007");
    EXPECT_EQ(copyright, "Copyright © 2007 Pelka");
    EXPECT_EQ(record.version[0], 1);
    EXPECT_EQ(record.version[1], 0);
    EXPECT_EQ(record.version[2], 0);
    EXPECT_EQ(record.version[3], 21);
    EXPECT_EQ(record.size, 0);
    EXPECT_EQ(record.name, nullptr);

    // Without a record the texts are still read.
    CString v, p, c, r;
    EXPECT_TRUE(ReadVersionInfo(v, p, c, r, nullptr));
    EXPECT_EQ(v, "1.0.0.21");
}

TEST(VersionInfo, ResourceHoldsEveryValue) {
    const std::pair<const wchar_t*, const char*> values[] = {
        {L"CompanyName", "Pelka"},
        {L"FileDescription", "MFC-Anwendung Voldix"},
        {L"FileVersion", "1, 0, 0, 21"},
        {L"InternalName", "Voldix"},
        {L"LegalTrademarks", " "},
        {L"OriginalFilename", "Voldix.EXE"},
        {L"PrivateBuild", "Auslastung von Laufwerken"},
        {L"ProductName", "Anwendung Voldix"},
        {L"ProductVersion", "1, 0, 0, 1"},
        {L"SpecialBuild", "Getestet auf Win 9x, Win NT4.0, Win2000, WinXP"}};
    for (const auto& value : values)
        EXPECT_EQ(ResourceString(value.first), value.second) << Narrow(value.first).str();

    HRSRC resource = FindResourceExW(nullptr, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1),
                                     MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    ASSERT_NE(resource, nullptr);
    void* fixedData = nullptr;
    UINT length = 0;
    void* data = LockResource(LoadResource(nullptr, resource));
    std::vector<BYTE> copy(static_cast<const BYTE*>(data),
                           static_cast<const BYTE*>(data) + SizeofResource(nullptr, resource));
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", &fixedData, &length));
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedData);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0x28u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(*translation, 0x04B00407u);
}

TEST(VersionInfo, RenamedCopyReadsItself) {
    TempFolder folder("voldix_version");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring copy = Widen(folder.Path("Anders benannt.exe"));
    ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
    // The copy runs the test of the own resource under its new name.
    std::wstring commandLine = L"\"" + copy + L"\" --gtest_filter=VersionInfo.ReadsTheOwnResource";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                               Widen(folder.Path()).c_str(), &startup, &process));
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    if (waited != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 98);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the renamed copy did not end within 60 s";
    EXPECT_EQ(code, 0u);
}
