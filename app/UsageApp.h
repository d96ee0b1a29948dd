#pragma once
// CUsageApp: the application object; runs the main window and ends with it.
#include "classlib/String.h"
#include "classlib/WinApp.h"

// The one application object of Voldix.
class CUsageApp : public CWinApp {
  public:
    BOOL InitInstance() override;

    // True from 11:00 to 12:59 local time on 1 July, the dedication period.
    static bool IsMemorialTime();
    // Scrambles or unscrambles a text in place; the rule is its own inverse.
    static void UnscrambleText(CString& text);
};
