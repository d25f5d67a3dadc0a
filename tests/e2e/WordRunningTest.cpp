// Word running when the setup starts: the Word-running dialog and its three answers, and the
// longer wait of a run started with an uninstall switch. Word is the stand-in, started by the
// test under the name winword.exe.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

// A Word the user has open: the stand-in under Word's executable name, outside any Word folder
// the setup knows; the 32-bit one, or the one built as a 64-bit program (Word 2010 and later come
// 64-bit too).
class RunningWord {
public:
    explicit RunningWord(const Sandbox& sandbox, const std::string& standin = "winword.exe")
        : path_(PlaceIn(sandbox.Root() + "Laufendes Word\\", standin)), process_("\"" + path_ + "\"", sandbox) {
        Eventually([&] { return !ProcessesNamed("winword.exe").empty(); });
    }
    Process& Program() { return process_; }
    void End() { EndProcessById(process_.Id()); }

private:
    static std::string PlaceIn(const std::string& folder, const std::string& standin) {
        CreateDirectoryW(runtime::Widen(folder).c_str(), nullptr);
        CopyFileW(runtime::Widen(testsupport::StandinPath(standin)).c_str(),
                  runtime::Widen(folder + "winword.exe").c_str(), FALSE);
        return folder + "winword.exe";
    }
    std::string path_;
    Process process_;
};

// The moment the program's wizard window exists, still hidden: its start-up, the Word check
// first, runs from here on.
Clock::time_point WizardCreated(DWORD processId) {
    Eventually(
        [&] {
            for (HWND window : TopLevelWindowsOf(processId)) {
                wchar_t className[32] = {};
                GetClassNameW(window, className, 32);
                if (std::wstring(className) == L"TvxForm") {
                    return true;
                }
            }
            return false;
        },
        20s);
    return Clock::now();
}

long long MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

} // namespace

TEST(WordRunning, DialogAsksAndRetryWithWordClosedGoesOn) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox);
    SetupRun setup(sandbox);
    setup.Dialogs().Before([&] { word.End(); }).Click("Wiederholen");
    ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
    // The check is over once the wizard is up; the answerer fails the test on a second dialog.
    ASSERT_NE(setup.Wizard(), nullptr) << WindowsOf(setup.Program().Id());

    const auto seen = setup.Dialogs().Seen();
    ASSERT_EQ(seen.size(), 1u);
    const testsupport::ShownDialog& dialog = seen[0];
    EXPECT_EQ(dialog.Title, "Tarvex Warnung");
    EXPECT_EQ(dialog.Headline, "Microsoft Word aktiv");
    EXPECT_EQ(dialog.Icon, "warning");
    EXPECT_EQ(dialog.Body, "Während des Setups muß Microsoft Word geschlossen sein. Bitte beenden Sie Word und drücken "
                           "Sie dann auf \"Wiederholen\".\n\nFalls Word nicht in der Taskleiste erscheint, drücken Sie "
                           "bitte auf \"Beenden\", dann schließt der Setup Word automatisch (Wählen Sie diese Option "
                           "aber nur, falls Sie Word nicht selbst beenden können, denn dies kann zu Datenverlust "
                           "führen).");
    EXPECT_EQ(dialog.Buttons, (std::vector<std::string>{"Wiederholen", "Beenden", "Abbrechen"}));
    EXPECT_EQ(dialog.DefaultButton, "Wiederholen");
    EXPECT_EQ(dialog.FocusedButton, "Wiederholen");

    Click(WizardControl(setup.Wizard(), Tvx_UFSetup::kIdAbbrechen));
    EXPECT_TRUE(setup.Program().WaitForExit(20s));
}

class WordOfEitherKind : public testing::TestWithParam<const char*> {};

// The setup is 32-bit; its process list holds the 64-bit programs too, and it ends them alike.
INSTANTIATE_TEST_SUITE_P(WordRunning, WordOfEitherKind, testing::Values("winword.exe", "x64\\winword.exe"));

TEST_P(WordOfEitherKind, BeendenTerminatesWord) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox, GetParam());
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(word.Program().Handle(), &wow64));
    ASSERT_EQ(wow64 == FALSE, std::string(GetParam()).starts_with("x64"));
    SetupRun setup(sandbox);
    setup.Dialogs().Click("Beenden");
    ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
    DWORD wordExit = 0;
    ASSERT_TRUE(word.Program().WaitForExit(10s, &wordExit));
    // Terminated from outside, with the still-active code the setup read before: the stand-in
    // itself only ever ends with 0.
    EXPECT_EQ(wordExit, static_cast<DWORD>(STILL_ACTIVE));
    // No report that Word could not be ended; the start-up goes on to the wizard.
    ASSERT_NE(setup.Wizard(), nullptr) << WindowsOf(setup.Program().Id());
    EXPECT_EQ(setup.Dialogs().Seen().size(), 1u);
    EXPECT_TRUE(ProcessesNamed("winword.exe").empty());
}

