// The two uninstall switches, each given to a program started on its own: what the program shows,
// or that it ended and what it started.

#include "E2eSupport.h"
#include "UninstallSupport.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <shlobj.h>

using namespace e2e;
using S = Tvx_UFSetup;

namespace {

const std::vector<std::string> kThreeVersions{"Microsoft Word 2000 (Version 9)", "Microsoft Word XP (Version 10)",
                                              "Microsoft Word 2003 (Version 11)"};

// Word 9, 10 and 11 in folders with blanks; the template in the startup folders named.
class UninstallSwitches : public testing::Test {
protected:
    void AddWords(std::initializer_list<int> withTemplate) {
        auto has = [&](int version) {
            return std::find(withTemplate.begin(), withTemplate.end(), version) != withTemplate.end();
        };
        office9_ = sandbox_.AddWord(9, "Programme\\Office 2000", has(9));
        office10_ = sandbox_.AddWord(10, "Programme\\Office XP", has(10));
        office11_ = sandbox_.AddWord(11, "Programme\\Office 2003", has(11));
    }
    std::string RelaunchFolder() const { return sandbox_.TempDir() + "Tarvex\\"; }

    // The wizard of the process narrowed to one row: only the uninstall offered, and chosen.
    void ExpectNarrowedTo(HWND wizard, const std::string& row) {
        HWND list = WizardControl(wizard, S::kIdListBox);
        EXPECT_EQ(ListItems(list), std::vector<std::string>{row});
        EXPECT_EQ(ListSelection(list), 0);
        HWND install = WizardControl(wizard, S::kIdOptionInstall);
        HWND update = WizardControl(wizard, S::kIdOptionUpdate);
        HWND uninstall = WizardControl(wizard, S::kIdOptionUninstall);
        EXPECT_FALSE(IsWindowEnabled(install));
        EXPECT_FALSE(Checked(install));
        EXPECT_FALSE(IsWindowEnabled(update));
        EXPECT_FALSE(Checked(update));
        EXPECT_TRUE(IsWindowEnabled(uninstall));
        EXPECT_TRUE(Checked(uninstall));
        EXPECT_EQ(TextOf(uninstall), "Tarvex deinstallieren");
        // The narrowing reports nothing, not even while the list is without a selected row.
        DWORD processId = 0;
        GetWindowThreadProcessId(wizard, &processId);
        EXPECT_EQ(testsupport::FindShownDialog(processId), nullptr);
    }

    // "Abbrechen" ends the wizard without touching the installation.
    static void Cancel(HWND wizard, Process& program) {
        Click(WizardControl(wizard, S::kIdAbbrechen));
        DWORD exitCode = 1;
        EXPECT_TRUE(program.WaitForExit(20s, &exitCode));
        EXPECT_EQ(exitCode, 0u);
    }

    InstallTraces traces_;
    Sandbox sandbox_;
    SandboxPrograms programs_{sandbox_};
    std::string office9_;
    std::string office10_;
    std::string office11_;
};

} // namespace

TEST_F(UninstallSwitches, FirstStageCopiesTheProgramOutAndStartsTheCopyWithTheSecondSwitch) {
    AddWords({11});
    Process first(SetupCommand(sandbox_, "/Uninstall_1_11"), sandbox_);
    DWORD exitCode = 1;
    ASSERT_TRUE(first.WaitForExit(30s, &exitCode)) << WindowsOf(first.Id());
    EXPECT_EQ(exitCode, 0u);

    // The program and its nine support files, byte for byte, and nothing else.
    std::vector<std::string> expected = RuntimeFileNames();
    expected.push_back("TvxSetup.exe");
    expected = SortedNames(expected);
    EXPECT_EQ(FolderEntries(RelaunchFolder()), expected);
    for (const std::string& name : expected) {
        EXPECT_EQ(testsupport::ReadFile(RelaunchFolder() + name), testsupport::ReadFile(sandbox_.StartFolder() + name))
            << name;
    }

    const DWORD secondId = WaitForSetupIn(RelaunchFolder());
    ASSERT_NE(secondId, 0u);
    Process second(secondId);
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    // Quoted: the temporary folder's path holds blanks. Maximized, with the input focus.
    EXPECT_EQ(second.CommandLine(), "\"" + RelaunchFolder() + "TvxSetup.exe\" /Uninstall_2_11");
    EXPECT_EQ(second.StartShowState(), SW_MAXIMIZE);
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
    Cancel(wizard, second);
    EXPECT_TRUE(testsupport::FileExists(office11_ + "STARTUP\\Tvx.dot"));
}

