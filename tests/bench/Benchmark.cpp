// The benchmark's driver (scripts/benchmark.sh), never a test: it times, side by side and under the
// Wine it runs in, how long the setup takes from its process start until the wizard is ready
// against a bare window program started the same way, and how long an install takes from "Weiter >"
// until its last file is copied against a plain copy of the same files. Prints the medians and
// their ratios. And the uninstall's deletes of those files (the fonts among them) through the
// program's file component, each checked to be gone, against a plain delete of the same files.
//
// Every operation it times is checked to have done its work: a figure of refusals or of files that
// never landed would be quicker and tell nothing. The first one that failed ends the benchmark with
// one line naming it, its path and its error code, and exit code 1; the registry values it changed
// are put back and its scratch folder goes, as after a run that passed.
//
// Usage: benchmark.exe [repetitions]

#include "runtime/FileSystemObject.h"
#include "runtime/Handle.h"
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

// The first operation that did not do its work.
struct Failure {
    std::string line;
};

// Stops the benchmark unless the operation answered NO_ERROR.
void Check(DWORD error, const char* what, const std::wstring& path) {
    if (error != NO_ERROR) {
        throw Failure{std::string("benchmark stopped: ") + what + " \"" + Narrow(path) + "\": error " +
                      std::to_string(error)};
    }
}

// The answer of a call that returns FALSE when it fails, as an error code.
DWORD Answer(BOOL done) {
    return done ? NO_ERROR : GetLastError();
}

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
    Check(Answer(CreateDirectoryW(to.c_str(), nullptr)), "CreateDirectoryW", to);
    WIN32_FIND_DATAW found;
    runtime::FindHandle search(FindFirstFileW((from + L"*").c_str(), &found));
    Check(search ? NO_ERROR : GetLastError(), "FindFirstFileW", from);
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyTree(from + name + L"\\", to + name + L"\\");
        } else {
            Check(Answer(CopyFileW((from + name).c_str(), (to + name).c_str(), FALSE)), "CopyFileW", to + name);
        }
    } while (FindNextFileW(search.get(), &found));
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

// A program started for the benchmark. It is ended with every process it started when the object
// goes, also where a failure unwinds: no window program outlives the benchmark.
class Run {
public:
    // The clock runs from just before the start.
    Run(const std::wstring& program, const std::wstring& folder) : program_(program) {
        std::wstring line = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        start_ = Clock::now();
        Check(Answer(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                                    &started)),
              "CreateProcessW", program);
        CloseHandle(started.hThread);
        process_.reset(started.hProcess);
        id_ = started.dwProcessId;
    }
    ~Run() { End(); }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Polls until the program's window is shown (the wizard's with its list filled); the time since
    // the start.
    double UntilReady(bool wizard) {
        double ms = -1;
        while (ms < 0 && MsSince(start_) < 30000) {
            HWND window = ShownWindowOf(id_);
            if (window != nullptr && (!wizard || WizardReady(window))) {
                ms = MsSince(start_);
                window_ = window;
            } else {
                Sleep(1);
            }
        }
        Check(ms >= 0 ? NO_ERROR : ERROR_TIMEOUT, "start until ready", program_);
        return ms;
    }

    HWND Window() const { return window_; }
    HANDLE Process() const { return process_.get(); }

    void End() {
        if (process_) {
            EndWithChildren(process_.get(), id_);
            process_.reset();
        }
    }

private:
    std::wstring program_;
    Clock::time_point start_;
    runtime::KernelHandle process_;
    DWORD id_ = 0;
    HWND window_ = nullptr;
};

// Starts a program and polls until its window is ready; the time from just before the start.
double StartUntilReady(const std::wstring& program, const std::wstring& folder, bool wizard) {
    Run run(program, folder);
    return run.UntilReady(wizard);
}

// The files an install copies, relative to the start folder, with where they go: relative to the
// Word program folder, or into the Fonts folder.
struct Copy {
    std::wstring source;
    std::wstring target;
    bool font = false;
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
        files.push_back({std::wstring(L"Fonts\\") + font, font, true});
    }
    return files;
}

// Where the payload lands: Word's program folder and the Fonts folder.
struct Layout {
    std::wstring word;
    std::wstring fonts;

    std::wstring Of(const Copy& file) const { return (file.font ? fonts : word) + file.target; }
};

// The layout of the plain copies and the deletes: the Fonts folder beside Word's folders.
Layout Below(const std::wstring& target) {
    return {target, target + L"Fonts\\"};
}

