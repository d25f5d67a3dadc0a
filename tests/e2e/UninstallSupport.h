#pragma once

#include "E2eSupport.h"
#include "InstallRoad.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

// What the uninstall tests need beyond the install tests' support: the processes the first
// uninstall stage starts, and the installed layout as the uninstall leaves it.
namespace e2e {

// A program of the sandbox: started here, or found running (a process another one started).
// It ends with the test at the latest.
class RunningProgram {
public:
    // Opens a process that runs already.
    explicit RunningProgram(DWORD processId);
    // Starts the command line with the program file named apart: the system then hands the
    // command line to the program exactly as written, an unquoted path with blanks included (Wine
    // quotes such a path when it has to find the program file in the command line itself). TEMP
    // is the sandbox's, or the folder given (ending in a backslash).
    RunningProgram(const std::string& programFile, const std::string& commandLine, const Sandbox& sandbox,
                   const std::string& tempDir = "");
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    DWORD Id() const noexcept { return processId_; }
    bool WaitForExit(std::chrono::milliseconds limit, DWORD* exitCode = nullptr);
    // The command line and the start-up show state the process was given, read from its own
    // memory; empty and -1 when they cannot be read. Read them once the program shows its
    // window: right after the start Wine may not have set them up in the new process yet.
    std::string CommandLine();
    int StartShowState();

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// The id of the TvxSetup.exe process whose program file lies in the folder, once one runs; 0
// when none came in time.
DWORD WaitForSetupIn(const std::string& folder, std::chrono::milliseconds limit = 30s);
// Ends every process of that name whose program file lies under the folder: what a failed test
// left running in its sandbox.
void EndProgramsUnder(const std::string& exeName, const std::string& folder);

// Ends the programs the sandbox's tests run (the setup, its relaunch copies, Word, the Fonts
// folder view) when a test ends, whatever way it ends.
class SandboxPrograms {
public:
    explicit SandboxPrograms(const Sandbox& sandbox) : root_(sandbox.Root()) {}
    ~SandboxPrograms();
    SandboxPrograms(const SandboxPrograms&) = delete;
    SandboxPrograms& operator=(const SandboxPrograms&) = delete;

private:
    std::string root_;
};

// The fonts of the list present in the sandbox's Fonts folder.
std::vector<std::string> FontsPresent(const Sandbox& sandbox);

bool FolderExists(const std::string& path);
// Names sorted as FolderEntries sorts a folder's names.
std::vector<std::string> SortedNames(std::vector<std::string> names);

} // namespace e2e
