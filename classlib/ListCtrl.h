#pragma once
// CListCtrl: a list view control of a dialog, driven through its wide messages, so
// that cells hold any UTF-8 text. Safe to call from a worker thread: every call is a
// sent message that the owning thread serves.
#include <windows.h>

#include <commctrl.h>

#include "Wnd.h"

// The list view operations the program uses.
class CListCtrl : public CWnd {
  public:
    int InsertColumn(int column, const CString& heading, int format, int width) const;
    BOOL SetColumnHeading(int column, const CString& heading) const;
    int GetColumnWidth(int column) const;
    BOOL SetColumnWidth(int column, int width) const;
    int GetColumnCount() const;

    // Inserts a row with its first cell, its image and its item data.
    int InsertItem(int row, const CString& text, int image, LPARAM data = 0) const;
    BOOL SetItem(int row, int column, const CString& text, int image) const;
    BOOL SetItemData(int row, LPARAM data) const;
    CString GetItemText(int row, int column) const;
    int GetItemCount() const;
    BOOL DeleteAllItems() const;
    BOOL EnsureVisible(int row, BOOL partialOk) const;
    int SetSelectionMark(int row) const;
    int GetNextItem(int start, int flags) const;
    BOOL SetItemState(int row, UINT state, UINT mask) const;
    HIMAGELIST SetImageList(HIMAGELIST images, int which) const;
};