// The file's bytes, read whole; the error code of the open or the read.
DWORD Read(const std::wstring& path, std::string& bytes) {
    runtime::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    char chunk[65536];
    DWORD read = 0;
    do {
        if (!ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr)) {
            return GetLastError();
        }
        bytes.append(chunk, read);
    } while (read > 0);
    return NO_ERROR;
}

// NO_ERROR when nothing is left under the name. Wine's DeleteFileW answers TRUE for a file whose
// delete the Unix side refused (an immutable one), and the file stays: only its absence tells.
DWORD Gone(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return ERROR_FILE_EXISTS;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? NO_ERROR : error;
}

// After an install every payload file is in its place with the delivered bytes; after the deletes
// none is left.
void CheckPayload(const std::wstring& startFolder, const Layout& layout, bool installed) {
    for (const Copy& file : Payload()) {
        const std::wstring path = layout.Of(file);
        if (installed) {
            std::string delivered;
            std::string copied;
            Check(Read(startFolder + file.source, delivered), "read of the delivered file", startFolder + file.source);
            Check(Read(path, copied), "install's copy", path);
            Check(copied == delivered ? NO_ERROR : ERROR_INVALID_DATA, "install's copy differs from the delivered file",
                  path);
        } else {
            Check(Gone(path), "deleted file still there", path);
        }
    }
}

// The time an install takes from "Weiter >" until its last font is in the Fonts folder.
double InstallCopies(const std::wstring& startFolder, const std::wstring& word, const std::wstring& fonts,
                     const std::wstring& standins) {
    RemoveTree(word);
    RemoveTree(fonts);
    Check(Answer(CreateDirectoryW(word.c_str(), nullptr)), "CreateDirectoryW", word);
    Check(Answer(CreateDirectoryW(fonts.c_str(), nullptr)), "CreateDirectoryW", fonts);
    Check(Answer(CopyFileW((standins + L"winword.exe").c_str(), (word + L"winword.exe").c_str(), FALSE)), "CopyFileW",
          word + L"winword.exe");
    Run run(startFolder + L"TvxSetup.exe", startFolder);
    run.UntilReady(true);
    const std::wstring lastFont = fonts + L"TvxSymb.ttf";
    WIN32_FILE_ATTRIBUTE_DATA delivered{};
    GetFileAttributesExW((startFolder + L"Fonts\\TvxSymb.ttf").c_str(), GetFileExInfoStandard, &delivered);
    HWND weiter = GetDlgItem(run.Window(), Tvx_UFSetup::kIdWeiter);
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
    WaitForSingleObject(run.Process(), 10000);
    run.End();
    // A file that did not land names the failed copy better than the wait for the last font does.
    CheckPayload(startFolder, {word, fonts}, true);
    Check(ms >= 0 ? NO_ERROR : ERROR_TIMEOUT, "install until the last font", lastFont);
    return ms;
}

// The folders of the layout below `target`, `target` itself first.
void MakeLayout(const std::wstring& target) {
    for (const wchar_t* folder : {L"", L"Tvx", L"STARTUP", L"Tvx\\Uninstall", L"Fonts"}) {
        const std::wstring made = target + folder;
        Check(Answer(CreateDirectoryW(made.c_str(), nullptr)), "CreateDirectoryW", made);
    }
}

