#pragma once

#include <string>

namespace runtime {

// Sends key presses to the window with the input focus in the active window, without waiting
// for them to be handled. Knows the keys the program sends: "{ESC}"; anything else raises
// "invalid procedure call".
void SendKeys(const std::string& keys);

} // namespace runtime
