#include "FileEntry.h"

#include "PathText.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>

// Documented in the driver kit, not in the compiler's headers (RtlGetLastNtStatus from Windows XP).
extern "C" NTSTATUS NTAPI RtlGetLastNtStatus();
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE FileHandle, HANDLE Event, PVOID ApcRoutine, PVOID ApcContext,
                                               PIO_STATUS_BLOCK IoStatusBlock, PVOID FileInformation, ULONG Length,
                                               FILE_INFORMATION_CLASS FileInformationClass, BOOLEAN ReturnSingleEntry,
                                               PUNICODE_STRING FileName, BOOLEAN RestartScan);

namespace runtime {

namespace {

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
// relative to. An empty name opens the folder itself anew. The system's own status, which tells a
// name pending delete from one refused.
NTSTATUS NativeOpenStatus(HANDLE folder, const UNICODE_STRING& name, ACCESS_MASK access, ULONG disposition,
                          ULONG options, ULONG share, FileHandle& entry) {
    UNICODE_STRING text = name;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE handle = nullptr;
    const NTSTATUS result =
        NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                     disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (NT_SUCCESS(result)) {
        entry.reset(handle);
    }
    return result;
}

DWORD NativeOpen(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG disposition, ULONG options,
                 ULONG share, FileHandle& entry) {
    const NTSTATUS result = NativeOpenStatus(folder, Counted(name), access, disposition, options, share, entry);
    return NT_SUCCESS(result) ? NO_ERROR : RtlNtStatusToDosError(result);
}

constexpr NTSTATUS kStatusObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kStatusObjectPathNotFound = static_cast<NTSTATUS>(0xC000003A);
constexpr NTSTATUS kStatusDeletePending = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS kStatusSharingViolation = static_cast<NTSTATUS>(0xC0000043);
constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);

// Whether the name no longer leads where it did: nothing has it, or only a file pending delete,
// which Windows refuses to open.
bool IsGone(NTSTATUS status) {
    return status == kStatusObjectNameNotFound || status == kStatusObjectPathNotFound || status == kStatusDeletePending;
}

// Whether the delete carried by a handle now closed was done: whether the name, opened anew by
// `open` (relative to its folder, or by its path), no longer leads to the file of that index. A
// name pending delete is a delete done: Windows refuses to open it, and under Wine, which opens it
// as any other, another holder is told by an open that shares nothing, refused while any handle
// that reads, writes or deletes the file is open. Where the delete took, Wine removes the name
// when the last handle closes; where it is refused then (an immutable file, a folder it may not
// write), it says nothing, and the name still opens as the same file, which no one else holds.
// An open that fails for any other reason (a share that dropped out) tells nothing: not done.
template <typename Open> DWORD DeleteOutcome(LONGLONG index, const Open& open) {
    FileHandle again;
    NTSTATUS status = open(FILE_READ_ATTRIBUTES, FileEntry::kShareAll, again);
    if (IsGone(status)) {
        return NO_ERROR;
    }
    if (!NT_SUCCESS(status)) {
        return RtlNtStatusToDosError(status);
    }
    // Another file took the name meanwhile.
    if (FileEntry::IndexOf(again.get()) != index) {
        return NO_ERROR;
    }
    again.reset();
    // The other holder may let go in between: then the name is gone, or another file has it.
    status = open(DELETE | FILE_READ_ATTRIBUTES, 0, again);
    if (IsGone(status) || status == kStatusSharingViolation) {
        return NO_ERROR;
    }
    return NT_SUCCESS(status) && FileEntry::IndexOf(again.get()) != index ? NO_ERROR : ERROR_ACCESS_DENIED;
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

// Some network and virtual-machine shares give no final path, and Wine 8 none for any path longer
// than MAX_PATH, whatever the buffer.
std::wstring FileEntry::FinalPathOf(HANDLE handle) {
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

LONGLONG FileEntry::IndexOf(HANDLE handle) {
    LARGE_INTEGER index{};
    IO_STATUS_BLOCK status{};
    return NT_SUCCESS(NtQueryInformationFile(handle, &status, &index, sizeof index, kFileInternalInformation))
               ? index.QuadPart
               : 0;
}

// Windows lists no ".." in a volume's root; Wine lists one in a drive's root, for the folder that
// holds it on the Unix side, so that a drive whose root lies inside another folder is known to lie
// there.
LONGLONG FileEntry::ParentIndexOf(HANDLE folder) {
    Found parent;
    return FindListed(folder, L"..", parent) && parent.name == L".." ? parent.index : 0;
}

// Asked through a listing handle of its own: the name filter of a listing holds for the life of its
// handle. A pattern that names one entry finds it by its long or its short name.
bool FileEntry::FindListed(HANDLE folder, const std::wstring& pattern, Found& found) {
    FileHandle listing;
    if (NativeOpen(folder, {}, FILE_LIST_DIRECTORY, FILE_OPEN, FILE_DIRECTORY_FILE, kShareAll, listing) != NO_ERROR) {
        return false;
    }
    std::vector<std::byte> buffer(sizeof(FILE_ID_BOTH_DIR_INFO) + 256 * sizeof(wchar_t));
    UNICODE_STRING filter = Counted(pattern);
    IO_STATUS_BLOCK status{};
    if (!NT_SUCCESS(NtQueryDirectoryFile(listing.get(), nullptr, nullptr, nullptr, &status, buffer.data(),
                                         static_cast<ULONG>(buffer.size()), kFileIdBothDirectoryInformation, TRUE,
                                         &filter, TRUE))) {
        return false;
    }
    const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());
    found.name.assign(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
    found.shortName.assign(entry->ShortName, entry->ShortNameLength / sizeof(wchar_t));
    found.index = entry->FileId.QuadPart;
    return true;
}

// The native open by file id, relative to any handle on the volume (OpenFileById's own form, there
// from Windows Vista).
FileHandle FileEntry::OpenFolderById(HANDLE onVolume, LONGLONG index) {
    UNICODE_STRING id;
    id.Buffer = reinterpret_cast<wchar_t*>(&index);
    id.Length = id.MaximumLength = sizeof index;
    FileHandle folder;
    NativeOpenStatus(onVolume, id, kFolderAccess, FILE_OPEN, FILE_DIRECTORY_FILE | FILE_OPEN_BY_FILE_ID, kShareAll,
                     folder);
    return folder;
}

// DeleteFileW deletes a link as itself, and so is the file asked about. Wine's answers TRUE where
// the name stays: it is asked again after the system's answer.
bool FileEntry::DeleteByPath(const std::wstring& path) {
    // The native open's own status: its Win32 error calls a name pending delete "access denied".
    const auto open = [&](ACCESS_MASK access, ULONG share, FileHandle& file) {
        file.reset(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        return file ? static_cast<NTSTATUS>(0) : RtlGetLastNtStatus();
    };
    FileHandle before;
    const LONGLONG index = NT_SUCCESS(open(FILE_READ_ATTRIBUTES, kShareAll, before)) ? IndexOf(before.get()) : 0;
    before.reset();
    if (!DeleteFileW(path.c_str())) {
        return false;
    }
    const DWORD error = DeleteOutcome(index, open);
    SetLastError(error);
    return error == NO_ERROR;
}

// The folder opened by its path as the system leads it, links and all, or with its last part
// opened as itself.
DWORD FileEntry::OpenByPath(const std::wstring& path, ACCESS_MASK access, bool asItself) {
    handle_.reset(CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | (asItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0), nullptr));
    if (!handle_) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || IsFileNotFolder(path) ? ERROR_PATH_NOT_FOUND : error;
    }
    const DWORD error = ReadKind();
    if (error != NO_ERROR) {
        return error;
    }
    return IsFolder() ? NO_ERROR : ERROR_PATH_NOT_FOUND;
}

DWORD FileEntry::Open(const FileEntry& folder, const std::wstring& name, ACCESS_MASK access, ULONG options,
                      Depth depth) {
    const DWORD error = OpenRaw(folder, name, access | FILE_READ_ATTRIBUTES, FILE_OPEN, options, kShareAll);
    return error != NO_ERROR ? error : Identify(folder, name, depth);
}

DWORD FileEntry::OpenItself(const FileEntry& folder, ACCESS_MASK access) {
    return NativeOpen(folder.Handle(), {}, access, FILE_OPEN, FILE_DIRECTORY_FILE, kShareAll, handle_);
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
    const DWORD error = ReadKind();
    if (error != NO_ERROR) {
        return error;
    }
    if (depth == Depth::Place) {
        finalPath_ = FinalPathOf(Handle());
        followed_ = !LiesIn(folder, name);
    }
    return NO_ERROR;
}

DWORD FileEntry::ReadKind() {
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
    if (SameName(place, Joined(folderPlace, name))) {
        return true;
    }
    // A folder whose place is a drive's root lies in the folder its listing's ".." names: under
    // Wine a path takes the drive whose root lies deepest, and a drive mapped to a folder below
    // this one gives that folder no other place. (On Windows a volume mounted in a folder is a
    // junction, opened as itself, and subst drives do not show in final paths.)
    if (IsFolder() && (RootLength(place) == place.size() || place == L"\\")) {
        const LONGLONG parent = ParentIndexOf(Handle());
        return parent != 0 && parent == IndexOf(folder.Handle());
    }
    const size_t end = place.find_last_of(L'\\');
    return end != std::wstring::npos &&
           SameName(std::wstring_view(place).substr(0, end + 1), Joined(folderPlace, {})) &&
           folder.HasShortName(name, place.substr(end + 1));
}

bool FileEntry::HasShortName(const std::wstring& shortName, const std::wstring& longName) const {
    Found found;
    return shortName.size() <= 12 && shortName.find_first_of(L"*?<>\"") == std::wstring::npos &&
           FindListed(Handle(), shortName, found) && SameName(found.name, longName) &&
           SameName(found.shortName, shortName);
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

// The outcome is asked of the name, not of the handle: the system may refuse the delete only as
// the handle closes, and say nothing.
DWORD FileEntry::Delete(const FileEntry& folder, const std::wstring& name, Deletion deletion) {
    const LONGLONG index = IndexOf(Handle());
    DWORD error = Dispose(deletion);
    Close();
    if (error == NO_ERROR) {
        error = DeleteOutcome(index, [&](ACCESS_MASK access, ULONG share, FileHandle& again) {
            return NativeOpenStatus(folder.Handle(), Counted(name), access, FILE_OPEN, 0, share, again);
        });
        // Refused once the handle closed: the bit that went for the delete comes back.
        FileHandle writable;
        if (error != NO_ERROR && IsReadOnly() &&
            NativeOpen(folder.Handle(), name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, FILE_OPEN, 0, kShareAll,
                       writable) == NO_ERROR &&
            IndexOf(writable.get()) == index) {
            SetAttributesOf(writable.get(), attributes_);
        }
    }
    return error;
}

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
    // Wine opens the Unix file for writing to give a handle write-attributes, which a user who is
    // not root is refused for a read-only file; it asks no access where the attributes are set, so
    // the entry's own handle serves there. Windows refuses that handle, and its error stands.
    const HANDLE bitsThrough = writable ? writable.get() : Handle();
    if (!SetAttributesOf(bitsThrough, attributes_ & ~FILE_ATTRIBUTE_READONLY)) {
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
        SetAttributesOf(bitsThrough, attributes_);
    }
    return error;
}

} // namespace runtime
