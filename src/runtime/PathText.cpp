#include "PathText.h"

#include <windows.h>

namespace runtime {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

bool IsAtOrBelow(std::wstring_view place, std::wstring_view folder) {
    if (folder.empty() || !IsSeparator(folder.back())) {
        return false;
    }
    folder.remove_suffix(1);
    return place.size() >= folder.size() && SameName(place.substr(0, folder.size()), folder) &&
           (place.size() == folder.size() || IsSeparator(place[folder.size()]));
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return !folder.empty() && IsSeparator(folder.back()) ? folder + name : folder + L'\\' + name;
}

std::wstring WithSeparator(std::wstring path) {
    if (!path.empty() && !IsSeparator(path.back())) {
        path += L'\\';
    }
    return path;
}

bool IsVerbatim(std::wstring_view path) {
    return path.size() >= 4 && path.substr(0, 4) == L"\\\\?\\";
}

// GetFullPathNameW drops a trailing dot or blank, and would name another file: a verbatim path
// keeps them.
std::wstring FullPath(const std::wstring& path) {
    if (path.empty() || IsVerbatim(path)) {
        return path;
    }
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) {
            return path;
        }
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

size_t RootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        return 3;
    }
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') {
        return 0;
    }
    size_t start = 2;
    int parts = 2;
    if (path.size() >= 4 && (path[2] == L'?' || path[2] == L'.') && path[3] == L'\\') {
        start = 4;
        parts = 1;
        if (path.size() >= 8 && SameName(std::wstring_view(path).substr(4, 4), L"UNC\\")) {
            start = 8;
            parts = 2;
        }
    }
    size_t end = start;
    for (int part = 0; part < parts; ++part) {
        const size_t separator = path.find(L'\\', end);
        if (separator == std::wstring::npos || separator == end) {
            return 0;
        }
        end = separator + 1;
    }
    return end;
}

wchar_t DriveOf(const std::wstring& place) {
    if (place.size() < 7 || !IsVerbatim(place) || place[5] != L':' || place[6] != L'\\') {
        return 0;
    }
    const wchar_t letter =
        place[4] >= L'a' && place[4] <= L'z' ? static_cast<wchar_t>(place[4] - L'a' + L'A') : place[4];
    return letter >= L'A' && letter <= L'Z' ? letter : 0;
}

} // namespace runtime
