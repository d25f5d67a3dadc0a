#include "FileIO.h"

#include "FileSystemObject.h"
#include "RuntimeError.h"
#include "Text.h"

#include <windows.h>

namespace runtime {

int64_t FileLen(const std::string& path) {
    // A name with a zero character names no file, as Dir finds none.
    if (!IsPathText(path)) {
        Raise(kErrFileNotFound);
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME) {
            Raise(kErrFileNotFound);
        }
        RaiseWin32(error);
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        Raise(kErrFileNotFound);
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TextFileReader::TextFileReader(const std::string& path) {
    // Others may read and write the file meanwhile, as an open for input allows.
    file_.reset(CreateFileW(WidenPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        RaiseWin32(GetLastError());
    }
    char buffer[4096];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file_.get(), buffer, sizeof buffer, &got, nullptr)) {
            RaiseWin32(GetLastError());
        }
        if (got == 0) {
            break;
        }
        content_.append(buffer, got);
    }
}

std::string TextFileReader::LineInput() {
    if (EndOfFile()) {
        Raise(kErrInputPastEnd);
    }
    const size_t end = content_.find('\r', position_);
    std::string line;
    if (end == std::string::npos) {
        line = content_.substr(position_);
        position_ = content_.size();
    } else {
        line = content_.substr(position_, end - position_);
        position_ = end + 1;
        if (position_ < content_.size() && content_[position_] == '\n') {
            ++position_;
        }
    }
    return FromAnsi(line);
}

// Through the file-system object: the file is created, like every file of the program, never
// through a link.
void AppendOpenClose(const std::string& path) {
    FileSystemObject().OpenForAppending(path);
}

} // namespace runtime
