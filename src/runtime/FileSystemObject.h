#pragma once

#include "Handle.h"
#include "Replace.h"

#include <memory>
#include <string>

namespace runtime {

// The file and folder calls of a script's file-system object, on the system's own file functions.
// Each call either does all of its work or raises the run-time error a Windows user of the
// scripting runtime sees (53 file not found, 58 file exists, 61 disk full, 70 permission denied,
// 75 path/file access error, 76 path not found); whatever part of a delete the system refused is a
// failure, never passed as done. A path is first made whole as the system makes it ("." and ".."
// resolved), then worked on; a verbatim path ("\\?\") is taken as written, as the system takes
// it, a trailing dot or blank too. A text with a zero character is no path: 52, "bad file name".
//
// Links and junctions. The folders that the registry and the system name (Word's program folder,
// the Fonts folder, TEMP) are the user's to configure: their own paths may lead through links (a
// redirected documents folder, a junction of the system's), and are followed. Below such a folder
// (TrustFolder), or below the folder an entry lies in when no trusted folder is in front of it,
// nothing is followed. A trusted folder is known by what it is, not by how a path spells it: a
// short name, a "\\?\" or "\\.\" prefix, another drive letter or a share of it, a link to it all
// lead below it alike. Each folder on the way below it is opened relative to the one before and
// must be no link, each entry is opened as itself, and the work is done through the handles so
// opened, never again by name. A link or junction is removed or replaced as itself where the system
// can; where the system follows it even so (Wine shows a Unix link as a plain file or folder and
// deletes what it points to), or where the place of an entry cannot be told at all, it is left as
// it is and the call fails with 75.
class FileSystemObject {
public:
    using Replace = runtime::Replace;

    // A copy's work so far, kept from one attempt of the in-use retries to the next: the checked
    // folder and a temporary file beside the target with the complete content, so that a target
    // held open costs one copy, not one per attempt. What the copy made and did not put in the
    // target's place goes with this object, or with the process if it is killed.
    class Pending {
    public:
        Pending();
        ~Pending();
        Pending(const Pending&) = delete;
        Pending& operator=(const Pending&) = delete;

    private:
        friend class FileSystemObject;
        struct State;
        std::unique_ptr<State> state_;
    };

    // The folder's own path is taken as it leads, links and all; paths below it follow none. For
    // the rest of the process, whichever object is asked.
    static void TrustFolder(const std::string& folder);

    // Copies to a temporary file beside the target and renames that to the target in one step, so
    // that a copy that fails midway (a full disk) leaves the old target whole and no cut file. A
    // folder of the target's name is never replaced.
    void Copy(const std::string& source, const std::string& destination, Replace replace) const;
    // One attempt of Copy for the in-use retries, the failure handed back as the system's error
    // code (kWin32StoppedOnLink for a link in the way): the content is copied only while `pending`
    // holds no complete copy, and only the replacement is tried again.
    unsigned long TryCopy(const std::string& source, const std::string& destination, Replace replace,
                          Pending& pending) const;
    // Raises the run-time error of a failed copy's error code. Where an attempt could not give the
    // target's old file its name back, the text says under which name it is left.
    [[noreturn]] static void RaiseCopyFailure(unsigned long error, const Pending& pending);
    // The file, or every file that the pattern (* and ?) in the last part of the path matches,
    // read-only ones too; a pattern that matches no file is "file not found". The program's
    // temporary files that a crash left in the folder go too.
    void DeleteFiles(const std::string& fileSpec) const;
    // One attempt of DeleteFiles for the in-use retries, the failure handed back as the system's
    // error code.
    unsigned long TryDeleteFiles(const std::string& fileSpec) const;
    // The program's temporary files that a run left in the folder, as the first copy into it or
    // delete in it in a run takes them; once a run.
    void SweepFolder(const std::string& folder) const;
    // That one folder; an existing one is "file exists".
    void CreateFolder(const std::string& path) const;
    // The folder with everything in it, read-only contents too.
    void DeleteFolder(const std::string& path) const;
    // The file opened for appending, created empty when it is missing.
    FileHandle OpenForAppending(const std::string& path) const;
};

} // namespace runtime
