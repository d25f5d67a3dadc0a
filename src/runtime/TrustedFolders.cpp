#include "TrustedFolders.h"

#include "FileEntry.h"
#include "Handle.h"
#include "PathText.h"

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
};

// An open folder asked whether it is a trusted one: the cheap index first (a fraction of a
// microsecond, where Wine takes half a millisecond for the volume's serial number that an identity
// needs), and the identity, asked once, where the index matches or either has none. The index
// alone never decides: every NTFS volume's root has the same one, and so has a folder on another
// volume now and then.
class Candidate {
public:
    Candidate(HANDLE folder, LONGLONG index) : folder_(folder), index_(index) {}
    explicit Candidate(HANDLE folder) : Candidate(folder, FileEntry::IndexOf(folder)) {}

    bool Is(const Trusted& trusted) {
        if (!trusted.known || (trusted.index != 0 && index_ != 0 && trusted.index != index_)) {
            return false;
        }
        if (!asked_) {
            asked_ = true;
            hasIdentity_ = IdentityOf(folder_, identity_);
        }
        return hasIdentity_ && identity_ == trusted.identity;
    }

private:
    HANDLE folder_;
    LONGLONG index_;
    bool asked_ = false;
    bool hasIdentity_ = false;
    Identity identity_;
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
    FileHandle folder(CreateFileW(root, FileEntry::kFolderAccess, FileEntry::kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // Deep as a path can be; a folder that names itself its parent is the top.
    for (int level = 0; folder && level < 128; ++level) {
        const LONGLONG index = FileEntry::IndexOf(folder.get());
        const LONGLONG parent = FileEntry::ParentIndexOf(folder.get());
        if (parent == 0 || parent == index) {
            break;
        }
        folder = FileEntry::OpenFolderById(folder.get(), parent);
        if (!folder) {
            break;
        }
        Candidate candidate(folder.get(), parent);
        for (const Trusted& trusted : List()) {
            if (candidate.Is(trusted)) {
                drive = Drive::Inside;
                return true;
            }
        }
    }
    return false;
}

} // namespace

// A folder trusted again (each part of a run trusts the folders it works in) is known already.
void TrustedFolders::Add(const std::wstring& path) {
    for (const Trusted& known : List()) {
        if (known.known && SameName(known.path, path)) {
            return;
        }
    }
    Trusted trusted;
    trusted.path = path;
    const FileHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FileEntry::kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
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
        if (size > longest && size <= path.size() && SameName(std::wstring_view(path).substr(0, size), trusted.path)) {
            longest = size;
        }
    }
    return longest;
}

// The same path text leading to the same folder: by what it is, as Holds tells it. A swapped-in
// folder or link leads elsewhere; a folder that was not there to be known when it was trusted is
// taken as it is.
bool TrustedFolders::StillAt(const std::wstring& spelled, HANDLE folder) {
    Candidate candidate(folder);
    bool unknown = false;
    bool known = false;
    for (const Trusted& trusted : List()) {
        if (!SameName(trusted.path, spelled)) {
            continue;
        }
        if (candidate.Is(trusted)) {
            return true;
        }
        unknown = unknown || !trusted.known;
        known = known || trusted.known;
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

bool TrustedFolders::Holds(HANDLE folder) {
    Candidate candidate(folder);
    for (const Trusted& trusted : List()) {
        if (candidate.Is(trusted)) {
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
