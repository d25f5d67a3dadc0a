#pragma once

#include "Tvx_Node.h"
#include "runtime/Variant.h"

// Receives every error report of the program.
class Tvx_Errors final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_Errors"; }

    runtime::Variant Description() const { return FDescription; }
    runtime::Variant ErrNumber() const { return FErrNumber; }
    runtime::Variant ErrDescription() const { return FErrDescription; }
    runtime::Variant IgnoreAll() const { return FIgnoreAll; }
    void IgnoreAll(const runtime::Variant& ABoolean);

    // The target of every error trap.
    void ErrorHandlerForClasses(const runtime::Variant& AErrNumber, const runtime::Variant& AErrDescription,
                                const char* ATypeNameMe) noexcept;

    // The report of a failure inside the error handling itself, through the system's message
    // box; the process ends when it is closed.
    [[noreturn]] static void LastResortReport(const char* AHandlerName) noexcept;

protected:
    void OnClassInitialize() override;

private:
    runtime::Variant ErrDescriptionTrimNull(const runtime::Variant& AErrDescription);

    runtime::Variant FDescription = std::string();
    runtime::Variant FErrNumber;
    runtime::Variant FErrDescription = std::string();
    bool FIgnoreAll = false;
};
