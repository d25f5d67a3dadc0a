#include "FileEntry.h"

#include "RuntimeError.h"
#include "TrustedFolders.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>

// Documented in the driver kit, not in the compiler's headers.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE FileHandle, HANDLE Event, PVOID ApcRoutine, PVOID ApcContext,
                                               PIO_STATUS_BLOCK IoStatusBlock, PVOID FileInformation, ULONG Length,
                                               FILE_INFORMATION_CLASS FileInformationClass, BOOLEAN ReturnSingleEntry,
                                               PUNICODE_STRING FileName, BOOLEAN RestartScan);

namespace runtime {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
// What the way to a trusted folder asks of the folders it passes: what they are, not their listing.
constexpr ACCESS_MASK kPassAccess = FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
// The immediate delete, which the compiler's headers declare only for programs that need Windows 10:
// Windows 7, 8 and 10 before 1607 refuse the class, 10 before 1809 the read-only flag.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
constexpr DWORD kDispositionIgnoreReadOnly = 0x10;
constexpr auto kFileRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
// Windows 10 and later; Windows 7 and 8 answer "invalid information class". The program is 32-bit,
// and on 64-bit Windows WOW64 hands its native calls to the 64-bit system, translating what holds
// a pointer or handle: the rename record holds a handle, so its size and offsets are the 32-bit
// ones here (the system's own structure, never counted by hand) and WOW64 widens them. A version
// whose WOW64 does not translate this class for a 32-bit caller answers with an error like any
// system without it, and the classic rename follows: every failure of this call leads there. The
// other classes used here (the delete flags, the listings, the names) hold no pointer, and are the
// same for both kinds.
constexpr auto kFileRenameInformationEx = static_cast<FILE_INFORMATION_CLASS>(65);
constexpr auto kFileIdBothDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(37);
// The attributes that a file's basic information can set.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// A path the system takes as it is written: no "." or ".." resolved, no "/" read as "\", and a
// trailing dot or blank kept (GetFullPathNameW drops them, and would name another file).
bool IsVerbatim(const std::wstring& path) {
    return path.size() >= 4 && path.compare(0, 4, L"\\\\?\\") == 0;
}

// The path as the system reads it when it opens one.
std::wstring Spelled(const std::wstring& path) {
    return IsVerbatim(path) ? path : FileEntry::FullPath(path);
}

// The length of the root of a path made whole: "C:\", "\\server\share\", "\\.\C:\" and
// "\\?\C:\" (any device or volume name), "\\?\UNC\server\share\"; 0 where it has none.
size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        return 3;
    }
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') {
        return 0;
    }
    size_t start = 2;
    int parts = 2;
    if (path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && path[3] == L'\\') {
        start = 4;
        parts = 1;
        if (path.size() >= 8 && SameText(std::wstring_view(path).substr(4, 4), L"UNC\\")) {
            start = 8;
            parts = 2;
        }
    }
    size_t end = start;
    for (int part = 0; part < parts; ++part) {
        const size_t separator = path.find(L'\\', end);
        if (separator == std::wstring::npos || separator == end) {
            return 0;
        }
        end = separator + 1;
    }
    return end;
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return !folder.empty() && IsSeparator(folder.back()) ? folder + name : folder + L'\\' + name;
}

// The path the system gives an open file or folder, after every link it followed to open it;
// empty where it gives none (some network and virtual-machine shares, and Wine 8 for any path
// longer than MAX_PATH, whatever the buffer).
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

// Where the system gives no final path, the open entry's path on its volume, after every link
// followed to open it; empty where it gives neither.
std::wstring VolumePath(HANDLE handle) {
    std::vector<std::byte> buffer(offsetof(FILE_NAME_INFO, FileName) + 32768 * sizeof(wchar_t));
    if (!GetFileInformationByHandleEx(handle, FileNameInfo, buffer.data(), static_cast<DWORD>(buffer.size()))) {
        return {};
    }
    const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
    return std::wstring(info->FileName, info->FileNameLength / sizeof(wchar_t));
}

