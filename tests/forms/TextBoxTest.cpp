#include "TestForm.h"

#include <gtest/gtest.h>

#include <string>

using forms::Place;
using formstest::IsPlacedAt;
using formstest::RaisedBy;
using formstest::TestForm;
using formstest::WindowTextOf;

namespace {

constexpr int kIdExtraBox = 300;

std::string Words(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += (i == 0 ? "" : " ") + std::string(i % 2 == 0 ? "Größe" : "Übung");
    }
    return text;
}

std::string Lines(int count) {
    std::string text = "Zeile 1";
    for (int line = 2; line <= count; ++line) {
        text += "\nZeile " + std::to_string(line);
    }
    return text;
}

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

int ClientWidth(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right;
}

// The distance between two lines as the edit control draws them, in pixels.
int LineHeight(HWND edit) {
    const auto second = SendMessageW(edit, EM_LINEINDEX, 1, 0);
    const auto first = SendMessageW(edit, EM_POSFROMCHAR, 0, 0);
    const auto next = SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(second), 0);
    return static_cast<int>(HIWORD(next)) - static_cast<int>(HIWORD(first));
}

struct ControlColour {
    HBRUSH Brush;
    COLORREF Text;
    COLORREF Back;
    int BackMode;
};

// What the box's parent tells a read-only edit control to paint with.
ControlColour AskColour(HWND box) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(box), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box)));
    ControlColour colour{brush, GetTextColor(dc), GetBkColor(dc), GetBkMode(dc)};
    DeleteDC(dc);
    return colour;
}

} // namespace

TEST(TextBox, TextGivesBackWhatWasSetWhileTheEditShowsCrLf) {
    TestForm form;
    auto& box = form.LabelText();
    box.Text("Zeile 1\nZeile 2\n\nZeile 4 mit Ä");
    EXPECT_EQ(box.Text(), "Zeile 1\nZeile 2\n\nZeile 4 mit Ä");
    EXPECT_EQ(WindowTextOf(box.Handle()), L"Zeile 1\r\nZeile 2\r\n\r\nZeile 4 mit Ä");
    box.Text("\nvorn und hinten\n");
    EXPECT_EQ(box.Text(), "\nvorn und hinten\n");
    EXPECT_EQ(WindowTextOf(box.Handle()), L"\r\nvorn und hinten\r\n");
    // A text that has CR LF already keeps it, without a second CR.
    box.Text("Absatz 1\r\nAbsatz 2");
    EXPECT_EQ(box.Text(), "Absatz 1\r\nAbsatz 2");
    EXPECT_EQ(WindowTextOf(box.Handle()), L"Absatz 1\r\nAbsatz 2");
    box.Text("");
    EXPECT_EQ(box.Text(), "");
    EXPECT_EQ(WindowTextOf(box.Handle()), L"");
}

TEST(TextBox, TextAlignSetsTheEditControlsAlignment) {
    TestForm form;
    auto& box = form.LabelText();
    EXPECT_EQ(box.TextAlign(), 1);
    EXPECT_EQ(StyleOf(box.Handle()) & (ES_CENTER | ES_RIGHT), 0);
    box.TextAlign(2);
    EXPECT_EQ(box.TextAlign(), 2);
    EXPECT_EQ(StyleOf(box.Handle()) & (ES_CENTER | ES_RIGHT), ES_CENTER);
    box.TextAlign(3);
    EXPECT_EQ(box.TextAlign(), 3);
    EXPECT_EQ(StyleOf(box.Handle()) & (ES_CENTER | ES_RIGHT), ES_RIGHT);
    box.TextAlign(1);
    EXPECT_EQ(box.TextAlign(), 1);
    EXPECT_EQ(StyleOf(box.Handle()) & (ES_CENTER | ES_RIGHT), 0);
}

TEST(TextBox, OtherAlignmentsRaiseInvalidPropertyValueAndChangeNothing) {
    TestForm form;
    auto& box = form.LabelText();
    box.TextAlign(2);
    HWND before = box.Handle();
    for (int16_t bad : {0, 4, -1, 100}) {
        EXPECT_EQ(RaisedBy([&] { box.TextAlign(bad); }).Number, 380) << bad;
    }
    EXPECT_EQ(box.TextAlign(), 2);
    EXPECT_EQ(box.Handle(), before);
    EXPECT_EQ(StyleOf(box.Handle()) & (ES_CENTER | ES_RIGHT), ES_CENTER);
}

