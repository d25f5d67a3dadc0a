#pragma once

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>

// Helpers shared by the test programs: where the built programs lie, scratch folders and files.
namespace testsupport {

// The folder of the running test program (build\bin), with a trailing backslash.
std::string BinFolder();
// A stand-in program built beside the tests (build\bin\standins\<name>).
std::string StandinPath(const std::string& name);

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "tvx");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder path with a trailing backslash.
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);

// Polls until the condition holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// Runs a command of the Unix system (a program in /bin and its options) on the Unix names of the
// paths, and waits for its end: what a test does to the files that no Windows call can do (a
// symbolic link, a mounted file system). Its exit code; -1, with a test failure, when it could not
// be started or did not end in time.
int RunUnix(const std::string& command, std::initializer_list<std::string> windowsPaths,
            std::chrono::milliseconds limit = std::chrono::seconds(10));

// A symbolic link made as a Unix user makes one (Wine's own call makes none), removed when the
// object goes. Wine shows a link to a folder as a reparse point, and a link to a file as the file.
class UnixLink {
public:
    UnixLink(const std::string& link, const std::string& target);
    ~UnixLink();
    UnixLink(const UnixLink&) = delete;
    UnixLink& operator=(const UnixLink&) = delete;

private:
    std::string link_;
};

// A file or folder that nobody may change, rename or delete, as the Unix system's immutable flag
// makes it: Wine marks such a file for delete, says it did, and removes nothing when the handle
// closes; an entry of such a folder likewise. The flag goes when the object goes. A test that makes
// one starts with TVX_SKIP_WITHOUT_IMMUTABLE_FILES(), before it lays anything out.
class Immutable {
public:
    explicit Immutable(const std::string& path);
    ~Immutable();
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

private:
    std::string path_;
};

// Empty where Immutable works here; otherwise why not, in chattr's words. The flag needs root and a
// file system that has it (ext4, xfs, btrfs, a recent tmpfs; not ramfs), so it is tried once in the
// temporary folder, where the tests make their files, and the answer kept for the process.
const std::string& WhyNoImmutableFiles();

// Another drive letter for a folder, as the subst command makes one on Windows: a drive of Wine's
// own, a link in the prefix's folder of drives (Wine's DefineDosDevice makes a name that no file
// call follows), removed when the object goes. Root() is "X:\\", empty where no letter was free.
class WineDrive {
public:
    explicit WineDrive(const std::string& folder);
    ~WineDrive();
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    const std::string& Root() const noexcept { return root_; }

private:
    std::string root_;
};

} // namespace testsupport

// Skips the test, with the reason, where no file can be made immutable.
#define TVX_SKIP_WITHOUT_IMMUTABLE_FILES()                                                                             \
    do {                                                                                                               \
        if (const std::string& tvxWhyNot = ::testsupport::WhyNoImmutableFiles(); !tvxWhyNot.empty()) {                 \
            GTEST_SKIP() << tvxWhyNot;                                                                                 \
        }                                                                                                              \
    } while (false)
