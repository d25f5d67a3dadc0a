// The road a user takes: the add-in installed through the wizard, then removed through the command
// the system's list of installed programs runs, in its two stages, with the user's answers.

#include "E2eSupport.h"
#include "UninstallSupport.h"
#include "runtime/Handle.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"
#include "support/ShortDateFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>

using namespace e2e;
using S = Tvx_UFSetup;
using testsupport::DialogAnswerer;
using testsupport::FileExists;
using testsupport::ShownDialog;

namespace {

constexpr int kWord = 11;

const char kFontsQuestion[] =
    "Installierte Schriftarten beibehalten? (Empfohlen)\n\nHinweis: Wenn Sie \"Nein\" wählen, werden die von den "
    "Tarvex installierten Schriftarten gelöscht. Falls Sie die Schriften bereits in Dokumenten verwendet haben, "
    "werden diese dann nicht mehr richtig angezeigt.";

const char kRestartAdvice[] =
    "Da die Schriftarten deinstalliert werden sollen, bitten wir Sie an dieser Stelle zuerst Ihren PC neu zu "
    "starten. Ansonsten kann es beim Löschen von Schriftarten zu Problemen kommen, falls diese zuvor von einer "
    "Anwendung geöffnet wurden.\n\nDrücken Sie dazu jetzt auf \"Beenden\", starten Sie Ihren PC neu und führen Sie "
    "danach den Setup noch einmal aus. Falls Sie dies bereits durchgeführt haben, können Sie jetzt auf "
    "\"Fortsetzen\" klicken.";

std::string NormalDotQuestion(const std::string& backupName) {
    return "Soll die \"Normal.dot\" in den Zustand vor der Installation der Tarvex zurückgesetzt werden? "
           "(Empfohlen)\n\nDie vorhandene \"Normal.dot\" wird umbenannt in\n\"" +
           backupName +
           "\".\n\nHinweis: Microsoft Word speichert alle Shortcuts, Symbolleisten und Makros, die Sie selbst erstellt "
           "haben, in der Dokumentvorlage \"Normal.dot\". Falls Sie seit der Installation Änderungen dieser Art an "
           "Word vorgenommen haben, gehen diese dabei verloren. Daher empfehlen wir Ihnen in diesem Fall \"Nein\" zu "
           "wählen, dann bleibt die aktuelle \"Normal.dot\" erhalten und Sie müssen nur noch die Symbolleisten der "
           "Tarvex in Word löschen.";
}

// The backup name as the Normal.dot question shows it, between its quotation marks.
std::string BackupNameShownIn(const std::string& question) {
    const std::string before = "umbenannt in\n\"";
    const size_t start = question.find(before);
    if (start == std::string::npos) {
        return {};
    }
    const size_t end = question.find("\".", start + before.size());
    return end == std::string::npos ? std::string()
                                    : question.substr(start + before.size(), end - start - before.size());
}

// A centred dialog text stands below the line feeds that place it vertically in the box.
std::string CentredText(const ShownDialog& shown) {
    const size_t start = shown.Body.find_first_not_of('\n');
    return start == std::string::npos ? std::string() : shown.Body.substr(start);
}

class UninstallRoad : public testing::Test {
protected:
    void SetUp() override {
        word_ = sandbox_.AddWord(kWord, wordFolder_, false);
        PlaceWordStandin(word_);
        ASSERT_TRUE(FileExists(word_ + "winword.exe"));
        installDir_ = word_ + "Tvx\\";
        uninstallDir_ = installDir_ + "Uninstall\\";
        relaunchDir_ = sandbox_.TempDir() + "Tarvex\\";
        // A saved Normal.dot copy for the record file, beside the template it stood in for.
        templates_ = sandbox_.Root() + "Vorlagen Ä\\";
        CreateDirectoryW(runtime::Widen(templates_).c_str(), nullptr);
        testsupport::WriteFile(templates_ + "Normal.dot", "the user's Normal.dot");
        testsupport::WriteFile(templates_ + "Normal.sav", "Normal.dot as it was before the install");
        // A font of someone else's beside the add-in's.
        testsupport::WriteFile(sandbox_.FontsDir() + "Andere.ttf", "another font");
    }

