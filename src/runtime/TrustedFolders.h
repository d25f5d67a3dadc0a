#pragma once

#include <windows.h>

#include <string>

namespace runtime {

// The folders whose own paths are followed, links and all, and inside which nothing is: each known by
// what it is (its volume and its id there), so that a path that spells it otherwise still finds it,
// and by where it lies (its final path, and the roots of the drives that lie inside it), so that a
// folder reached inside it, however a path got there, is known to lie there. For the rest of the
// process; one thread uses the program's file calls.
class TrustedFolders {
public:
    // The folder's path made whole, with a separator at its end; it is opened by that path once,
    // through whatever links it leads, to know what it is and where it lies.
    static void Add(const std::wstring& path);
    // The length of the longest trusted folder's path in front of the path as it is spelled; 0
    // where none is.
    static size_t SpelledIn(const std::wstring& path);
    // Whether the folder opened by the path that a trusted folder was trusted under is still that
    // folder, and not one swapped in for it (another folder, or a link) since.
    static bool StillAt(const std::wstring& spelled, HANDLE folder);
    // Whether any trusted folder could be opened, and so can be told by what it is.
    static bool AnyKnown();
    // Whether the open folder is a trusted one, however it was reached.
    static bool Holds(HANDLE folder);
    // Whether the place (a final path) is a trusted folder or lies inside one.
    static bool Encloses(const std::wstring& place);
    // Whether the index, as a folder's listing gives it for an entry, is a trusted folder's.
    static bool IsIndexOfOne(LONGLONG index);
};

} // namespace runtime
