// The bulk read-only change through the real main window, on fixture trees: what changes,
// what stays, the failures in the log and the message, and the window unlocked after.
// Wine keeps no read-only bit on folders, so the files tell whether a folder was walked.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "attrib/AttribChange.h"
#include "classlib/WinText.h"
#include "log/LogFiles.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
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

struct Times {
    FILETIME created, accessed, written;
    bool operator==(const Times& o) const {
        return CompareFileTime(&created, &o.created) == 0 &&
               CompareFileTime(&accessed, &o.accessed) == 0 &&
               CompareFileTime(&written, &o.written) == 0;
    }
};

Times TimesOf(const CString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data);
    return {data.ftCreationTime, data.ftLastAccessTime, data.ftLastWriteTime};
}

// Gives a file times far in the past, so that a change that wrote the time shows.
void MakeOld(const CString& path) {
    HANDLE file = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path.c_str();
    SYSTEMTIME old{2001, 2, 0, 3, 4, 5, 6, 0};
    FILETIME time;
    SystemTimeToFileTime(&old, &time);
    SetFileTime(file, &time, &time, &time);
    CloseHandle(file);
}

// Makes the files that a shell pattern matches in folder immutable or not; an immutable
// file refuses every attribute change, also to root.
bool SetImmutable(const CString& folder, const char* pattern, bool immutable) {
    const std::string unix = UnixPath(folder);
    return !unix.empty() && RunUnix(std::wstring(L"chattr ") + (immutable ? L"+i" : L"-i") + L" '" +
                                    Widen(unix.c_str()) + L"'/" + Widen(pattern));
}

// Makes everything below folder changeable again, so that it can be removed.
void ReleaseTree(const CString& folder) {
    const std::string unix = UnixPath(folder);
    if (!unix.empty())
        RunUnix(L"chattr -R -i '" + Widen(unix.c_str()) + L"' 2>/dev/null");
}

std::vector<std::string> LogLines(const CString& path) {
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string content(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    CloseHandle(file);
    content.resize(read);
    for (size_t start = 0, end; (end = content.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(content.substr(start, end - start));
    return lines;
}

// The message of a log line, after "<date time>: ".
std::string Message(const std::string& line) {
    const size_t colon = line.find(">: ");
    return colon == std::string::npos ? line : line.substr(colon + 3);
}

int RowOf(CUsageDlg& dialog, const char* name) {
    for (int i = 0; i < dialog.m_list.GetItemCount(); ++i)
        if (dialog.m_list.GetItemText(i, 0) == name)
            return i;
    return -1;
}

bool ButtonsEnabled(HWND window) {
    return IsWindowEnabled(GetDlgItem(window, IDC_BACK)) &&
           IsWindowEnabled(GetDlgItem(window, IDC_RESTART));
}

// Double-clicks a row and waits until the scan of that folder has ended.
void Open(CUsageDlg& dialog, HWND window, const char* name, const CString& title) {
    const int row = RowOf(dialog, name);
    ASSERT_GE(row, 0) << name;
    RECT rect{LVIR_LABEL, 0, 0, 0};
    HWND list = GetDlgItem(window, IDC_LIST);
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    ASSERT_TRUE(
        WaitFor([&] { return WindowTitle(window) == title && ButtonsEnabled(window); }, 60000))
        << title.c_str();
    Settle(window);
}

void Select(CUsageDlg& dialog, const std::vector<const char*>& names) {
    dialog.m_list.SetItemState(-1, 0, LVIS_SELECTED);
    for (const char* name : names) {
        const int row = RowOf(dialog, name);
        ASSERT_GE(row, 0) << name;
        dialog.m_list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

struct OwnedSearch {
    HWND owner;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM param) {
    OwnedSearch* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
        WindowTitle(window) == search->title) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible window owned by owner with the given title, or null.
HWND OwnedWindow(HWND owner, const char* title) {
    OwnedSearch search{owner, title, nullptr};
    EnumWindows(&FindOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Chooses a read-only command and answers "&Ja"; the change runs afterwards.
void ChooseAndConfirm(HWND window, UINT command) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    HWND question = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (question = OwnedWindow(window, "Bitte bestätigen")) != nullptr; }));
    Settle(question);
    ClickButton(question, IDC_CONFIRM_YES);
}

// Waits until the change has ended; a report that comes up meanwhile is read, closed, and
// its text returned.
std::string WaitForEnd(WatchedDlg& dialog, HWND window, int done) {
    std::string report;
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
            if (!box && (box = OwnedWindow(window, "Fehlermeldung"))) {
                Settle(box);
                report = WindowTitle(GetDlgItem(box, IDC_ERROR_TEXT)).str();
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
            }
            return dialog.changesDone == done;
        },
        120000));
    Settle(window);
    EXPECT_TRUE(ButtonsEnabled(window));
    EXPECT_TRUE(dialog.m_ready);
    EXPECT_FALSE(dialog.m_list.IsBusy());
    return report;
}

