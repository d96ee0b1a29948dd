#pragma once
// CUsageDlg: the main window and the owner of the program's state. One class whose
// members belong to several subsystems; each section names the file that implements it.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/UsageListCtrl.h"
#include "attrib/AttribMode.h"
#include "attrib/AttribWalk.h"
#include "classlib/Dialog.h"
#include "classlib/Dpi.h"
#include "classlib/ImageList.h"
#include "classlib/String.h"
#include "classlib/WorkerThread.h"
#include "log/ErrorLog.h"
#include "usage/FolderWalk.h"
#include "usage/UsageEntry.h"

// The main dialog: the usage list, its three buttons, menus, options and records.
class CUsageDlg : public CDialog {
  public:
    explicit CUsageDlg(CWnd* parent = nullptr);
    ~CUsageDlg() override;

    // The option flags as the stored "Options" value: flag 0 (drive A) in bit 31, the
    // volume label in bit 0. Stored settings, when there are any, replace them at start.
    uint32_t PackOptions() const;
    void UnpackOptions(uint32_t options);
    // While a worker runs: the commands that need the records off, the hourglass on,
    // "&Zurück" and "&Neustart" disabled; and all of it back when it has ended.
    void SetWorking(bool working);
    // The folder that "E&xplorer" opens: the current path and the first selected record;
    // empty without a selection and while a worker runs.
    CString ExplorerPath() const;
    // The greeting of "&Memoriam", unscrambled.
    static CString MemorialGreeting();

  protected:
    bool DoDataExchange() override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // ---- Start-up, layout and close (app/UsageDlg.cpp) ----
    // Adds or removes the "&Memoriam" items by the periodic thread's reading of the date.
    LRESULT OnMemorialTime(WPARAM memorialTime);

    // ---- Drive list (app/DriveList.cpp) ----
    // Back to the top: resets the navigation state and builds the drive list.
    void ShowDriveList();
    // Writes one row per admitted drive into an empty list and m_entries.
    void FillDriveList();

    // ---- Entry rows (app/EntryRows.cpp) ----
    bool AddEntry(const UsageEntry& entry);
    void ClearEntries();
    void SetCell(int row, int column, const CString& text, int image);
    void SetColumnTitle(int column, const CString& text);
    void FillFolderRows();
    // Window title: the current path, or "Voldix" at the drive list.
    void UpdateCaption();
    // The main thread's side of a fill: begins it, or shows the rows that are ready for
    // a few milliseconds at most; returns how many ready rows are still to be shown.
    LRESULT OnScanRows(WPARAM request, LPARAM count);
    int ShowReadyRows();
    // The list empties itself without a notification per row.
    LRESULT OnListDeleteAll(NMHDR* header);
    // The five cell texts, the image and the share (ShareItemData) of one folder row.
    struct FolderRow {
        CString cells[5];
        int image = 1;
        LPARAM share = 0;
    };
    // Rows of the fill under way: the filling thread writes row i before it makes
    // m_rowsReady greater than i; the main thread sizes the array at the start of a fill
    // and shows rows m_rowsShown to m_rowsReady - 1.
    std::vector<FolderRow> m_folderRows;
    std::atomic<int> m_rowsReady{0};
    int m_rowsShown = 0;

    // ---- Folder scan (app/FolderScan.cpp) ----
    // Begins a scan of m_currentPath on a worker thread; the window is busy until it ends.
    void StartScan();
    // ScanFolder with the timer resolution raised for its pauses.
    void RunScan();
    // Lists m_currentPath into m_entries and the rows, largest first.
    void ScanFolder();
    LRESULT OnScanDone(WPARAM wParam, LPARAM lParam);
    // The scan's thread; its Stop is the scan's stop on close.
    CWorkerThread m_scanThread;
    CFolderWalk m_walk{m_scanThread.StopFlag()};

    // ---- Read-only change (app/AttribChange.cpp) ----
    // Asks, then sets or clears the read-only attribute of the selected entries and of
    // everything below them on a worker thread; the window is busy until it ends.
    void StartAttribChange(AttribMode mode);
    // ChangeSelection, with any failure inside it taken as a failed change.
    bool RunAttribChange();
    // Every root of m_attribRoots with everything below it; true when nothing failed.
    bool ChangeSelection(AttribMode mode);
    LRESULT OnAttribDone(WPARAM wParam, LPARAM lParam);
    // Stops a running change after the entry at hand and waits for its thread while
    // serving the messages it sends; false when called again during that wait.
    bool StopAttribChange();
    // The log of the entries the change could not write.
    ErrorLog m_errorLog;
    AttribMode m_attribMode = AttribSet;
    // The paths of the rows selected when the user answered the question.
    CStringArray m_attribRoots;
    CWorkerThread m_attribThread;
    // The question or the report of the change while it is open.
    CDialog* m_attribDialog = nullptr;
    CAttribWalk m_attribWalk{m_errorLog, m_attribThread.StopFlag()};