// The temporary folder's path holds a blank ("...\Temp Ordner\"): started by an unquoted path,
// the system would take the program before the blank ("...\Temp.exe") when there is one.
TEST_F(UninstallSwitches, FirstStageStartsTheCopyByItsQuotedPathNotAProgramBeforeTheBlank) {
    AddWords({11});
    const std::string tempFolder = sandbox_.TempDir().substr(0, sandbox_.TempDir().size() - 1);
    const std::string decoy = tempFolder.substr(0, tempFolder.find_last_of(' ')) + ".exe";
    ASSERT_TRUE(CopyFileW(runtime::Widen(testsupport::StandinPath("winword.exe")).c_str(),
                          runtime::Widen(decoy).c_str(), FALSE));
    struct DecoyEnded {
        std::string Root;
        ~DecoyEnded() { EndProgramsUnder("Temp.exe", Root); }
    } ended{sandbox_.Root()};
    ASSERT_EQ(decoy, sandbox_.Root() + "Temp.exe");

    Process first(SetupCommand(sandbox_, "/Uninstall_1_11"), sandbox_);
    ASSERT_TRUE(first.WaitForExit(30s)) << WindowsOf(first.Id());
    const DWORD secondId = WaitForSetupIn(RelaunchFolder());
    ASSERT_NE(secondId, 0u) << sandbox_.StandinLogText();
    Process second(secondId);
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
    EXPECT_EQ(sandbox_.StandinLogText(), "");
    Cancel(wizard, second);
}

TEST_F(UninstallSwitches, FirstStageOverAnEarlierRelaunchFolderCopiesOverIt) {
    AddWords({11});
    CreateDirectoryW(runtime::Widen(RelaunchFolder()).c_str(), nullptr);
    testsupport::WriteFile(RelaunchFolder() + "TvxSetup.exe", "an older copy");
    testsupport::WriteFile(RelaunchFolder() + "COMCAT.DLL", "an older copy");
    Process first(SetupCommand(sandbox_, "/Uninstall_1_11"), sandbox_);
    ASSERT_TRUE(first.WaitForExit(30s)) << WindowsOf(first.Id());
    const DWORD secondId = WaitForSetupIn(RelaunchFolder());
    ASSERT_NE(secondId, 0u);
    Process second(secondId);
    EXPECT_EQ(testsupport::ReadFile(RelaunchFolder() + "COMCAT.DLL"),
              testsupport::ReadFile(sandbox_.StartFolder() + "COMCAT.DLL"));
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
    Cancel(wizard, second);
}

// A temporary folder under a user profile with an umlaut in its name, as German user names have.
TEST_F(UninstallSwitches, FirstStageRelaunchesFromATemporaryFolderWithAnUmlaut) {
    AddWords({11});
    const std::string temp = sandbox_.Root() + "Jürgen\\Lokale Einstellungen\\Temp\\";
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, runtime::Widen(temp).c_str(), nullptr), ERROR_SUCCESS);
    const std::string program = sandbox_.StartFolder() + "TvxSetup.exe";
    Process first(program, "\"" + program + "\" /Uninstall_1_11", sandbox_, temp);
    ASSERT_TRUE(first.WaitForExit(30s)) << WindowsOf(first.Id());
    const std::string relaunch = temp + "Tarvex\\";
    EXPECT_EQ(FolderEntries(relaunch).size(), 10u);
    const DWORD secondId = WaitForSetupIn(relaunch);
    ASSERT_NE(secondId, 0u);
    Process second(secondId);
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    EXPECT_EQ(second.CommandLine(), "\"" + relaunch + "TvxSetup.exe\" /Uninstall_2_11");
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
    Cancel(wizard, second);
}

