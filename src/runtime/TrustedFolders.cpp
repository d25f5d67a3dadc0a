#include "TrustedFolders.h"

#include "Handle.h"

#include <winternl.h>

#include <cstring>
#include <vector>

namespace runtime {

namespace {

// What a folder is, whichever path leads to it: its volume and its id there. The volume by the low
// 32 bits of its serial number, which every way of asking gives alike (FileIdInfo gives all 64
// bits of an NTFS serial, GetFileInformationByHandle the low 32); two volumes alike there (a
// cloned disk) can only make more folders trusted, never fewer.
struct Identity {
    DWORD volume = 0;
    BYTE id[16] = {};

    bool operator==(const Identity& other) const {
        return volume == other.volume && std::memcmp(id, other.id, sizeof id) == 0;
    }
};

// FileIdInfo and its record, which the compiler's headers declare only for programs that need
// Windows 8.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdRecord {
    ULONGLONG VolumeSerialNumber;
    BYTE FileId[16];
};

// As the documentation of GetFileInformationByHandle says, two paths lead to the same folder where
// the volume serial number and the file id are the same: a short name, a device or verbatim
// prefix, a subst drive, a share of the folder and a link all lead to the same pair. For a share
// the redirector hands on what the server's file system tells of the folder (Wine has no shares
// to show it; the documentation says so).
bool IdentityOf(HANDLE handle, Identity& identity) {
    FileIdRecord record{};
    if (GetFileInformationByHandleEx(handle, kFileIdInfo, &record, sizeof record)) {
        identity.volume = static_cast<DWORD>(record.VolumeSerialNumber);
        std::memcpy(identity.id, record.FileId, sizeof identity.id);
        return true;
    }
    // Windows 7 (and some shares) know no FileIdInfo: the 64-bit index, which FileIdInfo gives
    // zero-extended on NTFS and FAT.
    BY_HANDLE_FILE_INFORMATION basic{};
    if (!GetFileInformationByHandle(handle, &basic)) {
        return false;
    }
    const ULONGLONG index = (static_cast<ULONGLONG>(basic.nFileIndexHigh) << 32) | basic.nFileIndexLow;
    identity.volume = basic.dwVolumeSerialNumber;
    std::memset(identity.id, 0, sizeof identity.id);
    std::memcpy(identity.id, &index, sizeof index);
    return true;
}

// The file's index on its volume, all there is of FILE_INTERNAL_INFORMATION: a cheap first look
// (a fraction of a microsecond, where Wine takes half a millisecond for the volume's serial number
// that an identity needs). The same folder has the same index, however it was opened.
constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);

bool IndexOf(HANDLE handle, LARGE_INTEGER& index) {
    IO_STATUS_BLOCK status{};
    return NT_SUCCESS(NtQueryInformationFile(handle, &status, &index, sizeof index, kFileInternalInformation));
}

struct Trusted {
    // Made whole, with a separator at its end.
    std::wstring path;
    // Whether the folder could be opened when it was trusted, and what it was then.
    bool known = false;
    bool indexed = false;
    LARGE_INTEGER index{};
    Identity identity;
};

std::vector<Trusted>& List() {
    static std::vector<Trusted> folders;
    return folders;
}

} // namespace

void TrustedFolders::Add(const std::wstring& path) {
    Trusted trusted;
    trusted.path = path;
    const FileHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened) {
        trusted.known = IdentityOf(opened.get(), trusted.identity);
        trusted.indexed = trusted.known && IndexOf(opened.get(), trusted.index);
    }
    List().push_back(std::move(trusted));
}

size_t TrustedFolders::SpelledIn(const std::wstring& path) {
    size_t longest = 0;
    for (const Trusted& trusted : List()) {
        const size_t size = trusted.path.size();
        if (size > longest && size <= path.size() &&
            CompareStringOrdinal(path.data(), static_cast<int>(size), trusted.path.data(), static_cast<int>(size),
                                 TRUE) == CSTR_EQUAL) {
            longest = size;
        }
    }
    return longest;
}

bool TrustedFolders::AnyKnown() {
    for (const Trusted& trusted : List()) {
        if (trusted.known) {
            return true;
        }
    }
    return false;
}

// The cheap index first; the identity only where it matches.
bool TrustedFolders::Holds(HANDLE folder) {
    LARGE_INTEGER index{};
    const bool indexed = IndexOf(folder, index);
    bool asked = false;
    Identity identity;
    for (const Trusted& trusted : List()) {
        if (!trusted.known || (indexed && trusted.indexed && index.QuadPart != trusted.index.QuadPart)) {
            continue;
        }
        if (!asked && !IdentityOf(folder, identity)) {
            return false;
        }
        asked = true;
        if (trusted.identity == identity) {
            return true;
        }
    }
    return false;
}

} // namespace runtime
