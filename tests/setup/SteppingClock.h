#pragma once

#include <cstdint>
#include <functional>

namespace setuptest {

// A tick count that moves on by a fixed step at every reading, so that a wait of seconds passes in
// as many readings as the waiting code takes, and the test knows the time at each moment. An
// action can watch every reading (it runs on the reading thread, before the value is handed out).
// The program's clock is replaced while the object lives; one at a time. A clock that runs a
// minute past its start ends the test process as failed: a wait that never ends would otherwise
// hold the test until its time-out.
class SteppingClock {
public:
    SteppingClock(uint32_t start, uint32_t step);
    ~SteppingClock();
    SteppingClock(const SteppingClock&) = delete;
    SteppingClock& operator=(const SteppingClock&) = delete;

    // The value the last reading gave, and how many readings there were.
    static uint32_t Now();
    static uint32_t Readings();
    // The value of the first reading since the last Restart.
    static uint32_t First();
    static void Restart();
    // Runs at every reading with the value about to be handed out.
    static void OnReading(std::function<void(uint32_t now)> action);

private:
    static uint32_t Read();
};

} // namespace setuptest
