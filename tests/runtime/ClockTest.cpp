#include "runtime/Clock.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace runtime;

namespace {

uint32_t fakeTicks = 0;
uint32_t FakeTickCount() {
    return fakeTicks;
}

SYSTEMTIME fakeNow{};
SYSTEMTIME FakeNow() {
    return fakeNow;
}

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    return time;
}

// Puts the system's clocks back however the test ends.
struct SystemClocksAtTheEnd {
    ~SystemClocksAtTheEnd() {
        SetTickSource(nullptr);
        SetNowSource(nullptr);
    }
};

} // namespace

TEST(Clock, TickCountReadsTheReplaceableClock) {
    SystemClocksAtTheEnd restore;
    fakeTicks = 0xFFFFFFF0u;
    const TickSource before = SetTickSource(FakeTickCount);
    EXPECT_NE(before, nullptr);
    EXPECT_EQ(TickCount(), 0xFFFFFFF0u);
    fakeTicks = 5;
    EXPECT_EQ(TickCount(), 5u);
    EXPECT_EQ(SetTickSource(nullptr), FakeTickCount);
    const uint32_t system = ::GetTickCount();
    EXPECT_LT(ElapsedMs(system, TickCount()), 1000u);
}

TEST(Clock, ElapsedTimeStaysRightAcrossTheSignChangeAndTheWrap) {
    EXPECT_EQ(ElapsedMs(1000u, 1250u), 250u);
    // Unsigned counts: past 2^31 and past 2^32.
    EXPECT_EQ(ElapsedMs(0x7FFFFFF0u, 0x80000010u), 0x20u);
    EXPECT_EQ(ElapsedMs(0xFFFFFFF0u, 0x00000010u), 0x20u);
    // Signed counts as the tick count wrapper hands them on: positive to negative, -1 to 0.
    EXPECT_EQ(ElapsedMs(int32_t{2147483000}, int32_t{-2147483000}), 1296u);
    EXPECT_EQ(ElapsedMs(int32_t{-1}, int32_t{19999}), 20000u);
    EXPECT_EQ(ElapsedMs(int32_t{-20000}, int32_t{1}), 20001u);
}

TEST(Clock, NowReadsTheReplaceableClock) {
    SystemClocksAtTheEnd restore;
    SetNowSource(FakeNow);
    fakeNow = At(2026, 5, 9, 9, 5);
    EXPECT_EQ(Hour(Now()), 9);
    EXPECT_EQ(Minute(Now()), 5);
    fakeNow = At(2026, 12, 31, 14, 30);
    EXPECT_EQ(Hour(Now()), 14);
    EXPECT_EQ(Minute(Now()), 30);
    fakeNow = At(2027, 1, 1, 0, 0);
    EXPECT_EQ(Hour(Now()), 0);
    EXPECT_EQ(Minute(Now()), 0);
    SetNowSource(nullptr);
    SYSTEMTIME system;
    GetLocalTime(&system);
    EXPECT_EQ(Now().wYear, system.wYear);
}

TEST(Clock, ShortDateIsTheUsersShortDateForm) {
    const SYSTEMTIME date = At(2026, 5, 9, 14, 30);
    const std::string text = ShortDate(date);
    wchar_t expected[80] = {};
    ASSERT_GT(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, expected, 80, nullptr), 0);
    EXPECT_EQ(text, Narrow(expected));
    EXPECT_NE(text.find("9"), std::string::npos) << text;
    EXPECT_NE(text.find("5"), std::string::npos) << text;
    EXPECT_NE(ShortDate(At(2026, 5, 10, 0, 0)), text);
}

TEST(Clock, ShortDateOfAnImpossibleDateRaises) {
    EXPECT_THROW(ShortDate(At(2026, 13, 40, 0, 0)), RuntimeError);
}
