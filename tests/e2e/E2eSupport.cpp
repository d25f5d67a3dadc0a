#include "E2eSupport.h"

#include "runtime/Text.h"

#include <gtest/gtest.h>
#include "setup/Tvx_UFSetup.h"

#include <tlhelp32.h>

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

// The test's own environment with TEMP, TMP and the stand-ins' log replaced.
std::wstring EnvironmentFor(const Sandbox& sandbox) {
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
    std::wstring temp = Widen(sandbox.TempDir());
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

} // namespace

Process::Process(const std::string& commandLine, const Sandbox& sandbox) {
    std::wstring line = Widen(commandLine);
    std::wstring environment = EnvironmentFor(sandbox);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    // Started from another folder than its own: the program must find its files by its own path.
    const std::wstring folder = Widen(sandbox.Root());
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        folder.c_str(), &startup, &started)) {
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
                [](HWND window, LPARAM parameter) -> BOOL {
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
    struct Collect {
        DWORD processId;
        std::string text;
    } collect{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* c = reinterpret_cast<Collect*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == c->processId) {
                wchar_t className[64] = {};
                GetClassNameW(window, className, 64);
                c->text += "[" + Narrow(className) + "] \"" + TextOf(window) + "\"" +
                           (IsWindowVisible(window) ? " visible" : " hidden") +
                           (IsWindowEnabled(window) ? "" : " disabled") + "\n";
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    return collect.text;
}

} // namespace e2e
