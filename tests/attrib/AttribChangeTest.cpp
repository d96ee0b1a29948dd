// The bulk read-only change through the real main window, on fixture trees: what changes,
// what stays, the failures in the log and the message, and the window unlocked after.
// Wine keeps no read-only bit on folders, so the files tell whether a folder was walked.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "classlib/WinText.h"
#include "classlib/WinApp.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/MainWindow.h"
#include "support/ScratchFolder.h"
#include "support/TestDrives.h"
#include "support/WindowDriver.h"

namespace {
// The main window, counting the ends of changes it has handled.
class WatchedDlg : public CUsageDlg {
  public:
    std::atomic<int> changesDone{0};

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CUsageDlg::WindowProc(message, wParam, lParam);
        if (message == WM_ATTRIB_DONE)
            ++changesDone;
        return result;
    }
};

DWORD Attributes(const CString& path) {
    return GetFileAttributesW(Wide(path).c_str());
}

bool IsReadOnly(const CString& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// The three times of a file, as bytes to compare.
std::string TimesOf(const CString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data);
    return std::string(reinterpret_cast<const char*>(&data.ftCreationTime), 3 * sizeof(FILETIME));
}

// Makes the files that a shell pattern matches in folder immutable or not (-R: everything
// below it); an immutable file refuses every attribute change, also to root.
bool Chattr(const char* flags, const CString& folder, const char* pattern = "") {
    const std::string unix = UnixPath(folder);
    return !unix.empty() && RunUnix(L"chattr " + Widen(flags) + L" '" + Widen(unix.c_str()) +
                                    L"'/" + Widen(pattern) + L" 2>/dev/null");
}

// The messages of the error log's lines, each after its "<date time>: ".
std::vector<std::string> LogMessages() {
    std::ifstream file((GetProgramFolder() + "Voldix.log").c_str(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    std::vector<std::string> messages;
    std::string line;
    while (std::getline(content, line) && !line.empty()) {
        EXPECT_EQ(line.substr(0, 1) + line.substr(line.size() - 1), "<\r");
        messages.push_back(line.substr(line.find(">: ") + 3, line.size() - line.find(">: ") - 4));
    }
    std::sort(messages.begin(), messages.end());
    return messages;
}

void Select(HWND window, const std::vector<const char*>& names) {
    const ListProbe list(window);
    std::vector<int> rows;
    for (const char* name : names) {
        rows.push_back(list.RowOf(name));
        ASSERT_GE(rows.back(), 0) << name;
    }
    ASSERT_TRUE(list.Select(rows));
}

// Chooses a read-only command and answers "&Ja"; the change runs afterwards.
void ChooseAndConfirm(HWND window, UINT command) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (question = FindOwnedWindow(window, "Bitte bestätigen")) != nullptr; }));
    Settle(question);
    ClickButton(question, IDC_CONFIRM_YES);
}

// Waits until the change has ended and the window is unlocked; a report that comes up
// meanwhile is closed after its text was read, or left open when keepReport is set.
std::string WaitForEnd(WatchedDlg& dialog, HWND window, int done, bool keepReport = false) {
    std::string report;
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (!box && (box = FindOwnedWindow(window, "Fehlermeldung"))) {
                Settle(box);
                report = ItemText(box, IDC_ERROR_TEXT).str();
                if (!keepReport)
                    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            }
            return keepReport ? box != nullptr : dialog.changesDone == done;
        },
        120000));
    if (keepReport)
        return report;
    Settle(window);
    EXPECT_TRUE(ListProbe(window).ButtonsEnabled() &&
                ListProbe(window).Cursor() ==
                    LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_CURSOR_ARROW)));
    return report;
}

