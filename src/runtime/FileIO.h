#pragma once

#include "Handle.h"

#include <cstdint>
#include <string>

// The file services of a program's runtime beyond copy and delete: a file's length, reading a
// text file line by line, and opening one for appending.
namespace runtime {

// The length of a file in bytes. A missing file, or a folder, raises "file not found".
int64_t FileLen(const std::string& path);

// A text file opened for reading, read one line at a time. A line ends at a carriage return or
// a carriage return and line feed, or at the end of the file; a line feed alone is part of the
// line, and a line end after the last line makes no empty line. The bytes are in the system's
// ANSI code page. The file is closed when the reader goes.
class TextFileReader {
public:
    // Opens the file; raises when it cannot be opened for reading ("file not found", ...).
    explicit TextFileReader(const std::string& path);

    bool EndOfFile() const noexcept { return position_ >= content_.size(); }
    // The next line without its line end; raises "input past end of file" at the end.
    std::string LineInput();
    void Close() noexcept { file_.reset(); }

private:
    FileHandle file_;
    std::string content_;
    size_t position_ = 0;
};

// Opens a file for appending and closes it again at once, writing nothing: a missing file is
// created empty, an existing one keeps its contents. Raises when the file cannot be opened.
void AppendOpenClose(const std::string& path);

} // namespace runtime
