#include "FileSystemObject.h"

#include "RuntimeError.h"
#include "Text.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace runtime {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// What a call gives that meets a link it must not follow (75 to the user).
constexpr DWORD kLinkRefused = kWin32StoppedOnLink;
// The immediate delete of Windows 10, which the compiler's headers declare only for programs that
// need Windows 10; this one runs on older systems too, where the call refuses.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
constexpr ACCESS_MASK kRemoveAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
// The attributes that a file's basic information can set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

enum class Kind { Files, Folders };

// One thread uses the program's file calls; the list only grows.
std::vector<std::wstring>& TrustedFolders() {
    static std::vector<std::wstring> folders;
    return folders;
}

void Check(DWORD error) {
    if (error != NO_ERROR) {
        RaiseWin32(error);
    }
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool SameText(const wchar_t* a, size_t aLength, const wchar_t* b, size_t bLength) {
    return CompareStringOrdinal(a, static_cast<int>(aLength), b, static_cast<int>(bLength), TRUE) == CSTR_EQUAL;
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

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return !folder.empty() && IsSeparator(folder.back()) ? folder + name : folder + L'\\' + name;
}

// The path the system gives an open file or folder, after every link it followed to open it;
// empty where it gives none (some network and virtual-machine shares).
std::wstring FinalPath(HANDLE handle) {
    // Asked once with room for most paths: each ask costs the system a lookup of the volume.
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, path.data(), MAX_PATH, FILE_NAME_NORMALIZED);
    if (length >= MAX_PATH) {
        const DWORD size = length;
        path.resize(size);
        length = GetFinalPathNameByHandleW(handle, path.data(), size, FILE_NAME_NORMALIZED);
        length = length < size ? length : 0;
    }
    path.resize(length);
    return path;
}

// An open file or folder and what its handle tells of it.
struct Entry {
    FileHandle handle;
    DWORD attributes = 0;
    std::wstring finalPath;
    // A link or junction, opened as itself.
    bool link = false;
    // Not where it was looked for: a link that the system followed to open it anyway (Wine's), or
    // a folder on the way swapped for one meanwhile. Nothing is done to it.
    bool followed = false;

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// Opens or creates an entry of the folder by its own name, relative to the folder's handle: the
// entry is looked for in the folder that was opened, whatever the folder's path leads to by now.
// A link as the entry is opened as itself where the system can. The system's native call: its
// Win32 form knows no folder handle to open relative to.
DWORD OpenIn(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG disposition, ULONG options,
             FileHandle& entry, ULONG share = kShareAll) {
    // A name relative to a folder handle is one entry of that folder: no path, no stream, and never
    // empty (which would open the folder itself).
    if (name.empty() || name == L"." || name == L".." || name.find_first_of(L"\\/:") != std::wstring::npos ||
        name.size() > 255) {
        return ERROR_INVALID_NAME;
    }
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE handle = nullptr;
    const NTSTATUS result =
        NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                     disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (!NT_SUCCESS(result)) {
        return RtlNtStatusToDosError(result);
    }
    entry.reset(handle);
    return NO_ERROR;
}

// Reads what the open entry is. Where the system gives no final path, its own attributes decide.
// Asked for its attributes alone, it tells nothing of a link that the system followed.
enum class Depth { Attributes, Place };

DWORD Identify(const Entry& folder, const std::wstring& name, Entry& entry, Depth depth = Depth::Place) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(entry.handle.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
        // Some shares of virtual machines know the attributes alone: a reparse point there counts
        // as a link.
        FILE_BASIC_INFO basic{};
        if (!GetFileInformationByHandleEx(entry.handle.get(), FileBasicInfo, &basic, sizeof basic)) {
            return GetLastError();
        }
        tag.FileAttributes = basic.FileAttributes;
        tag.ReparseTag = IO_REPARSE_TAG_SYMLINK;
    }
    entry.attributes = tag.FileAttributes;
    // Name surrogates are the links and junctions; other reparse points (cloud placeholders,
    // deduplicated files) are the files and folders they stand for.
    entry.link = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(tag.ReparseTag);
    if (depth == Depth::Attributes) {
        return NO_ERROR;
    }
    entry.finalPath = FinalPath(entry.handle.get());
    const std::wstring expected = Joined(folder.finalPath, name);
    entry.followed = !entry.finalPath.empty() && !folder.finalPath.empty() &&
                     !SameText(entry.finalPath.c_str(), entry.finalPath.size(), expected.c_str(), expected.size());
    return NO_ERROR;
}

