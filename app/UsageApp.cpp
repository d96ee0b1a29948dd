#include "UsageApp.h"

#include "UsageDlg.h"
#include "classlib/Time.h"

BOOL CUsageApp::InitInstance() {
    AfxEnableControlContainer();
    AfxInitRichEdit();
    CUsageDlg dialog(nullptr);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

bool CUsageApp::IsMemorialTime() {
    COleDateTime now = COleDateTime::GetCurrentTime();
    return now.GetMonth() == 7 && now.GetDay() == 1 && now.GetHour() >= 11 && now.GetHour() < 13;
}

void CUsageApp::UnscrambleText(CString& text) {
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        c = static_cast<unsigned char>(c - 32);
        c ^= 0x6B;
        c ^= static_cast<unsigned char>(i & 0xFF);
        c = static_cast<unsigned char>(c + 32);
        text.SetAt(i, static_cast<char>(c));
    }
}
