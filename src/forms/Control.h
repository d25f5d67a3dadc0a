#pragma once

#include "Units.h"

#include <windows.h>

#include <string>

namespace forms {

class Form;

// A window that holds controls: a form's client area, or a frame.
class Container {
public:
    virtual ~Container() = default;
    virtual HWND ContainerHandle() const noexcept = 0;
    virtual Form& OwnerForm() noexcept = 0;
    // The brush that shows, in the child's own coordinates, what stands behind the child.
    virtual HBRUSH BackgroundFor(HDC dc, HWND child) = 0;
};

// One control: a standard Win32 control (or our frame) placed in points, with the properties
// the program's windows use.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const noexcept { return handle_; }
    int Id() const noexcept { return id_; }
    Container& Parent() const noexcept { return parent_; }
    Form& OwnerForm() const noexcept { return parent_.OwnerForm(); }

    double Left() const noexcept { return place_.Left; }
    double Top() const noexcept { return place_.Top; }
    double Width() const noexcept { return place_.Width; }
    double Height() const noexcept { return place_.Height; }
    void Left(double points);
    void Top(double points);
    void Width(double points);
    void Height(double points);

    // The control's own setting: a control in a hidden frame keeps Visible true but is not seen.
    bool Visible() const noexcept { return visible_; }
    void Visible(bool visible);
    bool Enabled() const noexcept { return enabled_; }
    void Enabled(bool enabled);
    int TabIndex() const noexcept { return tabIndex_; }
    virtual bool TabStop() const noexcept { return false; }

    // Gives the control the input focus; on a form that is not shown yet, the control takes the
    // focus when the form is shown.
    void SetFocus();

    // Tahoma of this size in points; 8.25 unless a layout says otherwise.
    void FontSize(double points);

    // The notifications the form routes to the control that caused them.
    virtual void OnCommand(WORD) {}
    virtual HBRUSH OnControlColor(HDC dc);
    virtual void OnDrawItem(const DRAWITEMSTRUCT&) {}

    // The control behind a window of ours, or null.
    static Control* FromHandle(HWND window) noexcept;

protected:
    Control(Container& parent, int id, const Place& place, int tabIndex);

    // Creates the window, or creates it anew in the same place of the z-order when a style can
    // only be given at creation (an edit control's alignment).
    void Create(const wchar_t* className, DWORD style, DWORD exStyle, const std::wstring& text);
    DWORD Style() const noexcept;
    std::string WindowText() const;
    void WindowText(const std::string& text);
    // True while the control's window takes the input focus.
    bool TakingFocus() const noexcept { return takingFocus_; }

private:
    static LRESULT CALLBACK KeyboardSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR reference);
    void Move();

    Container& parent_;
    int id_;
    Place place_;
    int tabIndex_;
    bool visible_ = true;
    bool enabled_ = true;
    double fontPoints_ = 8.25;
    HWND handle_ = nullptr;
    bool takingFocus_ = false;
};

} // namespace forms
