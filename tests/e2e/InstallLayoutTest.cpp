// An install for Word 2003 whose program folder lies on a path with blanks and an umlaut: the
// installed layout with the delivered bytes, the uninstall entry, Word's macro security, the
// version mark, the uninstall record file and Word's start, all read back from outside.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;
using testsupport::FileExists;
using testsupport::RawValue;
using testsupport::ReadFile;
using testsupport::ReadRaw;

namespace {

constexpr const char* kWordFolder = "Programme\\Microsoft Office Ä\\Office11";

struct ExpectedValue {
    const char* Name;
    unsigned long Type;
    std::string Text; // REG_SZ: the text; REG_DWORD: the four bytes
};

std::vector<ExpectedValue> UninstallValues(const std::string& programDir) {
    const std::string dword1("\x01\x00\x00\x00", 4);
    return {
        {"Comments", REG_SZ,
         "Mit den Tarvx können Sie mathematische Formeln und Symbole unter Microsoft Word erstellen."},
        {"Contact", REG_SZ, "support@tarvex.example"},
        {"DisplayName", REG_SZ, "Tarvex für Microsoft Word 2003 (Version 11)"},
        {"DisplayIcon", REG_SZ, programDir + "winword.exe"},
        {"HelpLink", REG_SZ, "https://www.tarvex.example/"},
        {"NoModify", REG_DWORD, dword1},
        {"NoRepair", REG_DWORD, dword1},
        {"Publisher", REG_SZ, "Tarvex"},
        {"UninstallString", REG_SZ, "\"" + programDir + "Tvx\\Uninstall\\TvxSetup.exe\" /Uninstall_1_11"},
        {"URLInfoAbout", REG_SZ, "https://www.tarvex.example/"},
    };
}

DWORD ValueCount(HKEY hive, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive, runtime::Widen(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return 0;
    }
    DWORD values = 0;
    RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(opened);
    return values;
}

void ExpectDelivered(const std::string& installed, const std::string& delivered) {
    ASSERT_TRUE(FileExists(installed)) << installed;
    EXPECT_EQ(ReadFile(installed), ReadFile(delivered)) << installed;
}

} // namespace

TEST(InstallLayout, EveryFolderAndFileHoldsTheDeliveredBytes) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    const std::string sample = SampleFolder();
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
    }

    EXPECT_EQ(FolderEntries(word), (std::vector<std::string>{"STARTUP", "Tvx", "winword.exe"}));
    EXPECT_EQ(FolderEntries(word + "STARTUP\\"), std::vector<std::string>{"Tvx.dot"});
    EXPECT_EQ(
        FolderEntries(word + "Tvx\\"),
        (std::vector<std::string>{"Keyboard.doc", "QuickGuide.doc", "TvxTutorial.exe", "Uninstall", "uninstall.tvk"}));
    ExpectDelivered(word + "STARTUP\\Tvx.dot", sample + "Docs\\Tvx.dot");
    for (const char* document : {"Keyboard.doc", "QuickGuide.doc", "TvxTutorial.exe"}) {
        ExpectDelivered(word + "Tvx\\" + document, sample + "Docs\\" + document);
    }
    // The record of saved Normal.dot copies starts empty.
    ASSERT_TRUE(FileExists(word + "Tvx\\uninstall.tvk"));
    EXPECT_EQ(ReadFile(word + "Tvx\\uninstall.tvk"), "");

    std::vector<std::string> uninstallFolder{"TvxSetup.exe"};
    uninstallFolder.insert(uninstallFolder.end(), RuntimeFileNames().begin(), RuntimeFileNames().end());
    std::vector<std::string> expectedNames = uninstallFolder;
    std::sort(expectedNames.begin(), expectedNames.end(),
              [](const std::string& a, const std::string& b) { return runtime::LCase(a) < runtime::LCase(b); });
    EXPECT_EQ(FolderEntries(word + "Tvx\\Uninstall\\"), expectedNames);
    for (const std::string& file : uninstallFolder) {
        ExpectDelivered(word + "Tvx\\Uninstall\\" + file, sample + file);
    }

    EXPECT_EQ(FolderEntries(sandbox.FontsDir()).size(), FontNames().size());
    for (const std::string& font : FontNames()) {
        ExpectDelivered(sandbox.FontsDir() + font, sample + "Fonts\\" + font);
    }
}

