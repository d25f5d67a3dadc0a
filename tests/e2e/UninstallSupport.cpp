#include "UninstallSupport.h"

#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <map>

namespace e2e {

using runtime::Narrow;
using runtime::Widen;

namespace {

// The test's own environment with TEMP, TMP and the stand-ins' log of the sandbox, as the
// sandbox's processes get it; TEMP another folder when one is given.
std::wstring EnvironmentFor(const Sandbox& sandbox, const std::string& tempDir) {
    std::map<std::wstring, std::wstring> variables;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text = entry;
        const size_t equals = text.find(L'=', 1);
        if (equals != std::wstring::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    FreeEnvironmentStringsW(block);
    std::wstring temp = Widen(tempDir.empty() ? sandbox.TempDir() : tempDir);
    temp.pop_back();
    variables[L"TEMP"] = temp;
    variables[L"TMP"] = temp;
    variables[L"TVX_STANDIN_LOG"] = Widen(sandbox.StandinLog());
    std::wstring environment;
    for (const auto& [name, value] : variables) {
        environment += name + L"=" + value;
        environment += L'\0';
    }
    environment += L'\0';
    return environment;
}

bool ReadFrom(HANDLE process, const void* address, void* buffer, size_t size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, address, buffer, size, &got) && got == size;
}

// The process parameters block of another process: where its command line and start-up
// information lie. Its layout is the system's (64-bit), shared by Windows and Wine.
const std::byte* ParametersOf(HANDLE process) {
    // Looked up at run time: the test programs link no import library of ntdll.
    using QueryInformation = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) {
        return nullptr;
    }
    PEB peb{};
    if (!ReadFrom(process, basic.PebBaseAddress, &peb, sizeof peb)) {
        return nullptr;
    }
    return reinterpret_cast<const std::byte*>(peb.ProcessParameters);
}

constexpr size_t kCurrentFolderOffset = 0x38;
constexpr size_t kCommandLineOffset = 0x70;
constexpr size_t kShowWindowFlagsOffset = 0xA8;

std::string ImagePathOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) {
        return {};
    }
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    const bool read = QueryFullProcessImageNameW(process, 0, path, &size);
    CloseHandle(process);
    return read ? Narrow(path) : std::string();
}

std::string ReadUnicodeString(HANDLE process, const std::byte* address) {
    UNICODE_STRING text{};
    if (address == nullptr || !ReadFrom(process, address, &text, sizeof text)) {
        return {};
    }
    std::wstring wide(text.Length / sizeof(wchar_t), L'\0');
    if (!ReadFrom(process, text.Buffer, wide.data(), text.Length)) {
        return {};
    }
    return Narrow(wide);
}

// The current folder of a process: a program the setup starts inherits the setup's, which the
// tests set to the sandbox.
std::string CurrentFolderOf(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr) {
        return {};
    }
    const std::byte* parameters = ParametersOf(process);
    const std::string folder =
        parameters != nullptr ? ReadUnicodeString(process, parameters + kCurrentFolderOffset) : std::string();
    CloseHandle(process);
    return folder;
}

bool LiesUnder(const std::string& path, const std::string& folder) {
    return !folder.empty() && runtime::LCase(path).rfind(runtime::LCase(folder), 0) == 0;
}

std::vector<DWORD> ProgramsUnder(const std::string& exeName, const std::string& folder) {
    std::vector<DWORD> found;
    for (DWORD id : ProcessesNamed(exeName)) {
        if (LiesUnder(ImagePathOf(id), folder)) {
            found.push_back(id);
        }
    }
    return found;
}

} // namespace

RunningProgram::RunningProgram(DWORD processId) : processId_(processId) {
    process_ = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (process_ == nullptr) {
        ADD_FAILURE() << "cannot open process " << processId << ": error " << GetLastError();
    }
}

RunningProgram::RunningProgram(const std::string& programFile, const std::string& commandLine, const Sandbox& sandbox,
                               const std::string& tempDir) {
    std::wstring line = Widen(commandLine);
    std::wstring environment = EnvironmentFor(sandbox, tempDir);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::wstring folder = Widen(sandbox.Root());
    if (!CreateProcessW(Widen(programFile).c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.data(), folder.c_str(), &startup, &started)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
}

RunningProgram::~RunningProgram() {
    if (process_ != nullptr) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
}

bool RunningProgram::WaitForExit(std::chrono::milliseconds limit, DWORD* exitCode) {
    if (process_ == nullptr || WaitForSingleObject(process_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        GetExitCodeProcess(process_, exitCode);
    }
    return true;
}

std::string RunningProgram::CommandLine() {
    const std::byte* parameters = process_ != nullptr ? ParametersOf(process_) : nullptr;
    return parameters != nullptr ? ReadUnicodeString(process_, parameters + kCommandLineOffset) : std::string();
}

int RunningProgram::StartShowState() {
    const std::byte* parameters = process_ != nullptr ? ParametersOf(process_) : nullptr;
    ULONG showState = 0;
    if (parameters == nullptr ||
        !ReadFrom(process_, parameters + kShowWindowFlagsOffset, &showState, sizeof showState)) {
        return -1;
    }
    return static_cast<int>(showState);
}

DWORD WaitForSetupIn(const std::string& folder, std::chrono::milliseconds limit) {
    DWORD found = 0;
    Eventually(
        [&] {
            for (DWORD id : ProcessesNamed("TvxSetup.exe")) {
                const std::string image = ImagePathOf(id);
                const size_t slash = image.find_last_of('\\');
                if (slash != std::string::npos &&
                    runtime::LCase(image.substr(0, slash + 1)) == runtime::LCase(folder)) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        limit);
    return found;
}

void EndProgramsUnder(const std::string& exeName, const std::string& folder) {
    for (DWORD id : ProgramsUnder(exeName, folder)) {
        EndProcessById(id);
    }
}

SandboxPrograms::~SandboxPrograms() {
    EndProgramsUnder("TvxSetup.exe", root_);
    EndProgramsUnder("winword.exe", root_);
    // The Fonts folder view stays open, hidden, after the setup ended; its program lies in the
    // system folder, its current folder in the sandbox.
    for (DWORD id : ProcessesNamed("rundll32.exe")) {
        if (LiesUnder(CurrentFolderOf(id), root_)) {
            EndProcessById(id);
        }
    }
}

std::vector<std::string> FontsPresent(const Sandbox& sandbox) {
    std::vector<std::string> present;
    for (const std::string& font : FontNames()) {
        if (testsupport::FileExists(sandbox.FontsDir() + font)) {
            present.push_back(font);
        }
    }
    return present;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> SortedNames(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return runtime::LCase(a) < runtime::LCase(b); });
    return names;
}

} // namespace e2e
