#pragma once

#include <cmath>

namespace forms {

// Layouts are given in points. The program is DPI-unaware (its manifest says so), so the system
// always reports 96 pixels per inch to it: one point is 4/3 pixel.
inline int Px(double points) { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }

// A control's place in its container's client area, in points.
struct Place {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

} // namespace forms