// Each test works in a scratch folder of its own on P:.
class AttribChangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TearDown();
        ASSERT_TRUE(MakeFolder(m_folder.Path()));
        DeleteFileW(Widen(GetProgramFolder() + "Voldix.log").c_str());
    }
    void TearDown() override {
        if (!m_mounted.IsEmpty())
            Unmount(m_mounted);
        Chattr("-R -i", m_folder.Path());
        RemoveTree(m_folder.Path());
    }
    CString Path(const char* relative) const { return m_folder.Path(relative); }
    void OpenRoot(HWND window) {
        const ListProbe list(window);
        list.Open("P:\\", "P:\\");
        list.Open(m_folder.Name(), m_folder.Path());
    }

    ScratchFolder m_folder;
    WatchedDlg m_dialog;
    CString m_mounted;
};

const char kBadText[] = "Bei mindestens einer Datei konnte der Schreibschutz nicht %s werden.\n"
                        "Bitte überprüfen Sie das Fehler-Protokoll.";
} // namespace

TEST(ReadOnlyAttributes, OnlyTheReadOnlyBitFollowsTheMode) {
    // Wine keeps none of the bits above the low eight; the word written is checked here.
    const DWORD higher = FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_TEMPORARY |
                         FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(ReadOnlyAttributes(higher, AttribSet), higher | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadOnlyAttributes(higher | FILE_ATTRIBUTE_READONLY, AttribClear), higher);
}

