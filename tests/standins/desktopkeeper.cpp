// Keeps the test prefix's desktop in use for a whole test run; never shipped. Wine ends a desktop
// and its explorer process about a second after the last program using it has ended, and the next
// program that needs a window starts explorer anew. Under load a gap between two tests lasts that
// long, and a program opening its first window while the desktop is torn down or still being set
// up can get no window (the wizard then fails with "Nicht genügend Speicher"). The test scripts
// start this program before the tests and end it with the Wine server.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Any call that needs the desktop makes this program one of its users; no window is shown, so
    // nothing of it can take the foreground or the focus from the programs under test.
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
