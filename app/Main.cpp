// The program's entry point and its one application object.
#include <windows.h>

#include "UsageApp.h"
#include "classlib/Dpi.h"
#include "classlib/SystemDll.h"

CUsageApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // No DLL is ever loaded from the program's own folder.
    RestrictDllSearch();
    // Sharp on every screen: the windows lay themselves out for their DPI.
    DeclareDpiAwareness();
    // Probing a drive without a medium must never bring up a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    return theApp.Run();
}
