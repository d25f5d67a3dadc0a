// The Word check in the program's own thread, timed by a stepping clock: how long it waits, when
// it asks, and what each answer does, with a real process named winword.exe standing in for Word.

#include "SetupTestSupport.h"
#include "SteppingClock.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <windows.h>

using setuptest::SetupProbe;
using setuptest::SteppingClock;
using testsupport::DialogAnswerer;
using testsupport::WordSandbox;

namespace {

constexpr uint32_t kStep = 5;

// Word as the user has it open: the stand-in under Word's executable name.
class StandinWord {
public:
    StandinWord() {
        const std::string path = folder_.Path() + "winword.exe";
        CopyFileW(runtime::Widen(testsupport::StandinPath("winword.exe")).c_str(), runtime::Widen(path).c_str(), FALSE);
        std::wstring line = L"\"" + runtime::Widen(path) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            CloseHandle(started.hThread);
            process_ = started.hProcess;
            WaitForInputIdle(process_, 5000);
        }
    }
    ~StandinWord() {
        End();
        CloseHandle(process_);
    }
    bool Started() const { return process_ != nullptr; }
    bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    void End() {
        if (process_ != nullptr && Running()) {
            TerminateProcess(process_, 0);
            WaitForSingleObject(process_, 5000);
        }
    }

private:
    testsupport::TempFolder folder_{"tvxword"};
    HANDLE process_ = nullptr;
};

// The wizard after its start-up, which found no Word running.
struct WordCheck : testing::Test {
    WordSandbox sandbox;
    std::string office = sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
};

} // namespace

TEST_F(WordCheck, WordNotRunningReturnsWithoutWaiting) {
    SteppingClock clock(1000, kStep);
    DialogAnswerer dialogs;
    setup.EnsureWordClosed();
    EXPECT_EQ(SteppingClock::Readings(), 0u);
    EXPECT_TRUE(dialogs.Seen().empty());
}

TEST_F(WordCheck, WordEndingWithinTheWaitGivesNoDialog) {
    StandinWord word;
    ASSERT_TRUE(word.Started());
    SteppingClock clock(1000, kStep);
    // Word is closed 100 ms into the wait.
    SteppingClock::OnReading([&](uint32_t now) {
        if (now - SteppingClock::First() >= 100 && word.Running()) {
            word.End();
        }
    });
    DialogAnswerer dialogs;
    setup.EnsureWordClosed();
    EXPECT_TRUE(dialogs.Seen().empty());
    EXPECT_FALSE(word.Running());
    // The check saw Word gone soon after, not at the end of the 250 ms.
    EXPECT_LT(SteppingClock::Now() - SteppingClock::First(), 250u);
}

TEST_F(WordCheck, RetryWhileWordRunsWaitsAgainAndAsksAgain) {
    StandinWord word;
    ASSERT_TRUE(word.Started());
    SteppingClock clock(1000, kStep);
    uint32_t firstAsked = 0;
    uint32_t secondAsked = 0;
    DialogAnswerer dialogs;
    dialogs.Before([&] { firstAsked = SteppingClock::Now(); }).Click("Wiederholen");
    dialogs
        .Before([&] {
            secondAsked = SteppingClock::Now();
            word.End();
        })
        .Click("Wiederholen");
    setup.EnsureWordClosed();
    ASSERT_TRUE(dialogs.Done());
    ASSERT_EQ(dialogs.Seen().size(), 2u);
    // Each dialog after a full wait of more than 250 ms; the last answer with Word closed ends the
    // check without a third.
    EXPECT_GT(firstAsked - SteppingClock::First(), 250u);
    EXPECT_LE(firstAsked - SteppingClock::First(), 250u + 4 * kStep);
    EXPECT_GT(secondAsked - firstAsked, 250u);
    EXPECT_LE(secondAsked - firstAsked, 250u + 8 * kStep);
}

TEST_F(WordCheck, BeendenAfterWordEndedMeanwhileShowsNothingMore) {
    StandinWord word;
    ASSERT_TRUE(word.Started());
    SteppingClock clock(1000, kStep);
    DialogAnswerer dialogs;
    dialogs.Before([&] { word.End(); }).Click("Beenden");
    setup.EnsureWordClosed();
    ASSERT_TRUE(dialogs.Done());
    // Nothing left to end, so no report that Word could not be ended.
    EXPECT_EQ(dialogs.Seen().size(), 1u);
}

TEST_F(WordCheck, BeendenTerminatesTheRunningWord) {
    StandinWord word;
    ASSERT_TRUE(word.Started());
    DialogAnswerer dialogs;
    dialogs.Click("Beenden");
    setup.EnsureWordClosed();
    ASSERT_TRUE(dialogs.Done());
    EXPECT_TRUE(testsupport::WaitFor([&] { return !word.Running(); }, std::chrono::seconds(10)));
    EXPECT_EQ(dialogs.Seen().size(), 1u);
}

// 100 ms before the count turns negative, read as a signed number (a difference of the signed
// counts would come out negative and the wait would last until Word ends), and 100 ms before it
// wraps to 0.
class WordCheckAcross : public WordCheck, public testing::WithParamInterface<uint32_t> {};

TEST_P(WordCheckAcross, WaitEndsAlsoWhenTheTickCountCrossesThePoint) {
    StandinWord word;
    ASSERT_TRUE(word.Started());
    SteppingClock clock(GetParam() - 100, kStep);
    // A wait still going 5 s after its start is ended by closing Word: the test then fails soon,
    // for the missing dialog.
    SteppingClock::OnReading([&](uint32_t now) {
        if (now - SteppingClock::First() > 5000 && word.Running()) {
            word.End();
        }
    });
    uint32_t asked = 0;
    DialogAnswerer dialogs;
    dialogs.Before([&] { asked = SteppingClock::Now(); }).Click("Beenden");
    setup.EnsureWordClosed();
    ASSERT_TRUE(dialogs.Done(std::chrono::seconds(1)));
    // Asked after the count passed the point, once more than 250 ms had passed.
    EXPECT_LT(asked - GetParam(), 1000u);
    EXPECT_GT(asked - SteppingClock::First(), 250u);
    EXPECT_LE(asked - SteppingClock::First(), 250u + 4 * kStep);
}

INSTANTIATE_TEST_SUITE_P(WordCheck, WordCheckAcross, testing::Values(0x80000000u, 0u),
                         [](const testing::TestParamInfo<uint32_t>& info) {
                             return info.param == 0 ? std::string("Wrap") : std::string("SignChange");
                         });
