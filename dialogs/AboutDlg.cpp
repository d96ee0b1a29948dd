#include "dialogs/AboutDlg.h"

#include "dialogs/DedicationDlg.h"
#include "dialogs/FrameAnimation.h"
#include "res/resource.h"
#include "update/VersionInfo.h"

const char kFeedbackAddress[] = "voldix@pelka.example";

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

LRESULT CAboutDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_RBUTTONDBLCLK: return OnRButtonDblClk();
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CString fileVersion, productVersion, comments, copyright;
    ReadVersionInfo(fileVersion, productVersion, comments, copyright, nullptr);
    CString text;
    text.Format("Voldix Version (%s)", fileVersion.c_str());
    SetItemText(m_hWnd, IDC_ABOUT_VERSION, text);
    text.Format("%s", copyright.c_str());
    SetItemText(m_hWnd, IDC_ABOUT_COPYRIGHT, text);
    SetItemText(m_hWnd, IDC_ABOUT_COMMENT, comments);
    SetItemText(m_hWnd, IDC_ABOUT_FEEDBACK, kFeedbackAddress);
    PlayInFrame(m_hWnd, IDC_ABOUT_ANIMATION, IDR_AVI_ABOUT, m_animate);
    return TRUE;
}

LRESULT CAboutDlg::OnRButtonDblClk() {
    CDedicationDlg dedication(nullptr);
    dedication.DoModal();
    return Default();
}
