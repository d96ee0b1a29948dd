// "&Update suchen" against the test update server (update_server.py, which runs this
// program): the question, the offer, the download with its file, message and clipboard,
// and every way the server or the list can fail, with the message boxes read and
// answered as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>

#include "app/UsageDlg.h"
#include "classlib/WinText.h"
#include "log/LogFiles.h"
#include "log/TempFolder.h"
#include "res/resource.h"
#include "support/WindowDriver.h"

namespace {
const char kQuestion[] =
    "Sie können nun nach neueren Programmversionen im Internet suchen lassen.\nDafür müssen "
    "Sie allerdings mit dem Internet verbunden ('online') sein.\nWenn es eine neuere Version "
    "gibt, können Sie diese auch sofort herunter laden.\nDie ge'zip'te Datei liegt dann im "
    "gleichen Pfad wie dieses Programm.\n\nUpdates auf den Seiten der Tessaly suchen?";

CString Environment(const wchar_t* name) {
    wchar_t value[1024] = L"";
    GetEnvironmentVariableW(name, value, 1024);
    return Narrow(value);
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// Points the program at a scenario of the test server.
void UseScenario(const std::string& scenario) {
    const CString url = Environment(L"VOLDIX_TEST_SERVER") + scenario.c_str() + "/";
    SetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", Widen(url).c_str());
}

// The body that the test server sends for a download.
std::string DownloadBody() {
    std::string block("VOLDIX\r\n\x1a\x00", 10);
    for (int i = 0; i < 256; ++i)
        block += static_cast<char>(i);
    std::string body;
    for (int i = 0; i < 8; ++i)
        body += block;
    return body;
}

// The names of the files in a folder.
std::set<std::string> FolderListing(const CString& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(Narrow(found.cFileName).str());
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

enum class Icon { none, information, question, error, exclamation, other };

// A message box as a user sees it.
struct Box {
    HWND window = nullptr;
    CString caption;
    CString text;
    bool yesNo = false;
    Icon icon = Icon::none;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM param) {
    if (!IsWindowVisible(child) || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    Icon& kind = *reinterpret_cast<Icon*>(param);
    if (!icon)
        return TRUE;
    kind = icon == LoadIconW(nullptr, IDI_INFORMATION)   ? Icon::information
           : icon == LoadIconW(nullptr, IDI_QUESTION)    ? Icon::question
           : icon == LoadIconW(nullptr, IDI_ERROR)       ? Icon::error
           : icon == LoadIconW(nullptr, IDI_EXCLAMATION) ? Icon::exclamation
                                                         : Icon::other;
    return FALSE;
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    if (window != search->owner && IsWindowVisible(window) && wcscmp(className, L"#32770") == 0 &&
        GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Chooses "&Update suchen" from a thread of its own, so that the test can answer the
// boxes that the command shows while it runs.
class UpdateCommand {
  public:
    explicit UpdateCommand(HWND window)
        : m_window(window), m_thread([this] {
              SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_INFO_UPDATE, 0), 0);
              m_ended = true;
          }) {}
    ~UpdateCommand() {
        if (!m_ended)
            ADD_FAILURE() << "the update command did not end";
        // Boxes left open are closed so that the command can return.
        while (!WaitFor([&] { return m_ended.load(); }, 1000)) {
            BoxSearch search{m_window, nullptr};
            EnumThreadWindows(GetWindowThreadProcessId(m_window, nullptr), &FindBox,
                              reinterpret_cast<LPARAM>(&search));
            if (search.found)
                PostMessageW(search.found, WM_CLOSE, 0, 0);
        }
        m_thread.join();
    }
    UpdateCommand(const UpdateCommand&) = delete;
    UpdateCommand& operator=(const UpdateCommand&) = delete;

    // The next box of the command; false when the command ended without one.
    bool NextBox(Box& box, DWORD timeoutMs = 20000) {
        HWND found = nullptr;
        const bool seen = WaitFor(
            [&] {
                BoxSearch search{m_window, nullptr};
                EnumThreadWindows(GetWindowThreadProcessId(m_window, nullptr), &FindBox,
                                  reinterpret_cast<LPARAM>(&search));
                found = search.found;
                return found != nullptr || m_ended;
            },
            timeoutMs);
        if (!found) {
            if (!seen)
                ADD_FAILURE() << "neither a box nor the end of the command within " << timeoutMs
                              << " ms";
            return false;
        }
        Settle(found);
        box.window = found;
        box.caption = WindowTitle(found);
        box.text = WindowTitle(GetDlgItem(found, 0xFFFF));
        box.yesNo = GetDlgItem(found, IDYES) != nullptr && GetDlgItem(found, IDNO) != nullptr;
        box.icon = Icon::none;
        EnumChildWindows(found, &FindIcon, reinterpret_cast<LPARAM>(&box.icon));
        return true;
    }
    // Presses a button of the box and waits until the box has gone.
    void Answer(const Box& box, int id) {
        PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box.window); }, 10000)) << "box stays open";
    }
    // True when the command ends without showing another box.
    bool EndsQuietly() {
        Box box;
        if (!NextBox(box))
            return m_ended;
        ADD_FAILURE() << "unexpected box \"" << box.caption.str() << "\": " << box.text.str();
        Answer(box, IsWindowEnabled(GetDlgItem(box.window, IDOK)) ? IDOK : IDNO);
        return false;
    }

