#pragma once

// What the stand-in programs share: they tell how they were started, and show one window until it
// is closed or their process terminated. Header only: every .cpp file of this folder is a program.

#include "runtime/Process.h"
#include "runtime/Text.h"

#include <windows.h>

#include <string>

namespace standin {

// The show state the program was started with, -1 when none was given.
inline int StartShowState() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

// Appends how the program was started, and which program file ran, to the file named by
// TVX_STANDIN_LOG, for the tests.
inline void LogStart(int showState, const std::string& arguments) {
    const std::string logPath = runtime::Environ("TVX_STANDIN_LOG");
    if (logPath.empty()) {
        return;
    }
    const std::string line = "show=" + std::to_string(showState) + "\nargs=" + arguments +
                             "\ncmdline=" + runtime::Narrow(GetCommandLineW()) + "\nprogram=" + runtime::ProgramPath() +
                             "\n";
    HANDLE file = CreateFileW(runtime::Widen(logPath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

inline LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Shows one window in the start-up show state and runs until it is closed.
inline int RunWindow(HINSTANCE instance, const wchar_t* className, const std::string& caption, int width, int height,
                     int showState) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, className, runtime::Widen(caption).c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, width, height, nullptr, nullptr, instance, nullptr);
    // Wine treats SW_SHOWDEFAULT as SW_SHOWNORMAL instead of taking the start-up show state, so
    // the state is passed on here: a Word started maximized comes up maximized, the Fonts view
    // minimized.
    ShowWindow(window, showState >= 0 ? showState : SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

} // namespace standin
