#pragma once
// CWinApp: the one application object. Its InitInstance runs the program; when it
// returns FALSE the program ends without a message loop of its own.
#include <windows.h>

#include <string>

#include "String.h"

class CWnd;

// The application: its name is the executable's file name without extension.
class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    virtual BOOL InitInstance() { return FALSE; }
    // Runs the application; called by WinMain.
    int Run();

    // Windows draws three-dimensional controls on its own; kept for the start-up sequence.
    BOOL Enable3dControls() { return TRUE; }
    void BeginWaitCursor();
    void EndWaitCursor();
    const CString& GetAppName() const { return m_appName; }

    CWnd* m_pMainWnd = nullptr;

  private:
    CString m_appName;
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
