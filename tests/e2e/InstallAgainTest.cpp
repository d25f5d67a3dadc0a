// The update: an install over an existing one copies every file again and changes nothing else;
// the uninstall record file keeps its lines, whether the first or the second run found it. A
// document that is a link is replaced as itself, and a copy that fails midway leaves the old file.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;
using testsupport::RawValue;
using testsupport::ReadFile;
using testsupport::ReadRaw;
using testsupport::RunUnix;
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

// A small file system of its own mounted on a folder, which hides what the folder held until it is
// unmounted when the object goes: a disk that fills up long before the sandbox's does.
class SmallDisk {
public:
    SmallDisk(const std::string& folder, const std::string& size) : folder_(folder) {
        refusal_ = RunUnix("mount -t tmpfs -o size=" + size + " tmpfs", {folder});
    }
    ~SmallDisk() {
        // Detached at once should something still hold it, so that the sandbox can go.
        if (refusal_ == 0 && RunUnix("umount", {folder_}) != 0) {
            EXPECT_EQ(RunUnix("umount -l", {folder_}), 0) << folder_;
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // mount's exit code: 0 when the disk is there.
    int Refusal() const { return refusal_; }

private:
    std::string folder_;
    int refusal_ = -1;
};

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

// A document left as a link to a file elsewhere (outside Word's folder) is replaced as itself: the
// update puts the delivered document in its place, and the file it led to stays as it was.
TEST(InstallAgain, UpdateReplacesALinkedDocumentNotTheFileItLeadsTo) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, true);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(word + "Tvx").c_str(), nullptr));
    const std::string outside = sandbox.Root() + "Keyboard.doc";
    WriteFile(outside, "the user's own Keyboard.doc");
    testsupport::UnixLink link(word + "Tvx\\Keyboard.doc", outside);
    ASSERT_EQ(ReadFile(word + "Tvx\\Keyboard.doc"), "the user's own Keyboard.doc");
    {
        SetupRun setup(sandbox);
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr);
        EXPECT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionUpdate)));
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 1; }));
    }
    EXPECT_EQ(ReadFile(outside), "the user's own Keyboard.doc");
    // Read through a link still there, this would be the file outside.
    EXPECT_EQ(ReadFile(word + "Tvx\\Keyboard.doc"), ReadFile(SampleFolder() + "Docs\\Keyboard.doc"));
}

// Word's program folder on a disk of its own with room for everything but the new template: the
// failed copy is reported, and the user's old template is still there byte for byte, with no cut
// or temporary file beside it; everything else is installed.
TEST(InstallAgain, UpdateOntoAFullDiskKeepsTheOldTemplateWhole) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    SmallDisk disk(word, "4m");
    if (disk.Refusal() != 0) {
        GTEST_SKIP() << "mount refused a 4 MB tmpfs on " << word << " (exit code " << disk.Refusal()
                     << "): this machine does not let the tests mount a file system";
    }
    PlaceWordStandin(word);
    FillFonts(sandbox);
    const std::string startup = word + "STARTUP\\";
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(startup).c_str(), nullptr));
    const std::string oldTemplate = "the user's old template";
    WriteFile(startup + "Tvx.dot", oldTemplate);
    // Twice the disk's whole size; the Word stand-in and the setup copy take a good part of it.
    WriteFile(sandbox.StartFolder() + "Docs\\Tvx.dot", std::string(8 * 1024 * 1024, 'T'));
    {
        SetupRun setup(sandbox);
        setup.Dialogs().Click("Ignorieren");
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr);
        EXPECT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionUpdate)));
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 1u);
        ExpectFileReport(seen[0],
                         "Kopieren einer Datei fehlgeschlagen (Quelle \"" + sandbox.StartFolder() +
                             "Docs\\Tvx.dot\", Ziel \"" + startup + "Tvx.dot\")",
                         "Datenträger voll", 61);
        EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == 1; }));
    }
    EXPECT_EQ(ReadFile(startup + "Tvx.dot"), oldTemplate);
    EXPECT_EQ(FolderEntries(startup), std::vector<std::string>{"Tvx.dot"});
    EXPECT_EQ(FolderEntries(word), (std::vector<std::string>{"STARTUP", "Tvx", "winword.exe"}));
    for (const auto& [installed, delivered] : CopiedFiles(word)) {
        if (installed != startup + "Tvx.dot") {
            EXPECT_EQ(ReadFile(installed), ReadFile(delivered)) << installed;
        }
    }
}
