#include "TestForm.h"

#include <gtest/gtest.h>

#include <string>

using formstest::PressKey;
using formstest::RaisedBy;
using formstest::TestForm;
using runtime::Variant;

namespace {

// The text the list control itself shows in a row.
std::wstring ShownText(HWND list, int row) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) {
        return L"<none>";
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

int ShownCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
}

// A list of three Word versions with their number and folder in the hidden columns.
class ListBoxTest : public testing::Test {
protected:
    void SetUp() override {
        const char* rows[][3] = {{"Microsoft Word 97", "8", "C:\\Office97\\"},
                                 {"Microsoft Word 2000", "9", "C:\\Office 2000\\"},
                                 {"Microsoft Word 2003 – Ä", "11", "C:\\Büro\\Office11\\"}};
        for (int row = 0; row < 3; ++row) {
            List().AddItem(rows[row][0]);
            List().List(row, 1, rows[row][1]);
            List().List(row, 2, rows[row][2]);
        }
    }

    forms::ListBox& List() { return form_.List(); }
    HWND Handle() { return form_.List().Handle(); }

    // A click of the left mouse button on a row, as the mouse delivers it.
    void ClickRow(int row) {
        RECT item{};
        SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        PostMessageW(Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(Handle(), WM_LBUTTONUP, 0, point);
        formstest::Pump();
    }

    TestForm form_;
};

} // namespace

TEST_F(ListBoxTest, AddItemAppendsARowShownWithItsFirstColumn) {
    EXPECT_EQ(List().ListCount(), 3);
    EXPECT_EQ(ShownCount(Handle()), 3);
    EXPECT_EQ(ShownText(Handle(), 0), L"Microsoft Word 97");
    EXPECT_EQ(ShownText(Handle(), 2), L"Microsoft Word 2003 – Ä");
    EXPECT_EQ(List().ColumnCount(), 3);
    EXPECT_EQ(List().ListIndex(), -1);
    EXPECT_EQ(form_.ListChanges, 0);
}

TEST_F(ListBoxTest, ListGivesBackEveryColumnAndColumnZeroIsTheShownText) {
    EXPECT_EQ(List().List(1, 0).ToString(), "Microsoft Word 2000");
    EXPECT_EQ(List().List(1, 1).ToString(), "9");
    EXPECT_EQ(List().List(2, 2).ToString(), "C:\\Büro\\Office11\\");
    List().List(1, 0, "Word – geändert");
    EXPECT_EQ(ShownText(Handle(), 1), L"Word – geändert");
    EXPECT_EQ(List().List(1, 0).ToString(), "Word – geändert");
    // The other rows and the row's hidden columns stay.
    EXPECT_EQ(ShownText(Handle(), 0), L"Microsoft Word 97");
    EXPECT_EQ(ShownText(Handle(), 2), L"Microsoft Word 2003 – Ä");
    EXPECT_EQ(List().List(1, 1).ToString(), "9");
    EXPECT_EQ(List().List(1, 2).ToString(), "C:\\Office 2000\\");
    EXPECT_EQ(ShownCount(Handle()), 3);
    // Hidden columns are never shown.
    List().List(0, 2, "D:\\");
    EXPECT_EQ(ShownText(Handle(), 0), L"Microsoft Word 97");
    EXPECT_EQ(List().List(0, 2).ToString(), "D:\\");
    EXPECT_TRUE(List().List(0, 1) == Variant("8"));
}

TEST_F(ListBoxTest, ANewRowsHiddenColumnsAreEmpty) {
    List().AddItem("Neu");
    EXPECT_TRUE(List().List(3, 1).IsEmpty());
    EXPECT_TRUE(List().List(3, 2).IsEmpty());
}

TEST_F(ListBoxTest, NewTextForTheSelectedRowKeepsItSelectedWithoutAChange) {
    List().ListIndex(1);
    ASSERT_EQ(form_.ListChanges, 1);
    List().List(1, 0, "Microsoft Word 2000 SR-1");
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(SendMessageW(Handle(), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(form_.ListChanges, 1);
}

TEST_F(ListBoxTest, ABadRowOrColumnRaisesInvalidPropertyArrayIndex) {
    for (auto [row, column] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 3}, {99, 99}}) {
        EXPECT_EQ(RaisedBy([&] { (void)List().List(row, column); }).Number, 381) << row << "," << column;
        EXPECT_EQ(RaisedBy([&] { List().List(row, column, "x"); }).Number, 381) << row << "," << column;
    }
    EXPECT_EQ(List().ListCount(), 3);
    EXPECT_EQ(ShownText(Handle(), 0), L"Microsoft Word 97");
}

