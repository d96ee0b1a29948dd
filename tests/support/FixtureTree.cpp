#include "FixtureTree.h"

#include <string>
#include <vector>

#include "classlib/WinText.h"

std::wstring Wide(const CString& path) {
    std::wstring wide = Widen(path);
    if (wide.compare(0, 4, L"\\\\?\\") != 0)
        wide = L"\\\\?\\" + wide;
    return wide;
}

bool MakeFolder(const CString& path) {
    std::wstring wide = Wide(path);
    // Every prefix after "\\?\X:\" is a folder to create.
    for (size_t i = 7; i <= wide.size(); ++i) {
        if (i == wide.size() || wide[i] == L'\\') {
            const std::wstring prefix = wide.substr(0, i);
            if (!CreateDirectoryW(prefix.c_str(), nullptr) &&
                GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
        }
    }
    return true;
}

namespace {
HANDLE CreateForWriting(const CString& path) {
    const int slash = path.ReverseFind('\\');
    if (slash > 2)
        MakeFolder(path.Left(slash));
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
} // namespace

bool MakeFile(const CString& path, uint64_t size) {
    HANDLE file = CreateForWriting(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> block(64 * 1024, 'x');
    bool ok = true;
    while (ok && size > 0) {
        const DWORD chunk = static_cast<DWORD>(size < block.size() ? size : block.size());
        DWORD written = 0;
        ok = WriteFile(file, block.data(), chunk, &written, nullptr) && written == chunk;
        size -= chunk;
    }
    CloseHandle(file);
    return ok;
}

bool MakeSparseFile(const CString& path, uint64_t size) {
    HANDLE file = CreateForWriting(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

bool RemoveTree(const CString& path) {
    std::wstring folder = Wide(path);
    if (folder.back() != L'\\')
        folder += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = folder + name;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(Narrow(child));
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                // A link to a folder: removing the link leaves its target alone.
                RunUnix(L"/bin/rm -f '" + Widen(UnixPath(Narrow(child)).c_str()) + L"'");
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(folder.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

std::string UnixPath(const CString& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    static UnixFileName convert = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert)
        return std::string();
    std::wstring wide = Widen(path);
    if (wide.compare(0, 4, L"\\\\?\\") == 0)
        wide = wide.substr(4);
    char* unix = convert(wide.c_str());
    if (!unix)
        return std::string();
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

bool RunUnix(const std::wstring& commandLine) {
    // Wine starts a Unix program found through a drive (Z: is the Unix root) but hands back
    // no process to wait for; the shell therefore leaves the exit status in a file.
    static LONG counter = 0;
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring status = std::wstring(folder) + L"voldix_unix_" +
                                std::to_wstring(GetCurrentProcessId()) + L"_" +
                                std::to_wstring(InterlockedIncrement(&counter)) + L".txt";
    const std::string unixStatus = UnixPath(Narrow(status));
    if (unixStatus.empty())
        return false;
    const std::wstring target = Widen(unixStatus.c_str());
    std::wstring line = L"Z:\\bin\\sh -c \"" + commandLine + L"; echo $? > '" + target +
                        L".part'; mv '" + target + L".part' '" + target + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string code;
    for (DWORD waited = 0; waited < 30000 && code.empty(); waited += 10) {
        HANDLE file = CreateFileW(status.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Sleep(10);
            continue;
        }
        char buffer[16] = "";
        DWORD read = 0;
        ReadFile(file, buffer, sizeof(buffer) - 1, &read, nullptr);
        CloseHandle(file);
        code.assign(buffer, read);
    }
    DeleteFileW(status.c_str());
    return code.compare(0, 2, "0\n") == 0;
}

bool MakeUnixSymlink(const CString& link, const char* target) {
    const std::string unixLink = UnixPath(link);
    if (unixLink.empty())
        return false;
    return RunUnix(L"/bin/ln -sfn '" + Widen(target) + L"' '" + Widen(unixLink.c_str()) + L"'");
}

bool BindMount(const CString& source, const CString& target) {
    const std::string from = UnixPath(source), to = UnixPath(target);
    if (from.empty() || to.empty())
        return false;
    return RunUnix(L"mount --bind '" + Widen(from.c_str()) + L"' '" + Widen(to.c_str()) + L"'");
}

bool Unmount(const CString& target) {
    const std::string to = UnixPath(target);
    return !to.empty() && RunUnix(L"umount '" + Widen(to.c_str()) + L"'");
}

bool MakeOld(const CString& path, bool all) {
    HANDLE file = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    const FILETIME time{0x7E29D0B7, 0x01C08D96};
    const bool done = SetFileTime(file, all ? &time : nullptr, all ? &time : nullptr, &time);
    CloseHandle(file);
    return done;
}

std::vector<std::string> FolderNames(const CString& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Wide(folder) + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Narrow(name).str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}
