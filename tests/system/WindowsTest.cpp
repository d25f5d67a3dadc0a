#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

using systemtest::StackTopDown;
using systemtest::TestForm;

namespace {

int32_t Number(HWND window) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(window));
}

// Windows with captions of this test's own: the ones that match contain the search text, the
// others only the test's unique mark.
class WindowsTest : public testing::Test {
protected:
    std::unique_ptr<TestForm> Matching(const std::string& fontsWord = "Fonts") {
        return std::make_unique<TestForm>(mark_ + " " + fontsWord);
    }
    std::unique_ptr<TestForm> Other() { return std::make_unique<TestForm>(mark_ + " other"); }
    std::string Search() const { return mark_ + " fonts"; }

    Tarvex root_;
    Tvx_ExternalWindows& windows_ = *root_.ExternalWindows();
    const std::string mark_ = systemtest::UniqueName("tvxw");
};

} // namespace

TEST_F(WindowsTest, FormsOwnCaptionIsTestedFirst) {
    auto form = Matching();
    auto above = Matching();
    auto below = Matching();
    StackTopDown({above->hwnd(), form->hwnd(), below->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), Number(form->hwnd()));
    systemtest::ExpectNoReport(root_);
}

TEST_F(WindowsTest, MatchesAboveAndBelowTheFormAreFound) {
    auto form = Other();
    auto above2 = Matching();
    auto above1 = Other();
    auto below1 = Other();
    auto below2 = Other();
    StackTopDown({above2->hwnd(), above1->hwnd(), form->hwnd(), below1->hwnd(), below2->hwnd()});
    ASSERT_EQ(GetWindow(form->hwnd(), GW_HWNDPREV), above1->hwnd());
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), Number(above2->hwnd()));

    auto lowest = Matching();
    StackTopDown({form->hwnd(), below1->hwnd(), below2->hwnd(), lowest->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), Number(lowest->hwnd()));
    systemtest::ExpectNoReport(root_);
}

TEST_F(WindowsTest, NearerMatchWins) {
    auto form = Other();
    auto above2 = Matching();
    auto above1 = Other();
    auto below1 = Matching();
    StackTopDown({above2->hwnd(), above1->hwnd(), form->hwnd(), below1->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), Number(below1->hwnd()));

    auto nearAbove = Matching();
    auto below2 = Matching();
    auto between = Other();
    StackTopDown({nearAbove->hwnd(), form->hwnd(), between->hwnd(), below2->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), Number(nearAbove->hwnd()));
}

TEST_F(WindowsTest, AtEqualDistanceTheWindowBelowWins) {
    auto form = Other();
    auto above = Matching();
    auto below = Matching();
    StackTopDown({above->hwnd(), form->hwnd(), below->hwnd()});
    ASSERT_EQ(GetWindow(form->hwnd(), GW_HWNDNEXT), below->hwnd());
    ASSERT_EQ(GetWindow(form->hwnd(), GW_HWNDPREV), above->hwnd());
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), Number(below->hwnd()));
}

TEST_F(WindowsTest, LetterCaseOfCaptionAndSearchTextIsIgnored) {
    auto form = Other();
    auto capitals = std::make_unique<TestForm>("SCHRIFTARTEN " + mark_);
    StackTopDown({form->hwnd(), capitals->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), "schriftarten " + mark_), Number(capitals->hwnd()));
    auto firstCapital = std::make_unique<TestForm>("Fonts " + mark_);
    StackTopDown({firstCapital->hwnd(), form->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), "fonts " + mark_), Number(firstCapital->hwnd()));
    EXPECT_EQ(windows_.WindowFind(form.get(), "FONTS " + mark_), Number(firstCapital->hwnd()));
}

