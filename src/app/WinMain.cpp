#include "setup/Tvx_UFSetup.h"

#include <windows.h>

// The program has no procedure of its own besides its start-up window: creating the wizard runs
// its start-up, and the message loop runs until an action ends the process.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The setup folder holds the add-in's runtime support files under the names of system DLLs
    // (OLEAUT32.DLL, COMCAT.DLL, ...): every library loaded from here on comes from the system
    // folder, never from the program's own.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return Tvx_UFSetup::Run();
}