// A folder path that names a file: the system calls that "invalid name" (the separator after a
// file's name), where a path through a file is a path not found.
bool IsFileNotFolder(const std::wstring& folder) {
    const std::wstring name = folder.substr(0, folder.find_last_not_of(L"\\/") + 1);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

UNICODE_STRING Counted(const std::wstring& text) {
    UNICODE_STRING counted;
    counted.Buffer = const_cast<wchar_t*>(text.c_str());
    counted.Length = counted.MaximumLength = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return counted;
}

// The system's native open relative to a folder handle: its Win32 form knows no folder to open
// relative to. An empty name opens the folder itself anew.
DWORD NativeOpen(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG disposition, ULONG options,
                 ULONG share, FileHandle& entry) {
    UNICODE_STRING text = Counted(name);
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

DWORD Rename(HANDLE file, HANDLE folder, const std::wstring& name, FILE_INFORMATION_CLASS kind, ULONG flags) {
    const size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    // The classic class reads a Boolean where the POSIX one reads its flags: the same place.
    if (kind == kFileRenameInformation) {
        rename->ReplaceIfExists = flags != 0 ? TRUE : FALSE;
    } else {
        std::memcpy(rename, &flags, sizeof flags);
    }
    rename->RootDirectory = folder;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, name.data(), nameBytes);
    IO_STATUS_BLOCK status{};
    const NTSTATUS result = NtSetInformationFile(file, &status, rename, static_cast<ULONG>(buffer.size()), kind);
    return NT_SUCCESS(result) ? NO_ERROR : RtlNtStatusToDosError(result);
}

} // namespace

void FileEntry::Trust(const std::wstring& folder) {
    std::wstring path = Spelled(folder);
    if (path.empty()) {
        return;
    }
    if (!IsSeparator(path.back())) {
        path += L'\\';
    }
    TrustedFolders::Add(path);
}

std::wstring FileEntry::FullPath(const std::wstring& path) {
    if (path.empty()) {
        return path;
    }
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

// A path that spells a trusted folder as it was trusted opens it by that path. Any other spelling
// (a short name, a prefix, another drive or a share for the same folder, a link of the user's to
// it) is found by what the folders on the way are: from the root outward each is opened by its
// path, following links, until the first that is a trusted folder; below that each is opened
// relative to the one before, and none may be a link. A path with no trusted folder in front ends
// where its path leads.
DWORD FileEntry::OpenFolderOf(const std::wstring& path, FileEntry& folder, std::wstring& leaf) {
    const std::wstring full = Spelled(path);
    const size_t end = full.find_last_of(L'\\');
    leaf = end == std::wstring::npos ? full : full.substr(end + 1);
    const std::wstring base = end == std::wstring::npos ? L".\\" : full.substr(0, end + 1);
    const size_t longest = TrustedFolders::SpelledIn(base);
    // Without a trusted folder there is nothing to look for on the way.
    const bool walk = longest == 0 && TrustedFolders::AnyKnown();
    size_t start = walk ? RootLength(base) : longest;
    if (walk && start == 0) {
        return ERROR_BAD_PATHNAME;
    }
    DWORD error = folder.OpenByPath(start != 0 ? base.substr(0, start) : base, kFolderAccess);
    if (error != NO_ERROR) {
        return error;
    }
    bool below = longest != 0 || (walk && TrustedFolders::Holds(folder.Handle()));
    if (below) {
        folder.finalPath_ = FinalPath(folder.Handle());
    }
    if (!walk && !below) {
        start = base.size();
    }
    // Whether the open folder was only passed through, and its listing not asked for.
    bool passed = false;
    while (start < base.size()) {
        const size_t stop = base.find(L'\\', start);
        const std::wstring name = base.substr(start, stop - start);
        start = stop + 1;
        if (name.empty()) {
            // Two separators in a row: the system makes them one, but for a verbatim path.
            if (IsVerbatim(base)) {
                return ERROR_INVALID_NAME;
            }
            continue;
        }
        FileEntry next;
        if (below) {
            error = next.Open(folder, name, kFolderAccess, FILE_DIRECTORY_FILE);
        } else if (name == L"." || name == L"..") {
            // Only a verbatim path keeps them, and the system refuses them there.
            error = ERROR_INVALID_NAME;
        } else {
            // Up to here by its path, following links, as the system leads the path itself; the file
            // system finds a short (8.3) name as it finds the long one, where the volume keeps short
            // names at all (on one without them a short-looking name is just a name). A folder that
            // lets everyone through may refuse to be opened itself, as the junctions of the old
            // profile names ("Documents and Settings", "Application Data") do: it is passed over, as
            // the system passes through it, and the path goes on from the next one. The last one
            // must open.
            error = next.OpenByPath(base.substr(0, start), kPassAccess);
            if (error == ERROR_ACCESS_DENIED && start < base.size()) {
                continue;
            }
        }
        if (error != NO_ERROR) {
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_DIRECTORY ? ERROR_PATH_NOT_FOUND : error;
        }
        if (below && (next.link_ || next.followed_)) {
            return kWin32StoppedOnLink;
        }
        folder = std::move(next);
        passed = !below;
        if (!below && TrustedFolders::Holds(folder.Handle())) {
            below = true;
            folder.finalPath_ = FinalPath(folder.Handle());
        }
    }
    // The folder the entry lies in is listed and worked in: opened anew as itself, no name in
    // between, with what that asks.
    if (passed) {
        FileHandle listable;
        error = NativeOpen(folder.Handle(), {}, kFolderAccess, FILE_OPEN, FILE_DIRECTORY_FILE, kShareAll, listable);
        if (error != NO_ERROR) {
            return error;
        }
        folder.handle_ = std::move(listable);
    }
    if (folder.finalPath_.empty()) {
        folder.finalPath_ = FinalPath(folder.Handle());
    }
    return NO_ERROR;
}

// The folder opened by its path as the system leads it, links and all.
DWORD FileEntry::OpenByPath(const std::wstring& path, ACCESS_MASK access) {
    handle_.reset(
        CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle_) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || IsFileNotFolder(path) ? ERROR_PATH_NOT_FOUND : error;
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(Handle(), FileBasicInfo, &basic, sizeof basic)) {
        return GetLastError();
    }
    if ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return ERROR_PATH_NOT_FOUND;
    }
    attributes_ = basic.FileAttributes;
    return NO_ERROR;
}