// A caption is read as it is: a character the ANSI code page lacks is no look-alike of another.
TEST_F(WindowsTest, CaptionWithACharacterTheCodePageLacksIsReadAsItIs) {
    auto form = Other();
    auto lookAlike = std::make_unique<TestForm>("Schriften O " + mark_);
    auto omega = std::make_unique<TestForm>("Schriften \u03A9 " + mark_);
    StackTopDown({form->hwnd(), lookAlike->hwnd(), omega->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), "schriften \u03C9 " + mark_), Number(omega->hwnd()));
    StackTopDown({omega->hwnd(), form->hwnd(), lookAlike->hwnd()});
    EXPECT_EQ(windows_.WindowFind(form.get(), "Schriften O " + mark_), Number(lookAlike->hwnd()));
    systemtest::ExpectNoReport(root_);
}

// The clock stands still, so only the two ends of the z-order can end the search.
TEST_F(WindowsTest, NoMatchGivesZeroOnceBothEndsAreReached) {
    auto form = Other();
    auto above = Other();
    auto below = Other();
    StackTopDown({above->hwnd(), form->hwnd(), below->hwnd()});
    systemtest::SteppingClock standing(5000, 0);
    EXPECT_EQ(windows_.WindowFind(form.get(), Search()), 0);
    EXPECT_GE(standing.Readings(), 3);
    systemtest::ExpectNoReport(root_);
}

namespace {

// Three windows above the form and three below, the match the farthest one below: found in the
// fourth pass, after three readings of the clock besides the first.
class WindowFindLimit : public WindowsTest {
protected:
    void SetUp() override {
        form_ = Other();
        for (auto& window : others_) {
            window = Other();
        }
        match_ = Matching();
        StackTopDown({others_[0]->hwnd(), others_[1]->hwnd(), others_[2]->hwnd(), form_->hwnd(), others_[3]->hwnd(),
                      others_[4]->hwnd(), match_->hwnd()});
    }

    int32_t Find() { return windows_.WindowFind(form_.get(), Search()); }
    int32_t Match() const { return Number(match_->hwnd()); }

    std::unique_ptr<TestForm> form_;
    std::unique_ptr<TestForm> others_[5];
    std::unique_ptr<TestForm> match_;
};

} // namespace

TEST_F(WindowFindLimit, MatchIsFoundWhileTheLimitHolds) {
    systemtest::SteppingClock clock(1000, 6666);
    EXPECT_EQ(Find(), Match());
    EXPECT_EQ(clock.Readings(), 4);
}

TEST_F(WindowFindLimit, ElapsedTimeAboveTheLimitEndsTheSearch) {
    systemtest::SteppingClock clock(1000, 6667);
    EXPECT_EQ(Find(), 0);
    EXPECT_EQ(clock.Readings(), 4);
}

TEST_F(WindowFindLimit, ExactlyTheLimitDoesNotEndIt) {
    // 10000 and 20000 ms after the start the search goes on; at 30000 it ends.
    systemtest::SteppingClock clock(1000, 10000);
    EXPECT_EQ(Find(), 0);
    EXPECT_EQ(clock.Readings(), 4);
}

TEST_F(WindowFindLimit, LimitHoldsWhenTheCountTurnsNegative) {
    systemtest::SteppingClock clock(0x80000000u - 15000u, 10001);
    EXPECT_EQ(Find(), 0);
    EXPECT_EQ(clock.Readings(), 3);
}

TEST_F(WindowFindLimit, LimitHoldsWhenTheCountWrapsToZero) {
    systemtest::SteppingClock clock(0xFFFFFFFFu - 15000u, 10001);
    EXPECT_EQ(Find(), 0);
    EXPECT_EQ(clock.Readings(), 3);
}

TEST_F(WindowsTest, WindowHideAnswersWhetherTheWindowWasVisible) {
    auto window = Other();
    ShowWindow(window->hwnd(), SW_SHOWNOACTIVATE);
    ASSERT_TRUE(IsWindowVisible(window->hwnd()));
    EXPECT_TRUE(windows_.WindowHide(Number(window->hwnd())));
    EXPECT_FALSE(IsWindowVisible(window->hwnd()));
    EXPECT_FALSE(windows_.WindowHide(Number(window->hwnd())));
    EXPECT_FALSE(windows_.WindowHide(0));
    systemtest::ExpectNoReport(root_);
}
