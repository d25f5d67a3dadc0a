#include "ErrorTrap.h"

#include "Tarvex.h"
#include "Tvx_Errors.h"

void ErrorTrap::Report(const CaughtError& failure) noexcept {
    Tvx_Errors* errors = root_ != nullptr ? root_->Errors() : nullptr;
    if (errors == nullptr) {
        // Without a root there is nobody to report to: a failure of the error handling itself.
        Tvx_Errors::LastResortReport("Errors.ErrorHandlerForClasses");
    }
    errors->ErrorHandlerForClasses(runtime::Variant(failure.Number), runtime::Variant(failure.Description), typeName_);
}