  private:
    HWND m_window;
    std::atomic<bool> m_ended{false};
    std::thread m_thread;
};

// Answers the question with Yes after checking it.
void PassQuestion(UpdateCommand& command) {
    Box box;
    ASSERT_TRUE(command.NextBox(box));
    EXPECT_EQ(box.caption, "Update suchen...");
    EXPECT_EQ(box.text, kQuestion);
    EXPECT_TRUE(box.yesNo);
    EXPECT_EQ(box.icon, Icon::information);
    command.Answer(box, IDYES);
}

// The offer, answered with answer; returns its text.
CString TakeOffer(UpdateCommand& command, int answer) {
    Box box;
    if (!command.NextBox(box)) {
        ADD_FAILURE() << "no offer";
        return CString();
    }
    EXPECT_EQ(box.caption, "Suche nach Updates...");
    EXPECT_TRUE(box.yesNo);
    EXPECT_EQ(box.icon, Icon::question);
    command.Answer(box, answer);
    return box.text;
}

// The error code of the download failure box.
CString TakeDownloadFailure(UpdateCommand& command) {
    Box box;
    if (!command.NextBox(box)) {
        ADD_FAILURE() << "no download failure";
        return CString();
    }
    EXPECT_EQ(box.caption, "Fehler beim Herunterladen");
    EXPECT_EQ(box.icon, Icon::error);
    command.Answer(box, IDOK);
    const CString prefix = "Die Datei konnte nicht herunter geladen werden.\nErrorcode: ";
    EXPECT_EQ(box.text.Left(prefix.GetLength()), prefix);
    return box.text.Mid(prefix.GetLength());
}

// Runs the main window for one test; the files of the program folder are checked to be
// as before at the end, apart from the names the test expects to change.
class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Environment(L"VOLDIX_TEST_SERVER").IsEmpty())
            << "run through tests/update/update_server.py";
        m_folder = GetProgramFolder();
        m_before = FolderListing(m_folder);
    }
    void TearDown() override { SetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", nullptr); }
    void ExpectFolderUnchanged(const std::set<std::string>& except = {}) {
        std::set<std::string> after = FolderListing(m_folder);
        for (const std::string& name : except) {
            after.erase(name);
            m_before.erase(name);
        }
        EXPECT_EQ(after, m_before) << "files came or went next to the program";
    }

    CString m_folder;
    std::set<std::string> m_before;
};
} // namespace

