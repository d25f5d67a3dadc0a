#include "Tvx_UFMessageBox.h"

#include "ErrorTrap.h"
#include "resources/resource.h"
#include "runtime/Keys.h"

using forms::CommandButton;
using forms::Place;
using runtime::Variant;

namespace {

forms::FormLayout Layout() {
    forms::FormLayout layout;
    layout.Caption = "MessageBox";
    layout.ClientWidth = 360.75;
    layout.ClientHeight = 240.75;
    layout.PictureId = IDP_MESSAGEBOX_BACKGROUND;
    layout.IconId = IDI_TVXSETUP;
    return layout;
}

constexpr Place kIconPlace{9, 9, 42, 42};
constexpr double kButtonTop = 198;
constexpr double kButtonWidth = 54;
constexpr double kButtonHeight = 21.75;

Place ButtonPlace(double left) { return Place{left, kButtonTop, kButtonWidth, kButtonHeight}; }

} // namespace

Tvx_UFMessageBox::Tvx_UFMessageBox() : forms::Form(Layout()) {
    // Created in the order of the identifiers; the tab order walks the buttons row by row.
    FIconInfo = &Add<forms::Image>(*this, kIdIconInfo, kIconPlace, 0, IDP_ICON_INFO);
    FButton0Row2 = &Add<CommandButton>(*this, kIdButton0Row2, ButtonPlace(123), 3, "Button1");
    FButton1Row2 = &Add<CommandButton>(*this, kIdButton1Row2, ButtonPlace(183), 4, "Button2");
    FButton2Row2 = &Add<CommandButton>(*this, kIdButton2Row2, ButtonPlace(243), 5, "Button3");
    FTextBox = &Add<forms::TextBox>(*this, kIdTextBox, Place{78, 12, 264, 168.75}, 0, "TextBox", true);
    FButton0Row1 = &Add<CommandButton>(*this, kIdButton0Row1, ButtonPlace(153), 1, "Button1");
    FButton1Row1 = &Add<CommandButton>(*this, kIdButton1Row1, ButtonPlace(213), 2, "Button2");
    FButton0Row0 = &Add<CommandButton>(*this, kIdButton0Row0, ButtonPlace(183), 0, "Button1");
    FIconQuestion = &Add<forms::Image>(*this, kIdIconQuestion, kIconPlace, 0, IDP_ICON_QUESTION);
    FIconError = &Add<forms::Image>(*this, kIdIconError, kIconPlace, 0, IDP_ICON_ERROR);
    FTextBoxBig = &Add<forms::TextBox>(*this, kIdTextBoxBig, Place{78, 12, 264, 24.75}, 0, "TextBox");
    FTextBoxBig->FontSize(18);
    FButton0Row3 = &Add<CommandButton>(*this, kIdButton0Row3, ButtonPlace(93), 6, "Button1");
    FButton1Row3 = &Add<CommandButton>(*this, kIdButton1Row3, ButtonPlace(153), 7, "Button2");
    FButton2Row3 = &Add<CommandButton>(*this, kIdButton2Row3, ButtonPlace(213), 8, "Button3");
    FButton3Row3 = &Add<CommandButton>(*this, kIdButton3Row3, ButtonPlace(273), 9, "Button4");
    FIconWarning = &Add<forms::Image>(*this, kIdIconWarning, kIconPlace, 0, IDP_ICON_WARNING);

    FButton0Row0->OnClick = [this] { Button0Row0_Click(); };
    FButton0Row1->OnClick = [this] { Button0Row1_Click(); };
    FButton1Row1->OnClick = [this] { Button1Row1_Click(); };
    FButton0Row2->OnClick = [this] { Button0Row2_Click(); };
    FButton1Row2->OnClick = [this] { Button1Row2_Click(); };
    FButton2Row2->OnClick = [this] { Button2Row2_Click(); };
    FButton0Row3->OnClick = [this] { Button0Row3_Click(); };
    FButton1Row3->OnClick = [this] { Button1Row3_Click(); };
    FButton2Row3->OnClick = [this] { Button2Row3_Click(); };
    FButton3Row3->OnClick = [this] { Button3Row3_Click(); };
}

CommandButton& Tvx_UFMessageBox::RowButton(int row, int index) {
    CommandButton* const rows[4][4] = {
        {FButton0Row0, FButton0Row0, FButton0Row0, FButton0Row0},
        {FButton0Row1, FButton1Row1, FButton1Row1, FButton1Row1},
        {FButton0Row2, FButton1Row2, FButton2Row2, FButton2Row2},
        {FButton0Row3, FButton1Row3, FButton2Row3, FButton3Row3},
    };
    return *rows[row][index];
}

void Tvx_UFMessageBox::Show() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { forms::Form::Show(1); });
}

void Tvx_UFMessageBox::Hide() {
    ErrorTrap trap(Root, TypeName());
    trap([&] { forms::Form::Hide(); });
}

Variant Tvx_UFMessageBox::Reply() const { return FReply; }

void Tvx_UFMessageBox::UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) {
    ErrorTrap trap(Root, TypeName());
    if (CloseMode == forms::kCloseByUser || CloseMode == forms::kCloseByOtherProgram) {
        // The close box answers like Esc: with the dialog's cancel button. So does a close request
        // from another program: the window stays, the caller gets an answer, the next dialog its window.
        Cancel = -1;
        trap([&] { runtime::SendKeys("{ESC}"); });
    }
}

void Tvx_UFMessageBox::ButtonClick(int16_t reply) {
    FReply = Variant::Integer(reply);
    Hide();
}
