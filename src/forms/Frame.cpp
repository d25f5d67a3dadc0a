#include "Frame.h"

#include "Form.h"
#include "runtime/Text.h"

namespace forms {

namespace {

constexpr const wchar_t* kFrameClass = L"TvxFrame";

HBRUSH WhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

} // namespace

Frame::Frame(Container& parent, int id, const Place& place, int tabIndex, const std::string& caption)
    : Control(parent, id, place, tabIndex), caption_(caption) {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &Frame::FrameProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kFrameClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
    Create(kFrameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, runtime::Widen(caption));
}

HBRUSH Frame::BackgroundFor(HDC, HWND) { return WhiteBrush(); }

void Frame::Paint(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    FillRect(dc, &client, WhiteBrush());
    HGDIOBJ oldFont = SelectObject(dc, OwnerForm().Font(8.25));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    // The border runs through the middle of the caption, as with a group box.
    RECT border = client;
    border.top = metrics.tmHeight / 2;
    DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    if (!caption_.empty()) {
        const std::wstring text = runtime::Widen(caption_);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        RECT label{6, 0, 6 + extent.cx + 4, metrics.tmHeight};
        FillRect(dc, &label, WhiteBrush());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        TextOutW(dc, label.left + 2, 0, text.c_str(), static_cast<int>(text.size()));
    }
    SelectObject(dc, oldFont);
}

LRESULT CALLBACK Frame::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        LRESULT routed = 0;
        if (Form::RouteNotification(message, wParam, lParam, routed)) {
            return routed;
        }
        switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (auto* frame = dynamic_cast<Frame*>(Control::FromHandle(window))) {
                frame->Paint(dc);
            }
            EndPaint(window, &paint);
            return 0;
        }
        default:
            break;
        }
    } catch (...) {
        // Nothing may cross back into Windows.
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace forms
