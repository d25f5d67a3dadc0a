// The folder getters and file lists: what they give for a selected row, for the running program
// and for the environment, and what they report when no row is selected.

#include "SetupTestSupport.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <windows.h>

using setuptest::SetupProbe;
using testsupport::DialogAnswerer;
using testsupport::WordSandbox;

namespace {

// TEMP as a test sets it, and as it was before afterwards.
class TempVariable {
public:
    TempVariable() {
        wchar_t value[MAX_PATH] = {};
        had_ = GetEnvironmentVariableW(L"TEMP", value, MAX_PATH) > 0;
        saved_ = value;
    }
    ~TempVariable() { SetEnvironmentVariableW(L"TEMP", had_ ? saved_.c_str() : nullptr); }
    void Set(const std::string& value) { SetEnvironmentVariableW(L"TEMP", runtime::Widen(value).c_str()); }
    void Unset() { SetEnvironmentVariableW(L"TEMP", nullptr); }

private:
    bool had_ = false;
    std::wstring saved_;
};

// The prefix's C:\WINDOWS\Temp moved aside for the length of a test, so that the fallbacks behind
// it are reached. Put back also after a test that did not end, when the next one starts.
class WindowsTempAside {
public:
    WindowsTempAside() {
        PutBack();
        moved_ = MoveFileW(kFolder, kAside) != FALSE;
    }
    ~WindowsTempAside() { PutBack(); }
    bool Moved() const { return moved_; }

private:
    static void PutBack() {
        if (GetFileAttributesW(kAside) != INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(kFolder) == INVALID_FILE_ATTRIBUTES) {
            MoveFileW(kAside, kFolder);
        }
    }
    static constexpr const wchar_t* kFolder = L"C:\\windows\\temp";
    static constexpr const wchar_t* kAside = L"C:\\windows\\temp.tvx-aside";
    bool moved_ = false;
};

} // namespace

TEST(Paths, GettersOfTheSelectedRow) {
    WordSandbox sandbox;
    const std::string office = sandbox.AddWord(10, "Office XP Ä", false);
    SetupProbe setup;
    ASSERT_EQ(setup.ListBox().ListIndex(), 0);
    EXPECT_EQ(setup.GetWordProgramDir().ToString(), office);
    EXPECT_EQ(setup.GetInstallDir().ToString(), office + "Tvx\\");
    EXPECT_EQ(setup.GetStartupDir().ToString(), office + "STARTUP\\");
    EXPECT_EQ(setup.GetWordVersion(), 10);
}

TEST(Paths, SetupDirIsTheProgramsFolderNotTheCurrentOne) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    testsupport::TempFolder elsewhere("tvxcwd");
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(runtime::Widen(elsewhere.Path()).c_str());
    const std::string setupDir = setup.GetSetupDir().ToString();
    SetCurrentDirectoryW(saved);
    // The test program's own folder, with one backslash.
    EXPECT_EQ(setupDir, testsupport::BinFolder());
    EXPECT_NE(setupDir.substr(setupDir.size() - 2), "\\\\");
}

TEST(Paths, TempDirTakesTempAsItIsWithOneBackslash) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    TempVariable temp;
    temp.Set("C:\\Temp Ä");
    EXPECT_EQ(setup.GetTempDir().ToString(), "C:\\Temp Ä\\");
    temp.Set("C:\\Temp Ä\\");
    EXPECT_EQ(setup.GetTempDir().ToString(), "C:\\Temp Ä\\");
    // Not tested for existence: a TEMP that is set is used.
    temp.Set("Q:\\gibt es nicht");
    EXPECT_EQ(setup.GetTempDir().ToString(), "Q:\\gibt es nicht\\");
}