    // ---- Navigation (app/Navigation.cpp) ----
    LRESULT OnListDblClk(NMHDR* header);
    void OnBack();
    void OnRestart();
    // Ctrl+A selects every row.
    LRESULT OnListKeyDown(NMHDR* header);

    // ---- Settings (app/Settings.cpp) ----
    // Reads the stored options, column widths, placement and log limit and applies them.
    void LoadSettings();
    // Writes all five values; creates the key on the first close.
    void SaveSettings();
    // With set true assigns value, otherwise toggles; keeps the check marks in step.
    void SetTopmost(bool set, bool value);
    void SetShowVolumeLabel(bool set, bool value);
    // "&Urgroesse": 365 x 270 pixels and five equal columns, unless minimised or maximised.
    void RestoreDefaultSize();

    // ---- Update check (app/Commands.cpp) ----
    // "&Update suchen": asks for leave, then looks for a newer version and offers it.
    void OnUpdateSearch();

    // ---- Drive filters (app/Commands.cpp) ----
    // "&Laufwerkstypen...": the type flags through CDriveTypesDlg, kept only on OK.
    void OnDriveTypes();
    // "Laufwerks&buchstaben...": the letter flags through CDriveLettersDlg, kept only on OK.
    void OnDriveLetters();

    // ---- Log viewer (app/Commands.cpp) ----
    // "&Protokoll": shows the error log in CLogViewerDlg.
    void OnShowLog();

    // ---- State ----
    CUsageListCtrl m_list;
    HICON m_icon = nullptr;
    bool m_ready = true;
    // The 32 option flags, in the bit order of the stored "Options" value.
    bool m_driveLetters[kOptionFlags];
    bool& m_showRemovable = m_driveLetters[kRemovableFlag];
    bool& m_showCdrom = m_driveLetters[kCdromFlag];
    bool& m_showNetwork = m_driveLetters[kNetworkFlag];
    bool& m_showVolumeLabel = m_driveLetters[kVolumeLabelFlag];
    bool m_memorialTime = false;
    bool m_memorialItem = false;
    bool m_useOldFreeSpace = false;
    std::unique_ptr<CImageList> m_imageList;
    bool m_topmost = false;
    int m_depth = 0;
    CStringArray m_pathStack;
    CString m_currentPath;
    bool m_initialized = false;
    uint64_t m_totalSize = 0;
    CEntryArray m_entries;
    CEntryArray m_sortBuffer;
    // The DPI the window is laid out for: lengths of the 96-DPI design scale to it.
    UINT m_dpi = kDesignDpi;
    // The dialog's font once a DPI change has made it anew.
    CDpiFont m_dpiFont;

    // ---- Commands, system commands and notifications (app/Commands.cpp) ----
    void OnTopmost();
    void OnVolumeLabel();
    void OnDefaultSize();
    void OnQuit();
    void OnMemorial();
    void OnExplorer();
    void OnReadOnlyClear();
    void OnReadOnlySet();
    void OnHelp();
    LRESULT OnHelpInfo();
    // Runs the About box; command 16 of the menu bar and the system menu.
    void OnAbout();
    LRESULT OnSysCommand(WPARAM id);
    LRESULT OnListRClick(NMHDR* header);
    LRESULT OnContextMenu(HWND source, LPARAM position);
    LRESULT OnToolTipNeedText(NMHDR* header);
    // Where the keyboard opens the context menu: below the focused (or first selected)
    // row, kept inside the rows in view; screen coordinates.
    POINT KeyboardMenuPoint();
    void ShowContextMenu(POINT where, UINT alignment);
    // The text of the tooltip shown last; the tooltip reads it after the request.
    std::wstring m_toolTipText;
    // The mini help is open.
    bool m_helpOpen = false;

    // ---- Layout and close (app/UsageDlg.cpp) ----
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnSize();
    LRESULT OnGetMinMaxInfo(MINMAXINFO* info);
    // The window moved to a screen of another scale: the suggested rectangle, the columns,
    // the images and the font follow.
    LRESULT OnDpiChanged(WPARAM dpi, const RECT* suggested);
    void AddSystemMenuItems();
    void CreateImageList();
    void InsertColumns();
    void PlaceButton(int id, int clientWidth, int clientHeight, int offset);
    LRESULT OnDestroy();
    CWorkerThread m_periodicThread;
};

// True on Windows 95 before OSR2, which lacks GetDiskFreeSpaceEx.
bool NeedsOldFreeSpace(const OSVERSIONINFOA& version);
