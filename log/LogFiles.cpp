#include "LogFiles.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <direct.h>
#include <string>

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

std::wstring Convert(UINT codePage, DWORD flags, const char* bytes, int count) {
    const int length = MultiByteToWideChar(codePage, flags, bytes, count, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes, count, &wide[0], length);
    return wide;
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

std::wstring LogTextForDisplay(const CString& bytes) {
    std::wstring wide;
    const char* text = bytes.c_str();
    const int length = bytes.GetLength();
    for (int start = 0; start < length;) {
        const char* end = static_cast<const char*>(memchr(text + start, '\n', length - start));
        const int count = end ? static_cast<int>(end - text) + 1 - start : length - start;
        // A line whose bytes are not valid UTF-8 was written in the ANSI code page.
        std::wstring line = Convert(CP_UTF8, MB_ERR_INVALID_CHARS, text + start, count);
        if (line.empty())
            line = Convert(CP_ACP, 0, text + start, count);
        wide += line;
        start += count;
    }
    return wide;
}
