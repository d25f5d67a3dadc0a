#pragma once

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace formstest {

// A small window with one control of each kind, two frames and three buttons, built the way the
// program's dialogs are built. The controls are created out of their tab order on purpose, so the
// Tab key has to follow TabIndex, not the order of creation.
//
// Tab order: List, OptionA, OptionB (in Step1), OptionC, OptionD (in Step2), Weiter, Abbrechen,
// Mehr. The text boxes, the label and the image are no tab stops.
class TestForm : public forms::Form {
public:
    enum ControlId : int {
        kIdLabelText = 101,
        kIdStep1,
        kIdNoteInStep1,
        kIdList,
        kIdOptionA,
        kIdOptionB,
        kIdStep2 = 110,
        kIdOptionC,
        kIdOptionD,
        kIdNoteInStep2,
        kIdWeiter = 121,
        kIdAbbrechen,
        kIdMehr,
        kIdStrip,
        kIdPicture,
    };

    TestForm();

    forms::TextBox& LabelText() { return *FLabelText; }
    forms::Frame& Step1() { return *FStep1; }
    forms::TextBox& NoteInStep1() { return *FNoteInStep1; }
    forms::ListBox& List() { return *FList; }
    forms::OptionButton& OptionA() { return *FOptionA; }
    forms::OptionButton& OptionB() { return *FOptionB; }
    forms::Frame& Step2() { return *FStep2; }
    forms::OptionButton& OptionC() { return *FOptionC; }
    forms::OptionButton& OptionD() { return *FOptionD; }
    forms::TextBox& NoteInStep2() { return *FNoteInStep2; }
    forms::CommandButton& Weiter() { return *FWeiter; }
    forms::CommandButton& Abbrechen() { return *FAbbrechen; }
    forms::CommandButton& Mehr() { return *FMehr; }
    forms::Label& Strip() { return *FStrip; }
    forms::Image& Picture() { return *FPicture; }

    // What the events saw.
    int WeiterClicks = 0;
    int AbbrechenClicks = 0;
    int MehrClicks = 0;
    int ListChanges = 0;
    std::vector<int16_t> CloseModes;
    // Refuse every close request.
    bool RefuseClose = false;
    // Runs in every close request, after it has been counted.
    std::function<void(int16_t& Cancel, int16_t CloseMode)> OnQueryClose;
    // Run after a click on Weiter has been counted.
    std::function<void()> AfterWeiter;

protected:
    void UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) override;

private:
    forms::TextBox* FLabelText;
    forms::Frame* FStep1;
    forms::TextBox* FNoteInStep1;
    forms::ListBox* FList;
    forms::OptionButton* FOptionA;
    forms::OptionButton* FOptionB;
    forms::Frame* FStep2;
    forms::OptionButton* FOptionC;
    forms::OptionButton* FOptionD;
    forms::TextBox* FNoteInStep2;
    forms::CommandButton* FWeiter;
    forms::CommandButton* FAbbrechen;
    forms::CommandButton* FMehr;
    forms::Label* FStrip;
    forms::Image* FPicture;
};

// Handles every message waiting for this thread, also those that handling them posts.
void Pump();
// Handles this thread's messages until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::milliseconds(3000));

// Posts a key press (down and up) to a window, as the keyboard would deliver it, and handles it.
void PressKey(HWND target, UINT key);
// The same with Shift held down for this thread.
void PressShiftKey(HWND target, UINT key);

// A window's rectangle in its parent's client area, in pixels.
RECT PlaceInParent(HWND window);
// Whether a window stands at left/top with width/height, in pixels of its parent's client area.
testing::AssertionResult IsPlacedAt(HWND window, int left, int top, int width, int height);

// The window text as the system holds it.
std::wstring WindowTextOf(HWND window);

// The number and text of the run-time error that the call raised; number 0 when none.
struct Raised {
    int32_t Number = 0;
    std::string Description;
};
Raised RaisedBy(const std::function<void()>& call);

} // namespace formstest
