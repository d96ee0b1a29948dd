// CUsageDlg, log viewer section: "&Protokoll" opens the error log in its viewer.
#include "app/UsageDlg.h"
#include "dialogs/LogViewerDlg.h"

void CUsageDlg::OnShowLog() {
    CLogViewerDlg viewer(this);
    viewer.SetPath(m_errorLog.GetLogPath());
    viewer.DoModal();
}
