#pragma once

#include <string>
#include <string_view>

// Paths as text, read as the system reads them before it opens anything: the file component's
// walks, its trusted folders and its entries all spell and compare paths by these rules alone.
namespace runtime {

// "\" and "/" alike: the system reads "/" as "\" in every path but a verbatim one.
bool IsSeparator(wchar_t c);
// Two names or paths alike as the file system compares names: character for character, case
// ignored by the system's own table (not the user's language), so that "Ä" and "ä" match.
bool SameName(std::wstring_view a, std::wstring_view b);
// Whether the place is the folder (a path with a separator at its end) or lies below it: the
// separator is asked for, so that "…\Office12" does not lie below "…\Office\".
bool IsAtOrBelow(std::wstring_view place, std::wstring_view folder);
// The name in the folder, with one separator between.
std::wstring Joined(const std::wstring& folder, const std::wstring& name);
// The path with a separator at its end.
std::wstring WithSeparator(std::wstring path);
// A path the system takes as it is written ("\\?\"): no "." or ".." resolved, no "/" read as
// "\", and a trailing dot or blank kept.
bool IsVerbatim(std::wstring_view path);
// The path made whole as the system makes it before it opens one: against the current folder,
// "." and ".." resolved, "/" read as "\". A verbatim path as it is written.
std::wstring FullPath(const std::wstring& path);
// The length of the root of a path made whole: "C:\", "\\server\share\", "\\.\C:\" and
// "\\?\C:\" (any device or volume name), "\\?\UNC\server\share\"; 0 where it has none.
size_t RootLength(const std::wstring& path);
// The drive letter, in upper case, of a final path ("\\?\X:\..."); 0 where it names none.
wchar_t DriveOf(const std::wstring& place);

} // namespace runtime
