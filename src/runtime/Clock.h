#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The clocks every wait and every time stamp of the program reads. Both can be replaced, so that
// a test can run a 30-second wait, the tick count's wrap or a fixed time of day in no time.
namespace runtime {

using TickSource = uint32_t (*)();
using NowSource = SYSTEMTIME (*)();

// Replaces the clock behind TickCount and returns the one before; null puts the system's back.
TickSource SetTickSource(TickSource source) noexcept;
// Milliseconds since the system started (the system's GetTickCount); wraps to 0 after 2^32 ms.
uint32_t TickCount() noexcept;

// The milliseconds from start to now, also when the count turned negative or wrapped to 0 in
// between: the difference modulo 2^32. Waits of up to 49 days measure right.
constexpr uint32_t ElapsedMs(uint32_t start, uint32_t now) noexcept {
    return now - start;
}
// The same for counts handed around as signed 32-bit numbers, as the tick count wrapper does.
constexpr uint32_t ElapsedMs(int32_t start, int32_t now) noexcept {
    return static_cast<uint32_t>(now) - static_cast<uint32_t>(start);
}

// Replaces the clock behind Now and returns the one before; null puts the system's back.
NowSource SetNowSource(NowSource source) noexcept;
// The current local date and time.
SYSTEMTIME Now();

int Hour(const SYSTEMTIME& time) noexcept;
int Minute(const SYSTEMTIME& time) noexcept;
// The date in the user's short date format, as the system writes it (for example "09.05.2026"
// on a German system). Raises "invalid procedure call" for a date the system cannot format.
std::string ShortDate(const SYSTEMTIME& date);

} // namespace runtime
