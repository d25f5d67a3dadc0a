#pragma once

#include "Control.h"

#include <cstdint>
#include <string>

namespace forms {

// A locked, multi-line, word-wrapping edit control used as a label: no border, no tab stop, and
// transparent, so its text stands on the form's picture. Line feeds in the text are line breaks.
class TextBox : public Control {
public:
    enum Align : int16_t { kAlignLeft = 1, kAlignCentre = 2, kAlignRight = 3 };

    // A text box with a vertical scroll bar shows it when the text needs more lines than fit. The
    // alignment given here costs nothing; a later change builds the control anew.
    TextBox(Container& parent, int id, const Place& place, int tabIndex, const std::string& text,
            bool verticalScrollBar = false, Align align = kAlignLeft);

    std::string Text() const { return text_; }
    void Text(const std::string& text);
    int16_t TextAlign() const noexcept { return align_; }
    // 1 left, 2 centre, 3 right; any other value raises "invalid property value".
    void TextAlign(int16_t align);
    // The number of lines the text takes, wrapped at the box's width.
    int32_t LineCount() const;

    COLORREF ForeColor() const noexcept { return foreColor_; }
    void ForeColor(COLORREF colour);
    // Opaque on a colour of its own instead of showing what stands behind it.
    void BackColor(COLORREF colour);

    HBRUSH OnControlColor(HDC dc) override;

private:
    void Build();
    void FitScrollBar();

    std::string text_;
    int16_t align_ = kAlignLeft;
    bool verticalScrollBar_;
    bool scrollBarShown_ = false;
    COLORREF foreColor_ = RGB(0, 0, 0);
    bool opaque_ = false;
    COLORREF backColor_ = RGB(255, 255, 255);
    HBRUSH backBrush_ = nullptr;
};

} // namespace forms
