#include "attrib/ErrorMsgDlg.h"

#include "classlib/WinText.h"
#include "res/resource.h"

namespace {
// The blinking lamp's clip among the program's animations.
constexpr UINT kLampClip = 152;
} // namespace

CErrorMsgDlg::CErrorMsgDlg(CWnd* parent) : CDialog(IDD_ERROR_MSG, parent) {}

BOOL CErrorMsgDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetWindowTextW(GetDlgItem(IDC_ERROR_TEXT), Widen(m_text).c_str());
    // The animation lives inside the static 1020, which reports the clicks that the
    // animation lets through; without its clip the dialog shows the text alone.
    HWND frame = GetDlgItem(IDC_ERROR_LAMP);
    RECT rect{};
    ::GetClientRect(frame, &rect);
    if (m_animate.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT, rect, frame,
                         IDC_ERROR_LAMP) &&
        m_animate.Open(kLampClip))
        m_animate.Play(0, 0xFFFF, static_cast<UINT>(-1));
    return TRUE;
}

BOOL CErrorMsgDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_ERROR_LAMP && HIWORD(wParam) == STN_CLICKED) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}
