#include "Tvx_ExternalProcesses.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Handle.h"
#include "runtime/Text.h"

#include <cwchar>

using runtime::Variant;

namespace {

// Terminate to end it, query to read its exit code first.
constexpr DWORD kTerminateAndQuery = PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION;

} // namespace

// A fresh process list; a list that cannot be built is reported as an internal error of the
// operation named, and the result is -1, so that no process is looked at.
int32_t Tvx_ExternalProcesses::ProcessListBuild(const char* ALocation) {
    ErrorTrap trap(Root, TypeName());
    int32_t last = -1;
    trap([&] { last = CreateProcessList(); });
    if (last == -1) {
        trap([&] { RootObject().Errors()->MessageBoxInternalErrorStandard("ProcessNumber", ALocation); });
    }
    return last;
}

Variant Tvx_ExternalProcesses::CheckIfProcessExists(const std::string& AExeFile) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    const int32_t last = ProcessListBuild("Tvx_ExternalProcesses.CheckIfProcessExists");
    result = false;
    // An empty name would be found in every process's name.
    if (AExeFile.empty()) {
        return result;
    }
    for (int32_t index = 0; index <= last; ++index) {
        if (trap.If([&] {
                return CheckIfStringContains(ExeNameOf(ProcessList[static_cast<size_t>(index)]), AExeFile).ToBool();
            })) {
            result = true;
            break;
        }
    }
    return result;
}

Variant Tvx_ExternalProcesses::KillProcess(const std::string& AExeFile) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    const int32_t last = ProcessListBuild("Tvx_ExternalProcesses.KillProcess");
    result = false;
    // An empty name would match every process, this one and the system's own included.
    if (AExeFile.empty()) {
        result = true;
        return result;
    }
    for (int32_t index = 0; index <= last; ++index) {
        const PROCESSENTRY32W& record = ProcessList[static_cast<size_t>(index)];
        if (!trap.If([&] { return CheckIfStringContains(ExeNameOf(record), AExeFile).ToBool(); })) {
            continue;
        }
        runtime::KernelHandle process(OpenProcess(kTerminateAndQuery, FALSE, record.th32ProcessID));
        if (!process) {
            return result;
        }
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(process.get(), &exitCode)) {
            return result;
        }
        // A running process's code is the still-active code 259, which becomes its exit code.
        if (!TerminateProcess(process.get(), exitCode)) {
            return result;
        }
        if (!CloseHandle(process.release())) {
            return result;
        }
    }
    result = true;
    return result;
}

int32_t Tvx_ExternalProcesses::CreateProcessList() {
    int32_t result = -1;
    ErrorTrap trap(Root, TypeName());
    ProcessList.assign(1, PROCESSENTRY32W{});
    // The process list of a 32-bit program under WOW64 holds the 64-bit processes too (only module
    // lists stop at the kind's border), and they are opened and ended alike: a 64-bit Word of a
    // later version counts as a running Word.
    runtime::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return result;
    }
    // The record's size as this build lays it out; a 64-bit record is longer than a 32-bit one.
    PROCESSENTRY32W record{};
    record.dwSize = sizeof record;
    if (!Process32FirstW(snapshot.get(), &record)) {
        return result;
    }
    ProcessList[0] = record;
    int32_t last = 0;
    trap([&] {
        // Stored first, counted after: a store that fails leaves the count at the last record held.
        while (Process32NextW(snapshot.get(), &record)) {
            ProcessList.push_back(record);
            ++last;
        }
    });
    if (CloseHandle(snapshot.release())) {
        result = last;
    }
    return result;
}

Variant Tvx_ExternalProcesses::CheckIfStringContains(const Variant& AString, const Variant& APattern) {
    Variant result;
    ErrorTrap trap(Root, TypeName());
    trap([&] {
        result = runtime::InStr(1, runtime::LCase(AString.ToString()), runtime::LCase(APattern.ToString())) > 0;
    });
    return result;
}

std::string Tvx_ExternalProcesses::ExeNameOf(const PROCESSENTRY32W& ARecord) {
    return runtime::Narrow(std::wstring_view(ARecord.szExeFile, wcsnlen(ARecord.szExeFile, MAX_PATH)));
}