TEST_F(ListBoxTest, ListIndexSetByCodeSelectsTheRowAndFiresChangeOnce) {
    List().ListIndex(2);
    EXPECT_EQ(List().ListIndex(), 2);
    EXPECT_EQ(SendMessageW(Handle(), LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(form_.ListChanges, 1);
    formstest::Pump();
    EXPECT_EQ(form_.ListChanges, 1);
    List().ListIndex(0);
    EXPECT_EQ(form_.ListChanges, 2);
}

TEST_F(ListBoxTest, TheChangeEventSeesTheNewSelection) {
    int32_t seen = -2;
    List().OnChange = [&] { seen = List().ListIndex(); };
    List().ListIndex(1);
    EXPECT_EQ(seen, 1);
}

TEST_F(ListBoxTest, ListIndexSetToTheSelectedRowFiresNothing) {
    List().ListIndex(1);
    List().ListIndex(1);
    EXPECT_EQ(form_.ListChanges, 1);
    List().ListIndex(-1);
    List().ListIndex(-1);
    EXPECT_EQ(form_.ListChanges, 2);
}

TEST_F(ListBoxTest, ListIndexMinusOneClearsTheSelection) {
    List().ListIndex(2);
    List().ListIndex(-1);
    EXPECT_EQ(List().ListIndex(), -1);
    EXPECT_EQ(SendMessageW(Handle(), LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(form_.ListChanges, 2);
}

TEST_F(ListBoxTest, ListIndexOutsideTheListRaisesInvalidPropertyValue) {
    List().ListIndex(1);
    for (int32_t bad : {3, -2, 99}) {
        EXPECT_EQ(RaisedBy([&] { List().ListIndex(bad); }).Number, 380) << bad;
    }
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(form_.ListChanges, 1);
}

TEST_F(ListBoxTest, RemovingTheSelectedRowLeavesNoSelectionAndFiresNoChange) {
    List().ListIndex(1);
    List().RemoveItem(1);
    formstest::Pump();
    EXPECT_EQ(List().ListIndex(), -1);
    EXPECT_EQ(form_.ListChanges, 1);
    EXPECT_EQ(List().ListCount(), 2);
    EXPECT_EQ(ShownCount(Handle()), 2);
    // The rows behind it move up with their hidden columns.
    EXPECT_EQ(ShownText(Handle(), 1), L"Microsoft Word 2003 – Ä");
    EXPECT_EQ(List().List(1, 0).ToString(), "Microsoft Word 2003 – Ä");
    EXPECT_EQ(List().List(1, 1).ToString(), "11");
    EXPECT_EQ(List().List(0, 2).ToString(), "C:\\Office97\\");
}

TEST_F(ListBoxTest, RemovingARowAboveTheSelectionKeepsTheSelectedRow) {
    List().ListIndex(2);
    List().RemoveItem(0);
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(List().List(List().ListIndex(), 1).ToString(), "11");
    EXPECT_EQ(form_.ListChanges, 1);
}

TEST_F(ListBoxTest, RemovingARowOutsideTheListRaisesAndRemovesNothing) {
    EXPECT_NE(RaisedBy([&] { List().RemoveItem(3); }).Number, 0);
    EXPECT_NE(RaisedBy([&] { List().RemoveItem(-1); }).Number, 0);
    EXPECT_EQ(List().ListCount(), 3);
    EXPECT_EQ(ShownCount(Handle()), 3);
}

TEST_F(ListBoxTest, TheUsersSelectionWithTheKeyboardFiresChange) {
    form_.Show(0);
    List().ListIndex(0);
    List().SetFocus();
    ASSERT_EQ(GetFocus(), Handle());
    PressKey(Handle(), VK_DOWN);
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(form_.ListChanges, 2);
    PressKey(Handle(), VK_DOWN);
    EXPECT_EQ(List().ListIndex(), 2);
    EXPECT_EQ(List().List(List().ListIndex(), 2).ToString(), "C:\\Büro\\Office11\\");
    EXPECT_EQ(form_.ListChanges, 3);
}

TEST_F(ListBoxTest, AKeyThatDoesNotMoveTheSelectionFiresNoChange) {
    form_.Show(0);
    List().ListIndex(0);
    List().SetFocus();
    PressKey(Handle(), VK_HOME);
    PressKey(Handle(), VK_UP);
    EXPECT_EQ(List().ListIndex(), 0);
    EXPECT_EQ(form_.ListChanges, 1);
}

TEST_F(ListBoxTest, TypingALetterSelectsTheNextRowBeginningWithIt) {
    form_.Show(0);
    List().AddItem("Microsoft Excel");
    List().AddItem("Notizen");
    List().ListIndex(0);
    List().SetFocus();
    PressKey(Handle(), 'N');
    EXPECT_EQ(List().ListIndex(), 4);
    EXPECT_EQ(form_.ListChanges, 2);
    PressKey(Handle(), 'M');
    EXPECT_EQ(List().ListIndex(), 0);
    EXPECT_EQ(form_.ListChanges, 3);
    PressKey(Handle(), 'M');
    EXPECT_EQ(List().ListIndex(), 1);
}

TEST_F(ListBoxTest, TheUsersClickOnARowFiresChange) {
    form_.Show(0);
    ClickRow(1);
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(form_.ListChanges, 1);
    ClickRow(0);
    EXPECT_EQ(List().ListIndex(), 0);
    EXPECT_EQ(form_.ListChanges, 2);
}

TEST_F(ListBoxTest, AClickOnTheSelectedRowFiresNoChange) {
    form_.Show(0);
    List().ListIndex(1);
    ClickRow(1);
    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(form_.ListChanges, 1);
}

TEST_F(ListBoxTest, ColumnWidthsAreKept) {
    EXPECT_EQ(List().ColumnWidths(), "");
    List().ColumnWidths("117 pt;0 pt;0 pt");
    EXPECT_EQ(List().ColumnWidths(), "117 pt;0 pt;0 pt");
    // Only the first column is shown, whatever the widths say.
    EXPECT_EQ(ShownText(Handle(), 1), L"Microsoft Word 2000");
}
