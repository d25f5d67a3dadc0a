#include "support/DialogAnswerer.h"

#include "framework/Tvx_UFMacroSecurity.h"
#include "framework/Tvx_UFMessageBox.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

namespace testsupport {

namespace {

// The caption an answered message box carries until its next dialog sets a title again.
constexpr const wchar_t* kAnsweredMark = L"[answered]";

std::string TextOf(HWND window) {
    // WM_GETTEXT rather than GetWindowText: for a window of another process that reads only the
    // caption Windows keeps, not an edit control's text.
    wchar_t text[8192] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    std::wstring value = text;
    // The edit control shows line feeds as CR LF; the program gave single line feeds.
    std::wstring plain;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'\r' && i + 1 < value.size() && value[i + 1] == L'\n') {
            continue;
        }
        plain += value[i];
    }
    return runtime::Narrow(plain);
}

bool IsFormOf(HWND window, DWORD processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != processId || !IsWindowVisible(window) || !IsWindowEnabled(window)) {
        return false;
    }
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    return std::wstring(className) == L"TvxForm";
}

struct Search {
    DWORD processId;
    int childId;
    HWND found;
};

BOOL CALLBACK FindForm(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (IsFormOf(window, search->processId) && GetDlgItem(window, search->childId) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindFormWithChild(DWORD processId, int childId) {
    Search search{processId, childId, nullptr};
    EnumWindows(FindForm, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus != nullptr ? info.hwndFocus : window;
}

HWND ButtonWithCaption(HWND dialog, const std::string& caption) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (std::wstring(className) == L"Button" || std::wstring(className) == L"BUTTON") {
            if (IsWindowVisible(child) && TextOf(child) == caption) {
                return child;
            }
        }
    }
    return nullptr;
}

void PressKey(HWND dialog, UINT key) {
    HWND target = FocusOf(dialog);
    const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scanCode << 16) | (1u << 30) | (1u << 31));
}

} // namespace

HWND FindShownDialog(DWORD processId) {
    HWND box = FindFormWithChild(processId, Tvx_UFMessageBox::kIdTextBoxBig);
    return box != nullptr ? box : FindFormWithChild(processId, Tvx_UFMacroSecurity::kIdLabelWelcome);
}

bool ReadMessageBox(DWORD processId, ShownDialog& shown, HWND* window) {
    HWND box = FindFormWithChild(processId, Tvx_UFMessageBox::kIdTextBoxBig);
    if (box == nullptr) {
        return false;
    }
    shown = ShownDialog{};
    shown.Title = TextOf(box);
    shown.Headline = TextOf(GetDlgItem(box, Tvx_UFMessageBox::kIdTextBoxBig));
    HWND body = GetDlgItem(box, Tvx_UFMessageBox::kIdTextBox);
    shown.Body = TextOf(body);
    GetWindowRect(body, &shown.BodyPlace);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&shown.BodyPlace), 2);
    const std::pair<int, const char*> icons[] = {{Tvx_UFMessageBox::kIdIconInfo, "info"},
                                                 {Tvx_UFMessageBox::kIdIconQuestion, "question"},
                                                 {Tvx_UFMessageBox::kIdIconError, "error"},
                                                 {Tvx_UFMessageBox::kIdIconWarning, "warning"}};
    for (const auto& [id, name] : icons) {
        if (IsWindowVisible(GetDlgItem(box, id))) {
            shown.Icon += shown.Icon.empty() ? name : std::string(",") + name;
        }
    }
    std::vector<std::pair<LONG, std::string>> buttons;
    for (int id = Tvx_UFMessageBox::kIdIconInfo; id <= Tvx_UFMessageBox::kIdIconWarning; ++id) {
        HWND child = GetDlgItem(box, id);
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (_wcsicmp(className, L"Button") == 0 && IsWindowVisible(child)) {
            RECT place{};
            GetWindowRect(child, &place);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
            buttons.emplace_back(place.left, TextOf(child));
            if ((GetWindowLongPtrW(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
                shown.DefaultButton = TextOf(child);
            }
        }
    }
    std::sort(buttons.begin(), buttons.end());
    for (const auto& button : buttons) {
        shown.ButtonLefts.push_back(static_cast<int>(button.first));
        shown.Buttons.push_back(button.second);
    }
    HWND focus = FocusOf(box);
    if (focus != box) {
        shown.FocusedButton = TextOf(focus);
    }
    if (window != nullptr) {
        *window = box;
    }
    return true;
}

namespace {

std::atomic<long> showings{0};

LRESULT CALLBACK CountShowings(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam) {
        wchar_t className[16] = {};
        GetClassNameW(call->hwnd, className, 16);
        if (std::wstring(className) == L"TvxForm") {
            ++showings;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// The count of showings is taken here, on the thread that will show the dialogs: a dialog shown
// before the worker thread gets going must still count as new.
DialogAnswerer::DialogAnswerer()
    : processId_(GetCurrentProcessId()), remote_(false),
      hook_(SetWindowsHookExW(WH_CALLWNDPROC, CountShowings, nullptr, GetCurrentThreadId())),
      answeredShowing_(showings.load()), worker_([this] { Run(); }) {}

DialogAnswerer::DialogAnswerer(DWORD processId) : processId_(processId), remote_(true), worker_([this] { Run(); }) {}

bool DialogAnswerer::IsNew(HWND dialog, long showing) {
    if (!remote_) {
        return showing > answeredShowing_;
    }
    if (GetDlgItem(dialog, Tvx_UFMessageBox::kIdTextBoxBig) != nullptr) {
        // A box whose caption cannot be read belongs to a program that is ending (an answer ended
        // it): the box is still up, its thread answers no more. It is no new dialog.
        wchar_t caption[64] = {};
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(dialog, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(caption), SMTO_ABORTIFHUNG, 5000,
                                 &copied)) {
            return false;
        }
        return runtime::Narrow(caption) != runtime::Narrow(kAnsweredMark);
    }
    // The notice keeps its caption; it is new once it was hidden after its last answer.
    return dialog != answeredNotice_;
}

DialogAnswerer::~DialogAnswerer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
}

DialogAnswerer& DialogAnswerer::Queue(Answer answer) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        answer.Before = std::move(pendingBefore_);
        pendingBefore_ = nullptr;
        pending_.push_back(std::move(answer));
    }
    changed_.notify_all();
    return *this;
}

