#pragma once

#include "FileEntry.h"

#include <string>

namespace runtime {

// The way from a path's root to the folder its last part lies in. The trusted folders' own paths
// are followed, links and all; inside a trusted folder nothing is. The way goes in one of three
// manners, one step each:
// - spelled as trusted: the trusted folder in front of the path, spelled as it was trusted, is
//   opened by that path, and must still be that folder;
// - by path: from the root, each folder opened by its path as the system leads it, until one is
//   a trusted folder or lies inside one, however the path got there (a short name, a prefix,
//   another drive or a share for the same folder, a link of the user's into it);
// - inside a trusted folder: each folder opened relative to the one before, and none may be a
//   link.
// Without any trusted folder the path leads where the system leads it.
class FolderWalk {
public:
    // The folder's own path is taken as it leads, links and all; paths inside it follow none,
    // however they spell it.
    static void Trust(const std::wstring& folder);
    // Opens the folder that the path's last part lies in, and hands back that part. A verbatim
    // path ("\\?\") is taken as it is written, as the system takes it.
    static DWORD OpenFolderOf(const std::wstring& path, FileEntry& folder, std::wstring& leaf);

private:
    DWORD FromTrusted(const std::wstring& trusted);
    DWORD ByPath(const std::wstring& way, const std::wstring& name, bool last);
    DWORD Inside(const std::wstring& name);
    void EnterIfInside();
    bool IsTrustedEntry(const std::wstring& name) const;

    FileEntry folder_;
    bool inside_ = false;
    // Whether the open folder was only passed through, and its listing not asked for.
    bool passed_ = false;
    // The path of the folder after the open one, where that folder refused to be opened itself and
    // the way went on past it; empty where the open folder is the last one reached.
    std::wstring passedOver_;
};

} // namespace runtime
