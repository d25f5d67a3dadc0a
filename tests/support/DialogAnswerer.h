#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// What a dialog of the program's message box showed when it was answered.
struct ShownDialog {
    std::string Title;
    std::string Headline;
    std::string Body;                 // line breaks as single line feeds
    std::vector<std::string> Buttons; // the visible buttons' captions, left to right
    std::vector<int> ButtonLefts;     // their left edges in the client area, pixels
    std::string DefaultButton;        // caption of the visible default button
    std::string Icon;                 // "info", "question", "error", "warning", or "" for none
    std::string FocusedButton;        // caption of the button with the input focus
    RECT BodyPlace{};                 // the body text box in the window's client area, pixels
    HWND Window = nullptr;            // the dialog's window
};

// How a user answers a dialog.
struct Answer {
    enum class Kind { Click, Enter, Escape, CloseBox, CloseFromOutside } How;
    std::string Caption;            // for Click: the caption of the button to press
    std::function<void()> Before{}; // what the user does before answering (closes Word, say)
};

// Answers the program's dialogs (message box and notice) shown by the thread that creates it,
// one after another in the order given, from a thread of its own and with real window messages:
// a click on a button, Enter or Esc to the control with the focus, the close command of the
// window menu, or another program's close request. Before each answer it reads what the dialog
// shows. The one message box window serves every dialog, often hidden and shown again at once; a
// hook on the creating thread counts its showings, so that each answer goes to a dialog of its own.
class DialogAnswerer {
public:
    DialogAnswerer();
    // Answers the dialogs of another process, the program started on its own. A hook cannot count
    // that process's showings; instead each answered message box gets a marked caption before the
    // answer goes in, and the next dialog is the one showing a title again.
    explicit DialogAnswerer(DWORD processId);
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    DialogAnswerer& Click(const std::string& caption);
    // Runs the action when the next dialog is up, before its answer is given.
    DialogAnswerer& Before(std::function<void()> action);
    DialogAnswerer& Enter();
    DialogAnswerer& Escape();
    DialogAnswerer& CloseBox();
    // A close request from another program (a task manager, say): WM_CLOSE, not the close command.
    DialogAnswerer& CloseFromOutside();

    // Waits until every queued answer was given; false when a dialog did not come in time.
    bool Done(std::chrono::milliseconds limit = std::chrono::seconds(30));
    // The dialogs answered so far.
    std::vector<ShownDialog> Seen();

private:
    DialogAnswerer& Queue(Answer answer);
    void Run();

    // Whether a dialog, found visible, is one not answered yet.
    bool IsNew(HWND dialog, long showing);

    DWORD processId_;
    bool remote_;
    HHOOK hook_ = nullptr;
    HWND answeredNotice_ = nullptr;
    long answeredShowing_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Answer> pending_;
    std::function<void()> pendingBefore_;
    std::vector<ShownDialog> seen_;
    bool stopping_ = false;
    std::thread worker_;
};

// Reads what the visible message box of the process shows, or returns false if none is shown.
bool ReadMessageBox(DWORD processId, ShownDialog& shown, HWND* window = nullptr);
// The visible dialog form of the process (message box or notice), or null.
HWND FindShownDialog(DWORD processId);

} // namespace testsupport
