// Stands in for Microsoft Word and for any program the setup starts: shows a window and runs until
// it is closed or terminated. It appends its command line and the show state it was started with
// to the file named by TVX_STANDIN_LOG, so a test can see how it was started.

#include "Standin.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const int showState = standin::StartShowState();
    standin::LogStart(showState, runtime::CommandArguments());
    std::string caption = runtime::Environ("TVX_STANDIN_CAPTION");
    if (caption.empty()) {
        caption = "Stand-in";
    }
    return standin::RunWindow(instance, L"TvxStandin", caption, 400, 300, showState);
}
