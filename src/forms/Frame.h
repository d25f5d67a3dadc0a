#pragma once

#include "Control.h"

#include <string>

namespace forms {

// A white panel with an etched border and a caption that holds controls; hiding it hides them.
class Frame : public Control, public Container {
public:
    Frame(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption);

    HWND ContainerHandle() const noexcept override { return Handle(); }
    Form& OwnerForm() noexcept override { return Control::OwnerForm(); }
    HBRUSH BackgroundFor(HDC dc, HWND child) override;

    std::string Caption() const { return caption_; }

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    std::string caption_;
};

} // namespace forms
