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

} // namespace

std::wstring Widen(std::string_view utf8) {
    return MultiToWide(CP_UTF8, utf8);
}
std::string Narrow(std::wstring_view wide) {
    return WideToMulti(CP_UTF8, wide);
}
std::string ToAnsi(std::string_view utf8) {
    return WideToMulti(CP_ACP, Widen(utf8));
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