    // Installs through the wizard, as a user does, and ends the Word it starts at its end.
    void Install() {
        Process setup(SetupCommand(sandbox_), sandbox_);
        HWND wizard = WaitForReadyWizard(setup.Id());
        ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
        ASSERT_TRUE(Checked(WizardControl(wizard, S::kIdOptionInstall)));
        Click(WizardControl(wizard, S::kIdWeiter));
        DWORD exitCode = 1;
        ASSERT_TRUE(setup.WaitForExit(60s, &exitCode)) << WindowsOf(setup.Id());
        ASSERT_EQ(exitCode, 0u);
        ASSERT_TRUE(Eventually([&] { return !sandbox_.StandinLogText().empty(); }));
        EndProgramsUnder("winword.exe", sandbox_.Root());
        ASSERT_TRUE(FileExists(installDir_ + "uninstall.tvk"));
        ASSERT_TRUE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)));
        // A saved Normal.dot copy recorded, as the add-in records one.
        testsupport::WriteFile(installDir_ + "uninstall.tvk", runtime::ToAnsi(templates_ + "Normal.sav") + "\r\n");
    }

    // Runs the stored uninstall command as the system's list of installed programs runs it: the
    // first stage copies the program into the relaunch folder and ends; the copy started there
    // shows the wizard narrowed to the one Word version.
    std::unique_ptr<Process> StartUninstall(HWND& wizard) {
        const std::string command = ReadWide(HKEY_LOCAL_MACHINE, UninstallKey(kWord), "UninstallString").Text;
        // The setup copy in the uninstall folder with the first switch, its path quoted or not.
        std::string unquoted = command;
        unquoted.erase(std::remove(unquoted.begin(), unquoted.end(), '"'), unquoted.end());
        EXPECT_EQ(unquoted, uninstallDir_ + "TvxSetup.exe /Uninstall_1_11");
        Process first(command, sandbox_);
        DWORD exitCode = 1;
        EXPECT_TRUE(first.WaitForExit(30s, &exitCode)) << WindowsOf(first.Id());
        EXPECT_EQ(exitCode, 0u);
        std::vector<std::string> copied = RuntimeFileNames();
        copied.push_back("TvxSetup.exe");
        EXPECT_EQ(FolderEntries(relaunchDir_), SortedNames(copied));

        const DWORD secondId = WaitForSetupIn(relaunchDir_);
        if (secondId == 0) {
            ADD_FAILURE() << "no second stage in " << relaunchDir_;
            return nullptr;
        }
        auto second = std::make_unique<Process>(secondId);
        wizard = WaitForReadyWizard(secondId);
        if (wizard == nullptr) {
            ADD_FAILURE() << WindowsOf(secondId);
            return second;
        }
        HWND list = WizardControl(wizard, S::kIdListBox);
        EXPECT_EQ(ListItems(list), std::vector<std::string>{"Microsoft Word 2003 (Version 11)"});
        EXPECT_EQ(ListSelection(list), 0);
        EXPECT_FALSE(IsWindowEnabled(WizardControl(wizard, S::kIdOptionInstall)));
        EXPECT_FALSE(IsWindowEnabled(WizardControl(wizard, S::kIdOptionUpdate)));
        EXPECT_TRUE(IsWindowEnabled(WizardControl(wizard, S::kIdOptionUninstall)));
        EXPECT_TRUE(Checked(WizardControl(wizard, S::kIdOptionUninstall)));
        EXPECT_FALSE(Checked(WizardControl(wizard, S::kIdOptionInstall)));
        EXPECT_FALSE(Checked(WizardControl(wizard, S::kIdOptionUpdate)));
        return second;
    }

    // While the uninstall asks, the wizard shows only the waiting line.
    // The uninstall from the list of installed programs, answered "Ja" (the fonts go), "Ja" (the
    // restore) and "Ok": its dialogs looked at before its end, so that a report in place of the
    // closing message shows as it reads. The backup name that the restore's question shows.
    void UninstallRestoringNormalDot(std::string& backupName) {
        HWND wizard = nullptr;
        std::unique_ptr<Process> second = StartUninstall(wizard);
        ASSERT_TRUE(second != nullptr && wizard != nullptr);
        DialogAnswerer dialogs(second->Id());
        dialogs.Click("Ja").Click("Ja").Click("Ok");
        Click(WizardControl(wizard, S::kIdWeiter));
        ASSERT_TRUE(dialogs.Done());
        const std::vector<ShownDialog> seen = dialogs.Seen();
        ASSERT_EQ(seen.size(), 3u);
        ExpectFontsQuestion(seen[0]);
        backupName = BackupNameShownIn(seen[1].Body);
        EXPECT_EQ(CentredText(seen[1]), NormalDotQuestion(backupName));
        ExpectClosingMessage(seen[2]);
        DWORD exitCode = 1;
        ASSERT_TRUE(second->WaitForExit(20s, &exitCode));
        EXPECT_EQ(exitCode, 0u);
    }

    std::function<void()> ExpectWaitingLine(HWND wizard) {
        return [wizard] {
            EXPECT_TRUE(IsWindowVisible(WizardControl(wizard, S::kIdBitteWarten)));
            EXPECT_TRUE(IsWindowVisible(WizardControl(wizard, S::kIdLabelBitteWarten)));
            for (int id : {S::kIdLabelWelcome, S::kIdSchritt1, S::kIdSchritt2, S::kIdWeiter, S::kIdAbbrechen}) {
                EXPECT_FALSE(IsWindowVisible(WizardControl(wizard, id))) << id;
            }
        };
    }

    void ExpectInstalledFiles(bool present) {
        std::vector<std::string> files{installDir_ + "Keyboard.doc", installDir_ + "TvxTutorial.exe",
                                       installDir_ + "QuickGuide.doc", word_ + "STARTUP\\Tvx.dot",
                                       uninstallDir_ + "TvxSetup.exe"};
        for (const std::string& name : RuntimeFileNames()) {
            files.push_back(uninstallDir_ + name);
        }
        for (const std::string& file : files) {
            EXPECT_EQ(FileExists(file), present) << file;
        }
        EXPECT_EQ(FolderExists(uninstallDir_), present);
        EXPECT_EQ(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)), present);
    }

    // What the uninstall leaves in any case: Word's startup folder, the macro security, the
    // version mark, the relaunch folder and fonts not of the list.
    void ExpectLeftAlone() {
        EXPECT_TRUE(FolderExists(word_ + "STARTUP\\"));
        const testsupport::RawValue level = testsupport::ReadRaw(HKEY_CURRENT_USER, SecurityKey(kWord), "Level");
        EXPECT_EQ(level.Type, static_cast<unsigned long>(REG_DWORD));
        EXPECT_EQ(level.Bytes, std::string("\x01\x00\x00\x00", 4));
        const testsupport::RawValue trust =
            testsupport::ReadRaw(HKEY_CURRENT_USER, SecurityKey(kWord), "DontTrustInstalledFiles");
        EXPECT_EQ(trust.Type, static_cast<unsigned long>(REG_DWORD));
        EXPECT_EQ(trust.Bytes, std::string(4, '\0'));
        EXPECT_EQ(ReadWide(HKEY_CURRENT_USER, VersionMarkKey(kWord) + "\\Options", "Tvx_Version").Text, "99990.00");
        EXPECT_TRUE(FileExists(relaunchDir_ + "TvxSetup.exe"));
        EXPECT_EQ(FolderEntries(relaunchDir_).size(), 10u);
        EXPECT_TRUE(FileExists(sandbox_.FontsDir() + "Andere.ttf"));
    }

    void ExpectNormalDotUntouched() {
        EXPECT_EQ(FolderEntries(templates_), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
        EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "the user's Normal.dot");
    }

    static void ExpectFontsQuestion(const ShownDialog& shown) {
        EXPECT_EQ(shown.Title, "Tarvex Frage");
        EXPECT_EQ(shown.Icon, "question");
        EXPECT_EQ(CentredText(shown), kFontsQuestion);
        EXPECT_EQ(shown.Buttons, (std::vector<std::string>{"Ja", "Nein"}));
    }

    static void ExpectRestartAdvice(const ShownDialog& shown) {
        EXPECT_EQ(shown.Title, "Tarvex Setup");
        EXPECT_EQ(shown.Icon, "warning");
        EXPECT_EQ(shown.Headline, "Neustart empfohlen");
        EXPECT_EQ(shown.Body, kRestartAdvice);
        EXPECT_EQ(shown.Buttons, (std::vector<std::string>{"Beenden", "Fortsetzen"}));
        EXPECT_EQ(shown.DefaultButton, "Beenden");
    }

    static void ExpectClosingMessage(const ShownDialog& shown) {
        EXPECT_EQ(shown.Title, "Tarvex Hinweis");
        EXPECT_EQ(shown.Icon, "info");
        EXPECT_EQ(CentredText(shown), "Deinstallation abgeschlossen.");
        EXPECT_EQ(shown.Buttons, std::vector<std::string>{"Ok"});
    }

    // A short date format with a character no file name can hold; the program copies started in
    // the test read it fresh.
    testsupport::ShortDateFormat dateFormat_{"dd/MM/yyyy"};
    InstallTraces traces_;
    Sandbox sandbox_;
    SandboxPrograms programs_{sandbox_};
    // Word's program folder below the sandbox, as the registry names it.
    std::string wordFolder_ = "Programme\\Microsoft Office Ä\\Office 11";
    std::string word_;
    std::string installDir_;
    std::string uninstallDir_;
    std::string relaunchDir_;
    std::string templates_;
};

} // namespace

