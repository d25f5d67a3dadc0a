#include "Tvx_Errors.h"

#include "ErrorTrap.h"
#include "Tarvex.h"
#include "Tvx_Tools.h"
#include "runtime/Process.h"
#include "runtime/Text.h"

#include <windows.h>

using runtime::Variant;

namespace {

// The one address the user is asked to write to, in the report text and the last-resort box.
constexpr const char* kErrorReportAddress = "support@tarvex.example";

constexpr int16_t kReplyAbbrechen = 0;
constexpr int16_t kReplyAlleIgnorieren = 2;

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

void Tvx_Errors::OnClassInitialize() {
    FIgnoreAll = false;
}

Variant Tvx_Errors::Description() const {
    return FDescription;
}
Variant Tvx_Errors::ErrNumber() const {
    return FErrNumber;
}
Variant Tvx_Errors::ErrDescription() const {
    return FErrDescription;
}
Variant Tvx_Errors::IgnoreAll() const {
    return FIgnoreAll;
}

void Tvx_Errors::IgnoreAll(const Variant& ABoolean) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { FIgnoreAll = ABoolean.ToBool(); });
}

void Tvx_Errors::ErrorHandlerForModules(const Variant& AErrNumber, const Variant& AErrDescription,
                                        const char* AModuleName) noexcept {
    try {
        UnexpectedErrorShow(AErrNumber, AErrDescription, "Unbekannter Fehler in Modul " + Quoted(AModuleName),
                            "Errors.ErrorHandlerForModules");
    } catch (...) {
        LastResortReport("Errors.ErrorHandlerForModules");
    }
}

void Tvx_Errors::ErrorHandlerForClasses(const Variant& AErrNumber, const Variant& AErrDescription,
                                        const char* ATypeNameMe) noexcept {
    try {
        UnexpectedErrorShow(AErrNumber, AErrDescription, "Unbekannter Fehler in Klasse " + Quoted(ATypeNameMe),
                            "Errors.ErrorHandlerForClasses");
    } catch (...) {
        LastResortReport("Errors.ErrorHandlerForClasses");
    }
}

// Runs without a trap of its own: a failure here is a failure of the handler that called it.
void Tvx_Errors::UnexpectedErrorShow(const Variant& AErrNumber, const Variant& AErrDescription,
                                     const std::string& ADescription, const char* AHandlerName) {
    if (FIgnoreAll) {
        return;
    }
    if (Root == nullptr) {
        runtime::Raise(runtime::kErrObjectNotSet);
    }
    FErrNumber = AErrNumber;
    FErrDescription = ErrDescriptionTrimNull(AErrDescription);
    FDescription = ADescription;
    ReplyHandle(ErrorDialogShow("Unerwarteter Fehler", true, AHandlerName));
}

void Tvx_Errors::MessageBoxInternalError(const Variant& AText) {
    ErrorTrap trap(Root, TypeName());
    if (FIgnoreAll) {
        return;
    }
    FErrNumber = 0;
    FErrDescription = std::string();
    trap([&] { FDescription = AText.ToString(); });
    Variant reply;
    trap([&] { reply = ErrorDialogShow("Interner Fehler", true, "Errors.MessageBoxInternalError"); });
    trap([&] { ReplyHandle(reply); });
}

void Tvx_Errors::MessageBoxInternalErrorStandard(const Variant& AInvalidFact, const Variant& ALocation) {
    ErrorTrap trap(Root, TypeName());
    trap([&] {
        MessageBoxInternalError(Quoted(AInvalidFact.ToString()) + " ungültig in " + Quoted(ALocation.ToString()));
    });
}

void Tvx_Errors::MessageBoxWarning(const Variant& AWarning) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { Required(RootObject().Tools()).MessageBox("Tarvex Warnung", 3, "", 0, AWarning, 1, 1, 0, 0, "Ok"); });
}

void Tvx_Errors::ExpectedErrorCheckFor(const Variant& AErrNumber, const Variant& AErrDescription,
                                       const Variant& AErrorMessage) {
    ErrorTrap trap(Root, TypeName());
    if (trap.If([&] { return !(AErrNumber == Variant(0)); })) {
        ExpectedErrorShow(AErrNumber, AErrDescription, AErrorMessage);
    }
}

void Tvx_Errors::ExpectedErrorShow(const Variant& AErrNumber, const Variant& AErrDescription,
                                   const Variant& AErrorMessage) {
    ErrorTrap trap(Root, TypeName());
    FErrNumber = AErrNumber;
    trap([&] { FErrDescription = ErrDescriptionTrimNull(AErrDescription); });
    FDescription = AErrorMessage;
    Variant reply;
    trap([&] { reply = ErrorDialogShow("Fehler", false, "Errors.ExpectedErrorShow"); });
    if (trap.If([&] { return reply == Variant(kReplyAbbrechen); })) {
        RootObject().EndExecution();
    }
}

Variant Tvx_Errors::ErrorDialogShow(const char* ABigText, bool AWithIgnoreAll, const char* AHandlerName) {
    // One report inside another is allowed (a dialog that fails while it reports); a third
    // level means the reporting itself keeps failing, and only the system's message box is left.
    constexpr int kMostOpenDialogs = 2;
    if (FOpenDialogs >= kMostOpenDialogs) {
        LastResortReport(AHandlerName);
    }
    struct OpenDialog {
        int& count;
        explicit OpenDialog(int& c) : count(++c) {}
        ~OpenDialog() { --count; }
    } open(FOpenDialogs);
    const std::string text = ErrorReportCreate().ToString() + "\n\n" +
                             "Fehlerbeschreibung: " + Quoted(FDescription.ToString()) + "\n" +
                             "Visual Basic Fehler: " + Quoted(FErrDescription.ToString()) + "\n" +
                             "Visual Basic Fehlernummer: " + FErrNumber.ToString() + "\n";
    Tvx_Tools& tools = Required(RootObject().Tools());
    if (AWithIgnoreAll) {
        return tools.MessageBox("Tarvex Error", 2, ABigText, 0, text, 0, 0, 0, 0, "Abbrechen", "Ignorieren",
                                "Alle ignorier.");
    }
    return tools.MessageBox("Tarvex Error", 2, ABigText, 0, text, 0, 0, 0, 0, "Abbrechen", "Ignorieren");
}

void Tvx_Errors::ReplyHandle(const Variant& AReply) {
    if (AReply == Variant(kReplyAbbrechen)) {
        RootObject().EndExecution();
    } else if (AReply == Variant(kReplyAlleIgnorieren)) {
        FIgnoreAll = true;
    }
}

Variant Tvx_Errors::ErrorReportCreate() {
    return std::string("Der Setup der Tarvex konnte nicht erfolgreich beendet werden. Weiter unten finden Sie eine "
                       "Fehlerbeschreibung.") +
           "\n\n" +
           "Wir empfehlen Ihnen, den PC neu zu starten und den Setup erneut auszuführen. Außerdem sollten Sie "
           "sichergehen, daß Sie Administrator-Rechte auf diesem PC haben, d.h. neue Software installieren können. " +
           "Falls der Setup auch dann noch fehlschlägt, schicken Sie bitte eine E-Mail an " + kErrorReportAddress +
           " - vielen Dank für Ihre Unterstützung!";
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
        "\". Bitte setzen Sie sich mit\ndem Tarvex-Support in Kontakt (E-Mail: " + kErrorReportAddress + ").";
    MessageBoxW(nullptr, runtime::Widen(text).c_str(), L"Kritischer Fehler", MB_OK | MB_ICONSTOP);
    runtime::EndProcess();
}
