#pragma once
// Screen DPI: the awareness the process declares at start-up, the DPI a window is shown
// at, lengths designed for 96 DPI scaled to it, and a dialog's font and controls carried
// over to another DPI when its window moves to a screen of another scale.
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// The DPI that every length of the program's design is given in.
constexpr UINT kDesignDpi = 96;

// How far the process made itself DPI aware.
enum class DpiAwareness { Unaware, System, PerMonitor, PerMonitorV2 };

// Declares the best awareness the system offers: per-monitor v2, per-monitor, then
// system-wide; each function is looked up at run time, so that older systems start
// too. Called before the first window is made.
DpiAwareness DeclareDpiAwareness();
// The DPI the window is shown at; the system's DPI where windows have none of their own.
UINT WindowDpi(HWND window);
// A length of the 96-DPI design at the given DPI, rounded to the nearest pixel.
int ScaleForDpi(int value, UINT dpi);
// A length in pixels at the given DPI back in 96-DPI units, rounded to the nearest unit.
int UnscaleForDpi(int value, UINT dpi);

// A dialog's font made for another DPI: owned here, deleted when replaced or at the end,
// which must come after the window that uses it is gone.
class CDpiFont {
  public:
    CDpiFont() = default;
    CDpiFont(const CDpiFont&) = delete;
    CDpiFont& operator=(const CDpiFont&) = delete;
    ~CDpiFont() { Reset(nullptr); }
    void Reset(HFONT font);

  private:
    HFONT m_font = nullptr;
};

// Stops the system from rescaling the dialog's font and controls itself on a DPI change,
// for a dialog that handles WM_DPICHANGED on its own.
void KeepDialogDpiChangeToMyself(HWND dialog);
// Carries a dialog from oldDpi to newDpi: its font (kept in font) and every control's
// position and size scale with newDpi / oldDpi, then the window takes the suggested
// rectangle, whose WM_SIZE lays the controls out anew.
void ApplyDpiChange(HWND dialog, UINT oldDpi, UINT newDpi, const RECT& suggested, CDpiFont& font);
