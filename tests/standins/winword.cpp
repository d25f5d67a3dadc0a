// Stands in for Microsoft Word and for any program the setup starts: shows a window and runs until
// it is closed or terminated. It appends its command line and the show state it was started with
// to the file named by TVX_STANDIN_LOG, so a test can see how it was started.

#include "runtime/Process.h"
#include "runtime/Text.h"

#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK StandinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void AppendToLog(const std::string& line) {
    const std::string logPath = runtime::Environ("TVX_STANDIN_LOG");
    if (logPath.empty()) {
        return;
    }
    HANDLE file = CreateFileW(runtime::Widen(logPath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    AppendToLog("show=" + std::to_string(showState) + "\nargs=" + runtime::CommandArguments() +
                "\ncmdline=" + runtime::Narrow(GetCommandLineW()) + "\n");

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = StandinProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"TvxStandin";
    RegisterClassW(&windowClass);
    std::string caption = runtime::Environ("TVX_STANDIN_CAPTION");
    if (caption.empty()) {
        caption = "Stand-in";
    }
    HWND window = CreateWindowExW(0, L"TvxStandin", runtime::Widen(caption).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    // Wine treats SW_SHOWDEFAULT as SW_SHOWNORMAL instead of taking the start-up show state, so
    // the state is passed on here: a Word started maximized comes up maximized.
    ShowWindow(window, showState >= 0 ? showState : SW_SHOWNORMAL);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
