// Where the restore of Normal.dot meets trouble: a rename that fails, a short date with a
// character no file name can hold, a line too short for its paths, a record file that cannot be
// read; and an uninstall without a selected Word version.

#include "NormalDotSupport.h"

using namespace normaldot;

namespace {

const char kBackup[] = "Normal (Tarvex Backup 27.02.2004 09.05).dot";

void ExpectUnexpectedError(const ShownDialog& shown) {
    EXPECT_EQ(shown.Title, "Tarvex Error");
    EXPECT_EQ(shown.Headline, "Unerwarteter Fehler");
    EXPECT_NE(shown.Body.find("Fehlerbeschreibung: \"Unbekannter Fehler in Klasse \"Tvx_UFSetup\"\""),
              std::string::npos)
        << shown.Body;
}

void ExpectCopyFailure(const ShownDialog& shown, const std::string& source, const std::string& target) {
    EXPECT_EQ(shown.Title, "Tarvex Error");
    EXPECT_EQ(shown.Headline, "Fehler");
    EXPECT_NE(
        shown.Body.find("Kopieren einer Datei fehlgeschlagen (Quelle \"" + source + "\", Ziel \"" + target + "\")"),
        std::string::npos)
        << shown.Body;
}

} // namespace

// The present Normal.dot cannot be copied under the backup name, held open by another program:
// it stays, and the saved copy does not take its place.
TEST_F(NormalDotRestoreTest, FirstRenameFailingOnALockedNormalDotKeepsIt) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav\r\n");
    {
        LockedFile normalDot(folder + "Normal.dot");
        ASSERT_TRUE(normalDot.Held());
        DialogAnswerer dialogs;
        dialogs.Click("Ja").Click("Ignorieren");
        const std::vector<ShownDialog> seen = Restore(dialogs);
        ASSERT_EQ(seen.size(), 2u);
        ExpectCopyFailure(seen[1], folder + "Normal.dot", folder + kBackup);
    }
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
    EXPECT_EQ(ReadFile(folder + "Normal.dot"), "current");
    EXPECT_EQ(ReadFile(folder + "Normal.sav"), "saved");
}

// The saved copy cannot be copied to Normal.dot: it stays, and the former Normal.dot is safe
// under the backup name.
TEST_F(NormalDotRestoreTest, SecondRenameFailingKeepsTheSavedCopy) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav\r\n");
    {
        LockedFile saved(folder + "Normal.sav");
        ASSERT_TRUE(saved.Held());
        DialogAnswerer dialogs;
        dialogs.Click("Ja").Click("Ignorieren");
        const std::vector<ShownDialog> seen = Restore(dialogs);
        ASSERT_EQ(seen.size(), 2u);
        ExpectCopyFailure(seen[1], folder + "Normal.sav", folder + "Normal.dot");
    }
    EXPECT_EQ(ReadFile(folder + "Normal.sav"), "saved");
    EXPECT_EQ(ReadFile(folder + kBackup), "current");
}

// A line under three characters has no Normal.dot path, one whose Normal.dot path is under ten
// characters no folder: each is reported and skipped, and no path of the line before stands in
// for its own. Read relative to the current folder, both lines would name files there.
TEST_F(NormalDotRestoreTest, LineTooShortIsReportedAndSkippedWithoutAnEarlierLinesPaths) {
    testsupport::TempFolder here("current");
    WriteFile(here.Path() + "ab", "a file named like the short line");
    WriteFile(here.Path() + "abcd.sav", "a file named like the second short line");
    WriteFile(here.Path() + "abcd.dot", "its template");
    CurrentFolder current(here.Path());
    const std::string first = Templates("Vorlagen 1", "saved 1", "current 1");
    const std::string second = Templates("Vorlagen 2", "saved 2", "current 2");
    Record(first + "Normal.sav\r\nab\r\nabcd.sav\r\n" + second + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja").Click("Ignorieren").Click("Ignorieren");
    const std::vector<ShownDialog> seen = Restore(dialogs);
    ASSERT_EQ(seen.size(), 3u);
    ExpectUnexpectedError(seen[1]);
    ExpectUnexpectedError(seen[2]);
    // The first folder's backup is the user's Normal.dot, not the copy restored before it.
    ExpectSwapped(first, "saved 1", "current 1", kBackup);
    EXPECT_EQ(ReadFile(first + kBackup), "current 1");
    EXPECT_EQ(FolderContents(here.Path()), (std::vector<std::string>{"ab", "abcd.dot", "abcd.sav"}));
    EXPECT_EQ(ReadFile(here.Path() + "ab"), "a file named like the short line");
    EXPECT_EQ(ReadFile(here.Path() + "abcd.dot"), "its template");
    // The lines after them are still handled.
    ExpectSwapped(second, "saved 2", "current 2", kBackup);
}

// The record file cannot be read: the restore ends after the report, and the installation
// folder stays as it is, the record of the saved copies in it.
TEST_F(NormalDotRestoreTest, MissingRecordFileKeepsTheInstallationFolder) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    DialogAnswerer dialogs;
    dialogs.Click("Ja").Click("Ignorieren");
    const std::vector<ShownDialog> seen = Restore(dialogs);
    ASSERT_EQ(seen.size(), 2u);
    ExpectUnexpectedError(seen[1]);
    EXPECT_EQ(FolderContents(installDir_), std::vector<std::string>{"Keyboard.doc"});
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
}

