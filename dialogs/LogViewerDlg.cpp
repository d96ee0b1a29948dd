#include "dialogs/LogViewerDlg.h"

#include <richedit.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <new>

#include "classlib/File.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "dialogs/ConfirmDlg.h"
#include "dialogs/ErrorMsgDlg.h"
#include "log/ErrorLog.h"
#include "log/LogFiles.h"
#include "res/resource.h"

namespace {
// The smallest size of the whole window, frame included, at 96 DPI.
constexpr int kMinWidth = 484;
constexpr int kMinHeight = 359;
// The largest log that is loaded: the text lengths of Windows are ints.
constexpr uint64_t kMaxLoadedBytes = INT_MAX - 1;
} // namespace

CLogViewerDlg::CLogViewerDlg(CWnd* parent) : CDialog(IDD_LOG_VIEWER, parent), m_owner(parent) {}

LRESULT CLogViewerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: return OnSize(wParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_DPICHANGED: return OnDpiChanged(wParam, reinterpret_cast<const RECT*>(lParam));
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CLogViewerDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case ID_LOG_CLOSE: OnLogClose(); return TRUE;
    case ID_LOG_DELETE: OnLogDelete(); return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CLogViewerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_dpi = WindowDpi(m_hWnd);
    KeepDialogDpiChangeToMyself(m_hWnd);
    m_initialized = true;
    if (!LoadLog(m_text)) {
        EndDialog(-1);
        return TRUE;
    }
    HICON icon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    CenterWindow();
    ShowText();
    return TRUE;
}

bool CLogViewerDlg::LoadLog(CString& text) {
    CFile file;
    CFileException error;
    if (!OpenLogForReading(file, m_path, &error)) {
        CErrorMsgDlg message(m_owner);
        message.SetText("Das Fehler-Protokoll\nkonnte nicht gelesen werden.");
        message.DoModal();
        return false;
    }
    bool result = true;
    try {
        const uint64_t length = file.GetLength();
        // A log too large to hold is shown as an empty viewer.
        std::unique_ptr<char[]> buffer;
        if (length <= kMaxLoadedBytes)
            buffer.reset(new (std::nothrow) char[static_cast<size_t>(length) + 1]());
        if (buffer) {
            // The viewer shows the file as it was when it opened, however it grows meanwhile.
            UINT read = 0;
            while (read < length) {
                const UINT got = file.Read(buffer.get() + read, static_cast<UINT>(length) - read);
                if (got == 0)
                    break;
                read += got;
            }
            text = CString(buffer.get());
        } else {
            text.Empty();
        }
    } catch (const CFileException&) {
        result = false;
    } catch (const std::bad_alloc&) {
        text.Empty();
    }
    file.Abort();
    return result;
}

void CLogViewerDlg::ShowText() {
    HWND edit = GetDlgItem(IDC_LOG_TEXT);
    std::wstring wide;
    try {
        wide = LogTextForDisplay(m_text);
    } catch (const std::bad_alloc&) {
        wide.clear();
    }
    // The control's own limit (32767 characters) may cut a long log short; plain text
    // mode keeps a log that looks like RTF from being read as such.
    ::SendMessageW(edit, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
    ::SendMessageW(edit, EM_EXLIMITTEXT, 0, std::max<LPARAM>(wide.size() + 1, 32767));
    ::SetWindowTextW(edit, wide.c_str());
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

LRESULT CLogViewerDlg::OnSize(WPARAM type) {
    RECT client;
    GetClientRect(&client);
    const LRESULT result = Default();
    if (!m_initialized || type == SIZE_MINIMIZED)
        return result;
    const int l = client.left, t = client.top, r = client.right, b = client.bottom;
    const int margin = ScaleForDpi(8, m_dpi);
    HWND edit = GetDlgItem(IDC_LOG_TEXT);
    ::MoveWindow(edit, l + margin, t + margin,
                 std::max(0, (r - ScaleForDpi(10, m_dpi)) - (l + margin)),
                 std::max(0, (b - ScaleForDpi(36, m_dpi)) - (t + margin)), TRUE);
    HWND button = GetDlgItem(IDOK);
    RECT own;
    ::GetClientRect(button, &own);
    const int w = own.right, h = own.bottom;
    ::MoveWindow(button, (r - l) / 2 - w / 2, (b - ScaleForDpi(5, m_dpi)) - h, w, h, TRUE);
    return result;
}

LRESULT CLogViewerDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = ScaleForDpi(kMinWidth, m_dpi);
    info->ptMinTrackSize.y = ScaleForDpi(kMinHeight, m_dpi);
    return Default();
}

LRESULT CLogViewerDlg::OnDpiChanged(WPARAM dpi, const RECT* suggested) {
    const UINT oldDpi = m_dpi, newDpi = LOWORD(dpi);
    if (newDpi == 0 || !suggested)
        return 0;
    m_dpi = newDpi;
    ApplyDpiChange(m_hWnd, oldDpi, newDpi, *suggested, m_dpiFont);
    return 0;
}

void CLogViewerDlg::OnLogClose() {
    OnOK();
}

void CLogViewerDlg::OnLogDelete() {
    CConfirmDlg confirm(this);
    confirm.SetText("Fehler-Protokoll wirklich löschen?");
    if (confirm.DoModal() == IDOK)
        DeleteLogFile(m_path);
}
