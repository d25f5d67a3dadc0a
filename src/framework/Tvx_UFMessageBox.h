#pragma once

#include "Tvx_Node.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/TextBox.h"
#include "runtime/Variant.h"

// The one window of the program's own message box: four icons, a headline, a body and ten
// buttons in four rows. Tvx_Tools.MessageBox fills it anew for every dialog.
class Tvx_UFMessageBox final : public forms::Form, public Tvx_Node {
public:
    // Control ids, in the order of the controls' identifiers; test drivers find the controls by them.
    enum ControlId : int {
        kIdIconInfo = 1001,
        kIdButton0Row2,
        kIdButton1Row2,
        kIdButton2Row2,
        kIdTextBox,
        kIdButton0Row1,
        kIdButton1Row1,
        kIdButton0Row0,
        kIdIconQuestion,
        kIdIconError,
        kIdTextBoxBig,
        kIdButton0Row3,
        kIdButton1Row3,
        kIdButton2Row3,
        kIdButton3Row3,
        kIdIconWarning,
    };

    Tvx_UFMessageBox();

    forms::Image& IconInfo() { return *FIconInfo; }
    forms::CommandButton& Button0Row2() { return *FButton0Row2; }
    forms::CommandButton& Button1Row2() { return *FButton1Row2; }
    forms::CommandButton& Button2Row2() { return *FButton2Row2; }
    forms::TextBox& TextBox() { return *FTextBox; }
    forms::CommandButton& Button0Row1() { return *FButton0Row1; }
    forms::CommandButton& Button1Row1() { return *FButton1Row1; }
    forms::CommandButton& Button0Row0() { return *FButton0Row0; }
    forms::Image& IconQuestion() { return *FIconQuestion; }
    forms::Image& IconError() { return *FIconError; }
    forms::TextBox& TextBoxBig() { return *FTextBoxBig; }
    forms::CommandButton& Button0Row3() { return *FButton0Row3; }
    forms::CommandButton& Button1Row3() { return *FButton1Row3; }
    forms::CommandButton& Button2Row3() { return *FButton2Row3; }
    forms::CommandButton& Button3Row3() { return *FButton3Row3; }
    forms::Image& IconWarning() { return *FIconWarning; }

    const char* TypeName() const noexcept override { return "Tvx_UFMessageBox"; }

    // Shows the window modally; returns when a button's click has hidden it.
    void Show();
    void Hide();
    runtime::Variant Reply() const;

    // The button of one row (0 to 3) and index (0 to 3); indexes above the row's last button
    // name its last button.
    forms::CommandButton& RowButton(int row, int index);

protected:
    void UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) override;

private:
    void Button0Row0_Click() { ButtonClick(0); }
    void Button0Row1_Click() { ButtonClick(0); }
    void Button1Row1_Click() { ButtonClick(1); }
    void Button0Row2_Click() { ButtonClick(0); }
    void Button1Row2_Click() { ButtonClick(1); }
    void Button2Row2_Click() { ButtonClick(2); }
    void Button0Row3_Click() { ButtonClick(0); }
    void Button1Row3_Click() { ButtonClick(1); }
    void Button2Row3_Click() { ButtonClick(2); }
    void Button3Row3_Click() { ButtonClick(3); }
    // Stores the pressed button's index and hides the window, which ends Show.
    void ButtonClick(int16_t reply);

    forms::Image* FIconInfo;
    forms::CommandButton* FButton0Row2;
    forms::CommandButton* FButton1Row2;
    forms::CommandButton* FButton2Row2;
    forms::TextBox* FTextBox;
    forms::CommandButton* FButton0Row1;
    forms::CommandButton* FButton1Row1;
    forms::CommandButton* FButton0Row0;
    forms::Image* FIconQuestion;
    forms::Image* FIconError;
    forms::TextBox* FTextBoxBig;
    forms::CommandButton* FButton0Row3;
    forms::CommandButton* FButton1Row3;
    forms::CommandButton* FButton2Row3;
    forms::CommandButton* FButton3Row3;
    forms::Image* FIconWarning;

    // Written only by the click handlers and never cleared: it holds the index of the button
    // last pressed in any dialog.
    runtime::Variant FReply;
};
