#pragma once

#include "forms/Window.h"
#include "framework/Tarvex.h"
#include "runtime/Handle.h"
#include "support/DialogAnswerer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

class Tvx_FileSystem;

// Helpers of the system layer's tests: names no other test process uses, plain windows standing
// in for forms, a clock that runs as the test says, and ways to watch DoEvents at work.
namespace systemtest {

// prefix, this process's id and a running number: unique among parallel test processes.
std::string UniqueName(const std::string& prefix);

// Nothing was reported: the error handler never stored a report.
void ExpectNoReport(Tarvex& root);

// Answers the next error dialog with "Ignorieren", as a user carrying on does. Check then
// compares the dialog's lines and what the error handler keeps with the report expected: its
// number, the failure's text and the description line (the class or the failed operation).
class ReportAnswerer {
public:
    ReportAnswerer();
    void Check(Tarvex& root, int32_t number, const std::string& errorText, const std::string& description);

private:
    testsupport::DialogAnswerer answerer_;
};

// The file tests' ground: a root with its file-system object and a fresh temporary folder, named
// after the hint, for the files and folders a test lays out.
class FileSystemFixture : public testing::Test {
protected:
    explicit FileSystemFixture(const std::string& folderHint);

    std::string Path(const std::string& name) const;
    // Returns the file's path; attributes other than 0 are set on the file afterwards.
    std::string Write(const std::string& name, const std::string& bytes, DWORD attributes = 0);
    void Folder(const std::string& name);
    // Held open without sharing, as a program holds a file it uses.
    runtime::FileHandle Lock(const std::string& path);

    Tarvex root_;
    Tvx_FileSystem& files_;
    testsupport::TempFolder folder_;
};

// A plain top-level window of the test's thread, hidden until shown, passed where a form is
// expected.
class TestForm : public forms::Window {
public:
    explicit TestForm(const std::string& caption);
    HWND hwnd() const override { return window_.get(); }

private:
    runtime::OwnedWindow window_;
};

// Orders the windows from top to bottom in the z-order, next to each other.
void StackTopDown(std::initializer_list<HWND> windows);

// Replaces the tick count: the first reading is start, each further one step later. The system's
// clock is back when the object goes.
class SteppingClock {
public:
    SteppingClock(uint32_t start, uint32_t step);
    ~SteppingClock();
    SteppingClock(const SteppingClock&) = delete;
    SteppingClock& operator=(const SteppingClock&) = delete;
    int Readings() const;
};

// A message posted to a window of the test's thread before an operation runs: still waiting
// afterwards when the operation never ran DoEvents.
class PostedMarker {
public:
    PostedMarker();
    bool StillWaiting() const;

private:
    runtime::OwnedWindow window_;
};

// Closes a file handle from inside DoEvents: a helper thread sends a window of the test's thread
// one message after the other, which the thread handles only when it looks at its messages, in
// the retries' DoEvents. The handle is closed when the last message is handled.
class ReleaseWhileRetrying {
public:
    ReleaseWhileRetrying(runtime::FileHandle& lock, int messages);
    ~ReleaseWhileRetrying();
    ReleaseWhileRetrying(const ReleaseWhileRetrying&) = delete;
    ReleaseWhileRetrying& operator=(const ReleaseWhileRetrying&) = delete;

    int Handled() const { return handled_; }
    bool Released() const { return !lock_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    runtime::FileHandle& lock_;
    const int messages_;
    std::atomic<int> handled_{0};
    std::atomic<bool> senderDone_{false};
    runtime::OwnedWindow window_;
    std::thread sender_;
};

// Counts what the program asks of the system's native file calls while the object lives (its
// import table points at counting functions, which call the system's own): the opens of one name
// relative to a folder, the files it creates, the classic renames that replace an entry of that
// name, and those that give a file that name replacing nothing (the step that puts a file set
// aside in its place, or back). Each attempt of the in-use retries opens the name anew and tries
// one replacing rename. At a given call the test can run code of its own first (another program's
// work between two steps), and can give that call an answer of its own instead of the system's.
class NativeFileCalls {
public:
    enum class Call { Open, Replace, RenameIn };

    explicit NativeFileCalls(const std::string& name);
    ~NativeFileCalls();
    NativeFileCalls(const NativeFileCalls&) = delete;
    NativeFileCalls& operator=(const NativeFileCalls&) = delete;

    int Opens() const;
    int Creates() const;
    int Replaces() const;
    int RenameIns() const;

    // At the number-th call of the kind (counted from 1, as the counts count): the action runs
    // before it; an answer other than STATUS_SUCCESS is then the call's, and the system is not
    // asked.
    void At(Call call, int number, std::function<void()> action, NTSTATUS answer = 0);
    // The system tells no place of any open file: its final path and its path on the volume are
    // both refused, as some shares of virtual machines do.
    void HidePlaces();
    // Every flush of a file's data to the disk fails, as on a disk that is full.
    void FailFlushes();
    // Every file gives the same index on its volume: 0, as some shares give none, or one number, as
    // the root of every NTFS volume has.
    void OneIndexForAll(LONGLONG index);
    // The entry of the name, and of the other name where one is given, refuses to be opened itself,
    // by its path or relative to its folder, while paths through it lead on and its path opens the
    // folder it leads to: as the junctions of the old profile names refuse everyone.
    void RefuseOpeningItself(const std::string& alsoName = {});
};
} // namespace systemtest