// What a machine that went down during copies left in the folders the uninstall deletes from, a
// temporary file each, goes with the program's files; beside them a file of the user's named almost
// like one, and a link named like one, stay, and so does what the link leads to.
TEST_F(UninstallRoad, FromTheListOfInstalledProgramsRemovesWhatTheInstallLeft) {
    ASSERT_NO_FATAL_FAILURE(Install());
    ASSERT_EQ(FontsPresent(sandbox_), FontNames());
    EXPECT_EQ(FontsViewStarts(sandbox_).size(), 1u);
    const std::string startup = word_ + "STARTUP\\";
    const std::string leftover = "~tvx0123456789abcdef.tmp";
    for (const std::string& folder : {startup, sandbox_.FontsDir()}) {
        testsupport::WriteFile(folder + leftover, "a copy cut short");
    }
    const std::string usersFile = "~tvxVorlage-Notizen1.tmp";
    const std::string linkName = "~tvxfedcba9876543210.tmp";
    testsupport::WriteFile(startup + usersFile, "the user's notes");
    testsupport::WriteFile(sandbox_.Root() + "Notizen.txt", "the user's other notes");
    testsupport::UnixLink link(startup + linkName, sandbox_.Root() + "Notizen.txt");
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    dialogs.Before(ExpectWaitingLine(wizard)).Click("Nein").Click("Fortsetzen").Click("Ja").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    // The font removal waits for the Fonts folder view, up to 30 s where none opens.
    ASSERT_TRUE(dialogs.Done(90s));
    DWORD exitCode = 1;
    ASSERT_TRUE(second->WaitForExit(20s, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 4u);
    ExpectFontsQuestion(seen[0]);
    ExpectRestartAdvice(seen[1]);
    const std::string backupName = BackupNameShownIn(seen[2].Body);
    EXPECT_EQ(seen[2].Title, "Tarvex Frage");
    EXPECT_EQ(CentredText(seen[2]), NormalDotQuestion(backupName));
    EXPECT_EQ(seen[2].Buttons, (std::vector<std::string>{"Ja", "Nein"}));
    // Today's date as the user's format writes it, its "/" turned into "-", then the time.
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    snprintf(date, sizeof date, "%02d-%02d-%04d", today.wDay, today.wMonth, today.wYear);
    EXPECT_TRUE(std::regex_match(backupName, std::regex(R"(Normal \(Tarvex Backup \d\d-\d\d-\d{4} \d\d\.\d\d\)\.dot)")))
        << backupName;
    EXPECT_NE(backupName.find(date), std::string::npos) << backupName;
    ExpectClosingMessage(seen[3]);

    ExpectInstalledFiles(false);
    EXPECT_FALSE(FolderExists(installDir_));
    EXPECT_TRUE(FontsPresent(sandbox_).empty());
    EXPECT_FALSE(FileExists(sandbox_.FontsDir() + leftover));
    EXPECT_EQ(FolderEntries(startup), (std::vector<std::string>{linkName, usersFile}));
    EXPECT_EQ(testsupport::ReadFile(startup + usersFile), "the user's notes");
    EXPECT_EQ(testsupport::ReadFile(sandbox_.Root() + "Notizen.txt"), "the user's other notes");
    // Once for the install's fonts, once after their removal.
    EXPECT_EQ(FontsViewStarts(sandbox_).size(), 2u);
    ExpectLeftAlone();
    // The recorded copy is Normal.dot again; the user's Normal.dot is kept under the backup name.
    EXPECT_EQ(FolderEntries(templates_), (std::vector<std::string>{backupName, "Normal.dot"}));
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "Normal.dot as it was before the install");
    EXPECT_EQ(testsupport::ReadFile(templates_ + backupName), "the user's Normal.dot");
}

// Two fonts whose delete the file system refuses only as the handle that marked them closes (Wine
// answers every step as done): each is retried, then named in a report; the other fonts go.
TEST_F(UninstallRoad, FontsThatCannotGoAreNamed) {
    TVX_SKIP_WITHOUT_IMMUTABLE_FILES();
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::vector<std::string> fixedFonts{FontNames()[2], FontNames()[9]};
    std::vector<std::unique_ptr<testsupport::Immutable>> fixed;
    for (const std::string& font : fixedFonts) {
        fixed.push_back(std::make_unique<testsupport::Immutable>(sandbox_.FontsDir() + font));
    }
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    dialogs.Click("Nein").Click("Fortsetzen").Click("Ignorieren").Click("Ignorieren").Click("Ja").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done(90s));
    ASSERT_TRUE(second->WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 6u);
    ExpectFontsQuestion(seen[0]);
    ExpectRestartAdvice(seen[1]);
    for (size_t font = 0; font < fixedFonts.size(); ++font) {
        ExpectFileReport(seen[2 + font],
                         "Löschen einer Datei fehlgeschlagen (\"" + sandbox_.FontsDir() + fixedFonts[font] + "\")",
                         "Zugriff verweigert", 70);
    }
    ExpectClosingMessage(seen[5]);
    fixed.clear();
    EXPECT_EQ(FontsPresent(sandbox_), fixedFonts);
    ExpectInstalledFiles(false);
}

