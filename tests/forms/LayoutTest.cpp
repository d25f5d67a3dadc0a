#include "TestForm.h"

#include "forms/Units.h"

#include <gtest/gtest.h>

using formstest::IsPlacedAt;
using formstest::TestForm;
using formstest::WindowTextOf;

namespace {

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

} // namespace

TEST(Units, OnePointIsFourThirdsOfAPixelRounded) {
    EXPECT_EQ(forms::Px(0), 0);
    EXPECT_EQ(forms::Px(12), 16);
    EXPECT_EQ(forms::Px(21.75), 29);
    EXPECT_EQ(forms::Px(44.6), 59);
    EXPECT_EQ(forms::Px(12.75), 17);
    EXPECT_EQ(forms::Px(0.375), 1);
    EXPECT_EQ(forms::Px(319.5), 426);
}

TEST(FormLayout, ClientAreaComesFromTheLayoutInPoints) {
    TestForm form;
    RECT client{};
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 340);
    // Shown, the window keeps its client area.
    form.Show(0);
    GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 340);
}

TEST(FormLayout, CaptionWithUmlautsIsShownExactly) {
    TestForm form;
    EXPECT_EQ(WindowTextOf(form.hwnd()), L"Prüfformular – Größe und Maß");
    EXPECT_EQ(form.Caption(), "Prüfformular – Größe und Maß");
    form.Caption("Überprüfung läuft");
    EXPECT_EQ(WindowTextOf(form.hwnd()), L"Überprüfung läuft");
    EXPECT_EQ(form.Caption(), "Überprüfung läuft");
}

TEST(FormLayout, ControlsOnTheFormStandAtTheirPixelPlaces) {
    TestForm form;
    EXPECT_EQ(GetParent(form.Weiter().Handle()), form.hwnd());
    EXPECT_TRUE(IsPlacedAt(form.LabelText().Handle(), 16, 8, 360, 17));
    EXPECT_TRUE(IsPlacedAt(form.Step1().Handle(), 16, 32, 368, 136));
    EXPECT_TRUE(IsPlacedAt(form.Step2().Handle(), 16, 176, 368, 64));
    EXPECT_TRUE(IsPlacedAt(form.Weiter().Handle(), 232, 296, 72, 29));
    EXPECT_TRUE(IsPlacedAt(form.Abbrechen().Handle(), 312, 296, 72, 29));
    EXPECT_TRUE(IsPlacedAt(form.Mehr().Handle(), 16, 296, 112, 29));
    EXPECT_TRUE(IsPlacedAt(form.Strip().Handle(), 0, 248, 300, 40));
    EXPECT_TRUE(IsPlacedAt(form.Picture().Handle(), 328, 244, 56, 49));
}

TEST(FormLayout, ControlsInAFrameStandInTheFramesClientArea) {
    TestForm form;
    EXPECT_EQ(GetParent(form.List().Handle()), form.Step1().Handle());
    EXPECT_EQ(GetParent(form.OptionC().Handle()), form.Step2().Handle());
    EXPECT_TRUE(IsPlacedAt(form.NoteInStep1().Handle(), 16, 16, 336, 30));
    // 44.6 pt are 59.47 pixels: the list keeps that height, not a multiple of its row height.
    EXPECT_TRUE(IsPlacedAt(form.List().Handle(), 16, 56, 160, 59));
    EXPECT_TRUE(IsPlacedAt(form.OptionA().Handle(), 192, 56, 160, 24));
    EXPECT_TRUE(IsPlacedAt(form.OptionB().Handle(), 192, 88, 160, 24));
    EXPECT_TRUE(IsPlacedAt(form.OptionC().Handle(), 16, 16, 160, 24));
    EXPECT_TRUE(IsPlacedAt(form.NoteInStep2().Handle(), 16, 43, 336, 17));
    EXPECT_TRUE(IsPlacedAt(form.OptionD().Handle(), 184, 16, 160, 24));
}

TEST(FormLayout, MovingAControlInPointsMovesItsWindow) {
    TestForm form;
    auto& button = form.Mehr();
    button.Left(30.75);
    button.Top(200.25);
    button.Width(99.9);
    button.Height(19);
    EXPECT_DOUBLE_EQ(button.Left(), 30.75);
    EXPECT_DOUBLE_EQ(button.Top(), 200.25);
    EXPECT_DOUBLE_EQ(button.Width(), 99.9);
    EXPECT_DOUBLE_EQ(button.Height(), 19);
    EXPECT_TRUE(IsPlacedAt(button.Handle(), 41, 267, 133, 25));
    auto& list = form.List();
    list.Top(12);
    EXPECT_TRUE(IsPlacedAt(list.Handle(), 16, 16, 160, 59));
}

TEST(FormLayout, TextsAndCaptionsWithUmlautsAreShownExactly) {
    TestForm form;
    EXPECT_EQ(WindowTextOf(form.LabelText().Handle()), L"Willkommen beim Prüfen: äöüß ÄÖÜ");
    EXPECT_EQ(form.LabelText().Text(), "Willkommen beim Prüfen: äöüß ÄÖÜ");
    EXPECT_EQ(WindowTextOf(form.NoteInStep1().Handle()), L"Bitte wählen Sie eine Zeile.");
    EXPECT_EQ(WindowTextOf(form.Step2().Handle()), L"Schritt 2 – Übersicht");
    EXPECT_EQ(form.Step2().Caption(), "Schritt 2 – Übersicht");
    EXPECT_EQ(WindowTextOf(form.OptionA().Handle()), L"Option Ä");
    EXPECT_EQ(form.OptionD().Caption(), "Option ß");
    EXPECT_EQ(WindowTextOf(form.Strip().Handle()), L"Bitte warten – läuft");
    EXPECT_EQ(form.Strip().Caption(), "Bitte warten – läuft");
    form.Strip().Caption("Fertig – schön");
    EXPECT_EQ(WindowTextOf(form.Strip().Handle()), L"Fertig – schön");
    form.Mehr().Caption("Zurück");
    EXPECT_EQ(WindowTextOf(form.Mehr().Handle()), L"Zurück");
    EXPECT_EQ(form.Mehr().Caption(), "Zurück");
    form.LabelText().Text("Größe: 3 × 4 „Maß“");
    EXPECT_EQ(WindowTextOf(form.LabelText().Handle()), L"Größe: 3 × 4 „Maß“");
}

