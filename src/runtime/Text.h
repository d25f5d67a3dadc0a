#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Texts are UTF-8 inside the program and reach the system exactly: as UTF-16 through its wide
// functions (windows, files, processes, the registry and the settings store). The ANSI code page
// is left only where bytes are meant: registry data of the byte types (a REG_DWORD handed over as
// three characters, REG_BINARY, ...) and the lines the add-in writes into its record file. No text
// is ever handed on in a best-fit form, where a character the code page lacks would become a
// look-alike (Omega an O) and name another user's folder.
namespace runtime {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Whether the text can name a file at all. A zero character would end the path there for the
// system, while the program goes on with the whole text and makes other names of it: the user's
// file renamed under a name made of the rest.
bool IsPathText(std::string_view utf8);
// The text as a path for the system's wide file functions; a text with a zero character is
// refused as the runtime refuses it: run-time error 52.
std::wstring WidenPath(std::string_view utf8);

// The text in the system's ANSI code page, character for character. A text with a character the
// code page cannot hold is refused: run-time error 5 with a German text that names it.
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

// String functions counted in characters (UTF-16 code units, as the system counts them), 1-based
// where a position is meant. Bad positions and lengths raise "invalid procedure call".
int32_t Len(std::string_view text);
std::string Left(std::string_view text, int32_t length);
std::string Right(std::string_view text, int32_t length);
std::string Mid(std::string_view text, int32_t start);
std::string Mid(std::string_view text, int32_t start, int32_t length);
// Position of the first occurrence of pattern at or after start, 0 when none; an empty pattern
// is found at start.
int32_t InStr(int32_t start, std::string_view text, std::string_view pattern);
// Lower and upper case by the system's rules, so umlauts change case too.
std::string LCase(std::string_view text);
std::string UCase(std::string_view text);
// A text of count copies of one character.
std::string Chars(int32_t count, char32_t character);
// Blanks removed at both ends.
std::string Trim(std::string_view text);

} // namespace runtime
