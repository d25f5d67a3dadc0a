#pragma once

#include "Control.h"

#include <functional>
#include <string>

namespace forms {

// A push button. Enter presses the form's default button (unless another button has the focus),
// Esc its cancel button; a form has one of each at most.
class CommandButton : public Control {
public:
    CommandButton(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption);

    bool TabStop() const noexcept override { return true; }

    std::string Caption() const;
    void Caption(const std::string& caption);
    bool Default() const noexcept { return default_; }
    void Default(bool isDefault);
    bool Cancel() const noexcept { return cancel_; }
    void Cancel(bool isCancel);

    // Runs the click event, as a mouse click, Enter or Esc does.
    void Click();
    std::function<void()> OnClick;

    void OnCommand(WORD code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
};

} // namespace forms
