// The confirmation and error message dialogs, run from their real templates and answered
// as a user does: buttons, keys, the close box and a click on the lamp.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "attrib/AttribWalk.h"
#include "classlib/WinText.h"
#include "dialogs/ConfirmDlg.h"
#include "dialogs/ErrorMsgDlg.h"
#include "res/resource.h"
#include "support/AnimationProbe.h"
#include "support/WindowDriver.h"

namespace {
// The lines of a multi-line edit control as it has broken them.
std::vector<std::string> EditLines(HWND edit) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[256] = {255};
        const LRESULT length = SendMessageW(edit, EM_GETLINE, i, reinterpret_cast<LPARAM>(buffer));
        lines.push_back(Narrow(buffer, static_cast<int>(length)).str());
    }
    return lines;
}

void TypeKey(HWND window, WORD key) {
    SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; }, 3000);
    SendKeys({{key, true}, {key, false}});
}

// Runs the dialog, checks what it shows with read, answers it with answer and returns its
// result, or -1 when the answer did not end it.
INT_PTR Answer(CDialog& dialog, const std::function<void(HWND)>& read,
               const std::function<void(HWND)>& answer) {
    bool closed = false;
    const INT_PTR result = RunDialog(dialog, [&](HWND window) {
        read(window);
        answer(window);
        closed = WaitFor([&] { return !IsWindow(window); }, 5000);
    });
    return closed ? result : -1;
}

std::vector<std::string> Question(const char* verb) {
    return {"Ab Auswahl bei allen Dateien", std::string("den Schreibschutz ") + verb + "?"};
}

// The red of the middle of what the animation shows now; 0 before it shows anything.
uint32_t MiddleRed(HWND animation) {
    RECT client{};
    GetClientRect(animation, &client);
    const std::vector<uint32_t> picture = AnimationPicture(animation);
    if (picture.empty())
        return 0;
    const uint32_t rgb =
        picture[static_cast<size_t>(client.bottom / 2 * client.right + client.right / 2)];
    const uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return green < red / 2 && blue < red / 2 ? red : 0;
}
} // namespace

TEST(ConfirmDlg, AsksTheReadOnlyQuestionInTwoLinesAndYesOrEnterIsOk) {
    CConfirmDlg setting;
    setting.SetText(ReadOnlyQuestion(AttribSet));
    const auto readSet = [](HWND window) {
        EXPECT_EQ(WindowTitle(window), "Bitte bestätigen");
        EXPECT_EQ(EditLines(GetDlgItem(window, IDC_CONFIRM_TEXT)), Question("setzen"));
    };
    EXPECT_EQ(Answer(setting, readSet, [](HWND w) { ClickButton(w, IDC_CONFIRM_YES); }), IDOK);

    // The focus starts on "&Ja", and Enter presses it.
    CConfirmDlg clearing;
    clearing.SetText(ReadOnlyQuestion(AttribClear));
    const auto readClear = [](HWND window) {
        EXPECT_EQ(EditLines(GetDlgItem(window, IDC_CONFIRM_TEXT)), Question("entfernen"));
    };
    EXPECT_EQ(Answer(clearing, readClear, [](HWND w) { TypeKey(w, VK_RETURN); }), IDOK);
}

TEST(ConfirmDlg, ShowsTheGivenTextAndNoEscCloseBoxAreNo) {
    const std::vector<std::function<void(HWND)>> noAnswers{
        [](HWND w) { ClickButton(w, IDC_CONFIRM_NO); }, [](HWND w) { TypeKey(w, VK_ESCAPE); },
        [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }};
    for (size_t i = 0; i < noAnswers.size(); ++i) {
        CConfirmDlg dialog;
        dialog.SetText("Fehler-Protokoll wirklich löschen?");
        const auto read = [](HWND window) {
            EXPECT_EQ(ItemText(window, IDC_CONFIRM_TEXT), "Fehler-Protokoll wirklich löschen?");
        };
        EXPECT_EQ(Answer(dialog, read, noAnswers[i]), IDCANCEL) << "answer " << i;
    }
}

TEST(ErrorMsgDlg, ShowsItsTextOverTheBlinkingLampAndAClickOnTheLampClosesIt) {
    const CursorPlace keep;
    const char text[] = "Bei mindestens einer Datei konnte der Schreibschutz nicht gesetzt "
                        "werden.\nBitte überprüfen Sie das Fehler-Protokoll.";
    CErrorMsgDlg dialog;
    dialog.SetText(text);
    const auto read = [&](HWND window) {
        EXPECT_EQ(WindowTitle(window), "Fehlermeldung");
        EXPECT_EQ(ItemText(window, IDC_ERROR_TEXT), text);
        // The animation fills the lamp's static, which is its parent; it blinks: lit bright
        // red, then dark red, and again.
        HWND lamp = GetDlgItem(window, IDC_ERROR_LAMP);
        HWND animation = GetDlgItem(lamp, IDC_ERROR_LAMP);
        ASSERT_NE(animation, nullptr);
        RECT inner, outer;
        GetClientRect(animation, &inner);
        GetClientRect(lamp, &outer);
        EXPECT_TRUE(EqualRect(&inner, &outer));
        for (int blink = 0; blink < 2; ++blink) {
            EXPECT_TRUE(WaitFor([&] { return MiddleRed(animation) >= 0xC0; })) << blink;
            EXPECT_TRUE(WaitFor([&] {
                const uint32_t red = MiddleRed(animation);
                return red >= 0x40 && red < 0xA0;
            })) << blink;
        }
    };
    const auto clickLamp = [](HWND window) {
        SetForegroundWindow(window);
        RECT rect;
        GetWindowRect(GetDlgItem(window, IDC_ERROR_LAMP), &rect);
        MouseClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    };
    EXPECT_NE(Answer(dialog, read, clickLamp), -1);
}

// Both dialogs open over the window that owns them, where the user works, and stay on
// the screen when that window reaches over its edge.
TEST(AttribDialogs, OpenOverTheirOwnerKeptOnTheScreen) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const POINT place : {POINT{40, 60}, POINT{work.right - 120, work.bottom - 60}}) {
        HWND ownerWindow = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, place.x,
                                           place.y, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(ownerWindow, nullptr);
        CWnd owner;
        owner.SubclassWindow(ownerWindow);
        CConfirmDlg confirm(&owner);
        CErrorMsgDlg error(&owner);
        for (CDialog* dialog : std::vector<CDialog*>{&confirm, &error}) {
            RECT rect{};
            const auto read = [&](HWND window) { GetWindowRect(window, &rect); };
            Answer(*dialog, read, [](HWND w) { PostMessageW(w, WM_COMMAND, IDOK, 0); });
            const LONG middleX = (rect.left + rect.right) / 2,
                       middleY = (rect.top + rect.bottom) / 2;
            if (place.x == 40) {
                EXPECT_NEAR(middleX, place.x + 200, 1);
                EXPECT_NEAR(middleY, place.y + 150, 1);
            } else {
                EXPECT_EQ(rect.right, work.right);
                EXPECT_EQ(rect.bottom, work.bottom);
            }
        }
        DestroyWindow(ownerWindow);
    }
}
