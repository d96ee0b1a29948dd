#include "WinApp.h"

#include <commctrl.h>

#include "SystemDll.h"
#include "WinText.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::Run() {
    CString full = Narrow(GetProgramPath());
    int slash = full.ReverseFind('\\');
    CString name = full.Mid(slash + 1);
    int dot = name.ReverseFind('.');
    m_appName = dot > 0 ? name.Left(dot) : name;
    InitInstance();
    return 0;
}

void CWinApp::BeginWaitCursor() {
    m_savedCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void CWinApp::EndWaitCursor() {
    SetCursor(m_savedCursor ? m_savedCursor : LoadCursorW(nullptr, IDC_ARROW));
}

CWinApp* AfxGetApp() {
    return g_app;
}

std::wstring GetProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HINSTANCE AfxGetInstanceHandle() {
    return GetModuleHandleW(nullptr);
}

void AfxEnableControlContainer() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                        ICC_ANIMATE_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

BOOL AfxInitRichEdit() {
    // The library of the Unicode rich edit class "RichEdit20W".
    static HMODULE richEdit = LoadSystemLibrary(L"riched20.dll");
    return richEdit != nullptr;
}
