// The display benchmark's window program: opens flat folders in the real main window,
// with real double-clicks, and measures how they are shown. Run by tools/benchmark.sh
// under Xvfb.
//   fill_bench LETTER FOLDER...
// LETTER names a drive whose root holds the folders. Prints one line per folder:
//   name entries seconds walkSeconds paints longestPaintGap paintsWithoutNewestRow
//   averagePaintMs longestUnansweredMs longestMessageMs longestPaintMs
// seconds run from the double-click to the end of the scan; the paints are those of the
// list while its rows are written; the unanswered time is the longest a message sent to
// the window from another thread waited for its answer during the scan; the longest
// message is the longest the window took over one of its own messages.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/Messages.h"
#include "app/UsageDlg.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "res/resource.h"

namespace {
double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One paint of the list: when it began, how long it took, and whether the newest row
// was in view.
struct Paint {
    double start;
    double seconds;
    bool newestShown;
};

// The main window with probes: the list's paints and the moment the rows start and the
// scan ends.
class CBenchDlg : public CUsageDlg {
  public:
    std::mutex lock;
    std::vector<Paint> paints;
    double fillStart = 0;
    double fillEnd = 0;
    std::atomic<double> scanDone{0};
    double longestMessage = 0;
    double longestPaint = 0;

  protected:
    BOOL OnInitDialog() override {
        const BOOL result = CUsageDlg::OnInitDialog();
        SetWindowSubclass(GetDlgItem(IDC_LIST), &ListProbe, 1, reinterpret_cast<DWORD_PTR>(this));
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const double start = Now();
        const LRESULT result = CUsageDlg::WindowProc(message, wParam, lParam);
        const double seconds = Now() - start;
        longestMessage = std::max(longestMessage, seconds);
        if (message == WM_SCAN_DONE)
            scanDone = Now();
        return result;
    }

  private:
    static LRESULT CALLBACK ListProbe(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
        CBenchDlg* self = reinterpret_cast<CBenchDlg*>(data);
        if (message == LVM_DELETEALLITEMS || message == LVM_SETSELECTIONMARK) {
            std::lock_guard<std::mutex> guard(self->lock);
            (message == LVM_DELETEALLITEMS ? self->fillStart : self->fillEnd) = Now();
        }
        if (message != WM_PAINT)
            return DefSubclassProc(list, message, wParam, lParam);
        const double start = Now();
        const int count = static_cast<int>(DefSubclassProc(list, LVM_GETITEMCOUNT, 0, 0));
        const int top = static_cast<int>(DefSubclassProc(list, LVM_GETTOPINDEX, 0, 0));
        const int page = static_cast<int>(DefSubclassProc(list, LVM_GETCOUNTPERPAGE, 0, 0));
        const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
        const bool newest = count == 0 || (count - 1 >= top && count - 1 < top + page);
        std::lock_guard<std::mutex> guard(self->lock);
        self->paints.push_back({start, Now() - start, newest});
        self->longestPaint = std::max(self->longestPaint, Now() - start);
        return result;
    }
};

bool WaitUntil(const std::function<bool()>& condition, double seconds) {
    const double end = Now() + seconds;
    while (!condition()) {
        if (Now() > end)
            return false;
        Sleep(5);
    }
    return true;
}

// The main window's list, read from the driving thread.
int RowCount(CUsageDlg& dialog) {
    return static_cast<int>(::SendMessageW(dialog.GetDlgItem(IDC_LIST), LVM_GETITEMCOUNT, 0, 0));
}

int RowOf(CUsageDlg& dialog, const CString& name) {
    CListCtrl list;
    list.m_hWnd = dialog.GetDlgItem(IDC_LIST);
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetItemText(i, 0) == name)
            return i;
    return -1;
}

CString Title(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return Narrow(text);
}

bool Ready(HWND window) {
    return IsWindowEnabled(GetDlgItem(window, IDC_BACK)) != FALSE;
}

