#pragma once

#include "setup/Tvx_UFSetup.h"
#include "support/WordSandbox.h"

// Helpers of the wizard's tests.
namespace setuptest {

using testsupport::WordSandbox;

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

} // namespace setuptest
