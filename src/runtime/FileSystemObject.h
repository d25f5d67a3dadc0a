#pragma once

#include "Handle.h"

#include <functional>
#include <string>

namespace runtime {

// The file and folder calls of a script's file-system object, on the system's own file functions.
// Each call either does all of its work or raises the run-time error a Windows user of the
// scripting runtime sees (53 file not found, 58 file exists, 61 disk full, 70 permission denied,
// 75 path/file access error, 76 path not found); whatever part of a delete the system refused is a
// failure, never passed as done.
//
// Links and junctions. The folders that the registry and the system name (Word's program folder,
// the Fonts folder, TEMP) are the user's to configure: their own paths may lead through links (a
// redirected documents folder, a junction of the system's), and are followed. Below such a folder
// (TrustFolder), or below the folder an entry lies in when no trusted folder is in front of it,
// nothing is followed: each folder on the way is opened relative to the one before and must be no
// link, each entry is opened as itself, and the work is done through the handles so opened, never
// again by name. A link or junction is removed or replaced as itself where the system can; where
// the system follows it even so (Wine shows a Unix link as a plain file or folder and deletes what
// it points to) it is left as it is and the call fails with 75.
class FileSystemObject {
public:
    // The folder's own path is taken as it leads, links and all; paths below it follow none. For
    // the rest of the process, whichever object is asked.
    static void TrustFolder(const std::string& folder);

    // Copies to a temporary file beside the target and renames that to the target in one step, so
    // that a copy that fails midway (a full disk) leaves the old target whole and no cut file. An
    // existing target is replaced when told to overwrite, else it is "file exists"; a read-only
    // target or a folder of the target's name is never replaced.
    void Copy(const std::string& source, const std::string& destination, bool overwrite = true) const;
    // As Copy, with the copy made by `copy`, which gets the temporary file's path and must create
    // that file new. False when anything failed, without an error: for the in-use retries, which
    // copy through the system's own function.
    bool CopyThrough(const std::string& destination, const std::function<bool(const std::string&)>& copy) const;
    // The file, or every file that the pattern (* and ?) in the last part of the path matches,
    // read-only ones too; a pattern that matches no file is "file not found".
    void DeleteFiles(const std::string& fileSpec) const;
    // Raises 75 where the path leads through a link below its trusted folder, or is a link that
    // the system would follow: the in-use retries, which delete by name through the system's own
    // function, make no attempt there.
    void CheckNoLinkFollowed(const std::string& path) const;
    // That one folder; an existing one is "file exists".
    void CreateFolder(const std::string& path) const;
    // The folder with everything in it, read-only contents too.
    void DeleteFolder(const std::string& path) const;
    // The file opened for appending, created empty when it is missing.
    FileHandle OpenForAppending(const std::string& path) const;
};

} // namespace runtime
