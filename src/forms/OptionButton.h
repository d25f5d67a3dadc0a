#pragma once

#include "Control.h"

#include <string>

namespace forms {

// An option button; the option buttons of one container form a group in which setting one
// unsets the others.
class OptionButton : public Control {
public:
    OptionButton(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption);

    bool TabStop() const noexcept override { return true; }

    bool Value() const;
    void Value(bool value);
    std::string Caption() const { return WindowText(); }

    void OnCommand(WORD code) override;
    HBRUSH OnControlColor(HDC dc) override;
};

} // namespace forms
