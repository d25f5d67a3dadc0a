#include "TestForm.h"

#include <gtest/gtest.h>

using formstest::PressKey;
using formstest::TestForm;

namespace {

bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Windows reports an unset radio button that gets the input focus to its parent as clicked (Wine
// does so from version 9 on; the Wine of the build machines does not yet). This gives the
// process's buttons that behaviour while it lives, for the buttons created meanwhile.
class ButtonsAsOnWindows {
public:
    ButtonsAsOnWindows() { original_ = Swap(reinterpret_cast<WNDPROC>(&Proc)); }
    ~ButtonsAsOnWindows() { Swap(original_); }
    ButtonsAsOnWindows(const ButtonsAsOnWindows&) = delete;
    ButtonsAsOnWindows& operator=(const ButtonsAsOnWindows&) = delete;

private:
    static WNDPROC Swap(WNDPROC proc) {
        HWND sample = CreateWindowExW(0, L"BUTTON", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        auto previous =
            reinterpret_cast<WNDPROC>(SetClassLongPtrW(sample, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
        DestroyWindow(sample);
        return previous;
    }

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        const LRESULT result = CallWindowProcW(original_, window, message, wParam, lParam);
        const auto type = GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
        if (message == WM_SETFOCUS && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) &&
            SendMessageW(window, BM_GETCHECK, 0, 0) == BST_UNCHECKED) {
            SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
        }
        return result;
    }

    static inline WNDPROC original_ = nullptr;
};

bool IsDefaultLook(HWND button) {
    return (GetWindowLongPtrW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

// A form shown without waiting, with the focus on one of its controls.
class ButtonsTest : public testing::Test {
protected:
    void SetUp() override { form_.Show(0); }

    // Enter or Esc pressed in the control with the focus.
    void PressInFocus(forms::Control& control, UINT key) {
        control.SetFocus();
        ASSERT_EQ(GetFocus(), control.Handle());
        PressKey(control.Handle(), key);
        // Anything the key posted on (a close request among them) has had its time.
        formstest::PumpUntil([] { return false; }, std::chrono::milliseconds(50));
    }

    void ExpectStillOpen() {
        EXPECT_TRUE(form_.IsLoaded());
        EXPECT_TRUE(IsWindowVisible(form_.hwnd()));
        EXPECT_TRUE(form_.CloseModes.empty());
    }

    TestForm form_;
};

} // namespace

TEST_F(ButtonsTest, OptionValueUnsetsTheOtherOptionsOfItsContainerOnly) {
    form_.OptionC().Value(true);
    form_.OptionA().Value(true);
    EXPECT_TRUE(form_.OptionA().Value());
    EXPECT_FALSE(form_.OptionB().Value());
    form_.OptionB().Value(true);
    EXPECT_TRUE(Checked(form_.OptionB().Handle()));
    EXPECT_FALSE(Checked(form_.OptionA().Handle()));
    EXPECT_FALSE(form_.OptionA().Value());
    // The other frame's group is not touched.
    EXPECT_TRUE(form_.OptionC().Value());
    EXPECT_TRUE(Checked(form_.OptionC().Handle()));
    EXPECT_FALSE(form_.OptionD().Value());
}

TEST_F(ButtonsTest, OptionValueFalseUnsetsOnlyThatOption) {
    form_.OptionA().Value(true);
    form_.OptionC().Value(true);
    form_.OptionA().Value(false);
    EXPECT_FALSE(form_.OptionA().Value());
    EXPECT_FALSE(form_.OptionB().Value());
    EXPECT_TRUE(form_.OptionC().Value());
}

TEST_F(ButtonsTest, TheUsersClickSetsTheOptionAndUnsetsTheOthersOfItsGroup) {
    form_.OptionA().Value(true);
    form_.OptionD().Value(true);
    PostMessageW(form_.OptionB().Handle(), BM_CLICK, 0, 0);
    formstest::Pump();
    EXPECT_TRUE(form_.OptionB().Value());
    EXPECT_FALSE(form_.OptionA().Value());
    EXPECT_TRUE(form_.OptionD().Value());
    PostMessageW(form_.OptionC().Handle(), BM_CLICK, 0, 0);
    formstest::Pump();
    EXPECT_TRUE(form_.OptionC().Value());
    EXPECT_FALSE(form_.OptionD().Value());
    EXPECT_TRUE(form_.OptionB().Value());
}

TEST_F(ButtonsTest, FocusOnAnOptionDoesNotSetIt) {
    form_.OptionA().SetFocus();
    formstest::Pump();
    ASSERT_EQ(GetFocus(), form_.OptionA().Handle());
    EXPECT_FALSE(form_.OptionA().Value());
    form_.OptionC().Value(true);
    form_.OptionD().SetFocus();
    formstest::Pump();
    EXPECT_FALSE(form_.OptionD().Value());
    EXPECT_TRUE(form_.OptionC().Value());
}

TEST_F(ButtonsTest, EnterPressesTheDefaultButtonFromAnyOtherControl) {
    ASSERT_TRUE(IsDefaultLook(form_.Weiter().Handle()));
    PressInFocus(form_.List(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 1);
    PressInFocus(form_.OptionA(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 2);
    EXPECT_FALSE(form_.OptionA().Value());
    PressInFocus(form_.NoteInStep1(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 3);
    EXPECT_EQ(form_.NoteInStep1().Text(), "Bitte wählen Sie eine Zeile.");
    PressInFocus(form_.Weiter(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 4);
    EXPECT_EQ(form_.AbbrechenClicks, 0);
    EXPECT_EQ(form_.MehrClicks, 0);
}

TEST_F(ButtonsTest, EnterWithAnotherButtonFocusedPressesThatButton) {
    PressInFocus(form_.Mehr(), VK_RETURN);
    EXPECT_EQ(form_.MehrClicks, 1);
    PressInFocus(form_.Abbrechen(), VK_RETURN);
    EXPECT_EQ(form_.AbbrechenClicks, 1);
    EXPECT_EQ(form_.WeiterClicks, 0);
}

TEST_F(ButtonsTest, EnterPressesNoDisabledOrHiddenDefaultButton) {
    form_.Weiter().Enabled(false);
    PressInFocus(form_.List(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 0);
    form_.Weiter().Enabled(true);
    form_.Weiter().Visible(false);
    PressInFocus(form_.OptionC(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 0);
    form_.Weiter().Visible(true);
    PressInFocus(form_.OptionC(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks, 1);
    EXPECT_EQ(form_.MehrClicks + form_.AbbrechenClicks, 0);
}

TEST_F(ButtonsTest, EnterWithoutDefaultButtonPressesNothing) {
    form_.Weiter().Default(false);
    EXPECT_FALSE(IsDefaultLook(form_.Weiter().Handle()));
    PressInFocus(form_.List(), VK_RETURN);
    EXPECT_EQ(form_.WeiterClicks + form_.MehrClicks + form_.AbbrechenClicks, 0);
    ExpectStillOpen();
}

TEST_F(ButtonsTest, EscPressesTheCancelButtonFromEveryControl) {
    int expected = 0;
    for (forms::Control* control :
         {static_cast<forms::Control*>(&form_.Weiter()), static_cast<forms::Control*>(&form_.List()),
          static_cast<forms::Control*>(&form_.OptionC()), static_cast<forms::Control*>(&form_.Abbrechen())}) {
        PressInFocus(*control, VK_ESCAPE);
        EXPECT_EQ(form_.AbbrechenClicks, ++expected) << control->Id();
    }
    EXPECT_EQ(form_.WeiterClicks + form_.MehrClicks, 0);
    ExpectStillOpen();
}

TEST_F(ButtonsTest, EscInAMultiLineTextBoxPressesTheCancelButtonAndDoesNotCloseTheForm) {
    form_.NoteInStep1().Text("Erste Zeile\nzweite Zeile\ndritte Zeile");
    ASSERT_NE(GetWindowLongPtrW(form_.NoteInStep1().Handle(), GWL_STYLE) & ES_MULTILINE, 0);
    PressInFocus(form_.NoteInStep1(), VK_ESCAPE);
    EXPECT_EQ(form_.AbbrechenClicks, 1);
    PressInFocus(form_.LabelText(), VK_ESCAPE);
    EXPECT_EQ(form_.AbbrechenClicks, 2);
    ExpectStillOpen();
    EXPECT_EQ(form_.NoteInStep1().Text(), "Erste Zeile\nzweite Zeile\ndritte Zeile");
}

TEST_F(ButtonsTest, EscWithoutCancelButtonDoesNothing) {
    form_.Abbrechen().Cancel(false);
    PressInFocus(form_.NoteInStep1(), VK_ESCAPE);
    PressInFocus(form_.List(), VK_ESCAPE);
    PressInFocus(form_.Weiter(), VK_ESCAPE);
    EXPECT_EQ(form_.AbbrechenClicks + form_.WeiterClicks + form_.MehrClicks, 0);
    ExpectStillOpen();
}

TEST_F(ButtonsTest, EscPressesNoDisabledOrHiddenCancelButton) {
    form_.Abbrechen().Enabled(false);
    PressInFocus(form_.List(), VK_ESCAPE);
    form_.Abbrechen().Enabled(true);
    form_.Abbrechen().Visible(false);
    PressInFocus(form_.List(), VK_ESCAPE);
    EXPECT_EQ(form_.AbbrechenClicks, 0);
    ExpectStillOpen();
}

TEST_F(ButtonsTest, OneDefaultAndOneCancelButtonPerForm) {
    form_.Mehr().Default(true);
    EXPECT_TRUE(form_.Mehr().Default());
    EXPECT_FALSE(form_.Weiter().Default());
    EXPECT_FALSE(IsDefaultLook(form_.Weiter().Handle()));
    EXPECT_TRUE(IsDefaultLook(form_.Mehr().Handle()));
    PressInFocus(form_.List(), VK_RETURN);
    EXPECT_EQ(form_.MehrClicks, 1);
    EXPECT_EQ(form_.WeiterClicks, 0);

    form_.Weiter().Cancel(true);
    EXPECT_TRUE(form_.Weiter().Cancel());
    EXPECT_FALSE(form_.Abbrechen().Cancel());
    PressInFocus(form_.List(), VK_ESCAPE);
    EXPECT_EQ(form_.WeiterClicks, 1);
    EXPECT_EQ(form_.AbbrechenClicks, 0);
}

TEST_F(ButtonsTest, AMouseClickRunsTheClickEvent) {
    PostMessageW(form_.Mehr().Handle(), BM_CLICK, 0, 0);
    formstest::Pump();
    EXPECT_EQ(form_.MehrClicks, 1);
    EXPECT_EQ(form_.WeiterClicks + form_.AbbrechenClicks, 0);
}

TEST(OptionButtonOnWindows, FocusAloneSetsNoOptionWhereTheSystemReportsItAsAClick) {
    ButtonsAsOnWindows likeWindows;
    TestForm form;
    form.Show(0);
    form.OptionA().SetFocus();
    formstest::Pump();
    ASSERT_EQ(GetFocus(), form.OptionA().Handle());
    EXPECT_FALSE(form.OptionA().Value());
    // Tab over the options sets none of them either.
    form.List().SetFocus();
    for (int press = 0; press < 4; ++press) {
        PressKey(GetFocus(), VK_TAB);
    }
    ASSERT_EQ(GetFocus(), form.OptionD().Handle());
    for (auto* option : {&form.OptionA(), &form.OptionB(), &form.OptionC(), &form.OptionD()}) {
        EXPECT_FALSE(option->Value());
    }
    // A click still chooses.
    PostMessageW(form.OptionB().Handle(), BM_CLICK, 0, 0);
    formstest::Pump();
    EXPECT_TRUE(form.OptionB().Value());
}