// Word in a folder whose name has a character the ANSI code page lacks, beside a folder of the
// user's whose name is its look-alike there (the Omega made an O), with a document of the user's
// where the install puts its own.
class UninstallRoadOmega : public UninstallRoad {
protected:
    UninstallRoadOmega() { wordFolder_ = "Programme\\Office 11 \u03A9"; }

    void SetUp() override {
        UninstallRoad::SetUp();
        lookAlike_ = sandbox_.Root() + "Programme\\Office 11 O\\";
        ASSERT_TRUE(CreateDirectoryW(runtime::Widen(lookAlike_).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(runtime::Widen(lookAlike_ + "Tvx").c_str(), nullptr));
        testsupport::WriteFile(lookAlike_ + "Tvx\\Keyboard.doc", "the user's own keyboard notes");
        testsupport::WriteFile(lookAlike_ + "Notizen.txt", "the user's notes");
    }

    void ExpectLookAlikeUntouched() {
        EXPECT_EQ(FolderEntries(lookAlike_), (std::vector<std::string>{"Notizen.txt", "Tvx"}));
        EXPECT_EQ(FolderEntries(lookAlike_ + "Tvx\\"), std::vector<std::string>{"Keyboard.doc"});
        EXPECT_EQ(testsupport::ReadFile(lookAlike_ + "Tvx\\Keyboard.doc"), "the user's own keyboard notes");
        EXPECT_EQ(testsupport::ReadFile(lookAlike_ + "Notizen.txt"), "the user's notes");
    }

    std::string lookAlike_;
};

// The install, the uninstall command it stores and the uninstall that command runs all work in
// Word's own folder; the look-alike folder stays as the user left it.
TEST_F(UninstallRoadOmega, InstallAndUninstallLeaveTheLookAlikeFolderAlone) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    EXPECT_EQ(FolderEntries(word_), (std::vector<std::string>{"STARTUP", "Tvx", "winword.exe"}));
    ExpectInstalledFiles(true);
    const std::vector<StandinStart> starts = WordStarts(sandbox_);
    ASSERT_EQ(starts.size(), 1u) << sandbox_.StandinLogText();
    EXPECT_EQ(runtime::LCase(starts[0].Program), runtime::LCase(word_ + "winword.exe"));
    ExpectLookAlikeUntouched();

    // The stored command names the setup copy in this Word's uninstall folder, checked as it starts.
    std::string backupName;
    ASSERT_NO_FATAL_FAILURE(UninstallRestoringNormalDot(backupName));
    ExpectInstalledFiles(false);
    EXPECT_FALSE(FolderExists(installDir_));
    EXPECT_EQ(FolderEntries(word_), (std::vector<std::string>{"STARTUP", "winword.exe"}));
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "Normal.dot as it was before the install");
    ExpectLookAlikeUntouched();
}

// "Beenden" in the restart advice, and Enter, Esc and the close box with it: the program ends at
// once, with nothing removed and no closing message.
class RestartAdviceEnds : public UninstallRoad, public testing::WithParamInterface<const char*> {};

TEST_P(RestartAdviceEnds, WithNothingRemoved) {
    // The fonts lie in the Fonts folder already: the install finds them and opens no Fonts view.
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    dialogs.Click("Nein");
    const std::string answer = GetParam();
    if (answer == "Enter") {
        dialogs.Enter();
    } else if (answer == "Esc") {
        dialogs.Escape();
    } else if (answer == "CloseBox") {
        dialogs.CloseBox();
    } else {
        dialogs.Click(answer);
    }
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    DWORD exitCode = 1;
    ASSERT_TRUE(second->WaitForExit(20s, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 2u);
    ExpectFontsQuestion(seen[0]);
    ExpectRestartAdvice(seen[1]);
    ExpectInstalledFiles(true);
    EXPECT_TRUE(FileExists(installDir_ + "uninstall.tvk"));
    EXPECT_EQ(FontsPresent(sandbox_), FontNames());
    EXPECT_EQ(FontsViewStarts(sandbox_).size(), 0u);
    ExpectNormalDotUntouched();
    ExpectLeftAlone();
}

INSTANTIATE_TEST_SUITE_P(UninstallRoad, RestartAdviceEnds, testing::Values("Beenden", "Enter", "Esc", "CloseBox"));

// Whatever is gone already is skipped without a message: a document, a support file, the
// uninstall entry itself.
TEST_F(UninstallRoad, PartlyRemovedInstallationGoesWithoutComplaint) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string command = ReadWide(HKEY_LOCAL_MACHINE, UninstallKey(kWord), "UninstallString").Text;
    DeleteFileW(runtime::Widen(installDir_ + "QuickGuide.doc").c_str());
    testsupport::DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey(kWord));
    ASSERT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)));

    Process first(command, sandbox_);
    ASSERT_TRUE(first.WaitForExit(30s)) << WindowsOf(first.Id());
    const DWORD secondId = WaitForSetupIn(relaunchDir_);
    ASSERT_NE(secondId, 0u);
    Process second(secondId);
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    // A support file gone after the first stage copied them all.
    DeleteFileW(runtime::Widen(uninstallDir_ + "STDOLE2.TLB").c_str());
    DialogAnswerer dialogs(secondId);
    dialogs.Click("Ja").Click("Ja").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(second.WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 3u);
    ExpectClosingMessage(seen[2]);
    ExpectInstalledFiles(false);
    EXPECT_FALSE(FolderExists(installDir_));
    // The first value deleted makes the missing key anew; the key's own deletion takes it again.
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)));
}

