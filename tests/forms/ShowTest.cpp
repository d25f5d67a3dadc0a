#include "TestForm.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using formstest::RaisedBy;
using formstest::TestForm;
using testsupport::WaitFor;
using namespace std::chrono_literals;

namespace {

// Works on a thread of its own while the test thread shows a form modally: waits until the form
// is shown and its modal loop runs, does its work, and presses a button of the form the way a mouse click does. When
// the form never comes, it closes the form from outside, so that the test fails instead of hanging.
class Helper {
public:
    Helper(HWND form, int buttonId, std::function<void()> work = {})
        : thread_([this, form, buttonId, work = std::move(work)] {
              if (!WaitFor([&] { return IsWindowVisible(form) != FALSE; }, 10s)) {
                  PostMessageW(form, WM_CLOSE, 0, 0);
                  return;
              }
              // A message sent to the form is handled only once its thread waits for messages:
              // then Show has set the focus and disabled the other windows.
              SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
              came_ = true;
              if (work) {
                  work();
              }
              PostMessageW(GetDlgItem(form, buttonId), BM_CLICK, 0, 0);
          }) {}
    ~Helper() { Join(); }
    Helper(const Helper&) = delete;
    Helper& operator=(const Helper&) = delete;

    // True when the form came and was answered.
    bool Join() {
        if (thread_.joinable()) {
            thread_.join();
        }
        return came_;
    }

private:
    std::atomic<bool> came_{false};
    std::thread thread_;
};

} // namespace

TEST(ModalShow, ReturnsOnlyAfterHideAndKeepsTheOtherWindowsDisabledMeanwhile) {
    TestForm other;
    other.Show(0);
    TestForm disabledBefore;
    disabledBefore.Show(0);
    EnableWindow(disabledBefore.hwnd(), FALSE);
    TestForm form;
    form.AfterWeiter = [&] { form.Hide(); };

    std::atomic<bool> returned{false};
    std::atomic<bool> waitingAfterAWhile{false};
    std::atomic<int> otherEnabled{-1};
    std::atomic<int> formEnabled{-1};
    Helper helper(form.hwnd(), TestForm::kIdWeiter, [&] {
        Sleep(200);
        waitingAfterAWhile = !returned;
        otherEnabled = IsWindowEnabled(other.hwnd()) ? 1 : 0;
        formEnabled = IsWindowEnabled(form.hwnd()) ? 1 : 0;
    });
    form.Show(1);
    returned = true;
    ASSERT_TRUE(helper.Join());

    EXPECT_TRUE(waitingAfterAWhile);
    EXPECT_EQ(otherEnabled, 0);
    EXPECT_EQ(formEnabled, 1);
    EXPECT_EQ(form.WeiterClicks, 1);
    EXPECT_FALSE(form.Visible());
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
    // A window that was disabled before stays so.
    EXPECT_FALSE(IsWindowEnabled(disabledBefore.hwnd()));
}

TEST(ModalShow, CanBeRepeatedOnTheSameWindow) {
    TestForm other;
    other.Show(0);
    TestForm form;
    form.AfterWeiter = [&] { form.Hide(); };
    HWND window = form.hwnd();
    for (int round = 1; round <= 3; ++round) {
        std::atomic<int> otherEnabled{-1};
        Helper helper(window, TestForm::kIdWeiter, [&] { otherEnabled = IsWindowEnabled(other.hwnd()) ? 1 : 0; });
        form.Show(1);
        ASSERT_TRUE(helper.Join()) << round;
        EXPECT_EQ(form.WeiterClicks, round);
        EXPECT_EQ(otherEnabled, 0) << round;
        EXPECT_TRUE(IsWindowEnabled(other.hwnd())) << round;
        EXPECT_EQ(form.hwnd(), window);
        EXPECT_FALSE(IsWindowVisible(window));
    }
}

TEST(ModalShow, ASecondModalShowWhileShownRaises400) {
    TestForm other;
    other.Show(0);
    TestForm form;
    form.Show(0);
    EXPECT_EQ(RaisedBy([&] { form.Show(1); }).Number, 400);
    EXPECT_TRUE(form.Visible());
    // The refused call disabled nothing.
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(form.hwnd()));
}

TEST(ModalShow, AModalShowFromInsideTheModalShowRaises400) {
    TestForm form;
    std::atomic<int32_t> nested{0};
    form.AfterWeiter = [&] {
        nested = RaisedBy([&] { form.Show(1); }).Number;
        form.Hide();
    };
    Helper helper(form.hwnd(), TestForm::kIdWeiter);
    form.Show(1);
    ASSERT_TRUE(helper.Join());
    EXPECT_EQ(nested, 400);
    EXPECT_FALSE(form.Visible());
}

TEST(ModalShow, SetFocusBeforeShowGivesThatControlTheFocus) {
    TestForm form;
    form.AfterWeiter = [&] { form.Hide(); };
    form.Mehr().SetFocus();
    const DWORD thread = GetCurrentThreadId();
    std::atomic<HWND> focus{nullptr};
    Helper helper(form.hwnd(), TestForm::kIdWeiter, [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread, &info);
        focus = info.hwndFocus;
    });
    form.Show(1);
    ASSERT_TRUE(helper.Join());
    EXPECT_EQ(focus.load(), form.Mehr().Handle());
}

