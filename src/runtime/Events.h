#pragma once

namespace runtime {

// Lets the thread's windows work during a long operation: runs every message waiting for the
// thread (messages sent from other threads included) and returns when none is left. A quit
// request is left in the queue for the loop that runs the program.
void DoEvents() noexcept;

} // namespace runtime