// Each test works in a folder of its own on P:, removed before and after.
class AttribChangeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = CString("P:\\attrib_") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        Clean();
        ASSERT_TRUE(MakeFolder(m_root));
        AllowOnlyLetters(m_dialog, "P");
        DeleteFileW(Widen(LogPath()).c_str());
    }
    void TearDown() override { Clean(); }
    void Clean() {
        if (!m_mounted.IsEmpty())
            Unmount(m_mounted);
        m_mounted.Empty();
        ReleaseTree(m_root);
        RemoveTree(m_root);
    }
    CString Path(const char* relative) const { return m_root + relative; }
    static CString LogPath() { return GetProgramFolder() + "Voldix.log"; }
    // Opens the test's folder in the window.
    void OpenRoot(HWND window) {
        Open(m_dialog, window, "P:\\", "P:\\");
        Open(m_dialog, window, m_root.Mid(3, m_root.GetLength() - 4).c_str(), m_root);
    }

    WatchedDlg m_dialog;
    CString m_root;
    CString m_mounted;
};

// A folder chain that takes the path beyond 260 characters, ending in a name outside any
// code page.
const char kLongChain[] =
    "ein_recht_langer_ordnername_fuer_lange_pfade_000\\ein_recht_langer_ordnername_fuer_"
    "lange_pfade_001\\ein_recht_langer_ordnername_fuer_lange_pfade_002\\ein_recht_langer_"
    "ordnername_fuer_lange_pfade_003\\ein_recht_langer_ordnername_fuer_lange_pfade_004\\";
const char kForeignName[] = "Ωμέγα_日本語.txt";
} // namespace

TEST(ReadOnlyAttributes, OnlyTheReadOnlyBitFollowsTheMode) {
    const DWORD higher = FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_TEMPORARY |
                         FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(ReadOnlyAttributes(higher, AttribSet), higher | FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadOnlyAttributes(higher | FILE_ATTRIBUTE_READONLY, AttribClear), higher);
    EXPECT_EQ(ReadOnlyAttributes(FILE_ATTRIBUTE_READONLY, AttribSet), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ReadOnlyAttributes(0, AttribClear), 0u);
}

TEST_F(AttribChangeTest, SelectedRowsChangeEverythingBelowThemAndNothingElse) {
    const CString longFile = Path("sel\\") + kLongChain + kForeignName;
    ASSERT_GT(longFile.GetLength(), 260);
    const std::vector<CString> inside{
        Path("sel\\a.txt"),     Path("sel\\hidden.txt"),           Path("sel\\system.txt"),
        Path("sel\\d1\\b.txt"), Path("sel\\d1\\d2\\d3\\deep.txt"), longFile,
        Path("single.txt")};
    const std::vector<CString> outside{Path("other.txt"), Path("other\\x.txt"),
                                       Path("outside\\o.txt")};
    for (const CString& file : inside)
        ASSERT_TRUE(MakeFile(file, 10)) << file.c_str();
    for (const CString& file : outside)
        ASSERT_TRUE(MakeFile(file, 10)) << file.c_str();
    ASSERT_TRUE(SetFileAttributesW(Wide(Path("sel\\hidden.txt")).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(Wide(Path("sel\\system.txt")).c_str(), FILE_ATTRIBUTE_SYSTEM));
    const std::vector<CString> old{Path("sel\\a.txt"), Path("sel\\d1\\d2\\d3\\deep.txt"),
                                   Path("single.txt")};
    for (const CString& file : old)
        MakeOld(file);
    std::vector<Times> before;
    for (const CString& file : old)
        before.push_back(TimesOf(file));
    // A link to a folder beside the selection, and one back up: neither is followed.
    ASSERT_TRUE(MakeUnixSymlink(Path("sel\\d1\\side"), "../../outside"));
    ASSERT_TRUE(MakeUnixSymlink(Path("sel\\d1\\up"), "../.."));
    // A loop the file system does not mark: a bind mount of the folder above the selection.
    ASSERT_TRUE(MakeFolder(Path("sel\\d1\\loop")));
    if (BindMount(m_root, Path("sel\\d1\\loop")))
        m_mounted = Path("sel\\d1\\loop");

    RunDialog(m_dialog, [&](HWND window) {
        OpenRoot(window);
        Select(m_dialog, {"sel", "single.txt"});
        ChooseAndConfirm(window, ID_CTX_READONLY_SET);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 1), "");
        for (const CString& file : inside)
            EXPECT_TRUE(IsReadOnly(file)) << file.c_str();
        for (const CString& file : outside)
            EXPECT_FALSE(IsReadOnly(file)) << file.c_str();
        EXPECT_TRUE(Attributes(Path("sel\\hidden.txt")) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(Attributes(Path("sel\\system.txt")) & FILE_ATTRIBUTE_SYSTEM);
        for (size_t i = 0; i < old.size(); ++i)
            EXPECT_TRUE(TimesOf(old[i]) == before[i]) << old[i].c_str();

        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 2), "");
        for (const CString& file : inside)
            EXPECT_FALSE(IsReadOnly(file)) << file.c_str();
        EXPECT_TRUE(Attributes(Path("sel\\hidden.txt")) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(Attributes(Path("sel\\system.txt")) & FILE_ATTRIBUTE_SYSTEM);
    });
    EXPECT_TRUE(LogLines(LogPath()).empty());
}

