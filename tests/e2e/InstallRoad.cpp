#include "InstallRoad.h"

#include "runtime/Text.h"
#include "setup/Tvx_UFSetup.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <sstream>

namespace e2e {

using runtime::Narrow;
using runtime::Widen;

const std::vector<std::string>& FontNames() {
    static const std::vector<std::string> names{
        "MATH1___.TTF", "MATH1B__.TTF", "MATH1M__.TTF", "MATH2___.TTF", "MATH2B__.TTF", "MATH2M__.TTF", "MATH2MB_.TTF",
        "MATH3___.TTF", "MATH3B__.TTF", "math3m__.ttf", "math3mb_.ttf", "MATH4___.TTF", "MATH4B__.TTF", "MATH4M__.TTF",
        "MATH4MB_.TTF", "MATH5___.TTF", "MATH5B__.TTF", "MATH5M__.TTF", "MATH5MB_.TTF", "TvxSymb.ttf"};
    return names;
}

const std::vector<std::string>& RuntimeFileNames() {
    static const std::vector<std::string> names{"ADVPACK.DLL",  "ASYCFILT.DLL", "COMCAT.DLL",
                                                "msvbvm60.dll", "OLEAUT32.DLL", "OLEPRO32.DLL",
                                                "STDOLE2.TLB",  "W95INF16.DLL", "W95INF32.DLL"};
    return names;
}

std::string UninstallKey(int version) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvex für Microsoft Word " +
           std::to_string(version);
}

std::string VersionMarkKey(int version) {
    return "Software\\VB and VBA Program Settings\\Tvx" + std::to_string(version);
}

std::string SecurityKey(int version) {
    return "Software\\Microsoft\\Office\\" + std::to_string(version) + ".0\\Word\\Security";
}

void InstallTraces::RemoveAll() {
    for (int version = 0; version <= 41; ++version) {
        // Both views: an entry in the wrong one must not outlive the test that finds it there.
        testsupport::DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey(version), KEY_WOW64_32KEY);
        testsupport::DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey(version), KEY_WOW64_64KEY);
        testsupport::DeleteTree(HKEY_CURRENT_USER, VersionMarkKey(version));
    }
    // Version 0 is no Word version the sandbox knows; an install without a selected row would use it.
    testsupport::DeleteTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\0.0");
}

InstallTraces::InstallTraces() {
    RemoveAll();
}

InstallTraces::~InstallTraces() {
    RemoveAll();
}

WideValue ReadWide(HKEY hive, const std::string& key, const std::string& name) {
    WideValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(hive, Widen(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return value;
    }
    wchar_t data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(opened, Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        value.Type = type;
        // The text as a reader of it sees it: up to its first zero character.
        value.Text = Narrow(std::wstring(data, wcsnlen(data, size / sizeof(wchar_t))));
    }
    RegCloseKey(opened);
    return value;
}

void PlaceWordStandin(const std::string& programDir) {
    CopyFileW(Widen(testsupport::StandinPath("winword.exe")).c_str(), Widen(programDir + "winword.exe").c_str(), FALSE);
}

void FillFonts(const Sandbox& sandbox) {
    for (const std::string& font : FontNames()) {
        CopyFileW(Widen(SampleFolder() + "Fonts\\" + font).c_str(), Widen(sandbox.FontsDir() + font).c_str(), FALSE);
    }
}

std::string SameSizeOtherBytes(const std::string& fontName) {
    const std::string delivered = testsupport::ReadFile(SampleFolder() + "Fonts\\" + fontName);
    return std::string(delivered.size(), '#');
}

void FillFontsSameSizeOtherBytes(const Sandbox& sandbox) {
    for (const std::string& font : FontNames()) {
        testsupport::WriteFile(sandbox.FontsDir() + font, SameSizeOtherBytes(font));
    }
}

void ExpectFileReport(const testsupport::ShownDialog& shown, const std::string& description,
                      const std::string& errorText, int number) {
    EXPECT_EQ(shown.Headline, "Fehler");
    EXPECT_NE(shown.Body.find("Fehlerbeschreibung: \"" + description + "\"\nVisual Basic Fehler: \"" + errorText +
                              "\"\nVisual Basic Fehlernummer: " + std::to_string(number) + "\n"),
              std::string::npos)
        << shown.Body;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Widen(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = Narrow(found.cFileName);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return runtime::LCase(a) < runtime::LCase(b); });
    return names;
}

