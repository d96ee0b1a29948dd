// Drives Voldix.exe through the windows that the user manual shows. For each picture it
// prints "SHOT name left top right bottom" (screen pixels) and waits until the calling
// script has taken it (the file OUT\name.png exists); tools/manual-screenshots.sh
// captures the screen. Usage: manual_shots VOLDIX_EXE OUT_FOLDER
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "res/resource.h"
#include "support/MainWindow.h"
#include "support/RemoteProgram.h"
#include "support/StoredSettings.h"
#include "support/WindowDriver.h"

namespace {
std::wstring g_out;

// Asks for the picture of the screen area that the windows cover and waits for it.
bool Shot(const char* name, HWND window, HWND beside = nullptr) {
    Settle(window);
    Sleep(1000); // Wine puts what a window drew on the X screen a little later
    RECT area{};
    GetWindowRect(window, &area);
    if (beside) {
        RECT more{};
        GetWindowRect(beside, &more);
        UnionRect(&area, &area, &more);
    }
    printf("SHOT %s %ld %ld %ld %ld\n", name, area.left, area.top, area.right, area.bottom);
    fflush(stdout);
    std::wstring picture = g_out + L"\\" + std::wstring(name, name + strlen(name)) + L".png";
    const bool taken = WaitFor(
        [&] { return GetFileAttributesW(picture.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000);
    return taken;
}

HWND WaitForOwnMenu(DWORD process) {
    HWND menu = nullptr;
    WaitFor([&] {
        menu = FindTopLevelWindow([&](HWND window) {
            return WindowProcess(window) == process && WindowClass(window) == L"#32768";
        });
        return menu != nullptr;
    });
    return menu;
}

// Opens a window by a command of the main window, takes its picture and closes it.
bool ShowCommand(const RemoteProgram& program, UINT command, const wchar_t* title, const char* name,
                 int closeId) {
    PostMessageW(program.Window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    HWND window = WaitForWindowTitled(program.ProcessId(), title);
    if (!window || !Shot(name, window))
        return false;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(closeId, BN_CLICKED), 0);
    return WaitFor([&] { return !IsWindow(window); });
}

bool Run(const std::wstring& exe) {
    // Only the sample drive D:; the window and its columns a little larger than at first.
    ClearStoredSettings();
    const DWORD options = (1u << (31 - 3)) | 0x6;
    StoreValue(L"Options", REG_DWORD, &options, sizeof(options));
    const wchar_t placement[] = L"0,1,-1,-1,-1,-1,40,40,660,440,";
    StoreValue(L"WP", REG_SZ, placement, sizeof(placement));
    const wchar_t widths[] = L"150,80,135,135,";
    StoreValue(L"ColumnWidth", REG_SZ, widths, sizeof(widths));
    RemoteProgram program;
    if (!program.Start(15000, true, exe))
        return false;
    HWND window = program.Window();
    SetForegroundWindow(window);
    if (!Shot("hauptfenster", window))
        return false;

    const ListProbe probe(window);
    if (!probe.DoubleClickRow(probe.RowOf("D:\\")) || !probe.WaitForLevel("D:\\"))
        return false;
    if (!Shot("ordner", window))
        return false;

    // The second row selected with the arrow keys, then what Shift+F10 asks for. The keys
    // are posted: real ones would go to whichever window has the focus.
    HWND list = probe.List();
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    for (WPARAM key : {VK_HOME, VK_DOWN})
        probe.PressKey(key);
    Settle(window);
    PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
    HWND menu = WaitForOwnMenu(program.ProcessId());
    if (!menu || !Shot("kontextmenue", window, menu))
        return false;
    PostMessageW(menu, WM_CHAR, L's', 0);
    HWND question = WaitForWindowTitled(program.ProcessId(), L"Bitte bestätigen");
    if (!question || !Shot("bestaetigen", question))
        return false;
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDC_CONFIRM_NO, BN_CLICKED), 0);
    WaitFor([&] { return !IsWindow(question); });

    return ShowCommand(program, ID_OPT_DRIVE_TYPES, L"Laufwerkstypen", "laufwerkstypen", IDOK) &&
           ShowCommand(program, ID_OPT_DRIVE_LETTERS, L"Dialog", "laufwerksbuchstaben", IDOK) &&
           ShowCommand(program, ID_OPT_LOG, L"Fehlerprotokoll", "protokoll", IDOK) &&
           ShowCommand(program, ID_HELP, L"Mini-Hilfe", "minihilfe", IDOK) &&
           ShowCommand(program, ID_INFO_UPDATE, L"Update suchen...", "update", IDNO) &&
           program.CloseAndTime(10000) != INFINITE;
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: manual_shots VOLDIX_EXE OUT_FOLDER\n");
        return 2;
    }
    g_out = argv[2];
    const bool done = Run(argv[1]);
    ClearStoredSettings();
    if (!done)
        fprintf(stderr, "manual_shots: a window did not come up as expected\n");
    return done ? 0 : 1;
}
