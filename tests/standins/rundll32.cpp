// Stands in for the shell's Fonts folder view under Wine, whose shell32 entry for it is a stub that
// opens no window: without this every install that copies a font would wait its full 30 s for a
// window that never comes. Installed as rundll32.exe into a prefix's syswow64 folder, where WOW64
// leads the 32-bit setup's start of "RUNDLL32.EXE" by its System32 path. Only the Fonts folder
// command gets a window.
//
// Like the Word stand-in it appends its command line and start-up show state to the file named by
// TVX_STANDIN_LOG, and its window stays until it is closed or its process terminated. The setup
// finds the window by its caption and hides it, never closes it. With TVX_FONTSVIEW_NO_WINDOW set
// it opens no window and ends, as Wine's own view does.
//
// Every other command goes to Wine's own rundll32, which the prefix keeps beside it as
// wine-rundll32.exe: Wine runs rundll32 itself when it updates a prefix after an upgrade, and an
// update that had silently done nothing would break the prefix in ways nobody could trace back to
// here. Without that file such a command ends at once with 0.

#include "Standin.h"

namespace {

constexpr char kFontsFolderCommand[] = "shell32.dll,SHHelpShortcuts_RunDLL FontsFolder";

// Runs the same command with Wine's own rundll32, waits for it and hands back its exit code. A
// marker in the environment stops a second hand-over, should the file ever be this program.
int RunWinesRundll32(const std::string& arguments) {
    if (!runtime::Environ("TVX_RUNDLL32_HANDED_OVER").empty()) {
        return 0;
    }
    wchar_t systemFolder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 0;
    }
    const std::wstring program = std::wstring(systemFolder) + L"\\wine-rundll32.exe";
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    SetEnvironmentVariableW(L"TVX_RUNDLL32_HANDED_OVER", L"1");
    std::wstring commandLine = L"\"" + program + L"\" " + runtime::Widen(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The shell treats the module and entry names without regard to case; so do we.
    const std::string arguments = runtime::Trim(runtime::CommandArguments());
    if (runtime::LCase(arguments) != runtime::LCase(kFontsFolderCommand)) {
        return RunWinesRundll32(runtime::CommandArguments());
    }

    const int showState = standin::StartShowState();
    standin::LogStart(showState, arguments);
    // Asked to behave like Wine's own view, which opens no window: a test of the setup's 30 s
    // limit sets TVX_FONTSVIEW_NO_WINDOW.
    if (!runtime::Environ("TVX_FONTSVIEW_NO_WINDOW").empty()) {
        return 0;
    }

    return standin::RunWindow(instance, L"TvxFontsView", "Fonts", 480, 320, showState);
}
