#include "E2eSupport.h"

#include "runtime/Text.h"

#include <gtest/gtest.h>
#include "setup/Tvx_UFSetup.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>
#include <map>

#include <thread>

namespace e2e {

using runtime::Narrow;
using runtime::Widen;

std::string SampleFolder() {
    return testsupport::BinFolder() + "..\\sample\\";
}

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryW(Widen(to).c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(from + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = Narrow(found.cFileName);
        if (name == "." || name == "..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + name + "\\", to + name + "\\");
        } else {
            CopyFileW(Widen(from + name).c_str(), Widen(to + name).c_str(), FALSE);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

Sandbox::Sandbox() {
    startFolder_ = Root() + "Setup Quelle Ä\\";
    CopyTree(SampleFolder(), startFolder_);
    tempDir_ = Root() + "Temp Ordner\\";
    CreateDirectoryW(Widen(tempDir_).c_str(), nullptr);
    standinLog_ = Root() + "started.log";
}

std::string Sandbox::StandinLogText() const {
    return testsupport::FileExists(standinLog_) ? testsupport::ReadFile(standinLog_) : std::string();
}

std::string SetupCommand(const Sandbox& sandbox, const std::string& arguments) {
    std::string command = "\"" + sandbox.StartFolder() + "TvxSetup.exe\"";
    return arguments.empty() ? command : command + " " + arguments;
}

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

bool BasicInformationOf(HANDLE process, PROCESS_BASIC_INFORMATION& basic) {
    // Looked up at run time: the test programs link no import library of ntdll.
    using QueryInformation = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    ULONG length = 0;
    return query != nullptr && query(process, ProcessBasicInformation, &basic, sizeof basic, &length) == 0;
}

// The process parameters block of another process of the test's own kind (32-bit under WOW64, as
// the program is): where its command line and start-up information lie. Its layout is the
// system's, shared by Windows and Wine; only the fields up to the ones read here, pointer-sized
// where the system's are, so that the offsets are right for either kind of program.
const std::byte* ParametersOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (!BasicInformationOf(process, basic)) {
        return nullptr;
    }
    PEB peb{};
    if (!ReadFrom(process, basic.PebBaseAddress, &peb, sizeof peb)) {
        return nullptr;
    }
    return reinterpret_cast<const std::byte*>(peb.ProcessParameters);
}

struct ProcessParametersHead {
    ULONG MaximumLength;
    ULONG Length;
    ULONG Flags;
    ULONG DebugFlags;
    HANDLE ConsoleHandle;
    ULONG ConsoleFlags;
    HANDLE StandardInput;
    HANDLE StandardOutput;
    HANDLE StandardError;
    UNICODE_STRING CurrentDirectory;
    HANDLE CurrentDirectoryHandle;
    UNICODE_STRING DllPath;
    UNICODE_STRING ImagePathName;
    UNICODE_STRING CommandLine;
    void* Environment;
    ULONG StartingX;
    ULONG StartingY;
    ULONG CountX;
    ULONG CountY;
    ULONG CountCharsX;
    ULONG CountCharsY;
    ULONG FillAttribute;
    ULONG WindowFlags;
    ULONG ShowWindowFlags;
};

constexpr size_t kCurrentFolderOffset = offsetof(ProcessParametersHead, CurrentDirectory);
constexpr size_t kCommandLineOffset = offsetof(ProcessParametersHead, CommandLine);
constexpr size_t kShowWindowFlagsOffset = offsetof(ProcessParametersHead, ShowWindowFlags);
static_assert(kCommandLineOffset == (sizeof(void*) == 8 ? 0x70 : 0x40), "the system's layout");

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

} // namespace

Process::Process(const std::string& commandLine, const Sandbox& sandbox) : Process("", commandLine, sandbox) {}

Process::Process(DWORD processId) : processId_(processId) {
    process_ = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (process_ == nullptr) {
        ADD_FAILURE() << "cannot open process " << processId << ": error " << GetLastError();
    }
}

Process::Process(const std::string& programFile, const std::string& commandLine, const Sandbox& sandbox,
                 const std::string& tempDir) {
    std::wstring line = Widen(commandLine);
    std::wstring environment = EnvironmentFor(sandbox, tempDir);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::wstring folder = Widen(sandbox.Root());
    if (!CreateProcessW(programFile.empty() ? nullptr : Widen(programFile).c_str(), line.data(), nullptr, nullptr,
                        FALSE, CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.c_str(), &startup, &started)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return;
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
}

Process::~Process() {
    if (process_ != nullptr) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
}

bool Process::WaitForExit(std::chrono::milliseconds limit, DWORD* exitCode) {
    if (process_ == nullptr || WaitForSingleObject(process_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
        return false;
    }
    if (exitCode != nullptr) {
        GetExitCodeProcess(process_, exitCode);
    }
    return true;
}

bool Process::Running() {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::string Process::CommandLine() {
    const std::byte* parameters = process_ != nullptr ? ParametersOf(process_) : nullptr;
    return parameters != nullptr ? ReadUnicodeString(process_, parameters + kCommandLineOffset) : std::string();
}

int Process::StartShowState() {
    const std::byte* parameters = process_ != nullptr ? ParametersOf(process_) : nullptr;
    ULONG showState = 0;
    if (parameters == nullptr ||
        !ReadFrom(process_, parameters + kShowWindowFlagsOffset, &showState, sizeof showState)) {
        return -1;
    }
    return static_cast<int>(showState);
}

ULONGLONG CreationTimeOf(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (process == nullptr || !GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return 0;
    }
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

DWORD CreatorIdOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    return process != nullptr && BasicInformationOf(process, basic)
               ? static_cast<DWORD>(basic.InheritedFromUniqueProcessId)
               : 0;
}

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

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    struct Collect {
        DWORD processId;
        std::vector<HWND> windows;
    } collect{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) CALLBACK -> BOOL {
            auto* c = reinterpret_cast<Collect*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == c->processId) {
                c->windows.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    return collect.windows;
}

HWND WaitForWizard(DWORD processId, std::chrono::milliseconds limit) {
    struct Search {
        DWORD processId;
        HWND found;
    };
    HWND wizard = nullptr;
    Eventually(
        [&] {
            Search search{processId, nullptr};
            EnumWindows(
                [](HWND window, LPARAM parameter) CALLBACK -> BOOL {
                    auto* s = reinterpret_cast<Search*>(parameter);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    if (owner == s->processId && IsWindowVisible(window) &&
                        GetDlgItem(window, Tvx_UFSetup::kIdSchritt1) != nullptr) {
                        s->found = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
            wizard = search.found;
            return wizard != nullptr;
        },
        limit);
    return wizard;
}

HWND WizardControl(HWND wizard, int id) {
    if (HWND direct = GetDlgItem(wizard, id)) {
        return direct;
    }
    for (int frame : {Tvx_UFSetup::kIdSchritt1, Tvx_UFSetup::kIdSchritt2}) {
        if (HWND inFrame = GetDlgItem(GetDlgItem(wizard, frame), id)) {
            return inFrame;
        }
    }
    return nullptr;
}

std::string TextOf(HWND control) {
    wchar_t text[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    return Narrow(text);
}

bool Checked(HWND optionButton) {
    return SendMessageW(optionButton, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> ListItems(HWND listBox) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        wchar_t text[512] = {};
        SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        items.push_back(Narrow(text));
    }
    return items;
}

int ListSelection(HWND listBox) {
    return static_cast<int>(SendMessageW(listBox, LB_GETCURSEL, 0, 0));
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PressEnter(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    PostMessageW(info.hwndFocus != nullptr ? info.hwndFocus : window, WM_KEYDOWN, VK_RETURN, 1);
}

std::vector<DWORD> ProcessesNamed(const std::string& exeName) {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, Widen(exeName).c_str()) == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return found;
}

void EndProcessesNamed(const std::string& exeName) {
    for (DWORD id : ProcessesNamed(exeName)) {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    return testsupport::WaitFor(condition, limit);
}

} // namespace e2e

namespace e2e {

std::string WindowsOf(DWORD processId) {
    std::string text;
    for (HWND window : TopLevelWindowsOf(processId)) {
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        text += "[" + Narrow(className) + "] \"" + TextOf(window) + "\"" +
                (IsWindowVisible(window) ? " visible" : " hidden") + (IsWindowEnabled(window) ? "" : " disabled") +
                "\n";
    }
    return text;
}

} // namespace e2e
