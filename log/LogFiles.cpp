#include "LogFiles.h"

#include <windows.h>

#include <cerrno>
#include <direct.h>
#include <string>

#include "classlib/WinApp.h"
#include "classlib/WinText.h"

namespace {
bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

int LastSeparator(const CString& path) {
    for (int i = path.GetLength() - 1; i >= 0; --i) {
        if (IsSeparator(path[i]))
            return i;
    }
    return -1;
}

void AppendBackslashIfMissing(CString& path) {
    if (!path.IsEmpty() && !IsSeparator(path[path.GetLength() - 1]))
        path += '\\';
}

// Creates one folder; 0 or the runtime's error number.
int CreateOneFolder(const CString& path) {
    return _wmkdir(Widen(path).c_str()) == 0 ? 0 : errno;
}
} // namespace

void SplitPath(const CString& path, CString* drive, CString* folder, CString* name,
               CString* extension) {
    CString rest = path;
    CString driveText;
    if (rest.GetLength() >= 2 && rest[1] == ':') {
        driveText = rest.Left(2);
        rest = rest.Mid(2);
    }
    const int separator = LastSeparator(rest);
    CString folderText = rest.Left(separator + 1);
    CString file = rest.Mid(separator + 1);
    const int dot = file.ReverseFind('.');
    CString nameText = dot >= 0 ? file.Left(dot) : file;
    CString extensionText = dot >= 0 ? file.Mid(dot) : CString();
    if (drive)
        *drive = driveText;
    if (folder)
        *folder = folderText;
    if (name)
        *name = nameText;
    if (extension)
        *extension = extensionText;
}

bool IsFolder(const CString& path) {
    if (path.IsEmpty())
        return false;
    DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString GetProgramFolder() {
    const std::wstring path = GetProgramPath();
    if (path.empty())
        return CString();
    CString drive, folder;
    SplitPath(Narrow(path), &drive, &folder, nullptr, nullptr);
    CString result = drive + folder;
    AppendBackslashIfMissing(result);
    return result;
}

int MakeFolderPath(CString path) {
    if (path.IsEmpty())
        return ENOENT;
    CString drive, folder, name, extension;
    SplitPath(path, &drive, &folder, &name, &extension);
    CString target = drive + folder;
    if (extension.IsEmpty())
        target += name;
    AppendBackslashIfMissing(target);

    if (IsFolder(target))
        return EEXIST;
    int result = CreateOneFolder(target);
    if (result == 0)
        return 0;
    if (result != ENOENT)
        return result;

    // A parent is missing: create the folders one level at a time.
    SplitPath(target, &drive, &folder, nullptr, nullptr);
    const bool rooted = !folder.IsEmpty() && IsSeparator(folder[0]);
    CString rest = rooted ? folder.Mid(1) : folder;
    if (rest.IsEmpty())
        return ENOENT;
    CString built = drive;
    bool first = true;
    for (;;) {
        int separator = -1;
        for (int i = 1; i < rest.GetLength(); ++i) {
            if (IsSeparator(rest[i])) {
                separator = i;
                break;
            }
        }
        if (separator < 0)
            break;
        // A relative path stays relative: its first level gets no leading backslash.
        if (rooted || !first)
            built += '\\';
        built += rest.Left(separator);
        first = false;
        result = CreateOneFolder(built);
        if (result != 0 && result != EEXIST)
            return result;
        rest = rest.Mid(separator + 1);
    }
    // A path that the walk could not take apart (a network share's root) is no success.
    return IsFolder(target) ? 0 : ENOENT;
}

CString FileErrorText(const CFileException& error) {
    static const char* const kTexts[] = {
        "No Error.",
        "An unspecified error occurred.",
        "The file could not be located.",
        "All or part of the path is invalid.",
        "The permitted number of open files was exceeded.",
        "The file could not be accessed.",
        "There was an attempt to use an invalid file handle.",
        "The current working directory cannot be removed.",
        "There are no more directory entries.",
        "There was an error trying to set the file pointer.",
        "There was a hardware error.",
        "SHARE.EXE was not loaded, or a shared region was locked.",
        "There was an attempt to lock a region that was already locked.",
        "The disk is full.",
        "The end of file was reached.",
    };
    const int cause = error.m_cause;
    if (cause < 1 || cause > 14)
        return kTexts[0];
    return kTexts[cause];
}
