// The two uninstall stages started from the system's list of installed programs: the first
// copies the program out of the folder the uninstall removes and starts the copy, the second
// narrows the wizard to the one Word version.

#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
#include "runtime/Process.h"
#include "runtime/Text.h"
#include "system/Tvx_FileSystem.h"

using runtime::Variant;

void Tvx_UFSetup::HandleCommandLine() {
    ErrorTrap trap = Trap();
    std::string arguments;
    trap([&] { arguments = runtime::CommandArguments(); });
    if (runtime::Len(arguments) < 14) {
        return;
    }
    if (runtime::Left(arguments, 11) != "/Uninstall_") {
        return;
    }
    // The Word version number; a text that is no 16-bit number is 0, which names no Word version.
    int16_t version = 0;
    ErrorTrap::Silently([&] { version = Variant(runtime::Mid(arguments, 14)).ToInteger(); });

    int32_t row = -1;
    int32_t rows = 0;
    trap([&] { rows = ListBox().ListCount(); });
    for (int32_t index = 0; index < rows; ++index) {
        bool found = false;
        trap([&] { found = ListBox().List(index, 1).ToInteger() == version; });
        if (found) {
            row = index + 1;
            break;
        }
    }
    if (row != -1) {
        bool templatePresent = false;
        trap([&] {
            templatePresent = Required(Root().Tools())
                                  .CheckIfFileExists(ListBox().List(row - 1, 2).ToString() + "STARTUP\\Tvx.dot")
                                  .ToBool();
        });
        if (!templatePresent) {
            row = -1;
        }
    }
    if (row == -1) {
        return;
    }

    const std::string stage = runtime::Mid(arguments, 12, 2);
    if (stage == "1_") {
        std::string relaunchDir;
        trap([&] { relaunchDir = GetTempDir().ToString() + "Tarvex"; });
        // The temporary folder is the system's; the copies below it go through no link.
        trap([&] { Required(Root().FileSystem()).FolderTrust(GetTempDir()); });
        if (trap.If([&] { return !Required(Root().Tools()).CheckIfDirectoryExists(relaunchDir).ToBool(); })) {
            trap([&] { Required(Root().FileSystem()).FolderCreate(relaunchDir); });
        }
        relaunchDir += "\\";
        std::string setupDir;
        trap([&] { setupDir = GetSetupDir().ToString(); });
        trap([&] {
            Required(Root().FileSystem()).FileCopyInUse(setupDir + "TvxSetup.exe", relaunchDir + "TvxSetup.exe");
        });
        const runtime::Collection runtimeFiles = GetRuntimeFiles();
        const int32_t count = runtimeFiles.Count();
        for (int32_t item = 1; item <= count; ++item) {
            trap([&] {
                const std::string name = runtimeFiles.Item(item).ToString();
                Required(Root().FileSystem()).FileCopyInUse(setupDir + name, relaunchDir + name);
            });
        }
        // Quoted: the temporary folder's path usually holds blanks.
        trap([&] {
            Root().ExecuteShell("\"" + relaunchDir + "TvxSetup.exe\" /Uninstall_2_" + std::to_string(version), 3);
        });
        Root().EndExecution();
    } else if (stage == "2_") {
        trap([&] {
            while (row < ListBox().ListCount()) {
                ListBox().RemoveItem(ListBox().ListCount() - 1);
            }
        });
        trap([&] {
            while (ListBox().ListCount() > 1) {
                ListBox().RemoveItem(0);
            }
        });
        trap([&] { ListBox().ListIndex(0); });
        trap([&] { OptionInstall().Enabled(false); });
        trap([&] { OptionUpdate().Enabled(false); });
        trap([&] { OptionUninstall().Enabled(true); });
        trap([&] { OptionInstall().Value(false); });
        trap([&] { OptionUpdate().Value(false); });
        trap([&] { OptionUninstall().Value(true); });
    }
}
