#pragma once
// The folder and file helpers of the error log: folder creation, path parts and the
// decoding of the log's bytes for display.
#include <string>

#include "classlib/File.h"
#include "classlib/String.h"

// Creates a folder and its missing parents: 0 created, 17 (EEXIST) it exists already,
// 2 (ENOENT) or another errno value on failure. A last component with an extension
// is taken as a file name and left out.
int MakeFolderPath(CString path);

// Splits a path as the C runtime's _splitpath does: "D:", "\folder\", "name", ".ext".
void SplitPath(const CString& path, CString* drive, CString* folder, CString* name,
               CString* extension);
// True when path names an existing folder.
bool IsFolder(const CString& path);
// The log's bytes as the text to show, line by line: a line that is valid UTF-8 as
// UTF-8, any other (cut off, or written by another program) in the ANSI code page.
std::wstring LogTextForDisplay(const CString& bytes);
