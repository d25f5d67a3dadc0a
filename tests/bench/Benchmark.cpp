// The benchmark's driver (scripts/benchmark.sh), never a test: it times, side by side and under the
// Wine it runs in, how long the setup takes from its process start until the wizard is ready
// against a bare window program started the same way, and how long an install takes from "Weiter >"
// until its last file is copied against a plain copy of the same files. Prints the medians and
// their ratios. And the uninstall's deletes of those files (the fonts among them) through the
// program's file component, each checked to be gone, against a plain delete of the same files.
//
// Usage: benchmark.exe [repetitions]

#include "runtime/FileSystemObject.h"
#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using runtime::Narrow;
using runtime::Widen;
using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const wchar_t* kWord11 = L"Software\\Microsoft\\Office\\11.0";

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name + L"\\");
            } else {
                SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + name + L"\\", to + name + L"\\");
        } else {
            CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void SetString(const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    HKEY opened = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr);
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
}

// When a process was created, in the system's 100 ns units; 0 when that cannot be read.
ULONGLONG CreationTime(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        return 0;
    }
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Ends a process and every process it started. A process keeps its creator's id after the creator
// has ended, and Wine hands the id out again: its services name the id of a wineboot that ended
// when the prefix started. A process created before this one is no child of it, whatever id it
// names; each is told and ended through one handle.
void EndWithChildren(HANDLE process, DWORD processId) {
    const ULONGLONG created = CreationTime(process);
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 5000);
    if (created == 0) {
        return;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID != processId || entry.th32ProcessID == processId) {
            continue;
        }
        if (HANDLE child = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                       entry.th32ProcessID)) {
            // The same time counts as after: Windows notes creation times in steps of its clock tick.
            if (CreationTime(child) >= created) {
                TerminateProcess(child, 0);
                WaitForSingleObject(child, 5000);
            }
            CloseHandle(child);
        }
    }
    CloseHandle(snapshot);
}

// The process's first visible top-level window.
HWND ShownWindowOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The wizard is ready when its window is shown with the Word version list filled.
bool WizardReady(HWND window) {
    HWND list = GetDlgItem(GetDlgItem(window, Tvx_UFSetup::kIdSchritt1), Tvx_UFSetup::kIdListBox);
    return list != nullptr && SendMessageW(list, LB_GETCOUNT, 0, 0) > 0;
}

struct Run {
    HANDLE process = nullptr;
    DWORD id = 0;
    HWND window = nullptr;
    double ms = -1;
};

// Starts a program and polls until its window is ready; the time from just before the start.
Run StartUntilReady(const std::wstring& program, const std::wstring& folder, bool wizard) {
    Run run;
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const Clock::time_point start = Clock::now();
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started)) {
        std::printf("cannot start %s\n", Narrow(program).c_str());
        return run;
    }
    CloseHandle(started.hThread);
    run.process = started.hProcess;
    run.id = started.dwProcessId;
    while (MsSince(start) < 30000) {
        HWND window = ShownWindowOf(run.id);
        if (window != nullptr && (!wizard || WizardReady(window))) {
            run.ms = MsSince(start);
            run.window = window;
            break;
        }
        Sleep(1);
    }
    return run;
}

void Finish(Run& run) {
    if (run.process != nullptr) {
        EndWithChildren(run.process, run.id);
        CloseHandle(run.process);
        run.process = nullptr;
    }
}

// The files an install copies, relative to the start folder, with where they go relative to the
// Word program folder ("" for the Fonts folder).
struct Copy {
    std::wstring source;
    std::wstring target;
};

std::vector<Copy> Payload() {
    std::vector<Copy> files{{L"Docs\\Tvx.dot", L"STARTUP\\Tvx.dot"},
                            {L"Docs\\Keyboard.doc", L"Tvx\\Keyboard.doc"},
                            {L"Docs\\TvxTutorial.exe", L"Tvx\\TvxTutorial.exe"},
                            {L"Docs\\QuickGuide.doc", L"Tvx\\QuickGuide.doc"},
                            {L"TvxSetup.exe", L"Tvx\\Uninstall\\TvxSetup.exe"}};
    for (const wchar_t* name : {L"ADVPACK.DLL", L"ASYCFILT.DLL", L"COMCAT.DLL", L"msvbvm60.dll", L"OLEAUT32.DLL",
                                L"OLEPRO32.DLL", L"STDOLE2.TLB", L"W95INF16.DLL", L"W95INF32.DLL"}) {
        files.push_back({name, std::wstring(L"Tvx\\Uninstall\\") + name});
    }
    for (const wchar_t* font : {L"MATH1___.TTF", L"MATH1B__.TTF", L"MATH1M__.TTF", L"MATH2___.TTF", L"MATH2B__.TTF",
                                L"MATH2M__.TTF", L"MATH2MB_.TTF", L"MATH3___.TTF", L"MATH3B__.TTF", L"math3m__.ttf",
                                L"math3mb_.ttf", L"MATH4___.TTF", L"MATH4B__.TTF", L"MATH4M__.TTF", L"MATH4MB_.TTF",
                                L"MATH5___.TTF", L"MATH5B__.TTF", L"MATH5M__.TTF", L"MATH5MB_.TTF", L"TvxSymb.ttf"}) {
        files.push_back({std::wstring(L"Fonts\\") + font, std::wstring(L"\\Fonts\\") + font});
    }
    return files;
}