// The setup copy in the uninstall folder started without a switch removes itself: its own
// program file is in use and cannot go, and neither can its folder; each is reported.
TEST_F(UninstallRoad, CopyInTheUninstallFolderCannotRemoveItself) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    Process setup("\"" + uninstallDir_ + "TvxSetup.exe\"", sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    ASSERT_TRUE(Checked(WizardControl(wizard, S::kIdOptionUpdate)));
    SendMessageW(WizardControl(wizard, S::kIdOptionUninstall), BM_CLICK, 0, 0);
    DialogAnswerer dialogs(setup.Id());
    dialogs.Click("Ja").Click("Ignorieren").Click("Ignorieren").Click("Ja").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(setup.WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[1].Headline, "Fehler");
    EXPECT_NE(seen[1].Body.find("Löschen einer Datei fehlgeschlagen (\"" + uninstallDir_ + "TvxSetup.exe\")"),
              std::string::npos)
        << seen[1].Body;
    EXPECT_EQ(seen[2].Headline, "Fehler");
    EXPECT_NE(seen[2].Body.find("Löschen eines Verzeichnisses fehlgeschlagen (\"" + installDir_ + "Uninstall\")"),
              std::string::npos)
        << seen[2].Body;
    ExpectClosingMessage(seen[4]);
    EXPECT_FALSE(FileExists(installDir_ + "Keyboard.doc"));
    EXPECT_FALSE(FileExists(word_ + "STARTUP\\Tvx.dot"));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)));
}

// The documents of the installation folder cannot go: another program reads them and keeps others
// from deleting them, the file system refuses their delete only as the handle that marked them
// closes (Wine says nothing then), or the tutorial runs from its installed file. Every delete that was not done is
// reported, the pattern delete at the end too, before the closing message; what could go, went.
class DocumentsThatCannotGo : public UninstallRoad, public testing::WithParamInterface<const char*> {};

TEST_P(DocumentsThatCannotGo, AreReportedBeforeTheClosingMessage) {
    if (GetParam() == std::string("Immutable")) {
        TVX_SKIP_WITHOUT_IMMUTABLE_FILES();
    }
    FillFonts(sandbox_);
    // Running: the tutorial is a real program, started from the installed file, which a running
    // program's file keeps from being deleted; the other documents are held as in "InUse".
    const bool running = GetParam() == std::string("Running");
    if (running) {
        ASSERT_TRUE(CopyFileW(runtime::Widen(testsupport::StandinPath("barewindow.exe")).c_str(),
                              runtime::Widen(sandbox_.StartFolder() + "Docs\\TvxTutorial.exe").c_str(), FALSE));
    }
    ASSERT_NO_FATAL_FAILURE(Install());
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);
    const std::vector<std::string> documents{"Keyboard.doc", "QuickGuide.doc", "TvxTutorial.exe"};
    std::vector<runtime::FileHandle> held;
    std::vector<std::unique_ptr<testsupport::Immutable>> immutable;
    std::unique_ptr<Process> tutorial;
    for (const std::string& name : documents) {
        if (running && name == "TvxTutorial.exe") {
            tutorial = std::make_unique<Process>(installDir_ + name, "\"" + installDir_ + name + "\"", sandbox_);
            ASSERT_TRUE(Eventually([&] { return !TopLevelWindowsOf(tutorial->Id()).empty(); }));
        } else if (GetParam() != std::string("Immutable")) {
            held.emplace_back(CreateFileW(runtime::Widen(installDir_ + name).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held.back()) << name;
        } else {
            immutable.push_back(std::make_unique<testsupport::Immutable>(installDir_ + name));
        }
    }

    DialogAnswerer dialogs(second->Id());
    dialogs.Click("Ja").Click("Ignorieren").Click("Ignorieren").Click("Ignorieren").Click("Ja").Click("Ignorieren");
    dialogs.Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(second->WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 7u);
    auto expectDeleteReport = [](const ShownDialog& shown, const std::string& path) {
        ExpectFileReport(shown, "Löschen einer Datei fehlgeschlagen (\"" + path + "\")", "Zugriff verweigert", 70);
    };
    // In the uninstall's order of the documents.
    expectDeleteReport(seen[1], installDir_ + "Keyboard.doc");
    expectDeleteReport(seen[2], installDir_ + "TvxTutorial.exe");
    expectDeleteReport(seen[3], installDir_ + "QuickGuide.doc");
    EXPECT_EQ(CentredText(seen[4]), NormalDotQuestion(BackupNameShownIn(seen[4].Body)));
    expectDeleteReport(seen[5], installDir_ + "*.*");
    ExpectClosingMessage(seen[6]);

    held.clear();
    EXPECT_EQ(FolderEntries(installDir_), documents);
    immutable.clear();
    EXPECT_FALSE(FileExists(word_ + "STARTUP\\Tvx.dot"));
    EXPECT_FALSE(FolderExists(uninstallDir_));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)));
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "Normal.dot as it was before the install");
}

INSTANTIATE_TEST_SUITE_P(UninstallRoad, DocumentsThatCannotGo, testing::Values("InUse", "Immutable", "Running"));

// Another program closing the fonts question answers it as its close box does, "Ja": the window
// stays, and the dialogs after it show as usual.
TEST_F(UninstallRoad, ACloseFromOutsideKeepsTheFontsAndTheCloseBoxRestoresNormalDot) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    // The close box on the Normal.dot question counts as "Ja".
    dialogs.CloseFromOutside().CloseBox().Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(second->WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 3u);
    ExpectFontsQuestion(seen[0]);
    const std::string backupName = BackupNameShownIn(seen[1].Body);
    EXPECT_EQ(CentredText(seen[1]), NormalDotQuestion(backupName));
    ExpectClosingMessage(seen[2]);

    EXPECT_EQ(FontsPresent(sandbox_), FontNames());
    EXPECT_EQ(FontsViewStarts(sandbox_).size(), 0u);
    ExpectInstalledFiles(false);
    EXPECT_FALSE(FolderExists(installDir_));
    ExpectLeftAlone();
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "Normal.dot as it was before the install");
    EXPECT_EQ(testsupport::ReadFile(templates_ + backupName), "the user's Normal.dot");
}

