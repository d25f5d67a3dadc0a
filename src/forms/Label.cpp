#include "Label.h"

#include "runtime/Text.h"

namespace forms {

Label::Label(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption,
             COLORREF backColor)
    : Control(parent, id, place, tabIndex), backColor_(backColor) {
    Create(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, runtime::Widen(caption));
}

HBRUSH Label::OnControlColor(HDC dc) {
    SetBkColor(dc, backColor_);
    SetDCBrushColor(dc, backColor_);
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}

} // namespace forms
