#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <thread>

#include "StoredSettings.h"
#include "classlib/WinText.h"

namespace {
BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindTopLevelWindow(const std::function<bool(HWND)>& match) {
    for (HWND window : TopLevelWindows())
        if (IsWindowVisible(window) && match(window))
            return window;
    return nullptr;
}

DWORD WindowProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

INT_PTR RunDialog(CDialog& dialog, const std::function<void(HWND)>& script, bool keepSettings) {
    if (!keepSettings)
        ClearStoredSettings();
    std::atomic<bool> ended{false};
    std::thread driver([&] {
        HWND window = nullptr;
        // Some start-up steps (a stored placement) show the window before its
        // initialisation has ended; the script starts only after it.
        const bool up = WaitFor(
            [&] {
                window = dialog.m_hWnd;
                return ended ||
                       (window != nullptr && dialog.IsInitialized() && IsWindowVisible(window));
            },
            30000);
        if (!up || ended) {
            ADD_FAILURE() << "the dialog did not come up within 30 s";
            // Should it still come up, it is closed, so that the test ends.
            WaitFor([&] { return ended || dialog.IsInitialized(); }, 30000);
            if (!ended && dialog.m_hWnd)
                PostMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        Settle(window);
        script(window);
        if (IsWindow(window))
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    INT_PTR result = dialog.DoModal();
    ended = true;
    driver.join();
    return result;
}

void Settle(HWND window) {
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void ClickButton(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    Settle(dialog);
}

void ChooseCommand(HWND window, UINT id) {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Settle(window);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

HWND WaitForOwnedWindow(HWND owner, const CString& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindOwnedWindow(owner, title.c_str())) != nullptr; }, timeoutMs);
    if (found)
        Settle(found);
    return found;
}

RECT ChildRect(HWND parent, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CString WindowTitle(HWND window) {
    wchar_t buffer[1024] = L"";
    GetWindowTextW(window, buffer, 1024);
    return Narrow(buffer);
}

CString ItemText(HWND dialog, int id) {
    return WindowTitle(GetDlgItem(dialog, id));
}

void PressKey(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void SendKeys(const std::vector<std::pair<WORD, bool>>& keys) {
    std::vector<INPUT> inputs;
    for (const auto& key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.first;
        input.ki.dwFlags = key.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MouseClickAt(POINT point, bool right) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = (point.x * 65536 + width / 2) / width;
        input.mi.dy = (point.y * 65536 + height / 2) / height;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    inputs[1].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

HWND FindOwnedWindow(HWND owner, const char* title) {
    return FindTopLevelWindow([&](HWND window) {
        return GetWindow(window, GW_OWNER) == owner && WindowTitle(window) == title;
    });
}

HWND WaitForWindowTitled(DWORD processId, const wchar_t* title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            found = FindTopLevelWindow([&](HWND window) {
                wchar_t text[256] = L"";
                GetWindowTextW(window, text, 256);
                return WindowProcess(window) == processId && wcscmp(text, title) == 0;
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

namespace {
// Set when the thread under the hook takes the marker key's release from its queue.
std::atomic<bool> g_markerTaken{false};
const WORD kMarkerKey = VK_F24;

LRESULT CALLBACK WatchForMarker(int code, WPARAM removed, LPARAM param) {
    const MSG* message = reinterpret_cast<const MSG*>(param);
    if (code == HC_ACTION && removed == PM_REMOVE && message->message == WM_KEYUP &&
        message->wParam == kMarkerKey)
        g_markerTaken = true;
    return CallNextHookEx(nullptr, code, removed, param);
}
} // namespace

bool SendKeysAndWait(HWND window, const std::vector<std::pair<WORD, bool>>& keys, DWORD timeoutMs) {
    // A press of a key that nothing uses follows the keys. The window's thread takes its
    // release from the queue after it has handled every key before it; the settle then
    // waits until it has handled the release too.
    g_markerTaken = false;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &WatchForMarker, nullptr,
                                   GetWindowThreadProcessId(window, nullptr));
    if (!hook)
        return false;
    std::vector<std::pair<WORD, bool>> all = keys;
    all.push_back({kMarkerKey, true});
    all.push_back({kMarkerKey, false});
    SendKeys(all);
    const bool taken = WaitFor([] { return g_markerTaken.load(); }, timeoutMs);
    UnhookWindowsHookEx(hook);
    Settle(window);
    return taken;
}

HWND FindOwnWindowOfClass(const wchar_t* className, HWND owner) {
    return FindTopLevelWindow([&](HWND window) {
        return WindowProcess(window) == GetCurrentProcessId() && WindowClass(window) == className &&
               (!owner || GetWindow(window, GW_OWNER) == owner);
    });
}

std::string ClipboardText(UINT format) {
    if (!OpenClipboard(nullptr))
        return "<no clipboard>";
    std::string text = "<no text>";
    HANDLE data = GetClipboardData(format);
    if (const void* memory = data ? GlobalLock(data) : nullptr) {
        text = format == CF_UNICODETEXT ? Narrow(static_cast<const wchar_t*>(memory)).str()
                                        : static_cast<const char*>(memory);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