TEST(TextBox, AnAlignmentChangeKeepsTextFontPlaceZOrderAndFocus) {
    TestForm form;
    form.Show(0);
    auto& box = form.NoteInStep1();
    box.Text("Erste Zeile\nzweite Zeile");
    box.FontSize(18);
    box.SetFocus();
    HWND old = box.Handle();
    ASSERT_EQ(GetFocus(), old);
    HWND above = GetWindow(old, GW_HWNDPREV);
    HWND below = GetWindow(old, GW_HWNDNEXT);
    ASSERT_TRUE(above != nullptr || below != nullptr);

    box.TextAlign(2);
    HWND rebuilt = box.Handle();
    ASSERT_NE(rebuilt, old);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(WindowTextOf(rebuilt), L"Erste Zeile\r\nzweite Zeile");
    EXPECT_EQ(box.Text(), "Erste Zeile\nzweite Zeile");
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(rebuilt, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -24);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma");
    EXPECT_EQ(GetParent(rebuilt), form.Step1().Handle());
    EXPECT_EQ(GetDlgItem(form.Step1().Handle(), TestForm::kIdNoteInStep1), rebuilt);
    EXPECT_TRUE(IsPlacedAt(rebuilt, 16, 16, 336, 30));
    EXPECT_EQ(GetWindow(rebuilt, GW_HWNDPREV), above);
    EXPECT_EQ(GetWindow(rebuilt, GW_HWNDNEXT), below);
    EXPECT_EQ(GetFocus(), rebuilt);
    EXPECT_TRUE(IsWindowVisible(rebuilt));
    EXPECT_EQ(forms::Control::FromHandle(rebuilt), &box);
    EXPECT_EQ(box.LineCount(), 2);
}

TEST(TextBox, AnAlignmentChangeKeepsAHiddenOrDisabledBoxSo) {
    TestForm form;
    form.Show(0);
    auto& box = form.LabelText();
    box.Visible(false);
    box.TextAlign(3);
    EXPECT_FALSE(IsWindowVisible(box.Handle()));
    EXPECT_FALSE(box.Visible());
    box.Visible(true);
    EXPECT_TRUE(IsWindowVisible(box.Handle()));
    box.Enabled(false);
    box.TextAlign(2);
    EXPECT_FALSE(IsWindowEnabled(box.Handle()));
    EXPECT_TRUE(IsWindowVisible(box.Handle()));
    EXPECT_EQ(WindowTextOf(box.Handle()), L"Willkommen beim Prüfen: äöüß ÄÖÜ");
}

TEST(TextBox, LineCountIsTheNumberOfWrappedLines) {
    TestForm form;
    auto& box = form.Add<forms::TextBox>(form, kIdExtraBox, Place{12, 60, 120, 100}, 8, "kurz");
    EXPECT_EQ(box.LineCount(), 1);
    box.Text("eins\nzwei\ndrei");
    EXPECT_EQ(box.LineCount(), 3);
    box.Text(Words(12));
    const int32_t wrapped = box.LineCount();
    EXPECT_GT(wrapped, 1);
    box.Text(Words(36));
    EXPECT_GT(box.LineCount(), wrapped);
    // The same text in a wider box takes fewer lines.
    const int32_t narrow = box.LineCount();
    box.Width(270);
    EXPECT_LT(box.LineCount(), narrow);
    EXPECT_GE(box.LineCount(), 2);
}

