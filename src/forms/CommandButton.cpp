#include "CommandButton.h"

#include "runtime/Text.h"

namespace forms {

CommandButton::CommandButton(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption)
    : Control(parent, id, place, tabIndex) {
    Create(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, runtime::Widen(caption));
}

std::string CommandButton::Caption() const { return WindowText(); }

void CommandButton::Caption(const std::string& caption) { WindowText(caption); }

void CommandButton::Default(bool isDefault) {
    default_ = isDefault;
    SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
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
