#include "ListBox.h"

#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

namespace forms {

ListBox::ListBox(Container& parent, int id, const Place& place, int tabIndex, int16_t columnCount)
    : Control(parent, id, place, tabIndex), columnCount_(columnCount) {
    // No integral height: the list keeps the height its layout gives it.
    Create(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
           L"");
}

void ListBox::AddItem(const std::string& text) {
    rows_.emplace_back(static_cast<size_t>(columnCount_));
    rows_.back()[0] = text;
    SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(runtime::Widen(text).c_str()));
}

void ListBox::RemoveItem(int32_t index) {
    if (index < 0 || index >= ListCount()) {
        runtime::Raise(runtime::kErrInvalidCall);
    }
    rows_.erase(rows_.begin() + index);
    // Removing the selected row leaves the list without a selection and raises no change event.
    SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    reported_ = ListIndex();
}

void ListBox::CheckCell(int32_t row, int32_t column) const {
    if (row < 0 || row >= ListCount() || column < 0 || column >= columnCount_) {
        runtime::Raise(381, "Ungültiger Index für Eigenschaftenfeld");
    }
}

runtime::Variant ListBox::List(int32_t row, int32_t column) const {
    CheckCell(row, column);
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void ListBox::List(int32_t row, int32_t column, const runtime::Variant& value) {
    CheckCell(row, column);
    rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = value;
    if (column == 0) {
        const int32_t selected = ListIndex();
        SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
        SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(runtime::Widen(value.ToString()).c_str()));
        if (selected == row) {
            SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        }
    }
}

int32_t ListBox::ListIndex() const { return static_cast<int32_t>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void ListBox::ListIndex(int32_t index) {
    if (index < -1 || index >= ListCount()) {
        runtime::Raise(380, "Unzulässiger Eigenschaftswert");
    }
    if (index == ListIndex()) {
        return;
    }
    SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    reported_ = index;
    // The control reports only the user's selections; a selection by code is reported here.
    if (OnChange) {
        OnChange();
    }
}

void ListBox::OnCommand(WORD code) {
    // The control reports a click on the selected row, or Home on the first, as a selection too;
    // the change event is for a row that really changed.
    if (code != LBN_SELCHANGE || ListIndex() == reported_) {
        return;
    }
    reported_ = ListIndex();
    if (OnChange) {
        OnChange();
    }
}

} // namespace forms