std::vector<StandinStart> StandinStarts(const Sandbox& sandbox) {
    std::vector<StandinStart> starts;
    std::istringstream log(sandbox.StandinLogText());
    std::string line;
    while (std::getline(log, line)) {
        if (line.rfind("show=", 0) == 0) {
            starts.emplace_back();
            starts.back().Show = std::stoi(line.substr(5));
        } else if (!starts.empty() && line.rfind("args=", 0) == 0) {
            starts.back().Args = line.substr(5);
        } else if (!starts.empty() && line.rfind("cmdline=", 0) == 0) {
            starts.back().CmdLine = line.substr(8);
        } else if (!starts.empty() && line.rfind("program=", 0) == 0) {
            starts.back().Program = line.substr(8);
        }
    }
    return starts;
}

std::vector<StandinStart> WordStarts(const Sandbox& sandbox) {
    std::vector<StandinStart> word;
    for (const StandinStart& start : StandinStarts(sandbox)) {
        if (runtime::LCase(start.CmdLine).find("winword.exe") != std::string::npos) {
            word.push_back(start);
        }
    }
    return word;
}

std::vector<StandinStart> FontsViewStarts(const Sandbox& sandbox) {
    std::vector<StandinStart> view;
    for (const StandinStart& start : StandinStarts(sandbox)) {
        if (start.Args.find("FontsFolder") != std::string::npos) {
            view.push_back(start);
        }
    }
    return view;
}

namespace {

// Hands each child of the parent to the action, through a handle opened once: the handle that shows
// a process to be a child is the one the action gets, so that a process given a child's id after
// the snapshot is never taken for it.
void ForEachChild(const Process& parent, const std::function<void(HANDLE child, DWORD childId)>& action) {
    if (parent.Handle() == nullptr) {
        return;
    }
    const ULONGLONG parentCreated = CreationTimeOf(parent.Handle());
    if (parentCreated == 0) {
        ADD_FAILURE() << "cannot tell when process " << parent.Id() << " was created: error " << GetLastError();
        return;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parent.Id() || entry.th32ProcessID == parent.Id()) {
            continue;
        }
        HANDLE child = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                   entry.th32ProcessID);
        if (child == nullptr) {
            continue; // ended since the snapshot
        }
        // Not before the parent: a process created earlier was started by an earlier holder of the
        // parent's id. Windows notes creation times in steps of its clock tick, and a child started
        // at once can share its parent's time: the same time counts as after.
        if (CreatorIdOf(child) == parent.Id() && CreationTimeOf(child) >= parentCreated) {
            action(child, entry.th32ProcessID);
        }
        CloseHandle(child);
    }
    CloseHandle(snapshot);
}

} // namespace

std::vector<DWORD> ChildrenOf(const Process& parent) {
    std::vector<DWORD> children;
    ForEachChild(parent, [&](HANDLE, DWORD childId) { children.push_back(childId); });
    return children;
}

void EndProcessById(DWORD processId) {
    if (processId == 0) {
        return;
    }
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId)) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

void EndChildrenOf(const Process& parent) {
    ForEachChild(parent, [](HANDLE child, DWORD) {
        TerminateProcess(child, 0);
        WaitForSingleObject(child, 5000);
    });
}

SetupRun::SetupRun(const Sandbox& sandbox, const std::string& arguments)
    : process_(SetupCommand(sandbox, arguments), sandbox),
      dialogs_(std::make_unique<testsupport::DialogAnswerer>(process_.Id())) {}

