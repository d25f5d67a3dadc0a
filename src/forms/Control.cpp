#include "Control.h"

#include "Form.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

namespace forms {

namespace {

// The standard control's own window procedure, which every message goes on to: the one its class
// gives every window of it.
WNDPROC ClassProcedure(HWND window) {
    return reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC));
}

// Whether the window has anything outside its client area: a border, an edge or a scroll bar.
bool HasFrame(HWND window) {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_VSCROLL | WS_HSCROLL)) != 0 ||
           (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME)) != 0;
}

} // namespace

// Enter, Esc and Tab act on the form, whichever control has the focus: the standard controls
// would swallow them (and Wine's multi-line edit control closes its parent on Esc). A classic
// subclass rather than comctl32's, which would load that library into every start.
LRESULT CALLBACK Control::KeyboardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC original = ClassProcedure(window);
    auto passOn = [&] { return CallWindowProcW(original, window, message, wParam, lParam); };
    Control* control = FromHandle(window);
    if (message == WM_NCPAINT && !HasFrame(window)) {
        // Nothing to paint outside the client area; Wine's default painting would still fetch
        // the window's region from its server first, for every control, whenever a form shows.
        return 0;
    }
    try {
        if (control != nullptr) {
            switch (message) {
            case WM_KEYDOWN:
                if (control->OwnerForm().HandleKey(static_cast<UINT>(wParam), control)) {
                    return 0;
                }
                break;
            case WM_CHAR:
                if (wParam == L'\r' || wParam == L'\x1b' || wParam == L'\t') {
                    return 0;
                }
                break;
            case WM_SETFOCUS: {
                // Windows reports an unset radio button that gets the focus as clicked; the focus
                // alone must not choose an option, so the control knows when a notification comes
                // from it.
                control->takingFocus_ = true;
                const LRESULT result = passOn();
                control->takingFocus_ = false;
                return result;
            }
            case WM_GETDLGCODE:
                return passOn() | DLGC_WANTALLKEYS;
            default:
                break;
            }
        }
    } catch (...) {
        // The event procedures trap their own failures; nothing may cross back into Windows.
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return passOn();
}

Control::Control(Container& parent, int id, const Place& place, int tabIndex)
    : parent_(parent), id_(id), place_(place), tabIndex_(tabIndex) {}

Control::~Control() {
    if (handle_ != nullptr && IsWindow(handle_)) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void Control::Create(const wchar_t* className, DWORD style, DWORD exStyle, const std::wstring& text) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    style = visible_ ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE);
    style = enabled_ ? (style & ~WS_DISABLED) : (style | WS_DISABLED);
    HWND window =
        CreateWindowExW(exStyle, className, text.c_str(), style, Px(place_.Left), Px(place_.Top), Px(place_.Width),
                        Px(place_.Height), parent_.ContainerHandle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)), GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        runtime::Raise(runtime::kErrOutOfMemory);
    }
    // The control is kept in the window's user data, not in a window property: under Wine a
    // property lives in the server, and every message to every control would ask it there.
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::KeyboardProc));
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(OwnerForm().Font(fontPoints_)), FALSE);
    if (handle_ != nullptr) {
        const bool hadFocus = GetFocus() == handle_;
        SetWindowPos(window, handle_, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
        if (hadFocus) {
            ::SetFocus(window);
        }
    }
    handle_ = window;
}

DWORD Control::Style() const noexcept {
    return static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE));
}

std::string Control::WindowText() const {
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return runtime::Narrow(text);
}

void Control::WindowText(const std::string& text) {
    SetWindowTextW(handle_, runtime::Widen(text).c_str());
}

Control* Control::FromHandle(HWND window) noexcept {
    // Only a window that runs through our keyboard procedure is a control of ours; the user data
    // of any other (a form's, another program's) means something else.
    if (window == nullptr ||
        GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Control::KeyboardProc)) {
        return nullptr;
    }
    return reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Control::Move() {
    MoveWindow(handle_, Px(place_.Left), Px(place_.Top), Px(place_.Width), Px(place_.Height), TRUE);
}

void Control::Left(double points) {
    place_.Left = points;
    Move();
}

void Control::Top(double points) {
    place_.Top = points;
    Move();
}

void Control::Width(double points) {
    place_.Width = points;
    Move();
}

void Control::Height(double points) {
    place_.Height = points;
    Move();
}

void Control::Visible(bool visible) {
    visible_ = visible;
    ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::Enabled(bool enabled) {
    enabled_ = enabled;
    EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void Control::SetFocus() {
    OwnerForm().FocusControl(this);
}

void Control::FontSize(double points) {
    fontPoints_ = points;
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(OwnerForm().Font(points)), TRUE);
}

HBRUSH Control::OnControlColor(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    return parent_.BackgroundFor(dc, handle_);
}

} // namespace forms
