#include "Dir.h"

#include "Handle.h"
#include "RuntimeError.h"
#include "Text.h"

#include <windows.h>

namespace runtime {

std::string Dir(const std::string& pattern, int attributes) {
    // Without a pattern there is nothing to look for; the system would take the current folder. A
    // pattern with a zero character names no file: the system would look for the part before it.
    if (pattern.empty() || !IsPathText(pattern)) {
        return {};
    }
    WIN32_FIND_DATAW found;
    FindHandle search(FindFirstFileW(Widen(pattern).c_str(), &found));
    if (!search) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            return {};
        }
        // A wildcard outside the last part, a character no name may hold, a drive not ready.
        RaiseWin32(error);
    }
    constexpr DWORD kSpecial = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    const DWORD requested = static_cast<DWORD>(attributes) & kSpecial;
    do {
        const std::wstring_view name(found.cFileName);
        if (name == L"." || name == L"..") {
            continue;
        }
        // Read-only and archive files count as normal ones; a hidden system file needs both bits.
        if ((found.dwFileAttributes & kSpecial & ~requested) == 0) {
            return Narrow(name);
        }
    } while (FindNextFileW(search.get(), &found));
    return {};
}

} // namespace runtime
