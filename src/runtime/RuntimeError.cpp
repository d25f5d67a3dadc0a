#include "RuntimeError.h"

#include <windows.h>

#include <utility>

namespace runtime {

RuntimeError::RuntimeError(int32_t number, std::string description)
    : number_(number), description_(std::move(description)) {}

std::string ErrorText(int32_t number) {
    switch (number) {
    case kErrInvalidCall:
        return "Unzulässiger Prozeduraufruf oder ungültiges Argument";
    case kErrOverflow:
        return "Überlauf";
    case kErrOutOfMemory:
        return "Nicht genügend Speicher";
    case kErrSubscript:
        return "Index außerhalb des gültigen Bereichs";
    case kErrTypeMismatch:
        return "Typen unverträglich";
    case kErrInternal:
        return "Interner Fehler";
    case kErrBadFileName:
        return "Dateiname oder -nummer falsch";
    case kErrFileNotFound:
        return "Datei nicht gefunden";
    case kErrBadFileMode:
        return "Dateimodus falsch";
    case kErrFileExists:
        return "Datei existiert bereits";
    case kErrDiskFull:
        return "Datenträger voll";
    case kErrInputPastEnd:
        return "Einlesen hinter Dateiende";
    case kErrPermissionDenied:
        return "Zugriff verweigert";
    case kErrDiskNotReady:
        return "Datenträger nicht bereit";
    case kErrPathFileAccess:
        return "Fehler beim Zugriff auf Pfad/Datei";
    case kErrPathNotFound:
        return "Pfad nicht gefunden";
    case kErrObjectNotSet:
        return "Objektvariable oder With-Blockvariable nicht festgelegt";
    default:
        return "Anwendungs- oder objektdefinierter Fehler";
    }
}

void Raise(int32_t number) {
    throw RuntimeError(number, ErrorText(number));
}

void Raise(int32_t number, std::string description) {
    throw RuntimeError(number, std::move(description));
}

namespace {

ErrorNumber NumberOfWin32(unsigned long win32Error) {
    // The system's error codes and the run-time errors a Windows user sees for them; any other code
    // is a path/file access error.
    // A share or server that cannot be reached, and a path part that is no folder, are a path
    // not found to the scripting runtime; a write-protected disk and a share that refuses are
    // permission denied; a folder that keeps an entry, and a link the program does not follow, a
    // path/file access error.
    static constexpr struct {
        unsigned long code;
        ErrorNumber number;
    } kNumbers[] = {
        {ERROR_FILE_NOT_FOUND, kErrFileNotFound},
        {ERROR_PATH_NOT_FOUND, kErrPathNotFound},
        {ERROR_BAD_NETPATH, kErrPathNotFound},
        {ERROR_BAD_NET_NAME, kErrPathNotFound},
        {ERROR_DIRECTORY, kErrPathNotFound},
        {ERROR_ACCESS_DENIED, kErrPermissionDenied},
        {ERROR_SHARING_VIOLATION, kErrPermissionDenied},
        {ERROR_LOCK_VIOLATION, kErrPermissionDenied},
        {ERROR_WRITE_PROTECT, kErrPermissionDenied},
        {ERROR_NETWORK_ACCESS_DENIED, kErrPermissionDenied},
        {ERROR_FILE_EXISTS, kErrFileExists},
        {ERROR_ALREADY_EXISTS, kErrFileExists},
        {ERROR_INVALID_NAME, kErrBadFileName},
        {ERROR_BAD_PATHNAME, kErrBadFileName},
        {ERROR_NOT_READY, kErrDiskNotReady},
        {ERROR_DISK_FULL, kErrDiskFull},
        {ERROR_HANDLE_DISK_FULL, kErrDiskFull},
        {ERROR_DIR_NOT_EMPTY, kErrPathFileAccess},
        {kWin32StoppedOnLink, kErrPathFileAccess},
        {ERROR_NOT_ENOUGH_MEMORY, kErrOutOfMemory},
        {ERROR_OUTOFMEMORY, kErrOutOfMemory},
    };
    for (const auto& entry : kNumbers) {
        if (entry.code == win32Error) {
            return entry.number;
        }
    }
    return kErrPathFileAccess;
}

} // namespace

void RaiseWin32(unsigned long win32Error) {
    Raise(NumberOfWin32(win32Error));
}

void RaiseWin32(unsigned long win32Error, const std::string& detail) {
    const ErrorNumber number = NumberOfWin32(win32Error);
    Raise(number, ErrorText(number) + detail);
}

} // namespace runtime
