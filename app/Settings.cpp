// CUsageDlg, settings section: the five values kept between runs under the current
// user's key "Software\Pelka\Voldix", the options and window size they apply, and the
// rules of the stored values.
#include "app/Settings.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/UsageDlg.h"
#include "classlib/Dpi.h"
#include "classlib/Menu.h"
#include "classlib/RegKey.h"
#include "res/resource.h"

namespace {
const char kSettingsKey[] = "Software\\Pelka\\Voldix";
// Texts longer than this many characters (terminator included) read as missing.
const int kStoredTextChars = 256;
// Coordinates beyond this are off every screen; cut to it before any arithmetic.
const int64_t kCoordinateLimit = 1 << 20;

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
    return std::max(low, std::min(value, high));
}

// Offset of workspace coordinates (placements) from screen coordinates: the primary
// monitor's work area may leave room for a task bar at the top or left.
POINT WorkspaceOrigin() {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    POINT origin{0, 0};
    if (GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info))
        origin = {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
    return origin;
}

RECT NearestWorkArea(const RECT& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}
} // namespace

uint32_t PackOptionFlags(const bool flags[kOptionFlags]) {
    uint32_t options = 0;
    for (int i = 0; i < kOptionFlags; ++i)
        options = (options << 1) | (flags[i] ? 1u : 0u);
    return options;
}

void UnpackOptionFlags(uint32_t options, bool flags[kOptionFlags]) {
    for (int i = kOptionFlags - 1; i >= 0; --i) {
        flags[i] = (options & 1u) != 0;
        options >>= 1;
    }
}

std::vector<long> SplitStoredNumbers(const CString& text, int maxCount) {
    std::vector<long> numbers;
    CString rest = text;
    int comma;
    while (static_cast<int>(numbers.size()) < maxCount && (comma = rest.Find(',')) >= 0) {
        numbers.push_back(std::strtol(rest.Left(comma).c_str(), nullptr, 10));
        rest = rest.Mid(comma + 1);
    }
    return numbers;
}

int StoredColumnWidth(long number) {
    return static_cast<int>(Clamp(number, 0, kMaxStoredColumnWidth));
}

int ColumnWidthForDpi(long number, UINT dpi) {
    return ScaleForDpi(StoredColumnWidth(number), dpi);
}

CString StoredWidthText(const std::vector<int>& widths, UINT dpi) {
    CString text, piece;
    for (int width : widths) {
        piece.Format("%ld,", static_cast<long>(UnscaleForDpi(width, dpi)));
        text += piece;
    }
    return text;
}

bool PlacementFromStoredNumbers(const std::vector<long>& numbers, WINDOWPLACEMENT& placement) {
    if (numbers.size() < 10)
        return false;
    const int64_t left = numbers[6], top = numbers[7];
    const int64_t width = int64_t{numbers[8]} - left, height = int64_t{numbers[9]} - top;
    if (width <= 0 || height <= 0)
        return false;

    placement = WINDOWPLACEMENT{};
    placement.length = sizeof(placement);
    // Only a maximised window comes back as it was; the minimised position is not used.
    placement.flags = 0;
    placement.showCmd = numbers[1] == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement.ptMinPosition = {-1, -1};

    const POINT origin = WorkspaceOrigin();
    RECT screen;
    screen.left = static_cast<LONG>(Clamp(left + origin.x, -kCoordinateLimit, kCoordinateLimit));
    screen.top = static_cast<LONG>(Clamp(top + origin.y, -kCoordinateLimit, kCoordinateLimit));
    screen.right = static_cast<LONG>(screen.left + Clamp(width, 1, kCoordinateLimit));
    screen.bottom = static_cast<LONG>(screen.top + Clamp(height, 1, kCoordinateLimit));

    // No larger than the work area of the monitor it is nearest to, no smaller than the
    // window may be dragged.
    RECT work = NearestWorkArea(screen);
    const int64_t workWidth = work.right - work.left, workHeight = work.bottom - work.top;
    const int64_t newWidth = Clamp(width, std::min<int64_t>(kMinWindowWidth, workWidth),
                                   std::max<int64_t>(workWidth, 1));
    const int64_t newHeight = Clamp(height, std::min<int64_t>(kMinWindowHeight, workHeight),
                                    std::max<int64_t>(workHeight, 1));
    screen.right = static_cast<LONG>(screen.left + newWidth);
    screen.bottom = static_cast<LONG>(screen.top + newHeight);

    // A window on no monitor (one removed since) moves onto the nearest work area.
    if (!MonitorFromRect(&screen, MONITOR_DEFAULTTONULL)) {
        work = NearestWorkArea(screen);
        screen.left = static_cast<LONG>(Clamp(screen.left, work.left, work.right - newWidth));
        screen.top = static_cast<LONG>(Clamp(screen.top, work.top, work.bottom - newHeight));
        screen.right = static_cast<LONG>(screen.left + newWidth);
        screen.bottom = static_cast<LONG>(screen.top + newHeight);
    }
    placement.rcNormalPosition = {screen.left - origin.x, screen.top - origin.y,
                                  screen.right - origin.x, screen.bottom - origin.y};

    // The maximised position is kept only near a screen; elsewhere the system chooses.
    placement.ptMaxPosition = {-1, -1};
    if (Clamp(numbers[4], -kCoordinateLimit, kCoordinateLimit) == numbers[4] &&
        Clamp(numbers[5], -kCoordinateLimit, kCoordinateLimit) == numbers[5]) {
        const POINT maxPosition{numbers[4], numbers[5]};
        RECT around{maxPosition.x, maxPosition.y, maxPosition.x + 1, maxPosition.y + 1};
        InflateRect(&around, 32, 32);
        if (MonitorFromRect(&around, MONITOR_DEFAULTTONULL))
            placement.ptMaxPosition = maxPosition;
    }
    return true;
}

