#include "Tvx_ExternalWindows.h"

#include "Tvx_ExternalFunctions.h"
#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "runtime/Clock.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <vector>

namespace {

// The longest the search runs when the z-order does not end (windows keep coming).
constexpr uint32_t kFindLimitMs = 20000;

int32_t HandleNumber(HWND window) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

// User handles are 32-bit values on 64-bit Windows too, widened with their sign.
HWND WindowOf(int32_t handle) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
}

} // namespace

bool Tvx_ExternalWindows::WindowToForeground(forms::Window* AUserform) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    HWND window = nullptr;
    trap([&] { window = FormHandle(AUserform); });
    if (GetForegroundWindow() == window) {
        result = true;
        return result;
    }
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD ownThread = GetWindowThreadProcessId(window, nullptr);
    BOOL switched = FALSE;
    if (foregroundThread == ownThread) {
        switched = SetForegroundWindow(window);
    } else {
        // Joined to the foreground thread's input for the moment, this thread may take the
        // foreground, which the system refuses to a thread that is not in front.
        AttachThreadInput(foregroundThread, ownThread, TRUE);
        switched = SetForegroundWindow(window);
        AttachThreadInput(foregroundThread, ownThread, FALSE);
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    } else {
        ShowWindow(window, SW_SHOW);
    }
    result = switched != FALSE;
    return result;
}

int32_t Tvx_ExternalWindows::WindowFind(forms::Window* AUserform, const std::string& ATextInCaption) {
    int32_t result = 0;
    ErrorTrap trap(Root, TypeName());
    HWND down = nullptr;
    trap([&] { down = FormHandle(AUserform); });
    HWND up = down;
    int32_t start = 0;
    trap([&] { start = RootObject().ExternalFunctions()->GetTickCount(); });
    std::string pattern;
    trap([&] { pattern = runtime::LCase(ATextInCaption); });
    for (;;) {
        std::string captionDown;
        std::string captionUp;
        trap([&] { captionDown = runtime::LCase(CaptionOf(down)); });
        trap([&] { captionUp = runtime::LCase(CaptionOf(up)); });
        // In the first pass both are the form's own window, whose caption is tested first.
        if (trap.If([&] { return runtime::InStr(1, captionDown, pattern) > 0; })) {
            result = HandleNumber(down);
            break;
        }
        if (trap.If([&] { return runtime::InStr(1, captionUp, pattern) > 0; })) {
            result = HandleNumber(up);
            break;
        }
        if (down != nullptr) {
            down = GetWindow(down, GW_HWNDNEXT);
        }
        if (up != nullptr) {
            up = GetWindow(up, GW_HWNDPREV);
        }
        if (down == nullptr && up == nullptr) {
            result = 0;
            break;
        }
        // The difference modulo 2^32 stays right when the count turns negative or wraps to 0.
        if (trap.If([&] {
                return runtime::ElapsedMs(start, RootObject().ExternalFunctions()->GetTickCount()) > kFindLimitMs;
            })) {
            result = 0;
            break;
        }
    }
    return result;
}

bool Tvx_ExternalWindows::WindowHide(int32_t AHandle) {
    bool result = false;
    ErrorTrap trap(Root, TypeName());
    trap([&] { result = ShowWindow(WindowOf(AHandle), SW_HIDE) != FALSE; });
    return result;
}

HWND Tvx_ExternalWindows::FormHandle(forms::Window* AUserform) {
    if (AUserform == nullptr) {
        runtime::Raise(runtime::kErrObjectNotSet);
    }
    return AUserform->hwnd();
}

// The whole buffer the length asked for: a caption that came back shorter keeps its zero
// characters at the end, as the fixed-length buffer holds them.
std::string Tvx_ExternalWindows::CaptionOf(HWND AWindow) {
    if (AWindow == nullptr) {
        return {};
    }
    // Wide: a caption with a character the ANSI code page lacks would read as a look-alike.
    const int length = GetWindowTextLengthW(AWindow);
    if (length <= 0) {
        return {};
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(AWindow, buffer.data(), length + 1);
    return runtime::Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(length)));
}