DWORD OpenEntry(const Entry& folder, const std::wstring& name, ACCESS_MASK access, ULONG options, Entry& entry,
                Depth depth = Depth::Place) {
    const DWORD error =
        OpenIn(folder.handle.get(), name, access | FILE_READ_ATTRIBUTES, FILE_OPEN, options, entry.handle);
    return error != NO_ERROR ? error : Identify(folder, name, entry, depth);
}

// Opens the folder that the path's last part lies in, and hands back that part. The trusted
// folder in front of the path is opened by its path; each folder below it relative to the one
// before, and none of them may be a link.
DWORD OpenFolderOf(const std::wstring& path, Entry& folder, std::wstring& leaf) {
    const size_t end = path.find_last_of(L"\\/");
    leaf = end == std::wstring::npos ? path : path.substr(end + 1);
    std::wstring base = end == std::wstring::npos ? L".\\" : path.substr(0, end + 1);
    std::wstring below;
    size_t longest = 0;
    for (const std::wstring& trusted : TrustedFolders()) {
        if (trusted.size() > longest && trusted.size() <= base.size() &&
            SameText(base.c_str(), trusted.size(), trusted.c_str(), trusted.size())) {
            longest = trusted.size();
        }
    }
    if (longest != 0) {
        below = base.substr(longest);
        base.resize(longest);
    }

    folder.handle.reset(CreateFileW(base.c_str(), kFolderAccess, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.handle) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(folder.handle.get(), FileBasicInfo, &basic, sizeof basic)) {
        return GetLastError();
    }
    if ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ERROR_PATH_NOT_FOUND;
    }
    folder.attributes = basic.FileAttributes;
    folder.finalPath = FinalPath(folder.handle.get());

    for (size_t start = 0; start < below.size();) {
        size_t stop = start;
        while (stop < below.size() && !IsSeparator(below[stop])) {
            ++stop;
        }
        if (stop > start) {
            const std::wstring name = below.substr(start, stop - start);
            Entry next;
            const DWORD error = OpenEntry(folder, name, kFolderAccess, FILE_DIRECTORY_FILE, next);
            if (error != NO_ERROR) {
                return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
            }
            if (next.link || next.followed) {
                return kLinkRefused;
            }
            folder = std::move(next);
        }
        start = stop + 1;
    }
    return NO_ERROR;
}

// The folder of the path's last part, opened as OpenFolderOf opens it, and that part; a pattern
// there only where the call takes one. Raises what failed.
struct Place {
    Entry folder;
    std::wstring leaf;
};

Place PlaceOf(const std::string& path, bool pattern) {
    Place place;
    Check(OpenFolderOf(Widen(path), place.folder, place.leaf));
    if (!pattern && HasWildcards(place.leaf)) {
        RaiseWin32(ERROR_INVALID_NAME);
    }
    return place;
}

struct Listed {
    std::wstring name;
    DWORD attributes;
};

