#include "Dialog.h"

#include "WinApp.h"

namespace {
// The owner of a dialog made without a parent: the program's main window, or the popup
// that is active over it (an About box over which the dedication opens); without a main
// window, the window active on this thread.
HWND DefaultOwner() {
    CWinApp* app = AfxGetApp();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    if (!main || !IsWindow(main))
        main = GetActiveWindow();
    return main ? GetLastActivePopup(main) : nullptr;
}
} // namespace

INT_PTR CDialog::DoModal() {
    HWND parent = m_parent ? m_parent->m_hWnd : DefaultOwner();
    m_initDone = false;
    INT_PTR result = DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), parent,
                                     &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_initDone = false;
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    }
    return FALSE;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && OnCommand(wParam, lParam))
        return 0;
    return Default();
}

// The template's dialog procedure: on WM_INITDIALOG the window is subclassed, so that
// from then on every message reaches WindowProc first and this procedure only supplies
// the dialog manager's default processing.
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* self = reinterpret_cast<CDialog*>(lParam);
    // A dialog whose window or controls cannot be bound ends at once: DoModal gives -1.
    if (!self->SubclassWindow(hwnd) || !self->DoDataExchange()) {
        ::EndDialog(hwnd, -1);
        return FALSE;
    }
    INT_PTR result = self->OnInitDialog();
    self->m_initDone = true;
    return result;
}
