// CUsageDlg: construction, start-up, layout, the periodic thread and the way out.
#include "UsageDlg.h"

#include <cstring>

#include "Messages.h"
#include "UsageApp.h"
#include "classlib/Menu.h"
#include "classlib/WinApp.h"
#include "res/resource.h"

namespace {
const char kMemorialText[] = "&Memoriam";
} // namespace

bool NeedsOldFreeSpace(const OSVERSIONINFOA& version) {
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinorVersion == 0 &&
           std::strchr(version.szCSDVersion, 'B') == nullptr;
}

CUsageDlg::CUsageDlg(CWnd* parent) : CDialog(IDD_VOLDIX_DIALOG, parent) {
    for (int i = 0; i < 32; ++i)
        m_driveLetters[i] = true;
    m_driveLetters[0] = m_driveLetters[1] = false;
    m_showRemovable = m_showCdrom = m_showNetwork = false;
    m_showVolumeLabel = false;
    m_icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CUsageDlg::~CUsageDlg() {
    m_scanThread.Stop();
    StopAttribChange();
    m_periodicThread.Stop();
    ClearEntries();
    m_imageList.reset();
}

bool CUsageDlg::DoDataExchange() {
    return m_list.SubclassDlgItem(IDC_LIST, this);
}

LRESULT CUsageDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: return OnSize();
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_DPICHANGED: return OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_SCAN_DONE: return OnScanDone(wParam, lParam);
    case WM_ATTRIB_DONE: return OnAttribDone(wParam, lParam);
    case WM_SCAN_ROWS: return OnScanRows(wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(wParam);
    case WM_HELP: return OnHelpInfo();
    case WM_CONTEXTMENU: return OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_MEMORIAL_TIME: return OnMemorialTime(wParam);
    case WM_DESTROY: return OnDestroy();
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CUsageDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_BACK: OnBack(); return TRUE;
    case IDC_RESTART: OnRestart(); return TRUE;
    case ID_OPT_TOPMOST: OnTopmost(); return TRUE;
    case ID_OPT_VOLUME_LABEL: OnVolumeLabel(); return TRUE;
    case ID_OPT_QUIT: OnQuit(); return TRUE;
    case ID_OPT_DEFAULT_SIZE: OnDefaultSize(); return TRUE;
    case ID_MEMORIAL: OnMemorial(); return TRUE;
    case ID_CTX_EXPLORER: OnExplorer(); return TRUE;
    case ID_CTX_READONLY_CLEAR: OnReadOnlyClear(); return TRUE;
    case ID_CTX_READONLY_SET: OnReadOnlySet(); return TRUE;
    case ID_HELP: OnHelp(); return TRUE;
    case ID_INFO_UPDATE: OnUpdateSearch(); return TRUE;
    case ID_OPT_DRIVE_TYPES: OnDriveTypes(); return TRUE;
    case ID_OPT_DRIVE_LETTERS: OnDriveLetters(); return TRUE;
    case ID_OPT_LOG: OnShowLog(); return TRUE;
    case IDM_ABOUTBOX: OnAbout(); return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CUsageDlg::OnNotify(NMHDR* header) {
    switch (header->code) {
    case NM_DBLCLK: return OnListDblClk(header);
    case LVN_KEYDOWN: return OnListKeyDown(header);
    case NM_RCLICK: return OnListRClick(header);
    case LVN_DELETEALLITEMS: return OnListDeleteAll(header);
    case TTN_GETDISPINFOW: return OnToolTipNeedText(header);
    case NM_CUSTOMDRAW:
        if (header->hwndFrom == m_list.m_hWnd)
            return m_list.OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header), m_dpi);
        break;
    }
    return Default();
}

BOOL CUsageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_dpi = WindowDpi(m_hWnd);
    KeepDialogDpiChangeToMyself(m_hWnd);
    m_initialized = true;
    AddSystemMenuItems();
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    EnableToolTips(TRUE);

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    if (GetVersionExA(&version))
        m_useOldFreeSpace = NeedsOldFreeSpace(version);

    CreateImageList();
    InsertColumns();
    LoadSettings();
    SetTopmost(true, m_topmost);
    SetShowVolumeLabel(true, m_showVolumeLabel);
    m_errorLog.SetBasePath(GetProgramFolder() + "Voldix");
    ShowDriveList();
    // Reads the date rule every 100 ms and sends the answer to the window. The window's
    // handle stays the same until it is destroyed, and OnDestroy ends this thread first.
    m_periodicThread.Start([this] {
        while (!m_periodicThread.StopRequested()) {
            ::SendMessageW(m_hWnd, WM_MEMORIAL_TIME, CUsageApp::IsMemorialTime(), 0);
            Sleep(100);
        }
    });
    return TRUE;
}

void CUsageDlg::AddSystemMenuItems() {
    CMenu systemMenu(GetSystemMenu(FALSE));
    if (!systemMenu.GetSafeHmenu())
        return;
    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (about.IsEmpty())
        return;
    systemMenu.AppendMenu(MF_SEPARATOR);
    systemMenu.AppendMenu(MF_STRING, ID_OPT_TOPMOST, "Vor&dergrund");
    systemMenu.AppendMenu(MF_SEPARATOR);
    systemMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
}

