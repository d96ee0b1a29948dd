#pragma once
// Reads what an animation control shows, to tell whether it plays.
#include <windows.h>

#include <cstdint>
#include <vector>

// The control's client area as the control paints it now (WM_PRINTCLIENT), as 0xRRGGBB
// pixels row by row from the top; empty before it has shown its first frame.
std::vector<uint32_t> AnimationPicture(HWND animation);
// Waits until the control has shown count different pictures; false if it has not
// within the time.
bool WaitForPictures(HWND animation, size_t count, DWORD timeoutMs = 10000);
