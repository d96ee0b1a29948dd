#include "ShareBar.h"

#include "classlib/Dpi.h"

namespace {
// Where the share's millionths end and the warning mark begins in the item data.
constexpr LPARAM kWarnsFlag = LPARAM(1) << 24;
constexpr uint32_t kWarningShare = 900000;
// The smallest share that its cell shows as more than "0.00%" (0.005 %).
constexpr uint32_t kSmallestShown = 50;
// Explorer's colour of a nearly full drive.
constexpr COLORREF kWarningRed = RGB(218, 38, 38);
// How much of the bar's colour goes into the soft shade, in 256ths; the rest is the
// cell's background, so that the text stays readable on it.
constexpr int kShadeWeight = 77;
// Margins around the bar and the outline's width, at 96 DPI.
constexpr int kMarginX = 2, kMarginY = 2, kFrame = 1;

int Mix(int colour, int back) {
    return (colour * kShadeWeight + back * (256 - kShadeWeight) + 128) / 256;
}

COLORREF Shade(COLORREF colour, COLORREF back) {
    return RGB(Mix(GetRValue(colour), GetRValue(back)), Mix(GetGValue(colour), GetGValue(back)),
               Mix(GetBValue(colour), GetBValue(back)));
}
} // namespace

LPARAM ShareItemData(uint64_t part, uint64_t whole, bool warns) {
    uint32_t millionths = 0;
    if (part != 0 && whole != 0) {
        if (part >= whole) {
            millionths = kShareFull;
        } else {
            // Halving both keeps the ratio and keeps part * 1,000,000 inside 64 bits.
            while (whole > UINT64_MAX / kShareFull) {
                whole >>= 1;
                part >>= 1;
            }
            millionths = static_cast<uint32_t>(part * kShareFull / whole);
            if (millionths < kSmallestShown)
                millionths = 0;
        }
    }
    return static_cast<LPARAM>(millionths) | (warns ? kWarnsFlag : 0);
}

ShareBar ShareBarFor(const RECT& cell, LPARAM itemData, const ShareBarStyle& style) {
    ShareBar bar;
    const uint32_t millionths = static_cast<uint32_t>(itemData & (kWarnsFlag - 1));
    const int marginX = ScaleForDpi(kMarginX, style.dpi),
              marginY = ScaleForDpi(kMarginY, style.dpi);
    const int width = cell.right - cell.left - 2 * marginX;
    if (millionths == 0 || millionths > kShareFull || width <= 0 ||
        cell.bottom - cell.top <= 2 * marginY)
        return bar;
    int length =
        static_cast<int>((static_cast<uint64_t>(width) * millionths + kShareFull / 2) / kShareFull);
    if (length < 1)
        length = 1;
    bar.visible = true;
    bar.warning = (itemData & kWarnsFlag) != 0 && millionths >= kWarningShare;
    bar.rect = RECT{cell.left + marginX, cell.top + marginY, cell.left + marginX + length,
                    cell.bottom - marginY};
    if (style.highContrast) {
        // Only the system's colours, and no fill that the text would have to stand on;
        // a nearly full drive gets the thicker outline.
        bar.colour = style.highlight;
        bar.frame = ScaleForDpi(bar.warning ? 2 * kFrame : kFrame, style.dpi);
    } else {
        bar.colour = Shade(bar.warning ? kWarningRed : style.highlight, style.back);
    }
    return bar;
}

ShareBarStyle SystemShareBarStyle(UINT dpi, COLORREF back) {
    ShareBarStyle style;
    style.dpi = dpi;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    style.highContrast =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON);
    style.highlight = GetSysColor(COLOR_HIGHLIGHT);
    style.back = back;
    return style;
}

void DrawShareBar(HDC dc, const ShareBar& bar) {
    if (!bar.visible)
        return;
    HBRUSH brush = CreateSolidBrush(bar.colour);
    if (!brush)
        return;
    RECT rect = bar.rect;
    if (bar.frame == 0 || rect.right - rect.left <= 2 * bar.frame) {
        FillRect(dc, &rect, brush);
    } else {
        for (int i = 0; i < bar.frame; ++i) {
            FrameRect(dc, &rect, brush);
            InflateRect(&rect, -1, -1);
        }
    }
    DeleteObject(brush);
}