// The payload copied into the layout below `target` by the plain system call; its folders exist.
void CopyPayload(const std::wstring& startFolder, const std::wstring& target) {
    const Layout layout = Below(target);
    for (const Copy& file : Payload()) {
        const std::wstring to = layout.Of(file);
        Check(Answer(CopyFileW((startFolder + file.source).c_str(), to.c_str(), FALSE)), "CopyFileW", to);
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
    const Layout layout = Below(target);
    const runtime::FileSystemObject files;
    const Clock::time_point start = Clock::now();
    for (const Copy& file : Payload()) {
        const std::wstring path = layout.Of(file);
        if (plain) {
            Check(Answer(DeleteFileW(path.c_str())), "DeleteFileW", path);
        } else {
            Check(files.TryDeleteFiles(Narrow(path)), "TryDeleteFiles", path);
        }
    }
    const double ms = MsSince(start);
    CheckPayload(startFolder, layout, false);
    return ms;
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

struct Figures {
    std::vector<double> wizard;
    std::vector<double> bare;
    std::vector<double> install;
    std::vector<double> plain;
    std::vector<double> deletes;
    std::vector<double> plainDeletes;
};

// Every figure, in the scratch folder with the registry pointing there; a failed operation is
// thrown as Failure.
Figures Measure(int repetitions, const std::wstring& scratch, const std::wstring& bin) {
    const std::wstring standins = bin + L"standins\\";
    const std::wstring startFolder = scratch + L"Setup\\";
    const std::wstring word = scratch + L"Office 11\\";
    const std::wstring fonts = scratch + L"Fonts\\";
    const std::wstring deletes = scratch + L"Deletes\\";
    Check(Answer(CreateDirectoryW(scratch.c_str(), nullptr)), "CreateDirectoryW", scratch);
    CopyTree(bin + L"..\\sample\\", startFolder);
    Check(Answer(CreateDirectoryW(word.c_str(), nullptr)), "CreateDirectoryW", word);

    // One Word 2003 for the list, the Fonts folder in the scratch folder; put back afterwards.
    SetString(L"Software\\Microsoft\\Office\\11.0\\Word\\Options", L"PROGRAMDIR", word);
    SetString(kShellFolders, L"Fonts", fonts.substr(0, fonts.size() - 1));

    Figures figures;
    // A first start of each, not counted: the first start after a build reads the files from disk.
    StartUntilReady(startFolder + L"TvxSetup.exe", scratch, true);
    StartUntilReady(standins + L"barewindow.exe", scratch, false);
    for (int i = 0; i < repetitions; ++i) {
        figures.wizard.push_back(StartUntilReady(startFolder + L"TvxSetup.exe", scratch, true));
        figures.bare.push_back(StartUntilReady(standins + L"barewindow.exe", scratch, false));
    }

    InstallCopies(startFolder, word, fonts, standins);
    for (int i = 0; i < repetitions; ++i) {
        figures.install.push_back(InstallCopies(startFolder, word, fonts, standins));
        figures.plain.push_back(PlainCopies(startFolder, scratch + L"Plain\\"));
    }

    // Trusted once it exists, and kept: the deletes work in the folder that was trusted.
    MakeLayout(deletes);
    runtime::FileSystemObject::TrustFolder(Narrow(deletes));
    for (int i = 0; i < repetitions; ++i) {
        figures.deletes.push_back(Deletes(startFolder, deletes, false));
        figures.plainDeletes.push_back(Deletes(startFolder, deletes, true));
    }
    return figures;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int repetitions = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    const std::wstring bin = OwnFolder() + L"..\\";

    wchar_t tempBase[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempBase);
    const std::wstring scratch =
        std::wstring(tempBase) + L"tvx-benchmark-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    // Wine hands process ids out again: what an ended run of the same id left goes first.
    RemoveTree(scratch);

    wchar_t savedFonts[MAX_PATH] = {};
    DWORD savedSize = sizeof savedFonts;
    const bool hadFonts = RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"Fonts", RRF_RT_REG_SZ, nullptr, savedFonts,
                                       &savedSize) == ERROR_SUCCESS;
    RegDeleteTreeW(HKEY_CURRENT_USER, kWord11);

    Figures figures;
    int exitCode = 0;
    try {
        figures = Measure(repetitions, scratch, bin);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.line.c_str());
        exitCode = 1;
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
    if (exitCode != 0) {
        return exitCode;
    }

    const double wizardMedian = Median(figures.wizard);
    const double bareMedian = Median(figures.bare);
    const double installMedian = Median(figures.install);
    const double plainMedian = Median(figures.plain);
    const double deleteMedian = Median(figures.deletes);
    const double plainDeleteMedian = Median(figures.plainDeletes);
    std::printf("%s, %d repetitions each, medians in ms\n", WineVersion().c_str(), repetitions);
    std::printf("Start until ready   TvxSetup.exe (window shown, list filled) %8.1f   bare window program %8.1f"
                "   ratio %.2f (bar 1.5)\n",
                wizardMedian, bareMedian, wizardMedian / bareMedian);
    std::printf("Copies of %zu files  install (\"Weiter >\" to last font)       %8.1f   plain copy          %8.1f"
                "   ratio %.2f (bar 1.2)\n",
                Payload().size(), installMedian, plainMedian, installMedian / plainMedian);
    std::printf("Deletes of %zu files uninstall's (file component)          %8.1f   plain delete        %8.1f"
                "   ratio %.2f\n",
                Payload().size(), deleteMedian, plainDeleteMedian, deleteMedian / plainDeleteMedian);
    std::printf("Each run:\n  TvxSetup.exe start  %s\n  bare window start   %s\n  install copies      %s\n"
                "  plain copies        %s\n  component deletes   %s\n  plain deletes       %s\n",
                List(figures.wizard).c_str(), List(figures.bare).c_str(), List(figures.install).c_str(),
                List(figures.plain).c_str(), List(figures.deletes).c_str(), List(figures.plainDeletes).c_str());
    return 0;
}
