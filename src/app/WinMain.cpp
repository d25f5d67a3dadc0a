#include "forms/Form.h"
#include "setup/Tvx_UFSetup.h"

#include <windows.h>

// The program has no procedure of its own besides its start-up window: creating the wizard runs
// its start-up, and the message loop runs until an action ends the process.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Tvx_UFSetup setup;
    setup.Show(0);
    return forms::RunMessageLoop();
}