// The entries of the open folder, read through its handle: what that folder holds, whatever its
// path leads to by now.
DWORD List(const Entry& folder, std::vector<Listed>& entries) {
    std::vector<std::byte> buffer(64 * 1024);
    FILE_INFO_BY_HANDLE_CLASS part = FileFullDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(folder.handle.get(), part, buffer.data(), static_cast<DWORD>(buffer.size()))) {
        part = FileFullDirectoryInfo;
        for (size_t offset = 0;;) {
            const auto* item = reinterpret_cast<const FILE_FULL_DIR_INFO*>(buffer.data() + offset);
            std::wstring name(item->FileName, item->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                entries.push_back({std::move(name), item->FileAttributes});
            }
            if (item->NextEntryOffset == 0) {
                break;
            }
            offset += item->NextEntryOffset;
        }
    }
    const DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND ? NO_ERROR : error;
}

bool SetAttributes(HANDLE entry, DWORD attributes) {
    FILE_BASIC_INFO basic{};
    attributes &= kSettableAttributes;
    basic.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    return SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Deletes the open entry: at once, as POSIX does, where the system offers it, so that no entry
// left "delete pending" by a virus scanner or the indexer holding it for a moment keeps its folder
// from going next. Before Windows 10, on FAT and many network shares, and under Wine, only the
// classic delete on close is there; it refuses a read-only entry, whose attribute therefore goes
// first and comes back when the delete fails.
DWORD Dispose(const Entry& entry) {
    DWORD immediate = kDispositionDelete | kDispositionPosixSemantics | kDispositionIgnoreReadOnly;
    if (SetFileInformationByHandle(entry.handle.get(), kFileDispositionInfoEx, &immediate, sizeof immediate)) {
        return NO_ERROR;
    }
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !SetAttributes(entry.handle.get(), entry.attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return GetLastError();
    }
    FILE_DISPOSITION_INFO classic{TRUE};
    if (SetFileInformationByHandle(entry.handle.get(), FileDispositionInfo, &classic, sizeof classic)) {
        return NO_ERROR;
    }
    const DWORD error = GetLastError();
    if (readOnly) {
        SetAttributes(entry.handle.get(), entry.attributes);
    }
    return error;
}

DWORD Remove(const Entry& entry);

// Removes everything in the open folder, going on after a failure; the first failure.
DWORD RemoveContents(const Entry& folder) {
    std::vector<Listed> children;
    DWORD failure = List(folder, children);
    for (const Listed& child : children) {
        Entry entry;
        const ACCESS_MASK access =
            kRemoveAccess | ((child.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FILE_LIST_DIRECTORY : 0);
        DWORD error = OpenEntry(folder, child.name, access, 0, entry);
        if (error == NO_ERROR) {
            error = Remove(entry);
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

// Removes the open entry with everything in it. A link or junction goes as itself and is never
// entered; one that the system followed is left alone.
DWORD Remove(const Entry& entry) {
    if (entry.followed) {
        return kLinkRefused;
    }
    // The contents first, through the handle that was checked.
    if (entry.IsFolder() && !entry.link) {
        const DWORD failure = RemoveContents(entry);
        if (failure != NO_ERROR) {
            return failure;
        }
    }
    return Dispose(entry);
}

// Removes every entry of the kind that the name or pattern matches in the folder, going on after a
// failure. The first failure's error code; noMatch when nothing of the kind matched.
DWORD RemoveMatching(const Entry& folder, const std::wstring& leaf, Kind kind, DWORD noMatch) {
    const bool folders = kind == Kind::Folders;
    std::vector<Listed> candidates;
    if (HasWildcards(leaf)) {
        std::vector<Listed> entries;
        const DWORD error = List(folder, entries);
        if (error != NO_ERROR) {
            return error;
        }
        for (Listed& entry : entries) {
            if (((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders && Matches(leaf, entry.name)) {
                candidates.push_back(std::move(entry));
            }
        }
    } else {
        candidates.push_back({leaf, 0});
    }
    DWORD failure = NO_ERROR;
    bool matched = false;
    for (const Listed& candidate : candidates) {
        Entry entry;
        DWORD error = OpenEntry(folder, candidate.name, kRemoveAccess | (folders ? FILE_LIST_DIRECTORY : 0), 0, entry);
        if (error == ERROR_FILE_NOT_FOUND) {
            continue;
        }
        if (error == NO_ERROR) {
            if (!entry.followed && entry.IsFolder() != folders) {
                continue;
            }
            error = Remove(entry);
        }
        matched = true;
        if (failure == NO_ERROR) {
            failure = error;
        }
    }
    return matched ? failure : noMatch;
}

// What a copy may not replace: a folder, a read-only file (the system's own copy would replace it
// under Wine, not on Windows), and anything at all unless told to overwrite. A link there is
// replaced as itself, whatever it leads to.
DWORD CheckTarget(const Entry& folder, const std::wstring& leaf, bool overwrite) {
    Entry existing;
    const DWORD error = OpenEntry(folder, leaf, 0, 0, existing, Depth::Attributes);
    if (error == ERROR_FILE_NOT_FOUND) {
        return NO_ERROR;
    }
    if (error != NO_ERROR) {
        return error;
    }
    if (!overwrite) {
        return ERROR_FILE_EXISTS;
    }
    return (existing.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0 ? ERROR_ACCESS_DENIED
                                                                                             : NO_ERROR;
}

// A name for a new file beside the target that no one has reason to use; a name taken is tried
// again with the next.
std::wstring TemporaryName() {
    static unsigned counter = 0;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const unsigned long long value = (static_cast<unsigned long long>(GetCurrentProcessId()) << 40) ^
                                     static_cast<unsigned long long>(now.QuadPart) ^
                                     (++counter * 0x9E3779B97F4A7C15ull);
    wchar_t name[32];
    wsprintfW(name, L"~tvx%08lx%08lx.tmp", static_cast<unsigned long>(value >> 32),
              static_cast<unsigned long>(value & 0xFFFFFFFFu));
    return name;
}

// Gives the open file the entry's name in the folder, in one step; an entry of that name is
// replaced (itself, a link too) when told to, else the rename fails. The system's native call:
// its Win32 form takes the new name as a path of its own under Wine and refuses a folder handle.
DWORD RenameTo(const Entry& file, const Entry& folder, const std::wstring& name, bool replace) {
    const size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = replace ? TRUE : FALSE;
    rename->RootDirectory = folder.handle.get();
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, name.data(), nameBytes);
    IO_STATUS_BLOCK status{};
    const NTSTATUS result = NtSetInformationFile(file.handle.get(), &status, rename, static_cast<ULONG>(buffer.size()),
                                                 FileRenameInformation);
    return NT_SUCCESS(result) ? NO_ERROR : RtlNtStatusToDosError(result);
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
// does; set once the copy has its name, since a read-only file could not be deleted again after a
// failed rename. Neither is the copy's content: a failure here fails nothing.
void CarryOver(HANDLE from, HANDLE to) {
    FILE_BASIC_INFO source{};
    if (GetFileInformationByHandleEx(from, FileBasicInfo, &source, sizeof source)) {
        FILE_BASIC_INFO copy{};
        copy.LastWriteTime = source.LastWriteTime;
        const DWORD attributes = source.FileAttributes & kSettableAttributes;
        copy.FileAttributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
        SetFileInformationByHandle(to, FileBasicInfo, &copy, sizeof copy);
    }
}

} // namespace

void FileSystemObject::TrustFolder(const std::string& folder) {
    std::wstring path = Widen(folder);
    if (path.empty()) {
        return;
    }
    if (!IsSeparator(path.back())) {
        path += L'\\';
    }
    TrustedFolders().push_back(std::move(path));
}

void FileSystemObject::Copy(const std::string& source, const std::string& destination, bool overwrite) const {
    const FileHandle from(CreateFileW(Widen(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from) {
        RaiseWin32(GetLastError());
    }
    const auto [folder, leaf] = PlaceOf(destination, false);
    Check(CheckTarget(folder, leaf, overwrite));

    Entry copy;
    DWORD error = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 8 && error == ERROR_ALREADY_EXISTS; ++attempt) {
        // Nobody else opens the file while it is being written.
        error = OpenIn(folder.handle.get(), TemporaryName(), GENERIC_WRITE | kRemoveAccess, FILE_CREATE,
                       FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, copy.handle, 0);
    }
    Check(error);
    error = CopyContent(from.get(), copy.handle.get());
    if (error == NO_ERROR) {
        error = RenameTo(copy, folder, leaf, overwrite);
    }
    if (error != NO_ERROR) {
        Dispose(copy);
        RaiseWin32(error);
    }
    CarryOver(from.get(), copy.handle.get());
}

bool FileSystemObject::CopyThrough(const std::string& destination,
                                   const std::function<bool(const std::string&)>& copy) const {
    Entry folder;
    std::wstring leaf;
    if (OpenFolderOf(Widen(destination), folder, leaf) != NO_ERROR || HasWildcards(leaf) ||
        CheckTarget(folder, leaf, true) != NO_ERROR) {
        return false;
    }
    // The system's copy goes by name, to a name that is free now; the file it made is then taken
    // from the folder that was checked, and only if it is a plain file.
    std::wstring name;
    Entry made;
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = TemporaryName();
        if (OpenEntry(folder, name, 0, 0, made, Depth::Attributes) == ERROR_FILE_NOT_FOUND) {
            break;
        }
    }
    const std::string path = destination.substr(0, destination.size() - Narrow(leaf).size()) + Narrow(name);
    const bool copied = copy(path);
    if (OpenEntry(folder, name, kRemoveAccess, FILE_NON_DIRECTORY_FILE, made) != NO_ERROR) {
        return false;
    }
    if (made.link || made.followed) {
        return false;
    }
    // A copy that failed midway may have left its part.
    if (!copied || RenameTo(made, folder, leaf, true) != NO_ERROR) {
        Dispose(made);
        return false;
    }
    return true;
}

void FileSystemObject::DeleteFiles(const std::string& fileSpec) const {
    const auto [folder, leaf] = PlaceOf(fileSpec, true);
    Check(RemoveMatching(folder, leaf, Kind::Files, ERROR_FILE_NOT_FOUND));
}

void FileSystemObject::CheckNoLinkFollowed(const std::string& path) const {
    Entry folder;
    std::wstring leaf;
    const DWORD error = OpenFolderOf(Widen(path), folder, leaf);
    if (error == kLinkRefused) {
        RaiseWin32(error);
    }
    // Anything else, a missing file or folder among it, the system's own call will meet itself.
    Entry entry;
    if (error == NO_ERROR && !HasWildcards(leaf) && OpenEntry(folder, leaf, 0, 0, entry) == NO_ERROR &&
        entry.followed) {
        RaiseWin32(kLinkRefused);
    }
}

void FileSystemObject::CreateFolder(const std::string& path) const {
    const auto [folder, leaf] = PlaceOf(path, false);
    // Made new or not at all: an entry of the name, a dangling link too, is "file exists".
    FileHandle created;
    Check(OpenIn(folder.handle.get(), leaf, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_CREATE,
                 FILE_DIRECTORY_FILE, created));
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
    Entry file;
    const DWORD error = OpenIn(folder.handle.get(), leaf, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_OPEN,
                               FILE_NON_DIRECTORY_FILE, file.handle, kShare);
    if (error == ERROR_FILE_NOT_FOUND) {
        Check(OpenIn(folder.handle.get(), leaf, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_CREATE,
                     FILE_NON_DIRECTORY_FILE, file.handle, kShare));
        return std::move(file.handle);
    }
    Check(error);
    Check(Identify(folder, leaf, file));
    if (file.link || file.followed) {
        RaiseWin32(kLinkRefused);
    }
    return std::move(file.handle);
}

} // namespace runtime
