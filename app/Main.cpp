// The program's entry point and its one application object.
#include <windows.h>

#include "UsageApp.h"

CUsageApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Probing a drive without a medium must never bring up a system dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    return theApp.Run();
}