TEST_F(AttribChangeTest, SelectedRowsChangeEverythingBelowThemAndNothingElse) {
    const std::vector<CString> inside{Path("sel\\a.txt"), Path("sel\\hidden.txt"),
                                      Path("sel\\system.txt"), Path("sel\\d1\\d2\\d3\\deep.txt"),
                                      Path("single.txt")};
    const std::vector<CString> outside{Path("other.txt"), Path("outside\\o.txt")};
    for (const CString& file : inside)
        ASSERT_TRUE(MakeFile(file, 10));
    for (const CString& file : outside)
        ASSERT_TRUE(MakeFile(file, 10));
    ASSERT_TRUE(SetFileAttributesW(Wide(Path("sel\\hidden.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(Wide(Path("sel\\system.txt")).c_str(), FILE_ATTRIBUTE_SYSTEM));
    for (const CString& file : inside)
        // Old times, so that a change that wrote them, even cut to seconds, shows.
        EXPECT_TRUE(MakeOld(file)) << file.c_str();
    const std::string oldTimes = TimesOf(inside[0]);
    // A link to a folder beside the selection, one back up, and a loop the file system does
    // not mark (a bind mount of the folder above the selection): none is followed.
    ASSERT_TRUE(MakeUnixSymlink(Path("sel\\d1\\side"), "../../outside"));
    ASSERT_TRUE(MakeUnixSymlink(Path("sel\\d1\\up"), "../.."));
    ASSERT_TRUE(MakeFolder(Path("sel\\d1\\loop")));
    if (BindMount(m_folder.Path(), Path("sel\\d1\\loop")))
        m_mounted = Path("sel\\d1\\loop");

    RunMainWindow(m_dialog, "P", [&](HWND window) {
        OpenRoot(window);
        Select(window, {"sel", "single.txt"});
        ChooseAndConfirm(window, ID_CTX_READONLY_SET);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 1), "");
        for (const CString& file : inside) {
            EXPECT_TRUE(IsReadOnly(file)) << file.c_str();
            EXPECT_EQ(TimesOf(file), oldTimes) << file.c_str();
        }
        for (const CString& file : outside)
            EXPECT_FALSE(IsReadOnly(file)) << file.c_str();
        EXPECT_TRUE(Attributes(Path("sel\\hidden.txt")) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(Attributes(Path("sel\\system.txt")) & FILE_ATTRIBUTE_SYSTEM);

        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 2), "");
        for (const CString& file : inside)
            EXPECT_FALSE(IsReadOnly(file)) << file.c_str();
        EXPECT_TRUE(Attributes(Path("sel\\hidden.txt")) & FILE_ATTRIBUTE_HIDDEN);
    });
    EXPECT_TRUE(LogMessages().empty());
}

TEST_F(AttribChangeTest, DriveRowWithItsLabelShownWalksTheDrive) {
    ASSERT_TRUE(MakeFile(Path("ro\\f.txt"), 10));
    ASSERT_TRUE(SetFileAttributesW(Wide(Path("ro\\f.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    SetOption(m_dialog, kVolumeLabelFlag, true);
    RunMainWindow(m_dialog, "P", [&](HWND window) {
        Select(window, {"P:\\ [DATEN]"});
        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 1), "");
    });
    EXPECT_FALSE(IsReadOnly(Path("ro\\f.txt")));
}

TEST_F(AttribChangeTest, EntriesThatRefuseAreLoggedOnceEachAndReportedOnce) {
    // Beyond 260 characters, and a name outside any code page.
    CString deep = Path("sel\\");
    for (int level = 0; level < 4; ++level)
        deep += "ein_recht_langer_ordnername_fuer_einen_langen_pfad\\";
    const std::vector<CString> bad{Path("sel\\bad.txt"), Path("sel\\d1\\d2\\bad.txt"),
                                   deep + "Ωμέγα_日本語.txt"};
    const std::vector<CString> good{Path("sel\\good.txt"), Path("sel\\d1\\good.txt"),
                                    deep + "good.txt"};
    ASSERT_GT(bad[2].GetLength(), 260);
    for (const CString& file : bad)
        ASSERT_TRUE(MakeFile(file, 10));
    for (const CString& file : good)
        ASSERT_TRUE(MakeFile(file, 10));
    ASSERT_TRUE(MakeFile(Path("bad.txt"), 10));
    const auto makeBadImmutable = [&](const char* flag) {
        ASSERT_TRUE(Chattr(flag, Path(""), "bad.txt"));
        ASSERT_TRUE(Chattr(flag, Path("sel"), "bad.txt"));
        ASSERT_TRUE(Chattr(flag, Path("sel\\d1\\d2"), "bad.txt"));
        // The foreign name is reached through the shell's pattern, not typed.
        ASSERT_TRUE(Chattr(flag, deep, "*_*.txt"));
    };
    makeBadImmutable("+i");
    std::vector<std::string> expected;
    for (const CString& file : bad)
        expected.push_back("<The file could not be accessed.> \"" + file.str() + "\".");
    std::sort(expected.begin(), expected.end());
    CString setText, clearText;
    setText.Format(kBadText, "gesetzt");
    clearText.Format(kBadText, "entfernt");

    RunMainWindow(m_dialog, "P", [&](HWND window) {
        OpenRoot(window);
        Select(window, {"sel"});
        ChooseAndConfirm(window, ID_CTX_READONLY_SET);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 1), setText.str());
        for (size_t i = 0; i < bad.size(); ++i) {
            EXPECT_TRUE(IsReadOnly(good[i])) << good[i].c_str();
            EXPECT_FALSE(IsReadOnly(bad[i])) << bad[i].c_str();
        }
        EXPECT_EQ(LogMessages(), expected);
        // A selected file that refuses by itself is reported as well.
        Select(window, {"bad.txt"});
        ChooseAndConfirm(window, ID_CTX_READONLY_SET);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 2), setText.str());
        Select(window, {"sel"});

        // Read-only and refusing: clearing fails for them as setting did. Closed from
        // outside while the report is shown, the window goes with the report, although the
        // change thread waits behind it.
        makeBadImmutable("-i");
        for (const CString& file : bad)
            ASSERT_TRUE(SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_READONLY));
        makeBadImmutable("+i");
        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 3, true), clearText.str());
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
    });
    EXPECT_EQ(m_dialog.changesDone, 3);
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_FALSE(IsReadOnly(good[i])) << good[i].c_str();
        EXPECT_TRUE(IsReadOnly(bad[i])) << bad[i].c_str();
    }
    EXPECT_EQ(LogMessages().size(), 2 * bad.size() + 1);
}
