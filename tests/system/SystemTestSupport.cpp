#include "SystemTestSupport.h"

#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "runtime/Clock.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

namespace systemtest {

namespace {

constexpr wchar_t kFormClass[] = L"TvxSystemTestForm";
constexpr wchar_t kMessageClass[] = L"TvxSystemTestMessages";

void RegisterClasses() {
    static const bool registered = [] {
        WNDCLASSW form{};
        form.lpfnWndProc = DefWindowProcW;
        form.hInstance = GetModuleHandleW(nullptr);
        form.lpszClassName = kFormClass;
        RegisterClassW(&form);
        WNDCLASSW messages{};
        messages.lpfnWndProc = DefWindowProcW;
        messages.hInstance = GetModuleHandleW(nullptr);
        messages.lpszClassName = kMessageClass;
        RegisterClassW(&messages);
        return true;
    }();
    (void)registered;
}

HWND MessageWindow() {
    RegisterClasses();
    return CreateWindowExW(0, kMessageClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
}

std::atomic<uint32_t> clockNext{0};
std::atomic<uint32_t> clockStep{0};
std::atomic<int> clockReadings{0};

uint32_t SteppingTickCount() {
    ++clockReadings;
    return clockNext.fetch_add(clockStep.load());
}

} // namespace

std::string UniqueName(const std::string& prefix) {
    static std::atomic<int> counter{0};
    return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

void ExpectNoReport(Tarvex& root) {
    EXPECT_TRUE(root.Errors()->ErrNumber().IsEmpty()) << root.Errors()->ErrNumber().ToString();
    EXPECT_EQ(root.Errors()->Description().ToString(), "");
}

ReportAnswerer::ReportAnswerer() {
    answerer_.Click("Ignorieren");
}

void ReportAnswerer::Check(Tarvex& root, int32_t number, const std::string& errorText, const std::string& description) {
    ASSERT_TRUE(answerer_.Done()) << "no error dialog was shown";
    const auto seen = answerer_.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Title, "Tarvex Error");
    EXPECT_NE(seen[0].Body.find("\n\nFehlerbeschreibung: \"" + description + "\"\nVisual Basic Fehler: \"" + errorText +
                                "\"\nVisual Basic Fehlernummer: " + std::to_string(number) + "\n"),
              std::string::npos)
        << seen[0].Body;
    EXPECT_EQ(root.Errors()->ErrNumber().ToLong(), number);
    EXPECT_EQ(root.Errors()->ErrDescription().ToString(), errorText);
    EXPECT_EQ(root.Errors()->Description().ToString(), description);
}

TestForm::TestForm(const std::string& caption) {
    RegisterClasses();
    window_.reset(CreateWindowExW(0, kFormClass, runtime::Widen(caption).c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    EXPECT_TRUE(window_) << caption;
}

void StackTopDown(std::initializer_list<HWND> windows) {
    HWND above = HWND_TOP;
    for (HWND window : windows) {
        SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = window;
    }
}

SteppingClock::SteppingClock(uint32_t start, uint32_t step) {
    clockNext = start;
    clockStep = step;
    clockReadings = 0;
    runtime::SetTickSource(SteppingTickCount);
}

SteppingClock::~SteppingClock() {
    runtime::SetTickSource(nullptr);
}

int SteppingClock::Readings() const {
    return clockReadings;
}

PostedMarker::PostedMarker() : window_(MessageWindow()) {
    EXPECT_TRUE(window_);
    PostMessageW(window_.get(), WM_APP, 0, 0);
}

bool PostedMarker::StillWaiting() const {
    MSG message;
    return PeekMessageW(&message, window_.get(), WM_APP, WM_APP, PM_NOREMOVE) != FALSE;
}

ReleaseWhileRetrying::ReleaseWhileRetrying(runtime::FileHandle& lock, int messages) : lock_(lock), messages_(messages) {
    RegisterClasses();
    window_.reset(MessageWindow());
    EXPECT_TRUE(window_);
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
    HWND target = window_.get();
    sender_ = std::thread([this, target] {
        for (int i = 0; i < messages_; ++i) {
            SendMessageW(target, WM_APP, 0, 0);
        }
        senderDone_ = true;
    });
}

ReleaseWhileRetrying::~ReleaseWhileRetrying() {
    // Messages the operation left unhandled are handled here, so that the sender can end.
    while (!senderDone_) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(1);
    }
    sender_.join();
}

LRESULT CALLBACK ReleaseWhileRetrying::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        auto* self = reinterpret_cast<ReleaseWhileRetrying*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (++self->handled_ == self->messages_) {
            self->lock_.reset();
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace systemtest