// The installation folder stays with its record alone: a temporary file that a crash left there
// went with the program's files. The fonts stay, and the copies of them that a crash cut short go,
// one that a reader holds when the reader lets go.
TEST_F(UninstallRoad, NeinToTheNormalDotQuestionKeepsTheInstallationFolderWithItsRecord) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    testsupport::WriteFile(installDir_ + "~tvx0123456789abcdef.tmp", "a copy cut short");
    const std::string cutShort = sandbox_.FontsDir() + "~tvx00000000deadbeef.tmp";
    const std::string read = sandbox_.FontsDir() + "~tvx1111111111111111.tmp";
    testsupport::WriteFile(cutShort, "a font copy cut short");
    testsupport::WriteFile(read, "a font copy cut short that a reader holds");
    runtime::FileHandle reader(CreateFileW(runtime::Widen(read).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    // Esc on the fonts question keeps them, as "Ja" does.
    dialogs.Escape().Click("Nein").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(second->WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 3u);
    ExpectFontsQuestion(seen[0]);
    EXPECT_EQ(CentredText(seen[1]), NormalDotQuestion(BackupNameShownIn(seen[1].Body)));
    ExpectClosingMessage(seen[2]);

    EXPECT_EQ(FontsPresent(sandbox_), FontNames());
    EXPECT_FALSE(FileExists(cutShort));
    reader.reset();
    EXPECT_FALSE(FileExists(read));
    ExpectInstalledFiles(false);
    EXPECT_EQ(FolderEntries(installDir_), std::vector<std::string>{"uninstall.tvk"});
    EXPECT_EQ(testsupport::ReadFile(installDir_ + "uninstall.tvk"),
              runtime::ToAnsi(templates_ + "Normal.sav") + "\r\n");
    ExpectNormalDotUntouched();
    ExpectLeftAlone();
}

// The restore replaces no file: not the backup that the line before made in the same folder (two
// saved copies recorded there), nor one an earlier restore made in the same minute. Each such
// line's swap is left out and reported as a failed copy; every former Normal.dot, saved copy and
// backup is still there.
TEST_F(UninstallRoad, NormalDotRestoreReplacesNoFile) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    testsupport::WriteFile(templates_ + "Normal.002", "a second saved copy");
    const std::string earlier = sandbox_.Root() + "Vorlagen Bernd\\";
    CreateDirectoryW(runtime::Widen(earlier).c_str(), nullptr);
    testsupport::WriteFile(earlier + "Normal.dot", "Bernd's Normal.dot");
    testsupport::WriteFile(earlier + "Normal.sav", "Bernd's saved copy");
    testsupport::WriteFile(
        installDir_ + "uninstall.tvk",
        runtime::ToAnsi(templates_ + "Normal.sav\r\n" + templates_ + "Normal.002\r\n" + earlier + "Normal.sav\r\n"));
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    // The backup an earlier restore made this minute: put there under the name the question shows.
    std::string backupName;
    dialogs.Click("Ja")
        .Before([&] {
            ShownDialog question;
            if (testsupport::ReadMessageBox(second->Id(), question)) {
                backupName = BackupNameShownIn(question.Body);
                testsupport::WriteFile(earlier + backupName, "Bernd's backup of an earlier restore");
            }
        })
        .Click("Ja")
        .Click("Ignorieren")
        .Click("Ignorieren")
        .Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(second->WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 5u);
    ASSERT_FALSE(backupName.empty());
    for (const auto& [shown, folder] : {std::pair{seen[2], templates_}, std::pair{seen[3], earlier}}) {
        EXPECT_EQ(shown.Headline, "Fehler");
        EXPECT_NE(shown.Body.find("Kopieren einer Datei fehlgeschlagen (Quelle \"" + folder + "Normal.dot\", Ziel \"" +
                                  folder + backupName + "\")"),
                  std::string::npos)
            << shown.Body;
        EXPECT_NE(shown.Body.find("Visual Basic Fehlernummer: 58"), std::string::npos) << shown.Body;
    }
    ExpectClosingMessage(seen[4]);

    EXPECT_EQ(FolderEntries(templates_), (std::vector<std::string>{backupName, "Normal.002", "Normal.dot"}));
    EXPECT_EQ(testsupport::ReadFile(templates_ + backupName), "the user's Normal.dot");
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "Normal.dot as it was before the install");
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.002"), "a second saved copy");
    EXPECT_EQ(FolderEntries(earlier), (std::vector<std::string>{backupName, "Normal.dot", "Normal.sav"}));
    EXPECT_EQ(testsupport::ReadFile(earlier + backupName), "Bernd's backup of an earlier restore");
    EXPECT_EQ(testsupport::ReadFile(earlier + "Normal.dot"), "Bernd's Normal.dot");
    EXPECT_EQ(testsupport::ReadFile(earlier + "Normal.sav"), "Bernd's saved copy");
    EXPECT_FALSE(FolderExists(installDir_));
}

