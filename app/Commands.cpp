// CUsageDlg, commands section: the menu bar's and the system menu's commands (the update
// check, the drive filters and the log viewer among them), the context menu of the list,
// the tooltips of the controls and the "&Memoriam" greeting.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "app/UsageApp.h"
#include "app/UsageDlg.h"
#include "classlib/Menu.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/DriveLettersDlg.h"
#include "dialogs/DriveTypesDlg.h"
#include "dialogs/LogViewerDlg.h"
#include "dialogs/MiniHelpDlg.h"
#include "res/resource.h"
#include "update/UpdateCheck.h"

namespace {
// The greeting of "&Memoriam", kept scrambled by CUsageApp::UnscrambleText.
const unsigned char kScrambledGreeting[65] = {
    0x63, 0x4F, 0x5C, 0x5C, 0x4A, 0x8E, 0x44, 0x5F, 0x57, 0x82, 0x44, 0x49, 0x49,
    0x86, 0x71, 0x45, 0x5C, 0x9A, 0x5D, 0x5D, 0x4C, 0x9E, 0x78, 0x4E, 0x5A, 0x5C,
    0x5F, 0x55, 0x45, 0x58, 0x46, 0x94, 0x66, 0x6A, 0x3F, 0x27, 0x21, 0x6E, 0x85,
    0x29, 0x31, 0x38, 0x24, 0x2E, 0x67, 0x27, 0x29, 0x28, 0x3E, 0x29, 0x79, 0x9F,
    0x2A, 0x2A, 0x38, 0x7C, 0x35, 0x27, 0x34, 0x22, 0x77, 0x85, 0x3C, 0x31, 0x4A};

// The application's wait cursor for as long as this lives.
class WaitCursor {
  public:
    WaitCursor() : m_app(AfxGetApp()) {
        if (m_app)
            m_app->BeginWaitCursor();
    }
    ~WaitCursor() {
        if (m_app)
            m_app->EndWaitCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    CWinApp* m_app;
};
} // namespace

CString CUsageDlg::MemorialGreeting() {
    CString text(reinterpret_cast<const char*>(kScrambledGreeting),
                 static_cast<int>(sizeof(kScrambledGreeting)));
    CUsageApp::UnscrambleText(text);
    return text;
}

CString CUsageDlg::ExplorerPath() const {
    // While a worker runs, the records belong to it.
    if (!m_ready)
        return CString();
    const int row = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || row >= m_entries.GetSize())
        return CString();
    CString path;
    path.Format("%s%s", m_currentPath.c_str(), m_entries.GetEntry(row)->m_name.c_str());
    return path;
}

void CUsageDlg::OnTopmost() {
    SetTopmost(false, false);
}

void CUsageDlg::OnVolumeLabel() {
    SetShowVolumeLabel(false, false);
}

void CUsageDlg::OnDefaultSize() {
    RestoreDefaultSize();
}

void CUsageDlg::OnQuit() {
    OnCancel();
}

void CUsageDlg::OnMemorial() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size))
        return;
    CString caption;
    caption.Format("Hallo %s...", Narrow(name).c_str());
    MessageBox(MemorialGreeting(), caption, MB_OK | MB_ICONINFORMATION);
}

