// "&Update suchen" against the test update server (update_server.py, which runs this
// program): the question, the offer, the download with its file, message and clipboard,
// and the ways the server, the list, the signature or the certificate can fail, with
// the message boxes read and answered as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <wincrypt.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/UsageDlg.h"
#include "classlib/WinApp.h"
#include "classlib/WinText.h"
#include "res/resource.h"
#include "support/FixtureTree.h"
#include "support/ScratchFolder.h"
#include "support/WindowDriver.h"
#include "update/UpdateCheck.h"
#include "update/UpdateSignature.h"

namespace {
const char kQuestion[] =
    "Sie können nun nach neueren Programmversionen im Internet suchen lassen.\nDafür müssen "
    "Sie allerdings mit dem Internet verbunden ('online') sein.\nWenn es eine neuere Version "
    "gibt, können Sie diese auch sofort herunter laden.\nDie ge'zip'te Datei liegt dann im "
    "gleichen Pfad wie dieses Programm.\n\nUpdates auf den Seiten der Tessaly suchen?";
const char kCheck[] = "Suche nach Updates...";
const char kFailed[] = "Fehler beim Herunterladen";
const char kErrorCode[] = "Die Datei konnte nicht herunter geladen werden.\nErrorcode: ";

CString Environment(const wchar_t* name) {
    wchar_t value[1024] = L"";
    GetEnvironmentVariableW(name, value, 1024);
    return Narrow(value);
}

// The URL of a scenario of the test server; a file name goes there as hex.
CString ScenarioUrl(const std::string& scenario, const std::string& fileName = "update.zip",
                    const wchar_t* server = L"VOLDIX_TEST_SERVER") {
    std::string hex = fileName.empty() ? "none" : "";
    for (unsigned char c : fileName)
        hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return Environment(server) + (scenario + ",name=" + hex + "/").c_str();
}

// Points the program at a scenario of the test server.
void UseScenario(const std::string& scenario, const std::string& fileName = "update.zip",
                 const wchar_t* server = L"VOLDIX_TEST_SERVER") {
    const CString url = ScenarioUrl(scenario, fileName, server);
    SetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", Widen(url).c_str());
}

// The test CA in the current user's trusted roots of the test prefix, for as long as
// this lives.
class TrustedTestCa {
  public:
    TrustedTestCa() {
        std::vector<unsigned char> der(Environment(L"VOLDIX_TEST_CA").GetLength() / 2);
        EXPECT_TRUE(!der.empty() &&
                    DecodeHex(Environment(L"VOLDIX_TEST_CA"), der.data(), der.size()));
        m_store =
            CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
        EXPECT_TRUE(m_store &&
                    CertAddEncodedCertificateToStore(
                        m_store, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                        CERT_STORE_ADD_REPLACE_EXISTING, &m_certificate))
            << "test CA not trusted, error " << GetLastError();
        // Written to the registry, where the system's chain engine reads it, only now.
        EXPECT_TRUE(m_store && CertControlStore(m_store, 0, CERT_STORE_CTRL_COMMIT, nullptr));
    }
    ~TrustedTestCa() {
        if (m_certificate)
            CertDeleteCertificateFromStore(m_certificate);
        if (m_store && CertControlStore(m_store, 0, CERT_STORE_CTRL_COMMIT, nullptr))
            CertCloseStore(m_store, 0);
    }
    TrustedTestCa(const TrustedTestCa&) = delete;
    TrustedTestCa& operator=(const TrustedTestCa&) = delete;

  private:
    HCERTSTORE m_store = nullptr;
    PCCERT_CONTEXT m_certificate = nullptr;
};

// The body that the test server sends for a download.
std::string DownloadBody() {
    std::string block("VOLDIX\r\n\x1a\x00", 10), body;
    for (int i = 0; i < 256; ++i)
        block += static_cast<char>(i);
    for (int i = 0; i < 8; ++i)
        body += block;
    return body;
}

// The names in a folder.
std::set<std::string> FolderListing(const CString& folder) {
    const std::vector<std::string> names = FolderNames(folder);
    return std::set<std::string>(names.begin(), names.end());
}

// Chooses "&Update suchen" from a thread of its own, so that the test can read and
// answer the boxes that the command shows while it runs.
class UpdateCommand {
  public:
    explicit UpdateCommand(HWND window)
        : m_window(window), m_thread([this] {
              SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(ID_INFO_UPDATE, 0), 0);
              m_ended = true;
          }) {}
    ~UpdateCommand() {
        EXPECT_TRUE(m_ended) << "the update command did not end";
        // Boxes left open are closed so that the command can return.
        for (HWND box; !WaitFor([&] { return m_ended.load(); }, 1000);)
            if ((box = FindOwnBox()) != nullptr)
                PostMessageW(box, WM_CLOSE, 0, 0);
        m_thread.join();
    }
    UpdateCommand(const UpdateCommand&) = delete;
    UpdateCommand& operator=(const UpdateCommand&) = delete;

