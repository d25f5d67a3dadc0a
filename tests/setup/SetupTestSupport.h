#pragma once

#include "setup/Tvx_UFSetup.h"
#include "support/TestSupport.h"

#include <string>
#include <vector>

// Helpers of the wizard's tests.
namespace setuptest {

// The wizard with its procedures open to the tests; it runs its start-up when it is created.
class SetupProbe : public Tvx_UFSetup {
public:
    using Tvx_UFSetup::EnsureWordClosed;
    using Tvx_UFSetup::FindWordVersions;
    using Tvx_UFSetup::FontsFolderRefresh;
    using Tvx_UFSetup::FontsInstall;
    using Tvx_UFSetup::FontsUninstall;
    using Tvx_UFSetup::GetFontList;
    using Tvx_UFSetup::GetFontsDir;
    using Tvx_UFSetup::GetInstallDir;
    using Tvx_UFSetup::GetRuntimeFiles;
    using Tvx_UFSetup::GetSetupDir;
    using Tvx_UFSetup::GetStartupDir;
    using Tvx_UFSetup::GetTempDir;
    using Tvx_UFSetup::GetWordProgramDir;
    using Tvx_UFSetup::GetWordVersion;
    using Tvx_UFSetup::HandleCommandLine;
    using Tvx_UFSetup::MacroSecuritySetLow;
    using Tvx_UFSetup::NormalDotRestore;
    using Tvx_UFSetup::Root;
    using Tvx_UFSetup::VersionSettingMark;
};

// Word versions for the wizard to find: their program folders in a fresh temporary folder and
// their "PROGRAMDIR" values in the registry. Every Word entry of the registry is removed before
// and after, and the Fonts folder value points into the sandbox while it lives.
class WordSandbox {
public:
    WordSandbox();
    ~WordSandbox();
    WordSandbox(const WordSandbox&) = delete;
    WordSandbox& operator=(const WordSandbox&) = delete;

    // Adds a Word version with its program folder (ending in a backslash) under the sandbox;
    // the "PROGRAMDIR" value is written as given (with or without its trailing backslash).
    std::string AddWord(int version, const std::string& folderName, bool withTemplate, bool trailingBackslash = true);
    // The sandbox's own Fonts folder, ending in a backslash.
    const std::string& FontsDir() const noexcept { return fontsDir_; }
    std::string Root() const { return folder_.Path(); }

    static void RemoveAllWordEntries();

private:
    testsupport::TempFolder folder_{"tvxsetup"};
    std::string fontsDir_;
    std::wstring savedFontsValue_;
    bool hadFontsValue_ = false;
};

// Raw registry access for checks: the value's type and bytes, or type 0 when it is missing.
struct RawValue {
    unsigned long Type = 0;
    std::string Bytes;
};
RawValue ReadRaw(HKEY hive, const std::string& key, const std::string& name);
bool KeyExists(HKEY hive, const std::string& key);
void DeleteTree(HKEY hive, const std::string& key);

} // namespace setuptest
