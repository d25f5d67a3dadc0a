#include "Clock.h"

#include "RuntimeError.h"
#include "Text.h"

#include <atomic>

namespace runtime {

namespace {

uint32_t SystemTickCount() {
    return ::GetTickCount();
}

SYSTEMTIME SystemNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

std::atomic<TickSource> tickSource{SystemTickCount};
std::atomic<NowSource> nowSource{SystemNow};

} // namespace

TickSource SetTickSource(TickSource source) noexcept {
    return tickSource.exchange(source != nullptr ? source : SystemTickCount);
}

uint32_t TickCount() noexcept {
    return tickSource.load()();
}

NowSource SetNowSource(NowSource source) noexcept {
    return nowSource.exchange(source != nullptr ? source : SystemNow);
}

SYSTEMTIME Now() {
    return nowSource.load()();
}

int Hour(const SYSTEMTIME& time) noexcept {
    return time.wHour;
}

int Minute(const SYSTEMTIME& time) noexcept {
    return time.wMinute;
}

std::string ShortDate(const SYSTEMTIME& date) {
    wchar_t text[128];
    const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, text, 128);
    if (length <= 0) {
        Raise(kErrInvalidCall);
    }
    return Narrow(std::wstring_view(text, static_cast<size_t>(length) - 1));
}

} // namespace runtime
