#include "Replacement.h"

#include "RuntimeError.h"

#include <iterator>
#include <set>
#include <vector>

namespace runtime {

namespace {

using Deletion = FileEntry::Deletion;

constexpr ULONG kRenameReplaceIfExists = 0x1;
constexpr ULONG kRenamePosixSemantics = 0x2;
constexpr ULONG kRenameIgnoreReadOnly = 0x40;
constexpr wchar_t kTemporaryPrefix[] = L"~tvx";
constexpr wchar_t kTemporarySuffix[] = L".tmp";
// A user's file set aside while the new one takes its name: never a temporary file's name, which
// the next run's sweep would take were this one killed before the file goes back or is marked.
constexpr wchar_t kAsideSuffix[] = L".bak";

bool IsTemporaryName(const std::wstring& name) {
    constexpr size_t kPrefix = std::size(kTemporaryPrefix) - 1;
    constexpr size_t kSuffix = std::size(kTemporarySuffix) - 1;
    if (name.size() != kPrefix + 16 + kSuffix || name.compare(0, kPrefix, kTemporaryPrefix) != 0 ||
        name.compare(kPrefix + 16, kSuffix, kTemporarySuffix) != 0) {
        return false;
    }
    return name.find_first_not_of(L"0123456789abcdef", kPrefix) == kPrefix + 16;
}

// Where the classic rename refuses to replace a file that others hold open (even sharing delete,
// as the indexer, a virus scanner or a preview does), or a read-only one: the old file goes aside
// under another name in its folder, the new one takes the name, and only then is the old one marked
// to be deleted when the last of them lets go. Nothing after the mark is ever taken back, so a run
// killed at any step leaves the old file whole under one of its names, or the new one in place. A
// holder that does not share delete refuses the first step. Only the program's own file goes aside
// under a temporary file's name, for the next run's sweep should it stay; a user's file gets one
// that the sweep leaves alone. Where the old file cannot have its name back (another file took it
// meanwhile), it stays where it went, unmarked, and `left` names it; so does a user's file that
// cannot be deleted once the new file has its name.
DWORD ReplaceAside(const FileEntry& file, const FileEntry& folder, const std::wstring& leaf, Replace replace,
                   std::wstring& left) {
    FileEntry old;
    DWORD error = old.Open(folder, leaf, FileEntry::kDeleteAccess, FILE_NON_DIRECTORY_FILE);
    if (error != NO_ERROR) {
        return error;
    }
    if (old.IsFollowed()) {
        return kWin32StoppedOnLink;
    }
    if (old.IsReadOnly() && replace != Replace::Delivered) {
        return ERROR_ACCESS_DENIED;
    }
    const wchar_t* suffix = replace == Replace::Delivered ? kTemporarySuffix : kAsideSuffix;
    std::wstring aside;
    error = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 8 && error == ERROR_ALREADY_EXISTS; ++attempt) {
        aside = Replacement::TemporaryName(suffix);
        error = old.RenameTo(folder, aside, false);
    }
    if (error != NO_ERROR) {
        return error;
    }
    error = file.RenameTo(folder, leaf, false);
    if (error != NO_ERROR) {
        if (old.RenameTo(folder, leaf, false) != NO_ERROR) {
            left = aside;
        }
        return error;
    }
    // On close: the holders go on reading it. Where the delete is refused, the new file is in place
    // all the same. A user's file stays under the other name, which `left` names. The program's own
    // file is refused while it runs (the tutorial started, a second stage still running in the
    // relaunch folder, a setup replacing the very file it runs from): it stays under its temporary
    // name until a later run's sweep removes it, and the copy is done.
    if (old.Delete(folder, aside, Deletion::OnClose) != NO_ERROR && replace != Replace::Delivered) {
        left = aside;
    }
    return NO_ERROR;
}

} // namespace

// A name for a new file beside the target that no one has reason to use; a name taken is tried
// again with the next.
std::wstring Replacement::TemporaryName(const wchar_t* suffix) {
    suffix = suffix != nullptr ? suffix : kTemporarySuffix;
    static unsigned counter = 0;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const unsigned long long value = (static_cast<unsigned long long>(GetCurrentProcessId()) << 40) ^
                                     static_cast<unsigned long long>(now.QuadPart) ^
                                     (++counter * 0x9E3779B97F4A7C15ull);
    wchar_t name[32];
    wsprintfW(name, L"%ls%08lx%08lx%ls", kTemporaryPrefix, static_cast<unsigned long>(value >> 32),
              static_cast<unsigned long>(value & 0xFFFFFFFFu), suffix);
    return name;
}

// Temporary files of this program that a run left in the folder: one killed in the moment between
// making its file and marking it, or between setting aside an old file of its own and marking it,
// or where the system would not hold the mark, or an older version of the program. Looked for once
// a run, before the first copy into the folder or delete in it, and by the uninstall. One that
// another run still writes is open to no one else, and stays. Only the exact name the program
// gives is taken, and never a link of that name, nor what one leads to.
void Replacement::Sweep(const FileEntry& folder) {
    // One thread uses the program's file calls; the set only grows.
    static std::set<std::wstring> swept;
    std::wstring place = folder.Place();
    CharUpperBuffW(place.data(), static_cast<DWORD>(place.size()));
    if (place.empty() || !swept.insert(std::move(place)).second) {
        return;
    }
    std::vector<FileEntry::Listed> entries;
    if (folder.List(entries) != NO_ERROR) {
        return;
    }
    for (const FileEntry::Listed& listed : entries) {
        if ((listed.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !IsTemporaryName(listed.name)) {
            continue;
        }
        // Sharing all but what another run's own file shares, nothing: one that a reader holds
        // goes when the reader lets go.
        FileEntry stale;
        if (stale.OpenRaw(folder, listed.name, FileEntry::kDeleteAccess, FILE_OPEN, FILE_NON_DIRECTORY_FILE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE) == NO_ERROR &&
            stale.Identify(folder, listed.name) == NO_ERROR && !stale.IsLink() && !stale.IsFollowed()) {
            stale.Delete(folder, listed.name);
        }
    }
}

// Puts the open file in the target's place in the folder, replacing what is there as the caller
// allows; `left` as ReplaceAside leaves it.
DWORD Replacement::PutInPlace(const FileEntry& file, const FileEntry& folder, const std::wstring& leaf, Replace replace,
                              std::wstring& left) {
    if (replace == Replace::Never) {
        return file.RenameTo(folder, leaf, false);
    }
    // The POSIX rename replaces a target that others hold open while sharing delete: Windows 10 on
    // NTFS; the read-only target only from 1809. Windows 7 and 8, FAT, most shares and Wine 8
    // refuse the call, and the classic rename follows.
    const ULONG flags =
        kRenameReplaceIfExists | kRenamePosixSemantics | (replace == Replace::Delivered ? kRenameIgnoreReadOnly : 0);
    if (file.RenameToEx(folder, leaf, flags) == NO_ERROR) {
        return NO_ERROR;
    }
    const DWORD error = file.RenameTo(folder, leaf, true);
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
        return error;
    }
    const DWORD aside = ReplaceAside(file, folder, leaf, replace, left);
    return aside == NO_ERROR || aside == kWin32StoppedOnLink ? aside : error;
}

} // namespace runtime