// A support file of an earlier relaunch copy held open by another program: the copy over it
// fails after its retries and is reported with both paths.
class FirstStageCopyFailing : public UninstallSwitches {
protected:
    void SetUp() override {
        AddWords({11});
        CreateDirectoryW(runtime::Widen(RelaunchFolder()).c_str(), nullptr);
        held_ = CreateFileW(runtime::Widen(RelaunchFolder() + "COMCAT.DLL").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                            nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(held_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (held_ != INVALID_HANDLE_VALUE) {
            CloseHandle(held_);
        }
    }
    void ExpectCopyReport(const testsupport::ShownDialog& shown) {
        EXPECT_EQ(shown.Headline, "Fehler");
        EXPECT_NE(shown.Body.find("Kopieren einer Datei fehlgeschlagen (Quelle \"" + sandbox_.StartFolder() +
                                  "COMCAT.DLL\", Ziel \"" + RelaunchFolder() + "COMCAT.DLL\")"),
                  std::string::npos)
            << shown.Body;
        EXPECT_EQ(shown.Buttons, (std::vector<std::string>{"Abbrechen", "Ignorieren"}));
    }

    HANDLE held_ = INVALID_HANDLE_VALUE;
};

TEST_F(FirstStageCopyFailing, AbbrechenEndsTheProgramBeforeTheSecondStage) {
    Process first(SetupCommand(sandbox_, "/Uninstall_1_11"), sandbox_);
    testsupport::DialogAnswerer dialogs(first.Id());
    dialogs.Click("Abbrechen");
    ASSERT_TRUE(dialogs.Done());
    DWORD exitCode = 1;
    ASSERT_TRUE(first.WaitForExit(20s, &exitCode)) << WindowsOf(first.Id());
    EXPECT_EQ(exitCode, 0u);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    ExpectCopyReport(dialogs.Seen()[0]);
    // Ended at the failed copy: the files after it were not copied, and no copy was started.
    EXPECT_EQ(FolderEntries(RelaunchFolder()),
              (std::vector<std::string>{"ADVPACK.DLL", "ASYCFILT.DLL", "COMCAT.DLL", "TvxSetup.exe"}));
    EXPECT_EQ(WaitForSetupIn(RelaunchFolder(), 2s), 0u);
}

TEST_F(FirstStageCopyFailing, IgnorierenCopiesTheRestAndStartsTheSecondStage) {
    Process first(SetupCommand(sandbox_, "/Uninstall_1_11"), sandbox_);
    testsupport::DialogAnswerer dialogs(first.Id());
    dialogs.Click("Ignorieren");
    ASSERT_TRUE(dialogs.Done());
    ASSERT_TRUE(first.WaitForExit(20s)) << WindowsOf(first.Id());
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    ExpectCopyReport(dialogs.Seen()[0]);
    EXPECT_EQ(FolderEntries(RelaunchFolder()).size(), 10u);
    EXPECT_EQ(testsupport::ReadFile(RelaunchFolder() + "W95INF32.DLL"),
              testsupport::ReadFile(sandbox_.StartFolder() + "W95INF32.DLL"));
    const DWORD secondId = WaitForSetupIn(RelaunchFolder());
    ASSERT_NE(secondId, 0u);
    Process second(secondId);
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
}

TEST_F(UninstallSwitches, FirstStageWithALeadingZeroStartsTheSecondWithThePlainNumber) {
    AddWords({11});
    Process first(SetupCommand(sandbox_, "/Uninstall_1_011"), sandbox_);
    ASSERT_TRUE(first.WaitForExit(30s)) << WindowsOf(first.Id());
    const DWORD secondId = WaitForSetupIn(RelaunchFolder());
    ASSERT_NE(secondId, 0u);
    Process second(secondId);
    HWND wizard = WaitForReadyWizard(secondId);
    ASSERT_NE(wizard, nullptr) << WindowsOf(secondId);
    EXPECT_EQ(second.CommandLine(), "\"" + RelaunchFolder() + "TvxSetup.exe\" /Uninstall_2_11");
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
    Cancel(wizard, second);
}

TEST_F(UninstallSwitches, SecondStageNarrowsThreeVersionsToTheMiddleOne) {
    AddWords({10});
    Process setup(SetupCommand(sandbox_, "/Uninstall_2_10"), sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    ExpectNarrowedTo(wizard, "Microsoft Word XP (Version 10)");
    EXPECT_TRUE(setup.Running());
    EXPECT_FALSE(FolderExists(RelaunchFolder()));
}

TEST_F(UninstallSwitches, SecondStageForTheLastRowRemovesTheRowsBeforeIt) {
    AddWords({9, 10, 11});
    Process setup(SetupCommand(sandbox_, "/Uninstall_2_11"), sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    ExpectNarrowedTo(wizard, "Microsoft Word 2003 (Version 11)");
}

TEST_F(UninstallSwitches, SecondStageForTheFirstRowRemovesTheRowsAfterIt) {
    AddWords({9, 10, 11});
    Process setup(SetupCommand(sandbox_, "/Uninstall_2_9"), sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    ExpectNarrowedTo(wizard, "Microsoft Word 2000 (Version 9)");
}

// The number with blanks around it, a sign or a leading zero names the same Word version.
class SwitchNumberForms : public UninstallSwitches, public testing::WithParamInterface<const char*> {};

TEST_P(SwitchNumberForms, NameTheSameVersion) {
    AddWords({10});
    Process setup(SetupCommand(sandbox_, GetParam()), sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    ExpectNarrowedTo(wizard, "Microsoft Word XP (Version 10)");
}

INSTANTIATE_TEST_SUITE_P(UninstallSwitches, SwitchNumberForms,
                         testing::Values("/Uninstall_2_ 10 ", "/Uninstall_2_+10", "/Uninstall_2_010"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return "Form" + std::to_string(info.index);
                         });

// The program's own path with blanks, quoted or not: the switch is told apart from it.
TEST_F(UninstallSwitches, UnquotedProgramPathWithBlanksIsToldApartFromTheSwitch) {
    AddWords({10});
    const std::string program = sandbox_.StartFolder() + "TvxSetup.exe";
    ASSERT_NE(program.find(' '), std::string::npos);
    Process setup(program, program + " /Uninstall_2_10", sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    // Handed over unquoted, as Windows hands on an uninstall command written without quotes.
    EXPECT_EQ(setup.CommandLine(), program + " /Uninstall_2_10");
    ExpectNarrowedTo(wizard, "Microsoft Word XP (Version 10)");
}

// A folder on the way named like the program without its extension, as an unpacked setup's
// folder often is: the path does not end at the blank after it.
TEST_F(UninstallSwitches, UnquotedPathThroughAFolderNamedLikeTheProgramIsToldApart) {
    AddWords({10});
    const std::string folder = sandbox_.Root() + "TvxSetup Dateien\\";
    CopyTree(sandbox_.StartFolder(), folder);
    const std::string program = folder + "TvxSetup.exe";
    ASSERT_TRUE(testsupport::FileExists(program));
    Process setup(program, program + " /Uninstall_2_10", sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    EXPECT_EQ(setup.CommandLine(), program + " /Uninstall_2_10");
    ExpectNarrowedTo(wizard, "Microsoft Word XP (Version 10)");
}

TEST_F(UninstallSwitches, QuotedProgramPathWithBlanksIsToldApartFromTheSwitch) {
    AddWords({10});
    const std::string program = sandbox_.StartFolder() + "TvxSetup.exe";
    Process setup(program, "\"" + program + "\" /Uninstall_2_10", sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    EXPECT_EQ(setup.CommandLine(), "\"" + program + "\" /Uninstall_2_10");
    ExpectNarrowedTo(wizard, "Microsoft Word XP (Version 10)");
}

// A switch that is not obeyed: the normal wizard, with the list as the start-up filled it and its
// last row selected, no relaunch folder, no message; the program waits for the user.
class SwitchNotObeyed : public UninstallSwitches, public testing::WithParamInterface<const char*> {};

TEST_P(SwitchNotObeyed, ShowsTheNormalWizard) {
    // Every version has the template, except 10: a switch for 10 names a version without it.
    AddWords({9, 11});
    Process setup(SetupCommand(sandbox_, GetParam()), sandbox_);
    HWND wizard = WaitForReadyWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    HWND list = WizardControl(wizard, S::kIdListBox);
    EXPECT_EQ(ListItems(list), kThreeVersions);
    EXPECT_EQ(ListSelection(list), 2);
    // The option logic for Word 11 with its template: the update chosen, the uninstall offered.
    EXPECT_FALSE(IsWindowEnabled(WizardControl(wizard, S::kIdOptionInstall)));
    EXPECT_TRUE(Checked(WizardControl(wizard, S::kIdOptionUpdate)));
    EXPECT_TRUE(IsWindowEnabled(WizardControl(wizard, S::kIdOptionUninstall)));
    EXPECT_FALSE(Checked(WizardControl(wizard, S::kIdOptionUninstall)));
    EXPECT_EQ(testsupport::FindShownDialog(setup.Id()), nullptr);
    EXPECT_TRUE(setup.Running());
    EXPECT_FALSE(FolderExists(RelaunchFolder()));
    Click(WizardControl(wizard, S::kIdAbbrechen));
    EXPECT_TRUE(setup.WaitForExit(20s));
    EXPECT_FALSE(FolderExists(RelaunchFolder()));
}

INSTANTIATE_TEST_SUITE_P(UninstallSwitches, SwitchNotObeyed,
                         testing::Values("/Uninstall_1_",      // 13 characters
                                         "/uninstall_1_11",    // letter case counts
                                         "/Uninstall_3_11",    // no such stage
                                         "/Uninstall_1_1x",    // no number: 0
                                         "/Uninstall_1_70000", // beyond a 16-bit number: 0
                                         "/Uninstall_1_65547", // 11 past 65536: 0, not 11
                                         "/Uninstall_1_10",    // listed, but without the template
                                         "/Uninstall_2_10",    // the same for the second stage
                                         "/Uninstall_1_12",    // not listed
                                         "x/Uninstall_1_11"),  // something before the switch
                         [](const testing::TestParamInfo<const char*>& info) {
                             return "Case" + std::to_string(info.index);
                         });
