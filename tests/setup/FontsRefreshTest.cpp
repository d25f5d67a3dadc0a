// The wait for the Fonts folder view, timed by a stepping clock: the waiting text's animation, the
// 30 s limit and the two pauses when no window comes, and which window is hidden when one does.

#include "SetupTestSupport.h"
#include "SteppingClock.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using setuptest::SetupProbe;
using setuptest::SteppingClock;
using testsupport::DialogAnswerer;
using testsupport::WordSandbox;

namespace {

// The environment of the Fonts view stand-in that the program starts: its log, and whether it
// opens its window.
class FontsViewEnvironment {
public:
    explicit FontsViewEnvironment(bool window) {
        SetEnvironmentVariableW(L"TVX_STANDIN_LOG", runtime::Widen(Log()).c_str());
        SetEnvironmentVariableW(L"TVX_FONTSVIEW_NO_WINDOW", window ? nullptr : L"1");
    }
    ~FontsViewEnvironment() {
        SetEnvironmentVariableW(L"TVX_STANDIN_LOG", nullptr);
        SetEnvironmentVariableW(L"TVX_FONTSVIEW_NO_WINDOW", nullptr);
    }
    std::string Log() const { return folder_.Path() + "started.log"; }
    std::string LogText() const { return testsupport::FileExists(Log()) ? testsupport::ReadFile(Log()) : ""; }

private:
    testsupport::TempFolder folder_{"tvxview"};
};

// A top-level window of the test's own, shown, with a caption.
class CaptionedWindow {
public:
    explicit CaptionedWindow(const std::string& caption) {
        window_ = CreateWindowExW(0, L"STATIC", runtime::Widen(caption).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, nullptr, nullptr);
    }
    ~CaptionedWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

struct FontsRefresh : testing::Test {
    WordSandbox sandbox;
    std::string office = sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    DialogAnswerer dialogs;
};

} // namespace

// The clock starts at 5000 ms, or 15 s before the count turns negative read as a signed number:
// a difference of the signed counts would come out negative there, and neither the animation nor
// the 30 s limit would come.
class FontsRefreshFrom : public FontsRefresh, public testing::WithParamInterface<uint32_t> {};

TEST_P(FontsRefreshFrom, NoWindowAnimatesTheWaitingTextAndGivesUpAfter30Seconds) {
    FontsViewEnvironment view(false);
    SteppingClock clock(GetParam(), 1);
    struct Step {
        uint32_t at;
        std::string text;
    };
    std::vector<Step> steps;
    std::string shown = setup.BitteWarten().Text();
    SteppingClock::OnReading([&](uint32_t now) {
        const std::string text = setup.BitteWarten().Text();
        if (text != shown) {
            steps.push_back({now, text});
            shown = text;
        }
    });
    setup.FontsFolderRefresh();
    const uint32_t end = SteppingClock::Now();
    SteppingClock::OnReading(nullptr);

    // Started minimized without the focus; it opened no window, so nothing was found or hidden
    // (and hiding nothing is no failure to report).
    EXPECT_NE(view.LogText().find("show=6\nargs=shell32.dll,SHHelpShortcuts_RunDLL FontsFolder\n"), std::string::npos)
        << view.LogText();
    EXPECT_TRUE(dialogs.Seen().empty());

    // From "Bitte warten ..." to four points, then one, two, three, four points and again.
    ASSERT_GT(steps.size(), 100u);
    const char* const cycle[] = {"Bitte warten .", "Bitte warten ..", "Bitte warten ...", "Bitte warten ...."};
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].text, cycle[(i + 3) % 4]) << "step " << i;
    }
    // One step each time more than 250 ms have passed.
    EXPECT_GT(steps[0].at - SteppingClock::First(), 250u);
    for (size_t i = 1; i < steps.size(); ++i) {
        EXPECT_GT(steps[i].at - steps[i - 1].at, 250u) << "step " << i;
        EXPECT_LT(steps[i].at - steps[i - 1].at, 300u) << "step " << i;
    }
    // The last step within the 30 s; then the limit, and the two pauses of 500 ms.
    EXPECT_LE(steps.back().at - SteppingClock::First(), 30000u);
    EXPECT_GT(end - SteppingClock::First(), 31000u);
    EXPECT_LT(end - SteppingClock::First(), 31000u + 300u);
}

INSTANTIATE_TEST_SUITE_P(FontsRefresh, FontsRefreshFrom, testing::Values(5000u, 0x80000000u - 15000),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                             return info.param == 5000 ? std::string("Start") : std::string("AcrossTheSignChange");
                         });

// From 5000 ms, or with the count turning negative, read as a signed number, in the second pause.
class FontsRefreshFoundFrom : public FontsRefresh, public testing::WithParamInterface<uint32_t> {};

TEST_P(FontsRefreshFoundFrom, WindowCaptionedFontsInAnyCaseIsHiddenFirst) {
    FontsViewEnvironment view(false);
    SteppingClock clock(GetParam(), 1);
    // "fonts" is looked for before "schriftarten": with both up, the first is hidden.
    CaptionedWindow german("Schriftarten");
    CaptionedWindow english("Meine FONTS-Sammlung");
    setup.FontsFolderRefresh();
    EXPECT_FALSE(IsWindowVisible(english.Handle()));
    EXPECT_TRUE(IsWindowVisible(german.Handle()));
    // Found at once: no animation, and only the two pauses.
    EXPECT_EQ(setup.BitteWarten().Text(), "Bitte warten ...");
    EXPECT_GT(SteppingClock::Now() - SteppingClock::First(), 1000u);
    EXPECT_LT(SteppingClock::Now() - SteppingClock::First(), 1100u);
    EXPECT_TRUE(dialogs.Seen().empty());
}

INSTANTIATE_TEST_SUITE_P(FontsRefresh, FontsRefreshFoundFrom, testing::Values(5000u, 0x80000000u - 700),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                             return info.param == 5000 ? std::string("Start") : std::string("AcrossTheSignChange");
                         });

TEST_F(FontsRefresh, WindowCaptionedSchriftartenIsHiddenToo) {
    FontsViewEnvironment view(false);
    SteppingClock clock(5000, 1);
    CaptionedWindow german("SCHRIFTARTEN-Ordner");
    setup.FontsFolderRefresh();
    EXPECT_FALSE(IsWindowVisible(german.Handle()));
    // Hidden, not closed.
    EXPECT_TRUE(IsWindow(german.Handle()));
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(FontsRefresh, TheViewStandinsWindowIsFoundAndHidden) {
    FontsViewEnvironment view(true);
    setup.FontsFolderRefresh();
    HWND found = FindWindowW(L"TvxFontsView", L"Fonts");
    ASSERT_NE(found, nullptr) << view.LogText();
    EXPECT_FALSE(IsWindowVisible(found));
    DWORD viewProcess = 0;
    GetWindowThreadProcessId(found, &viewProcess);
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, viewProcess)) {
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}
