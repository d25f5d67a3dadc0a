#include "FolderWalk.h"

#include "PathText.h"
#include "RuntimeError.h"
#include "TrustedFolders.h"

namespace runtime {

namespace {

// What the way by path asks of the folders it passes: what they are, not their listing.
constexpr ACCESS_MASK kPassAccess = FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

DWORD NotFoundAsPath(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_DIRECTORY ? ERROR_PATH_NOT_FOUND : error;
}

} // namespace

void FolderWalk::Trust(const std::wstring& folder) {
    const std::wstring path = FullPath(folder);
    if (!path.empty()) {
        TrustedFolders::Add(WithSeparator(path));
    }
}

DWORD FolderWalk::OpenFolderOf(const std::wstring& path, FileEntry& folder, std::wstring& leaf) {
    const std::wstring full = FullPath(path);
    const size_t end = full.find_last_of(L'\\');
    leaf = end == std::wstring::npos ? full : full.substr(end + 1);
    const std::wstring base = end == std::wstring::npos ? L".\\" : full.substr(0, end + 1);
    FolderWalk walk;
    DWORD error = NO_ERROR;
    size_t start = TrustedFolders::SpelledIn(base);
    if (start != 0) {
        error = walk.FromTrusted(base.substr(0, start));
    } else if (!TrustedFolders::AnyKnown()) {
        // Nothing to look for on the way.
        error = walk.folder_.OpenByPath(base, FileEntry::kFolderAccess);
        start = base.size();
    } else {
        // The root must open, whatever it is.
        start = RootLength(base);
        if (start == 0) {
            return ERROR_BAD_PATHNAME;
        }
        error = walk.folder_.OpenByPath(base.substr(0, start), FileEntry::kFolderAccess);
        if (error == NO_ERROR) {
            walk.EnterIfInside();
        }
    }
    while (error == NO_ERROR && start < base.size()) {
        const size_t stop = base.find(L'\\', start);
        const std::wstring name = base.substr(start, stop - start);
        start = stop + 1;
        if (name.empty()) {
            // Two separators in a row: the system makes them one, but for a verbatim path.
            error = IsVerbatim(base) ? ERROR_INVALID_NAME : NO_ERROR;
        } else if (walk.inside_) {
            error = walk.Inside(name);
        } else if (name == L"." || name == L"..") {
            // Only a verbatim path keeps them, and the system refuses them there.
            error = ERROR_INVALID_NAME;
        } else {
            error = walk.ByPath(base.substr(0, start), name, start >= base.size());
        }
    }
    if (error != NO_ERROR) {
        return error;
    }
    // The folder the entry lies in is listed and worked in: opened anew as itself, no name in
    // between, with what that asks.
    if (walk.passed_) {
        FileEntry listable;
        error = listable.OpenItself(walk.folder_, FileEntry::kFolderAccess);
        if (error != NO_ERROR) {
            return error;
        }
        walk.folder_.handle_ = listable.Release();
    }
    if (walk.folder_.finalPath_.empty()) {
        walk.folder_.finalPath_ = FileEntry::FinalPathOf(walk.folder_.Handle());
    }
    folder = std::move(walk.folder_);
    return NO_ERROR;
}

// By the path it was trusted under, as the user's settings lead it; then it must still be that
// folder: one swapped in for it since, another folder or a link, is refused.
DWORD FolderWalk::FromTrusted(const std::wstring& trusted) {
    const DWORD error = folder_.OpenByPath(trusted, FileEntry::kFolderAccess);
    if (error != NO_ERROR) {
        return error;
    }
    if (!TrustedFolders::StillAt(trusted, folder_.Handle())) {
        return kWin32StoppedOnLink;
    }
    inside_ = true;
    folder_.finalPath_ = FileEntry::FinalPathOf(folder_.Handle());
    return NO_ERROR;
}

// Up to here by its path, as the system leads the path itself; the file system finds a short (8.3)
// name as it finds the long one, where the volume keeps short names at all (on one without them a
// short-looking name is just a name). The last part is opened as itself first: a link that lies
// inside a trusted folder is not gone through, wherever it leads.
DWORD FolderWalk::ByPath(const std::wstring& way, const std::wstring& name, bool last) {
    FileEntry next;
    DWORD error = next.OpenByPath(way, kPassAccess, true);
    if (error == ERROR_ACCESS_DENIED && !last) {
        // A folder that lets everyone through may refuse to be opened itself, as the junctions of
        // the old profile names ("Documents and Settings", "Application Data") do: it is passed
        // over, as the system passes through it, and the path goes on from the next one. Never a
        // trusted folder: whatever lies below it would be reached by path, links and all.
        if (IsTrustedEntry(name)) {
            return error;
        }
        passedOver_ = way;
        return NO_ERROR;
    }
    if (error == NO_ERROR && next.IsLink()) {
        if (TrustedFolders::Encloses(FileEntry::FinalPathOf(next.Handle()))) {
            return kWin32StoppedOnLink;
        }
        error = next.OpenByPath(way, kPassAccess);
    }
    if (error != NO_ERROR) {
        return NotFoundAsPath(error);
    }
    folder_ = std::move(next);
    passed_ = true;
    passedOver_.clear();
    EnterIfInside();
    return NO_ERROR;
}

DWORD FolderWalk::Inside(const std::wstring& name) {
    FileEntry next;
    const DWORD error = next.Open(folder_, name, FileEntry::kFolderAccess, FILE_DIRECTORY_FILE);
    if (error != NO_ERROR) {
        return NotFoundAsPath(error);
    }
    if (next.IsLink() || next.IsFollowed()) {
        return kWin32StoppedOnLink;
    }
    folder_ = std::move(next);
    passed_ = false;
    return NO_ERROR;
}

// A trusted folder, or a folder inside one: by what it is, then by where it lies.
void FolderWalk::EnterIfInside() {
    std::wstring place;
    if (!TrustedFolders::Holds(folder_.Handle())) {
        place = FileEntry::FinalPathOf(folder_.Handle());
        if (!TrustedFolders::Encloses(place)) {
            return;
        }
    }
    inside_ = true;
    folder_.finalPath_ = place.empty() ? FileEntry::FinalPathOf(folder_.Handle()) : std::move(place);
}

// Whether the entry of that name, which refuses to be opened itself, is a trusted folder: by the
// index its folder's listing gives it. Its folder is the open one, or, where that one was passed
// over too, the folder it leads to by its path, as the system passes it: the open folder then lies
// a step further up and lists no entry of that name. Where no listing can tell, it counts as one.
bool FolderWalk::IsTrustedEntry(const std::wstring& name) const {
    if (name.find_first_of(L"*?<>\"") != std::wstring::npos) {
        return true;
    }
    FileEntry passedOver;
    if (!passedOver_.empty() && passedOver.OpenByPath(passedOver_, FileEntry::kFolderAccess) != NO_ERROR) {
        return true;
    }
    FileEntry::Found found;
    return !FileEntry::FindListed((passedOver_.empty() ? folder_ : passedOver).Handle(), name, found) ||
           found.index == 0 || TrustedFolders::IsIndexOfOne(found.index);
}

} // namespace runtime
