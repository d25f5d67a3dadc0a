#pragma once

#include "framework/ErrorTrap.h"
#include "framework/Tvx_Node.h"
#include "runtime/FileSystemObject.h"
#include "runtime/Variant.h"

#include <functional>
#include <memory>

// Copies, deletes and renames files and creates and deletes folders through the program's own
// file-system object, reporting a failure with the paths in German. Files that may be held open
// (fonts, the setup program and its support files) get up to 100 more attempts before the report;
// nothing is left for the next start of Windows.
class Tvx_FileSystem final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_FileSystem"; }

    // Overwrites an existing target, a read-only one too: the program's own files.
    void FileCopy(const runtime::Variant& ASource, const runtime::Variant& ADestination);
    // True when the first attempt failed, whether a retry succeeded or not.
    bool FileCopyInUse(const runtime::Variant& ASource, const runtime::Variant& ADestination);
    // The last part of the path may be a pattern ("*.*"); read-only files are deleted too.
    void FileDelete(const runtime::Variant& AFileName);
    bool FileDeleteInUse(const runtime::Variant& AFileName);
    // A copy to the new name, then the delete of the old one, which only follows a copy that
    // succeeded: a user's file is never deleted before its copy exists. An existing file of the
    // new name is replaced, unless ABooleanFailIfExists asks to keep it: the copy then fails and
    // is reported like any failed copy. True when both steps succeeded: the old content is in the
    // file of the new name, and the old name is free.
    bool FileRename(const runtime::Variant& AOldName, const runtime::Variant& ANewName,
                    bool ABooleanFailIfExists = false);
    void FolderCreate(const runtime::Variant& AFolder);
    // Deletes the folder with everything in it, read-only contents too.
    void FolderDelete(const runtime::Variant& AFolder);
    // As FolderDelete, without any report.
    void FolderDeleteTry(const runtime::Variant& AFolder);
    // Deletes the program's temporary files that a run left in the folder, and nothing else;
    // without any report.
    void FolderSweep(const runtime::Variant& AFolder);
    // A folder that the registry or the system names (Word's program folder, TEMP): its own path
    // is the user's to configure and may lead through links; below it no operation follows one.
    // A path below no such folder follows none below the folder it lies in.
    void FolderTrust(const runtime::Variant& AFolder);

protected:
    void OnClassLoad() override;
    void OnClassUnload() override;

private:
    using Call = std::function<void(const runtime::FileSystemObject&)>;
    using Message = std::function<std::string()>;

    using Try = std::function<unsigned long(const runtime::FileSystemObject&)>;
    // Raises the run-time error of an attempt's error code.
    using Failure = std::function<void(unsigned long)>;

    // FileCopy and FileDelete, telling whether they succeeded.
    bool FileCopyChecked(const runtime::Variant& ASource, const runtime::Variant& ADestination,
                         runtime::FileSystemObject::Replace replace);
    bool FileDeleteChecked(const runtime::Variant& AFileName);
    // The object's call after ClassLoad, its failure caught and handed back.
    CaughtError Attempt(const Call& call);
    // The object's call, its failure shown with the operation's message; true when it succeeded.
    bool Reported(const Call& call, const Message& message);
    // The in-use retry: the attempt through the object, then up to 100 more, each acting through
    // handles opened and checked in that attempt, then the first failure shown. True when the
    // first attempt failed.
    bool Retried(
        const Try& attempt, const Message& message,
        const Failure& failure = [](unsigned long error) { runtime::RaiseWin32(error); });

    std::unique_ptr<runtime::FileSystemObject> FileSystemObject;
};
