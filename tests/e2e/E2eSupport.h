#pragma once

#include "support/DialogAnswerer.h"
#include "support/WordSandbox.h"

#include <windows.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

// Running TvxSetup.exe as its own process in a sandbox and driving it through its windows, as a
// user or an automation tool does.
namespace e2e {

using namespace std::chrono_literals;

// Everything one run touches, under one temporary folder: a copy of the sample start folder,
// the Word program folders, the Fonts folder and TEMP; the registry values point there.
class Sandbox : public testsupport::WordSandbox {
public:
    Sandbox();

    // The start folder (with a blank and an umlaut in its path), ending in a backslash.
    const std::string& StartFolder() const noexcept { return startFolder_; }
    const std::string& TempDir() const noexcept { return tempDir_; }
    // The log the stand-ins (Word, the Fonts view) write how they were started to.
    const std::string& StandinLog() const noexcept { return standinLog_; }
    std::string StandinLogText() const;

private:
    std::string startFolder_;
    std::string tempDir_;
    std::string standinLog_;
};

// The sample start folder the build makes (build\sample), ending in a backslash.
std::string SampleFolder();
// Copies a folder with everything in it.
void CopyTree(const std::string& from, const std::string& to);

// A program of the sandbox as its own process: started here, with TEMP and the stand-ins' log
// taken from the sandbox, or found running (a process another one started). It ends with the test
// at the latest.
class Process {
public:
    // commandLine as the system's list of installed programs would run it.
    Process(const std::string& commandLine, const Sandbox& sandbox);
    // Starts the command line with the program file named apart: the system then hands the
    // command line to the program exactly as written, an unquoted path with blanks included (Wine
    // quotes such a path when it has to find the program file in the command line itself). TEMP
    // is the sandbox's, or the folder given (ending in a backslash).
    Process(const std::string& programFile, const std::string& commandLine, const Sandbox& sandbox,
            const std::string& tempDir = "");
    // Opens a process that runs already.
    explicit Process(DWORD processId);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const noexcept { return processId_; }
    // Held as long as the object lives: while it is open, the system gives the id to no other
    // process, even after this one has ended.
    HANDLE Handle() const noexcept { return process_; }
    // True when the process ended within the limit; its exit code then in exitCode.
    bool WaitForExit(std::chrono::milliseconds limit, DWORD* exitCode = nullptr);
    bool Running();
    // The command line and the start-up show state the process was given, read from its own
    // memory; empty and -1 when they cannot be read. Read them once the program shows its
    // window: right after the start Wine may not have set them up in the new process yet.
    std::string CommandLine();
    int StartShowState();

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// When the process of the handle was created, in the system's 100 ns units; 0 when that cannot
// be read.
ULONGLONG CreationTimeOf(HANDLE process);
// The id of the process that started the process of the handle, as the system noted it at the
// start; 0 when it cannot be read. The note stays when that process has ended, and the system may
// since have given the id to a later process.
DWORD CreatorIdOf(HANDLE process);

// The current folder of a process (the sandbox, for the programs the tests start).
std::string CurrentFolderOf(DWORD processId);
// The top-level windows of a process.
std::vector<HWND> TopLevelWindowsOf(DWORD processId);

// The program started from the sandbox's start folder, with arguments.
std::string SetupCommand(const Sandbox& sandbox, const std::string& arguments = "");

// The wizard window of a process, once it is shown; null when it did not come up in time.
HWND WaitForWizard(DWORD processId, std::chrono::milliseconds limit = 30s);
// A control of the wizard by its id, also inside the frames.
HWND WizardControl(HWND wizard, int id);
std::string TextOf(HWND control);
bool Checked(HWND optionButton);
std::vector<std::string> ListItems(HWND listBox);
int ListSelection(HWND listBox);
void Click(HWND button);
// Enter, sent to the control with the focus in the window's thread.
void PressEnter(HWND window);

// The ids of every process whose executable file has this name.
std::vector<DWORD> ProcessesNamed(const std::string& exeName);
// Ends every process of this name; for stand-ins a test started or made the program start.
void EndProcessesNamed(const std::string& exeName);

// The top-level windows of a process, one line each: for the message of a failed test.
std::string WindowsOf(DWORD processId);

// Waits until the condition holds; false after the limit.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds limit = 20s);

} // namespace e2e
