#pragma once

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "runtime/Variant.h"

#include <cstdint>
#include <memory>

class ErrorTrap;
class Tarvex;

// The setup wizard: the program's start-up window. It makes sure Word is closed, lists the
// installed Word versions and installs, updates or uninstalls the add-in for the one chosen; the
// uninstall started from the system's list of installed programs runs through it in two stages.
// Its state lives in its controls, above all in the Word version list, whose selected row is the
// target of every action.
class Tvx_UFSetup : public forms::Form {
public:
    // Control ids, in the order of the controls' identifiers; test drivers find the controls by them.
    enum ControlId : int {
        kIdLabelWelcome = 3001,
        kIdSchritt1,
        kIdLabelVersion2,
        kIdWeiter,
        kIdAbbrechen,
        kIdLabelVersion,
        kIdListBox,
        kIdMehrInformationen,
        kIdSchritt2,
        kIdLabelInstall,
        kIdOptionInstall,
        kIdOptionUpdate,
        kIdOptionUninstall,
        kIdLabelInstall2,
        kIdBitteWarten,
        kIdLabelBitteWarten,
    };

    // Creates the window with its controls and runs the start-up sequence; the window is shown
    // afterwards by its creator.
    Tvx_UFSetup();
    ~Tvx_UFSetup() override;

    // The program's run: creates the wizard, which runs the start-up, shows it and runs the
    // message loop until an action ends the process. A failure that leaves the start-up (a window,
    // a control or a picture that cannot be created) is reported before the program ends.
    static int Run();

    forms::TextBox& LabelWelcome() { return *FLabelWelcome; }
    forms::Frame& Schritt1() { return *FSchritt1; }
    forms::TextBox& LabelVersion2() { return *FLabelVersion2; }
    forms::CommandButton& Weiter() { return *FWeiter; }
    forms::CommandButton& Abbrechen() { return *FAbbrechen; }
    forms::TextBox& LabelVersion() { return *FLabelVersion; }
    forms::ListBox& ListBox() { return *FListBox; }
    forms::CommandButton& MehrInformationen() { return *FMehrInformationen; }
    forms::Frame& Schritt2() { return *FSchritt2; }
    forms::TextBox& LabelInstall() { return *FLabelInstall; }
    forms::OptionButton& OptionInstall() { return *FOptionInstall; }
    forms::OptionButton& OptionUpdate() { return *FOptionUpdate; }
    forms::OptionButton& OptionUninstall() { return *FOptionUninstall; }
    forms::TextBox& LabelInstall2() { return *FLabelInstall2; }
    forms::TextBox& BitteWarten() { return *FBitteWarten; }
    forms::Label& LabelBitteWarten() { return *FLabelBitteWarten; }

    static constexpr const char* kTypeName = "Tvx_UFSetup";

protected:
    // The root object, created on the first use; one root serves the whole run.
    Tarvex& Root();

    void UserForm_Initialize();
    void UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) override;
    void ExitSetup();
    void Weiter_Click();
    void Abbrechen_Click();
    void MehrInformationen_Click();
    void ListBox_Change();

    // Word must be closed; the Word version list.
    void EnsureWordClosed();
    void FindWordVersions();

    void Install();
    void Uninstall();

    // Folder paths, each ending in a backslash, and the selected Word version.
    runtime::Variant GetWordProgramDir();
    runtime::Variant GetInstallDir();
    runtime::Variant GetStartupDir();
    runtime::Variant GetSetupDir();
    runtime::Variant GetTempDir();
    runtime::Variant GetFontsDir();
    int32_t GetWordVersion();

    void MacroSecuritySetLow();
    void VersionSettingMark();
    void NormalDotRestore();

    void FontsInstall();
    void FontsUninstall();
    void FontsFolderRefresh();
    runtime::Collection GetFontList();
    // The Fonts folder as the registry names it, without a report where it names none.
    std::string FontsDirValue();
    void FontsFolderSweep();

    void HandleCommandLine();
    runtime::Collection GetRuntimeFiles();

private:
    ErrorTrap Trap();
    // Hides the wizard's controls and shows the waiting line, for the install and the uninstall.
    void WorkingStateShow();
    // True when the program was started with one of the uninstall switches.
    static bool StartedWithUninstallSwitch();

    std::unique_ptr<Tarvex> FRoot;

    forms::TextBox* FLabelWelcome;
    forms::Frame* FSchritt1;
    forms::TextBox* FLabelVersion2;
    forms::CommandButton* FWeiter;
    forms::CommandButton* FAbbrechen;
    forms::TextBox* FLabelVersion;
    forms::ListBox* FListBox;
    forms::CommandButton* FMehrInformationen;
    forms::Frame* FSchritt2;
    forms::TextBox* FLabelInstall;
    forms::OptionButton* FOptionInstall;
    forms::OptionButton* FOptionUpdate;
    forms::OptionButton* FOptionUninstall;
    forms::TextBox* FLabelInstall2;
    forms::TextBox* FBitteWarten;
    forms::Label* FLabelBitteWarten;
};
