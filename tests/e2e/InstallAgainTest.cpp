// The update: an install over an existing one copies every file again and changes nothing else;
// the uninstall record file keeps its lines, whether the first or the second run found it. A
// document that is a link is replaced as itself, a copy that fails midway leaves the old file, a
// template another program reads is replaced all the same, a run ended by force leaves no
// half-written copy, and files from read-only media are installed writable.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

#include <cstring>
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

// A run of the setup with the option it preselects, which ends without a message and starts Word,
// its start counted among those of the sandbox so far.
void RunWithoutAMessage(Sandbox& sandbox, int option, size_t wordStarts) {
    SetupRun setup(sandbox);
    HWND wizard = setup.Wizard();
    ASSERT_NE(wizard, nullptr);
    EXPECT_TRUE(Checked(WizardControl(wizard, option)));
    ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
    EXPECT_EQ(setup.ExitCode(), 0u);
    EXPECT_TRUE(setup.Dialogs().Seen().empty());
    EXPECT_TRUE(Eventually([&] { return WordStarts(sandbox).size() == wordStarts; }));
}

// The temporary files of copies under way in a folder: "~tvx", sixteen hex digits, ".tmp".
std::vector<std::string> TemporaryFilesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : FolderEntries(folder)) {
        if (name.size() == 24 && name.rfind("~tvx", 0) == 0 && name.compare(20, 4, ".tmp") == 0) {
            found.push_back(name);
        }
    }
    return found;
}

// A file of many megabytes, each of its own bytes, written and compared a megabyte at a time.
constexpr size_t kMegabyte = 1024 * 1024;
constexpr int kBigTemplateMegabytes = 512;

std::string Megabyte(int number) {
    std::string bytes(kMegabyte, static_cast<char>('A' + number % 26));
    std::memcpy(bytes.data(), &number, sizeof number);
    return bytes;
}

void WriteBigFile(const std::string& path, int megabytes) {
    const runtime::FileHandle file(
        CreateFileW(runtime::Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << path;
    for (int number = 0; number < megabytes; ++number) {
        const std::string bytes = Megabyte(number);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), kMegabyte, &written, nullptr) && written == kMegabyte);
    }
}

bool HoldsBigFile(const std::string& path, int megabytes) {
    const runtime::FileHandle file(
        CreateFileW(runtime::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(kMegabyte, '\0');
    for (int number = 0; number < megabytes; ++number) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), bytes.data(), kMegabyte, &got, nullptr) || got != kMegabyte ||
            bytes != Megabyte(number)) {
            return false;
        }
    }
    DWORD got = 0;
    return ::ReadFile(file.get(), bytes.data(), 1, &got, nullptr) && got == 0;
}

DWORD AttributesOf(const std::string& path) {
    return GetFileAttributesW(runtime::Widen(path).c_str());
}

unsigned long long SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(runtime::Widen(path).c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void SetReadOnly(const std::string& path) {
    SetFileAttributesW(runtime::Widen(path).c_str(), FILE_ATTRIBUTE_READONLY);
}

// Every file below the folder read-only, as a CD shows them.
void MakeReadOnlyMedium(const std::string& folder) {
    for (const std::string& name : FolderEntries(folder)) {
        if ((AttributesOf(folder + name) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            MakeReadOnlyMedium(folder + name + "\\");
        } else {
            SetReadOnly(folder + name);
        }
    }
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
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionUpdate, 1));
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

// Another program reads the old template while the update runs, sharing read, write and delete as
// the indexer or a virus scanner does: the delivered template takes its name all the same, without
// a message, and the old one, put aside, goes once the reader lets go of it.
TEST(InstallAgain, UpdateReplacesATemplateThatAnotherProgramReads) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, true);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    const std::string startup = word + "STARTUP\\";
    const std::string oldTemplate = ReadFile(startup + "Tvx.dot");
    runtime::FileHandle reader(CreateFileW(runtime::Widen(startup + "Tvx.dot").c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionUpdate, 1));
    EXPECT_EQ(ReadFile(startup + "Tvx.dot"), ReadFile(SampleFolder() + "Docs\\Tvx.dot"));
    // The reader goes on reading the file it opened.
    char held[64] = {};
    DWORD got = 0;
    ASSERT_TRUE(::ReadFile(reader.get(), held, sizeof held, &got, nullptr));
    EXPECT_EQ(std::string(held, got), oldTemplate);
    reader.reset();
    EXPECT_EQ(FolderEntries(startup), std::vector<std::string>{"Tvx.dot"});
}

// The installed tutorial runs while the update replaces it: a running program's file can be
// renamed but not deleted. The new tutorial takes its name without a message, and the old one stays
// under one temporary file's name beside it, until the run after its end sweeps it away.
TEST(InstallAgain, UpdateReplacesTheRunningTutorial) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    const std::string delivered = sandbox.StartFolder() + "Docs\\TvxTutorial.exe";
    ASSERT_TRUE(CopyFileW(runtime::Widen(testsupport::StandinPath("barewindow.exe")).c_str(),
                          runtime::Widen(delivered).c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionInstall, 1));
    const std::string folder = word + "Tvx\\";
    const std::string oldTutorial = ReadFile(folder + "TvxTutorial.exe");
    ASSERT_EQ(oldTutorial, ReadFile(delivered));
    Process tutorial(folder + "TvxTutorial.exe", "\"" + folder + "TvxTutorial.exe\"", sandbox);
    ASSERT_TRUE(Eventually([&] { return !TopLevelWindowsOf(tutorial.Id()).empty(); }));

    // The newer media: another program as the tutorial.
    ASSERT_TRUE(CopyFileW(runtime::Widen(testsupport::StandinPath("showdialog.exe")).c_str(),
                          runtime::Widen(delivered).c_str(), FALSE));
    ASSERT_NE(ReadFile(delivered), oldTutorial);
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionUpdate, 2));
    EXPECT_EQ(ReadFile(folder + "TvxTutorial.exe"), ReadFile(delivered));
    EXPECT_TRUE(tutorial.Running());
    const std::vector<std::string> aside = TemporaryFilesIn(folder);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadFile(folder + aside[0]), oldTutorial);

    // Once it has ended, the next run takes the old tutorial away.
    EndProcessById(tutorial.Id());
    ASSERT_TRUE(tutorial.WaitForExit(10s));
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionUpdate, 3));
    EXPECT_TRUE(TemporaryFilesIn(folder).empty());
    EXPECT_EQ(ReadFile(folder + "TvxTutorial.exe"), ReadFile(delivered));
}

