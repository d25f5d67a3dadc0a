#pragma once

#include <string>

namespace runtime {

// The attribute bits a directory lookup can ask for besides normal files; the values are the
// system's own file attribute bits.
enum DirAttribute : int {
    kDirNormal = 0,
    kDirHidden = 2,
    kDirSystem = 4,
    kDirDirectory = 16,
};

// The name (without its folder) of the first entry that matches pattern, or "" when none does.
// Normal files are always eligible; an entry that is hidden, a system file or a folder only when
// every one of those attributes it has is in attributes. The last part of the pattern may hold
// * and ?. A missing file or folder gives ""; a malformed pattern or a drive that is not ready
// raises a run-time error.
std::string Dir(const std::string& pattern, int attributes = kDirNormal);

} // namespace runtime
