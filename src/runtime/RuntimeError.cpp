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
    case kErrCannotCreateObject:
        return "Objekterstellung durch ActiveX-Komponente nicht möglich";
    case kErrMemberNotFound:
        return "Objekt unterstützt diese Eigenschaft oder Methode nicht";
    case kErrAutomation:
        return "Automatisierungsfehler";
    // Wine's file-system object reports these as they are, where Windows gives 70 or 76.
    case static_cast<int32_t>(0x80004005):
        return "Unbekannter Fehler";
    case static_cast<int32_t>(0x80070057):
        return "Falscher Parameter";
    case static_cast<int32_t>(0x80070002):
        return "Das System kann die angegebene Datei nicht finden";
    case static_cast<int32_t>(0x80070003):
        return "Das System kann den angegebenen Pfad nicht finden";
    case static_cast<int32_t>(0x80070005):
        return "Zugriff verweigert";
    case static_cast<int32_t>(0x80070020):
        return "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird";
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

void RaiseWin32(unsigned long win32Error) {
    switch (win32Error) {
    case ERROR_FILE_NOT_FOUND:
        Raise(kErrFileNotFound);
    case ERROR_PATH_NOT_FOUND:
        Raise(kErrPathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        Raise(kErrPermissionDenied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        Raise(kErrFileExists);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        Raise(kErrBadFileName);
    case ERROR_NOT_READY:
        Raise(kErrDiskNotReady);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        Raise(kErrDiskFull);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        Raise(kErrOutOfMemory);
    default:
        Raise(kErrPathFileAccess);
    }
}

} // namespace runtime
