#include "support/TestSupport.h"

#include "runtime/Handle.h"
#include "runtime/Process.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace testsupport {

using runtime::Narrow;
using runtime::Widen;

std::string BinFolder() {
    return runtime::ProgramFolder() + "\\";
}

std::string StandinPath(const std::string& name) {
    return BinFolder() + "standins\\" + name;
}

TempFolder::TempFolder(const std::string& hint) {
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    static unsigned counter = 0;
    for (;;) {
        path_ =
            Narrow(base) + hint + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
        if (CreateDirectoryW(Widen(path_).c_str(), nullptr)) {
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("cannot create " + path_);
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot read " + path);
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot write " + path);
    }
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void RemoveTree(const std::string& path) {
    std::wstring folder = Widen(path);
    if (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(Narrow(child));
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

namespace {

// The Unix name of a path, which need not exist yet; empty where Wine gives none.
std::string UnixName(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return {};
    }
    char* name = convert(Widen(windowsPath).c_str());
    if (name == nullptr) {
        return {};
    }
    std::string unixName = name;
    HeapFree(GetProcessHeap(), 0, name);
    return unixName;
}

} // namespace

int RunUnix(const std::string& command, std::initializer_list<std::string> windowsPaths,
            std::chrono::milliseconds limit) {
    // Wine starts Unix programs as well as its own, but hands out no handle to wait on: a shell
    // around the command writes its exit code to a file, under another name first and then renamed,
    // so that the file is never read half written. The paths go to the shell as arguments of their
    // own, blanks and umlauts and all.
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, base);
    const std::string exitFile =
        Narrow(base) + "tvx-unix-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".exit";
    const std::string exitName = UnixName(exitFile);
    if (exitName.empty()) {
        ADD_FAILURE() << "no Unix name for " << exitFile;
        return -1;
    }
    std::string line = "Z:\\bin\\sh -c \"/bin/" + command +
                       " \\\"$@\\\"; echo $? >\\\"$0.part\\\" && /bin/mv \\\"$0.part\\\" \\\"$0\\\"\" \"" + exitName +
                       "\"";
    for (const std::string& path : windowsPaths) {
        const std::string name = UnixName(path);
        if (name.empty()) {
            ADD_FAILURE() << "no Unix name for " << path;
            return -1;
        }
        line += " \"" + name + "\"";
    }
    std::wstring wide = Widen(line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        ADD_FAILURE() << "cannot start " << line;
        return -1;
    }
    const runtime::KernelHandle process(started.hProcess);
    const runtime::KernelHandle thread(started.hThread);
    if (!WaitFor([&] { return FileExists(exitFile); }, limit)) {
        ADD_FAILURE() << "no end in time: " << line;
        return -1;
    }
    const std::string code = ReadFile(exitFile);
    DeleteFileW(Widen(exitFile).c_str());
    return std::atoi(code.c_str());
}

UnixLink::UnixLink(const std::string& link, const std::string& target) : link_(link) {
    EXPECT_EQ(RunUnix("ln -s", {target, link}), 0) << link;
}

Immutable::Immutable(const std::string& path) : path_(path) {
    EXPECT_EQ(RunUnix("chattr +i", {path}), 0) << path;
}

Immutable::~Immutable() {
    EXPECT_EQ(RunUnix("chattr -i", {path_}), 0) << path_;
}

const std::string& WhyNoImmutableFiles() {
    static const std::string whyNot = [] {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, base);
        const std::string probe = Narrow(base) + "tvx-immutable-" + std::to_string(GetCurrentProcessId());
        const std::string said = probe + ".said";
        WriteFile(probe, "probe");
        // The flag comes off at once: a probe that stayed immutable would outlive the run. chattr's
        // complaint goes to a file of its own; RunUnix hands the paths once more to the last word.
        const int code =
            RunUnix("chattr +i -- \\\"$1\\\" 2>\\\"$2\\\" && /bin/chattr -i -- \\\"$1\\\" && true", {probe, said});
        std::string reason;
        if (code != 0) {
            reason = FileExists(said) ? ReadFile(said) : std::string();
            while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
                reason.pop_back();
            }
            reason = "no file can be made immutable here (chattr +i, exit code " + std::to_string(code) +
                     (reason.empty() ? std::string() : ": " + reason) +
                     "); that needs root and a file system that has the immutable flag";
        }
        DeleteFileW(Widen(said).c_str());
        DeleteFileW(Widen(probe).c_str());
        return reason;
    }();
    return whyNot;
}

// The prefix's folder of drives is where drive C: lies: its Unix name, "dosdevices/c:/" cut off,
// in the shell's own words (Wine gives no Unix name for a name with a colon).
WineDrive::WineDrive(const std::string& folder) {
    const DWORD taken = GetLogicalDrives();
    for (char letter = 'p'; letter <= 'y' && root_.empty(); ++letter) {
        if ((taken & (1u << (letter - 'a'))) != 0) {
            continue;
        }
        const std::string drive = "\\\"${2%c:/}\\\"" + std::string(1, letter) + ":";
        if (RunUnix("ln -s -- \\\"$1\\\" " + drive + " && true", {folder, "C:\\"}) == 0) {
            root_ = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":\\";
        }
    }
    EXPECT_FALSE(root_.empty()) << "no drive letter for " << folder;
    // Wine's file calls read the drives anew once a second: until then the folder's final path
    // names another drive, and the test would not see the new one.
    const auto named = [&] {
        const runtime::FileHandle opened(CreateFileW(Widen(folder).c_str(), FILE_READ_ATTRIBUTES,
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        wchar_t place[MAX_PATH] = {};
        return opened && GetFinalPathNameByHandleW(opened.get(), place, MAX_PATH, FILE_NAME_NORMALIZED) != 0 &&
               Narrow(place).substr(0, 7) == "\\\\?\\" + root_;
    };
    EXPECT_TRUE(root_.empty() || WaitFor(named, std::chrono::seconds(5))) << root_ << " for " << folder;
}

WineDrive::~WineDrive() {
    if (!root_.empty()) {
        const std::string drive = "\\\"${1%c:/}\\\"" + std::string(1, static_cast<char>(root_[0] - 'A' + 'a')) + ":";
        EXPECT_EQ(RunUnix("rm -f -- " + drive + " && true", {"C:\\"}), 0) << root_;
    }
}

UnixLink::~UnixLink() {
    // Whatever now has the link's name goes: a file that replaced the link too.
    EXPECT_EQ(RunUnix("rm -f", {link_}), 0) << link_;
    EXPECT_FALSE(FileExists(link_)) << link_;
}

} // namespace testsupport