TEST(WordRunning, AbbrechenEndsTheSetupAndLeavesWordRunning) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox);
    SetupRun setup(sandbox);
    setup.Dialogs().Click("Abbrechen");
    ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
    DWORD exitCode = 1;
    ASSERT_TRUE(setup.Program().WaitForExit(20s, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(word.Program().Running());
}

// A close request from another program (a task manager) answers as the close box does: the
// program ends cleanly, with no "Kritischer Fehler" left waiting on screen.
TEST(WordRunning, EscTheCloseBoxAndACloseFromOutsideAnswerAbbrechen) {
    using Answer = testsupport::DialogAnswerer& (testsupport::DialogAnswerer::*)();
    const std::pair<Answer, const char*> answers[] = {{&testsupport::DialogAnswerer::Escape, "Esc"},
                                                      {&testsupport::DialogAnswerer::CloseBox, "close box"},
                                                      {&testsupport::DialogAnswerer::CloseFromOutside, "outside"}};
    for (const auto& [answer, name] : answers) {
        InstallTraces traces;
        Sandbox sandbox;
        sandbox.AddWord(11, "Programme\\Office 2003", false);
        RunningWord word(sandbox);
        SetupRun setup(sandbox);
        (setup.Dialogs().*answer)();
        ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
        DWORD exitCode = 1;
        EXPECT_TRUE(setup.Program().WaitForExit(20s, &exitCode)) << name << "\n" << WindowsOf(setup.Program().Id());
        EXPECT_EQ(exitCode, 0u) << name;
        EXPECT_TRUE(word.Program().Running()) << name;
    }
}

TEST(WordRunning, WordStillRunningAfterRetryAsksAgain) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox);
    SetupRun setup(sandbox);
    Clock::time_point first;
    Clock::time_point second;
    setup.Dialogs().Before([&] { first = Clock::now(); }).Click("Wiederholen");
    setup.Dialogs().Before([&] { second = Clock::now(); }).Click("Abbrechen");
    ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
    EXPECT_TRUE(setup.Program().WaitForExit(20s));
    ASSERT_EQ(setup.Dialogs().Seen().size(), 2u);
    EXPECT_EQ(setup.Dialogs().Seen()[1].Headline, "Microsoft Word aktiv");
    // A full new wait lies between the two.
    EXPECT_GE(MsBetween(first, second), 250);
}

TEST(WordRunning, WithoutSwitchTheDialogComesAfterAQuarterSecond) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox);
    SetupRun setup(sandbox);
    Clock::time_point asked;
    setup.Dialogs().Before([&] { asked = Clock::now(); }).Click("Abbrechen");
    const Clock::time_point created = WizardCreated(setup.Program().Id());
    ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
    EXPECT_TRUE(setup.Program().WaitForExit(20s));
    // 250 ms and the time to read the process list and show the dialog; far from 2000 ms.
    EXPECT_GE(MsBetween(created, asked), 250 - 50);
    EXPECT_LT(MsBetween(created, asked), 1500);
}

TEST(WordRunning, UninstallSwitchWaitsTwoSeconds) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox);
    // No Word 99 is listed: the switch changes nothing but the wait.
    SetupRun setup(sandbox, "/Uninstall_1_99");
    Clock::time_point asked;
    setup.Dialogs().Before([&] { asked = Clock::now(); }).Click("Abbrechen");
    const Clock::time_point created = WizardCreated(setup.Program().Id());
    ASSERT_TRUE(setup.Dialogs().Done()) << WindowsOf(setup.Program().Id());
    EXPECT_TRUE(setup.Program().WaitForExit(20s));
    EXPECT_GE(MsBetween(created, asked), 2000 - 50);
}

TEST(WordRunning, WordEndingWithinTheSwitchWaitGivesNoDialog) {
    InstallTraces traces;
    Sandbox sandbox;
    sandbox.AddWord(11, "Programme\\Office 2003", false);
    RunningWord word(sandbox);
    SetupRun setup(sandbox, "/Uninstall_1_99");
    WizardCreated(setup.Program().Id());
    // Without the switch the dialog would be up by now.
    Sleep(1000);
    word.End();
    HWND wizard = setup.Wizard();
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Program().Id());
    // The normal wizard: the switch names no listed Word version.
    EXPECT_EQ(ListItems(WizardControl(wizard, Tvx_UFSetup::kIdListBox)),
              std::vector<std::string>{"Microsoft Word 2003 (Version 11)"});
    EXPECT_TRUE(setup.Dialogs().Seen().empty());
    Click(WizardControl(wizard, Tvx_UFSetup::kIdAbbrechen));
    EXPECT_TRUE(setup.Program().WaitForExit(20s));
}
