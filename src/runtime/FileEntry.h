#pragma once

#include "Handle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace runtime {

// A file or folder opened as itself, relative to the folder it was looked for in, and what its
// handle tells of it: the file component works through such handles only, never again by name,
// so that what it checked is what it acts on. Calls give the system's error code.
class FileEntry {
public:
    // How much an open asks of the entry: its attributes alone, or also its place (whether the
    // system followed a link to open it).
    enum class Depth { Attributes, Place };
    // How a delete goes: at once where the system offers it, or when the last handle closes.
    enum class Deletion { Immediate, OnClose };

    // What a delete asks of an entry, and no more: Delete asks for write-attributes only where the
    // read-only bit must go.
    static constexpr ACCESS_MASK kDeleteAccess = DELETE | FILE_READ_ATTRIBUTES;
    // What a folder is opened with to be listed and worked in.
    static constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
    // What the file component's opens of folders and of entries it only looks at share: everything,
    // so that they keep no other program from its work.
    static constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

    struct Listed {
        std::wstring name;
        DWORD attributes;
    };
    // One entry as a folder's listing gives it.
    struct Found {
        std::wstring name;
        std::wstring shortName;
        LONGLONG index = 0;
    };

    // The path the system gives an open file or folder, after every link it followed to open it;
    // empty where it gives none.
    static std::wstring FinalPathOf(HANDLE handle);
    // The open file's index on its volume; 0 where the file system gives none.
    static LONGLONG IndexOf(HANDLE handle);
    // The index of the folder that the open folder lies in, as the ".." entry of its listing gives
    // it; 0 where the listing has none (a volume's root) or cannot be read.
    static LONGLONG ParentIndexOf(HANDLE folder);
    // Opens the folder of that index on the volume of the open entry, by no path at all.
    static FileHandle OpenFolderById(HANDLE onVolume, LONGLONG index);
    // The first entry of the open folder whose long or short name the pattern matches, as its
    // listing gives it; false where there is none or the listing cannot be read.
    static bool FindListed(HANDLE folder, const std::wstring& pattern, Found& found);
    // The system's own delete of the file at the path (DeleteFileW), done only where the name no
    // longer leads to that file afterwards; false with the system's error code where it is not.
    static bool DeleteByPath(const std::wstring& path);

    // Opens the folder's entry of that name as itself, and reads what it is.
    DWORD Open(const FileEntry& folder, const std::wstring& name, ACCESS_MASK access, ULONG options,
               Depth depth = Depth::Place);
    // Opens the open folder anew, as itself, with that access; reads nothing of it.
    DWORD OpenItself(const FileEntry& folder, ACCESS_MASK access);
    // Opens or creates the folder's entry of that name, as the system's native call does; reads
    // nothing of it.
    DWORD OpenRaw(const FileEntry& folder, const std::wstring& name, ACCESS_MASK access, ULONG disposition,
                  ULONG options, ULONG share);
    // Reads what the open entry is: attributes, link, and with Place whether it lies in the folder
    // under that name.
    DWORD Identify(const FileEntry& folder, const std::wstring& name, Depth depth = Depth::Place);

    // The entries of the open folder, read through its handle: what that folder holds, whatever its
    // path leads to by now.
    DWORD List(std::vector<Listed>& entries) const;
    // Gives the open entry the name in the folder, in one step; an entry of that name is replaced
    // (itself, a link too) when told to, else the rename fails.
    DWORD RenameTo(const FileEntry& folder, const std::wstring& name, bool replace) const;
    // The same with the POSIX rename's flags, where the system has it.
    DWORD RenameToEx(const FileEntry& folder, const std::wstring& name, ULONG flags) const;
    // Deletes the open entry, read-only or not, which the folder holds under that name, and closes
    // it. The handle needs DELETE access alone: write access to the attributes is asked for only
    // where the read-only bit must go. Done only where, once the handle is closed, the name no
    // longer opens as the same file: it is gone, or pending delete while another holder still has
    // it open. A refused delete keeps the entry's read-only bit.
    DWORD Delete(const FileEntry& folder, const std::wstring& name, Deletion deletion = Deletion::Immediate);
    // Sets or clears the delete on close; false when the system refuses.
    bool MarkForDeletion(bool mark) const;
    // The attributes of the set that a file's basic information can take (FILE_ATTRIBUTE_NORMAL
    // for none): the system refuses the whole call for one it sets only by other means (compressed,
    // encrypted, sparse, a cloud placeholder's).
    static DWORD Settable(DWORD attributes);

    // Where the open entry lies, as the system tells it: its final path, else its path on its
    // volume; empty where the system tells neither.
    std::wstring Place() const;

    HANDLE Handle() const { return handle_.get(); }
    explicit operator bool() const { return static_cast<bool>(handle_); }
    void Close() { handle_.reset(); }
    FileHandle Release() { return std::move(handle_); }

    bool IsFolder() const { return (attributes_ & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsReadOnly() const { return (attributes_ & FILE_ATTRIBUTE_READONLY) != 0; }
    // A link or junction, opened as itself.
    bool IsLink() const { return link_; }
    // Not where it was looked for: a link that the system followed to open it anyway (Wine's), a
    // folder on the way swapped for one meanwhile, or an entry whose place the system does not
    // tell. Nothing is done to it.
    bool IsFollowed() const { return followed_; }

private:
    friend class FolderWalk;

    // Opens the folder at the path as the system leads it: links and all, or with the last part
    // opened as itself, link or not.
    DWORD OpenByPath(const std::wstring& path, ACCESS_MASK access, bool asItself = false);
    // Reads what the open entry is, link or not.
    DWORD ReadKind();
    DWORD Dispose(Deletion deletion) const;
    bool LiesIn(const FileEntry& folder, const std::wstring& name) const;
    bool HasShortName(const std::wstring& shortName, const std::wstring& longName) const;

    FileHandle handle_;
    DWORD attributes_ = 0;
    std::wstring finalPath_;
    bool link_ = false;
    bool followed_ = false;
};

} // namespace runtime
