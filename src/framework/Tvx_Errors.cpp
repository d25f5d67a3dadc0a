#include "Tvx_Errors.h"

#include "ErrorTrap.h"
#include "runtime/Process.h"
#include "runtime/Text.h"

#include <windows.h>

using runtime::Variant;

void Tvx_Errors::OnClassInitialize() {
    FIgnoreAll = false;
}

void Tvx_Errors::IgnoreAll(const Variant& ABoolean) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { FIgnoreAll = ABoolean.ToBool(); });
}

void Tvx_Errors::ErrorHandlerForClasses(const Variant& AErrNumber, const Variant& AErrDescription,
                                        const char* ATypeNameMe) noexcept {
    try {
        if (FIgnoreAll) {
            return;
        }
        FErrNumber = AErrNumber;
        FErrDescription = ErrDescriptionTrimNull(AErrDescription);
        FDescription = std::string("Unbekannter Fehler in Klasse \"") + ATypeNameMe + "\"";
    } catch (...) {
        LastResortReport("Errors.ErrorHandlerForClasses");
    }
}

Variant Tvx_Errors::ErrDescriptionTrimNull(const Variant& AErrDescription) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    trap([&] {
        const std::string text = AErrDescription.ToString();
        result = !text.empty() && text.back() == '\0' ? text.substr(0, text.size() - 1) : text;
    });
    return result;
}

void Tvx_Errors::LastResortReport(const char* AHandlerName) noexcept {
    const std::string text =
        std::string("Kritischer Fehler in \"") + AHandlerName +
        "\". Bitte setzen Sie sich mit\ndem Tarvex-Support in Kontakt (E-Mail: " + "support@tarvex.example" + ").";
    MessageBoxW(nullptr, runtime::Widen(text).c_str(), L"Kritischer Fehler", MB_OK | MB_ICONSTOP);
    runtime::EndProcess();
}
