// The folders and file lists every action works with, read at the moment they are needed.

#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
#include "runtime/Process.h"
#include "runtime/Text.h"

using runtime::Variant;

Variant Tvx_UFSetup::GetWordProgramDir() {
    Variant result;
    ErrorTrap trap = Trap();
    trap([&] { result = ListBox().List(ListBox().ListIndex(), 2); });
    return result;
}

Variant Tvx_UFSetup::GetInstallDir() {
    Variant result;
    ErrorTrap trap = Trap();
    trap([&] { result = ListBox().List(ListBox().ListIndex(), 2).ToString() + "Tvx\\"; });
    return result;
}

Variant Tvx_UFSetup::GetStartupDir() {
    Variant result;
    ErrorTrap trap = Trap();
    trap([&] { result = ListBox().List(ListBox().ListIndex(), 2).ToString() + "STARTUP\\"; });
    return result;
}

// The folder of the running program file, which need not be the current folder.
Variant Tvx_UFSetup::GetSetupDir() {
    Variant result;
    ErrorTrap trap = Trap();
    std::string folder;
    trap([&] { folder = runtime::ProgramFolder(); });
    if (trap.If([&] { return runtime::Right(folder, 1) != "\\"; })) {
        folder += "\\";
    }
    result = folder;
    return result;
}

Variant Tvx_UFSetup::GetTempDir() {
    Variant result;
    ErrorTrap trap = Trap();
    std::string folder;
    trap([&] { folder = runtime::Environ("TEMP"); });
    // Only the fallbacks are tested; a TEMP that is set is taken as it is.
    if (folder.empty()) {
        folder = "C:\\WINDOWS\\Temp";
        if (trap.If([&] { return !Required(Root().Tools()).CheckIfDirectoryExists(folder).ToBool(); })) {
            trap([&] { folder = runtime::Left(GetSetupDir().ToString(), 2) + "\\WINDOWS\\Temp"; });
            if (trap.If([&] { return !Required(Root().Tools()).CheckIfDirectoryExists(folder).ToBool(); })) {
                folder = "C:";
            }
        }
    }
    if (trap.If([&] { return runtime::Right(folder, 1) != "\\"; })) {
        folder += "\\";
    }
    result = folder;
    return result;
}

int32_t Tvx_UFSetup::GetWordVersion() {
    int32_t result = 0;
    ErrorTrap trap = Trap();
    trap([&] { result = ListBox().List(ListBox().ListIndex(), 1).ToLong(); });
    return result;
}

runtime::Collection Tvx_UFSetup::GetRuntimeFiles() {
    // The support files beside the program file, which go wherever the program file is copied.
    runtime::Collection files;
    for (const char* name : {"ADVPACK.DLL", "ASYCFILT.DLL", "COMCAT.DLL", "msvbvm60.dll", "OLEAUT32.DLL",
                             "OLEPRO32.DLL", "STDOLE2.TLB", "W95INF16.DLL", "W95INF32.DLL"}) {
        files.Add(name);
    }
    return files;
}
