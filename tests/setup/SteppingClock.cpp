#include "SteppingClock.h"

#include "runtime/Clock.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace setuptest {

namespace {

// No wait of the program lasts a minute. A clock that ran that long stands in a wait that does
// not end (a difference of signed counts across the sign change never exceeds its limit), which
// nothing from outside could end: the test fails there and then, not at its time-out.
constexpr uint32_t kLongestRun = 60000;

std::atomic<uint32_t> origin{0};
std::atomic<uint32_t> now{0};
std::atomic<uint32_t> step{1};
std::atomic<uint32_t> readings{0};
std::atomic<uint32_t> first{0};
std::function<void(uint32_t)> watcher;
std::recursive_mutex watcherMutex;

} // namespace

SteppingClock::SteppingClock(uint32_t start, uint32_t stepMs) {
    origin = start;
    now = start;
    step = stepMs;
    readings = 0;
    first = 0;
    runtime::SetTickSource(&SteppingClock::Read);
}

SteppingClock::~SteppingClock() {
    runtime::SetTickSource(nullptr);
    std::lock_guard<std::recursive_mutex> lock(watcherMutex);
    watcher = nullptr;
}

uint32_t SteppingClock::Read() {
    const uint32_t value = now.fetch_add(step) + step;
    if (value - origin > kLongestRun) {
        ADD_FAILURE() << "the clock ran " << value - origin << " ms from " << origin << ": a wait did not end";
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1);
    }
    if (readings++ == 0) {
        first = value;
    }
    std::lock_guard<std::recursive_mutex> lock(watcherMutex);
    if (watcher) {
        watcher(value);
    }
    return value;
}

uint32_t SteppingClock::Now() {
    return now;
}

uint32_t SteppingClock::Readings() {
    return readings;
}

uint32_t SteppingClock::First() {
    return first;
}

void SteppingClock::Restart() {
    readings = 0;
    first = 0;
}

void SteppingClock::OnReading(std::function<void(uint32_t)> action) {
    std::lock_guard<std::recursive_mutex> lock(watcherMutex);
    watcher = std::move(action);
}

} // namespace setuptest
