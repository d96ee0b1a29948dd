#pragma once
// Putting a text on the clipboard.
#include <windows.h>

#include "String.h"

// Puts text on the clipboard as CF_UNICODETEXT (Windows offers CF_TEXT in the user's code
// page from it); false when the clipboard cannot be opened or filled.
bool CopyTextToClipboard(HWND owner, const CString& text);
