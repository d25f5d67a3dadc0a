#pragma once

#include "Control.h"

#include <string>

namespace forms {

// A static text or an opaque coloured area.
class Label : public Control {
public:
    Label(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption,
          COLORREF backColor = RGB(255, 255, 255));

    std::string Caption() const { return WindowText(); }
    void Caption(const std::string& caption) { WindowText(caption); }

    HBRUSH OnControlColor(HDC dc) override;

private:
    COLORREF backColor_;
};

} // namespace forms