TEST(TextBox, ScrollBarAppearsOnlyWhenTheTextNeedsMoreLinesThanFit) {
    TestForm form;
    auto& box = form.Add<forms::TextBox>(form, kIdExtraBox, Place{12, 60, 150, 48}, 8, "kurz", true);
    EXPECT_EQ(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    const int fullWidth = ClientWidth(box.Handle());

    box.Text(Lines(12));
    EXPECT_NE(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    EXPECT_LT(ClientWidth(box.Handle()), fullWidth);
    EXPECT_EQ(WindowTextOf(box.Handle()).substr(0, 16), L"Zeile 1\r\nZeile 2");
    EXPECT_EQ(box.Text(), Lines(12));

    box.Text(Lines(2));
    EXPECT_EQ(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    EXPECT_EQ(ClientWidth(box.Handle()), fullWidth);

    // At the edge: as many lines as fit show no bar, one more does.
    const int lineHeight = LineHeight(box.Handle());
    ASSERT_GT(lineHeight, 0);
    RECT client{};
    GetClientRect(box.Handle(), &client);
    const int fitting = client.bottom / lineHeight;
    ASSERT_GE(fitting, 2);
    box.Text(Lines(fitting));
    EXPECT_EQ(StyleOf(box.Handle()) & WS_VSCROLL, 0) << fitting << " lines of " << lineHeight << " px";
    box.Text(Lines(fitting + 1));
    EXPECT_NE(StyleOf(box.Handle()) & WS_VSCROLL, 0) << fitting + 1 << " lines of " << lineHeight << " px";
}

TEST(TextBox, ABoxWithoutScrollBarNeverShowsOne) {
    TestForm form;
    auto& box = form.LabelText();
    box.Text(Lines(20));
    EXPECT_EQ(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    EXPECT_EQ(box.LineCount(), 20);
}

TEST(TextBox, ScrollBarStaysThroughAnAlignmentChange) {
    TestForm form;
    auto& box = form.Add<forms::TextBox>(form, kIdExtraBox, Place{12, 60, 150, 48}, 8, Lines(12), true);
    EXPECT_NE(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    box.TextAlign(2);
    EXPECT_NE(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    EXPECT_EQ(StyleOf(box.Handle()) & ES_CENTER, ES_CENTER);
    box.Text("kurz");
    EXPECT_EQ(StyleOf(box.Handle()) & WS_VSCROLL, 0);
    EXPECT_EQ(StyleOf(box.Handle()) & ES_CENTER, ES_CENTER);
}

TEST(TextBox, TransparentBoxPaintsInItsTextColourOverWhatIsBehindIt) {
    TestForm form;
    auto& onForm = form.LabelText();
    auto& inFrame = form.NoteInStep1();
    for (forms::TextBox* box : {&onForm, &inFrame}) {
        const ControlColour colour = AskColour(box->Handle());
        EXPECT_NE(colour.Brush, nullptr);
        EXPECT_EQ(colour.Text, RGB(0, 0, 0));
        EXPECT_EQ(colour.BackMode, TRANSPARENT);
    }
}

TEST(TextBox, ForeAndBackColourReachThePaintingAndBreakNothing) {
    TestForm form;
    form.Show(0);
    auto& box = form.NoteInStep1();
    box.ForeColor(RGB(128, 128, 128));
    EXPECT_EQ(box.ForeColor(), RGB(128, 128, 128));
    ControlColour colour = AskColour(box.Handle());
    EXPECT_EQ(colour.Text, RGB(128, 128, 128));
    EXPECT_EQ(colour.BackMode, TRANSPARENT);

    box.BackColor(RGB(255, 255, 204));
    colour = AskColour(box.Handle());
    EXPECT_NE(colour.Brush, nullptr);
    EXPECT_EQ(colour.Text, RGB(128, 128, 128));
    EXPECT_EQ(colour.Back, RGB(255, 255, 204));

    // The box still works as before, and a rebuilt box keeps its colours.
    box.Text("Grau auf Gelb\nzweite Zeile");
    EXPECT_EQ(box.LineCount(), 2);
    box.TextAlign(3);
    colour = AskColour(box.Handle());
    EXPECT_EQ(colour.Text, RGB(128, 128, 128));
    EXPECT_EQ(colour.Back, RGB(255, 255, 204));
    EXPECT_EQ(WindowTextOf(box.Handle()), L"Grau auf Gelb\r\nzweite Zeile");
    EXPECT_TRUE(IsWindowVisible(box.Handle()));
    EXPECT_TRUE(UpdateWindow(form.hwnd()));
}