// The time an install takes from "Weiter >" until its last font is in the Fonts folder.
double InstallCopies(const std::wstring& startFolder, const std::wstring& word, const std::wstring& fonts,
                     const std::wstring& standins) {
    RemoveTree(word);
    RemoveTree(fonts);
    CreateDirectoryW(word.c_str(), nullptr);
    CreateDirectoryW(fonts.c_str(), nullptr);
    CopyFileW((standins + L"winword.exe").c_str(), (word + L"winword.exe").c_str(), FALSE);
    Run run = StartUntilReady(startFolder + L"TvxSetup.exe", startFolder, true);
    if (run.window == nullptr) {
        Finish(run);
        return -1;
    }
    const std::wstring lastFont = fonts + L"TvxSymb.ttf";
    WIN32_FILE_ATTRIBUTE_DATA delivered{};
    GetFileAttributesExW((startFolder + L"Fonts\\TvxSymb.ttf").c_str(), GetFileExInfoStandard, &delivered);
    HWND weiter = GetDlgItem(run.window, Tvx_UFSetup::kIdWeiter);
    const Clock::time_point start = Clock::now();
    PostMessageW(weiter, BM_CLICK, 0, 0);
    double ms = -1;
    while (MsSince(start) < 30000) {
        WIN32_FILE_ATTRIBUTE_DATA copied{};
        if (GetFileAttributesExW(lastFont.c_str(), GetFileExInfoStandard, &copied) &&
            copied.nFileSizeLow == delivered.nFileSizeLow) {
            ms = MsSince(start);
            break;
        }
        Sleep(1);
    }
    // The Fonts view's pauses and Word's start follow; then the program ends.
    WaitForSingleObject(run.process, 10000);
    Finish(run);
    return ms;
}

// The folders of the layout below `target`, `target` itself first.
void MakeLayout(const std::wstring& target) {
    for (const wchar_t* folder : {L"", L"Tvx", L"STARTUP", L"Tvx\\Uninstall", L"Fonts"}) {
        CreateDirectoryW((target + folder).c_str(), nullptr);
    }
}

// The payload copied into the layout below `target` by the plain system call; its folders exist.
void CopyPayload(const std::wstring& startFolder, const std::wstring& target) {
    for (const Copy& file : Payload()) {
        const std::wstring to = file.target[0] == L'\\' ? target + file.target.substr(1) : target + file.target;
        CopyFileW((startFolder + file.source).c_str(), to.c_str(), FALSE);
    }
}

// The same files copied by a program that does nothing else, into the same layout.
double PlainCopies(const std::wstring& startFolder, const std::wstring& target) {
    RemoveTree(target);
    const Clock::time_point start = Clock::now();
    MakeLayout(target);
    CopyPayload(startFolder, target);
    return MsSince(start);
}

// The installed layout's files deleted one by one, as the uninstall deletes them: through the
// program's file component, the folder trusted as Word's is, or through the plain system call. The
// files are laid into the same folders again each time: a folder made anew would be another folder
// than the one trusted, and the component would refuse the deletes below it, quicker than deletes.
double Deletes(const std::wstring& startFolder, const std::wstring& target, bool plain) {
    CopyPayload(startFolder, target);
    const runtime::FileSystemObject files;
    const Clock::time_point start = Clock::now();
    for (const Copy& file : Payload()) {
        const std::wstring path = file.target[0] == L'\\' ? target + file.target.substr(1) : target + file.target;
        if (plain) {
            DeleteFileW(path.c_str());
        } else {
            files.TryDeleteFiles(Narrow(path));
        }
    }
    return MsSince(start);
}

std::string List(const std::vector<double>& values) {
    std::string text;
    for (double value : values) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.1f", text.empty() ? "" : " ", value);
        text += number;
    }
    return text;
}

