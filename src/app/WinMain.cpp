#include "setup/Tvx_UFSetup.h"

#include <windows.h>

namespace {

// An elevated setup (run from the list of installed programs, or by an administrator) follows no
// junction or link that a user without administrator rights made: such a link could lead a delete
// or a copy of the setup out of the folders it works in. Windows 11 has the policy; elsewhere the
// call is missing or refuses, and the setup's own checks are what holds.
void RefuseUntrustedLinks() {
    using SetPolicy = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
    const auto setPolicy = reinterpret_cast<SetPolicy>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetProcessMitigationPolicy")));
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
    // The setup folder holds the add-in's runtime support files under the names of system DLLs
    // (OLEAUT32.DLL, COMCAT.DLL, ...): every library loaded from here on comes from the system
    // folder, never from the program's own.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    RefuseUntrustedLinks();
    return Tvx_UFSetup::Run();
}
