#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using runtime::Variant;
using namespace std::chrono_literals;

namespace {

// Runs a stand-in through ExecuteShell and ends it again at the end of the test.
class ExecuteShellTest : public testing::Test {
protected:
    void SetUp() override {
        logPath_ = folder_.Path() + "started.log";
        caption_ = "Stand-in " + std::to_string(GetCurrentProcessId());
        SetEnvironmentVariableW(L"TVX_STANDIN_LOG", runtime::Widen(logPath_).c_str());
        SetEnvironmentVariableW(L"TVX_STANDIN_CAPTION", runtime::Widen(caption_).c_str());
    }

    void TearDown() override {
        HWND window = FindWindowW(L"TvxStandin", runtime::Widen(caption_).c_str());
        if (window != nullptr) {
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        SetEnvironmentVariableW(L"TVX_STANDIN_LOG", nullptr);
        SetEnvironmentVariableW(L"TVX_STANDIN_CAPTION", nullptr);
    }

    std::string Log() const { return testsupport::FileExists(logPath_) ? testsupport::ReadFile(logPath_) : ""; }

    testsupport::TempFolder folder_;
    std::string logPath_;
    std::string caption_;
};

} // namespace

TEST_F(ExecuteShellTest, StartsTheProgramWithItsSwitchAndShowStateWithoutWaiting) {
    Tarvex root;
    const std::string commandLine =
        std::string(1, '"') + testsupport::StandinPath("winword.exe") + "\" /Uninstall_2_11";
    root.ExecuteShell(Variant(commandLine), Variant(3));
    // The call has returned while the started program runs on: its window comes up afterwards.
    ASSERT_TRUE(testsupport::WaitFor([&] { return Log().find("args=") != std::string::npos; }, 20s));
    EXPECT_NE(Log().find("show=3\n"), std::string::npos) << Log();
    EXPECT_NE(Log().find("args=/Uninstall_2_11\n"), std::string::npos) << Log();
    EXPECT_TRUE(testsupport::WaitFor(
        [&] { return FindWindowW(L"TvxStandin", runtime::Widen(caption_).c_str()) != nullptr; }, 20s));
    EXPECT_TRUE(root.Errors()->ErrNumber().IsEmpty());
}

TEST_F(ExecuteShellTest, MinimizedWithoutFocusIsHandedOnAsStyleSix) {
    Tarvex root;
    root.ExecuteShell(Variant(testsupport::StandinPath("winword.exe")), Variant(6));
    ASSERT_TRUE(testsupport::WaitFor([&] { return Log().find("args=") != std::string::npos; }, 20s));
    EXPECT_NE(Log().find("show=6\n"), std::string::npos) << Log();
    EXPECT_NE(Log().find("args=\n"), std::string::npos) << Log();
}

TEST_F(ExecuteShellTest, ProgramThatCannotBeStartedIsReported) {
    Tarvex root;
    testsupport::DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    root.ExecuteShell(Variant(folder_.Path() + "missing.exe /Uninstall_2_11"), Variant(3));
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(root.Errors()->ErrNumber().ToLong(), 53);
    EXPECT_EQ(root.Errors()->Description().ToString(), "Unbekannter Fehler in Klasse \"Tarvex\"");
}

TEST_F(ExecuteShellTest, StyleThatCannotBeConvertedStartsNothing) {
    Tarvex root;
    testsupport::DialogAnswerer dialogs;
    dialogs.Click("Ignorieren").Click("Ignorieren");
    root.ExecuteShell(Variant(testsupport::StandinPath("winword.exe")), Variant("maximiert"));
    EXPECT_EQ(root.Errors()->ErrNumber().ToLong(), 13);
    root.ExecuteShell(Variant(testsupport::StandinPath("winword.exe")));
    EXPECT_EQ(root.Errors()->ErrNumber().ToLong(), 13);
    EXPECT_TRUE(dialogs.Done());
    Sleep(1000);
    EXPECT_EQ(Log(), "");
}

namespace {

std::string ProbePath() {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    return runtime::Narrow(temp) + "tvx-endexecution-probe.txt";
}

// Would leave a mark if its destructor ran.
struct MarksOnDestruction {
    ~MarksOnDestruction() { testsupport::WriteFile(ProbePath(), "destructor ran"); }
};

void Innermost(Tarvex& root) {
    MarksOnDestruction guard;
    root.EndExecution();
}

void Middle(Tarvex& root) {
    MarksOnDestruction guard;
    Innermost(root);
    testsupport::WriteFile(ProbePath(), "returned into the caller");
}

} // namespace

TEST(EndExecutionDeathTest, EndsTheProcessFromANestedCallWithoutAnyDestructor) {
    DeleteFileW(runtime::Widen(ProbePath()).c_str());
    EXPECT_EXIT(
        {
            Tarvex root;
            Middle(root);
            testsupport::WriteFile(ProbePath(), "returned");
        },
        testing::ExitedWithCode(0), "");
    EXPECT_FALSE(testsupport::FileExists(ProbePath()));
}
