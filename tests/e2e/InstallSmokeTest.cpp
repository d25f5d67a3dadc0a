#include "E2eSupport.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

using namespace e2e;

TEST(InstallSmoke, WizardComesUpAndInstallsForWord11) {
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, "Programme\\Microsoft Office Ä\\Office11", false);
    CopyFileW(runtime::Widen(testsupport::StandinPath("winword.exe")).c_str(),
              runtime::Widen(word + "winword.exe").c_str(), FALSE);
    Process setup(SetupCommand(sandbox), sandbox);
    HWND wizard = WaitForWizard(setup.Id());
    ASSERT_NE(wizard, nullptr) << WindowsOf(setup.Id());
    EXPECT_EQ(ListItems(WizardControl(wizard, Tvx_UFSetup::kIdListBox)),
              std::vector<std::string>{"Microsoft Word 2003 (Version 11)"});
    EXPECT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionInstall)));
    Click(WizardControl(wizard, Tvx_UFSetup::kIdWeiter));
    DWORD exitCode = 1;
    ASSERT_TRUE(setup.WaitForExit(60s, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(testsupport::FileExists(word + "STARTUP\\Tvx.dot"));
    EXPECT_TRUE(testsupport::FileExists(word + "Tvx\\Uninstall\\TvxSetup.exe"));
    EXPECT_TRUE(Eventually([&] { return sandbox.StandinLogText().find("show=3") != std::string::npos; }));
    EndProcessesNamed("winword.exe");
}
