#include "Form.h"

#include "CommandButton.h"
#include "Frame.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <algorithm>
#include <utility>

namespace forms {

namespace {

constexpr const wchar_t* kFormClass = L"TvxForm";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

} // namespace

void Form::RegisterFormClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Form::WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kFormClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

namespace {

bool IsOwnThreadWindow(HWND window) {
    return window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

} // namespace

Form::Form(const FormLayout& layout) : layout_(layout) {
    RegisterFormClass();
    if (layout.PictureId != 0) {
        picture_ = Picture(layout.PictureId);
        pictureBrush_.reset(CreatePatternBrush(picture_.Bitmap()));
    }
    backBrush_.reset(CreateSolidBrush(layout.BackColor));

    RECT frame{0, 0, Px(layout.ClientWidth), Px(layout.ClientHeight)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    handle_ = CreateWindowExW(kFormExStyle, kFormClass, runtime::Widen(layout.Caption).c_str(), kFormStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, GetModuleHandleW(nullptr), this);
    if (handle_ == nullptr) {
        runtime::Raise(runtime::kErrOutOfMemory);
    }
    CentreOn(nullptr);
    if (layout.IconId != 0) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        auto big = LoadImageW(instance, MAKEINTRESOURCEW(layout.IconId), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                              GetSystemMetrics(SM_CYICON), 0);
        auto small = LoadImageW(instance, MAKEINTRESOURCEW(layout.IconId), IMAGE_ICON,
                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);
        SendMessageW(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        SendMessageW(handle_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

Form::~Form() {
    if (handle_ != nullptr) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

HFONT Form::Font(double points) {
    auto found = fonts_.find(points);
    if (found == fonts_.end()) {
        HFONT font = CreateFontW(-Px(points), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                 OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                 L"Tahoma");
        found = fonts_.emplace(points, runtime::GdiObject(font)).first;
    }
    return static_cast<HFONT>(found->second.get());
}

std::string Form::Caption() const {
    const int length = GetWindowTextLengthW(handle_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(handle_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return runtime::Narrow(text);
}

void Form::Caption(const std::string& caption) { SetWindowTextW(handle_, runtime::Widen(caption).c_str()); }

bool Form::Visible() const { return handle_ != nullptr && IsWindowVisible(handle_); }

void Form::CentreOn(HWND owner) {
    RECT area{};
    if (owner != nullptr && IsWindowVisible(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    GetWindowRect(handle_, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    const int left = std::max(0L, area.left + (area.right - area.left - width) / 2);
    const int top = std::max(0L, area.top + (area.bottom - area.top - height) / 2);
    SetWindowPos(handle_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show(int16_t modal) {
    if (handle_ == nullptr) {
        runtime::Raise(runtime::kErrObjectNotSet);
    }
    if (modal != 0 && IsWindowVisible(handle_)) {
        runtime::Raise(400, "Formular wird bereits angezeigt; kann nicht modal angezeigt werden");
    }
    HWND owner = nullptr;
    if (modal != 0) {
        HWND active = GetActiveWindow();
        owner = active != handle_ && IsOwnThreadWindow(active) ? active : nullptr;
        SetWindowLongPtrW(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    if (modal != 0) {
        CentreOn(owner);
    }
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    if (pendingFocus_ != nullptr) {
        ::SetFocus(pendingFocus_->Handle());
        pendingFocus_ = nullptr;
    } else if (!IsChild(handle_, GetFocus())) {
        // A form that is up already keeps the focus its code gave it: the wizard's start-up
        // brings the window to the front and puts the focus on "Weiter >" before it is shown.
        const auto order = TabOrder();
        const auto first = std::find_if(order.begin(), order.end(), [&](Control* c) { return Reachable(c); });
        ::SetFocus(first != order.end() ? (*first)->Handle() : handle_);
    }
    if (modal == 0) {
        return;
    }

    // The program's other windows take no input while the form is shown modally.
    EnumThreadWindows(GetCurrentThreadId(), DisableForModal, reinterpret_cast<LPARAM>(this));

    MSG message;
    while (handle_ != nullptr && IsWindowVisible(handle_)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // Leave the quit request to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    EnableOtherWindows();
}

BOOL CALLBACK Form::DisableForModal(HWND window, LPARAM form) {
    auto* self = reinterpret_cast<Form*>(form);
    if (window != self->handle_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        self->disabledForModal_.push_back(window);
    }
    return TRUE;
}

void Form::EnableOtherWindows() {
    for (auto window = disabledForModal_.rbegin(); window != disabledForModal_.rend(); ++window) {
        if (IsWindow(*window)) {
            EnableWindow(*window, TRUE);
        }
    }
    disabledForModal_.clear();
}

void Form::Hide() {
    if (handle_ == nullptr) {
        return;
    }
    // The owner must be enabled before the form disappears, or Windows activates another
    // program's window in between.
    EnableOtherWindows();
    ShowWindow(handle_, SW_HIDE);
    // Wakes a modal loop that waits in GetMessage.
    PostMessageW(handle_, WM_NULL, 0, 0);
}

void Form::Unload() {
    if (handle_ == nullptr || !QueryClose(kCloseByCode)) {
        return;
    }
    Destroy();
}

void Form::Destroy() {
    EnableOtherWindows();
    HWND window = std::exchange(handle_, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    if (quitWhenDestroyed_) {
        PostQuitMessage(0);
    }
}

bool Form::QueryClose(int16_t mode) {
    int16_t cancel = 0;
    try {
        UserForm_QueryClose(cancel, mode);
    } catch (...) {
        // The handler traps its own failures; nothing of it may reach the window procedure.
    }
    return cancel == 0;
}

void Form::UserForm_QueryClose(int16_t&, int16_t) {}

void Form::FocusControl(Control* control) {
    if (Visible()) {
        ::SetFocus(control->Handle());
    } else {
        pendingFocus_ = control;
    }
}

bool Form::Shown(const Control* control) const {
    if (!control->Visible()) {
        return false;
    }
    for (const Container* container = &control->Parent(); container != this;) {
        const auto* frame = dynamic_cast<const Frame*>(container);
        if (frame == nullptr || !frame->Visible()) {
            return false;
        }
        container = &frame->Parent();
    }
    return true;
}

bool Form::Reachable(const Control* control) const {
    return control->TabStop() && control->Enabled() && Shown(control);
}

std::vector<Control*> Form::TabOrder() const {
    // Tab index order inside each container; a frame's controls take the frame's place. Controls
    // that are no tab stops keep their place too: Tab goes on from there when one has the focus.
    std::vector<Control*> order;
    auto collect = [&](const Container* container, auto&& self) -> void {
        std::vector<Control*> level;
        for (const auto& control : controls_) {
            if (&control->Parent() == container) {
                level.push_back(control.get());
            }
        }
        std::stable_sort(level.begin(), level.end(),
                         [](const Control* a, const Control* b) { return a->TabIndex() < b->TabIndex(); });
        for (Control* control : level) {
            if (auto* frame = dynamic_cast<Frame*>(control)) {
                self(static_cast<const Container*>(frame), self);
            } else {
                order.push_back(control);
            }
        }
    };
    collect(this, collect);
    return order;
}

CommandButton* Form::FindButton(bool wantDefault) const {
    for (const auto& control : controls_) {
        auto* button = dynamic_cast<CommandButton*>(control.get());
        if (button != nullptr && (wantDefault ? button->Default() : button->Cancel()) && Shown(button) &&
            button->Enabled()) {
            return button;
        }
    }
    return nullptr;
}

bool Form::HandleKey(UINT key, Control* focused) {
    switch (key) {
    case VK_RETURN: {
        // A command button with the focus is pressed itself; elsewhere the default button. A
        // button that is hidden or disabled is never pressed, even when it kept the focus.
        auto* button = dynamic_cast<CommandButton*>(focused);
        if (button == nullptr || !Shown(button) || !button->Enabled()) {
            button = FindButton(true);
        }
        if (button != nullptr) {
            button->Click();
        }
        return true;
    }
    case VK_ESCAPE:
        if (CommandButton* button = FindButton(false)) {
            button->Click();
        }
        return true;
    case VK_TAB: {
        const auto order = TabOrder();
        if (order.empty()) {
            return true;
        }
        const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const auto count = static_cast<ptrdiff_t>(order.size());
        ptrdiff_t index = std::find(order.begin(), order.end(), focused) - order.begin();
        if (index == count) {
            index = backwards ? 0 : count - 1;
        }
        for (ptrdiff_t step = 1; step <= count; ++step) {
            Control* next = order[static_cast<size_t>(((index + (backwards ? -step : step)) % count + count) % count)];
            if (Reachable(next)) {
                ::SetFocus(next->Handle());
                break;
            }
        }
        return true;
    }
    default:
        return false;
    }
}

HBRUSH Form::BackgroundFor(HDC dc, HWND child) {
    if (!pictureBrush_) {
        return static_cast<HBRUSH>(backBrush_.get());
    }
    // The pattern brush starts where the centred picture starts, seen from the child.
    POINT origin{0, 0};
    MapWindowPoints(child, handle_, &origin, 1);
    RECT client{};
    GetClientRect(handle_, &client);
    const int pictureLeft = (client.right - picture_.Width()) / 2;
    const int pictureTop = (client.bottom - picture_.Height()) / 2;
    SetBrushOrgEx(dc, pictureLeft - origin.x, pictureTop - origin.y, nullptr);
    return static_cast<HBRUSH>(pictureBrush_.get());
}

void Form::EraseBackground(HDC dc) {
    RECT client{};
    GetClientRect(handle_, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(backBrush_.get()));
    picture_.DrawCentred(dc, client);
    if (layout_.SunkenEffect) {
        DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
    }
}

bool Form::RouteNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
            control->OnCommand(HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (Control* control = Control::FromHandle(reinterpret_cast<HWND>(lParam))) {
            if (HBRUSH brush = control->OnControlColor(reinterpret_cast<HDC>(wParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        }
        return false;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (Control* control = Control::FromHandle(item->hwndItem)) {
            control->OnDrawItem(*item);
            result = TRUE;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // The one place where a form learns its window: from then on every message reaches it.
        auto* created = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        created->handle_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return form->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // Event procedures trap their own failures; this only keeps C++ exceptions out of Windows.
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT routed = 0;
    if (RouteNotification(message, wParam, lParam, routed)) {
        return routed;
    }
    switch (message) {
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            // One request, one question: the close goes ahead without asking again as Unload.
            if (QueryClose(kCloseByUser)) {
                Destroy();
            }
            return 0;
        }
        break;
    case WM_CLOSE:
        // Another program's close request (the user's close command comes as WM_SYSCOMMAND). A form
        // that is hidden, or disabled under a dialog of ours, has no close box the user could
        // press: it refuses, rather than let its window vanish under a procedure that still uses
        // it (a dialog's owner takes the dialog with it).
        if (IsWindowVisible(handle_) && IsWindowEnabled(handle_) && QueryClose(kCloseByOtherProgram)) {
            Destroy();
        }
        return 0;
    case WM_QUERYENDSESSION:
        return QueryClose(kCloseBySession) ? TRUE : FALSE;
    case WM_KEYDOWN:
        if (HandleKey(static_cast<UINT>(wParam), nullptr)) {
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // Like a dialog: the control that had the focus gets it back when the form is active again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(handle_, focus)) {
                lastFocus_ = focus;
            }
        } else if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsChild(handle_, lastFocus_)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_DESTROY:
        if (quitWhenDestroyed_) {
            PostQuitMessage(0);
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(handle_, message, wParam, lParam);
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace forms
