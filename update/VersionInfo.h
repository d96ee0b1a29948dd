#pragma once
// The program's own version, read from the version resource of its executable file.
#include "classlib/String.h"
#include "update/UpdateEntry.h"

// Reads the file and product version numbers ("1.0.0.21"), the comment and the copyright
// line of the running executable. When version is given it is cleared (a record of the
// caller's own, whose texts are not freed) and receives the four file version numbers. True when
// the fixed version information was found; an output whose value is missing keeps what the caller
// passed in.
bool ReadVersionInfo(CString& fileVersion, CString& productVersion, CString& comments,
                     CString& copyright, UpdateEntry* version);
