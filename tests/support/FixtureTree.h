#pragma once
// Builds fixture trees on the test drives through Win32 (long "\\?\" paths, any names),
// and the few things only the Unix side can make: symbolic links and bind mounts.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/String.h"

// The UTF-16 form of a UTF-8 path, with "\\?\" in front.
std::wstring Wide(const CString& path);
// Creates a folder and every missing folder above it; true when it exists afterwards.
bool MakeFolder(const CString& path);
// Creates (or replaces) a file of the given size filled with 'x', and its folder.
bool MakeFile(const CString& path, uint64_t size);
// Creates a file of the given size without writing its bytes (sparse on the Unix side),
// and its folder.
bool MakeSparseFile(const CString& path, uint64_t size);
// Sets the last-write time of a file, and with all its creation and access times too, to
// 3 Feb 2001, 04:05:06.7654327 UTC: far in the past and not on a whole second.
bool MakeOld(const CString& path, bool all = true);
// The names in a folder, without "." and "..", in the order the file system lists them.
std::vector<std::string> FolderNames(const CString& folder);
// Deletes a folder and everything below it; symbolic links are removed, not followed.
bool RemoveTree(const CString& path);
// The Unix path behind a Windows path of the test prefix.
std::string UnixPath(const CString& path);
// Runs a Unix program with arguments and waits for it; true when it exits with 0.
bool RunUnix(const std::wstring& commandLine);
// Makes link a Unix symbolic link whose target text is target (may be relative, "..").
bool MakeUnixSymlink(const CString& link, const char* target);
// Mounts folder source onto the existing folder target (a loop the file system does not
// mark); and undoes it.
bool BindMount(const CString& source, const CString& target);
bool Unmount(const CString& target);
