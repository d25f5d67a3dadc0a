#include "Events.h"

#include <windows.h>

namespace runtime {

void DoEvents() noexcept {
    MSG message;
    // PeekMessage also hands every message that another thread sends to this one to its window
    // procedure before it looks at the queue.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace runtime
