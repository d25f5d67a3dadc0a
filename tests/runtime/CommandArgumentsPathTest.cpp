// Telling an unquoted program path with blanks from the arguments, on real folders: the path
// ends where it names the program file, not at a folder named like the program.

#include "runtime/Process.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using runtime::ArgumentsOf;
using runtime::Widen;

TEST(CommandArguments, FolderNamedLikeTheProgramDoesNotEndTheUnquotedPath) {
    testsupport::TempFolder root("arguments");
    const std::string folder = root.Path() + "TvxSetup Dateien\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
    testsupport::WriteFile(folder + "TvxSetup.exe", "program");
    EXPECT_EQ(ArgumentsOf(Widen(folder + "TvxSetup.exe /Uninstall_2_10"), L"TvxSetup.exe"), "/Uninstall_2_10");
    // Started without its extension, as the system allows.
    EXPECT_EQ(ArgumentsOf(Widen(folder + "TvxSetup /Uninstall_2_10"), L"TvxSetup.exe"), "/Uninstall_2_10");
}

TEST(CommandArguments, ProgramNamedInTheArgumentsDoesNotEndThePathEarlier) {
    testsupport::TempFolder root("arguments");
    const std::string folder = root.Path() + "Setup Kopie\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
    testsupport::WriteFile(folder + "TvxSetup.exe", "program");
    EXPECT_EQ(ArgumentsOf(Widen(folder + "TvxSetup.exe /a " + folder + "TvxSetup.exe"), L"TvxSetup.exe"),
              "/a " + folder + "TvxSetup.exe");
}
