#pragma once
// What the About box, the mini help and the dedication share: texts put into their
// controls and a clip played in a frame static.
#include <windows.h>

#include "classlib/AnimateCtrl.h"
#include "classlib/String.h"

// Sets the text of the dialog's control id.
void SetItemText(HWND dialog, int id, const CString& text);
// Creates animate as a child of the dialog's frame static frameId, filling its client
// area (centred, transparent), opens clip from the program's resources and plays it
// without end. A clip that cannot be opened leaves the frame empty; nothing is reported.
void PlayInFrame(HWND dialog, int frameId, UINT clip, CAnimateCtrl& animate);
