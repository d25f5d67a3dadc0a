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
