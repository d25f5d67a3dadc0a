#pragma once

#include "runtime/Handle.h"

#include <windows.h>

namespace forms {

// A picture from the program's resources (a PNG), decoded once into a bitmap that is drawn
// unscaled.
class Picture {
public:
    Picture() = default;
    // Raises a run-time error when the resource is missing or cannot be decoded.
    explicit Picture(int resourceId);

    HBITMAP Bitmap() const noexcept { return static_cast<HBITMAP>(bitmap_.get()); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    explicit operator bool() const noexcept { return static_cast<bool>(bitmap_); }

    // Draws the picture centred in the rectangle, clipped to it.
    void DrawCentred(HDC dc, const RECT& area) const;

private:
    runtime::GdiObject bitmap_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace forms
