#include "support/SystemDialogs.h"

#include "runtime/Text.h"

#include <cstdio>
#include <thread>

namespace testsupport {

namespace {

struct Search {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != GetCurrentProcessId() || !IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (*search->caption == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForOwnWindow(const std::wstring& caption, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    do {
        Search search{&caption, nullptr};
        EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < end);
    return nullptr;
}

void AnswerSystemMessageBoxLater(const std::wstring& caption) {
    std::thread([caption] {
        HWND box = WaitForOwnWindow(caption, std::chrono::seconds(60));
        if (box == nullptr) {
            return;
        }
        wchar_t text[1024] = {};
        // The system's message box keeps its text in the static control 0xFFFF.
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        std::fprintf(stderr, "[%s] %s\n", runtime::Narrow(caption).c_str(), runtime::Narrow(text).c_str());
        std::fflush(stderr);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }).detach();
}

} // namespace testsupport
