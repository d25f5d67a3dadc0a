#include "Keys.h"

#include "RuntimeError.h"

#include <windows.h>

namespace runtime {

void SendKeys(const std::string& keys) {
    if (keys != "{ESC}") {
        Raise(kErrInvalidCall);
    }
    // Posted to our own focus window rather than fed through the system's input queue: the key
    // must reach this program's active window even when another program is in the foreground.
    HWND target = GetFocus();
    if (target == nullptr) {
        target = GetActiveWindow();
    }
    if (target == nullptr) {
        return;
    }
    const UINT scanCode = MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, 1 | (scanCode << 16) | (1u << 30) | (1u << 31));
}

} // namespace runtime
