#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalProcesses.h"
#include "runtime/Handle.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

namespace {

// A copy of the stand-in program under a name of the test's own, running until the test ends
// it or the operation under test terminates it.
class Standin {
public:
    Standin(const std::string& folder, const std::string& exeName) {
        const std::string path = folder + exeName;
        if (!testsupport::FileExists(path)) {
            EXPECT_TRUE(CopyFileW(runtime::Widen(testsupport::StandinPath("winword.exe")).c_str(),
                                  runtime::Widen(path).c_str(), TRUE));
        }
        std::wstring commandLine = L"\"" + runtime::Widen(path) + L"\"";
        // Hidden: a window shown by a stand-in would take the foreground from other tests.
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION started{};
        EXPECT_TRUE(CreateProcessW(runtime::Widen(path).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &started))
            << path;
        process_.reset(started.hProcess);
        runtime::KernelHandle thread(started.hThread);
    }

    // Ended by its own handle, never by a name that another test's process could bear.
    ~Standin() {
        if (Running()) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 10000);
        }
    }

    bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
    bool Ended() const { return process_ && WaitForSingleObject(process_.get(), 10000) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    runtime::KernelHandle process_;
};

class ProcessesTest : public testing::Test {
protected:
    // "tvxp" and this process's id, then the distinguishing part and ".exe".
    std::string Name(const std::string& part) const { return "tvxp" + pid_ + part + ".exe"; }

    Standin& Start(const std::string& exeName) {
        started_.push_back(std::make_unique<Standin>(folder_.Path(), exeName));
        return *started_.back();
    }

    Tarvex root_;
    Tvx_ExternalProcesses& processes_ = *root_.ExternalProcesses();
    const std::string pid_ = std::to_string(GetCurrentProcessId());
    testsupport::TempFolder folder_{"tvxprocesses"};
    std::vector<std::unique_ptr<Standin>> started_;
};

} // namespace

TEST_F(ProcessesTest, NoMatchingProcess) {
    Standin& other = Start(Name("a"));
    EXPECT_FALSE(processes_.CheckIfProcessExists(Name("b")).ToBool());
    EXPECT_EQ(processes_.CheckIfProcessExists(Name("b")).GetKind(), runtime::Variant::Kind::Boolean);
    EXPECT_TRUE(processes_.KillProcess(Name("b")).ToBool());
    EXPECT_TRUE(other.Running());
    systemtest::ExpectNoReport(root_);
}

TEST_F(ProcessesTest, TwoProcessesOfTheNameAreBothTerminated) {
    Standin& first = Start(Name("w"));
    Standin& second = Start(Name("w"));
    ASSERT_TRUE(first.Running());
    ASSERT_TRUE(second.Running());
    EXPECT_TRUE(processes_.CheckIfProcessExists(Name("w")).ToBool());
    EXPECT_TRUE(processes_.KillProcess(Name("w")).ToBool());
    ASSERT_TRUE(first.Ended());
    ASSERT_TRUE(second.Ended());
    // Terminated with the exit code each had read, the still-active code.
    EXPECT_EQ(first.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(second.ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_FALSE(processes_.CheckIfProcessExists(Name("w")).ToBool());
    systemtest::ExpectNoReport(root_);
}

TEST_F(ProcessesTest, LongerNameThatContainsTheArgumentMatches) {
    Standin& longer = Start("x" + Name("l"));
    EXPECT_TRUE(processes_.CheckIfProcessExists(Name("l")).ToBool());
    EXPECT_TRUE(processes_.KillProcess(Name("l")).ToBool());
    EXPECT_TRUE(longer.Ended());
}

TEST_F(ProcessesTest, LetterCaseIsIgnoredOnBothSides) {
    Standin& capitals = Start("XTVXP" + pid_ + "C.EXE");
    Standin& small = Start(Name("d"));
    EXPECT_TRUE(processes_.CheckIfProcessExists(Name("c")).ToBool());
    EXPECT_TRUE(processes_.CheckIfProcessExists("TVXP" + pid_ + "D.EXE").ToBool());
    EXPECT_TRUE(processes_.CheckIfProcessExists("Tvxp" + pid_ + "D.Exe").ToBool());
    EXPECT_TRUE(processes_.KillProcess("tvxp" + pid_ + "c.exe").ToBool());
    EXPECT_TRUE(capitals.Ended());
    EXPECT_TRUE(small.Running());
    EXPECT_TRUE(processes_.KillProcess("TVXP" + pid_ + "D.EXE").ToBool());
    EXPECT_TRUE(small.Ended());
}

// A name with a character the ANSI code page lacks is read as it is, not as a look-alike: the
// Omega matches its small letter and not the O it would be made into.
TEST_F(ProcessesTest, NameWithACharacterTheCodePageLacksIsItsOwn) {
    Standin& omega = Start(Name("\u03A9"));
    EXPECT_TRUE(processes_.CheckIfProcessExists(Name("\u03C9")).ToBool());
    EXPECT_FALSE(processes_.CheckIfProcessExists(Name("O")).ToBool());
    EXPECT_TRUE(processes_.KillProcess(Name("O")).ToBool());
    EXPECT_TRUE(omega.Running());
    EXPECT_TRUE(processes_.KillProcess(Name("\u03A9")).ToBool());
    EXPECT_TRUE(omega.Ended());
    systemtest::ExpectNoReport(root_);
}

// The long name is the short one with "x" and more after it; started one after the other they
// follow each other in the snapshot, so the record that holds the short name still holds the end
// of the long one behind its zero byte. Only the long one matches.
TEST_F(ProcessesTest, WhatStandsBehindTheZeroByteOfAShorterNameIsNeverCompared) {
    const std::string shortName = "tvxs" + pid_ + ".exe";
    const std::string marker = "mark" + pid_ + ".exe";
    Standin& longer = Start(shortName + "x" + marker);
    Standin& shorter = Start(shortName);
    ASSERT_TRUE(longer.Running());
    ASSERT_TRUE(shorter.Running());
    EXPECT_TRUE(processes_.KillProcess(marker).ToBool());
    EXPECT_TRUE(longer.Ended());
    EXPECT_TRUE(shorter.Running());
    EXPECT_TRUE(processes_.CheckIfProcessExists(shortName).ToBool());
    EXPECT_FALSE(processes_.CheckIfProcessExists(marker).ToBool());
}

// An empty name would be contained in every process's name; it matches none instead.
TEST_F(ProcessesTest, EmptyNameMatchesNoProcessAndTerminatesNothing) {
    Standin& running = Start(Name("e"));
    EXPECT_FALSE(processes_.CheckIfProcessExists("").ToBool());
    EXPECT_TRUE(processes_.KillProcess("").ToBool());
    Sleep(200);
    EXPECT_TRUE(running.Running());
    EXPECT_TRUE(processes_.CheckIfProcessExists(Name("e")).ToBool());
    systemtest::ExpectNoReport(root_);
}
