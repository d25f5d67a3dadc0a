#pragma once

#include "Tvx_Node.h"
#include "runtime/Variant.h"

// Receives every error report of the program, shows the error dialogs and ends the program when
// the user chooses "Abbrechen".
class Tvx_Errors final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_Errors"; }

    runtime::Variant Description() const;
    runtime::Variant ErrNumber() const;
    runtime::Variant ErrDescription() const;
    runtime::Variant IgnoreAll() const;
    void IgnoreAll(const runtime::Variant& ABoolean);

    // The two error traps' targets: the unexpected-error dialog, unless silenced by "Alle
    // ignorier.". A failure of their own statements ends in the last-resort report.
    void ErrorHandlerForModules(const runtime::Variant& AErrNumber, const runtime::Variant& AErrDescription,
                                const char* AModuleName) noexcept;
    void ErrorHandlerForClasses(const runtime::Variant& AErrNumber, const runtime::Variant& AErrDescription,
                                const char* ATypeNameMe) noexcept;

    void MessageBoxInternalError(const runtime::Variant& AText);
    void MessageBoxInternalErrorStandard(const runtime::Variant& AInvalidFact, const runtime::Variant& ALocation);
    void MessageBoxWarning(const runtime::Variant& AWarning);

    // The expected-error dialog, shown whatever IgnoreAll holds; CheckFor only for a number not 0.
    void ExpectedErrorCheckFor(const runtime::Variant& AErrNumber, const runtime::Variant& AErrDescription,
                               const runtime::Variant& AErrorMessage);
    void ExpectedErrorShow(const runtime::Variant& AErrNumber, const runtime::Variant& AErrDescription,
                           const runtime::Variant& AErrorMessage);

    runtime::Variant ErrorReportCreate();

    // The report of a failure inside the error handling itself, through the system's message
    // box; the process ends when it is closed.
    [[noreturn]] static void LastResortReport(const char* AHandlerName) noexcept;

protected:
    void OnClassInitialize() override;

private:
    // The unexpected-error dialog of both handlers, with the description already composed.
    void UnexpectedErrorShow(const runtime::Variant& AErrNumber, const runtime::Variant& AErrDescription,
                             const std::string& ADescription, const char* AHandlerName);
    // Composes the dialog text from the stored members and shows one of the three error dialogs;
    // returns the reply.
    runtime::Variant ErrorDialogShow(const char* ABigText, bool AWithIgnoreAll, const char* AHandlerName);
    // The reply of an unexpected-error or internal-error dialog.
    void ReplyHandle(const runtime::Variant& AReply);
    runtime::Variant ErrDescriptionTrimNull(const runtime::Variant& AErrDescription);

    runtime::Variant FDescription = std::string();
    runtime::Variant FErrNumber;
    runtime::Variant FErrDescription = std::string();
    bool FIgnoreAll = false;
    // How many error dialogs are open inside each other: a failure that recurs in every dialog
    // (a message box window that cannot be created, say) must not report itself endlessly.
    int FOpenDialogs = 0;
};