DWORD FileEntry::Open(const FileEntry& folder, const std::wstring& name, ACCESS_MASK access, ULONG options,
                      Depth depth) {
    const DWORD error = OpenRaw(folder, name, access | FILE_READ_ATTRIBUTES, FILE_OPEN, options, kShareAll);
    return error != NO_ERROR ? error : Identify(folder, name, depth);
}

DWORD FileEntry::OpenRaw(const FileEntry& folder, const std::wstring& name, ACCESS_MASK access, ULONG disposition,
                         ULONG options, ULONG share) {
    // A name relative to a folder handle is one entry of that folder: no path, no stream, and never
    // empty (which would open the folder itself).
    if (name.empty() || name == L"." || name == L".." || name.find_first_of(L"\\/:") != std::wstring::npos ||
        name.size() > 255) {
        return ERROR_INVALID_NAME;
    }
    return NativeOpen(folder.Handle(), name, access, disposition, options, share, handle_);
}

DWORD FileEntry::Identify(const FileEntry& folder, const std::wstring& name, Depth depth) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(Handle(), FileAttributeTagInfo, &tag, sizeof tag)) {
        // Some shares of virtual machines know the attributes alone: a reparse point there counts
        // as a link.
        FILE_BASIC_INFO basic{};
        if (!GetFileInformationByHandleEx(Handle(), FileBasicInfo, &basic, sizeof basic)) {
            return GetLastError();
        }
        tag.FileAttributes = basic.FileAttributes;
        tag.ReparseTag = IO_REPARSE_TAG_SYMLINK;
    }
    attributes_ = tag.FileAttributes;
    // Name surrogates are the links and junctions; other reparse points (cloud placeholders,
    // deduplicated files) are the files and folders they stand for.
    link_ = (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(tag.ReparseTag);
    if (depth == Depth::Place) {
        finalPath_ = FinalPath(Handle());
        followed_ = !LiesIn(folder, name);
    }
    return NO_ERROR;
}

// The place of the entry, as the system tells it, must be the folder's and the name; or the name is
// another spelling of the entry found there (its 8.3 short name), which the system spells long. A
// link that the system followed has the place of what it leads to. Where the system tells no place
// at all, the entry is not taken to lie there: attributes cannot tell a followed link.
bool FileEntry::LiesIn(const FileEntry& folder, const std::wstring& name) const {
    std::wstring folderPlace = folder.finalPath_;
    std::wstring place = finalPath_;
    if (folderPlace.empty() || place.empty()) {
        folderPlace = VolumePath(folder.Handle());
        place = VolumePath(Handle());
    }
    if (folderPlace.empty() || place.empty()) {
        return false;
    }
    if (SameText(place, Joined(folderPlace, name))) {
        return true;
    }
    const size_t end = place.find_last_of(L'\\');
    return end != std::wstring::npos &&
           SameText(std::wstring_view(place).substr(0, end + 1), Joined(folderPlace, {})) &&
           folder.HasShortName(name, place.substr(end + 1));
}

// Asked of the folder's listing through a handle of its own: the name filter of a listing holds for
// the life of its handle.
bool FileEntry::HasShortName(const std::wstring& shortName, const std::wstring& longName) const {
    if (shortName.size() > 12 || shortName.find_first_of(L"*?<>\"") != std::wstring::npos) {
        return false;
    }
    FileHandle listing;
    if (NativeOpen(Handle(), {}, FILE_LIST_DIRECTORY, FILE_OPEN, FILE_DIRECTORY_FILE, kShareAll, listing) != NO_ERROR) {
        return false;
    }
    std::vector<std::byte> buffer(sizeof(FILE_ID_BOTH_DIR_INFO) + 256 * sizeof(wchar_t));
    UNICODE_STRING filter = Counted(shortName);
    IO_STATUS_BLOCK status{};
    if (!NT_SUCCESS(NtQueryDirectoryFile(listing.get(), nullptr, nullptr, nullptr, &status, buffer.data(),
                                         static_cast<ULONG>(buffer.size()), kFileIdBothDirectoryInformation, TRUE,
                                         &filter, TRUE))) {
        return false;
    }
    const auto* found = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());
    return SameText(std::wstring_view(found->FileName, found->FileNameLength / sizeof(wchar_t)), longName) &&
           SameText(std::wstring_view(found->ShortName, found->ShortNameLength / sizeof(wchar_t)), shortName);
}