void CUsageDlg::OnExplorer() {
    const CString path = ExplorerPath();
    if (path.IsEmpty())
        return;
    ShellExecuteW(m_hWnd, L"explore", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CUsageDlg::OnReadOnlyClear() {
    StartAttribChange(AttribClear);
}

void CUsageDlg::OnReadOnlySet() {
    StartAttribChange(AttribSet);
}

void CUsageDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

// F1 opens the mini help, never the platform's help viewer. F1 in a window over the main
// window comes here too; while the mini help is open it opens no second one.
void CUsageDlg::OnHelp() {
    if (m_helpOpen)
        return;
    CString text;
    text.LoadString(IDS_MINIHELP);
    CMiniHelpDlg help(nullptr);
    help.SetText(text);
    m_helpOpen = true;
    help.DoModal();
    m_helpOpen = false;
}

LRESULT CUsageDlg::OnHelpInfo() {
    SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
    return TRUE;
}

LRESULT CUsageDlg::OnSysCommand(WPARAM id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
    } else if (LOWORD(id) == ID_MEMORIAL) {
        OnMemorial();
    }
    if (id == ID_OPT_TOPMOST) {
        SetTopmost(false, false);
        return 0;
    }
    return Default();
}

LRESULT CUsageDlg::OnListRClick(NMHDR* header) {
    if (header->idFrom != IDC_LIST)
        return Default();
    POINT cursor;
    if (m_ready && m_list.GetNextItem(-1, LVNI_SELECTED) >= 0 && GetCursorPos(&cursor))
        ShowContextMenu(cursor, TPM_CENTERALIGN);
    return 0;
}

// Shift+F10 and the menu key on the list (position -1, -1) open the context menu at the
// focused row; a right click has opened it through NM_RCLICK already.
LRESULT CUsageDlg::OnContextMenu(HWND source, LPARAM position) {
    const bool fromKeyboard =
        static_cast<short>(LOWORD(position)) == -1 && static_cast<short>(HIWORD(position)) == -1;
    if (source != m_list.GetSafeHwnd() || !fromKeyboard)
        return Default();
    if (m_ready && m_list.GetNextItem(-1, LVNI_SELECTED) >= 0)
        ShowContextMenu(KeyboardMenuPoint(), TPM_LEFTALIGN | TPM_TOPALIGN);
    return 0;
}

POINT CUsageDlg::KeyboardMenuPoint() {
    int row = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (row < 0)
        row = m_list.GetNextItem(-1, LVNI_SELECTED);
    RECT visible{};
    ::GetClientRect(m_list.GetSafeHwnd(), &visible);
    HWND header = reinterpret_cast<HWND>(m_list.SendMessage(LVM_GETHEADER));
    RECT headerRect{};
    if (header && ::IsWindowVisible(header) && ::GetWindowRect(header, &headerRect))
        visible.top += headerRect.bottom - headerRect.top;
    RECT rowRect{};
    rowRect.left = LVIR_LABEL;
    POINT point{visible.left, visible.top};
    if (m_list.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&rowRect)))
        point = {rowRect.left + (rowRect.bottom - rowRect.top) / 2, rowRect.bottom};
    // A row scrolled out of sight: the menu stays at the edge of the rows in view.
    point.x = std::max(visible.left, std::min(point.x, visible.right - 1));
    point.y = std::max(visible.top, std::min(point.y, visible.bottom - 1));
    ::ClientToScreen(m_list.GetSafeHwnd(), &point);
    return point;
}

void CUsageDlg::ShowContextMenu(POINT where, UINT alignment) {
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    menu.AppendMenu(MF_STRING, ID_CTX_EXPLORER, "E&xplorer");
    menu.AppendMenu(MF_STRING, ID_CTX_READONLY_CLEAR, "Schreibschutz gesamt &entfernen");
    menu.AppendMenu(MF_STRING, ID_CTX_READONLY_SET, "Schreibschutz gesamt &setzen");
    menu.TrackPopupMenu(alignment, where.x, where.y, m_hWnd);
}

LRESULT CUsageDlg::OnToolTipNeedText(NMHDR* header) {
    NMTTDISPINFOW* request = reinterpret_cast<NMTTDISPINFOW*>(header);
    if (!(request->uFlags & TTF_IDISHWND))
        return FALSE;
    const int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    CString text;
    if (id == 0 || !text.LoadString(static_cast<unsigned>(id)))
        return FALSE;
    m_toolTipText = Widen(text);
    request->lpszText = &m_toolTipText[0];
    request->hinst = nullptr;
    return TRUE;
}

void CUsageDlg::OnUpdateSearch() {
    const int answer = MessageBox(
        "Sie können nun nach neueren Programmversionen im Internet suchen lassen.\nDafür müssen "
        "Sie allerdings mit dem Internet verbunden ('online') sein.\nWenn es eine neuere Version "
        "gibt, können Sie diese auch sofort herunter laden.\nDie ge'zip'te Datei liegt dann im "
        "gleichen Pfad wie dieses Programm.\n\nUpdates auf den Seiten der Tessaly suchen?",
        "Update suchen...", MB_YESNO | MB_ICONINFORMATION);
    if (answer != IDYES)
        return;
    WaitCursor wait;
    try {
        CheckForUpdate("voldix", m_hWnd);
    } catch (const CInternetException& error) {
        // No internet session could be opened.
        error.ReportError(m_hWnd);
    } catch (...) {
        // Whatever else went wrong (no memory, say) ends the command, not the program.
        AfxReportCommandFailure(m_hWnd);
    }
}

// The drive filters: the list itself is rebuilt only by "&Neustart" or the next return to
// the drive list; the flags are stored when the main window closes.
void CUsageDlg::OnDriveTypes() {
    CDriveTypesDlg dialog(this);
    dialog.SetTypeFlags(m_showRemovable, m_showCdrom, m_showNetwork);
    if (dialog.DoModal() == IDOK)
        dialog.GetTypeFlags(m_showRemovable, m_showCdrom, m_showNetwork);
}

void CUsageDlg::OnDriveLetters() {
    CDriveLettersDlg dialog(this);
    dialog.SetLetterFlags(m_driveLetters);
    if (dialog.DoModal() == IDOK)
        dialog.GetLetterFlags(m_driveLetters);
}

void CUsageDlg::OnShowLog() {
    CLogViewerDlg viewer(this);
    viewer.SetPath(m_errorLog.GetLogPath());
    viewer.DoModal();
}
