#include "framework/Tarvex.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Tarvex root;
    return 0;
}
