#include "runtime/Events.h"
#include "runtime/Handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> handledMessages{0};

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++handledMessages;
        return 7;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A message-only window of the test's thread that counts the WM_APP messages it is handed.
runtime::OwnedWindow CountingWindow() {
    static const ATOM windowClass = [] {
        WNDCLASSW description{};
        description.lpfnWndProc = CountingProc;
        description.hInstance = GetModuleHandleW(nullptr);
        description.lpszClassName = L"TvxEventsTestWindow";
        return RegisterClassW(&description);
    }();
    EXPECT_NE(windowClass, 0);
    return runtime::OwnedWindow(CreateWindowExW(0, L"TvxEventsTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                                GetModuleHandleW(nullptr), nullptr));
}

} // namespace

TEST(DoEvents, RunsEveryPostedMessageAndReturnsWhenNoneIsLeft) {
    runtime::OwnedWindow window = CountingWindow();
    ASSERT_TRUE(window);
    handledMessages = 0;
    for (int i = 0; i < 3; ++i) {
        PostMessageW(window.get(), WM_APP, 0, 0);
    }
    runtime::DoEvents();
    EXPECT_EQ(handledMessages, 3);
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, nullptr, 0, 0, PM_NOREMOVE));
    runtime::DoEvents();
    EXPECT_EQ(handledMessages, 3);
}

TEST(DoEvents, HandlesMessagesSentFromAnotherThread) {
    runtime::OwnedWindow window = CountingWindow();
    ASSERT_TRUE(window);
    handledMessages = 0;
    LRESULT answer = 0;
    std::thread sender([&] { answer = SendMessageW(window.get(), WM_APP, 0, 0); });
    // The sent message waits for this thread to look at its messages.
    while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0) {
        Sleep(1);
    }
    EXPECT_EQ(handledMessages, 0);
    runtime::DoEvents();
    sender.join();
    EXPECT_EQ(handledMessages, 1);
    EXPECT_EQ(answer, 7);
}

TEST(DoEvents, LeavesTheQuitRequestForTheProgramsLoop) {
    runtime::OwnedWindow window = CountingWindow();
    ASSERT_TRUE(window);
    handledMessages = 0;
    PostMessageW(window.get(), WM_APP, 0, 0);
    PostQuitMessage(7);
    runtime::DoEvents();
    EXPECT_EQ(handledMessages, 1);
    MSG quit;
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(quit.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(quit.wParam, 7u);
}