TEST(Paths, TempDirFallsBackToTheWindowsTempFolderThenToDriveC) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    TempVariable temp;
    temp.Unset();
    EXPECT_EQ(setup.GetTempDir().ToString(), "C:\\WINDOWS\\Temp\\");
    temp.Set("");
    EXPECT_EQ(setup.GetTempDir().ToString(), "C:\\WINDOWS\\Temp\\");
    // Neither C:\WINDOWS\Temp nor the program drive's \WINDOWS\Temp: the root of drive C.
    WindowsTempAside aside;
    ASSERT_TRUE(aside.Moved());
    ASSERT_EQ(GetFileAttributesW((runtime::Widen(testsupport::BinFolder().substr(0, 2)) + L"\\WINDOWS\\Temp").c_str()),
              INVALID_FILE_ATTRIBUTES);
    temp.Unset();
    EXPECT_EQ(setup.GetTempDir().ToString(), "C:\\");
}

TEST(Paths, RuntimeFilesAreNineInTheirOrderAndANewListEachTime) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    runtime::Collection first = setup.GetRuntimeFiles();
    runtime::Collection second = setup.GetRuntimeFiles();
    ASSERT_EQ(first.Count(), 9);
    const char* const names[] = {"ADVPACK.DLL",  "ASYCFILT.DLL", "COMCAT.DLL",   "msvbvm60.dll", "OLEAUT32.DLL",
                                 "OLEPRO32.DLL", "STDOLE2.TLB",  "W95INF16.DLL", "W95INF32.DLL"};
    for (int32_t item = 1; item <= 9; ++item) {
        EXPECT_EQ(first.Item(item).ToString(), names[item - 1]);
    }
    first.Add("extra");
    EXPECT_EQ(second.Count(), 9);
}

TEST(Paths, FontListIsTwentyInTheirOrderAndSpelling) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    runtime::Collection fonts = setup.GetFontList();
    ASSERT_EQ(fonts.Count(), 20);
    EXPECT_EQ(fonts.Item(1).ToString(), "MATH1___.TTF");
    EXPECT_EQ(fonts.Item(3).ToString(), "MATH1M__.TTF");
    EXPECT_EQ(fonts.Item(10).ToString(), "math3m__.ttf");
    EXPECT_EQ(fonts.Item(11).ToString(), "math3mb_.ttf");
    EXPECT_EQ(fonts.Item(20).ToString(), "TvxSymb.ttf");
}

TEST(Paths, FontsDirGetsOneBackslash) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    // The sandbox writes the value without its backslash.
    EXPECT_EQ(setup.GetFontsDir().ToString(), sandbox.FontsDir());
    HKEY key = nullptr;
    RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                  KEY_SET_VALUE, &key);
    const std::wstring withBackslash = runtime::Widen(sandbox.FontsDir());
    RegSetValueExW(key, L"Fonts", 0, REG_SZ, reinterpret_cast<const BYTE*>(withBackslash.c_str()),
                   static_cast<DWORD>((withBackslash.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    EXPECT_EQ(setup.GetFontsDir().ToString(), sandbox.FontsDir());
}

TEST(Paths, WithNoSelectedRowEveryGetterReportsOnceAndGivesNothing) {
    WordSandbox sandbox;
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    SetupProbe setup;
    ASSERT_TRUE(dialogs.Done());
    ASSERT_EQ(setup.ListBox().ListIndex(), -1);
    for (int report = 0; report < 4; ++report) {
        dialogs.Click("Ignorieren");
    }
    EXPECT_TRUE(setup.GetWordProgramDir().ToString().empty());
    EXPECT_TRUE(setup.GetInstallDir().ToString().empty());
    EXPECT_TRUE(setup.GetStartupDir().ToString().empty());
    EXPECT_EQ(setup.GetWordVersion(), 0);
    ASSERT_TRUE(dialogs.Done());
    const auto seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 5u);
    for (size_t report = 1; report < seen.size(); ++report) {
        EXPECT_EQ(seen[report].Headline, "Unerwarteter Fehler");
        EXPECT_NE(seen[report].Body.find("Fehlerbeschreibung: \"Unbekannter Fehler in Klasse \"Tvx_UFSetup\"\""),
                  std::string::npos)
            << seen[report].Body;
    }
    // The folders that do not depend on the row are still there.
    EXPECT_EQ(setup.GetSetupDir().ToString(), testsupport::BinFolder());
    EXPECT_EQ(setup.GetFontsDir().ToString(), sandbox.FontsDir());
}
