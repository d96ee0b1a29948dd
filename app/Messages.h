#pragma once
// The private messages with which the worker threads report to the main window.
#include <windows.h>

#define WM_SCAN_DONE (WM_APP + 1)
#define WM_ATTRIB_DONE (WM_APP + 2)
// The periodic thread's reading of the date rule: wParam TRUE during the dedication period.
#define WM_MEMORIAL_TIME (WM_APP + 3)

// The folder rows: the scan thread asks the main thread to begin a fill (wParam
// kRowsBegin, lParam the row count) or to show the rows that are ready (kRowsShow).
#define WM_SCAN_ROWS (WM_APP + 16)
enum ScanRowsRequest { kRowsBegin = 0, kRowsShow = 1 };
