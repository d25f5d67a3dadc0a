#pragma once

#include "E2eSupport.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

// What the uninstall tests need beyond the program's own start: the processes the first uninstall
// stage starts, what an install leaves in the registry, and the installed layout.
namespace e2e {

// The twenty fonts and the nine support files the setup delivers, as its lists name them.
const std::vector<std::string>& DeliveredFonts();
const std::vector<std::string>& RuntimeFiles();

// Key paths under their hives: the uninstall entry (HKEY_LOCAL_MACHINE), the version mark and the
// macro security (HKEY_CURRENT_USER).
std::string UninstallEntryKey(int version);
std::string VersionMarkKey(int version);
std::string MacroSecurityKey(int version);

// The uninstall entries and version marks an install writes, removed before and after a test;
// the Word entries themselves go with the sandbox.
class InstallTraces {
public:
    InstallTraces();
    ~InstallTraces();
    InstallTraces(const InstallTraces&) = delete;
    InstallTraces& operator=(const InstallTraces&) = delete;

private:
    static void Remove();
};

// A program of the sandbox: started here, or found running (a process another one started).
// It ends with the test at the latest.
class RunningProgram {
public:
    // Opens a process that runs already.
    explicit RunningProgram(DWORD processId);
    // Starts the command line with the program file named apart: the system then hands the
    // command line to the program exactly as written, an unquoted path with blanks included (Wine
    // quotes such a path when it has to find the program file in the command line itself).
    RunningProgram(const std::string& programFile, const std::string& commandLine, const Sandbox& sandbox);
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

// Copies the delivered fonts into the sandbox's Fonts folder, as an earlier install left them: an
// install then finds every font with its size and opens no Fonts folder view.
void PlaceDeliveredFonts(const Sandbox& sandbox);
// The fonts of the list present in the sandbox's Fonts folder.
std::vector<std::string> FontsPresent(const Sandbox& sandbox);

bool FolderExists(const std::string& path);
// The names in a folder (files and folders), sorted.
std::vector<std::string> FolderContents(const std::string& folder);

} // namespace e2e
