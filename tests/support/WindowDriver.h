#pragma once
// Runs a real dialog modally on the test's thread while a script drives it from a
// second thread with the messages a user's actions produce.
#include <windows.h>

#include <functional>

#include "classlib/Dialog.h"
#include "classlib/String.h"

// Runs dialog.DoModal() here and script(window) on a second thread once the dialog is
// up and serving messages; closes the dialog after the script if it is still open.
INT_PTR RunDialog(CDialog& dialog, const std::function<void(HWND)>& script);

// Waits until the window's thread has handled everything sent or posted before.
void Settle(HWND window);
// Presses a button the way a click does (BN_CLICKED to its parent), and waits for it.
void ClickButton(HWND dialog, int id);
// Polls until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// The window rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND parent, int id);
// The window's title as UTF-8.
CString WindowTitle(HWND window);
