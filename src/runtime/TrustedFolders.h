#pragma once

#include <windows.h>

#include <string>

namespace runtime {

// The folders whose own paths are followed, links and all, and below which nothing is: each known by
// what it is (its volume and its id there) as well as by its path, so that a path that spells it
// otherwise still finds it. For the rest of the process; one thread uses the program's file calls.
class TrustedFolders {
public:
    // The folder's path made whole, with a separator at its end; it is opened by that path once,
    // through whatever links it leads, to know what it is.
    static void Add(const std::wstring& path);
    // The length of the longest trusted folder's path in front of the path as it is spelled; 0
    // where none is.
    static size_t SpelledIn(const std::wstring& path);
    // Whether any trusted folder could be opened, and so can be told by what it is.
    static bool AnyKnown();
    // Whether the open folder is a trusted one, however it was reached.
    static bool Holds(HANDLE folder);
};

} // namespace runtime
