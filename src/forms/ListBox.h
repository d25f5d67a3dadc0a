#pragma once

#include "Control.h"
#include "runtime/Variant.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace forms {

// A list with several columns of which only the first is seen; the others carry values that
// belong to the row. Selecting a row, by the user or by code, raises the change event.
class ListBox : public Control {
public:
    ListBox(Container& parent, int id, const Place& place, int tabIndex, int16_t columnCount);

    bool TabStop() const noexcept override { return true; }

    // Appends a row with this text in column 0.
    void AddItem(const std::string& text);
    void RemoveItem(int32_t index);
    int32_t ListCount() const noexcept { return static_cast<int32_t>(rows_.size()); }
    // A row or column outside the list raises "invalid property array index".
    runtime::Variant List(int32_t row, int32_t column) const;
    void List(int32_t row, int32_t column, const runtime::Variant& value);
    // The selected row, -1 for none. Setting it to another row raises the change event.
    int32_t ListIndex() const;
    void ListIndex(int32_t index);

    int16_t ColumnCount() const noexcept { return columnCount_; }
    std::string ColumnWidths() const { return columnWidths_; }
    void ColumnWidths(const std::string& widths) { columnWidths_ = widths; }

    std::function<void()> OnChange;
    void OnCommand(WORD code) override;

private:
    void CheckCell(int32_t row, int32_t column) const;

    int16_t columnCount_;
    std::string columnWidths_;
    int32_t reported_ = -1; // the selection the change event last told of
    std::vector<std::vector<runtime::Variant>> rows_;
};

} // namespace forms
