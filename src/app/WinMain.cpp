#include "setup/Tvx_UFSetup.h"

#include <windows.h>

namespace {

// A kernel32 function that not every Windows the program runs on has, looked up at run time: in
// the import table, its absence would keep the program from starting at all. Null where missing.
template <typename Function> Function KernelFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// The setup folder holds the add-in's runtime support files under the names of system DLLs
// (OLEAUT32.DLL, COMCAT.DLL, ...): wherever the system lets the program say so, every library
// loaded from here on comes from the system folder, never from the program's own.
void LoadLibrariesFromSystemFolder() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    // Windows 7 lacks SetDefaultDllDirectories without update KB2533623; Windows 8 and later have it.
    const auto setDirectories = KernelFunction<SetDirectories>("SetDefaultDllDirectories");
    if (setDirectories != nullptr && setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return;
    }
    // There the program's own folder stays first in the search and only the current folder can be
    // taken out of it; the program itself asks for none of the support files.
    SetDllDirectoryW(L"");
}

// An elevated setup (run from the list of installed programs, or by an administrator) follows no
// junction or link that a user without administrator rights made: such a link could lead a delete
// or a copy of the setup out of the folders it works in. Windows 11 has the policy; elsewhere the
// call is missing or refuses, and the setup's own checks are what holds.
void RefuseUntrustedLinks() {
    using SetPolicy = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
    // Windows 7 lacks SetProcessMitigationPolicy; Windows 8 and later have it.
    const auto setPolicy = KernelFunction<SetPolicy>("SetProcessMitigationPolicy");
    if (setPolicy != nullptr) {
        PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy{};
        policy.EnforceRedirectionTrust = 1;
        setPolicy(ProcessRedirectionTrustPolicy, &policy, sizeof policy);
    }
}

} // namespace

// The program has no procedure of its own besides its start-up window: creating the wizard runs
// its start-up, and the message loop runs until an action ends the process.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    LoadLibrariesFromSystemFolder();
    RefuseUntrustedLinks();
    return Tvx_UFSetup::Run();
}