std::string WineVersion() {
    using Version = const char*(CDECL*)();
    auto version = reinterpret_cast<Version>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
    return version != nullptr ? std::string("Wine ") + version() : "Windows";
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int repetitions = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    const std::wstring bin = OwnFolder() + L"..\\";
    const std::wstring sample = bin + L"..\\sample\\";
    const std::wstring standins = bin + L"standins\\";

    wchar_t tempBase[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempBase);
    const std::wstring scratch =
        std::wstring(tempBase) + L"tvx-benchmark-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    const std::wstring startFolder = scratch + L"Setup\\";
    const std::wstring word = scratch + L"Office 11\\";
    const std::wstring fonts = scratch + L"Fonts\\";
    CreateDirectoryW(scratch.c_str(), nullptr);
    CopyTree(sample, startFolder);
    CreateDirectoryW(word.c_str(), nullptr);

    // One Word 2003 for the list, the Fonts folder in the scratch folder; put back afterwards.
    wchar_t savedFonts[MAX_PATH] = {};
    DWORD savedSize = sizeof savedFonts;
    const bool hadFonts = RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Fonts", RRF_RT_REG_SZ, nullptr, savedFonts,
                                       &savedSize) == ERROR_SUCCESS;
    RegDeleteTreeW(HKEY_CURRENT_USER, kWord11);
    SetString(L"Software\\Microsoft\\Office\\11.0\\Word\\Options", L"PROGRAMDIR", word);
    SetString(kShellFolders, L"Fonts", fonts.substr(0, fonts.size() - 1));

    // A first start of each, not counted: the first start after a build reads the files from disk.
    for (bool wizard : {true, false}) {
        Run warm =
            StartUntilReady(wizard ? startFolder + L"TvxSetup.exe" : standins + L"barewindow.exe", scratch, wizard);
        Finish(warm);
    }
    std::vector<double> wizardMs;
    std::vector<double> bareMs;
    for (int i = 0; i < repetitions; ++i) {
        Run wizard = StartUntilReady(startFolder + L"TvxSetup.exe", scratch, true);
        wizardMs.push_back(wizard.ms);
        Finish(wizard);
        Run bare = StartUntilReady(standins + L"barewindow.exe", scratch, false);
        bareMs.push_back(bare.ms);
        Finish(bare);
    }

    std::vector<double> installMs;
    std::vector<double> plainMs;
    InstallCopies(startFolder, word, fonts, standins);
    for (int i = 0; i < repetitions; ++i) {
        installMs.push_back(InstallCopies(startFolder, word, fonts, standins));
        plainMs.push_back(PlainCopies(startFolder, scratch + L"Plain\\"));
    }

    std::vector<double> deleteMs;
    std::vector<double> plainDeleteMs;
    // Trusted once it exists, and kept: the deletes work in the folder that was trusted.
    MakeLayout(scratch + L"Deletes\\");
    runtime::FileSystemObject::TrustFolder(Narrow(scratch + L"Deletes\\"));
    for (int i = 0; i < repetitions; ++i) {
        deleteMs.push_back(Deletes(startFolder, scratch + L"Deletes\\", false));
        plainDeleteMs.push_back(Deletes(startFolder, scratch + L"Deletes\\", true));
    }

    RegDeleteTreeW(HKEY_CURRENT_USER, kWord11);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Tvx11");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE,
                   L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvex f\u00fcr Microsoft Word 11");
    if (hadFonts) {
        SetString(kShellFolders, L"Fonts", savedFonts);
    } else {
        HKEY key = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key);
        RegDeleteValueW(key, L"Fonts");
        RegCloseKey(key);
    }
    RemoveTree(scratch);

    const double wizardMedian = Median(wizardMs);
    const double bareMedian = Median(bareMs);
    const double installMedian = Median(installMs);
    const double plainMedian = Median(plainMs);
    std::printf("%s, %d repetitions each, medians in ms (-1: not reached within 30 s)\n", WineVersion().c_str(),
                repetitions);
    std::printf("Start until ready   TvxSetup.exe (window shown, list filled) %8.1f   bare window program %8.1f"
                "   ratio %.2f (bar 1.5)\n",
                wizardMedian, bareMedian, wizardMedian / bareMedian);
    std::printf("Copies of %zu files  install (\"Weiter >\" to last font)       %8.1f   plain copy          %8.1f"
                "   ratio %.2f (bar 1.2)\n",
                Payload().size(), installMedian, plainMedian, installMedian / plainMedian);
    std::printf("Deletes of %zu files uninstall's (file component)          %8.1f   plain delete        %8.1f"
                "   ratio %.2f\n",
                Payload().size(), Median(deleteMs), Median(plainDeleteMs), Median(deleteMs) / Median(plainDeleteMs));
    std::printf("Each run:\n  TvxSetup.exe start  %s\n  bare window start   %s\n  install copies      %s\n"
                "  plain copies        %s\n  component deletes   %s\n  plain deletes       %s\n",
                List(wizardMs).c_str(), List(bareMs).c_str(), List(installMs).c_str(), List(plainMs).c_str(),
                List(deleteMs).c_str(), List(plainDeleteMs).c_str());
    return 0;
}