TEST(ModalShow, TheWindowActiveBeforeIsActiveAgainWithItsFocusBack) {
    TestForm other;
    other.Show(0);
    other.Mehr().SetFocus();
    ASSERT_EQ(GetActiveWindow(), other.hwnd());
    TestForm form;
    form.AfterWeiter = [&] { form.Hide(); };
    std::atomic<HWND> activeMeanwhile{nullptr};
    const DWORD thread = GetCurrentThreadId();
    Helper helper(form.hwnd(), TestForm::kIdWeiter, [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread, &info);
        activeMeanwhile = info.hwndActive;
    });
    form.Show(1);
    ASSERT_TRUE(helper.Join());
    EXPECT_EQ(activeMeanwhile.load(), form.hwnd());
    formstest::Pump();
    EXPECT_EQ(GetActiveWindow(), other.hwnd());
    EXPECT_EQ(GetFocus(), other.Mehr().Handle());
}

TEST(ModalShow, ANestedModalFormDisablesTheOuterOneAndGivesItBack) {
    TestForm main;
    main.Show(0);
    TestForm outer;
    TestForm inner;
    outer.AfterWeiter = [&] { inner.Show(1); };
    outer.Mehr().OnClick = [&] { outer.Hide(); };
    inner.AfterWeiter = [&] { inner.Hide(); };
    HWND outerWindow = outer.hwnd();
    HWND innerWindow = inner.hwnd();
    HWND mainWindow = main.hwnd();
    auto shownAndWaiting = [](HWND window) {
        const bool shown = WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 10s);
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
        return shown;
    };
    std::atomic<int> outerDuringInner{-1};
    std::atomic<int> mainDuringInner{-1};
    std::atomic<int> outerAfterInner{-1};
    std::atomic<int> mainAfterInner{-1};
    std::thread user([&] {
        if (!shownAndWaiting(outerWindow)) {
            PostMessageW(outerWindow, WM_CLOSE, 0, 0);
            return;
        }
        PostMessageW(GetDlgItem(outerWindow, TestForm::kIdWeiter), BM_CLICK, 0, 0);
        if (shownAndWaiting(innerWindow)) {
            outerDuringInner = IsWindowEnabled(outerWindow) ? 1 : 0;
            mainDuringInner = IsWindowEnabled(mainWindow) ? 1 : 0;
            PostMessageW(GetDlgItem(innerWindow, TestForm::kIdWeiter), BM_CLICK, 0, 0);
            WaitFor([&] { return IsWindowVisible(innerWindow) == FALSE; }, 10s);
            SendMessageTimeoutW(outerWindow, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
            outerAfterInner = IsWindowEnabled(outerWindow) ? 1 : 0;
            mainAfterInner = IsWindowEnabled(mainWindow) ? 1 : 0;
        }
        PostMessageW(GetDlgItem(outerWindow, TestForm::kIdMehr), BM_CLICK, 0, 0);
    });
    outer.Show(1);
    user.join();
    EXPECT_EQ(outerDuringInner, 0);
    EXPECT_EQ(mainDuringInner, 0);
    // The outer form takes input again; the main window only when the outer form is gone too.
    EXPECT_EQ(outerAfterInner, 1);
    EXPECT_EQ(mainAfterInner, 0);
    EXPECT_TRUE(IsWindowEnabled(mainWindow));
    EXPECT_EQ(outer.WeiterClicks, 1);
    EXPECT_EQ(inner.WeiterClicks, 1);
    EXPECT_FALSE(outer.Visible());
    EXPECT_FALSE(inner.Visible());
}

TEST(ModalShow, ShowAfterUnloadRaises) {
    TestForm form;
    form.Unload();
    EXPECT_NE(RaisedBy([&] { form.Show(1); }).Number, 0);
    EXPECT_NE(RaisedBy([&] { form.Show(0); }).Number, 0);
}

TEST(ModelessShow, ReturnsAtOnceAndDisablesNothing) {
    TestForm other;
    other.Show(0);
    TestForm form;
    form.Show(0);
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
    EXPECT_TRUE(other.Visible());
    // Shown again while shown: nothing happens.
    EXPECT_EQ(RaisedBy([&] { form.Show(0); }).Number, 0);
    EXPECT_TRUE(form.Visible());
}

TEST(ModelessShow, HideHidesAndShowShowsTheSameWindowAgain) {
    TestForm form;
    form.Show(0);
    HWND window = form.hwnd();
    form.Hide();
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));
    form.Show(0);
    EXPECT_EQ(form.hwnd(), window);
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST(ModelessShow, SetFocusBeforeShowGivesThatControlTheFocus) {
    TestForm form;
    form.OptionD().SetFocus();
    EXPECT_NE(GetFocus(), form.OptionD().Handle());
    form.Show(0);
    EXPECT_EQ(GetFocus(), form.OptionD().Handle());
    // Once shown, SetFocus moves the focus at once.
    form.Weiter().SetFocus();
    EXPECT_EQ(GetFocus(), form.Weiter().Handle());
}
