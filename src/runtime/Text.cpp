#include "Text.h"

#include "RuntimeError.h"

#include <windows.h>

#include <algorithm>

namespace runtime {

namespace {

std::wstring MultiToWide(UINT codePage, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string WideToMulti(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size =
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}

// The text in the code page without best fit: false when a character has no form of its own there,
// or when the bytes do not give the same text back.
bool ExactlyInCodePage(UINT codePage, std::wstring_view wide, std::string& text) {
    text.clear();
    if (wide.empty()) {
        return true;
    }
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        return false;
    }
    text.assign(static_cast<size_t>(size), '\0');
    BOOL substituted = FALSE;
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), text.data(), size,
                        nullptr, &substituted);
    return !substituted && MultiToWide(codePage, text) == wide;
}

// The first character (a surrogate pair counts as one) that the code page cannot hold, for the
// refusal's text.
std::wstring FirstLacking(UINT codePage, std::wstring_view wide) {
    std::string ignored;
    for (size_t index = 0; index < wide.size(); ++index) {
        const size_t length = IS_HIGH_SURROGATE(wide[index]) && index + 1 < wide.size() ? 2 : 1;
        const std::wstring_view character = wide.substr(index, length);
        if (!ExactlyInCodePage(codePage, character, ignored)) {
            return std::wstring(character);
        }
        index += length - 1;
    }
    return {};
}

} // namespace

std::wstring Widen(std::string_view utf8) {
    return MultiToWide(CP_UTF8, utf8);
}
std::string Narrow(std::wstring_view wide) {
    return WideToMulti(CP_UTF8, wide);
}
bool IsPathText(std::string_view utf8) {
    return utf8.find('\0') == std::string_view::npos;
}
std::wstring WidenPath(std::string_view utf8) {
    if (!IsPathText(utf8)) {
        Raise(kErrBadFileName);
    }
    return Widen(utf8);
}
std::string ToAnsi(std::string_view utf8) {
    const std::wstring wide = Widen(utf8);
    const UINT codePage = GetACP();
    // A system whose ANSI code page is UTF-8 (an option since Windows 10 1903) holds every text,
    // and refuses the flag below for it.
    if (codePage == CP_UTF8) {
        return Narrow(wide);
    }
    std::string text;
    if (!ExactlyInCodePage(codePage, wide, text)) {
        const std::wstring lacking = FirstLacking(codePage, wide);
        Raise(kErrInvalidCall, "Der Text \"" + std::string(utf8) + "\" lässt sich in der ANSI-Codepage " +
                                   std::to_string(codePage) + " des Systems nicht genau darstellen" +
                                   (lacking.empty() ? "." : ": Das Zeichen \"" + Narrow(lacking) + "\" fehlt darin."));
    }
    return text;
}

std::string FromAnsi(std::string_view ansi) {
    return Narrow(MultiToWide(CP_ACP, ansi));
}

int32_t Len(std::string_view text) {
    return static_cast<int32_t>(Widen(text).size());
}

std::string Left(std::string_view text, int32_t length) {
    if (length < 0) {
        Raise(kErrInvalidCall);
    }
    const std::wstring wide = Widen(text);
    return Narrow(std::wstring_view(wide).substr(0, static_cast<size_t>(length)));
}

std::string Right(std::string_view text, int32_t length) {
    if (length < 0) {
        Raise(kErrInvalidCall);
    }
    const std::wstring wide = Widen(text);
    const size_t take = std::min(wide.size(), static_cast<size_t>(length));
    return Narrow(std::wstring_view(wide).substr(wide.size() - take));
}

std::string Mid(std::string_view text, int32_t start) {
    if (start < 1) {
        Raise(kErrInvalidCall);
    }
    const std::wstring wide = Widen(text);
    if (static_cast<size_t>(start) > wide.size()) {
        return {};
    }
    return Narrow(std::wstring_view(wide).substr(static_cast<size_t>(start) - 1));
}

std::string Mid(std::string_view text, int32_t start, int32_t length) {
    if (start < 1 || length < 0) {
        Raise(kErrInvalidCall);
    }
    const std::wstring wide = Widen(text);
    if (static_cast<size_t>(start) > wide.size()) {
        return {};
    }
    return Narrow(std::wstring_view(wide).substr(static_cast<size_t>(start) - 1, static_cast<size_t>(length)));
}

int32_t InStr(int32_t start, std::string_view text, std::string_view pattern) {
    if (start < 1) {
        Raise(kErrInvalidCall);
    }
    const std::wstring wide = Widen(text);
    if (static_cast<size_t>(start) > wide.size() + 1) {
        return 0;
    }
    const size_t found = wide.find(Widen(pattern), static_cast<size_t>(start) - 1);
    return found == std::wstring::npos ? 0 : static_cast<int32_t>(found) + 1;
}

std::string LCase(std::string_view text) {
    std::wstring wide = Widen(text);
    if (!wide.empty()) {
        CharLowerBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return Narrow(wide);
}

std::string UCase(std::string_view text) {
    std::wstring wide = Widen(text);
    if (!wide.empty()) {
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    return Narrow(wide);
}

std::string Chars(int32_t count, char32_t character) {
    if (count < 0) {
        Raise(kErrInvalidCall);
    }
    return Narrow(std::wstring(static_cast<size_t>(count), static_cast<wchar_t>(character)));
}

std::string Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace runtime
