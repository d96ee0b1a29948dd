// The confirmation and error message dialogs, run from their real templates and answered
// as a user does: buttons, keys, the close box and a click on the lamp.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "attrib/ConfirmDlg.h"
#include "attrib/ErrorMsgDlg.h"
#include "classlib/WinText.h"
#include "res/resource.h"
#include "support/WindowDriver.h"

namespace {
// The lines of a multi-line edit control as it has broken them.
std::vector<std::string> EditLines(HWND edit) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[256] = {};
        buffer[0] = static_cast<wchar_t>(255);
        const LRESULT length = SendMessageW(edit, EM_GETLINE, i, reinterpret_cast<LPARAM>(buffer));
        lines.push_back(Narrow(buffer, static_cast<int>(length)).str());
    }
    return lines;
}

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; }, 3000);
    Settle(window);
}

void PressKey(HWND window, WORD key) {
    BringToFront(window);
    SendKeys({{key, true}, {key, false}});
}

void ClickCloseBox(HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// A real left click at the middle of a control; the position travels with the click.
void ClickControl(HWND window, int id) {
    BringToFront(window);
    RECT rect;
    GetWindowRect(GetDlgItem(window, id), &rect);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = ((rect.left + rect.right) / 2 * 65536 + width / 2) / width;
        input.mi.dy = ((rect.top + rect.bottom) / 2 * 65536 + height / 2) / height;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, inputs, sizeof(INPUT));
}

bool Closes(HWND window) {
    return WaitFor([&] { return !IsWindow(window); }, 5000);
}

// Runs the dialog, reads what it shows into seen, answers it with answer, and returns its
// result; closed tells whether the answer (not the test's clean-up) ended it.
struct Outcome {
    INT_PTR result = 0;
    bool closed = false;
};
Outcome Answer(CDialog& dialog, const std::function<void(HWND)>& read,
               const std::function<void(HWND)>& answer) {
    Outcome outcome;
    outcome.result = RunDialog(dialog, [&](HWND window) {
        read(window);
        answer(window);
        outcome.closed = Closes(window);
    });
    return outcome;
}
} // namespace

TEST(ConfirmDlg, AsksTheReadOnlyQuestionInTwoLinesAndYesIsOk) {
    CConfirmDlg setting;
    setting.SetMode(AttribSet);
    const Outcome yes = Answer(
        setting,
        [](HWND window) {
            EXPECT_EQ(WindowTitle(window), "Bitte bestätigen");
            EXPECT_EQ(EditLines(GetDlgItem(window, IDC_CONFIRM_TEXT)),
                      (std::vector<std::string>{"Ab Auswahl bei allen Dateien",
                                                "den Schreibschutz setzen?"}));
        },
        [](HWND window) { ClickButton(window, IDC_CONFIRM_YES); });
    EXPECT_TRUE(yes.closed);
    EXPECT_EQ(yes.result, IDOK);

    // Enter answers yes: the focus starts on "&Ja".
    CConfirmDlg clearing;
    clearing.SetMode(AttribClear);
    const Outcome enter = Answer(
        clearing,
        [](HWND window) {
            EXPECT_EQ(EditLines(GetDlgItem(window, IDC_CONFIRM_TEXT)),
                      (std::vector<std::string>{"Ab Auswahl bei allen Dateien",
                                                "den Schreibschutz entfernen?"}));
        },
        [](HWND window) { PressKey(window, VK_RETURN); });
    EXPECT_TRUE(enter.closed);
    EXPECT_EQ(enter.result, IDOK);
}

TEST(ConfirmDlg, GivenTextOverridesTheModeAndNoEscCloseBoxAreNo) {
    const std::vector<std::function<void(HWND)>> noAnswers{
        [](HWND window) { ClickButton(window, IDC_CONFIRM_NO); },
        [](HWND window) { PressKey(window, VK_ESCAPE); },
        [](HWND window) { ClickCloseBox(window); }};
    for (size_t i = 0; i < noAnswers.size(); ++i) {
        CConfirmDlg dialog;
        dialog.SetMode(AttribClear);
        dialog.SetText("Fehler-Protokoll wirklich löschen?");
        const Outcome no = Answer(
            dialog,
            [](HWND window) {
                EXPECT_EQ(WindowTitle(GetDlgItem(window, IDC_CONFIRM_TEXT)),
                          "Fehler-Protokoll wirklich löschen?");
            },
            noAnswers[i]);
        EXPECT_TRUE(no.closed) << "answer " << i;
        EXPECT_EQ(no.result, IDCANCEL) << "answer " << i;
    }
}

TEST(ErrorMsgDlg, ShowsItsTextAndClosesByLampEnterEscAndCloseBox) {
    const CursorPlace keep;
    const std::vector<std::function<void(HWND)>> closers{
        [](HWND window) { ClickControl(window, IDC_ERROR_LAMP); },
        [](HWND window) { PressKey(window, VK_RETURN); },
        [](HWND window) { PressKey(window, VK_ESCAPE); },
        [](HWND window) { ClickCloseBox(window); }};
    const char text[] = "Bei mindestens einer Datei konnte der Schreibschutz nicht gesetzt "
                        "werden.\nBitte überprüfen Sie das Fehler-Protokoll.";
    for (size_t i = 0; i < closers.size(); ++i) {
        CErrorMsgDlg dialog;
        dialog.SetText(text);
        const Outcome outcome = Answer(
            dialog,
            [&](HWND window) {
                EXPECT_EQ(WindowTitle(window), "Fehlermeldung");
                EXPECT_EQ(WindowTitle(GetDlgItem(window, IDC_ERROR_TEXT)), text);
                // The animation fills the lamp's static, which is its parent.
                HWND lamp = GetDlgItem(window, IDC_ERROR_LAMP);
                HWND animation = GetDlgItem(lamp, IDC_ERROR_LAMP);
                ASSERT_NE(animation, nullptr);
                RECT inner, outer;
                GetClientRect(animation, &inner);
                GetClientRect(lamp, &outer);
                EXPECT_TRUE(EqualRect(&inner, &outer));
            },
            closers[i]);
        EXPECT_TRUE(outcome.closed) << "closer " << i;
    }
}