// Normal.dot is a second name, read-only, of a template kept elsewhere: the restore keeps the
// template under the backup name and gives the name Normal.dot to the saved copy, and the other
// name still has the template as it was, read-only.
TEST_F(UninstallRoad, NormalDotRestoreLeavesTheOtherNameOfAHardLinkedNormalDotReadOnly) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string elsewhere = sandbox_.Root() + "Vorlagen Bernd\\";
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(elsewhere).c_str(), nullptr));
    const std::string other = elsewhere + "Meine Normal.dot";
    testsupport::WriteFile(other, "the user's Normal.dot");
    ASSERT_TRUE(DeleteFileW(runtime::Widen(templates_ + "Normal.dot").c_str()));
    ASSERT_TRUE(
        CreateHardLinkW(runtime::Widen(templates_ + "Normal.dot").c_str(), runtime::Widen(other).c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW(runtime::Widen(other).c_str(), FILE_ATTRIBUTE_READONLY));
    // The bit belongs to the file, whichever name it is read under.
    ASSERT_NE(GetFileAttributesW(runtime::Widen(templates_ + "Normal.dot").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    std::string backupName;
    ASSERT_NO_FATAL_FAILURE(UninstallRestoringNormalDot(backupName));

    EXPECT_EQ(FolderEntries(templates_), (std::vector<std::string>{backupName, "Normal.dot"}));
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "Normal.dot as it was before the install");
    EXPECT_EQ(testsupport::ReadFile(templates_ + backupName), "the user's Normal.dot");
    EXPECT_EQ(FolderEntries(elsewhere), std::vector<std::string>{"Meine Normal.dot"});
    EXPECT_EQ(testsupport::ReadFile(other), "the user's Normal.dot");
    EXPECT_NE(GetFileAttributesW(runtime::Widen(other).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(FolderExists(installDir_));
}

// A record line that leads out of the installation folder with "..": the swap happens in the
// folder the line leads to, as for any other line, without a message.
TEST_F(UninstallRoad, NormalDotRestoreTakesARecordLineWithDotDot) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    // Word's program folder without its last part: the folder that "Tvx\..\.." leads to.
    const std::string office = word_.substr(0, word_.find_last_of('\\', word_.size() - 2) + 1);
    const std::string folder = office + "Vorlagen\\";
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(folder).c_str(), nullptr));
    testsupport::WriteFile(folder + "Normal.dot", "the Normal.dot beside Office");
    testsupport::WriteFile(folder + "Normal.sav", "the saved copy beside Office");
    testsupport::WriteFile(installDir_ + "uninstall.tvk",
                           runtime::ToAnsi(word_ + "Tvx\\..\\..\\Vorlagen\\Normal.sav") + "\r\n");
    std::string backupName;
    ASSERT_NO_FATAL_FAILURE(UninstallRestoringNormalDot(backupName));

    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{backupName, "Normal.dot"}));
    EXPECT_EQ(testsupport::ReadFile(folder + "Normal.dot"), "the saved copy beside Office");
    EXPECT_EQ(testsupport::ReadFile(folder + backupName), "the Normal.dot beside Office");
    ExpectNormalDotUntouched();
    EXPECT_FALSE(FolderExists(installDir_));
}

// A record line with a zero character names no file: the restore passes over it as over a line
// whose files are missing, and the user's file named by the part before it stays as it was.
TEST_F(UninstallRoad, NormalDotRestorePassesOverARecordLineWithAZeroCharacter) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    testsupport::WriteFile(templates_ + "Brief.doc", "the user's letter");
    testsupport::WriteFile(installDir_ + "uninstall.tvk",
                           runtime::ToAnsi(templates_ + "Brief.doc") + std::string(1, '\0') + "123456sav\r\n");
    std::string backupName;
    ASSERT_NO_FATAL_FAILURE(UninstallRestoringNormalDot(backupName));

    EXPECT_EQ(FolderEntries(templates_), (std::vector<std::string>{"Brief.doc", "Normal.dot", "Normal.sav"}));
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Brief.doc"), "the user's letter");
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "the user's Normal.dot");
    EXPECT_FALSE(FolderExists(installDir_));
}

// A link of the user's below Word's program folder, to a folder of their own with a Normal.dot and
// a file named like a saved copy, and a record line through it that spells Word's folder in one of
// the ways the system reads as the same folder, or enters the folder inside it by another way. The
// link is not gone through in any of them: the backup copy is refused and reported, and the user's
// folder stays as it was.
class RecordLineThroughALink : public UninstallRoad, public testing::WithParamInterface<const char*> {};

TEST_P(RecordLineThroughALink, IsRefusedHoweverItSpellsWordsFolder) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string mine = sandbox_.Root() + "Meine Vorlagen\\";
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(mine).c_str(), nullptr));
    testsupport::WriteFile(mine + "Normal.dot", "the user's own Normal.dot");
    testsupport::WriteFile(mine + "Normal.sav", "a file of the user's");
    const testsupport::UnixLink link(installDir_ + "Link", mine);
    std::unique_ptr<testsupport::WineDrive> drive;
    std::unique_ptr<testsupport::UnixLink> detour;
    const std::string spelling = GetParam();
    std::string word = word_;
    // How the line leads into the installation folder inside Word's: through Word's folder as
    // spelled, a link of the user's to it, or a drive whose root it is.
    std::string tvx;
    if (spelling == std::string("Short")) {
        wchar_t buffer[MAX_PATH];
        ASSERT_NE(GetShortPathNameW(runtime::Widen(word_).c_str(), buffer, MAX_PATH), 0u);
        word = runtime::Narrow(buffer);
    } else if (spelling == std::string("Verbatim")) {
        word = "\\\\?\\" + word_;
    } else if (spelling == std::string("Device")) {
        word = "\\\\.\\" + word_;
    } else if (spelling == std::string("Drive")) {
        drive = std::make_unique<testsupport::WineDrive>(word_);
        word = drive->Root();
    } else if (spelling == std::string("Detour")) {
        detour = std::make_unique<testsupport::UnixLink>(sandbox_.Root() + "Umweg", installDir_);
        tvx = sandbox_.Root() + "Umweg\\";
    } else if (spelling == std::string("DriveInside")) {
        drive = std::make_unique<testsupport::WineDrive>(installDir_);
        tvx = drive->Root();
    }
    if (tvx.empty()) {
        ASSERT_TRUE(spelling == std::string("Long") || word != word_) << word;
        tvx = word + "Tvx\\";
    }
    ASSERT_EQ(testsupport::ReadFile(tvx + "Link\\Normal.dot"), "the user's own Normal.dot");
    testsupport::WriteFile(installDir_ + "uninstall.tvk", runtime::ToAnsi(tvx + "Link\\Normal.sav") + "\r\n");
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);

    DialogAnswerer dialogs(second->Id());
    dialogs.Click("Ja").Click("Ja").Click("Ignorieren").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(second->WaitForExit(20s));

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 4u);
    ExpectFontsQuestion(seen[0]);
    const std::string backupName = BackupNameShownIn(seen[1].Body);
    EXPECT_EQ(CentredText(seen[1]), NormalDotQuestion(backupName));
    ExpectFileReport(seen[2],
                     "Kopieren einer Datei fehlgeschlagen (Quelle \"" + tvx + "Link\\Normal.dot\", Ziel \"" + tvx +
                         "Link\\" + backupName + "\")",
                     "Fehler beim Zugriff auf Pfad/Datei", 75);
    ExpectClosingMessage(seen[3]);
    EXPECT_EQ(FolderEntries(mine), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
    EXPECT_EQ(testsupport::ReadFile(mine + "Normal.dot"), "the user's own Normal.dot");
    EXPECT_EQ(testsupport::ReadFile(mine + "Normal.sav"), "a file of the user's");
    ExpectNormalDotUntouched();
    // The program's own files went, whichever drive their places take.
    ExpectInstalledFiles(false);
    EXPECT_FALSE(FolderExists(installDir_ + "Uninstall"));
}

