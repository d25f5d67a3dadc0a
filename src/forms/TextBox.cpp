#include "TextBox.h"

#include "Form.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

namespace forms {

namespace {

// The edit control breaks lines only at CR LF; the program's texts use single line feeds.
std::wstring ForDisplay(const std::string& text) {
    const std::wstring wide = runtime::Widen(text);
    std::wstring shown;
    shown.reserve(wide.size() + 16);
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) {
            shown += L'\r';
        }
        shown += wide[i];
    }
    return shown;
}

DWORD AlignStyle(int16_t align) {
    switch (align) {
    case TextBox::kAlignCentre:
        return ES_CENTER;
    case TextBox::kAlignRight:
        return ES_RIGHT;
    default:
        return ES_LEFT;
    }
}

} // namespace

TextBox::TextBox(Container& parent, int id, const Place& place, int tabIndex, const std::string& text,
                 bool verticalScrollBar, Align align)
    : Control(parent, id, place, tabIndex), text_(text), align_(align), verticalScrollBar_(verticalScrollBar) {
    Build();
    FitScrollBar();
    // Our transparency paints the picture behind the text over the whole box, so a text box must
    // lie below every control it overlaps (a button, a later text box), not above it.
    SetWindowPos(Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The alignment and the scroll bar of an edit control are styles it takes only when it is
// created, so a change builds the control anew in the same place.
void TextBox::Build() {
    DWORD style = ES_MULTILINE | ES_READONLY | ES_NOHIDESEL | AlignStyle(align_);
    if (scrollBarShown_) {
        style |= WS_VSCROLL | ES_AUTOVSCROLL;
    }
    // Created empty and given its text once it has its font: an edit control lays its text out
    // whenever either changes, and the layout in the system font would be thrown away at once.
    Create(L"EDIT", style, 0, L"");
    SetWindowTextW(Handle(), ForDisplay(text_).c_str());
}

void TextBox::FitScrollBar() {
    if (!verticalScrollBar_) {
        return;
    }
    HDC dc = GetDC(Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(Handle(), dc);
    RECT client{};
    GetClientRect(Handle(), &client);
    const int fitting = metrics.tmHeight > 0 ? client.bottom / metrics.tmHeight : 0;
    const bool needed = LineCount() > fitting;
    if (needed != scrollBarShown_) {
        scrollBarShown_ = needed;
        Build();
    }
}

void TextBox::Text(const std::string& text) {
    text_ = text;
    SetWindowTextW(Handle(), ForDisplay(text).c_str());
    FitScrollBar();
}

void TextBox::TextAlign(int16_t align) {
    if (align < kAlignLeft || align > kAlignRight) {
        runtime::Raise(380, "Unzulässiger Eigenschaftswert");
    }
    if (align != align_) {
        align_ = align;
        Build();
    }
}

int32_t TextBox::LineCount() const {
    return static_cast<int32_t>(SendMessageW(Handle(), EM_GETLINECOUNT, 0, 0));
}

void TextBox::ForeColor(COLORREF colour) {
    foreColor_ = colour;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TextBox::BackColor(COLORREF colour) {
    opaque_ = true;
    backColor_ = colour;
    backBrush_ = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    InvalidateRect(Handle(), nullptr, TRUE);
}

HBRUSH TextBox::OnControlColor(HDC dc) {
    SetTextColor(dc, foreColor_);
    if (opaque_) {
        SetBkColor(dc, backColor_);
        SetDCBrushColor(dc, backColor_);
        return backBrush_;
    }
    return Control::OnControlColor(dc);
}

} // namespace forms
