// The About box, the dedication and the mini help from their real templates: texts,
// icon, animations, and the right double-click that opens the dedication.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "classlib/WinText.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/MiniHelpDlg.h"
#include "res/resource.h"
#include "support/AnimationProbe.h"
#include "support/WindowDriver.h"

namespace {
// The animation control that the dialog plays in its frame static: a child of the frame
// with the frame's id, covering its client area, showing frame after frame.
void ExpectPlayingIn(HWND dialog, int frameId) {
    HWND frame = GetDlgItem(dialog, frameId);
    ASSERT_NE(frame, nullptr);
    HWND animation = GetDlgItem(frame, frameId);
    ASSERT_NE(animation, nullptr) << "no animation in frame " << frameId;
    wchar_t className[64] = L"";
    GetClassNameW(animation, className, 64);
    EXPECT_STREQ(className, L"SysAnimate32");
    RECT frameClient, client;
    GetClientRect(frame, &frameClient);
    GetClientRect(animation, &client);
    EXPECT_TRUE(EqualRect(&frameClient, &client));
    EXPECT_TRUE(WaitForPictures(animation, 2)) << "the animation in " << frameId << " stands still";
}

// A right double-click at a point of the window's client area, through the system's
// input queue as a mouse makes it.
void RightDoubleClick(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SetCursorPos(client.x, client.y);
    INPUT inputs[4]{};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_RIGHTDOWN;
    }
    SendInput(4, inputs, sizeof(INPUT));
}
} // namespace

TEST(AboutBox, ShowsTheVersionResourceBesideItsAnimation) {
    CAboutDlg about;
    RunDialog(about, [&](HWND window) {
        EXPECT_EQ(WindowTitle(window), "Info über Voldix");
        EXPECT_EQ(ItemText(window, IDC_ABOUT_VERSION), "Voldix Version (1.0.0.21)");
        EXPECT_EQ(ItemText(window, IDC_ABOUT_COPYRIGHT), "Copyright © 2007 Pelka");
        EXPECT_EQ(ItemText(window, IDC_ABOUT_COMMENT), "Release 28.02.2007");
        EXPECT_EQ(ItemText(window, IDC_ABOUT_FEEDBACK), kFeedbackAddress);
        EXPECT_NE(SendDlgItemMessageW(window, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
        ExpectPlayingIn(window, IDC_ABOUT_ANIMATION);
    });
}

TEST(AboutBox, RightDoubleClickOpensTheDedicationOverIt) {
    CAboutDlg about;
    RunDialog(about, [&](HWND window) {
        CursorPlace cursor;
        SetForegroundWindow(window);
        Settle(window);
        // A spot beside the icon that no control takes.
        RECT spot{160, 55, 160, 55};
        MapDialogRect(window, &spot);
        POINT screen{spot.left, spot.top};
        ClientToScreen(window, &screen);
        ASSERT_EQ(WindowFromPoint(screen), window);
        RightDoubleClick(window, {spot.left, spot.top});

        HWND dedication = WaitForWindowTitled(GetCurrentProcessId(), L"Widmung");
        ASSERT_NE(dedication, nullptr) << "no dedication after a right double-click";
        EXPECT_EQ(GetWindow(dedication, GW_OWNER), window);
        EXPECT_EQ(ItemText(dedication, IDC_DEDICATION_TEXT), "Für Sirvel");
        ExpectPlayingIn(dedication, IDC_DEDICATION_ANIMATION);
        EXPECT_FALSE(IsWindowEnabled(window));

        ClickButton(dedication, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dedication); }));
        Settle(window);
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_TRUE(IsWindowEnabled(window));
        EXPECT_EQ(ItemText(window, IDC_ABOUT_VERSION), "Voldix Version (1.0.0.21)");
    });
}

TEST(MiniHelp, ShowsTheAttributeLegendBesideItsAnimation) {
    CString text;
    ASSERT_TRUE(text.LoadString(IDS_MINIHELP));
    CMiniHelpDlg help;
    help.SetText(text);
    RunDialog(help, [&](HWND window) {
        EXPECT_EQ(WindowTitle(window), "Mini-Hilfe");
        EXPECT_EQ(ItemText(window, IDC_HELP_TEXT),
                  "Attribute:\nA=Archiv, C=Compressed, D=Directory, E=Encrypted\nH=Hidden, "
                  "N=Normal, O=Offline, R=Read-only\nL=Reparse point, P=Sparse file, S=System "
                  "file, T=Temporary file\n\nFür mehr Informationen lesen Sie bitte die extern "
                  "mitgelieferte ausführliche Anleitung von Voldix.");
        ExpectPlayingIn(window, IDC_HELP_ANIMATION);
    });
}
