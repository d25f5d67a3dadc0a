#include "Tvx_Tools.h"

using runtime::Variant;

Variant Tvx_Tools::GetWordVersionName(const Variant&) {
    return Variant();
}
Variant Tvx_Tools::CheckIfFileExists(const Variant&) {
    return Variant();
}
Variant Tvx_Tools::CheckIfDirectoryExists(const Variant&) {
    return Variant();
}
