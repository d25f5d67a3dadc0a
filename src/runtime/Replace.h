#pragma once

namespace runtime {

// What a copy may do to a file already at the target.
enum class Replace {
    // Nothing: an existing target is "file exists".
    Never,
    // A writable file; a read-only one is the user's to keep.
    Writable,
    // The program's own file, even read-only (left so by an install from a CD); the copy does not
    // take the read-only bit of the media.
    Delivered,
};

} // namespace runtime