INSTANTIATE_TEST_SUITE_P(UninstallRoad, RecordLineThroughALink,
                         testing::Values("Long", "Short", "Verbatim", "Device", "Drive", "Detour", "DriveInside"));

// Links left where the uninstall deletes, each to something of someone else's outside the folders
// it works in: the uninstall folder to a folder with files of our names, a font, and the Normal.dot
// of a recorded folder. Each delete there is refused and reported, what the links lead to stays,
// and the uninstall goes on to its end. The restore makes its backup of Normal.dot, but with
// Normal.dot not gone it writes the saved copy nowhere.
TEST_F(UninstallRoad, LinksOutOfTheFoldersAreReportedAndWhatTheyLeadToStays) {
    FillFonts(sandbox_);
    ASSERT_NO_FATAL_FAILURE(Install());
    const std::string outside = sandbox_.Root() + "Outside\\";
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(outside).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(outside + "Uninstall").c_str(), nullptr));
    const std::string font = FontNames()[4];
    const std::map<std::string, std::string> outsideFiles{
        {outside + "Uninstall\\TvxSetup.exe", "someone else's TvxSetup.exe"},
        {outside + "Uninstall\\ADVPACK.DLL", "someone else's ADVPACK.DLL"},
        {outside + font, "someone else's font"},
        {outside + "Normal.dot", "someone else's Normal.dot"},
    };
    for (const auto& [path, content] : outsideFiles) {
        testsupport::WriteFile(path, content);
    }
    HWND wizard = nullptr;
    std::unique_ptr<Process> second = StartUninstall(wizard);
    ASSERT_TRUE(second != nullptr && wizard != nullptr);
    // The first stage ran from the real uninstall folder; the second finds the links.
    testsupport::RemoveTree(uninstallDir_);
    ASSERT_FALSE(FolderExists(uninstallDir_));
    ASSERT_TRUE(DeleteFileW(runtime::Widen(sandbox_.FontsDir() + font).c_str()));
    ASSERT_TRUE(DeleteFileW(runtime::Widen(templates_ + "Normal.dot").c_str()));
    testsupport::UnixLink uninstallLink(installDir_ + "Uninstall", outside + "Uninstall");
    testsupport::UnixLink fontLink(sandbox_.FontsDir() + font, outside + font);
    testsupport::UnixLink normalDotLink(templates_ + "Normal.dot", outside + "Normal.dot");

    DialogAnswerer dialogs(second->Id());
    dialogs.Click("Nein").Click("Fortsetzen");
    for (int report = 0; report < 4; ++report) {
        dialogs.Click("Ignorieren");
    }
    dialogs.Click("Ja").Click("Ignorieren").Click("Ok");
    Click(WizardControl(wizard, S::kIdWeiter));
    ASSERT_TRUE(dialogs.Done(90s));
    DWORD exitCode = 1;
    ASSERT_TRUE(second->WaitForExit(20s, &exitCode));
    EXPECT_EQ(exitCode, 0u);

    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 9u);
    auto expectRefused = [](const ShownDialog& shown, const std::string& description) {
        ExpectFileReport(shown, description, "Fehler beim Zugriff auf Pfad/Datei", 75);
    };
    ExpectFontsQuestion(seen[0]);
    ExpectRestartAdvice(seen[1]);
    expectRefused(seen[2], "Löschen einer Datei fehlgeschlagen (\"" + sandbox_.FontsDir() + font + "\")");
    // Only the files that are there: the support files missing outside are skipped.
    expectRefused(seen[3], "Löschen einer Datei fehlgeschlagen (\"" + uninstallDir_ + "TvxSetup.exe\")");
    expectRefused(seen[4], "Löschen einer Datei fehlgeschlagen (\"" + uninstallDir_ + "ADVPACK.DLL\")");
    expectRefused(seen[5], "Löschen eines Verzeichnisses fehlgeschlagen (\"" + installDir_ + "Uninstall\")");
    const std::string backupName = BackupNameShownIn(seen[6].Body);
    EXPECT_EQ(CentredText(seen[6]), NormalDotQuestion(backupName));
    expectRefused(seen[7], "Löschen einer Datei fehlgeschlagen (\"" + templates_ + "Normal.dot\")");
    ExpectClosingMessage(seen[8]);

    for (const auto& [path, content] : outsideFiles) {
        EXPECT_EQ(testsupport::ReadFile(path), content) << path;
    }
    EXPECT_EQ(FolderEntries(outside + "Uninstall\\"), (std::vector<std::string>{"ADVPACK.DLL", "TvxSetup.exe"}));
    // The other fonts went; the link is still there.
    EXPECT_EQ(FontsPresent(sandbox_), std::vector<std::string>{font});
    // Normal.dot is still the link; the saved copy stays, and the backup holds what Normal.dot led to.
    EXPECT_EQ(FolderEntries(templates_), (std::vector<std::string>{backupName, "Normal.dot", "Normal.sav"}));
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.dot"), "someone else's Normal.dot");
    EXPECT_EQ(testsupport::ReadFile(templates_ + "Normal.sav"), "Normal.dot as it was before the install");
    EXPECT_EQ(testsupport::ReadFile(templates_ + backupName), "someone else's Normal.dot");
    // The rest of the installation went.
    for (const char* document : {"Keyboard.doc", "TvxTutorial.exe", "QuickGuide.doc", "uninstall.tvk"}) {
        EXPECT_FALSE(FileExists(installDir_ + document)) << document;
    }
    EXPECT_FALSE(FileExists(word_ + "STARTUP\\Tvx.dot"));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kWord)));
}