// Double-clicks the row named name as the mouse does and waits for the scan it starts.
bool Open(CBenchDlg& dialog, HWND window, const CString& name, double& start) {
    const int row = RowOf(dialog, name);
    if (row < 0) {
        std::fprintf(stderr, "no row %s\n", name.c_str());
        return false;
    }
    HWND list = GetDlgItem(window, IDC_LIST);
    RECT rect{LVIR_LABEL, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    dialog.scanDone = 0;
    start = Now();
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    return WaitUntil([&] { return dialog.scanDone != 0 && Ready(window); }, 3600);
}

// Sends the window a message every few milliseconds and keeps the longest wait for the
// answer, until stopped.
class AnswerProbe {
  public:
    explicit AnswerProbe(HWND window)
        : m_thread([this, window] {
              while (!m_stop) {
                  const double start = Now();
                  DWORD_PTR ignored;
                  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
                  m_longest = std::max(m_longest.load(), Now() - start);
                  Sleep(10);
              }
          }) {}
    ~AnswerProbe() { Stop(); }
    double Stop() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_longest;
    }

  private:
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_longest{0};
    std::thread m_thread;
};

void Measure(CBenchDlg& dialog, HWND window, const CString& folder) {
    {
        std::lock_guard<std::mutex> guard(dialog.lock);
        dialog.paints.clear();
        dialog.fillStart = dialog.fillEnd = 0;
        dialog.longestMessage = dialog.longestPaint = 0;
    }
    double start = 0;
    AnswerProbe probe(window);
    const bool done = Open(dialog, window, folder, start);
    const double unanswered = probe.Stop();
    if (!done) {
        std::fprintf(stderr, "%s: the scan did not end\n", folder.c_str());
        return;
    }
    const double end = dialog.scanDone;
    std::lock_guard<std::mutex> guard(dialog.lock);
    const double fillStart = dialog.fillStart;
    // The paints while rows are added: up to the moment the first row is marked.
    const double fillEnd = dialog.fillEnd;
    double gap = 0, last = fillStart, paintSeconds = 0;
    int paints = 0, withoutNewest = 0;
    for (const Paint& paint : dialog.paints) {
        if (paint.start < fillStart || paint.start > fillEnd)
            continue;
        ++paints;
        paintSeconds += paint.seconds;
        withoutNewest += !paint.newestShown;
        gap = std::max(gap, paint.start - last);
        last = paint.start;
    }
    gap = std::max(gap, fillEnd - last);
    std::printf("%s %d %.3f %.3f %d %.3f %d %.1f %.0f %.0f %.0f\n", folder.c_str(),
                RowCount(dialog), end - start, fillStart - start, paints, gap, withoutNewest,
                paints ? paintSeconds * 1000.0 / paints : 0.0, unanswered * 1000.0,
                dialog.longestMessage * 1000.0, dialog.longestPaint * 1000.0);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fill_bench LETTER FOLDER...\n");
        return 2;
    }
    AfxEnableControlContainer();
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(argv[1][0])));
    CBenchDlg dialog;
    // The letter alone; the type and label flags as they were.
    dialog.UnpackOptions((dialog.PackOptions() & 0x3Fu) | (0x80000000u >> (letter - 'A')));
    CString root;
    root.Format("%c:\\", letter);

    std::thread driver([&] {
        HWND window = nullptr;
        WaitUntil(
            [&] {
                window = dialog.m_hWnd;
                return window && dialog.IsInitialized() && IsWindowVisible(window);
            },
            60);
        double start = 0;
        if (window && Open(dialog, window, root, start)) {
            for (int i = 2; i < argc; ++i) {
                Measure(dialog, window, argv[i]);
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_BACK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_BACK)));
                WaitUntil([&] { return Ready(window) && Title(window) == root; }, 600);
            }
        }
        if (window)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    dialog.DoModal();
    driver.join();
    return 0;
}