TEST_F(AttribChangeTest, DriveRowWithItsLabelShownWalksTheDrive) {
    ASSERT_TRUE(MakeFile(Path("ro\\f.txt"), 10));
    ASSERT_TRUE(SetFileAttributesW(Wide(Path("ro\\f.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
    m_dialog.m_showVolumeLabel = true;
    RunDialog(m_dialog, [&](HWND window) {
        ASSERT_EQ(m_dialog.m_list.GetItemText(0, 0), CString("P:\\ [") + kFixedLabel + "]");
        m_dialog.m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 1), "");
    });
    EXPECT_FALSE(IsReadOnly(Path("ro\\f.txt")));
}

TEST_F(AttribChangeTest, EntriesThatRefuseAreLoggedOnceEachAndReportedOnce) {
    const CString longFolder = Path("sel\\") + kLongChain;
    const std::vector<CString> bad{Path("sel\\bad.txt"), Path("sel\\d1\\d2\\bad2.txt"),
                                   longFolder + kForeignName};
    const std::vector<CString> good{Path("sel\\good.txt"), Path("sel\\d1\\good2.txt"),
                                    longFolder + "good3.txt"};
    for (const CString& file : bad)
        ASSERT_TRUE(MakeFile(file, 10)) << file.c_str();
    for (const CString& file : good)
        ASSERT_TRUE(MakeFile(file, 10)) << file.c_str();
    const auto makeBadImmutable = [&](bool immutable) {
        ASSERT_TRUE(SetImmutable(Path("sel"), "bad.txt", immutable));
        ASSERT_TRUE(SetImmutable(Path("sel\\d1\\d2"), "bad2.txt", immutable));
        // The foreign name is reached through the shell's pattern, not typed.
        ASSERT_TRUE(SetImmutable(longFolder, "*_*.txt", immutable));
    };
    makeBadImmutable(true);
    std::vector<std::string> expected;
    for (const CString& file : bad)
        expected.push_back("<The file could not be accessed.> \"" + file.str() + "\".");

    RunDialog(m_dialog, [&](HWND window) {
        OpenRoot(window);
        Select(m_dialog, {"sel"});
        ChooseAndConfirm(window, ID_CTX_READONLY_SET);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 1),
                  "Bei mindestens einer Datei konnte der Schreibschutz nicht gesetzt werden.\n"
                  "Bitte überprüfen Sie das Fehler-Protokoll.");
        for (const CString& file : good)
            EXPECT_TRUE(IsReadOnly(file)) << file.c_str();
        for (const CString& file : bad)
            EXPECT_FALSE(IsReadOnly(file)) << file.c_str();
        std::vector<std::string> lines = LogLines(LogPath());
        ASSERT_EQ(lines.size(), bad.size());
        std::vector<std::string> messages;
        for (const std::string& line : lines) {
            EXPECT_EQ(line[0], '<') << line;
            messages.push_back(Message(line));
        }
        std::sort(messages.begin(), messages.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(messages, expected);

        // Read-only and refusing: clearing fails for them as setting did.
        makeBadImmutable(false);
        for (const CString& file : bad)
            ASSERT_TRUE(SetFileAttributesW(Wide(file).c_str(), FILE_ATTRIBUTE_READONLY));
        makeBadImmutable(true);
        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        EXPECT_EQ(WaitForEnd(m_dialog, window, 2),
                  "Bei mindestens einer Datei konnte der Schreibschutz nicht entfernt werden.\n"
                  "Bitte überprüfen Sie das Fehler-Protokoll.");
        for (const CString& file : good)
            EXPECT_FALSE(IsReadOnly(file)) << file.c_str();
        for (const CString& file : bad)
            EXPECT_TRUE(IsReadOnly(file)) << file.c_str();
        EXPECT_EQ(LogLines(LogPath()).size(), 2 * bad.size());

        // Closed from outside while the report is shown: the report goes, and so does the
        // window, whose change thread waits behind the report.
        ChooseAndConfirm(window, ID_CTX_READONLY_CLEAR);
        HWND report = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (report = OwnedWindow(window, "Fehlermeldung")) != nullptr; }));
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }));
    });
    EXPECT_EQ(m_dialog.changesDone, 3);
}
