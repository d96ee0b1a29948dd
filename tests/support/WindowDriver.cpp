#include "WindowDriver.h"

#include <atomic>
#include <thread>

#include "StoredSettings.h"
#include "classlib/WinText.h"

INT_PTR RunDialog(CDialog& dialog, const std::function<void(HWND)>& script, bool keepSettings) {
    if (!keepSettings)
        ClearStoredSettings();
    std::atomic<bool> done{false};
    std::thread driver([&] {
        HWND window = nullptr;
        WaitFor([&] {
            // Some start-up steps (a stored placement) show the window before its
            // initialisation has ended; the script starts only after it.
            window = dialog.m_hWnd;
            return window != nullptr && dialog.IsInitialized() && IsWindowVisible(window);
        });
        if (window) {
            Settle(window);
            script(window);
            if (IsWindow(window))
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        done = true;
    });
    INT_PTR result = dialog.DoModal();
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

namespace {
struct OwnedSearch {
    HWND owner;
    const CString* title;
    HWND found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM param) {
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(param);
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == search->owner &&
        WindowTitle(window) == *search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND WaitForOwnedWindow(HWND owner, const CString& title, DWORD timeoutMs) {
    OwnedSearch search{owner, &title, nullptr};
    WaitFor(
        [&] {
            EnumWindows(&FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    if (search.found)
        Settle(search.found);
    return search.found;
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