    // Waits for the next box, checks its caption and buttons, answers it and returns its
    // text; "<none>" when the command ended without one.
    CString Answer(const char* caption, int answer, DWORD timeoutMs = 20000) {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = FindOwnBox()) != nullptr || m_ended; }, timeoutMs))
            ADD_FAILURE() << "neither a box nor the end of the command in " << timeoutMs << " ms";
        if (!box)
            return "<none>";
        Settle(box);
        EXPECT_EQ(WindowTitle(box), caption);
        EXPECT_NE(GetDlgItem(box, answer), nullptr) << "no button " << answer;
        const CString text = ItemText(box, 0xFFFF);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 10000)) << "box stays open";
        return text;
    }
    // Answers the question with Yes.
    void Start() { EXPECT_EQ(Answer("Update suchen...", IDYES), kQuestion); }
    // True when the command ends without another box.
    bool EndsQuietly() { return Answer("", IDOK) == "<none>"; }

  private:
    HWND FindOwnBox() const { return FindOwnWindowOfClass(L"#32770", m_window); }

    HWND m_window;
    std::atomic<bool> m_ended{false};
    std::thread m_thread;
};

// Runs with the server; the files next to the program must be as before at the end.
class UpdateCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(Environment(L"VOLDIX_TEST_SERVER").IsEmpty())
            << "run through tests/update/update_server.py";
        // A list or a download's temporary file left by a failed run would count as before.
        for (const std::string& name : FolderListing(m_folder))
            if (name == "_updates.txt" || name.rfind("vdx", 0) == 0)
                DeleteFileW(Widen(m_folder + name.c_str()).c_str());
        m_before = FolderListing(m_folder);
    }
    void TearDown() override {
        EXPECT_EQ(FolderListing(m_folder), m_before) << "files came or went next to the program";
        SetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", nullptr);
    }

    const CString m_folder = GetProgramFolder();
    std::set<std::string> m_before;
};
} // namespace

TEST_F(UpdateCheckTest, QuestionVersionsAndOffer) {
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        {
            UseScenario("v=1.0.0.22");
            UpdateCommand command(window);
            EXPECT_EQ(command.Answer("Update suchen...", IDNO), kQuestion);
            EXPECT_TRUE(command.EndsQuietly());
        }
        // Equal, older, and a downgrade greater only in a later number: not newer.
        for (const char* version : {"1.0.0.21", "1.0.0.20", "0.9.9.0"}) {
            UseScenario(std::string("v=") + version);
            UpdateCommand command(window);
            command.Start();
            EXPECT_EQ(command.Answer(kCheck, IDOK), "Keine neuere Version vorhanden") << version;
            EXPECT_TRUE(command.EndsQuietly());
        }
        // No record with the key (it differs in case): nothing is said.
        UseScenario("key=Voldix");
        UpdateCommand noRecord(window);
        noRecord.Start();
        EXPECT_TRUE(noRecord.EndsQuietly());

        const std::pair<const char*, const char*> offers[] = {
            {"v=1.0.0.22,unit=1,size=350", "1.0.0.22\nGröße: 350 KB"},
            {"v=1.0.1.3,unit=7,size=12", "1.0.1.3\nGröße: 12 ???"}};
        for (const auto& offer : offers) {
            UseScenario(offer.first);
            UpdateCommand command(window);
            command.Start();
            EXPECT_EQ(command.Answer(kCheck, IDNO),
                      CString("Es existiert eine neuere Programm-Version:\nLokale Version:   "
                              "1.0.0.21\nAktuelle Version: ") +
                          offer.second + "\nHerunterladen ?");
            EXPECT_TRUE(command.EndsQuietly());
        }
    });
}

TEST_F(UpdateCheckTest, DownloadReplacesTheFileAndCopiesItsPath) {
    const CString target = m_folder + "voldix_neu.zip";
    WriteBytes(target, "an older download");
    // Left by a download that was ended by force: gone after the check.
    WriteBytes(m_folder + "vdx1f.tmp", "part of a download");
    m_before = FolderListing(m_folder);
    m_before.erase("vdx1f.tmp");
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        // No folder in the record: the file lies right below the base URL, via a redirect.
        UseScenario("v=1.0.0.22,path=,dl=hop", "voldix_neu.zip");
        UpdateCommand command(window);
        command.Start();
        command.Answer(kCheck, IDYES);
        EXPECT_EQ(command.Answer("Herunterladen erfolgreich", IDOK),
                  "Die neue Version (1.0.0.22) steht nun unter dem Pfad\n\"" + target +
                      "\"\nzur Verfügung.");
        EXPECT_TRUE(command.EndsQuietly());
    });
    EXPECT_EQ(ReadBytes(target), DownloadBody());
    EXPECT_EQ(ClipboardText(), target.str());
    DeleteFileW(Widen(target).c_str());
    m_before.erase("voldix_neu.zip");
}

