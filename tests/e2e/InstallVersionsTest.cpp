// What depends on the Word version: macro security only from Word 2000 on, the entry's name for
// a version without a name of its own, and the highest version as the target of Enter.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

using namespace e2e;
using testsupport::FileExists;
using testsupport::KeyExists;
using testsupport::ReadRaw;

TEST(InstallVersions, Word97GetsNoMacroSecurityAndNoMessage) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(8, "Programme\\Office 97", false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        // The answerer fails the test on any dialog; none was expected.
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 1; }));
    }
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SecurityKey(8)));
    // Every other step as for the later versions.
    EXPECT_TRUE(FileExists(word + "STARTUP\\Tvx.dot"));
    EXPECT_TRUE(FileExists(word + "Tvx\\Uninstall\\TvxSetup.exe"));
    EXPECT_EQ(ReadWide(HKEY_LOCAL_MACHINE, UninstallKey(8), "DisplayName").Text,
              "Tarvex für Microsoft Word 97 (Version 8)");
    EXPECT_EQ(ReadWide(HKEY_LOCAL_MACHINE, UninstallKey(8), "UninstallString").Text,
              "\"" + word + "Tvx\\Uninstall\\TvxSetup.exe\" /Uninstall_1_8");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, VersionMarkKey(8) + "\\Options", "Tvx_Version").Bytes,
              std::string("99990.00") + '\0');
}

TEST(InstallVersions, Version12IsNamedByItsNumber) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(12, "Programme\\Office 12", false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
    }
    EXPECT_EQ(ReadWide(HKEY_LOCAL_MACHINE, UninstallKey(12), "DisplayName").Text,
              "Tarvex für Microsoft Word Version 12");
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, SecurityKey(12), "Level").Bytes, std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(ReadRaw(HKEY_CURRENT_USER, VersionMarkKey(12) + "\\Options", "Tvx_Version").Bytes,
              std::string("99990.00") + '\0');
}

TEST(InstallVersions, EnterRightAfterStartInstallsForTheHighestVersion) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word9 = sandbox.AddWord(9, "Programme\\Office 2000", false);
    const std::string word11 = sandbox.AddWord(11, "Programme\\Office 2003", false);
    PlaceWordStandin(word9);
    PlaceWordStandin(word11);
    FillFonts(sandbox);
    {
        SetupRun setup(sandbox);
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(ListSelection(WizardControl(wizard, Tvx_UFSetup::kIdListBox)), 1);
        // Enter goes to the control with the focus: "Weiter >", where the start-up left it.
        EXPECT_EQ(FocusOf(wizard), WizardControl(wizard, Tvx_UFSetup::kIdWeiter));
        PressEnter(wizard);
        DWORD exitCode = 1;
        ASSERT_TRUE(setup.Program().WaitForExit(60s, &exitCode)) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(exitCode, 0u);
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return !WordStarts(sandbox).empty(); }));
    }
    EXPECT_TRUE(FileExists(word11 + "STARTUP\\Tvx.dot"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(11)));
    EXPECT_EQ(FolderEntries(word9), std::vector<std::string>{"winword.exe"});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey(9)));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SecurityKey(9)));
    const auto starts = WordStarts(sandbox);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].CmdLine.rfind("\"" + word11 + "winword.exe\"", 0), 0u) << starts[0].CmdLine;
}
