#pragma once

#include "forms/Window.h"
#include "framework/Tvx_Node.h"

#include <cstdint>
#include <string>

// Top-level windows: a form's window brought to the foreground, another program's window found
// by a part of its caption, a window hidden by its handle. Handles are 32-bit numbers, 0 for none.
class Tvx_ExternalWindows final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "Tvx_ExternalWindows"; }

    // True when the form's window was the foreground window already or the switch succeeded.
    bool WindowToForeground(forms::Window* AUserform);
    // The window nearest to the form's own in the z-order, above or below (below first at equal
    // distance), whose caption contains ATextInCaption ignoring case; 0 when none is found once
    // both ends are reached or after 20000 ms.
    int32_t WindowFind(forms::Window* AUserform, const std::string& ATextInCaption);
    // True when the window was visible before.
    bool WindowHide(int32_t AHandle);

private:
    // The form's window; a form that is not there fails as a call on an empty object does.
    static HWND FormHandle(forms::Window* AUserform);
    static std::string CaptionOf(HWND AWindow);
};