TEST_F(UpdateCheckTest, FailedDownloadsLeaveNothingAndTheOldFile) {
    const CString target = m_folder + "voldix_alt.zip";
    WriteBytes(target, "the file before");
    m_before = FolderListing(m_folder);
    const std::string openFailed =
        "Die Datei '" + target.str() + "' konnte nicht zum Schreiben geöffnet werden.";
    const std::pair<const char*, std::string> cases[] = {
        {"dl=404", "Error: HTTP"},
        {"dl=loop", "Error: HTTP 302"},
        {"dl=cut", "Error: Übertragung unvollständig"},
        {"dl=big", "Error: Datei zu groß"},
        {"sig=none", "Error: Signatur ungültig"},
        {"sig=moved", "Error: Signatur ungültig"},
        {"dl=tampered", "Error: Signatur ungültig"},
        {"write-protected", openFailed},
    };
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        for (const auto& c : cases) {
            if (c.second == openFailed)
                SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_READONLY);
            UseScenario(c.first, "voldix_alt.zip");
            UpdateCommand command(window);
            command.Start();
            command.Answer(kCheck, IDYES);
            EXPECT_EQ(command.Answer(kFailed, IDOK), kErrorCode + c.second) << c.first;
            EXPECT_TRUE(command.EndsQuietly());
        }
    });
    SetFileAttributesW(Widen(target).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(target), "the file before");
    DeleteFileW(Widen(target).c_str());
    m_before.erase("voldix_alt.zip");
}

TEST_F(UpdateCheckTest, BodyWithoutALengthEndsAtItsCap) {
    UseScenario("list=endless");
    CString error;
    EXPECT_FALSE(HttpDownload(UpdateBaseUrl() + "Updates/_updates.txt", m_folder + "_updates.txt",
                              error, kUpdateListLimit, nullptr, kListTimeLimitMs));
    EXPECT_EQ(error.str(), "Error: Datei zu groß");
}

TEST_F(UpdateCheckTest, HostileFileNamesAreRefused) {
    // A path, the log, an 8.3 alias, a program shown as "rechnungexe.zip", a device.
    const std::pair<std::string, const char*> names[] = {
        {"..\\evil.zip", "Pfadangabe"},
        {"Voldix.log", "keine ZIP-Datei"},
        {"VOLDIX~1.ZIP", "unzulässiges Zeichen"},
        {"rechnung\xE2\x80\xAEpiz.exe", "unzulässiges Zeichen"},
        {"setup.exe", "keine ZIP-Datei"},
        {"nul.zip", "Gerätename"},
        {"", "leer"},
    };
    const CString parent = m_folder.Left(m_folder.Left(m_folder.GetLength() - 1).ReverseFind('\\'));
    const std::set<std::string> parentBefore = FolderListing(parent + "\\");
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        for (const auto& name : names) {
            UseScenario("v=1.0.0.22", name.first);
            UpdateCommand command(window);
            command.Start();
            command.Answer(kCheck, IDYES);
            EXPECT_EQ(command.Answer(kFailed, IDOK),
                      CString(kErrorCode) + "Ungültiger Dateiname: " + name.second)
                << name.first;
            EXPECT_TRUE(command.EndsQuietly());
        }
    });
    EXPECT_EQ(FolderListing(parent + "\\"), parentBefore);
}

TEST_F(UpdateCheckTest, ListFailuresEndQuietlyOrWithTheErrorBox) {
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        // Status 404, a list that never ends (cut at its limit), and lists without a
        // record: nothing is shown, and no list is left behind.
        for (const char* scenario : {"list=404", "list=endless", "list=empty", "list=comments"}) {
            UseScenario(scenario);
            UpdateCommand command(window);
            command.Start();
            EXPECT_TRUE(command.EndsQuietly()) << scenario;
        }
        // No server, and one that never answers: the error box of the transfer, the
        // latter after the receive timeout of 15 s.
        for (const char* scenario : {"closed", "list=silent"}) {
            UseScenario(scenario);
            if (std::string(scenario) == "closed") {
                const CString closed =
                    "http://127.0.0.1:" + Environment(L"VOLDIX_TEST_CLOSED_PORT") + "/";
                SetEnvironmentVariableW(L"VOLDIX_UPDATE_URL", Widen(closed).c_str());
            }
            UpdateCommand command(window);
            command.Start();
            const DWORD start = GetTickCount();
            EXPECT_NE(command.Answer("test_update_flow", IDOK, 90000), "<none>") << scenario;
            if (std::string(scenario) == "list=silent") {
                EXPECT_GE(GetTickCount() - start, 14000u);
                EXPECT_LT(GetTickCount() - start, 60000u);
            }
            EXPECT_TRUE(command.EndsQuietly()) << scenario;
        }
    });
}