void CUsageDlg::CreateImageList() {
    static const UINT kIcons[] = {IDI_FOLDER, IDI_FILE,      IDI_FIXED,
                                  IDI_CDROM,  IDI_REMOVABLE, IDI_NETWORK};
    // The list lets go of the images it shows before they are destroyed.
    std::unique_ptr<CImageList> images(new (std::nothrow) CImageList);
    const int size = ScaleForDpi(16, m_dpi);
    if (images && images->Create(size, size, ILC_MASK, 2, 2)) {
        for (UINT id : kIcons) {
            HICON icon = static_cast<HICON>(LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(id),
                                                       IMAGE_ICON, size, size, 0));
            if (icon) {
                images->Add(icon);
                DestroyIcon(icon);
            }
        }
    } else {
        images.reset();
    }
    m_list.SetImageList(images ? images->GetSafeHandle() : nullptr, LVSIL_SMALL);
    m_imageList = std::move(images);
}

void CUsageDlg::InsertColumns() {
    RECT client;
    m_list.GetClientRect(&client);
    const int width = client.right - client.left;
    m_list.InsertColumn(0, "Eintrag", LVCFMT_LEFT, width * 4 / 12);
    m_list.InsertColumn(1, "Grösse", LVCFMT_LEFT, width * 2 / 12);
    m_list.InsertColumn(2, "Belegt", LVCFMT_LEFT, width * 2 / 12);
    m_list.InsertColumn(3, "Frei", LVCFMT_LEFT, width * 2 / 12);
    m_list.InsertColumn(4, "System", LVCFMT_LEFT, width * 2 / 12);
}

LRESULT CUsageDlg::OnMemorialTime(WPARAM memorialTime) {
    m_memorialTime = memorialTime != 0;
    if (m_memorialTime == m_memorialItem)
        return 0;
    m_memorialItem = m_memorialTime;
    CMenu systemMenu(GetSystemMenu(FALSE));
    CMenu infoMenu(::GetSubMenu(GetMenu(), 1));
    for (CMenu* menu : {&systemMenu, &infoMenu}) {
        if (!menu->GetSafeHmenu())
            continue;
        if (m_memorialItem)
            menu->AppendMenu(MF_STRING, ID_MEMORIAL, kMemorialText);
        else
            menu->DeleteMenu(ID_MEMORIAL, MF_BYCOMMAND);
    }
    DrawMenuBar();
    return 0;
}

LRESULT CUsageDlg::OnSize() {
    LRESULT result = Default();
    if (!m_initialized)
        return result;
    RECT client;
    GetClientRect(&client);
    const int width = client.right, height = client.bottom;
    const int margin = ScaleForDpi(8, m_dpi);
    m_list.MoveWindow(margin, margin, width - ScaleForDpi(18, m_dpi),
                      height - ScaleForDpi(44, m_dpi), TRUE);
    PlaceButton(IDC_BACK, width, height, ScaleForDpi(-100, m_dpi));
    PlaceButton(IDC_RESTART, width, height, ScaleForDpi(-1, m_dpi));
    PlaceButton(IDCANCEL, width, height, ScaleForDpi(98, m_dpi));
    return result;
}

void CUsageDlg::PlaceButton(int id, int clientWidth, int clientHeight, int offset) {
    HWND button = GetDlgItem(id);
    if (!button)
        return;
    RECT rect;
    ::GetClientRect(button, &rect);
    const int w = rect.right, h = rect.bottom;
    ::MoveWindow(button, clientWidth / 2 - w / 2 + offset, clientHeight - ScaleForDpi(5, m_dpi) - h,
                 w, h, TRUE);
}

LRESULT CUsageDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = ScaleForDpi(340, m_dpi);
    info->ptMinTrackSize.y = ScaleForDpi(177, m_dpi);
    return Default();
}

LRESULT CUsageDlg::OnDpiChanged(WPARAM dpi, const RECT* suggested) {
    const UINT oldDpi = m_dpi, newDpi = LOWORD(dpi);
    if (newDpi == 0 || !suggested)
        return 0;
    m_dpi = newDpi;
    if (m_initialized && newDpi != oldDpi) {
        // Through the 96-DPI units in which the widths are stored, so that a move there
        // and back gives the widths it started with.
        for (int column = 0; column < m_list.GetColumnCount(); ++column)
            m_list.SetColumnWidth(
                column, ScaleForDpi(UnscaleForDpi(m_list.GetColumnWidth(column), oldDpi), newDpi));
        CreateImageList();
    }
    ApplyDpiChange(m_hWnd, oldDpi, newDpi, *suggested, m_dpiFont);
    return 0;
}

void CUsageDlg::SetWorking(bool working) {
    if (working) {
        // A disabled button loses the focus to nowhere; the list keeps the keyboard alive.
        HWND focus = ::GetFocus();
        if (focus && (focus == GetDlgItem(IDC_BACK) || focus == GetDlgItem(IDC_RESTART)))
            SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_list.m_hWnd), TRUE);
    }
    m_ready = !working;
    m_list.SetBusy(working);
    ::EnableWindow(GetDlgItem(IDC_RESTART), !working);
    ::EnableWindow(GetDlgItem(IDC_BACK), !working);
}

LRESULT CUsageDlg::OnDestroy() {
    m_periodicThread.Stop();
    return Default();
}

void CUsageDlg::OnCancel() {
    if (!m_scanThread.Stop() || !StopAttribChange())
        return;
    SaveSettings();
    CDialog::OnCancel();
}
