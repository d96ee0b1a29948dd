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
    DWORD length;
    // A path that fills the buffer may have been cut short.
    while ((length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()))) ==
           path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path;
}

CString GetProgramFolder() {
    const CString path = Narrow(GetProgramPath());
    if (path.IsEmpty())
        return CString();
    // The drive and the folder: everything up to the last separator.
    const int start = path.GetLength() >= 2 && path[1] == ':' ? 2 : 0;
    int separator = -1;
    for (int i = path.GetLength() - 1; i >= start && separator < 0; --i)
        if (path[i] == '\\' || path[i] == '/')
            separator = i;
    CString folder = separator >= 0 ? path.Left(separator + 1) : path.Left(start);
    if (!folder.IsEmpty() && folder[folder.GetLength() - 1] != '\\' &&
        folder[folder.GetLength() - 1] != '/')
        folder += '\\';
    return folder;
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
