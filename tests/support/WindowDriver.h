#pragma once
// Runs a real dialog modally on the test's thread while a script drives it from a
// second thread with the messages a user's actions produce.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Dialog.h"
#include "classlib/String.h"

// Runs dialog.DoModal() here and script(window) on a second thread once the dialog is
// up and serving messages; closes the dialog after the script if it is still open.
// Unless keepSettings is set, the program's stored settings are removed first, so that
// the options the test set on the dialog object are the ones that hold.
INT_PTR RunDialog(CDialog& dialog, const std::function<void(HWND)>& script,
                  bool keepSettings = false);

// Waits until the window's thread has handled everything sent or posted before.
void Settle(HWND window);
// Presses a button the way a click does (BN_CLICKED to its parent), and waits for it.
void ClickButton(HWND dialog, int id);
// Chooses a menu command the way the menu does (WM_COMMAND from no control), and waits.
void ChooseCommand(HWND window, UINT id);
// Polls until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
// Puts the mouse pointer back where it was when the object ends, so that a test that
// moves it leaves no pointer over the windows of the tests after it.
class CursorPlace {
  public:
    CursorPlace() { GetCursorPos(&m_saved); }
    ~CursorPlace() { SetCursorPos(m_saved.x, m_saved.y); }
    CursorPlace(const CursorPlace&) = delete;
    CursorPlace& operator=(const CursorPlace&) = delete;

  private:
    POINT m_saved{};
};

// Waits for a visible window owned by owner (of any process) whose title reads title;
// nullptr if none came up in time.
HWND WaitForOwnedWindow(HWND owner, const CString& title, DWORD timeoutMs = 10000);
// The window rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND parent, int id);
// The window's title as UTF-8; the text of a dialog's control.
CString WindowTitle(HWND window);
CString ItemText(HWND dialog, int id);
// Posts a key press (down and up) to a window, as its thread's queue would get it.
void PressKey(HWND target, WPARAM key);
// Sends real key presses (virtual key, down) through the system's input queue.
void SendKeys(const std::vector<std::pair<WORD, bool>>& keys);
// Every top-level window of any process, shown or not, from the top of the z order.
std::vector<HWND> TopLevelWindows();
// The first visible top-level window, of any process, for which match is true; null if none.
HWND FindTopLevelWindow(const std::function<bool(HWND)>& match);
// The process a window belongs to, and its class name.
DWORD WindowProcess(HWND window);
std::wstring WindowClass(HWND window);
// A real mouse click, left or right, at a screen point; the position travels with it.
void MouseClickAt(POINT point, bool right = false);
// A visible window of this process of the class (a message box: "#32770"), owned by owner
// if one is given; null if there is none.
HWND FindOwnWindowOfClass(const wchar_t* className, HWND owner = nullptr);
// A visible window of any process that owner owns, with that title; null if there is none.
HWND FindOwnedWindow(HWND owner, const char* title);
// The clipboard's text: CF_UNICODETEXT as UTF-8, or the bytes of CF_TEXT; "<no text>"
// when it holds none in that format.
std::string ClipboardText(UINT format = CF_UNICODETEXT);
// Waits for a visible top-level window of the process with the title; null if none came.
HWND WaitForWindowTitled(DWORD processId, const wchar_t* title, DWORD timeoutMs = 10000);
// Sends real key presses to the window's thread and waits until that thread has handled
// them; false if it has not within the time.
bool SendKeysAndWait(HWND window, const std::vector<std::pair<WORD, bool>>& keys,
                     DWORD timeoutMs = 10000);
