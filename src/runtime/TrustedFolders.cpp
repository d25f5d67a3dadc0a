#include "TrustedFolders.h"

#include "FileEntry.h"
#include "Handle.h"

#include <algorithm>
#include <cstring>
#include <iterator>
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
// to show it; the documentation says so). A share that gives no id at all (all zero) tells no
// folder from another: it has no identity.
bool IdentityOf(HANDLE handle, Identity& identity) {
    static const BYTE kNone[sizeof identity.id] = {};
    FileIdRecord record{};
    if (GetFileInformationByHandleEx(handle, kFileIdInfo, &record, sizeof record)) {
        identity.volume = static_cast<DWORD>(record.VolumeSerialNumber);
        std::memcpy(identity.id, record.FileId, sizeof identity.id);
        return std::memcmp(identity.id, kNone, sizeof kNone) != 0;
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
    return index != 0;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// Whether the place is the folder at `inside` (a final path with a separator at its end) or lies
// below it.
bool IsAtOrBelow(const std::wstring& place, const std::wstring& inside) {
    const std::wstring_view folder(inside.data(), inside.size() - 1);
    return place.size() >= folder.size() && SameText(std::wstring_view(place).substr(0, folder.size()), folder) &&
           (place.size() == folder.size() || place[folder.size()] == L'\\');
}

std::wstring WithSeparator(std::wstring path) {
    if (!path.empty() && path.back() != L'\\') {
        path += L'\\';
    }
    return path;
}

struct Trusted {
    // Made whole, with a separator at its end.
    std::wstring path;
    // Whether the folder could be opened when it was trusted, and what it was then: its index on
    // its volume (0 where the volume gives none), its identity, and where it lay, a final path with
    // a separator at its end (empty where the system told none).
    bool known = false;
    LONGLONG index = 0;
    Identity identity;
    std::wstring place;

    // The cheap index first (a fraction of a microsecond, where Wine takes half a millisecond for
    // the volume's serial number that an identity needs); the identity where the index matches or
    // either has none.
    bool MayBe(LONGLONG folderIndex) const { return known && (index == 0 || folderIndex == 0 || index == folderIndex); }
    bool Is(HANDLE folder, LONGLONG folderIndex) const {
        Identity folderIdentity;
        return MayBe(folderIndex) && IdentityOf(folder, folderIdentity) && folderIdentity == identity;
    }
};

std::vector<Trusted>& List() {
    static std::vector<Trusted> folders;
    return folders;
}

// For each drive letter, whether its root was found to lie inside a trusted folder: asked once for
// the trusted folders of the moment, and anew once another is trusted.
enum class Drive : char { Unasked, Inside, Outside };
Drive drives[26] = {};

// Whether the root of the drive lies inside a trusted folder, found by climbing from the root
// through the folders that hold it, each opened by the index that the one below names, no path
// read. Under Wine a drive of its own can be mapped to any folder, and every path inside that
// folder then takes that drive's letter: no final path shows it inside the trusted folder. On
// Windows a volume's root lies in no folder (its listing has no ".."), and the final path of a
// subst drive's folder is its folder's own. Only a drive that a final path names is asked, and so
// one whose root opens.
bool RootLiesInside(wchar_t letter) {
    Drive& drive = drives[letter - L'A'];
    if (drive != Drive::Unasked) {
        return drive == Drive::Inside;
    }
    drive = Drive::Outside;
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    FileHandle folder(CreateFileW(root, FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // Deep as a path can be; a folder that names itself its parent is the top.
    for (int level = 0; folder && level < 128; ++level) {
        const LONGLONG index = FileEntry::IndexOf(folder.get());
        const LONGLONG parent = FileEntry::ParentIndexOf(folder.get());
        if (parent == 0 || parent == index) {
            break;
        }
        folder = FileEntry::OpenFolderById(folder.get(), parent);
        for (const Trusted& trusted : List()) {
            if (folder && trusted.Is(folder.get(), parent)) {
                drive = Drive::Inside;
                return true;
            }
        }
    }
    return false;
}

// The drive letter of a final path ("\\?\X:\..."); 0 where it names none.
wchar_t DriveOf(const std::wstring& place) {
    if (place.size() < 7 || place.compare(0, 4, L"\\\\?\\") != 0 || place[5] != L':' || place[6] != L'\\') {
        return 0;
    }
    const wchar_t letter =
        place[4] >= L'a' && place[4] <= L'z' ? static_cast<wchar_t>(place[4] - L'a' + L'A') : place[4];
    return letter >= L'A' && letter <= L'Z' ? letter : 0;
}

} // namespace

// A folder trusted again (each part of a run trusts the folders it works in) is known already.
void TrustedFolders::Add(const std::wstring& path) {
    for (const Trusted& known : List()) {
        if (known.known && SameText(known.path, path)) {
            return;
        }
    }
    Trusted trusted;
    trusted.path = path;
    const FileHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened && IdentityOf(opened.get(), trusted.identity)) {
        trusted.known = true;
        trusted.index = FileEntry::IndexOf(opened.get());
        trusted.place = WithSeparator(FileEntry::FinalPathOf(opened.get()));
        std::fill(std::begin(drives), std::end(drives), Drive::Unasked);
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

// The index alone where both have one: the same path text leading to a folder of the same index
// is the same folder; a swapped-in folder or link leads elsewhere. The identity where the volume
// gives no index. A folder that was not there to be known when it was trusted is taken as it is.
bool TrustedFolders::StillAt(const std::wstring& spelled, HANDLE folder) {
    const LONGLONG index = FileEntry::IndexOf(folder);
    bool unknown = false;
    bool known = false;
    bool asked = false;
    Identity identity;
    for (const Trusted& trusted : List()) {
        if (!SameText(trusted.path, spelled)) {
            continue;
        }
        unknown = unknown || !trusted.known;
        known = known || trusted.known;
        if (!trusted.known) {
            continue;
        }
        if (index != 0 && trusted.index != 0) {
            if (index == trusted.index) {
                return true;
            }
        } else {
            if (!asked && !IdentityOf(folder, identity)) {
                return false;
            }
            asked = true;
            if (identity == trusted.identity) {
                return true;
            }
        }
    }
    return unknown && !known;
}

bool TrustedFolders::AnyKnown() {
    for (const Trusted& trusted : List()) {
        if (trusted.known) {
            return true;
        }
    }
    return false;
}

// The identity is asked once, and only where an index matches or either has none.
bool TrustedFolders::Holds(HANDLE folder) {
    const LONGLONG index = FileEntry::IndexOf(folder);
    bool asked = false;
    Identity identity;
    for (const Trusted& trusted : List()) {
        if (!trusted.MayBe(index)) {
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

bool TrustedFolders::Encloses(const std::wstring& place) {
    if (place.empty()) {
        return false;
    }
    for (const Trusted& trusted : List()) {
        if (!trusted.place.empty() && IsAtOrBelow(place, trusted.place)) {
            return true;
        }
    }
    const wchar_t drive = DriveOf(place);
    return drive != 0 && RootLiesInside(drive);
}

bool TrustedFolders::IsIndexOfOne(LONGLONG index) {
    for (const Trusted& trusted : List()) {
        if (trusted.known && index != 0 && index == trusted.index) {
            return true;
        }
    }
    return false;
}

} // namespace runtime
