#include "Process.h"

#include "Handle.h"
#include "RuntimeError.h"
#include "Text.h"

#include <windows.h>

#include <vector>

namespace runtime {

void Shell(const std::string& commandLine, int windowStyle) {
    if (windowStyle < SW_HIDE || windowStyle > SW_MINIMIZE) {
        Raise(kErrInvalidCall);
    }
    // The program's path comes first in the line: one cut at a zero character would start another.
    std::wstring mutableLine = WidenPath(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(windowStyle);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        RaiseWin32(GetLastError());
    }
    // The started program runs on its own; nothing waits for it or keeps its handles.
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
}

void EndProcess() {
    // TerminateProcess rather than ExitProcess: no DLL detach and no CRT exit code runs, so no
    // object's destructor or window's close handler can run on the way out.
    TerminateProcess(GetCurrentProcess(), 0);
    ExitProcess(0);
}

namespace {

bool SameFileName(std::wstring_view candidate, const std::wstring& programFileName) {
    const size_t slash = candidate.find_last_of(L"\\/");
    std::wstring name(slash == std::wstring_view::npos ? candidate : candidate.substr(slash + 1));
    if (name.empty() || programFileName.empty()) {
        return false;
    }
    auto equalsIgnoringCase = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                    TRUE) == CSTR_EQUAL;
    };
    if (equalsIgnoringCase(name, programFileName)) {
        return true;
    }
    // Started as "TvxSetup /x": the system found the program without its extension.
    const size_t dot = programFileName.find_last_of(L'.');
    return dot != std::wstring::npos && equalsIgnoringCase(name, programFileName.substr(0, dot));
}

// A file, not a folder, as written or with ".exe" appended, as the system looks for a program.
bool NamesFile(std::wstring_view path) {
    for (const std::wstring& candidate : {std::wstring(path), std::wstring(path) + L".exe"}) {
        const DWORD attributes = GetFileAttributesW(candidate.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string ArgumentsOf(const std::wstring& commandLine, const std::wstring& programFileName) {
    std::wstring_view line(commandLine);
    while (!line.empty() && (line.front() == L' ' || line.front() == L'\t')) {
        line.remove_prefix(1);
    }
    std::wstring_view rest;
    if (!line.empty() && line.front() == L'"') {
        const size_t closing = line.find(L'"', 1);
        rest = closing == std::wstring_view::npos ? std::wstring_view() : line.substr(closing + 1);
    } else {
        // An unquoted path may hold blanks: it ends at the first blank (or the end) where the
        // program's own file name stands and the text before it names an existing file, as the
        // system found the program; a folder named like it ("TvxSetup Dateien") does not end it.
        // Failing an existing file, where the name stands; failing that, the first blank.
        size_t end = std::wstring_view::npos;
        size_t byName = std::wstring_view::npos;
        for (size_t pos = 0; pos <= line.size(); ++pos) {
            if (pos == line.size() || line[pos] == L' ' || line[pos] == L'\t') {
                const std::wstring_view path = line.substr(0, pos);
                if (SameFileName(path, programFileName)) {
                    if (NamesFile(path)) {
                        end = pos;
                        break;
                    }
                    if (byName == std::wstring_view::npos) {
                        byName = pos;
                    }
                }
            }
        }
        if (end == std::wstring_view::npos) {
            end = byName;
        }
        if (end == std::wstring_view::npos) {
            end = line.find_first_of(L" \t");
        }
        rest = end == std::wstring_view::npos ? std::wstring_view() : line.substr(end);
    }
    while (!rest.empty() && (rest.front() == L' ' || rest.front() == L'\t')) {
        rest.remove_prefix(1);
    }
    return Narrow(rest);
}

std::string ProgramPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            RaiseWin32(GetLastError());
        }
        if (length < buffer.size()) {
            return Narrow(std::wstring_view(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ProgramFolder() {
    const std::string path = ProgramPath();
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) {
        return path;
    }
    std::string folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') {
        folder += '\\';
    }
    return folder;
}

std::string SystemFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            RaiseWin32(GetLastError());
        }
        if (length < buffer.size()) {
            return Narrow(std::wstring_view(buffer.data(), length));
        }
        // Too small: the length needed, its terminating zero included.
        buffer.resize(length);
    }
}

std::string CommandArguments() {
    const std::string path = ProgramPath();
    const size_t slash = path.find_last_of('\\');
    return ArgumentsOf(GetCommandLineW(), Widen(slash == std::string::npos ? path : path.substr(slash + 1)));
}

std::string Environ(const std::string& name) {
    const std::wstring wideName = Widen(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length);
    return Narrow(value);
}

} // namespace runtime
