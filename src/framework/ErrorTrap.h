#pragma once

#include "runtime/RuntimeError.h"

#include <cstdint>
#include <new>
#include <string>
#include <utility>

class Tarvex;

// An object reference that a statement uses: an empty one fails the statement with "object
// variable not set", as a call on an empty reference does.
template <class Object>
Object& Required(Object* object) {
    if (object == nullptr) {
        runtime::Raise(runtime::kErrObjectNotSet);
    }
    return *object;
}

// A failure that an expected-failure guard caught: its number (0 when nothing failed) and text.
struct CaughtError {
    int32_t Number = 0;
    std::string Description;
    explicit operator bool() const noexcept { return Number != 0; }
};

// The error trap of one procedure. Each guarded statement runs inside the trap; when it fails,
// it has no further effect, the failure goes to the root's error handler with the procedure's
// class name, and the procedure carries on with its next statement. A test that fails counts as
// true, so the procedure enters the block behind it, as the platform's own "resume next" does.
//
//     ErrorTrap trap(Root, TypeName());
//     if (trap.If([&] { return ...; })) {
//         trap([&] { result = ...; });
//     }
class ErrorTrap {
public:
    ErrorTrap(Tarvex* root, const char* typeName) noexcept : root_(root), typeName_(typeName) {}

    // Runs one statement; false when it failed (and was reported).
    template <class Statement> bool operator()(Statement&& statement) noexcept {
        const CaughtError failure = Silently(std::forward<Statement>(statement));
        if (failure) {
            Report(failure);
            return false;
        }
        return true;
    }

    // The test of a condition or a loop; true when it holds or when the test itself failed.
    template <class Condition> bool If(Condition&& condition) noexcept {
        bool holds = true;
        (*this)([&] { holds = static_cast<bool>(condition()); });
        return holds;
    }

    // One operation that may fail in ordinary use: its failure is not reported here but handed
    // back, so that the caller can report it with a description of its own.
    template <class Statement> static CaughtError Silently(Statement&& statement) noexcept {
        try {
            statement();
            return {};
        } catch (const runtime::RuntimeError& error) {
            return {error.Number(), error.Description()};
        } catch (const std::bad_alloc&) {
            return {runtime::kErrOutOfMemory, runtime::ErrorText(runtime::kErrOutOfMemory)};
        } catch (...) {
            return {runtime::kErrInternal, runtime::ErrorText(runtime::kErrInternal)};
        }
    }

private:
    void Report(const CaughtError& failure) noexcept;

    Tarvex* root_;
    const char* typeName_;
};
