#include "TestForm.h"

#include "resources/resource.h"
#include "runtime/RuntimeError.h"

using forms::Place;

namespace formstest {

namespace {

forms::FormLayout Layout() {
    forms::FormLayout layout;
    layout.Caption = "Prüfformular – Größe und Maß";
    layout.ClientWidth = 300;
    layout.ClientHeight = 255;
    layout.PictureId = IDP_MESSAGEBOX_BACKGROUND;
    layout.IconId = IDI_TVXSETUP;
    return layout;
}

} // namespace

TestForm::TestForm() : forms::Form(Layout()) {
    FLabelText =
        &Add<forms::TextBox>(*this, kIdLabelText, Place{12, 6, 270, 12.75}, 0, "Willkommen beim Prüfen: äöüß ÄÖÜ");
    FStep2 = &Add<forms::Frame>(*this, kIdStep2, Place{12, 132, 276, 48}, 2, "Schritt 2 – Übersicht");
    FOptionC = &Add<forms::OptionButton>(*FStep2, kIdOptionC, Place{12, 12, 120, 18}, 0, "Option Ü");
    FNoteInStep2 = &Add<forms::TextBox>(*FStep2, kIdNoteInStep2, Place{12, 32, 252, 12.75}, 1, "Zwischen den Optionen");
    FOptionD = &Add<forms::OptionButton>(*FStep2, kIdOptionD, Place{138, 12, 120, 18}, 2, "Option ß");
    FStep1 = &Add<forms::Frame>(*this, kIdStep1, Place{12, 24, 276, 102}, 1, "Schritt 1");
    FNoteInStep1 =
        &Add<forms::TextBox>(*FStep1, kIdNoteInStep1, Place{12, 12, 252, 22.5}, 0, "Bitte wählen Sie eine Zeile.");
    FOptionB = &Add<forms::OptionButton>(*FStep1, kIdOptionB, Place{144, 66, 120, 18}, 3, "Option Ö");
    FOptionA = &Add<forms::OptionButton>(*FStep1, kIdOptionA, Place{144, 42, 120, 18}, 2, "Option Ä");
    FList = &Add<forms::ListBox>(*FStep1, kIdList, Place{12, 42, 120, 44.6}, 1, 3);
    FAbbrechen = &Add<forms::CommandButton>(*this, kIdAbbrechen, Place{234, 222, 54, 21.75}, 4, "Abbrechen");
    FWeiter = &Add<forms::CommandButton>(*this, kIdWeiter, Place{174, 222, 54, 21.75}, 3, "Weiter >");
    FMehr = &Add<forms::CommandButton>(*this, kIdMehr, Place{12, 222, 84, 21.75}, 5, "Mehr Informationen");
    FStrip = &Add<forms::Label>(*this, kIdStrip, Place{0, 186, 225, 30}, 6, "Bitte warten – läuft");
    FPicture = &Add<forms::Image>(*this, kIdPicture, Place{246, 183, 42, 36.75}, 7, IDP_ICON_INFO);

    FWeiter->Default(true);
    FAbbrechen->Cancel(true);
    FWeiter->OnClick = [this] {
        ++WeiterClicks;
        if (AfterWeiter) {
            AfterWeiter();
        }
    };
    FAbbrechen->OnClick = [this] { ++AbbrechenClicks; };
    FMehr->OnClick = [this] { ++MehrClicks; };
    FList->OnChange = [this] { ++ListChanges; };
}

void TestForm::UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) {
    CloseModes.push_back(CloseMode);
    if (RefuseClose) {
        Cancel = -1;
    }
    if (OnQueryClose) {
        OnQueryClose(Cancel, CloseMode);
    }
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        Pump();
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PressKey(HWND target, UINT key) {
    const UINT scanCode = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, key, 1 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, key, 1 | (scanCode << 16) | (1u << 30) | (1u << 31));
    Pump();
}

void PressShiftKey(HWND target, UINT key) {
    // A posted key does not change the key state, so Shift is set in this thread's state directly.
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE shiftBefore = state[VK_SHIFT];
    state[VK_SHIFT] = 0x80;
    SetKeyboardState(state);
    PressKey(target, key);
    state[VK_SHIFT] = shiftBefore;
    SetKeyboardState(state);
}

RECT PlaceInParent(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

testing::AssertionResult IsPlacedAt(HWND window, int left, int top, int width, int height) {
    const RECT place = PlaceInParent(window);
    const int placeWidth = place.right - place.left;
    const int placeHeight = place.bottom - place.top;
    if (place.left == left && place.top == top && placeWidth == width && placeHeight == height) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "stands at " << place.left << "/" << place.top << " " << placeWidth << "x"
                                       << placeHeight << ", expected " << left << "/" << top << " " << width << "x"
                                       << height;
}

std::wstring WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got));
    return text;
}

Raised RaisedBy(const std::function<void()>& call) {
    try {
        call();
    } catch (const runtime::RuntimeError& error) {
        return {error.Number(), error.Description()};
    }
    return {};
}

} // namespace formstest