// The setup ended by force while it copies a big template: its half-written copy goes with the
// process, the old template stays whole, and the next update puts the new one in its place with
// nothing beside it.
TEST(InstallAgain, SetupEndedWhileCopyingTheTemplateLeavesNoTemporaryFile) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, true);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    const std::string startup = word + "STARTUP\\";
    const std::string oldTemplate = ReadFile(startup + "Tvx.dot");
    // Big enough that its copy takes a while, whatever the load: the end comes while it is written.
    WriteBigFile(sandbox.StartFolder() + "Docs\\Tvx.dot", kBigTemplateMegabytes);
    {
        SetupRun setup(sandbox);
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr);
        ASSERT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionUpdate)));
        Click(WizardControl(wizard, Tvx_UFSetup::kIdWeiter));
        // Ended the moment its temporary file shows with bytes in it, while the copy is written;
        // looked for about every millisecond: the copy takes some hundred milliseconds, under load
        // more.
        std::string copying;
        const auto limit = std::chrono::steady_clock::now() + 60s;
        while (copying.empty() && setup.Program().Running() && std::chrono::steady_clock::now() < limit) {
            for (const std::string& name : TemporaryFilesIn(startup)) {
                if (SizeOf(startup + name) > 0) {
                    copying = name;
                }
            }
            if (copying.empty()) {
                Sleep(1);
            }
        }
        if (!copying.empty()) {
            EndProcessById(setup.Program().Id());
        }
        ASSERT_FALSE(copying.empty()) << "the setup ended before its copy of the template was seen";
        ASSERT_TRUE(setup.Program().WaitForExit(10s));
        EXPECT_EQ(FolderEntries(startup), std::vector<std::string>{"Tvx.dot"}) << "seen: " << copying;
        ASSERT_EQ(ReadFile(startup + "Tvx.dot"), oldTemplate) << "the copy was done before the end came";
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
    }
    // What a run killed in the moment between making its temporary file and marking it would have
    // left; the next copy into the folder takes it away.
    WriteFile(startup + "~tvx0123456789abcdef.tmp", "");
    {
        SetupRun setup(sandbox);
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr);
        EXPECT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionUpdate)));
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
    }
    EXPECT_EQ(FolderEntries(startup), std::vector<std::string>{"Tvx.dot"});
    EXPECT_TRUE(HoldsBigFile(startup + "Tvx.dot", kBigTemplateMegabytes));
}

// An install from a CD, whose files are all read-only, then an update from a newer CD: neither
// run shows a message, the new files are in place, and every installed file is writable, also
// where the installed copies had been left read-only (copied by hand from the CD).
TEST(InstallAgain, InstallAndUpdateFromReadOnlyMediaLeaveWritableFiles) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    const std::string medium = sandbox.StartFolder();
    MakeReadOnlyMedium(medium);
    ASSERT_NE(AttributesOf(medium + "Docs\\Tvx.dot") & FILE_ATTRIBUTE_READONLY, 0u);
    auto installedFiles = [&] {
        std::map<std::string, std::string> files;
        for (const auto& [installed, delivered] : CopiedFiles(word)) {
            files[installed] = medium + delivered.substr(SampleFolder().size());
        }
        for (const std::string& font : FontNames()) {
            files[sandbox.FontsDir() + font] = medium + "Fonts\\" + font;
        }
        return files;
    };
    auto expectInstalled = [&] {
        for (const auto& [installed, delivered] : installedFiles()) {
            EXPECT_EQ(ReadFile(installed), ReadFile(delivered)) << installed;
            EXPECT_EQ(AttributesOf(installed) & FILE_ATTRIBUTE_READONLY, 0u) << installed;
        }
        EXPECT_EQ(FolderEntries(word + "STARTUP\\"), std::vector<std::string>{"Tvx.dot"});
        EXPECT_EQ(FolderEntries(word + "Tvx\\Uninstall\\").size(), 10u);
    };
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionInstall, 1));
    expectInstalled();

    // The newer CD: other documents and support files, the same fonts.
    std::vector<std::string> changed{"Docs\\Tvx.dot", "Docs\\Keyboard.doc", "Docs\\TvxTutorial.exe",
                                     "Docs\\QuickGuide.doc"};
    changed.insert(changed.end(), RuntimeFileNames().begin(), RuntimeFileNames().end());
    for (const std::string& file : changed) {
        SetFileAttributesW(runtime::Widen(medium + file).c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFile(medium + file, "newer " + file);
    }
    MakeReadOnlyMedium(medium);
    for (const auto& [installed, delivered] : CopiedFiles(word)) {
        SetReadOnly(installed);
    }
    ASSERT_NO_FATAL_FAILURE(RunWithoutAMessage(sandbox, Tvx_UFSetup::kIdOptionUpdate, 2));
    expectInstalled();
    EXPECT_EQ(ReadFile(word + "STARTUP\\Tvx.dot"), "newer Docs\\Tvx.dot");
}
