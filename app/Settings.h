#pragma once
// The rules of the stored values apart from the window: the option flags of "Options" and
// the parsing of the texts "ColumnWidth" and "WP", so that malformed values can be
// checked piece by piece.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "classlib/String.h"

// The option flags of the stored "Options" value: 0 to 25 the drive letters A to Z, then
// the drive types the list shows and the volume label.
constexpr int kOptionFlags = 32;
constexpr int kRemovableFlag = 26;
constexpr int kCdromFlag = 27;
constexpr int kNetworkFlag = 28;
constexpr int kVolumeLabelFlag = 31;
// The flags as one value, flag 0 in bit 31 and flag 31 in bit 0, and back.
uint32_t PackOptionFlags(const bool flags[kOptionFlags]);
void UnpackOptionFlags(uint32_t options, bool flags[kOptionFlags]);

// Widest column a stored width may give; wider numbers are cut to it, negative ones to 0.
constexpr int kMaxStoredColumnWidth = 4096;
// The main window's minimum track size at 96 DPI, which a stored placement is not allowed to
// undercut (at a higher DPI the window itself keeps its larger minimum).
constexpr int kMinWindowWidth = 340;
constexpr int kMinWindowHeight = 177;

// The numbers before each of the first maxCount commas: each piece converted like atoi
// (a piece that is no number counts as 0, too large a number stops at the limit of long);
// what follows the last comma is ignored.
std::vector<long> SplitStoredNumbers(const CString& text, int maxCount);
// A stored column width brought into 0..kMaxStoredColumnWidth.
int StoredColumnWidth(long number);
// Widths are stored in 96-DPI units: a stored width in pixels at dpi, and the text
// "%ld," per column that widths in pixels at dpi are stored as. At 96 DPI both are
// today's pixels; a width read at a higher DPI is stored back as it was read.
int ColumnWidthForDpi(long number, UINT dpi);
CString StoredWidthText(const std::vector<int>& widths, UINT dpi);
// The placement of ten stored numbers (flags, show command, minimised x and y, maximised
// x and y, normal left, top, right, bottom), made safe to restore: false when there are
// fewer than ten or the normal rectangle is empty. A minimised or hidden state comes back
// as normal; the normal rectangle is kept within the nearest monitor's work area in size
// and, when it lies on no monitor, moved onto that work area.
bool PlacementFromStoredNumbers(const std::vector<long>& numbers, WINDOWPLACEMENT& placement);
