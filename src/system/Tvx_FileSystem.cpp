#include "Tvx_FileSystem.h"

#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Events.h"
#include "runtime/RuntimeError.h"

#include <windows.h>

using runtime::Variant;

namespace {

// The retries are counted, not timed: a locked file gets this many more attempts back to back.
constexpr int kInUseAttempts = 100;

std::string Quoted(const Variant& path) {
    return "\"" + path.ToString() + "\"";
}

std::string CopyMessage(const Variant& ASource, const Variant& ADestination) {
    return "Kopieren einer Datei fehlgeschlagen (Quelle " + Quoted(ASource) + ", Ziel " + Quoted(ADestination) + ")";
}

std::string DeleteMessage(const Variant& AFileName) {
    return "Löschen einer Datei fehlgeschlagen (" + Quoted(AFileName) + ")";
}

using Replace = runtime::FileSystemObject::Replace;

auto Deleting(const Variant& AFileName) {
    return [&](const runtime::FileSystemObject& files) { files.DeleteFiles(AFileName.ToString()); };
}

} // namespace

// When the object cannot be created, Loaded stays set: it is not tried again, and every later
// call on it fails and is reported as that operation's failure.
void Tvx_FileSystem::OnClassLoad() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { FileSystemObject = std::make_unique<runtime::FileSystemObject>(); });
}

void Tvx_FileSystem::OnClassUnload() {
    FileSystemObject.reset();
}

// The program's own files: a read-only one (an earlier install from a CD) is replaced too.
void Tvx_FileSystem::FileCopy(const Variant& ASource, const Variant& ADestination) {
    FileCopyChecked(ASource, ADestination, Replace::Delivered);
}

// One copy serves every attempt: a target held open costs one copy of the source, and each retry
// tries only to put it in the target's place.
bool Tvx_FileSystem::FileCopyInUse(const Variant& ASource, const Variant& ADestination) {
    runtime::FileSystemObject::Pending pending;
    return Retried(
        [&](const runtime::FileSystemObject& files) {
            return files.TryCopy(ASource.ToString(), ADestination.ToString(), Replace::Delivered, pending);
        },
        [&] { return CopyMessage(ASource, ADestination); },
        [&](unsigned long error) { runtime::FileSystemObject::RaiseCopyFailure(error, pending); });
}

void Tvx_FileSystem::FileDelete(const Variant& AFileName) {
    FileDeleteChecked(AFileName);
}

bool Tvx_FileSystem::FileDeleteInUse(const Variant& AFileName) {
    return Retried([&](const runtime::FileSystemObject& files) { return files.TryDeleteFiles(AFileName.ToString()); },
                   [&] { return DeleteMessage(AFileName); });
}

// A caller goes on to put another file under the old name only when this says the name is free:
// after a refused delete the old file stays, and so does whatever it leads to. The files renamed
// are the user's: a read-only one of the new name is kept, and the copy keeps the old one's bits.
bool Tvx_FileSystem::FileRename(const Variant& AOldName, const Variant& ANewName, bool ABooleanFailIfExists) {
    return FileCopyChecked(AOldName, ANewName, ABooleanFailIfExists ? Replace::Never : Replace::Writable) &&
           FileDeleteChecked(AOldName);
}

void Tvx_FileSystem::FolderCreate(const Variant& AFolder) {
    Reported([&](const runtime::FileSystemObject& files) { files.CreateFolder(AFolder.ToString()); },
             [&] { return "Erstellen eines Verzeichnisses fehlgeschlagen (" + Quoted(AFolder) + ")"; });
}

void Tvx_FileSystem::FolderDelete(const Variant& AFolder) {
    Reported([&](const runtime::FileSystemObject& files) { files.DeleteFolder(AFolder.ToString()); },
             [&] { return "Löschen eines Verzeichnisses fehlgeschlagen (" + Quoted(AFolder) + ")"; });
}

void Tvx_FileSystem::FolderDeleteTry(const Variant& AFolder) {
    Attempt([&](const runtime::FileSystemObject& files) { files.DeleteFolder(AFolder.ToString()); });
}

void Tvx_FileSystem::FolderSweep(const Variant& AFolder) {
    Attempt([&](const runtime::FileSystemObject& files) { files.SweepFolder(AFolder.ToString()); });
}

void Tvx_FileSystem::FolderTrust(const Variant& AFolder) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { runtime::FileSystemObject::TrustFolder(AFolder.ToString()); });
}

bool Tvx_FileSystem::FileCopyChecked(const Variant& ASource, const Variant& ADestination, Replace replace) {
    return Reported(
        [&](const runtime::FileSystemObject& files) {
            files.Copy(ASource.ToString(), ADestination.ToString(), replace);
        },
        [&] { return CopyMessage(ASource, ADestination); });
}

bool Tvx_FileSystem::FileDeleteChecked(const Variant& AFileName) {
    return Reported(Deleting(AFileName), [&] { return DeleteMessage(AFileName); });
}

CaughtError Tvx_FileSystem::Attempt(const Call& call) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    return ErrorTrap::Silently([&] { call(Required(FileSystemObject.get())); });
}

bool Tvx_FileSystem::Reported(const Call& call, const Message& message) {
    ErrorTrap trap(Root, TypeName());
    const CaughtError failure = Attempt(call);
    trap([&] { RootObject().Errors()->ExpectedErrorCheckFor(failure.Number, failure.Description, message()); });
    return !failure;
}

bool Tvx_FileSystem::Retried(const Try& attempt, const Message& message, const Failure& failure) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    unsigned long firstCode = 0;
    const CaughtError first = Attempt([&](const runtime::FileSystemObject& files) {
        firstCode = attempt(files);
        if (firstCode != NO_ERROR) {
            failure(firstCode);
        }
    });
    if (!first) {
        return result;
    }
    // A link does not go away by waiting: the first failure is reported at once.
    bool done = false;
    for (int number = 1; number <= kInUseAttempts && !done && firstCode != runtime::kWin32StoppedOnLink; ++number) {
        unsigned long error = NO_ERROR;
        // The retries need no object of this run, so they go on where it could not be created. An
        // attempt that cannot even be made (a path that cannot be converted to text) cannot
        // succeed later either: it is reported once and ends the retries.
        if (!trap([&] { error = attempt(runtime::FileSystemObject()); }) || error == runtime::kWin32StoppedOnLink) {
            break;
        }
        done = error == NO_ERROR;
        if (!done) {
            runtime::DoEvents();
        }
    }
    if (!done) {
        // The first failure as it reads now: a later attempt may have left a file where the report
        // must say.
        const CaughtError report = firstCode != NO_ERROR ? ErrorTrap::Silently([&] { failure(firstCode); }) : first;
        trap([&] { RootObject().Errors()->ExpectedErrorShow(report.Number, report.Description, message()); });
    }
    result = true;
    return result;
}
