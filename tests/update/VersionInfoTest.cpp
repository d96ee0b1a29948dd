// The program's version resource as the About box and the update check read it, also
// from a copy of the program under another name; the system DLLs they use come from the
// system folder only.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "classlib/SystemDll.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "log/LogFiles.h"
#include "support/RemoteProgram.h"
#include "support/ScratchFolder.h"
#include "update/VersionInfo.h"

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

TEST(VersionInfo, RenamedCopyReadsItself) {
    ScratchFolder folder;
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

// A file of a DLL's name beside the program: neither the class layer's loader nor a plain
// load after the start-up restriction finds it. Its garbage bytes make a load that finds
// it fail with another error than one that does not.
TEST(SystemDll, NeverTakesTheFileBesideTheProgram) {
    const CString planted = GetProgramFolder() + "voldix_planted.dll";
    WriteBytes(planted, "MZ, but no program");
    const auto errorOf = [](HMODULE module) { return module ? 0 : GetLastError(); };
    const DWORD found = ERROR_BAD_EXE_FORMAT, notFound = ERROR_MOD_NOT_FOUND;
    EXPECT_EQ(errorOf(LoadLibraryW(Widen(planted).c_str())), found) << "a load that finds it";
    EXPECT_EQ(errorOf(LoadSystemLibrary(L"voldix_planted.dll")), notFound) << "LoadSystemLibrary";
    RestrictDllSearch();
    EXPECT_EQ(errorOf(LoadLibraryW(L"voldix_planted.dll")), notFound) << "RestrictDllSearch";
    DeleteFileW(Widen(planted).c_str());
}