TEST(FormLayout, EveryControlWritesInTahomaOfItsSize) {
    TestForm form;
    for (HWND control : {form.LabelText().Handle(), form.List().Handle(), form.OptionC().Handle(),
                         form.Weiter().Handle(), form.Strip().Handle()}) {
        const LOGFONTW font = FontOf(control);
        EXPECT_STREQ(font.lfFaceName, L"Tahoma");
        // 8.25 pt are 11 pixels.
        EXPECT_EQ(font.lfHeight, -11);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
    }
    form.LabelText().FontSize(18);
    EXPECT_EQ(FontOf(form.LabelText().Handle()).lfHeight, -24);
    EXPECT_STREQ(FontOf(form.LabelText().Handle()).lfFaceName, L"Tahoma");
}

TEST(FormLayout, TextBoxesLabelsAndImagesAreNoTabStopsButtonsListsAndOptionsAre) {
    TestForm form;
    EXPECT_FALSE(form.LabelText().TabStop());
    EXPECT_FALSE(form.Strip().TabStop());
    EXPECT_FALSE(form.Picture().TabStop());
    EXPECT_TRUE(form.List().TabStop());
    EXPECT_TRUE(form.OptionA().TabStop());
    EXPECT_TRUE(form.Weiter().TabStop());
    // The text boxes are read-only edit controls without a border.
    const auto style = GetWindowLongPtrW(form.LabelText().Handle(), GWL_STYLE);
    EXPECT_NE(style & ES_READONLY, 0);
    EXPECT_NE(style & ES_MULTILINE, 0);
    EXPECT_EQ(style & WS_BORDER, 0);
}

TEST(Frame, HidingItHidesItsControlsWhoseOwnVisibleStaysTrue) {
    TestForm form;
    form.Show(0);
    auto& frame = form.Step1();
    ASSERT_TRUE(IsWindowVisible(form.List().Handle()));
    frame.Visible(false);
    EXPECT_FALSE(frame.Visible());
    EXPECT_FALSE(IsWindowVisible(frame.Handle()));
    for (forms::Control* inside :
         {static_cast<forms::Control*>(&form.List()), static_cast<forms::Control*>(&form.OptionA()),
          static_cast<forms::Control*>(&form.NoteInStep1())}) {
        EXPECT_FALSE(IsWindowVisible(inside->Handle())) << inside->Id();
        EXPECT_TRUE(inside->Visible()) << inside->Id();
    }
    // The other frame and the form's own controls are not touched.
    EXPECT_TRUE(IsWindowVisible(form.OptionC().Handle()));
    EXPECT_TRUE(IsWindowVisible(form.Weiter().Handle()));

    frame.Visible(true);
    EXPECT_TRUE(IsWindowVisible(form.List().Handle()));
    EXPECT_TRUE(IsWindowVisible(form.OptionA().Handle()));
    EXPECT_TRUE(IsWindowVisible(form.NoteInStep1().Handle()));
}

TEST(Frame, AControlHiddenOnItsOwnStaysHiddenWhenTheFrameIsShownAgain) {
    TestForm form;
    form.Show(0);
    form.OptionB().Visible(false);
    form.Step1().Visible(false);
    form.Step1().Visible(true);
    EXPECT_FALSE(IsWindowVisible(form.OptionB().Handle()));
    EXPECT_FALSE(form.OptionB().Visible());
    EXPECT_TRUE(IsWindowVisible(form.OptionA().Handle()));
}

TEST(Controls, EnabledIsTheWindowsEnabledState) {
    TestForm form;
    form.OptionD().Enabled(false);
    EXPECT_FALSE(form.OptionD().Enabled());
    EXPECT_FALSE(IsWindowEnabled(form.OptionD().Handle()));
    form.OptionD().Enabled(true);
    EXPECT_TRUE(IsWindowEnabled(form.OptionD().Handle()));
}

TEST(Controls, EachWindowLeadsBackToItsControl) {
    TestForm form;
    EXPECT_EQ(forms::Control::FromHandle(form.List().Handle()), &form.List());
    EXPECT_EQ(forms::Control::FromHandle(GetDlgItem(form.hwnd(), TestForm::kIdWeiter)), &form.Weiter());
    EXPECT_EQ(forms::Control::FromHandle(GetDlgItem(form.Step2().Handle(), TestForm::kIdOptionD)), &form.OptionD());
    EXPECT_EQ(forms::Control::FromHandle(form.hwnd()), nullptr);
}

TEST(Controls, ALabelIsOpaqueInItsBackColour) {
    TestForm form;
    auto& strip = form.Add<forms::Label>(form, 301, forms::Place{0, 0, 60, 12}, 9, "Grün", RGB(200, 255, 200));
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(strip.Handle())));
    EXPECT_NE(brush, nullptr);
    EXPECT_EQ(GetBkColor(dc), RGB(200, 255, 200));
    EXPECT_EQ(GetDCBrushColor(dc), RGB(200, 255, 200));
    DeleteDC(dc);
    EXPECT_EQ(WindowTextOf(strip.Handle()), L"Grün");
}
