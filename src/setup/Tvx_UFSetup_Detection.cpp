// The start-up checks: Word must not run while the setup works, and the Word version list.

#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "runtime/Clock.h"
#include "runtime/Events.h"
#include "runtime/Text.h"
#include "system/Tvx_ExternalFunctions.h"
#include "system/Tvx_ExternalProcesses.h"
#include "system/Tvx_ExternalRegistry.h"

using runtime::Variant;

namespace {

constexpr const char* kWordProcess = "winword.exe";
constexpr int16_t kReplyBeenden = 1;
constexpr int16_t kReplyAbbrechen = 2;

} // namespace

void Tvx_UFSetup::EnsureWordClosed() {
    ErrorTrap trap = Trap();
    // The uninstall stages start while the list of installed programs may still hold Word's
    // process for a moment: they wait longer.
    uint32_t waitLimit = 250;
    if (trap.If([&] { return StartedWithUninstallSwitch(); })) {
        waitLimit = 2000;
    }
    auto wordRuns = [&] { return Required(Root().ExternalProcesses()).CheckIfProcessExists(kWordProcess).ToBool(); };
    auto ticks = [&] { return Required(Root().ExternalFunctions()).GetTickCount(); };

    if (trap.If([&] { return !wordRuns(); })) {
        return;
    }
    Variant reply;
    for (;;) {
        // Reply 0, "Wiederholen", and the first pass: a busy wait over the tick count that lets the message loop run
        // between the polls.
        int32_t start = 0;
        trap([&] { start = ticks(); });
        for (;;) {
            if (trap.If([&] { return runtime::ElapsedMs(start, ticks()) > waitLimit; })) {
                break;
            }
            if (trap.If([&] { return !wordRuns(); })) {
                break;
            }
            for (int round = 0; round < 100; ++round) {
                runtime::DoEvents();
            }
        }
        if (trap.If([&] { return !wordRuns(); })) {
            break;
        }
        trap([&] {
            reply = Required(Root().Tools())
                        .MessageBox("Tarvex Warnung", 3, "Microsoft Word aktiv", 0,
                                    "Während des Setups muß Microsoft Word geschlossen sein. Bitte beenden Sie Word "
                                    "und drücken Sie dann auf \"Wiederholen\".\n\n"
                                    "Falls Word nicht in der Taskleiste erscheint, drücken Sie bitte auf \"Beenden\", "
                                    "dann schließt der Setup Word automatisch (Wählen Sie diese Option aber nur, "
                                    "falls Sie Word nicht selbst beenden können, denn dies kann zu Datenverlust "
                                    "führen).",
                                    0, 0, 0, 2, "Wiederholen", "Beenden", "Abbrechen");
        });
        // All three are tested, so the process list is read once more after either reply; a test
        // that fails ends the repetition rather than repeating it without end.
        bool done = true;
        trap([&] {
            const bool beenden = reply == Variant(kReplyBeenden);
            const bool abbrechen = reply == Variant(kReplyAbbrechen);
            const bool gone = !wordRuns();
            done = beenden || abbrechen || gone;
        });
        if (done) {
            break;
        }
    }
    if (trap.If([&] { return reply == Variant(kReplyBeenden); })) {
        if (trap.If([&] { return !Required(Root().ExternalProcesses()).KillProcess(kWordProcess).ToBool(); })) {
            trap([&] {
                Required(Root().Errors())
                    .ExpectedErrorShow(0, "",
                                       "Microsoft Word konnte nicht beendet werden. Bitte starten Sie Ihren Computer "
                                       "neu, bevor Sie fortfahren.");
            });
        }
    }
    if (trap.If([&] { return reply == Variant(kReplyAbbrechen); })) {
        Root().EndExecution();
    }
}

void Tvx_UFSetup::FindWordVersions() {
    ErrorTrap trap = Trap();
    trap([&] { ListBox().ColumnWidths(Variant(ListBox().Width() - 3).ToString() + ";0;0"); });
    for (int32_t version = 1; version <= 40; ++version) {
        Variant folder;
        trap([&] {
            folder = Required(Root().ExternalRegistry())
                         .ReadValue("HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + std::to_string(version) +
                                        ".0\\Word\\Options",
                                    "PROGRAMDIR");
        });
        if (trap.If([&] { return !(folder == Variant("")); })) {
            trap([&] {
                ListBox().AddItem("Microsoft Word " + Required(Root().Tools()).GetWordVersionName(version).ToString());
            });
            trap([&] { ListBox().List(ListBox().ListCount() - 1, 1, version); });
            if (trap.If([&] { return runtime::Right(folder.ToString(), 1) != "\\"; })) {
                trap([&] { folder = folder.ToString() + "\\"; });
            }
            trap([&] { ListBox().List(ListBox().ListCount() - 1, 2, folder); });
        }
    }
    if (trap.If([&] { return ListBox().ListCount() == 0; })) {
        trap([&] {
            Required(Root().Errors())
                .ExpectedErrorShow(0, "",
                                   "Auf Ihrem Computer konnte keine Version von Microsoft Word gefunden werden. Bitte "
                                   "installieren Sie zuerst Microsoft Word und starten dann den Setup erneut.");
        });
    }
    // Selecting the last row sets the options for the highest Word version found.
    trap([&] { ListBox().ListIndex(ListBox().ListCount() - 1); });
}
