#pragma once

#include "Tvx_Node.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/TextBox.h"

// The notice that explains why the setup sets Word's macro security to "Niedrig".
class Tvx_UFMacroSecurity final : public forms::Form, public Tvx_Node {
public:
    enum ControlId : int { kIdOk = 2001, kIdLabelWelcome = 2002 };

    Tvx_UFMacroSecurity();

    forms::CommandButton& Ok() { return *FOk; }
    forms::TextBox& LabelWelcome() { return *FLabelWelcome; }

    const char* TypeName() const noexcept override { return "Tvx_UFMacroSecurity"; }

    // Shows the notice modally; returns when it has been closed.
    void Show();
    void Hide();

    // The notice's text, paragraphs separated by CR LF.
    static std::string NoticeText();

protected:
    void UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) override;

private:
    void Ok_Click();

    forms::CommandButton* FOk;
    forms::TextBox* FLabelWelcome;
};