// The classes with file ids and short names: the full-directory ones came only with Windows 8.
DWORD FileEntry::List(std::vector<Listed>& entries) const {
    std::vector<std::byte> buffer(64 * 1024);
    FILE_INFO_BY_HANDLE_CLASS part = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(Handle(), part, buffer.data(), static_cast<DWORD>(buffer.size()))) {
        part = FileIdBothDirectoryInfo;
        for (size_t offset = 0;;) {
            const auto* item = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data() + offset);
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

// The system's native call: its Win32 form takes the new name as a path of its own under Wine and
// refuses a folder handle.
DWORD FileEntry::RenameTo(const FileEntry& folder, const std::wstring& name, bool replace) const {
    return Rename(Handle(), folder.Handle(), name, kFileRenameInformation, replace ? 1 : 0);
}

DWORD FileEntry::RenameToEx(const FileEntry& folder, const std::wstring& name, ULONG flags) const {
    return Rename(Handle(), folder.Handle(), name, kFileRenameInformationEx, flags);
}

std::wstring FileEntry::Place() const {
    return finalPath_.empty() ? VolumePath(Handle()) : finalPath_;
}

bool FileEntry::MarkForDeletion(bool mark) const {
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(mark)};
    return SetFileInformationByHandle(Handle(), FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}

DWORD FileEntry::Settable(DWORD attributes) {
    attributes &= kSettableAttributes;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

namespace {

bool SetAttributesOf(HANDLE handle, DWORD attributes) {
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FileEntry::Settable(attributes);
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

} // namespace

// Immediately, as POSIX deletes, where the system offers it, so that no entry left "delete pending"
// by a virus scanner or the indexer holding it for a moment keeps its folder from going next; from
// Windows 10 1809 a read-only entry too, as it is, its other names keeping the bit. Before that, on
// FAT and many network shares, and under Wine, a read-only entry refuses the delete, so its
// attribute goes first; the attribute belongs to the file, not to this one of its names: where
// other names stay, it comes back (the delete was allowed when it was asked for), and it comes
// back when the delete is refused. Where only the classic delete on close is there, that follows.
DWORD FileEntry::Dispose(Deletion deletion) const {
    const auto immediately = [&](DWORD flags) {
        DWORD immediate = kDispositionDelete | kDispositionPosixSemantics | flags;
        return deletion == Deletion::Immediate &&
               SetFileInformationByHandle(Handle(), kFileDispositionInfoEx, &immediate, sizeof immediate) != FALSE;
    };
    const bool readOnly = IsReadOnly();
    if (immediately(readOnly ? kDispositionIgnoreReadOnly : 0)) {
        return NO_ERROR;
    }
    if (!readOnly) {
        return MarkForDeletion(true) ? NO_ERROR : GetLastError();
    }
    // The attribute is changed through a handle of its own, the only one that asks to write
    // attributes: a folder whose rights allow the delete may still refuse that access, and the
    // entry's own handle, which only deletes, is not refused for it. ReOpenFile opens the same
    // file again, with no name to follow; write-attributes is no access that a holder's sharing
    // can refuse, so even the sweep's handle that shares nothing gets it.
    const FileHandle writable(ReOpenFile(Handle(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT));
    if (!writable || !SetAttributesOf(writable.get(), attributes_ & ~FILE_ATTRIBUTE_READONLY)) {
        return GetLastError();
    }
    // Counted before the delete: NTFS counts only the names not pending delete, so after the mark
    // a file with one other name would count one, and that name would lose its read-only bit.
    // (Wine still counts a name marked for delete: only Windows shows the difference.)
    FILE_STANDARD_INFO standard{};
    const bool otherNames = GetFileInformationByHandleEx(Handle(), FileStandardInfo, &standard, sizeof standard) &&
                            standard.NumberOfLinks > 1;
    const bool deleted = immediately(0) || MarkForDeletion(true);
    const DWORD error = deleted ? NO_ERROR : GetLastError();
    if (!deleted || otherNames) {
        SetAttributesOf(writable.get(), attributes_);
    }
    return error;
}

} // namespace runtime