TEST_F(UpdateCheckTest, HttpsNeedsACertificateTheSystemTrusts) {
    TrustedTestCa trust;
    const CString target = m_folder + "https_neu.zip";
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        {
            UseScenario("v=1.0.0.22", "https_neu.zip", L"VOLDIX_TEST_HTTPS");
            UpdateCommand command(window);
            command.Start();
            command.Answer(kCheck, IDYES);
            EXPECT_EQ(command.Answer("Herunterladen erfolgreich", IDOK).Left(15),
                      "Die neue Versio");
            EXPECT_TRUE(command.EndsQuietly());
        }
        // A redirect to plain HTTP is not followed.
        {
            UseScenario("v=1.0.0.22,dl=to-http", "https_neu.zip", L"VOLDIX_TEST_HTTPS");
            UpdateCommand command(window);
            command.Start();
            command.Answer(kCheck, IDYES);
            EXPECT_EQ(command.Answer(kFailed, IDOK), CString(kErrorCode) + "Error: HTTP 302");
            EXPECT_TRUE(command.EndsQuietly());
        }
        // Another CA, another name, out of date: the list is refused with the system's
        // reason in the transfer's error box, and nothing is downloaded.
        for (const wchar_t* server : {L"VOLDIX_TEST_HTTPS_UNTRUSTED", L"VOLDIX_TEST_HTTPS_NAME",
                                      L"VOLDIX_TEST_HTTPS_EXPIRED"}) {
            UseScenario("v=1.0.0.22", "https_neu.zip", server);
            UpdateCommand command(window);
            command.Start();
            const CString reason = command.Answer("test_update_flow", IDOK);
            EXPECT_TRUE(reason != "<none>" && reason.Find("Keine Fehlermeldung") < 0) << reason;
            // Wine has no text of its own for an untrusted CA: the program's reason shows.
            if (wcscmp(server, L"VOLDIX_TEST_HTTPS_UNTRUSTED") == 0) {
                EXPECT_EQ(reason, CString("Das Zertifikat des Servers stammt von keiner "
                                          "vertrauenswürdigen Stelle. (Fehler 12045)"));
            }
            EXPECT_TRUE(command.EndsQuietly()) << Narrow(server);
        }
    });
    EXPECT_TRUE(ReadBytes(target) == DownloadBody()) << "no download over HTTPS";
    DeleteFileW(Widen(target).c_str());
}

TEST_F(UpdateCheckTest, ATricklingServerRunsOutOfTime) {
    CString errorText;
    const CString target = m_folder + "trickle.zip";
    // 2 s in all; the server needs 425 s for the 2,128 bytes it announces.
    EXPECT_FALSE(HttpDownload(ScenarioUrl("dl=trickle") + "files/trickle.zip", target, errorText,
                              kDownloadLimit, nullptr, 2000));
    EXPECT_EQ(errorText, "Error: Zeitüberschreitung");
    // The worker, given up, deletes its temporary file when it ends.
    EXPECT_TRUE(WaitFor([&] { return FolderListing(m_folder) == m_before; }, 20000));
}

TEST_F(UpdateCheckTest, AServerHoldingItsHeadersHoldsNeitherTheWindowNorTheProgram) {
    SetTransferTimeLimits(3000, 5000);
    CUsageDlg dialog;
    RunDialog(dialog, [&](HWND window) {
        {
            // The list is given up without a word.
            UseScenario("list=slow-headers");
            UpdateCommand command(window);
            command.Start();
            EXPECT_TRUE(command.EndsQuietly());
        }
        {
            UseScenario("dl=slow-headers");
            UpdateCommand command(window);
            command.Start();
            command.Answer(kCheck, IDYES);
            DWORD_PTR result = 0;
            EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result), 0u)
                << "the window does not answer while the download waits";
            EXPECT_EQ(command.Answer(kFailed, IDOK),
                      CString(kErrorCode) + "Error: Zeitüberschreitung");
            EXPECT_TRUE(command.EndsQuietly());
        }
        // Closing the program ends the wait at once, without a word.
        SetTransferTimeLimits(0, 0);
        UseScenario("dl=slow-headers");
        UpdateCommand command(window);
        command.Start();
        command.Answer(kCheck, IDYES);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(command.EndsQuietly());
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(window); }, 10000)) << "the window stays";
    });
    SetTransferTimeLimits(0, 0);
}
