#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "framework/Tvx_UFMacroSecurity.h"
#include "framework/Tvx_Userforms.h"
#include "resources/resource.h"
#include "runtime/Keys.h"
#include "runtime/Process.h"
#include "runtime/Text.h"
#include "system/Tvx_ExternalWindows.h"

using forms::Place;
using runtime::Variant;

namespace {

forms::FormLayout Layout() {
    forms::FormLayout layout;
    layout.Caption = "Tarvex Setup";
    layout.ClientWidth = 480.75;
    layout.ClientHeight = 362.25;
    layout.PictureId = IDP_SETUP_BACKGROUND;
    layout.IconId = IDI_TVXSETUP;
    layout.SunkenEffect = true;
    return layout;
}

} // namespace

Tvx_UFSetup::Tvx_UFSetup() : forms::Form(Layout()) {
    using forms::CommandButton;
    using forms::OptionButton;
    using forms::TextBox;

    FLabelWelcome = &Add<TextBox>(*this, kIdLabelWelcome, Place{12, 54, 450, 12.75}, 0,
                                  "Willkommen beim Setup der Tarvex für Microsoft Word 97/2000/XP/2003.");
    FSchritt1 = &Add<forms::Frame>(*this, kIdSchritt1, Place{12, 72, 450, 102}, 1, "Schritt 1");
    FLabelVersion2 = &Add<TextBox>(*FSchritt1, kIdLabelVersion2, Place{198, 42, 234, 32.25}, 2,
                                   "Hinweis: Ab Word 2000 stellt der Setup die Makro-Sicherheit auf die Stufe "
                                   "\"Niedrig\". Klicken Sie auf den folgenden Button, um mehr Informationen zu "
                                   "erhalten.");
    FLabelVersion2->ForeColor(RGB(128, 128, 128));
    FWeiter = &Add<CommandButton>(*this, kIdWeiter, Place{348, 324, 54, 21.75}, 3, "Weiter >");
    FWeiter->Default(true);
    FAbbrechen = &Add<CommandButton>(*this, kIdAbbrechen, Place{408, 324, 54, 21.75}, 4, "Abbrechen");
    FAbbrechen->Cancel(true);
    FLabelVersion = &Add<TextBox>(*FSchritt1, kIdLabelVersion, Place{12, 12, 420, 22.5}, 0,
                                  "Bitte wählen Sie die Version von Microsoft Word aus, unter der Sie die Tarvex "
                                  "installieren (bzw. deinstallieren) möchten.");
    FListBox = &Add<forms::ListBox>(*FSchritt1, kIdListBox, Place{12, 42, 177, 44.6}, 1, int16_t{3});
    FMehrInformationen =
        &Add<CommandButton>(*FSchritt1, kIdMehrInformationen, Place{348, 68, 84, 19}, 3, "Mehr Informationen");
    FSchritt2 = &Add<forms::Frame>(*this, kIdSchritt2, Place{12, 180, 450, 132}, 2, "Schritt 2");
    FLabelInstall = &Add<TextBox>(*FSchritt2, kIdLabelInstall, Place{12, 12, 420, 12.75}, 0,
                                  "Installations-Optionen für die oben angegebene Word-Version ...");
    FOptionInstall = &Add<OptionButton>(*FSchritt2, kIdOptionInstall, Place{12, 30, 420, 18}, 1, "Tarvex installieren");
    FOptionUpdate = &Add<OptionButton>(*FSchritt2, kIdOptionUpdate, Place{12, 54, 420, 18}, 2,
                                       "Tarvex updaten oder erneut installieren");
    FOptionUninstall =
        &Add<OptionButton>(*FSchritt2, kIdOptionUninstall, Place{12, 78, 420, 18}, 3, "Tarvex deinstallieren");
    FLabelInstall2 = &Add<TextBox>(*FSchritt2, kIdLabelInstall2, Place{12, 102, 420, 12.75}, 4,
                                   "Geben Sie die gewünschte Installations-Option an. Klicken Sie anschließend "
                                   "auf \"Weiter\".");
    FBitteWarten = &Add<TextBox>(*this, kIdBitteWarten, Place{12, 168, 450, 12.75}, 5, "Bitte warten ...", false,
                                 TextBox::kAlignCentre);
    FBitteWarten->Visible(false);
    FLabelBitteWarten =
        &Add<forms::Label>(*this, kIdLabelBitteWarten, Place{0, 312, 480, 48}, 6, "", RGB(255, 255, 255));
    FLabelBitteWarten->Visible(false);

    FWeiter->OnClick = [this] { Weiter_Click(); };
    FAbbrechen->OnClick = [this] { Abbrechen_Click(); };
    FMehrInformationen->OnClick = [this] { MehrInformationen_Click(); };
    FListBox->OnChange = [this] { ListBox_Change(); };
    QuitWhenDestroyed(true);

    UserForm_Initialize();
}

