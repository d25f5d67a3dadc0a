#include "Tvx_Tools.h"

#include "ErrorTrap.h"
#include "runtime/Dir.h"

using runtime::Variant;

Variant Tvx_Tools::GetWordVersionName(const Variant& AVersion) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    // A value that is no number matches none of the four (no caller passes one): it gets the
    // generic name, without a report.
    const bool numeric = !ErrorTrap::Silently([&] { AVersion.ToDouble(); });
    const double version = numeric ? AVersion.ToDouble() : 0;
    if (numeric && version == 8) {
        result = "97 (Version 8)";
    } else if (numeric && version == 9) {
        result = "2000 (Version 9)";
    } else if (numeric && version == 10) {
        result = "XP (Version 10)";
    } else if (numeric && version == 11) {
        result = "2003 (Version 11)";
    } else {
        trap([&] { result = "Version " + AVersion.ToString(); });
    }
    return result;
}

// Hidden and system files count, folders do not.
Variant Tvx_Tools::CheckIfFileExists(const Variant& AFile) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    if (trap.If([&] { return runtime::Dir(AFile.ToString(), runtime::kDirHidden | runtime::kDirSystem).empty(); })) {
        result = false;
    } else {
        result = true;
    }
    return result;
}

// A normal file of that name counts as well: the lookup does not tell the two apart.
Variant Tvx_Tools::CheckIfDirectoryExists(const Variant& ADirectory) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    if (trap.If([&] { return runtime::Dir(ADirectory.ToString(), runtime::kDirDirectory).empty(); })) {
        result = false;
    } else {
        result = true;
    }
    return result;
}
