// The update: an install over an existing one copies every file again and changes nothing else;
// the uninstall record file keeps its lines, whether the first or the second run found it.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;
using testsupport::RawValue;
using testsupport::ReadFile;
using testsupport::ReadRaw;
using testsupport::WriteFile;

namespace {

constexpr const char* kWordFolder = "Programme\\Microsoft Office Ä\\Office11";

// Every file the install copies, by its installed path, with the delivered file it comes from.
std::map<std::string, std::string> CopiedFiles(const std::string& word) {
    const std::string sample = SampleFolder();
    std::map<std::string, std::string> files{
        {word + "STARTUP\\Tvx.dot", sample + "Docs\\Tvx.dot"},
        {word + "Tvx\\Keyboard.doc", sample + "Docs\\Keyboard.doc"},
        {word + "Tvx\\TvxTutorial.exe", sample + "Docs\\TvxTutorial.exe"},
        {word + "Tvx\\QuickGuide.doc", sample + "Docs\\QuickGuide.doc"},
        {word + "Tvx\\Uninstall\\TvxSetup.exe", sample + "TvxSetup.exe"},
    };
    for (const std::string& name : RuntimeFileNames()) {
        files[word + "Tvx\\Uninstall\\" + name] = sample + name;
    }
    return files;
}

std::map<std::string, RawValue> RegistryState() {
    std::map<std::string, RawValue> state;
    for (const char* name : {"Comments", "Contact", "DisplayName", "DisplayIcon", "HelpLink", "NoModify", "NoRepair",
                             "Publisher", "UninstallString", "URLInfoAbout"}) {
        state[std::string("entry ") + name] = ReadRaw(HKEY_LOCAL_MACHINE, UninstallKey(11), name);
    }
    state["Level"] = ReadRaw(HKEY_CURRENT_USER, SecurityKey(11), "Level");
    state["DontTrustInstalledFiles"] = ReadRaw(HKEY_CURRENT_USER, SecurityKey(11), "DontTrustInstalledFiles");
    state["Tvx_Version"] = ReadRaw(HKEY_CURRENT_USER, VersionMarkKey(11) + "\\Options", "Tvx_Version");
    return state;
}

bool operator==(const RawValue& a, const RawValue& b) {
    return a.Type == b.Type && a.Bytes == b.Bytes;
}

} // namespace

TEST(InstallAgain, SecondInstallReplacesTheCopiesAndChangesNothingElse) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    // Two saved Normal.dot copies recorded by an earlier install; the file is kept byte for byte.
    CreateDirectoryW(runtime::Widen(word + "Tvx").c_str(), nullptr);
    const std::string record = runtime::ToAnsi("C:\\Dokumente\\Vorlagen Ä\\Normal (Tarvex Backup 01.02.2024 10.15).dot"
                                               "\r\nC:\\Vorlagen\\Normal (Tarvex Backup 03.04.2024 08.05).dot\r\n");
    WriteFile(word + "Tvx\\uninstall.tvk", record);
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 1; }));
    }
    EXPECT_EQ(ReadFile(word + "Tvx\\uninstall.tvk"), record);
    const auto firstState = RegistryState();
    ASSERT_EQ(firstState.at("Tvx_Version").Bytes, std::string("99990.00") + '\0');

    // Between the runs: every copy made stale, and a file of the user's own in each folder the
    // install made.
    for (const auto& [installed, delivered] : CopiedFiles(word)) {
        WriteFile(installed, "stale");
    }
    for (const char* folder : {"Tvx\\", "Tvx\\Uninstall\\", "STARTUP\\"}) {
        WriteFile(word + folder + "user.txt", "mine");
    }
    {
        SetupRun setup(sandbox);
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr);
        // The template is there: the update is preselected.
        EXPECT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionUpdate)));
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 2; }));
    }

    for (const auto& [installed, delivered] : CopiedFiles(word)) {
        EXPECT_EQ(ReadFile(installed), ReadFile(delivered)) << installed;
    }
    // No folder was made anew: what the user put there is still there.
    for (const char* folder : {"Tvx\\", "Tvx\\Uninstall\\", "STARTUP\\"}) {
        EXPECT_EQ(ReadFile(word + folder + "user.txt"), "mine") << folder;
    }
    EXPECT_EQ(ReadFile(word + "Tvx\\uninstall.tvk"), record);
    const auto secondState = RegistryState();
    for (const auto& [name, value] : firstState) {
        EXPECT_TRUE(secondState.at(name) == value) << name;
    }
    // No second mark in front.
    EXPECT_EQ(secondState.at("Tvx_Version").Bytes, std::string("99990.00") + '\0');
}