Tvx_UFSetup::~Tvx_UFSetup() = default;

int Tvx_UFSetup::Run() {
    int exitCode = 0;
    const CaughtError failure = ErrorTrap::Silently([&] {
        Tvx_UFSetup setup;
        setup.Show(0);
        exitCode = forms::RunMessageLoop();
    });
    if (!failure) {
        return exitCode;
    }
    // The wizard and its root are gone with the failure; a root of its own reports it. Whatever
    // the user answers, there is no wizard left to go on with.
    try {
        Tarvex root;
        Required(root.Errors()).ErrorHandlerForClasses(failure.Number, failure.Description, kTypeName);
    } catch (...) {
        Tvx_Errors::LastResortReport(kTypeName);
    }
    return 1;
}

Tarvex& Tvx_UFSetup::Root() {
    if (!FRoot) {
        FRoot = std::make_unique<Tarvex>();
    }
    return *FRoot;
}

ErrorTrap Tvx_UFSetup::Trap() {
    return ErrorTrap(&Root(), kTypeName);
}

void Tvx_UFSetup::UserForm_Initialize() {
    // Unlike every other procedure this one leaves at its first failure: the rest of the start-up
    // would build on what failed.
    ErrorTrap trap = Trap();
    if (!trap([&] { Required(Root().ExternalWindows()).WindowToForeground(this); })) {
        return;
    }
    if (!trap([&] { EnsureWordClosed(); })) {
        return;
    }
    if (!trap([&] { FindWordVersions(); })) {
        return;
    }
    if (!trap([&] { HandleCommandLine(); })) {
        return;
    }
    trap([&] { Weiter().SetFocus(); });
}

void Tvx_UFSetup::UserForm_QueryClose(int16_t& Cancel, int16_t CloseMode) {
    ErrorTrap trap = Trap();
    if (CloseMode == forms::kCloseByUser || CloseMode == forms::kCloseByOtherProgram) {
        // The close box, and a close request from another program, end the program the way
        // "Abbrechen" does: through the Esc key, never by a window gone under a running procedure.
        Cancel = -1;
        trap([&] { runtime::SendKeys("{ESC}"); });
    }
}

void Tvx_UFSetup::ExitSetup() {
    ErrorTrap trap = Trap();
    trap([&] { Hide(); });
    trap([&] { Root().EndExecution(); });
}

void Tvx_UFSetup::Weiter_Click() {
    ErrorTrap trap = Trap();
    // Install and update are the same procedure; nothing records which of the two was chosen.
    if (trap.If([&] { return OptionInstall().Value() || OptionUpdate().Value(); })) {
        Install();
    } else if (trap.If([&] { return OptionUninstall().Value(); })) {
        Uninstall();
    }
    ExitSetup();
}

void Tvx_UFSetup::Abbrechen_Click() {
    ExitSetup();
}

void Tvx_UFSetup::MehrInformationen_Click() {
    ErrorTrap trap = Trap();
    trap([&] { Required(Required(Root().Userforms()).MacroSecurity()).Show(); });
}

void Tvx_UFSetup::ListBox_Change() {
    ErrorTrap trap = Trap();
    Variant templateFile;
    trap([&] { templateFile = ListBox().List(ListBox().ListIndex(), 2).ToString() + "STARTUP\\Tvx.dot"; });
    Variant present;
    trap([&] { present = Required(Root().Tools()).CheckIfFileExists(templateFile); });
    if (trap.If([&] { return present == Variant(false); })) {
        trap([&] { OptionInstall().Enabled(true); });
        trap([&] { OptionUpdate().Enabled(false); });
        trap([&] { OptionUninstall().Enabled(false); });
        trap([&] { OptionInstall().Value(true); });
        trap([&] { OptionUpdate().Value(false); });
        trap([&] { OptionUninstall().Value(false); });
    } else {
        trap([&] { OptionInstall().Enabled(false); });
        trap([&] { OptionUpdate().Enabled(true); });
        trap([&] { OptionUninstall().Enabled(true); });
        trap([&] { OptionInstall().Value(false); });
        trap([&] { OptionUpdate().Value(true); });
        trap([&] { OptionUninstall().Value(false); });
    }
}

void Tvx_UFSetup::WorkingStateShow() {
    ErrorTrap trap = Trap();
    trap([&] { LabelWelcome().Visible(false); });
    trap([&] { Schritt1().Visible(false); });
    trap([&] { Schritt2().Visible(false); });
    trap([&] { Weiter().Visible(false); });
    trap([&] { Abbrechen().Visible(false); });
    trap([&] { BitteWarten().Visible(true); });
    trap([&] { LabelBitteWarten().Visible(true); });
}

bool Tvx_UFSetup::StartedWithUninstallSwitch() {
    const std::string arguments = runtime::CommandArguments();
    return runtime::Len(arguments) >= 14 && runtime::Left(arguments, 11) == "/Uninstall_";
}
