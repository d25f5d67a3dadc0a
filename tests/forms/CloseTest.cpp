#include "TestForm.h"

#include "runtime/Keys.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using formstest::Pump;
using formstest::PumpUntil;
using formstest::RaisedBy;
using formstest::TestForm;
using namespace std::chrono_literals;

namespace {

using Modes = std::vector<int16_t>;

// The close command of the window menu, as the close box sends it.
void CloseBox(HWND form) {
    PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

// A close request from another program: a WM_CLOSE posted from a thread of another window.
void CloseFromOutside(HWND form) {
    std::thread([form] { PostMessageW(form, WM_CLOSE, 0, 0); }).join();
}

// Lets whatever the last message posted on be handled.
void Settle() {
    PumpUntil([] { return false; }, 50ms);
}

} // namespace

TEST(CloseRequest, CloseBoxAsksWithModeZeroAndCancelKeepsTheWindow) {
    TestForm form;
    form.Show(0);
    form.RefuseClose = true;
    CloseBox(form.hwnd());
    Settle();
    EXPECT_EQ(form.CloseModes, Modes{0});
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(IsWindow(form.hwnd()));
    EXPECT_TRUE(form.Visible());
}

TEST(CloseRequest, CloseBoxWithoutCancelAsksOnceAndDestroysTheWindow) {
    TestForm form;
    form.Show(0);
    HWND window = form.hwnd();
    CloseBox(window);
    Settle();
    EXPECT_EQ(form.CloseModes, Modes{0});
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(form.Visible());
}

TEST(CloseRequest, UnloadAsksWithModeOneAndDestroysTheWindow) {
    TestForm form;
    form.Show(0);
    HWND window = form.hwnd();
    HWND button = form.Weiter().Handle();
    form.Unload();
    EXPECT_EQ(form.CloseModes, Modes{1});
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(button));
    // A second Unload has nothing left to ask.
    form.Unload();
    EXPECT_EQ(form.CloseModes, Modes{1});
}

TEST(CloseRequest, UnloadRefusedKeepsTheWindow) {
    TestForm form;
    form.Show(0);
    form.RefuseClose = true;
    form.Unload();
    EXPECT_EQ(form.CloseModes, Modes{1});
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_TRUE(form.Visible());
}

TEST(CloseRequest, UnloadOfAHiddenFormDestroysItToo) {
    TestForm form;
    HWND window = form.hwnd();
    form.Unload();
    EXPECT_EQ(form.CloseModes, Modes{1});
    EXPECT_FALSE(IsWindow(window));
}

TEST(CloseRequest, ACloseFromOutsideAsksWithModeThree) {
    TestForm form;
    form.Show(0);
    HWND window = form.hwnd();
    CloseFromOutside(window);
    ASSERT_TRUE(PumpUntil([&] { return !form.CloseModes.empty(); }));
    Settle();
    EXPECT_EQ(form.CloseModes, Modes{3});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(form.IsLoaded());
}

TEST(CloseRequest, ACloseFromOutsideRefusedKeepsTheWindow) {
    TestForm form;
    form.Show(0);
    form.RefuseClose = true;
    CloseFromOutside(form.hwnd());
    ASSERT_TRUE(PumpUntil([&] { return !form.CloseModes.empty(); }));
    Settle();
    EXPECT_EQ(form.CloseModes, Modes{3});
    EXPECT_TRUE(form.Visible());
}

