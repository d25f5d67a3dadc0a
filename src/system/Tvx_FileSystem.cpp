#include "Tvx_FileSystem.h"

#include "Tvx_ExternalFunctions.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Events.h"

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

// The object's copy and delete, shared by the plain operations and the in-use retries.
auto Copying(const Variant& ASource, const Variant& ADestination, bool overwrite = true) {
    return [&, overwrite](const runtime::FileSystemObject& files) {
        files.Copy(ASource.ToString(), ADestination.ToString(), overwrite);
    };
}

auto Deleting(const Variant& AFileName) {
    return [&](const runtime::FileSystemObject& files) { files.DeleteFiles(AFileName.ToString()); };
}

// The guard of the in-use retries: the system's own copy and delete work by name and, under Wine,
// through links, so a path that leads through one gets no attempt of theirs.
auto Guarding(const Variant& APath) {
    return [&](const runtime::FileSystemObject& files) { files.CheckNoLinkFollowed(APath.ToString()); };
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

void Tvx_FileSystem::FileCopy(const Variant& ASource, const Variant& ADestination) {
    FileCopyChecked(ASource, ADestination);
}

bool Tvx_FileSystem::FileCopyInUse(const Variant& ASource, const Variant& ADestination) {
    return Retried(
        Copying(ASource, ADestination), Guarding(ADestination),
        [&](Tvx_ExternalFunctions& functions) {
            // The system's copy goes to a new file beside the target, which then takes the target's
            // place as the object's own copy does: a retry that fails midway cuts no file either.
            const bool copied =
                runtime::FileSystemObject().CopyThrough(ADestination.ToString(), [&](const std::string& temporary) {
                    return functions.CopyFile(ASource.ToString(), temporary, 1) != 0;
                });
            return copied ? 1 : 0;
        },
        [&] { return CopyMessage(ASource, ADestination); });
}

void Tvx_FileSystem::FileDelete(const Variant& AFileName) {
    FileDeleteChecked(AFileName);
}

bool Tvx_FileSystem::FileDeleteInUse(const Variant& AFileName) {
    return Retried(
        Deleting(AFileName), Guarding(AFileName),
        [&](Tvx_ExternalFunctions& functions) { return functions.DeleteFile(AFileName.ToString()); },
        [&] { return DeleteMessage(AFileName); });
}

// A caller goes on to put another file under the old name only when this says the name is free:
// after a refused delete the old file stays, and so does whatever it leads to.
bool Tvx_FileSystem::FileRename(const Variant& AOldName, const Variant& ANewName, bool ABooleanFailIfExists) {
    return FileCopyChecked(AOldName, ANewName, !ABooleanFailIfExists) && FileDeleteChecked(AOldName);
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

void Tvx_FileSystem::FolderTrust(const Variant& AFolder) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { runtime::FileSystemObject::TrustFolder(AFolder.ToString()); });
}

bool Tvx_FileSystem::FileCopyChecked(const Variant& ASource, const Variant& ADestination, bool overwrite) {
    return Reported(Copying(ASource, ADestination, overwrite), [&] { return CopyMessage(ASource, ADestination); });
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

bool Tvx_FileSystem::Retried(const Call& call, const Call& guard,
                             const std::function<int32_t(Tvx_ExternalFunctions&)>& retry, const Message& message) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    const CaughtError first = Attempt(call);
    if (!first) {
        return result;
    }
    bool done = false;
    for (int attempt = 1; attempt <= kInUseAttempts && !done; ++attempt) {
        // A link does not go away by waiting: the first failure is reported at once. The check
        // needs no object of this run, so the retries go on where it could not be created.
        if (ErrorTrap::Silently([&] { guard(runtime::FileSystemObject()); })) {
            break;
        }
        // An attempt that cannot even be made (a path that cannot be converted to text) cannot
        // succeed later either: it is reported once and ends the retries.
        if (!trap([&] { done = retry(Required(RootObject().ExternalFunctions())) != 0; })) {
            break;
        }
        if (!done) {
            runtime::DoEvents();
        }
    }
    if (!done) {
        trap([&] { RootObject().Errors()->ExpectedErrorShow(first.Number, first.Description, message()); });
    }
    result = true;
    return result;
}
