#include "OptionButton.h"

#include "runtime/Text.h"

namespace forms {

OptionButton::OptionButton(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption)
    : Control(parent, id, place, tabIndex) {
    // Not an automatic radio button: the group is kept here, the same for the user and for code.
    Create(L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0, runtime::Widen(caption));
}

bool OptionButton::Value() const { return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void OptionButton::Value(bool value) {
    SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!value) {
        return;
    }
    for (HWND sibling = GetWindow(Parent().ContainerHandle(), GW_CHILD); sibling != nullptr;
         sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        auto* other = dynamic_cast<OptionButton*>(Control::FromHandle(sibling));
        if (other != nullptr && other != this) {
            SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void OptionButton::OnCommand(WORD code) {
    // A click chooses the option; the focus arriving by Tab or by code does not.
    if (code == BN_CLICKED && !TakingFocus()) {
        Value(true);
    }
}

HBRUSH OptionButton::OnControlColor(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return Control::OnControlColor(dc);
}

} // namespace forms