DialogAnswerer& DialogAnswerer::Click(const std::string& caption) {
    return Queue({Answer::Kind::Click, caption});
}
DialogAnswerer& DialogAnswerer::Before(std::function<void()> action) {
    std::lock_guard<std::mutex> lock(mutex_);
    pendingBefore_ = std::move(action);
    return *this;
}

DialogAnswerer& DialogAnswerer::Enter() {
    return Queue({Answer::Kind::Enter, {}});
}
DialogAnswerer& DialogAnswerer::Escape() {
    return Queue({Answer::Kind::Escape, {}});
}
DialogAnswerer& DialogAnswerer::CloseBox() {
    return Queue({Answer::Kind::CloseBox, {}});
}
DialogAnswerer& DialogAnswerer::CloseFromOutside() {
    return Queue({Answer::Kind::CloseFromOutside, {}});
}

bool DialogAnswerer::Done(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, limit, [this] { return pending_.empty(); });
}

std::vector<ShownDialog> DialogAnswerer::Seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void DialogAnswerer::Run() {
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(5), [this] { return stopping_; });
            if (stopping_) {
                return;
            }
        }
        if (answeredNotice_ != nullptr && !IsWindowVisible(answeredNotice_)) {
            answeredNotice_ = nullptr;
        }
        // The next dialog: one shown after the one answered last.
        const long showing = showings.load();
        HWND dialog = FindShownDialog(processId_);
        if (dialog == nullptr || !IsNew(dialog, showing)) {
            continue;
        }
        // Let the dialog finish coming up (focus, default button) before reading and answering it.
        // Its thread answers another thread's message only once it waits in the dialog's message
        // loop, after the focus was set; a fixed pause was too short under load.
        DWORD_PTR settled = 0;
        SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &settled);
        ShownDialog shown;
        const bool messageBox = ReadMessageBox(processId_, shown);
        if (!messageBox) {
            shown.Title = TextOf(dialog);
            shown.Body = TextOf(GetDlgItem(dialog, Tvx_UFMacroSecurity::kIdLabelWelcome));
            HWND ok = GetDlgItem(dialog, Tvx_UFMacroSecurity::kIdOk);
            shown.Buttons.push_back(TextOf(ok));
            if ((GetWindowLongPtrW(ok, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
                shown.DefaultButton = TextOf(ok);
            }
            HWND focus = FocusOf(dialog);
            if (focus != dialog) {
                shown.FocusedButton = TextOf(focus);
            }
        }
        shown.Window = dialog;
        answeredShowing_ = showing;
        if (remote_ && messageBox) {
            // Marked before the answer goes in, so that the program's next dialog, which sets a
            // title again, cannot be taken for this one.
            DWORD_PTR done = 0;
            SendMessageTimeoutW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kAnsweredMark), SMTO_ABORTIFHUNG, 5000,
                                &done);
        } else if (!messageBox) {
            answeredNotice_ = dialog;
        }

        Answer answer{Answer::Kind::Escape, {}};
        bool expected = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!pending_.empty()) {
                answer = pending_.front();
                expected = true;
            }
        }
        if (!expected) {
            // A dialog nobody asked for: the test fails, but the program under test goes on.
            ADD_FAILURE() << "unexpected dialog \"" << shown.Title << "\": " << shown.Headline << "\n" << shown.Body;
            if (ButtonWithCaption(dialog, "Ignorieren") != nullptr) {
                answer = {Answer::Kind::Click, "Ignorieren"};
            }
        }
        if (answer.Before) {
            answer.Before();
        }
        if (expected) {
            // Recorded before the answer goes in: the answer can end the program, and a test that
            // sees the end reads the dialogs at once, maybe before this thread runs again.
            std::lock_guard<std::mutex> lock(mutex_);
            seen_.push_back(shown);
        }
        switch (answer.How) {
        case Answer::Kind::Click:
            if (HWND button = ButtonWithCaption(dialog, answer.Caption)) {
                PostMessageW(button, BM_CLICK, 0, 0);
            } else {
                ADD_FAILURE() << "no button \"" << answer.Caption << "\" in dialog \"" << shown.Title << "\"";
            }
            break;
        case Answer::Kind::Enter:
            PressKey(dialog, VK_RETURN);
            break;
        case Answer::Kind::Escape:
            PressKey(dialog, VK_ESCAPE);
            break;
        case Answer::Kind::CloseBox:
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case Answer::Kind::CloseFromOutside:
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            break;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (expected) {
                pending_.pop_front();
            }
        }
        changed_.notify_all();
    }
}

} // namespace testsupport
