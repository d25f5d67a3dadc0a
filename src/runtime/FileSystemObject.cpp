#include "FileSystemObject.h"

#include "Handle.h"
#include "RuntimeError.h"
#include "Text.h"

namespace runtime {

namespace {

enum class Entries { Files, Folders, All };

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

void Check(DWORD error) {
    if (error != NO_ERROR) {
        RaiseWin32(error);
    }
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// The folder part of a path or pattern with its backslash; the current folder for a bare name.
std::wstring FolderOf(const std::wstring& path) {
    const size_t end = path.find_last_of(L"\\/");
    return end == std::wstring::npos ? L"." : path.substr(0, end + 1);
}

std::wstring Joined(const std::wstring& folder, const wchar_t* name) {
    return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// The path the system gives an open file or folder, after every link it followed to open it;
// empty when it gives none.
std::wstring FinalPath(HANDLE handle) {
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
    std::wstring path(size, L'\0');
    const DWORD length = size == 0 ? 0 : GetFinalPathNameByHandleW(handle, path.data(), size, FILE_NAME_NORMALIZED);
    path.resize(length < size ? length : 0);
    return path;
}

DWORD RemoveEach(const std::wstring& pattern, Entries which, DWORD noMatch);

// Opens the entry (named as FinalPath names it) as itself, a link or junction as the link, never
// what it points to. NO_ERROR, or the system's error code.
DWORD OpenEntry(const std::wstring& path, DWORD access, FileHandle& entry) {
    entry.reset(CreateFileW(path.c_str(), access | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!entry) {
        return GetLastError();
    }
    // Wine opens what a link points to even so, and shows a link to a file as a plain file, which
    // its delete would remove: an entry that is not where it was found is left alone.
    return CompareStringOrdinal(FinalPath(entry.get()).c_str(), -1, path.c_str(), -1, TRUE) == CSTR_EQUAL
               ? NO_ERROR
               : ERROR_CANT_ACCESS_FILE;
}

// Removes one entry of the folder (named as FinalPath names it) with everything in it; a link or
// junction goes as itself. NO_ERROR, or the first of the system's error codes.
DWORD RemoveEntry(const std::wstring& folder, const WIN32_FIND_DATAW& found) {
    const std::wstring path = Joined(folder, found.cFileName);
    const DWORD attributes = found.dwFileAttributes;
    FileHandle entry;
    // Its contents first: the system lists no folder that is open for deleting. A junction on
    // Windows is opened as itself, and its target's contents are not its own.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        DWORD failure = OpenEntry(path, 0, entry);
        if (failure == NO_ERROR) {
            failure = RemoveEach(Joined(path, L"*"), Entries::All, NO_ERROR);
        }
        if (failure != NO_ERROR) {
            return failure;
        }
    }
    const DWORD failure = OpenEntry(path, DELETE | FILE_WRITE_ATTRIBUTES, entry);
    if (failure != NO_ERROR) {
        return failure;
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(entry.get(), FileBasicInfo, &basic, sizeof basic);
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition, sizeof disposition)
               ? NO_ERROR
               : GetLastError();
}

// Removes every entry of the kind asked for that the pattern matches, going on after a failure.
// The first failure's error code; noMatch when nothing matched.
DWORD RemoveEach(const std::wstring& pattern, Entries which, DWORD noMatch) {
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? noMatch : error;
    }
    const FileHandle folderHandle(CreateFileW(FolderOf(pattern).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folderHandle) {
        return GetLastError();
    }
    const std::wstring folder = FinalPath(folderHandle.get());
    if (folder.empty()) {
        return ERROR_CANT_ACCESS_FILE;
    }
    DWORD failure = NO_ERROR;
    bool matched = false;
    do {
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (IsDotEntry(found.cFileName) || (which == Entries::Files && isFolder) ||
            (which == Entries::Folders && !isFolder)) {
            continue;
        }
        matched = true;
        const DWORD removed = RemoveEntry(folder, found);
        if (failure == NO_ERROR) {
            failure = removed;
        }
    } while (FindNextFileW(search.get(), &found));
    return matched ? failure : noMatch;
}

} // namespace

void FileSystemObject::CopyFile(const std::string& source, const std::string& destination, bool overwrite) const {
    const std::wstring target = Widen(destination);
    // On Windows the scripting runtime replaces neither; Wine's copy would replace a read-only file.
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (overwrite && existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
        RaiseWin32(ERROR_ACCESS_DENIED);
    }
    // Without overwrite the system itself refuses an existing target, in the same step as the copy:
    // no file that appears in between is replaced.
    if (!CopyFileW(Widen(source).c_str(), target.c_str(), overwrite ? FALSE : TRUE)) {
        RaiseWin32(GetLastError());
    }
}

void FileSystemObject::DeleteFile(const std::string& fileSpec) const {
    Check(RemoveEach(Widen(fileSpec), Entries::Files, ERROR_FILE_NOT_FOUND));
}

void FileSystemObject::CreateFolder(const std::string& path) const {
    if (!CreateDirectoryW(Widen(path).c_str(), nullptr)) {
        RaiseWin32(GetLastError());
    }
}

// A missing folder, or a file of the folder's name, is "path not found".
void FileSystemObject::DeleteFolder(const std::string& path) const {
    Check(RemoveEach(Widen(path), Entries::Folders, ERROR_PATH_NOT_FOUND));
}

} // namespace runtime
