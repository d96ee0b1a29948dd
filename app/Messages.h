#pragma once
// The private messages with which the worker threads report their end.
#include <windows.h>

#define WM_SCAN_DONE (WM_APP + 1)
#define WM_ATTRIB_DONE (WM_APP + 2)
