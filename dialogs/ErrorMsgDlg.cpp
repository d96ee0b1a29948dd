#include "dialogs/ErrorMsgDlg.h"

#include <commctrl.h>

#include "classlib/Dpi.h"
#include "classlib/WinText.h"
#include "res/resource.h"

UINT LampClipForDpi(UINT dpi) {
    if (dpi >= 192)
        return IDR_AVI_LAMP_200;
    return dpi >= 144 ? IDR_AVI_LAMP_150 : IDR_AVI_LAMP;
}

CErrorMsgDlg::CErrorMsgDlg(CWnd* parent) : CTextDlg(IDD_ERROR_MSG, parent) {}

BOOL CErrorMsgDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    ::SetWindowTextW(GetDlgItem(IDC_ERROR_TEXT), Widen(m_text).c_str());
    // The animation lives inside the static 1020, which reports the clicks that the
    // animation lets through; without its clip the dialog shows the text alone. It plays
    // on the dialog's own thread (a timer), so that every frame reaches the screen at
    // once; the first is shown before the first tick. The lamp is drawn in three sizes,
    // so that it keeps its share of the dialog on a screen of a larger scale.
    HWND frame = GetDlgItem(IDC_ERROR_LAMP);
    RECT rect{};
    ::GetClientRect(frame, &rect);
    const UINT clip = LampClipForDpi(WindowDpi(m_hWnd));
    if (m_animate.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT | ACS_TIMER, rect,
                         frame, IDC_ERROR_LAMP) &&
        (m_animate.Open(clip) || (clip != IDR_AVI_LAMP && m_animate.Open(IDR_AVI_LAMP)))) {
        m_animate.Seek(0);
        m_animate.Play(0, 0xFFFF, static_cast<UINT>(-1));
    }
    return TRUE;
}

BOOL CErrorMsgDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_ERROR_LAMP && HIWORD(wParam) == STN_CLICKED) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
