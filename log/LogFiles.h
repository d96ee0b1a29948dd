#pragma once
// The folder and file helpers of the error log: the program's folder, folder creation
// and the English texts of the file exception causes.
#include "classlib/File.h"
#include "classlib/String.h"

// The drive and folder of the program file, ending in a backslash.
CString GetProgramFolder();
// Creates a folder and its missing parents: 0 created, 17 (EEXIST) it exists already,
// 2 (ENOENT) or another errno value on failure. A last component with an extension
// is taken as a file name and left out.
int MakeFolderPath(CString path);
// The English text of the exception's cause; "No Error." for 0 and unknown codes.
CString FileErrorText(const CFileException& error);

// Splits a path as the C runtime's _splitpath does: "D:", "\folder\", "name", ".ext".
void SplitPath(const CString& path, CString* drive, CString* folder, CString* name,
               CString* extension);
// True when path names an existing folder.
bool IsFolder(const CString& path);
