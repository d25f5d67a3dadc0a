#include "runtime/Handle.h"
#include "runtime/Process.h"
#include "runtime/RuntimeError.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace runtime;

TEST(CommandArguments, QuotedProgramPath) {
    EXPECT_EQ(ArgumentsOf(L"\"C:\\Program Files\\Tvx\\TvxSetup.exe\" /Uninstall_1_11", L"TvxSetup.exe"),
              "/Uninstall_1_11");
    EXPECT_EQ(ArgumentsOf(L"\"C:\\a b\\TvxSetup.exe\"", L"TvxSetup.exe"), "");
}

TEST(CommandArguments, UnquotedPathWithBlanks) {
    EXPECT_EQ(
        ArgumentsOf(L"C:\\Program Files\\Office Xp\\Tvx\\Uninstall\\TvxSetup.exe /Uninstall_1_11", L"TvxSetup.exe"),
        "/Uninstall_1_11");
    EXPECT_EQ(ArgumentsOf(L"C:\\Program Files\\Tvx\\TVXSETUP.EXE /Uninstall_2_9", L"TvxSetup.exe"), "/Uninstall_2_9");
    EXPECT_EQ(ArgumentsOf(L"C:\\Program Files\\Tvx\\TvxSetup.exe", L"TvxSetup.exe"), "");
}

TEST(CommandArguments, PlainPathAndOtherNames) {
    EXPECT_EQ(ArgumentsOf(L"TvxSetup /Uninstall_1_9", L"TvxSetup.exe"), "/Uninstall_1_9");
    EXPECT_EQ(ArgumentsOf(L"C:\\x\\setup.exe   /a  b", L"setup.exe"), "/a  b");
    // A name the program does not know itself by: the first blank ends the path.
    EXPECT_EQ(ArgumentsOf(L"C:\\x\\other.exe /a", L"TvxSetup.exe"), "/a");
    EXPECT_EQ(ArgumentsOf(L"C:\\x\\TvxSetup.exe", L"TvxSetup.exe"), "");
}

TEST(ProgramFolder, HoldsTheRunningProgram) {
    const std::string folder = ProgramFolder();
    const std::string path = ProgramPath();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(path.substr(0, folder.size()), folder);
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(path.substr(folder.size()), "\\test_runtime.exe");
}

TEST(Environ, ReadsAndMissesVariables) {
    SetEnvironmentVariableW(L"TVX_TEST_VAR", L"C:\\Temp f\u00fcr");
    EXPECT_EQ(Environ("TVX_TEST_VAR"), "C:\\Temp für");
    SetEnvironmentVariableW(L"TVX_TEST_VAR", nullptr);
    EXPECT_EQ(Environ("TVX_TEST_VAR"), "");
}

TEST(Shell, RejectsStylesOutsideTheShowStatesAndMissingPrograms) {
    try {
        Shell("C:\\windows\\system32\\cmd.exe /c exit", 9);
        FAIL() << "style 9 accepted";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), kErrInvalidCall);
    }
    try {
        Shell("C:\\no such folder\\nothing.exe", 1);
        FAIL() << "missing program started";
    } catch (const RuntimeError& error) {
        EXPECT_TRUE(error.Number() == kErrFileNotFound || error.Number() == kErrPathNotFound) << error.Number();
    }
    // Word's folder from a registry text that holds a zero character: the part before it is no
    // program to start.
    try {
        Shell("C:\\windows\\system32\\cmd.exe" + std::string(1, '\0') + "\\winword.exe", 1);
        FAIL() << "a text with a zero character started";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), kErrBadFileName);
    }
}

namespace {

int closedCount = 0;
struct CountingTraits {
    using pointer = int;
    static pointer Empty() noexcept { return -1; }
    static void Close(pointer) noexcept { ++closedCount; }
};
using Counted = UniqueHandle<CountingTraits>;

} // namespace

TEST(UniqueHandle, ClosesOnceThroughMovesAndResets) {
    closedCount = 0;
    {
        Counted a(5);
        Counted b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_EQ(b.get(), 5);
        Counted c;
        c = std::move(b);
        EXPECT_EQ(closedCount, 0);
        c.reset(7);
        EXPECT_EQ(closedCount, 1);
        EXPECT_EQ(c.release(), 7);
        EXPECT_FALSE(c);
    }
    EXPECT_EQ(closedCount, 1);
    {
        Counted d(1);
        Counted e(2);
        d = std::move(e);
        EXPECT_EQ(closedCount, 2);
        *d.put() = 3;
        EXPECT_EQ(closedCount, 3);
    }
    EXPECT_EQ(closedCount, 4);
}

TEST(UniqueHandle, FileHandlesTreatInvalidValueAsEmpty) {
    FileHandle none;
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), INVALID_HANDLE_VALUE);
    KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    EXPECT_TRUE(event);
}
