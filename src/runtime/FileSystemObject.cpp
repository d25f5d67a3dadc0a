#include "FileSystemObject.h"

#include "FileEntry.h"
#include "FolderWalk.h"
#include "PathText.h"
#include "Replacement.h"
#include "RuntimeError.h"
#include "Text.h"

#include <vector>

namespace runtime {

namespace {

using Depth = FileEntry::Depth;

// What a call gives that meets a link it must not follow (75 to the user).
constexpr DWORD kLinkRefused = kWin32StoppedOnLink;

enum class Kind { Files, Folders };

void Check(DWORD error) {
    if (error != NO_ERROR) {
        RaiseWin32(error);
    }
}

bool HasWildcards(const std::wstring& name) {
    return name.find_first_of(L"*?") != std::wstring::npos;
}

// '*' stands for any run of characters, '?' for one; case does not count, as in the file system.
// "*.*" matches every name, dot or not, as it has since DOS.
bool Matches(std::wstring pattern, std::wstring name) {
    if (pattern == L"*.*") {
        pattern = L"*";
    }
    CharUpperBuffW(pattern.data(), static_cast<DWORD>(pattern.size()));
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    size_t p = 0;
    size_t n = 0;
    size_t star = std::wstring::npos;
    size_t resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

// The folder of the path's last part, opened as FolderWalk::OpenFolderOf opens it, and that part; a
// pattern there only where the call takes one.
struct Place {
    FileEntry folder;
    std::wstring leaf;
};

DWORD Locate(const std::string& path, bool pattern, Place& place) {
    if (!IsPathText(path)) {
        return ERROR_INVALID_NAME;
    }
    const DWORD error = FolderWalk::OpenFolderOf(Widen(path), place.folder, place.leaf);
    return error == NO_ERROR && !pattern && HasWildcards(place.leaf) ? ERROR_INVALID_NAME : error;
}

Place PlaceOf(const std::string& path, bool pattern) {
    Place place;
    Check(Locate(path, pattern, place));
    return place;
}

DWORD Remove(const FileEntry& folder, const std::wstring& name, FileEntry& entry);

// Removes everything in the open folder, going on after a failure; the first failure.
DWORD RemoveContents(const FileEntry& folder) {
    std::vector<FileEntry::Listed> children;
    DWORD failure = folder.List(children);
    for (const FileEntry::Listed& child : children) {
        FileEntry entry;
        const ACCESS_MASK access =
            FileEntry::kDeleteAccess | ((child.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FILE_LIST_DIRECTORY : 0);
        DWORD error = entry.Open(folder, child.name, access, 0);
        if (error == NO_ERROR) {
            error = Remove(folder, child.name, entry);
        }
        // Gone meanwhile: nothing left to do.
        if (error == ERROR_FILE_NOT_FOUND) {
            error = NO_ERROR;
        }
        if (failure == NO_ERROR) {
            failure = error;
        }
    }
    return failure;
}

// Removes the open entry, which the folder holds under that name, with everything in it. A link or
// junction goes as itself and is never entered; one that the system followed is left alone.
DWORD Remove(const FileEntry& folder, const std::wstring& name, FileEntry& entry) {
    if (entry.IsFollowed()) {
        return kLinkRefused;
    }
    // The contents first, through the handle that was checked.
    if (entry.IsFolder() && !entry.IsLink()) {
        const DWORD failure = RemoveContents(entry);
        if (failure != NO_ERROR) {
            return failure;
        }
    }
    return entry.Delete(folder, name);
}

// Removes every entry of the kind that the name or pattern matches in the folder, going on after a
// failure. The first failure's error code; noMatch when nothing of the kind matched.
DWORD RemoveMatching(const FileEntry& folder, const std::wstring& leaf, Kind kind, DWORD noMatch) {
    const bool folders = kind == Kind::Folders;
    std::vector<FileEntry::Listed> candidates;
    if (HasWildcards(leaf)) {
        std::vector<FileEntry::Listed> entries;
        const DWORD error = folder.List(entries);
        if (error != NO_ERROR) {
            return error;
        }
        for (FileEntry::Listed& entry : entries) {
            if (((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders && Matches(leaf, entry.name)) {
                candidates.push_back(std::move(entry));
            }
        }
    } else {
        candidates.push_back({leaf, 0});
    }
    DWORD failure = NO_ERROR;
    bool matched = false;
    for (const FileEntry::Listed& candidate : candidates) {
        FileEntry entry;
        DWORD error =
            entry.Open(folder, candidate.name, FileEntry::kDeleteAccess | (folders ? FILE_LIST_DIRECTORY : 0), 0);
        if (error == ERROR_FILE_NOT_FOUND) {
            continue;
        }
        if (error == NO_ERROR) {
            if (!entry.IsFollowed() && entry.IsFolder() != folders) {
                continue;
            }
            error = Remove(folder, candidate.name, entry);
        }
        matched = true;
        if (failure == NO_ERROR) {
            failure = error;
        }
    }
    return matched ? failure : noMatch;
}

// What a copy may not replace: a folder, a read-only file of the user's (the system's own copy
// would replace it under Wine, not on Windows), and anything at all unless told to. A link there
// is replaced as itself, whatever it leads to.
DWORD CheckTarget(const FileEntry& folder, const std::wstring& leaf, Replace replace) {
    FileEntry existing;
    const DWORD error = existing.Open(folder, leaf, 0, 0, Depth::Attributes);
    if (error == ERROR_FILE_NOT_FOUND) {
        return NO_ERROR;
    }
    if (error != NO_ERROR) {
        return error;
    }
    if (replace == Replace::Never) {
        return ERROR_FILE_EXISTS;
    }
    return existing.IsFolder() || (existing.IsReadOnly() && replace != Replace::Delivered) ? ERROR_ACCESS_DENIED
                                                                                           : NO_ERROR;
}

DWORD CopyContent(HANDLE from, HANDLE to) {
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            return GetLastError();
        }
        if (got == 0) {
            return NO_ERROR;
        }
        for (DWORD done = 0; done < got;) {
            DWORD wrote = 0;
            if (!WriteFile(to, buffer.data() + done, got - done, &wrote, nullptr)) {
                return GetLastError();
            }
            // A write that takes nothing without an error (Wine at a file-size limit) would go on
            // for ever: the disk takes no more.
            if (wrote == 0) {
                return ERROR_DISK_FULL;
            }
            done += wrote;
        }
    }
}

// The copy keeps the source's time of last change and its attributes, as the system's own copy
// does, but for the read-only bit of a delivered file; set once the copy has its name. Neither is
// the copy's content: a failure here fails nothing. Only the attributes that can be set are asked
// for: a compressed, encrypted or sparse source, or a cloud placeholder, would make the system
// refuse the whole call, and the time of last change with it. (Wine takes any bits here: only
// Windows shows the difference.)
void CarryOver(const FILE_BASIC_INFO& source, HANDLE to, Replace replace) {
    FILE_BASIC_INFO copy{};
    copy.LastWriteTime = source.LastWriteTime;
    DWORD attributes = source.FileAttributes;
    if (replace == Replace::Delivered) {
        attributes &= ~FILE_ATTRIBUTE_READONLY;
    }
    copy.FileAttributes = FileEntry::Settable(attributes);
    SetFileInformationByHandle(to, FileBasicInfo, &copy, sizeof copy);
}

} // namespace

struct FileSystemObject::Pending::State {
    FileEntry folder;
    std::wstring leaf;
    // The temporary file with the whole content, and its name; closed once it has the target's name.
    FileEntry copy;
    std::wstring temporary;
    // Whether the system deletes the temporary file when its handle closes.
    bool marked = false;
    // Whether the copy has the target's name while the file it replaced stays where `left` says:
    // nothing is left to try.
    bool placed = false;
    FILE_BASIC_INFO source{};
    // The target's path as the caller gave it, for the report.
    std::string destination;
    // The name under which an attempt left the target's old file, when it could not have its name
    // back; empty while none was left.
    std::wstring left;

    // Copies the source to a new temporary file beside the target, open to no one else and marked
    // for deletion while it is written: a run killed meanwhile leaves nothing, the system deletes
    // the file with the process's handles.
    DWORD Make(const std::string& sourcePath, const std::string& destination, Replace replace) {
        if (!IsPathText(sourcePath)) {
            return ERROR_INVALID_NAME;
        }
        const FileHandle from(CreateFileW(Widen(sourcePath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!from) {
            return GetLastError();
        }
        Place place;
        DWORD error = Locate(destination, false, place);
        if (error == NO_ERROR) {
            error = CheckTarget(place.folder, place.leaf, replace);
        }
        FileEntry made;
        if (error == NO_ERROR) {
            Replacement::Sweep(place.folder);
            error = ERROR_ALREADY_EXISTS;
            for (int attempt = 0; attempt < 8 && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
                 ++attempt) {
                temporary = Replacement::TemporaryName();
                error = made.OpenRaw(place.folder, temporary, GENERIC_WRITE | FileEntry::kDeleteAccess, FILE_CREATE,
                                     FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, 0);
            }
        }
        if (error != NO_ERROR) {
            return error;
        }
        marked = made.MarkForDeletion(true);
        error = CopyContent(from.get(), made.Handle());
        // On the disk before the file takes the target's name: NTFS journals the rename but not the
        // data, and after a power loss the target would be left zero-filled.
        if (error == NO_ERROR && !FlushFileBuffers(made.Handle())) {
            error = GetLastError();
        }
        if (error == NO_ERROR && !GetFileInformationByHandleEx(from.get(), FileBasicInfo, &source, sizeof source)) {
            source.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        folder = std::move(place.folder);
        leaf = std::move(place.leaf);
        copy = std::move(made);
        this->destination = destination;
        if (error != NO_ERROR) {
            Discard();
        }
        return error;
    }

    // A file marked for deletion cannot take a name on Windows: the mark goes just before the
    // rename and comes back when the rename fails.
    DWORD PutInPlace(Replace replace) {
        if (marked && !copy.MarkForDeletion(false)) {
            return GetLastError();
        }
        std::wstring aside;
        const DWORD error = Replacement::PutInPlace(copy, folder, leaf, replace, aside);
        placed = error == NO_ERROR && !aside.empty();
        if (!aside.empty()) {
            left = std::move(aside);
        }
        if (error != NO_ERROR) {
            marked = marked && copy.MarkForDeletion(true);
            return error;
        }
        CarryOver(source, copy.Handle(), replace);
        copy.Close();
        marked = false;
        return placed ? ERROR_ACCESS_DENIED : NO_ERROR;
    }

    void Discard() {
        if (copy && !marked) {
            copy.Delete(folder, temporary);
        }
        copy.Close();
        marked = false;
    }
};

FileSystemObject::Pending::Pending() : state_(std::make_unique<State>()) {}

FileSystemObject::Pending::~Pending() {
    state_->Discard();
}

void FileSystemObject::TrustFolder(const std::string& folder) {
    FolderWalk::Trust(WidenPath(folder));
}

void FileSystemObject::Copy(const std::string& source, const std::string& destination, Replace replace) const {
    Pending pending;
    const DWORD error = TryCopy(source, destination, replace, pending);
    if (error != NO_ERROR) {
        RaiseCopyFailure(error, pending);
    }
}

void FileSystemObject::RaiseCopyFailure(unsigned long error, const Pending& pending) {
    const Pending::State& state = *pending.state_;
    if (state.left.empty()) {
        RaiseWin32(error);
    }
    const size_t end = state.destination.find_last_of("\\/");
    const std::string folder = end == std::string::npos ? std::string() : state.destination.substr(0, end + 1);
    RaiseWin32(error, "; die bisherige Zieldatei liegt jetzt unter \"" + folder + Narrow(state.left) + "\"");
}

unsigned long FileSystemObject::TryCopy(const std::string& source, const std::string& destination, Replace replace,
                                        Pending& pending) const {
    Pending::State& state = *pending.state_;
    if (state.placed) {
        return ERROR_ACCESS_DENIED;
    }
    DWORD error = NO_ERROR;
    if (state.copy) {
        // The target may have changed since the last attempt: a folder or a file of the user's
        // that turned up there is still not replaced.
        error = CheckTarget(state.folder, state.leaf, replace);
    } else {
        error = state.Make(source, destination, replace);
    }
    return error != NO_ERROR ? error : state.PutInPlace(replace);
}

void FileSystemObject::DeleteFiles(const std::string& fileSpec) const {
    Check(TryDeleteFiles(fileSpec));
}

unsigned long FileSystemObject::TryDeleteFiles(const std::string& fileSpec) const {
    Place place;
    const DWORD error = Locate(fileSpec, true, place);
    if (error != NO_ERROR) {
        return error;
    }
    // What a crash left beside the program's files goes with them: the uninstall deletes its files
    // and copies none.
    Replacement::Sweep(place.folder);
    return RemoveMatching(place.folder, place.leaf, Kind::Files, ERROR_FILE_NOT_FOUND);
}

void FileSystemObject::SweepFolder(const std::string& folder) const {
    Replacement::Sweep(PlaceOf(Narrow(Joined(WidenPath(folder), L"*")), true).folder);
}

void FileSystemObject::CreateFolder(const std::string& path) const {
    const auto [folder, leaf] = PlaceOf(path, false);
    // Made new or not at all: an entry of the name, a dangling link too, is "file exists".
    FileEntry created;
    Check(created.OpenRaw(folder, leaf, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_CREATE, FILE_DIRECTORY_FILE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
}

// A missing folder, or a file of the folder's name, is "path not found".
void FileSystemObject::DeleteFolder(const std::string& path) const {
    const auto [folder, leaf] = PlaceOf(path, true);
    Check(RemoveMatching(folder, leaf, Kind::Folders, ERROR_PATH_NOT_FOUND));
}

FileHandle FileSystemObject::OpenForAppending(const std::string& path) const {
    const auto [folder, leaf] = PlaceOf(path, false);
    // Opened when it is there, else created new: an open that may also create would create the
    // file that a dangling link points to.
    constexpr ULONG kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    FileEntry file;
    const DWORD error =
        file.OpenRaw(folder, leaf, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_OPEN, FILE_NON_DIRECTORY_FILE, kShare);
    if (error == ERROR_FILE_NOT_FOUND) {
        Check(file.OpenRaw(folder, leaf, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_CREATE, FILE_NON_DIRECTORY_FILE,
                           kShare));
        return file.Release();
    }
    Check(error);
    Check(file.Identify(folder, leaf));
    if (file.IsLink() || file.IsFollowed()) {
        RaiseWin32(kLinkRefused);
    }
    return file.Release();
}

} // namespace runtime