SetupRun::~SetupRun() {
    dialogs_.reset();
    // The program first, so that it starts nothing after its children were ended.
    EndProcessById(process_.Id());
    EndChildrenOf(process_);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

HWND WaitForReadyWizard(DWORD processId, std::chrono::milliseconds limit) {
    HWND wizard = WaitForWizard(processId, limit);
    if (wizard == nullptr) {
        return nullptr;
    }
    HWND weiter = WizardControl(wizard, Tvx_UFSetup::kIdWeiter);
    if (!Eventually([&] { return FocusOf(wizard) == weiter; }, limit)) {
        ADD_FAILURE() << "the start-up did not end with the focus on \"Weiter >\" but on the control "
                      << GetDlgCtrlID(FocusOf(wizard));
        return nullptr;
    }
    return wizard;
}

HWND SetupRun::Wizard() {
    if (wizard_ == nullptr) {
        wizard_ = WaitForReadyWizard(process_.Id());
    }
    return wizard_;
}

bool SetupRun::Continue(std::chrono::milliseconds limit) {
    HWND wizard = Wizard();
    if (wizard == nullptr) {
        ADD_FAILURE() << "no wizard:\n" << WindowsOf(process_.Id());
        return false;
    }
    Click(WizardControl(wizard, Tvx_UFSetup::kIdWeiter));
    return process_.WaitForExit(limit, &exitCode_);
}

AddedFiles::AddedFiles(const std::string& folder) {
    folder_ =
        CreateFileW(Widen(folder).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    worker_ = std::thread([this] { Watch(); });
    // The first request must stand before anything is added, or the system keeps no record yet.
    WaitForSingleObject(ready_, 5000);
}

AddedFiles::~AddedFiles() {
    SetEvent(stop_);
    worker_.join();
    CloseHandle(folder_);
    CloseHandle(stop_);
    CloseHandle(ready_);
}

std::vector<std::string> AddedFiles::Names() {
    // Changes reported after the last request was answered arrive with the next one.
    Sleep(200);
    std::lock_guard<std::mutex> lock(mutex_);
    return names_;
}

void AddedFiles::Watch() {
    if (folder_ == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot watch the folder";
        SetEvent(ready_);
        return;
    }
    alignas(DWORD) BYTE buffer[32768];
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (;;) {
        ResetEvent(overlapped.hEvent);
        if (!ReadDirectoryChangesW(folder_, buffer, sizeof buffer, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                   &overlapped, nullptr)) {
            ADD_FAILURE() << "cannot watch the folder: error " << GetLastError();
            SetEvent(ready_);
            break;
        }
        SetEvent(ready_);
        const HANDLE events[] = {stop_, overlapped.hEvent};
        if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
            CancelIo(folder_);
            DWORD ignored = 0;
            GetOverlappedResult(folder_, &overlapped, &ignored, TRUE);
            break;
        }
        DWORD got = 0;
        if (!GetOverlappedResult(folder_, &overlapped, &got, FALSE) || got == 0) {
            continue;
        }
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto* record = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(buffer);;
             record = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(reinterpret_cast<BYTE*>(record) +
                                                                 record->NextEntryOffset)) {
            // A copy arrives under a name of its own and is then renamed to the file's: what counts is
            // when a name shows up.
            const std::string name =
                Narrow(std::wstring_view(record->FileName, record->FileNameLength / sizeof(wchar_t)));
            if (record->Action == FILE_ACTION_ADDED || record->Action == FILE_ACTION_RENAMED_NEW_NAME) {
                names_.push_back(name);
            } else if (record->Action == FILE_ACTION_RENAMED_OLD_NAME || record->Action == FILE_ACTION_REMOVED) {
                std::erase(names_, name);
            }
            if (record->NextEntryOffset == 0) {
                break;
            }
        }
    }
    CloseHandle(overlapped.hEvent);
}

} // namespace e2e
