// The fonts of an install, seen in the Fonts folder the registry names: which are copied, in what
// order, which are replaced, which are left alone (a link among them), and when the Fonts folder
// view is opened.

#include "InstallRoad.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

using namespace e2e;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

constexpr const char* kFontsViewCommand = "shell32.dll,SHHelpShortcuts_RunDLL FontsFolder";

std::string Delivered(const std::string& font) {
    return ReadFile(SampleFolder() + "Fonts\\" + font);
}

// The top-level windows of the setup's children whose caption is "Fonts": the view's window.
std::vector<HWND> FontsViewWindows(const Process& setup) {
    std::vector<HWND> found;
    for (DWORD child : ChildrenOf(setup)) {
        for (HWND window : TopLevelWindowsOf(child)) {
            if (TextOf(window) == "Fonts") {
                found.push_back(window);
            }
        }
    }
    return found;
}

struct FontsRun {
    InstallTraces traces;
    Sandbox sandbox;
    std::string word;
    FontsRun() : word(sandbox.AddWord(11, "Programme\\Office 2003", false)) { PlaceWordStandin(word); }
};

} // namespace

TEST(FontsInstall, NonePresentCopiesAllTwentyInListOrderAndOpensTheView) {
    FontsRun run;
    AddedFiles added(run.sandbox.FontsDir());
    // A RUNDLL32.EXE planted in the start folder, where the system looks first for a bare name:
    // it must not be the one that runs.
    ASSERT_TRUE(CopyFileW(runtime::Widen(testsupport::StandinPath("rundll32.exe")).c_str(),
                          runtime::Widen(run.sandbox.StartFolder() + "RUNDLL32.EXE").c_str(), FALSE));
    wchar_t systemFolder[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(systemFolder, MAX_PATH), 0u);
    const std::string rundll32 = runtime::Narrow(systemFolder) + "\\RUNDLL32.EXE";
    // The program is 32-bit: on 64-bit Windows the System32 path it starts leads to the 32-bit
    // rundll32 in SysWOW64, which is where the view's program file lies.
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    wchar_t wow64Folder[MAX_PATH] = {};
    ASSERT_TRUE(!wow64 || GetSystemWow64DirectoryW(wow64Folder, MAX_PATH) > 0);
    const std::string viewProgram = wow64 ? runtime::Narrow(wow64Folder) + "\\RUNDLL32.EXE" : rundll32;
    {
        SetupRun setup(run.sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());

        // Started minimized without the focus, once; found by its caption and hidden, not closed.
        const auto views = FontsViewStarts(run.sandbox);
        ASSERT_EQ(views.size(), 1u) << run.sandbox.StandinLogText();
        // Style 6: minimized, the focus staying where it is.
        EXPECT_EQ(views[0].Show, SW_MINIMIZE);
        EXPECT_EQ(views[0].Args, kFontsViewCommand);
        // The system's own, started by its full path, quoted.
        EXPECT_EQ(runtime::LCase(views[0].Program), runtime::LCase(viewProgram));
        EXPECT_EQ(views[0].CmdLine, "\"" + rundll32 + "\" " + kFontsViewCommand);
        const auto windows = FontsViewWindows(setup.Program());
        ASSERT_EQ(windows.size(), 1u);
        EXPECT_FALSE(IsWindowVisible(windows[0]));
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    EXPECT_EQ(added.Names(), FontNames());
    for (const std::string& font : FontNames()) {
        EXPECT_EQ(ReadFile(run.sandbox.FontsDir() + font), Delivered(font)) << font;
    }
}

// A Fonts folder whose name has a character the ANSI code page lacks gets the fonts, without a
// dialog: its look-alike name (the Omega made an O) names no folder, where every copy would fail.
TEST(FontsInstall, FontsFolderWithACharacterTheCodePageLacksGetsTheFontsWithoutADialog) {
    FontsRun run;
    const std::string fonts = run.sandbox.Root() + "Schriften \u03A9\\";
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(fonts).c_str(), nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const std::wstring value = runtime::Widen(fonts.substr(0, fonts.size() - 1));
    RegSetValueExW(key, L"Fonts", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    {
        SetupRun setup(run.sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_EQ(FontsViewStarts(run.sandbox).size(), 1u) << run.sandbox.StandinLogText();
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    EXPECT_EQ(FolderEntries(fonts).size(), FontNames().size());
    for (const std::string& font : FontNames()) {
        EXPECT_EQ(ReadFile(fonts + font), Delivered(font)) << font;
    }
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(run.sandbox.Root() + "Schriften O").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FolderEntries(run.sandbox.FontsDir()).empty());
}

TEST(FontsInstall, AllPresentWithTheirSizesLeavesThemAndOpensNoView) {
    FontsRun run;
    FillFontsSameSizeOtherBytes(run.sandbox);
    {
        SetupRun setup(run.sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    // Sizes alone are compared: other bytes of the same length stay.
    for (const std::string& font : FontNames()) {
        EXPECT_EQ(ReadFile(run.sandbox.FontsDir() + font), SameSizeOtherBytes(font)) << font;
    }
    EXPECT_TRUE(FontsViewStarts(run.sandbox).empty()) << run.sandbox.StandinLogText();
}

TEST(FontsInstall, ChangedFontsAreNamedOnceAndCopiedAnew) {
    FontsRun run;
    FillFontsSameSizeOtherBytes(run.sandbox);
    const auto& fonts = FontNames();
    // Items 3 and 10; the second in lower case, as the list spells it.
    WriteFile(run.sandbox.FontsDir() + fonts[2], "an older, shorter font");
    WriteFile(run.sandbox.FontsDir() + fonts[9], Delivered(fonts[9]) + "and a longer one");
    {
        SetupRun setup(run.sandbox);
        setup.Dialogs().Click("Ok");
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Title, "Tarvex Hinweis");
        EXPECT_EQ(seen[0].Buttons, std::vector<std::string>{"Ok"});
        // The message box centres the text with line feeds in front of it.
        EXPECT_EQ(seen[0].Body.substr(seen[0].Body.find_first_not_of('\n')),
                  "Einige Schriftarten müssen aktualisiert werden. Nachdem der Setup vollständig ausgeführt wurde, "
                  "empfehlen wir Ihnen den PC neu zu starten. Erst nach einem Neustart können die aktualisierten "
                  "Schriftarten verwendet werden. Der Setup wird nun fortgesetzt.\n\n(Betroffene Schriftarten: "
                  "MATH1M__.TTF, math3m__.ttf)");
        EXPECT_EQ(FontsViewStarts(run.sandbox).size(), 1u);
    }
    for (size_t item = 0; item < fonts.size(); ++item) {
        const bool changed = item == 2 || item == 9;
        EXPECT_EQ(ReadFile(run.sandbox.FontsDir() + fonts[item]),
                  changed ? Delivered(fonts[item]) : SameSizeOtherBytes(fonts[item]))
            << fonts[item];
    }
}

TEST(FontsInstall, HiddenAndSystemFontsCountAsPresent) {
    FontsRun run;
    FillFontsSameSizeOtherBytes(run.sandbox);
    const std::string hidden = run.sandbox.FontsDir() + FontNames()[4];
    const std::string system = run.sandbox.FontsDir() + FontNames()[19];
    SetFileAttributesW(runtime::Widen(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(runtime::Widen(system).c_str(), FILE_ATTRIBUTE_SYSTEM);
    ASSERT_EQ(GetFileAttributesW(runtime::Widen(hidden).c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    {
        SetupRun setup(run.sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    EXPECT_EQ(ReadFile(hidden), SameSizeOtherBytes(FontNames()[4]));
    EXPECT_EQ(ReadFile(system), SameSizeOtherBytes(FontNames()[19]));
    EXPECT_TRUE(FontsViewStarts(run.sandbox).empty()) << run.sandbox.StandinLogText();
}

TEST(FontsInstall, FontMissingFromTheSetupFolderStaysInTheFontsFolder) {
    FontsRun run;
    FillFontsSameSizeOtherBytes(run.sandbox);
    const std::string font = FontNames()[3];
    // An older font of another size, and no delivered file to replace it.
    WriteFile(run.sandbox.FontsDir() + font, "an older font");
    DeleteFileW(runtime::Widen(run.sandbox.StartFolder() + "Fonts\\" + font).c_str());
    {
        SetupRun setup(run.sandbox);
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        // No message naming it, and no failed copy to report.
        EXPECT_TRUE(setup.Dialogs().Seen().empty());
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    EXPECT_EQ(ReadFile(run.sandbox.FontsDir() + font), "an older font");
    EXPECT_TRUE(FontsViewStarts(run.sandbox).empty()) << run.sandbox.StandinLogText();
}

TEST(FontsInstall, FontMissingFromBothFoldersIsAFailedCopyAndTheViewStillOpens) {
    FontsRun run;
    FillFontsSameSizeOtherBytes(run.sandbox);
    const std::string font = FontNames()[6];
    DeleteFileW(runtime::Widen(run.sandbox.FontsDir() + font).c_str());
    DeleteFileW(runtime::Widen(run.sandbox.StartFolder() + "Fonts\\" + font).c_str());
    {
        SetupRun setup(run.sandbox);
        setup.Dialogs().Click("Ignorieren");
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Headline, "Fehler");
        EXPECT_NE(seen[0].Body.find("Kopieren einer Datei fehlgeschlagen (Quelle \"" + run.sandbox.StartFolder() +
                                    "Fonts\\" + font + "\", Ziel \"" + run.sandbox.FontsDir() + font + "\")"),
                  std::string::npos)
            << seen[0].Body;
        EXPECT_EQ(FontsViewStarts(run.sandbox).size(), 1u);
    }
    EXPECT_FALSE(FileExists(run.sandbox.FontsDir() + font));
}

TEST(FontsInstall, EmptyFontsFolderValueIgnoredTouchesNoFontAndOpensNoView) {
    FontsRun run;
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                  KEY_SET_VALUE, &key);
    RegSetValueExW(key, L"Fonts", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    RegCloseKey(key);
    // Files of the fonts' names where a path made from an empty folder would point: the current
    // folder the setup was started in, and its drive's root.
    const std::string current = run.sandbox.Root();
    WriteFile(current + FontNames()[0], "not a font of the Fonts folder");
    {
        SetupRun setup(run.sandbox);
        setup.Dialogs().Click("Ignorieren");
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_NE(seen[0].Body.find("Fehlerbeschreibung: \"Pfad des Schriftarten-Ordners nicht ermittelbar\""),
                  std::string::npos)
            << seen[0].Body;
        // The install goes on: the version mark and Word.
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    EXPECT_TRUE(FolderEntries(run.sandbox.FontsDir()).empty());
    EXPECT_EQ(ReadFile(current + FontNames()[0]), "not a font of the Fonts folder");
    for (const std::string& font : FontNames()) {
        if (font != FontNames()[0]) {
            EXPECT_FALSE(FileExists(current + font)) << font;
        }
        EXPECT_FALSE(FileExists("C:\\" + font)) << font;
    }
    EXPECT_TRUE(FontsViewStarts(run.sandbox).empty()) << run.sandbox.StandinLogText();
    EXPECT_EQ(testsupport::ReadRaw(HKEY_CURRENT_USER, VersionMarkKey(11) + "\\Options", "Tvx_Version").Bytes,
              std::string("99990.00") + '\0');
}

// A font of another size that is a link to a file elsewhere: its delete is refused and reported,
// and the font is named as one to update. The file it leads to is neither deleted nor made anew
// by the copy that follows.
TEST(FontsInstall, LinkedFontOfAnotherSizeIsReportedAndTheFileItLeadsToStays) {
    FontsRun run;
    // An update: the template is there.
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(run.word + "STARTUP").c_str(), nullptr));
    WriteFile(run.word + "STARTUP\\Tvx.dot", "old template");
    FillFontsSameSizeOtherBytes(run.sandbox);
    const std::string font = FontNames()[4];
    const std::string outside = run.sandbox.Root() + font;
    WriteFile(outside, "someone else's file, of another size");
    ASSERT_NE(ReadFile(outside).size(), Delivered(font).size());
    ASSERT_TRUE(DeleteFileW(runtime::Widen(run.sandbox.FontsDir() + font).c_str()));
    testsupport::UnixLink link(run.sandbox.FontsDir() + font, outside);
    {
        SetupRun setup(run.sandbox);
        setup.Dialogs().Click("Ignorieren").Click("Ok");
        HWND wizard = setup.Wizard();
        ASSERT_NE(wizard, nullptr);
        EXPECT_TRUE(Checked(WizardControl(wizard, Tvx_UFSetup::kIdOptionUpdate)));
        ASSERT_TRUE(setup.Continue()) << WindowsOf(setup.Program().Id());
        EXPECT_EQ(setup.ExitCode(), 0u);
        const auto seen = setup.Dialogs().Seen();
        ASSERT_EQ(seen.size(), 2u);
        ExpectFileReport(seen[0], "Löschen einer Datei fehlgeschlagen (\"" + run.sandbox.FontsDir() + font + "\")",
                         "Fehler beim Zugriff auf Pfad/Datei", 75);
        EXPECT_EQ(seen[1].Title, "Tarvex Hinweis");
        const std::string affected = "(Betroffene Schriftarten: " + font + ")";
        EXPECT_EQ(seen[1].Body.substr(seen[1].Body.size() - affected.size()), affected) << seen[1].Body;
        EXPECT_TRUE(Eventually([&] { return WordStarts(run.sandbox).size() == 1; }));
    }
    EXPECT_EQ(ReadFile(outside), "someone else's file, of another size");
    // The link is still in place, and nothing was copied: the view stays closed.
    EXPECT_EQ(ReadFile(run.sandbox.FontsDir() + font), "someone else's file, of another size");
    EXPECT_TRUE(FontsViewStarts(run.sandbox).empty()) << run.sandbox.StandinLogText();
    for (const std::string& other : FontNames()) {
        if (other != font) {
            EXPECT_EQ(ReadFile(run.sandbox.FontsDir() + other), SameSizeOtherBytes(other)) << other;
        }
    }
}
