#pragma once

#include <windows.h>

namespace forms {

// What the window services ask of a form: its top-level window's handle.
class Window {
public:
    virtual ~Window() = default;
    virtual HWND hwnd() const = 0;
};

} // namespace forms