TEST_F(UpdateCheckTest, NoAnswersAndVersionsNotNewer) {
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        {
            UseScenario("v=1.0.0.22");
            UpdateCommand command(window);
            Box box;
            ASSERT_TRUE(command.NextBox(box));
            EXPECT_EQ(box.text, kQuestion);
            command.Answer(box, IDNO);
            EXPECT_TRUE(command.EndsQuietly());
        }
        // Equal, older, and a downgrade that is greater only in a later number.
        for (const char* version : {"1.0.0.21", "1.0.0.20", "0.9.9.0"}) {
            UseScenario(std::string("v=") + version);
            UpdateCommand command(window);
            PassQuestion(command);
            Box box;
            ASSERT_TRUE(command.NextBox(box)) << version;
            EXPECT_EQ(box.caption, "Suche nach Updates...");
            EXPECT_EQ(box.text, "Keine neuere Version vorhanden") << version;
            EXPECT_FALSE(box.yesNo);
            EXPECT_EQ(box.icon, Icon::none);
            command.Answer(box, IDOK);
            EXPECT_TRUE(command.EndsQuietly());
        }
        // A list without the program's record (the key differs in case) says nothing.
        UseScenario("key=Voldix");
        UpdateCommand command(window);
        PassQuestion(command);
        EXPECT_TRUE(command.EndsQuietly());
    });
    ExpectFolderUnchanged();
}

TEST_F(UpdateCheckTest, OfferNamesBothVersionsAndTheSize) {
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        for (const char* version : {"1.0.0.22", "1.0.1.3"}) {
            UseScenario(std::string("v=") + version + ",unit=1,size=350");
            UpdateCommand command(window);
            PassQuestion(command);
            EXPECT_EQ(TakeOffer(command, IDNO),
                      CString("Es existiert eine neuere Programm-Version:\nLokale Version:   "
                              "1.0.0.21\nAktuelle Version: ") +
                          version + "\nGröße: 350 KB\nHerunterladen ?");
            EXPECT_TRUE(command.EndsQuietly());
        }
        UseScenario("v=2.0.0.0,unit=7,size=12");
        UpdateCommand command(window);
        PassQuestion(command);
        EXPECT_EQ(TakeOffer(command, IDNO),
                  "Es existiert eine neuere Programm-Version:\nLokale Version:   1.0.0.21\n"
                  "Aktuelle Version: 2.0.0.0\nGröße: 12 ???\nHerunterladen ?");
        EXPECT_TRUE(command.EndsQuietly());
    });
    ExpectFolderUnchanged();
}

TEST_F(UpdateCheckTest, DownloadReplacesTheFileAndCopiesItsPath) {
    const CString target = m_folder + "voldix_neu.zip";
    WriteBytes(target, "an older download");
    m_before = FolderListing(m_folder);
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        // The record's folder field is empty: the file lies right below the base URL.
        UseScenario("v=1.0.0.22,path=,name=" + Hex("voldix_neu.zip"));
        UpdateCommand command(window);
        PassQuestion(command);
        TakeOffer(command, IDYES);
        Box box;
        ASSERT_TRUE(command.NextBox(box));
        EXPECT_EQ(box.caption, "Herunterladen erfolgreich");
        EXPECT_EQ(box.text, "Die neue Version (1.0.0.22) steht nun unter dem Pfad\n\"" + target +
                                "\"\nzur Verfügung.");
        EXPECT_EQ(box.icon, Icon::information);
        command.Answer(box, IDOK);
        EXPECT_TRUE(command.EndsQuietly());
    });
    EXPECT_EQ(ReadBytes(target), DownloadBody());
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    EXPECT_EQ(text ? Narrow(text) : CString("<no text>"), target);
    if (text)
        GlobalUnlock(data);
    CloseClipboard();
    ExpectFolderUnchanged();
    DeleteFileW(Widen(target).c_str());
}

TEST_F(UpdateCheckTest, FailedDownloadsLeaveTheOldFile) {
    const CString target = m_folder + "voldix_alt.zip";
    WriteBytes(target, "the file before");
    m_before = FolderListing(m_folder);
    const std::pair<const char*, const char*> cases[] = {
        {"dl=404", "Error: HTTP"},
        {"dl=cut", "Error: Übertragung unvollständig"},
        {"dl=big", "Error: Datei zu groß"},
    };
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        for (const auto& c : cases) {
            UseScenario(std::string(c.first) + ",name=" + Hex("voldix_alt.zip"));
            UpdateCommand command(window);
            PassQuestion(command);
            TakeOffer(command, IDYES);
            EXPECT_EQ(TakeDownloadFailure(command), c.second) << c.first;
            EXPECT_TRUE(command.EndsQuietly());
        }
    });
    EXPECT_EQ(ReadBytes(target), "the file before");

    // A complete download that cannot replace a write-protected file.
    SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_READONLY);
    CUsageDlg again;
    RunDialog(again, [&](HWND window) {
        UseScenario("name=" + Hex("voldix_alt.zip"));
        UpdateCommand command(window);
        PassQuestion(command);
        TakeOffer(command, IDYES);
        EXPECT_EQ(TakeDownloadFailure(command),
                  "Die Datei '" + target + "' konnte nicht zum Schreiben geöffnet werden.");
        EXPECT_TRUE(command.EndsQuietly());
    });
    SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(target), "the file before");
    ExpectFolderUnchanged();
    DeleteFileW(Widen(target).c_str());
}

