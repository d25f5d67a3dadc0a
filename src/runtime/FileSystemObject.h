#pragma once

#include <windows.h>

#include <string>

// The class has members named CopyFile and DeleteFile; windows.h would rename them to the wide
// functions' names.
#undef CopyFile
#undef DeleteFile

namespace runtime {

// The file and folder calls of a script's file-system object, on the system's own wide-character
// file functions. Each call either does all of its work or raises the run-time error a Windows
// user of the scripting runtime sees (53 file not found, 58 file exists, 70 permission denied,
// 75 path/file access error, 76 path not found); whatever part of a delete the system refused is
// a failure, never passed as done. A delete never follows a link or junction out of the folder it
// works in: a link is removed as itself, or, where the system would follow it even so (Wine's
// links to files), left alone and reported.
class FileSystemObject {
public:
    // Replaces an existing target when told to overwrite, else an existing target is "file
    // exists"; a read-only target or a folder of the target's name is never replaced.
    void CopyFile(const std::string& source, const std::string& destination, bool overwrite = true) const;
    // The file, or every file that the pattern (* and ?) in the last part of the path matches,
    // read-only ones too; a pattern that matches no file is "file not found".
    void DeleteFile(const std::string& fileSpec) const;
    // That one folder; an existing one is "file exists".
    void CreateFolder(const std::string& path) const;
    // The folder with everything in it, read-only contents too.
    void DeleteFolder(const std::string& path) const;
};

} // namespace runtime