TEST_F(NormalDotRestoreTest, LockedRecordFileKeepsTheInstallationFolder) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav\r\n");
    {
        LockedFile record(installDir_ + "uninstall.tvk");
        ASSERT_TRUE(record.Held());
        DialogAnswerer dialogs;
        dialogs.Click("Ja").Click("Ignorieren");
        const std::vector<ShownDialog> seen = Restore(dialogs);
        ASSERT_EQ(seen.size(), 2u);
        ExpectUnexpectedError(seen[1]);
    }
    EXPECT_EQ(FolderContents(installDir_), (std::vector<std::string>{"Keyboard.doc", "uninstall.tvk"}));
    EXPECT_EQ(ReadFile(installDir_ + "uninstall.tvk"), runtime::ToAnsi(folder + "Normal.sav\r\n"));
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
}

// A short date format with "/" (as in "27/02/2004"): the backup name carries "-" in its place,
// and the swap goes through.
class NormalDotSlashedDate : public NormalDotRestoreTest {
protected:
    NormalDotSlashedDate() : NormalDotRestoreTest("dd/MM/yyyy") {}
};

TEST_F(NormalDotSlashedDate, BackupNameCarriesDashesForTheSlashes) {
    // Wine reads the user's format once per process, at the first date it formats: this test
    // holds only where nothing formatted a date before it.
    ASSERT_EQ(runtime::ShortDate(FixedNow::Time()), "27/02/2004");
    const std::string backupName = "Normal (Tarvex Backup 27-02-2004 09.05).dot";
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    const std::vector<ShownDialog> seen = Restore(dialogs);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(CentredText(seen[0]), NormalDotQuestion(backupName));
    ExpectSwapped(folder, "saved", "current", backupName);
}

// No Word version found and the user went on: with no selected row every path of the uninstall
// would be read relative to the current folder. After the getter's report nothing is touched:
// no file, no folder, no registry key, no font, and no question is asked.
TEST(UninstallWithoutSelectedRow, TouchesNothing) {
    testsupport::WordSandbox sandbox;
    testsupport::TempFolder here("current");
    for (const char* folder : {"Tvx", "Tvx\\Uninstall", "STARTUP"}) {
        CreateDirectoryW(runtime::Widen(here.Path() + folder).c_str(), nullptr);
    }
    const std::vector<std::string> files{
        "Tvx\\Keyboard.doc", "Tvx\\TvxTutorial.exe",         "Tvx\\QuickGuide.doc",       "Tvx\\uninstall.tvk",
        "STARTUP\\Tvx.dot",  "Tvx\\Uninstall\\TvxSetup.exe", "Tvx\\Uninstall\\COMCAT.DLL"};
    for (const std::string& file : files) {
        WriteFile(here.Path() + file, file);
    }
    WriteFile(sandbox.FontsDir() + "MATH1___.TTF", "font");
    WriteFile(sandbox.FontsDir() + "TvxSymb.ttf", "font");
    const std::string entry = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvex für Microsoft Word 0";
    struct RemovedAtTheEnd {
        std::string Key;
        ~RemovedAtTheEnd() { testsupport::DeleteTree(HKEY_LOCAL_MACHINE, Key); }
    } removed{entry};
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, runtime::Widen(entry).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"Comments", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"kept"), 5 * sizeof(wchar_t));
    RegCloseKey(key);
    CurrentFolder current(here.Path());

    DialogAnswerer dialogs;
    // No Word found; then the getter's report of the missing row.
    dialogs.Click("Ignorieren").Click("Ignorieren");
    Probe setup;
    ASSERT_EQ(setup.ListBox().ListIndex(), -1);
    setup.Uninstall();
    EXPECT_TRUE(dialogs.Done(std::chrono::seconds(5)));
    const std::vector<ShownDialog> seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 2u);
    ExpectUnexpectedError(seen[1]);

    for (const std::string& file : files) {
        EXPECT_TRUE(FileExists(here.Path() + file)) << file;
    }
    EXPECT_TRUE(FileExists(sandbox.FontsDir() + "MATH1___.TTF"));
    EXPECT_TRUE(FileExists(sandbox.FontsDir() + "TvxSymb.ttf"));
    EXPECT_EQ(testsupport::ReadRaw(HKEY_LOCAL_MACHINE, entry, "Comments").Type, static_cast<unsigned long>(REG_SZ));
}
