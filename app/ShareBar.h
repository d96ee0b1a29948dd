#pragma once
// The share bar: behind the "Anteil" cell of a folder row and the "Belegt" cell of a drive
// row, a bar whose length is the row's share of the cell's width. The share travels with
// the row as its list item's data, so that a paint draws the bar from that alone.
#include <windows.h>

#include <cstdint>

// The column whose cells show the share: "Anteil" of a folder, "Belegt" of a drive.
constexpr int kShareColumn = 2;
// Millionths of the whole that a full bar stands for.
constexpr uint32_t kShareFull = 1000000;

// The item data of a row whose share is part of whole: millionths of the whole, and 0 for a
// share that the cell shows as "0.00%", which has no bar; warns marks a drive row, whose
// bar takes the warning colour from 90 % on.
LPARAM ShareItemData(uint64_t part, uint64_t whole, bool warns);

// The colours and the DPI of one paint of the list.
struct ShareBarStyle {
    UINT dpi = 96;
    bool highContrast = false;
    // The system's highlight colour, and the background of the cell.
    COLORREF highlight = 0;
    COLORREF back = 0;
};

// What one cell shows: nothing, a filled bar, or, in high contrast, the bar's outline.
struct ShareBar {
    bool visible = false;
    bool warning = false;
    RECT rect{};
    COLORREF colour = 0;
    // Width of the outline in pixels; 0 fills the rectangle.
    int frame = 0;
};

// The bar of a cell whose row holds itemData, drawn in style.
ShareBar ShareBarFor(const RECT& cell, LPARAM itemData, const ShareBarStyle& style);
// The system's present colours and contrast mode, at dpi, over the background back.
ShareBarStyle SystemShareBarStyle(UINT dpi, COLORREF back);
// Paints bar into dc, leaving the device context's state as it was.
void DrawShareBar(HDC dc, const ShareBar& bar);