TEST(InstallLayout, UninstallEntryHasItsTenValuesInTheAnsiCodePage) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
    }

    const std::string key = UninstallKey(11);
    ASSERT_TRUE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, key));
    // A 32-bit setup's entry lives in the registry's 32-bit view of 64-bit Windows, where the list
    // of installed programs reads the entries of 32-bit setups; the 64-bit view holds none.
    EXPECT_TRUE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY));
    EXPECT_FALSE(testsupport::KeyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, key), 10u);
    for (const ExpectedValue& expected : UninstallValues(word)) {
        const RawValue raw = ReadRaw(HKEY_LOCAL_MACHINE, key, expected.Name);
        EXPECT_EQ(raw.Type, expected.Type) << expected.Name;
        if (expected.Type == REG_SZ) {
            // The ANSI bytes, the zero character the registry class appends to a text and the
            // terminating zero byte; and the same text read back wide: the umlaut arrived as the
            // system's own character, not as UTF-8 bytes.
            EXPECT_EQ(raw.Bytes, runtime::ToAnsi(expected.Text) + std::string(2, '\0')) << expected.Name;
            EXPECT_EQ(ReadWide(HKEY_LOCAL_MACHINE, key, expected.Name).Text, expected.Text) << expected.Name;
        } else {
            EXPECT_EQ(raw.Bytes, expected.Text) << expected.Name;
        }
    }
    // "für" in the code page of this system is one byte.
    const RawValue displayName = ReadRaw(HKEY_LOCAL_MACHINE, key, "DisplayName");
    EXPECT_NE(displayName.Bytes.find("f" + runtime::ToAnsi("ü") + "r Microsoft Word 2003"), std::string::npos);
    EXPECT_EQ(runtime::ToAnsi("ü").size(), 1u) << "code page " << GetACP();
}

TEST(InstallLayout, MacroSecurityIsLowAndTheVersionIsMarked) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    ASSERT_FALSE(testsupport::KeyExists(HKEY_CURRENT_USER, VersionMarkKey(11)));
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
    }

    const RawValue level = ReadRaw(HKEY_CURRENT_USER, SecurityKey(11), "Level");
    EXPECT_EQ(level.Type, static_cast<unsigned long>(REG_DWORD));
    EXPECT_EQ(level.Bytes, std::string("\x01\x00\x00\x00", 4));
    const RawValue trust = ReadRaw(HKEY_CURRENT_USER, SecurityKey(11), "DontTrustInstalledFiles");
    EXPECT_EQ(trust.Type, static_cast<unsigned long>(REG_DWORD));
    EXPECT_EQ(trust.Bytes, std::string(4, '\0'));
    // No stored mark: the default 0.00 with the mark in front.
    const RawValue mark = ReadRaw(HKEY_CURRENT_USER, VersionMarkKey(11) + "\\Options", "Tvx_Version");
    EXPECT_EQ(mark.Type, static_cast<unsigned long>(REG_SZ));
    EXPECT_EQ(mark.Bytes, std::string("99990.00") + '\0');
}

TEST(InstallLayout, WordStartsMaximizedFromItsQuotedPath) {
    InstallTraces traces;
    Sandbox sandbox;
    const std::string word = sandbox.AddWord(11, kWordFolder, false);
    PlaceWordStandin(word);
    FillFonts(sandbox);
    // Unquoted, the path would make the system try "...\Programme\Microsoft.exe" first.
    const std::string decoy = sandbox.Root() + "Programme\\Microsoft.exe";
    CopyFileW(runtime::Widen(testsupport::StandinPath("winword.exe")).c_str(), runtime::Widen(decoy).c_str(), FALSE);
    {
        SetupRun setup(sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        ASSERT_TRUE(Eventually([&] { return !StandinStarts(sandbox).empty(); }));
        // Give a wrongly started second program the time to log itself too.
        Sleep(500);
    }

    const std::vector<StandinStart> starts = StandinStarts(sandbox);
    ASSERT_EQ(starts.size(), 1u) << sandbox.StandinLogText();
    EXPECT_EQ(starts[0].Show, SW_SHOWMAXIMIZED);
    EXPECT_EQ(starts[0].Args, "");
    // Wine quotes a path with blanks for the child whether or not it came quoted; Windows passes
    // it on as given. Either way the line begins with the quoted path of this Word's program.
    EXPECT_EQ(starts[0].CmdLine.rfind("\"" + word + "winword.exe\"", 0), 0u) << starts[0].CmdLine;
    EXPECT_TRUE(ProcessesNamed("Microsoft.exe").empty());
}
