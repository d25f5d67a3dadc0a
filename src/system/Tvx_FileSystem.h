#pragma once

#include "framework/Tvx_Node.h"
#include "runtime/Automation.h"
#include "runtime/Variant.h"

// Copies, deletes and renames files and creates and deletes folders through the scripting
// runtime's file-system object, reporting a failure with the paths in German. Files that may be
// held open (fonts, the setup program and its support files) get up to 100 more attempts through
// the system's own copy and delete before the report; nothing is left for the next start of
// Windows.
class Tvx_FileSystem final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_FileSystem"; }

    // Overwrites an existing target.
    void FileCopy(const runtime::Variant& ASource, const runtime::Variant& ADestination);
    // True when the first attempt failed, whether a retry succeeded or not.
    bool FileCopyInUse(const runtime::Variant& ASource, const runtime::Variant& ADestination);
    // The last part of the path may be a pattern ("*.*"); read-only files are deleted too.
    void FileDelete(const runtime::Variant& AFileName);
    bool FileDeleteInUse(const runtime::Variant& AFileName);
    // A copy to the new name, then the delete of the old one, which only follows a copy that
    // succeeded: a user's file is never deleted before its copy exists. True when the copy
    // under the new name exists, so a caller can tell whether the old content is safe.
    bool FileRename(const runtime::Variant& AOldName, const runtime::Variant& ANewName);
    void FolderCreate(const runtime::Variant& AFolder);
    // Deletes the folder with everything in it, read-only contents too.
    void FolderDelete(const runtime::Variant& AFolder);
    // As FolderDelete, without any report.
    void FolderDeleteTry(const runtime::Variant& AFolder);

protected:
    void OnClassLoad() override;
    void OnClassUnload() override;

private:
    // FileCopy, telling whether the copy succeeded.
    bool FileCopyChecked(const runtime::Variant& ASource, const runtime::Variant& ADestination);

    runtime::AutomationObject FileSystemObject;
};
