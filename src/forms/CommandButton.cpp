#include "CommandButton.h"

#include "Form.h"
#include "runtime/Text.h"

namespace forms {

namespace {

struct Walk {
    CommandButton* self;
    const std::function<void(CommandButton&)>* visit;
};

BOOL CALLBACK VisitOtherButton(HWND window, LPARAM parameter) {
    auto* walk = reinterpret_cast<Walk*>(parameter);
    auto* button = dynamic_cast<CommandButton*>(Control::FromHandle(window));
    if (button != nullptr && button != walk->self) {
        (*walk->visit)(*button);
    }
    return TRUE;
}

// Visits the form's other command buttons, those in its frames too.
void ForEachOtherButton(CommandButton& self, const std::function<void(CommandButton&)>& visit) {
    Walk walk{&self, &visit};
    EnumChildWindows(self.OwnerForm().hwnd(), VisitOtherButton, reinterpret_cast<LPARAM>(&walk));
}

} // namespace

CommandButton::CommandButton(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption)
    : Control(parent, id, place, tabIndex) {
    Create(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, runtime::Widen(caption));
}

std::string CommandButton::Caption() const { return WindowText(); }

void CommandButton::Caption(const std::string& caption) { WindowText(caption); }

// A form has one default and one cancel button at most, so that Enter and Esc press one
// button each: naming one clears the others.
void CommandButton::Default(bool isDefault) {
    if (isDefault) {
        ForEachOtherButton(*this, [](CommandButton& other) {
            if (other.Default()) {
                other.Default(false);
            }
        });
    }
    default_ = isDefault;
    SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void CommandButton::Cancel(bool isCancel) {
    if (isCancel) {
        ForEachOtherButton(*this, [](CommandButton& other) { other.cancel_ = false; });
    }
    cancel_ = isCancel;
}

void CommandButton::Click() {
    if (OnClick) {
        OnClick();
    }
}

void CommandButton::OnCommand(WORD code) {
    if (code == BN_CLICKED) {
        Click();
    }
}

} // namespace forms
