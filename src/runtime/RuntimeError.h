#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace runtime {

// A failed statement: the number and text that the program's error dialogs show. Raised by the
// runtime and system layers wherever the platform fails; caught by the error trap of every
// procedure, never by a window procedure or another C callback.
class RuntimeError : public std::exception {
public:
    RuntimeError(int32_t number, std::string description);

    int32_t Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int32_t number_;
    std::string description_;
};

// Numbers the program raises itself, with the texts a German Windows shows for them.
enum ErrorNumber : int32_t {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrTypeMismatch = 13,
    kErrInternal = 51,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrBadFileMode = 54,
    kErrFileExists = 58,
    kErrDiskFull = 61,
    kErrInputPastEnd = 62,
    kErrPermissionDenied = 70,
    kErrDiskNotReady = 71,
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
    kErrObjectNotSet = 91,
};

// The German text of a run-time error number; a generic text for the rest.
std::string ErrorText(int32_t number);

[[noreturn]] void Raise(int32_t number);
[[noreturn]] void Raise(int32_t number, std::string description);

// The system's code for a call that stopped at a link (ERROR_STOPPED_ON_SYMLINK, which the
// compiler's headers lack): what the file calls give for a link they do not follow.
constexpr unsigned long kWin32StoppedOnLink = 681;

// Raises the run-time error that matches a Win32 error code (file not found, access denied, ...).
[[noreturn]] void RaiseWin32(unsigned long win32Error);
// The same, its text followed by what else the user must know of the failure (where a file was
// left).
[[noreturn]] void RaiseWin32(unsigned long win32Error, const std::string& detail);

} // namespace runtime
