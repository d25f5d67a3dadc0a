#include "Image.h"

namespace forms {

Image::Image(Container& parent, int id, const Place& place, int tabIndex, int pictureId)
    : Control(parent, id, place, tabIndex), picture_(pictureId) {
    Create(L"STATIC", SS_OWNERDRAW, 0, L"");
}

void Image::OnDrawItem(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, Parent().BackgroundFor(item.hDC, item.hwndItem));
    picture_.DrawCentred(item.hDC, item.rcItem);
}

} // namespace forms
