// An install that meets failures on its way: a start folder without its documents, a folder in
// the way of a document, and a wizard with no Word version to install for.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

using namespace e2e;
using testsupport::FileExists;
using testsupport::KeyExists;
using testsupport::ReadFile;

TEST(InstallFailures, StartFolderWithoutDocsReportsFourCopiesAndGoesOn) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, "Programme\\Office 2003", false);
    PlaceWordStandin(word);
    testsupport::RemoveTree(sandbox.StartFolder() + "Docs");
    {
        SetupRun setup(sandbox);
        for (int copy = 0; copy < 4; ++copy) {
            setup.Dialogs().Click("Ignorieren");
        }
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);

        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 4u);
        const std::pair<const char*, std::string> copies[] = {
            {"Tvx.dot", word + "STARTUP\\Tvx.dot"},
            {"Keyboard.doc", word + "Tvx\\Keyboard.doc"},
            {"TvxTutorial.exe", word + "Tvx\\TvxTutorial.exe"},
            {"QuickGuide.doc", word + "Tvx\\QuickGuide.doc"},
        };
        for (size_t copy = 0; copy < 4; ++copy) {
            EXPECT_EQ(seen[copy].Title, "Tarvex Error");
            EXPECT_EQ(seen[copy].Headline, "Fehler");
            EXPECT_EQ(seen[copy].Buttons, (std::vector<std::string>{"Abbrechen", "Ignorieren"}));
            const std::string description = "Fehlerbeschreibung: \"Kopieren einer Datei fehlgeschlagen (Quelle \"" +
                                            sandbox.StartFolder() + "Docs\\" + copies[copy].first + "\", Ziel \"" +
                                            copies[copy].second + "\")\"";
            EXPECT_NE(seen[copy].Body.find(description), std::string::npos) << seen[copy].Body;
        }
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 1; }));
    }

    // Everything after the four copies: the uninstall folder, the entry, the record file, the
    // fonts, the version mark (and Word, above).
    EXPECT_EQ(ReadFile(word + "Tvx\\Uninstall\\TvxSetup.exe"), ReadFile(SampleFolder() + "TvxSetup.exe"));
    for (const std::string& file : RuntimeFileNames()) {
        EXPECT_TRUE(FileExists(word + "Tvx\\Uninstall\\" + file)) << file;
    }
    EXPECT_EQ(ReadWide(HKEY_LOCAL_MACHINE, UninstallKey(11), "UninstallString").Text,
              "\"" + word + "Tvx\\Uninstall\\TvxSetup.exe\" /Uninstall_1_11");
    EXPECT_TRUE(FileExists(word + "Tvx\\uninstall.tvk"));
    EXPECT_EQ(FolderEntries(sandbox.FontsDir()).size(), 20u);
    EXPECT_EQ(FontsViewStarts(sandbox).size(), 1u);
    EXPECT_EQ(testsupport::ReadRaw(HKEY_CURRENT_USER, VersionMarkKey(11) + "\\Options", "Tvx_Version").Bytes,
              std::string("99990.00") + '\0');
    // The folders were made, the documents are missing.
    EXPECT_TRUE(FolderEntries(word + "STARTUP\\").empty());
    EXPECT_EQ(FolderEntries(word + "Tvx\\"), (std::vector<std::string>{"Uninstall", "uninstall.tvk"}));
}

// A folder of the document's name where the document goes: the copy is reported with the number a
// Windows user sees, nothing lands inside the folder, and the install goes on.
TEST(InstallFailures, FolderInTheWayOfADocumentIsReported) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, "Programme\\Office 2003", false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(word + "Tvx").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(word + "Tvx\\Keyboard.doc").c_str(), nullptr));
    {
        SetupRun setup(sandbox);
        setup.Dialogs().Click("Ignorieren");
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 1u);
        ExpectFileReport(seen[0],
                         "Kopieren einer Datei fehlgeschlagen (Quelle \"" + sandbox.StartFolder() +
                             "Docs\\Keyboard.doc\", Ziel \"" + word + "Tvx\\Keyboard.doc\")",
                         "Zugriff verweigert", 70);
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 1; }));
    }
    // Still the empty folder it was.
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(word + "Tvx\\Keyboard.doc").c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(FolderEntries(word + "Tvx\\Keyboard.doc\\").empty());
    EXPECT_EQ(ReadFile(word + "Tvx\\QuickGuide.doc"), ReadFile(sandbox.StartFolder() + "Docs\\QuickGuide.doc"));
    EXPECT_TRUE(FileExists(word + "Tvx\\Uninstall\\TvxSetup.exe"));
}

TEST(InstallFailures, NoSelectedRowCreatesCopiesWritesAndStartsNothing) {
    InstallTraces traces;
    Sandbox sandbox;
    // No Word at all. The setup is started in the sandbox's root: a path made from an empty Word
    // program folder would land there.
    const std::vector<std::string> rootBefore = FolderEntries(sandbox.Root());
    {
        SetupRun setup(sandbox);
        setup.Dialogs().Click("Ignorieren");
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(ListItems(WizardControl(wizard, Tvx_UFSetup::kIdListBox)).empty());
        // The options keep their design-time state; the user picks the install.
        HWND install = WizardControl(wizard, Tvx_UFSetup::kIdOptionInstall);
        ASSERT_FALSE(Checked(install));
        Click(install);
        ASSERT_TRUE(Eventually([&] { return Checked(install); }));

        // The getter of the Word program folder reports the missing row; then nothing more.
        setup.Dialogs().Click("Ignorieren");
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_NE(seen[0].Body.find("keine Version von Microsoft Word gefunden"), std::string::npos);
        EXPECT_EQ(seen[1].Headline, "Unerwarteter Fehler");
        EXPECT_NE(seen[1].Body.find("Fehlerbeschreibung: \"Unbekannter Fehler in Klasse \"Tvx_UFSetup\"\""),
                  std::string::npos)
            << seen[1].Body;
        EXPECT_TRUE(ChildrenOf(setup.Program()).empty());
    }

    EXPECT_EQ(FolderEntries(sandbox.Root()), rootBefore);
    EXPECT_TRUE(FolderEntries(sandbox.FontsDir()).empty());
    EXPECT_TRUE(FolderEntries(sandbox.TempDir()).empty());
    EXPECT_TRUE(StandinStarts(sandbox).empty()) << sandbox.StandinLogText();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(0)));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, VersionMarkKey(0)));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\0.0"));
    for (const char* relative : {"Tvx", "STARTUP", "uninstall.tvk", "C:\\Tvx", "C:\\STARTUP"}) {
        EXPECT_FALSE(FileExists(relative[1] == ':' ? relative : sandbox.Root() + relative)) << relative;
    }
}
