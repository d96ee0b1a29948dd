#pragma once
// CWinApp: the one application object. Its InitInstance runs the program; when it
// returns FALSE the program ends without a message loop of its own.
#include <windows.h>

#include <string>

#include "String.h"

class CWnd;

// The application: runs InitInstance and keeps the wait cursor.
class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    virtual BOOL InitInstance() { return FALSE; }
    // Runs the application; called by WinMain.
    int Run();

    void BeginWaitCursor();
    void EndWaitCursor();

    CWnd* m_pMainWnd = nullptr;

  private:
    HCURSOR m_savedCursor = nullptr;
};

CWinApp* AfxGetApp();
// The full path of the running program's file, however long; empty when it cannot be read.
std::wstring GetProgramPath();
// The drive and folder of the program file, ending in a backslash.
CString GetProgramFolder();
HINSTANCE AfxGetInstanceHandle();
// Turns on the common controls the program's windows use.
void AfxEnableControlContainer();
// Loads the rich edit control so that dialogs can contain it.
BOOL AfxInitRichEdit();
