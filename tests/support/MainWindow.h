#pragma once
// The main window under test: run it over chosen test drives, and read and work its list
// and buttons through the window handle, from the script's thread, as a user would.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/UsageDlg.h"
#include "classlib/String.h"

// Runs the main window showing only the drive letters given ("" for none; nullptr leaves
// the letters as the dialog object holds them) while script drives it (see RunDialog).
INT_PTR RunMainWindow(CUsageDlg& dialog, const char* letters,
                      const std::function<void(HWND)>& script, bool keepSettings = false);

// The list (IDC_LIST) of a main window and the buttons beside it, of this process or of
// another (a started Voldix.exe): what the list reads or writes goes through its memory.
class ListProbe {
  public:
    explicit ListProbe(HWND window) : m_window(window) {}

    HWND List() const;
    // The number of rows, a cell's text, and one column's texts from top to bottom.
    int Rows() const;
    CString Text(int row, int column = 0) const;
    std::vector<std::string> Column(int column = 0) const;
    // A column's heading and width, a cell's image, the selection mark.
    CString Heading(int column) const;
    int ColumnWidth(int column) const;
    int Image(int row, int column = 0) const;
    int SelectionMark() const;
    // The cursor the list sets for itself when the mouse is over it (this process only).
    HCURSOR Cursor() const;
    // The first row whose first column reads text; -1 if there is none.
    int RowOf(const CString& text) const;
    // The rectangle of a row's label (or another part, LVIR_ICON...) in the list's client area.
    RECT RowRect(int row, int part = LVIR_LABEL) const;
    // Selects exactly the rows given; false if the list refused one.
    bool Select(const std::vector<int>& rows) const;
    bool IsSelected(int row) const;
    // A double-click in the middle of the row's label, as the mouse gives it; false if
    // there is no such row.
    bool DoubleClickRow(int row) const;
    // Whether "&Zurück" and "&Neustart" are enabled, as they are when no scan runs.
    bool ButtonsEnabled() const;
    // Waits until a scan has shown the level titled title and has ended.
    bool WaitForLevel(const CString& title) const;
    // Double-clicks the row named name and waits for the level titled title; a failure
    // is recorded in the running test and returns false.
    bool Open(const CString& name, const CString& title) const;
    // Posts a key press (down and up) to the list.
    void PressKey(WPARAM key) const;

  private:
    HWND m_window;
};