// A form disabled under a modal form of ours, or hidden, has no close box to press: a close from
// outside is refused without asking, and the window stays for the procedure that still uses it.
TEST(CloseRequest, ACloseFromOutsideToAFormUnderAModalFormOrHiddenIsRefused) {
    TestForm owner;
    owner.Show(0);
    TestForm hidden;
    TestForm modal;
    HWND window = modal.hwnd();
    std::thread closer([&] {
        if (testsupport::WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 10s)) {
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
        }
        PostMessageW(owner.hwnd(), WM_CLOSE, 0, 0);
        PostMessageW(hidden.hwnd(), WM_CLOSE, 0, 0);
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    modal.Show(1);
    closer.join();
    Settle();
    EXPECT_TRUE(owner.CloseModes.empty());
    EXPECT_TRUE(owner.Visible());
    EXPECT_TRUE(hidden.CloseModes.empty());
    EXPECT_TRUE(hidden.IsLoaded());
}

TEST(CloseRequest, TheCloseBoxEndsAModalShowAndEnablesTheOtherWindows) {
    TestForm other;
    other.Show(0);
    TestForm form;
    HWND window = form.hwnd();
    std::thread closer([window] {
        if (testsupport::WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 10s)) {
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
        }
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    form.Show(1);
    closer.join();
    EXPECT_EQ(form.CloseModes, Modes{0});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
}

TEST(CloseRequest, ARefusedCloseBoxKeepsTheModalShowGoing) {
    TestForm form;
    form.RefuseClose = true;
    form.AfterWeiter = [&] { form.Hide(); };
    HWND window = form.hwnd();
    std::atomic<bool> returned{false};
    std::atomic<bool> shownAfterClose{false};
    std::thread user([&] {
        if (testsupport::WaitFor([&] { return IsWindowVisible(window) != FALSE; }, 10s)) {
            SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, 5000, nullptr);
            Sleep(100);
            shownAfterClose = IsWindowVisible(window) && !returned;
        }
        PostMessageW(GetDlgItem(window, TestForm::kIdWeiter), BM_CLICK, 0, 0);
    });
    form.Show(1);
    returned = true;
    user.join();
    EXPECT_TRUE(shownAfterClose);
    EXPECT_EQ(form.CloseModes, Modes{0});
    EXPECT_EQ(form.WeiterClicks, 1);
    EXPECT_TRUE(form.IsLoaded());
}

TEST(SendKeys, EscPressesTheCancelButtonOfTheActiveForm) {
    TestForm first;
    first.Show(0);
    TestForm second;
    second.Show(0);
    ASSERT_EQ(GetActiveWindow(), second.hwnd());
    runtime::SendKeys("{ESC}");
    Settle();
    EXPECT_EQ(second.AbbrechenClicks, 1);
    EXPECT_EQ(first.AbbrechenClicks, 0);

    SetActiveWindow(first.hwnd());
    ASSERT_EQ(GetActiveWindow(), first.hwnd());
    runtime::SendKeys("{ESC}");
    Settle();
    EXPECT_EQ(first.AbbrechenClicks, 1);
    EXPECT_EQ(second.AbbrechenClicks, 1);
    EXPECT_TRUE(first.CloseModes.empty());
    EXPECT_TRUE(second.CloseModes.empty());
}

TEST(SendKeys, EscReachesTheFormWhenNoControlHasTheFocus) {
    TestForm form;
    form.Show(0);
    SetFocus(form.hwnd());
    ASSERT_EQ(GetFocus(), form.hwnd());
    runtime::SendKeys("{ESC}");
    Settle();
    EXPECT_EQ(form.AbbrechenClicks, 1);
    EXPECT_TRUE(form.Visible());
}

TEST(SendKeys, EscFromTheCloseRequestTurnsTheCloseBoxIntoTheCancelButton) {
    TestForm form;
    form.Show(0);
    form.NoteInStep1().SetFocus();
    form.OnQueryClose = [](int16_t& Cancel, int16_t CloseMode) {
        if (CloseMode == forms::kCloseByUser) {
            Cancel = -1;
            runtime::SendKeys("{ESC}");
        }
    };
    CloseBox(form.hwnd());
    Settle();
    EXPECT_EQ(form.CloseModes, Modes{0});
    EXPECT_EQ(form.AbbrechenClicks, 1);
    EXPECT_TRUE(form.Visible());
}

TEST(SendKeys, OtherTextRaisesInvalidProcedureCallAndSendsNothing) {
    TestForm form;
    form.Show(0);
    for (const char* keys : {"{ENTER}", "x", "", "{ESC}{ESC}", "{TAB}"}) {
        EXPECT_EQ(RaisedBy([&] { runtime::SendKeys(keys); }).Number, 5) << keys;
    }
    Settle();
    EXPECT_EQ(form.AbbrechenClicks + form.WeiterClicks + form.MehrClicks, 0);
    EXPECT_EQ(GetFocus(), form.List().Handle());
}
