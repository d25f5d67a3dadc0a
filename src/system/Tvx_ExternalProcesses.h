#pragma once

#include "framework/Tvx_Node.h"
#include "runtime/Variant.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdint>
#include <string>
#include <vector>

// Tells whether a program runs and terminates it, by the name of its executable file, from a
// fresh snapshot of the running processes at every call.
class Tvx_ExternalProcesses final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_ExternalProcesses"; }

    // True when a running process's executable name contains AExeFile, ignoring case. An empty
    // AExeFile matches no process.
    runtime::Variant CheckIfProcessExists(const std::string& AExeFile);
    // Asks the system to terminate every matching process, in snapshot order, without waiting
    // for them to end; False when opening, querying, terminating or closing one failed (the rest
    // are not tried). An empty AExeFile matches no process: nothing is terminated.
    runtime::Variant KillProcess(const std::string& AExeFile);

private:
    // The last index of ProcessList, or -1 when no snapshot could be taken or read.
    int32_t CreateProcessList();
    int32_t ProcessListBuild(const char* ALocation);
    runtime::Variant CheckIfStringContains(const runtime::Variant& AString, const runtime::Variant& APattern);

    // The executable name in a record: the text of its name field up to the first zero character.
    static std::string ExeNameOf(const PROCESSENTRY32W& ARecord);

    // The records in their wide form: a name with a character the ANSI code page lacks would
    // read as a look-alike there.
    std::vector<PROCESSENTRY32W> ProcessList;
};
