#include "Tvx_FileSystem.h"

#include "Tvx_ExternalFunctions.h"
#include "framework/ErrorTrap.h"
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

} // namespace

// When the object cannot be created, Loaded stays set: it is not tried again, and every later
// call on it fails and is reported as that operation's failure.
void Tvx_FileSystem::OnClassLoad() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { FileSystemObject = runtime::AutomationObject::Create("Scripting.FileSystemObject"); });
}

void Tvx_FileSystem::OnClassUnload() {
    FileSystemObject.Release();
}

void Tvx_FileSystem::FileCopy(const Variant& ASource, const Variant& ADestination) {
    FileCopyChecked(ASource, ADestination);
}

bool Tvx_FileSystem::FileCopyInUse(const Variant& ASource, const Variant& ADestination) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    const CaughtError first = ErrorTrap::Silently([&] {
        FileSystemObject.Call("CopyFile", {ASource, ADestination, Variant(true)});
    });
    if (!first) {
        return result;
    }
    // Converted once: a path that cannot be converted is reported once, not at every attempt.
    std::string source;
    std::string destination;
    trap([&] { source = ASource.ToString(); });
    trap([&] { destination = ADestination.ToString(); });
    bool copied = false;
    for (int attempt = 1; attempt <= kInUseAttempts && !copied; ++attempt) {
        trap([&] { copied = RootObject().ExternalFunctions()->CopyFile(source, destination, 0) != 0; });
        if (!copied) {
            runtime::DoEvents();
        }
    }
    if (!copied) {
        trap([&] {
            RootObject().Errors()->ExpectedErrorShow(first.Number, first.Description,
                                                     CopyMessage(ASource, ADestination));
        });
    }
    result = true;
    return result;
}

void Tvx_FileSystem::FileDelete(const Variant& AFileName) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    const CaughtError failure = ErrorTrap::Silently([&] {
        FileSystemObject.Call("DeleteFile", {AFileName, Variant(true)});
    });
    trap([&] {
        RootObject().Errors()->ExpectedErrorCheckFor(failure.Number, failure.Description, DeleteMessage(AFileName));
    });
}

bool Tvx_FileSystem::FileDeleteInUse(const Variant& AFileName) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    const CaughtError first = ErrorTrap::Silently([&] {
        FileSystemObject.Call("DeleteFile", {AFileName, Variant(true)});
    });
    if (!first) {
        return result;
    }
    std::string fileName;
    trap([&] { fileName = AFileName.ToString(); });
    bool deleted = false;
    for (int attempt = 1; attempt <= kInUseAttempts && !deleted; ++attempt) {
        trap([&] { deleted = RootObject().ExternalFunctions()->DeleteFile(fileName) != 0; });
        if (!deleted) {
            runtime::DoEvents();
        }
    }
    if (!deleted) {
        trap([&] {
            RootObject().Errors()->ExpectedErrorShow(first.Number, first.Description, DeleteMessage(AFileName));
        });
    }
    result = true;
    return result;
}

bool Tvx_FileSystem::FileRename(const Variant& AOldName, const Variant& ANewName) {
    ErrorTrap trap(Root, TypeName());
    const bool copied = FileCopyChecked(AOldName, ANewName);
    if (copied) {
        trap([&] { FileDelete(AOldName); });
    }
    return copied;
}

void Tvx_FileSystem::FolderCreate(const Variant& AFolder) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    const CaughtError failure = ErrorTrap::Silently([&] { FileSystemObject.Call("CreateFolder", {AFolder}); });
    trap([&] {
        RootObject().Errors()->ExpectedErrorCheckFor(failure.Number, failure.Description,
                                                     "Erstellen eines Verzeichnisses fehlgeschlagen (" +
                                                         Quoted(AFolder) + ")");
    });
}

void Tvx_FileSystem::FolderDelete(const Variant& AFolder) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    const CaughtError failure = ErrorTrap::Silently([&] {
        FileSystemObject.Call("DeleteFolder", {AFolder, Variant(true)});
    });
    trap([&] {
        RootObject().Errors()->ExpectedErrorCheckFor(failure.Number, failure.Description,
                                                     "Löschen eines Verzeichnisses fehlgeschlagen (" + Quoted(AFolder) +
                                                         ")");
    });
}

void Tvx_FileSystem::FolderDeleteTry(const Variant& AFolder) {
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    ErrorTrap::Silently([&] { FileSystemObject.Call("DeleteFolder", {AFolder, Variant(true)}); });
}

bool Tvx_FileSystem::FileCopyChecked(const Variant& ASource, const Variant& ADestination) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    trap([&] { ClassLoad(); });
    const CaughtError failure = ErrorTrap::Silently([&] {
        FileSystemObject.Call("CopyFile", {ASource, ADestination, Variant(true)});
    });
    trap([&] {
        RootObject().Errors()->ExpectedErrorCheckFor(failure.Number, failure.Description,
                                                     CopyMessage(ASource, ADestination));
    });
    result = !failure;
    return result;
}
