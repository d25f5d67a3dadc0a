#include "TestForm.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using formstest::PressKey;
using formstest::PressShiftKey;
using formstest::TestForm;

namespace {

class TabOrderTest : public testing::Test {
protected:
    // The controls that Tab (or Shift+Tab) reaches, one key press each, by their ids.
    std::vector<int> Walk(int presses, bool backwards = false) {
        std::vector<int> reached;
        for (int i = 0; i < presses; ++i) {
            HWND focus = GetFocus();
            if (backwards) {
                PressShiftKey(focus, VK_TAB);
            } else {
                PressKey(focus, VK_TAB);
            }
            reached.push_back(GetDlgCtrlID(GetFocus()));
        }
        return reached;
    }

    TestForm form_;
};

using Id = TestForm::ControlId;

} // namespace

TEST_F(TabOrderTest, ShowGivesTheFocusToTheFirstTabStop) {
    form_.Show(0);
    EXPECT_EQ(GetFocus(), form_.List().Handle());
}

TEST_F(TabOrderTest, ShowSkipsHiddenAndDisabledTabStopsForTheFirstFocus) {
    form_.List().Enabled(false);
    form_.OptionA().Visible(false);
    form_.Show(0);
    EXPECT_EQ(GetFocus(), form_.OptionB().Handle());
}

TEST_F(TabOrderTest, TabWalksTheTabStopsByTabIndexWithFramesInPlaceAndWrapsAround) {
    form_.Show(0);
    ASSERT_EQ(GetFocus(), form_.List().Handle());
    EXPECT_EQ(Walk(8), (std::vector<int>{Id::kIdOptionA, Id::kIdOptionB, Id::kIdOptionC, Id::kIdOptionD, Id::kIdWeiter,
                                         Id::kIdAbbrechen, Id::kIdMehr, Id::kIdList}));
    // Walking over the option buttons sets none of them, and nothing was clicked.
    for (auto* option : {&form_.OptionA(), &form_.OptionB(), &form_.OptionC(), &form_.OptionD()}) {
        EXPECT_FALSE(option->Value());
    }
    EXPECT_EQ(form_.WeiterClicks + form_.AbbrechenClicks + form_.MehrClicks, 0);
}

TEST_F(TabOrderTest, ShiftTabWalksBackwardsAndWrapsAround) {
    form_.Show(0);
    ASSERT_EQ(GetFocus(), form_.List().Handle());
    EXPECT_EQ(Walk(8, true), (std::vector<int>{Id::kIdMehr, Id::kIdAbbrechen, Id::kIdWeiter, Id::kIdOptionD,
                                               Id::kIdOptionC, Id::kIdOptionB, Id::kIdOptionA, Id::kIdList}));
}

TEST_F(TabOrderTest, TabSkipsHiddenAndDisabledControlsAndHiddenFrames) {
    form_.OptionB().Visible(false);
    form_.Weiter().Enabled(false);
    form_.Step2().Visible(false);
    form_.Show(0);
    ASSERT_EQ(GetFocus(), form_.List().Handle());
    EXPECT_EQ(Walk(4), (std::vector<int>{Id::kIdOptionA, Id::kIdAbbrechen, Id::kIdMehr, Id::kIdList}));
    EXPECT_EQ(Walk(4, true), (std::vector<int>{Id::kIdMehr, Id::kIdAbbrechen, Id::kIdOptionA, Id::kIdList}));
}

TEST_F(TabOrderTest, AControlShownOrEnabledAgainIsATabStopAgain) {
    form_.Mehr().Enabled(false);
    form_.Show(0);
    form_.Abbrechen().SetFocus();
    EXPECT_EQ(Walk(1), std::vector<int>{Id::kIdList});
    form_.Mehr().Enabled(true);
    form_.Abbrechen().SetFocus();
    EXPECT_EQ(Walk(1), std::vector<int>{Id::kIdMehr});
}

TEST_F(TabOrderTest, TabFromAControlThatIsNoTabStopGoesOnFromItsPlace) {
    form_.Show(0);
    // The note in the second frame stands between its two options in the tab order.
    form_.NoteInStep2().SetFocus();
    ASSERT_EQ(GetFocus(), form_.NoteInStep2().Handle());
    EXPECT_EQ(Walk(1), std::vector<int>{Id::kIdOptionD});
    form_.NoteInStep2().SetFocus();
    EXPECT_EQ(Walk(1, true), std::vector<int>{Id::kIdOptionC});
    // The form's label comes before the first frame.
    form_.LabelText().SetFocus();
    EXPECT_EQ(Walk(1), std::vector<int>{Id::kIdList});
    form_.LabelText().SetFocus();
    EXPECT_EQ(Walk(1, true), std::vector<int>{Id::kIdMehr});
}

TEST_F(TabOrderTest, TabWithOnlyOneTabStopStaysOnIt) {
    form_.Step1().Visible(false);
    form_.Step2().Visible(false);
    form_.Weiter().Visible(false);
    form_.Abbrechen().Enabled(false);
    form_.Show(0);
    ASSERT_EQ(GetFocus(), form_.Mehr().Handle());
    EXPECT_EQ(Walk(2), (std::vector<int>{Id::kIdMehr, Id::kIdMehr}));
    EXPECT_EQ(Walk(1, true), std::vector<int>{Id::kIdMehr});
}