void CUsageDlg::LoadSettings() {
    CRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey, KEY_READ))
        return;
    uint32_t number = 0;
    if (key.QueryDWORDValue("Options", number))
        UnpackOptions(number);
    if (key.QueryDWORDValue("Vordergrund", number))
        m_topmost = number != 0;
    CString widthText, placementText;
    key.QueryStringValue("ColumnWidth", widthText, kStoredTextChars);
    key.QueryStringValue("WP", placementText, kStoredTextChars);
    if (key.QueryDWORDValue("LogMax", number))
        m_errorLog.SetLogMax(number);
    key.Close();

    const std::vector<long> widths = SplitStoredNumbers(widthText, 5);
    for (size_t column = 0; column < widths.size(); ++column)
        m_list.SetColumnWidth(static_cast<int>(column), ColumnWidthForDpi(widths[column], m_dpi));

    WINDOWPLACEMENT placement;
    if (PlacementFromStoredNumbers(SplitStoredNumbers(placementText, 10), placement))
        SetWindowPlacement(&placement);
}

void CUsageDlg::SaveSettings() {
    const CString widths = StoredWidthText({m_list.GetColumnWidth(0), m_list.GetColumnWidth(1),
                                            m_list.GetColumnWidth(2), m_list.GetColumnWidth(3)},
                                           m_dpi);
    WINDOWPLACEMENT wp{};
    GetWindowPlacement(&wp);
    CString placement;
    placement.Format(
        "%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,%ld,", static_cast<long>(wp.flags),
        static_cast<long>(wp.showCmd), static_cast<long>(wp.ptMinPosition.x),
        static_cast<long>(wp.ptMinPosition.y), static_cast<long>(wp.ptMaxPosition.x),
        static_cast<long>(wp.ptMaxPosition.y), static_cast<long>(wp.rcNormalPosition.left),
        static_cast<long>(wp.rcNormalPosition.top), static_cast<long>(wp.rcNormalPosition.right),
        static_cast<long>(wp.rcNormalPosition.bottom));

    CRegKey key;
    if (!key.Create(HKEY_CURRENT_USER, kSettingsKey, KEY_WRITE))
        return;
    key.SetDWORDValue("Options", PackOptions());
    key.SetDWORDValue("Vordergrund", m_topmost ? 1 : 0);
    key.SetStringValue("ColumnWidth", widths);
    key.SetStringValue("WP", placement);
    key.SetDWORDValue("LogMax", m_errorLog.GetLogMax());
}

uint32_t CUsageDlg::PackOptions() const {
    return PackOptionFlags(m_driveLetters);
}

void CUsageDlg::UnpackOptions(uint32_t options) {
    UnpackOptionFlags(options, m_driveLetters);
}

void CUsageDlg::SetTopmost(bool set, bool value) {
    RECT rect;
    GetWindowRect(&rect);
    m_topmost = set ? value : !m_topmost;
    SetWindowPos(m_topmost ? HWND_TOPMOST : HWND_NOTOPMOST, rect.left, rect.top,
                 rect.right - rect.left, rect.bottom - rect.top, 0);
    // Wine keeps a window whose own tooltip lies above it out of the topmost band. Without
    // the tooltip it gets there, and a tooltip made afresh is placed above its owner.
    if (m_topmost && GetToolTip() && !(::GetWindowLongW(m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
        EnableToolTips(FALSE);
        SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        EnableToolTips(TRUE);
    }
    const UINT check = MF_BYCOMMAND | (m_topmost ? MF_CHECKED : MF_UNCHECKED);
    CMenu systemMenu(GetSystemMenu(FALSE));
    if (systemMenu.GetSafeHmenu())
        systemMenu.CheckMenuItem(ID_OPT_TOPMOST, check);
    CMenu menuBar(GetMenu());
    if (menuBar.GetSafeHmenu())
        menuBar.CheckMenuItem(ID_OPT_TOPMOST, check);
}

void CUsageDlg::SetShowVolumeLabel(bool set, bool value) {
    m_showVolumeLabel = set ? value : !m_showVolumeLabel;
    CMenu menuBar(GetMenu());
    if (menuBar.GetSafeHmenu())
        menuBar.CheckMenuItem(ID_OPT_VOLUME_LABEL,
                              MF_BYCOMMAND | (m_showVolumeLabel ? MF_CHECKED : MF_UNCHECKED));
    if (m_depth == 0)
        ShowDriveList();
}

void CUsageDlg::RestoreDefaultSize() {
    WINDOWPLACEMENT placement{};
    if (!GetWindowPlacement(&placement) || placement.showCmd == SW_SHOWMINIMIZED ||
        placement.showCmd == SW_SHOWMAXIMIZED || placement.showCmd == SW_MINIMIZE)
        return;
    RECT rect;
    GetWindowRect(&rect);
    MoveWindow(rect.left, rect.top, ScaleForDpi(365, m_dpi), ScaleForDpi(270, m_dpi), TRUE);
    RECT client;
    m_list.GetClientRect(&client);
    for (int column = 0; column < 5; ++column)
        m_list.SetColumnWidth(column, client.right / 5);
}
