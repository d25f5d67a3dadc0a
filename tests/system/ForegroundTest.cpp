#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

using systemtest::TestForm;

namespace {

// The foreground window is one for the whole desktop, shared with every other test process. The
// tests here take turns through a named mutex; a program of another test that comes up in the
// middle of a round spoils that round, so a scenario runs until one round passes (at most five).
// A broken operation passes no round.
class ForegroundTest : public testing::Test {
protected:
    void SetUp() override {
        turn_ = CreateMutexW(nullptr, FALSE, L"TvxTestsForegroundTurn");
        ASSERT_NE(turn_, nullptr);
        const DWORD waited = WaitForSingleObject(turn_, 60000);
        ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
    }
    void TearDown() override {
        ReleaseMutex(turn_);
        CloseHandle(turn_);
    }

    // A round gives what did not hold, "" when everything did.
    static std::string Rounds(const std::function<std::string()>& round) {
        std::string failed;
        for (int attempt = 0; attempt < 5; ++attempt) {
            failed = round();
            if (failed.empty()) {
                break;
            }
            Sleep(50);
        }
        return failed;
    }

    std::unique_ptr<TestForm> Window(const std::string& part) { return std::make_unique<TestForm>(mark_ + " " + part); }

    Tarvex root_;
    Tvx_ExternalWindows& windows_ = *root_.ExternalWindows();
    const std::string mark_ = systemtest::UniqueName("tvxfg");
    HANDLE turn_ = nullptr;
};

// Collects what did not hold in one round.
struct Checks {
    std::string failed;
    void operator()(bool holds, const char* what) {
        if (!holds) {
            failed += std::string(what) + "; ";
        }
    }
};

} // namespace

TEST_F(ForegroundTest, FormInTheForegroundIsLeftAsItIs) {
    EXPECT_EQ(Rounds([&] {
                  Checks check;
                  auto form = Window("form");
                  ShowWindow(form->hwnd(), SW_SHOWMINNOACTIVE);
                  SetForegroundWindow(form->hwnd());
                  if (GetForegroundWindow() != form->hwnd() || !IsIconic(form->hwnd())) {
                      return std::string("minimized form not in the foreground before the call");
                  }
                  check(windows_.WindowToForeground(form.get()), "result True");
                  // Not restored: nothing but the test of the foreground window ran.
                  check(IsIconic(form->hwnd()) != FALSE, "form still minimized");
                  return check.failed;
              }),
              "");
    systemtest::ExpectNoReport(root_);
}

TEST_F(ForegroundTest, MinimizedFormIsRestoredInTheForeground) {
    EXPECT_EQ(Rounds([&] {
                  Checks check;
                  auto form = Window("form");
                  auto front = Window("front");
                  ShowWindow(front->hwnd(), SW_SHOW);
                  SetForegroundWindow(front->hwnd());
                  ShowWindow(form->hwnd(), SW_SHOWMINNOACTIVE);
                  if (GetForegroundWindow() == form->hwnd() || !IsIconic(form->hwnd())) {
                      return std::string("form in the foreground or not minimized before the call");
                  }
                  check(windows_.WindowToForeground(form.get()), "result True");
                  check(!IsIconic(form->hwnd()), "form restored");
                  check(IsWindowVisible(form->hwnd()) != FALSE, "form visible");
                  check(GetForegroundWindow() == form->hwnd(), "form in the foreground");
                  return check.failed;
              }),
              "");
}

TEST_F(ForegroundTest, FormBehindOthersIsShownInTheForeground) {
    EXPECT_EQ(Rounds([&] {
                  Checks check;
                  auto form = Window("form");
                  auto front = Window("front");
                  ShowWindow(form->hwnd(), SW_SHOWNOACTIVATE);
                  ShowWindow(front->hwnd(), SW_SHOW);
                  SetForegroundWindow(front->hwnd());
                  if (GetForegroundWindow() != front->hwnd()) {
                      return std::string("other window not in the foreground before the call");
                  }
                  check(windows_.WindowToForeground(form.get()), "result True");
                  check(GetForegroundWindow() == form->hwnd(), "form in the foreground");
                  check(IsWindowVisible(form->hwnd()) != FALSE, "form visible");
                  return check.failed;
              }),
              "");
}

TEST_F(ForegroundTest, HiddenFormIsShownInTheForeground) {
    EXPECT_EQ(Rounds([&] {
                  Checks check;
                  auto form = Window("form");
                  auto front = Window("front");
                  ShowWindow(front->hwnd(), SW_SHOW);
                  SetForegroundWindow(front->hwnd());
                  if (GetForegroundWindow() != front->hwnd() || IsWindowVisible(form->hwnd())) {
                      return std::string("other window not in the foreground or form visible before the call");
                  }
                  check(windows_.WindowToForeground(form.get()), "result True");
                  check(IsWindowVisible(form->hwnd()) != FALSE, "form visible");
                  check(!IsIconic(form->hwnd()), "form not minimized");
                  check(GetForegroundWindow() == form->hwnd(), "form in the foreground");
                  return check.failed;
              }),
              "");
}

// The foreground window belongs to another thread: the form's thread joins its input for the
// switch.
TEST_F(ForegroundTest, FormTakesTheForegroundFromAnotherThreadsWindow) {
    EXPECT_EQ(Rounds([&] {
                  Checks check;
                  auto form = Window("form");
                  std::atomic<HWND> front{nullptr};
                  std::atomic<DWORD> frontThread{0};
                  const std::string caption = mark_ + " front";
                  std::thread owner([&] {
                      TestForm window(caption);
                      ShowWindow(window.hwnd(), SW_SHOW);
                      SetForegroundWindow(window.hwnd());
                      frontThread = GetCurrentThreadId();
                      front = window.hwnd();
                      MSG message;
                      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                          DispatchMessageW(&message);
                      }
                  });
                  while (front.load() == nullptr) {
                      Sleep(1);
                  }
                  if (GetForegroundWindow() == front.load()) {
                      check(windows_.WindowToForeground(form.get()), "result True");
                      check(GetForegroundWindow() == form->hwnd(), "form in the foreground");
                  } else {
                      check(false, "other thread's window not in the foreground before the call");
                  }
                  PostThreadMessageW(frontThread, WM_QUIT, 0, 0);
                  owner.join();
                  return check.failed;
              }),
              "");
}
