#pragma once

#include "Control.h"
#include "Picture.h"
#include "Window.h"
#include "runtime/Handle.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class CommandButton;

// How a form looks before any control is placed on it.
struct FormLayout {
    std::string Caption;
    double ClientWidth = 0;  // points
    double ClientHeight = 0; // points
    COLORREF BackColor = RGB(255, 255, 255);
    int PictureId = 0; // a PNG resource shown unscaled and centred, or 0
    int IconId = 0;    // the window icon, or 0
    bool SunkenEffect = false;
};

// Why a form is asked to close, as its QueryClose handler learns it.
enum CloseMode : int16_t {
    kCloseByUser = 0,        // the close box or the system menu
    kCloseByCode = 1,        // Unload
    kCloseBySession = 2,     // Windows is shutting down
    kCloseByOtherProgram = 3 // a WM_CLOSE from outside, such as the task manager
};

// A top-level window of ours with its controls: modal and modeless display, the close request,
// Enter, Esc and Tab, and a background picture that transparent controls show through.
class Form : public Window, public Container {
public:
    explicit Form(const FormLayout& layout);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const override { return handle_; }
    HWND ContainerHandle() const noexcept override { return handle_; }
    Form& OwnerForm() noexcept override { return *this; }
    HBRUSH BackgroundFor(HDC dc, HWND child) override;

    std::string Caption() const;
    void Caption(const std::string& caption);

    // Shows the form. Modal (1): returns only when the form has been hidden or unloaded, and
    // the program's other windows take no input meanwhile. Modeless (0): returns at once.
    void Show(int16_t modal = 1);
    void Hide();
    bool Visible() const;
    // Closes the form by code: QueryClose with kCloseByCode, then the window is destroyed.
    void Unload();
    bool IsLoaded() const noexcept { return handle_ != nullptr; }

    // The program ends its message loop when this form's window is destroyed.
    void QuitWhenDestroyed(bool quit) noexcept { quitWhenDestroyed_ = quit; }

    // Creates a control on the form or in one of its frames; the form owns it.
    template <class ControlType, class... Arguments>
    ControlType& Add(Arguments&&... arguments) {
        auto control = std::make_unique<ControlType>(std::forward<Arguments>(arguments)...);
        ControlType& added = *control;
        controls_.push_back(std::move(control));
        return added;
    }

    HFONT Font(double points);

    // Keyboard and focus, used by the controls.
    bool HandleKey(UINT key, Control* focused);
    void FocusControl(Control* control);

    // Routes the notifications that a control sends to its parent (the form or a frame) to the
    // control itself. True when the message was one of them.
    static bool RouteNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Close request: set Cancel to refuse it.
    virtual void UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode);

private:
    static void RegisterFormClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void EraseBackground(HDC dc);
    // Asks the form's QueryClose; true when the close goes ahead.
    bool QueryClose(int16_t mode);
    // Destroys the window of a close that QueryClose let pass.
    void Destroy();
    void EnableOtherWindows();
    static BOOL CALLBACK DisableForModal(HWND window, LPARAM form);
    std::vector<Control*> TabOrder() const;
    bool Shown(const Control* control) const;
    // A tab stop that is seen and enabled: Tab and the first focus go there.
    bool Reachable(const Control* control) const;
    CommandButton* FindButton(bool wantDefault) const;
    void CentreOn(HWND owner);

    HWND handle_ = nullptr;
    FormLayout layout_;
    Picture picture_;
    runtime::GdiObject backBrush_;
    runtime::GdiObject pictureBrush_;
    std::map<double, runtime::GdiObject> fonts_;
    std::vector<std::unique_ptr<Control>> controls_;
    Control* pendingFocus_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::vector<HWND> disabledForModal_;
    bool closingFromSystemMenu_ = false;
    bool quitWhenDestroyed_ = false;
};

// Runs the thread's message loop until the program's main form is destroyed.
int RunMessageLoop();

} // namespace forms
