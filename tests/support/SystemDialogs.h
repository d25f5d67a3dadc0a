#pragma once

#include <chrono>
#include <string>

#include <windows.h>

namespace testsupport {

// The first visible top-level window of this process with exactly this caption, or null when
// none came up within the limit.
HWND WaitForOwnWindow(const std::wstring& caption, std::chrono::milliseconds limit);

// From a thread of its own: waits for the system's message box with this caption, writes its
// text to the standard error stream (so that a death test can match it) and presses OK.
void AnswerSystemMessageBoxLater(const std::wstring& caption);

} // namespace testsupport