TEST_F(UpdateCheckTest, HostileFileNamesAreRefused) {
    const std::pair<std::string, const char*> names[] = {
        {"..\\evil.zip", "Ungültiger Dateiname: Pfadangabe"},
        {"../evil.zip", "Ungültiger Dateiname: Pfadangabe"},
        {"C:evil.zip", "Ungültiger Dateiname: Pfadangabe"},
        {"..", "Ungültiger Dateiname: nur Punkte"},
        {"evil.zip.", "Ungültiger Dateiname: Punkt oder Leerzeichen am Ende"},
        {"evil.zip ", "Ungültiger Dateiname: Punkt oder Leerzeichen am Ende"},
        {"CON", "Ungültiger Dateiname: Gerätename"},
        {"nul.zip", "Ungültiger Dateiname: Gerätename"},
        {"TEST_UPDATE_FLOW.EXE", "Ungültiger Dateiname: Name dieses Programms"},
        {"evil\x01.zip", "Ungültiger Dateiname: Steuerzeichen"},
        {"none", "Ungültiger Dateiname: leer"},
    };
    const CString parent = m_folder.Left(m_folder.GetLength() - 1);
    const std::set<std::string> parentBefore =
        FolderListing(parent.Left(parent.ReverseFind('\\') + 1));
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        for (const auto& name : names) {
            UseScenario("name=" + (name.first == "none" ? name.first : Hex(name.first)));
            UpdateCommand command(window);
            PassQuestion(command);
            TakeOffer(command, IDYES);
            EXPECT_EQ(TakeDownloadFailure(command), name.second) << name.first;
            EXPECT_TRUE(command.EndsQuietly());
        }
    });
    ExpectFolderUnchanged();
    EXPECT_EQ(FolderListing(parent.Left(parent.ReverseFind('\\') + 1)), parentBefore);
}

TEST_F(UpdateCheckTest, ListFailuresEndQuietlyOrWithTheErrorBox) {
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        // Status 404, and a list that never ends (cut at its limit): nothing is shown.
        for (const char* scenario : {"list=404", "list=endless"}) {
            UseScenario(scenario);
            UpdateCommand command(window);
            PassQuestion(command);
            EXPECT_TRUE(command.EndsQuietly()) << scenario;
        }
        // No server, and one that never answers: the error box of the transfer.
        const std::string closed =
            "http://127.0.0.1:" + Environment(L"VOLDIX_TEST_CLOSED_PORT").str() + "/";
        for (const char* scenario : {"closed", "list=silent"}) {
            if (std::string(scenario) == "closed")
                SetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", Widen(closed.c_str()).c_str());
            else
                UseScenario(scenario);
            UpdateCommand command(window);
            PassQuestion(command);
            const DWORD start = GetTickCount();
            Box box;
            ASSERT_TRUE(command.NextBox(box, 90000)) << scenario;
            const DWORD waited = GetTickCount() - start;
            EXPECT_EQ(box.caption, "test_update_flow");
            EXPECT_EQ(box.icon, Icon::exclamation);
            EXPECT_FALSE(box.text.IsEmpty());
            // A silent server is given up after the receive timeout of 15 s, not later.
            if (std::string(scenario) == "list=silent") {
                EXPECT_GE(waited, 14000u);
                EXPECT_LT(waited, 60000u);
            }
            command.Answer(box, IDOK);
            EXPECT_TRUE(command.EndsQuietly()) << scenario;
        }
    });
    ExpectFolderUnchanged();
}
