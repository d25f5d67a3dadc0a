// The add-in's fonts in the Windows Fonts folder. The system learns of them by nothing else than
// the files in the folder and the Fonts folder view opened afterwards.

#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "runtime/Clock.h"
#include "runtime/Events.h"
#include "runtime/FileIO.h"
#include "runtime/Process.h"
#include "runtime/Text.h"
#include "system/Tvx_ExternalFunctions.h"
#include "system/Tvx_ExternalRegistry.h"
#include "system/Tvx_ExternalWindows.h"
#include "system/Tvx_FileSystem.h"

using runtime::Variant;

namespace {

constexpr uint32_t kAnimationStepMs = 250;
constexpr uint32_t kFontsViewLimitMs = 30000;
constexpr uint32_t kPauseMs = 500;

} // namespace

std::string Tvx_UFSetup::FontsDirValue() {
    std::string folder;
    ErrorTrap trap = Trap();
    trap([&] {
        folder = Required(Root().ExternalRegistry())
                     .ReadValue("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                                "Folders",
                                "Fonts")
                     .ToString();
    });
    return folder;
}

Variant Tvx_UFSetup::GetFontsDir() {
    Variant result;
    ErrorTrap trap = Trap();
    std::string folder = FontsDirValue();
    if (folder.empty()) {
        trap([&] {
            Required(Root().Errors()).ExpectedErrorShow(0, "", "Pfad des Schriftarten-Ordners nicht ermittelbar");
        });
        // No folder to name: an empty result, never a bare backslash, so that no font file is
        // looked for, copied or deleted anywhere but in the Fonts folder.
        result = std::string();
        return result;
    }
    if (trap.If([&] { return runtime::Right(folder, 1) != "\\"; })) {
        folder += "\\";
    }
    result = folder;
    return result;
}

runtime::Collection Tvx_UFSetup::GetFontList() {
    runtime::Collection fonts;
    for (const char* name : {"MATH1___.TTF", "MATH1B__.TTF", "MATH1M__.TTF", "MATH2___.TTF", "MATH2B__.TTF",
                             "MATH2M__.TTF", "MATH2MB_.TTF", "MATH3___.TTF", "MATH3B__.TTF", "math3m__.ttf",
                             "math3mb_.ttf", "MATH4___.TTF", "MATH4B__.TTF", "MATH4M__.TTF", "MATH4MB_.TTF",
                             "MATH5___.TTF", "MATH5B__.TTF", "MATH5M__.TTF", "MATH5MB_.TTF", "TvxSymb.ttf"}) {
        fonts.Add(name);
    }
    return fonts;
}

void Tvx_UFSetup::FontsInstall() {
    ErrorTrap trap = Trap();
    const runtime::Collection fonts = GetFontList();
    // Without a Fonts folder nothing is tested, copied or deleted, and the view is not opened.
    if (trap.If([&] { return GetFontsDir().ToString().empty(); })) {
        return;
    }
    // The Fonts folder is the system's to name: its own path is followed, and each font's path,
    // which spells it alike, finds it by its text rather than by opening every folder on the way.
    trap([&] { Required(Root().FileSystem()).FolderTrust(GetFontsDir()); });
    std::string setupDir;
    trap([&] { setupDir = GetSetupDir().ToString(); });
    auto fileExists = [&](const std::string& path) {
        return Required(Root().Tools()).CheckIfFileExists(path).ToBool();
    };

    // The name of a font of the list and the Fonts folder, read anew for it; false when either is
    // missing, so that no path is ever formed without the Fonts folder in front.
    auto fontAt = [&](int32_t item, std::string& name, std::string& fontsDir) {
        trap([&] { name = fonts.Item(item).ToString(); });
        trap([&] { fontsDir = GetFontsDir().ToString(); });
        return !fontsDir.empty() && !name.empty();
    };

    // Pass 1: a font whose size differs from the delivered file is deleted, to be copied anew.
    std::string changedFonts;
    const int32_t count = fonts.Count();
    for (int32_t item = 1; item <= count; ++item) {
        std::string name;
        std::string fontsDir;
        if (!fontAt(item, name, fontsDir)) {
            continue;
        }
        if (trap.If([&] { return fileExists(fontsDir + name); })) {
            const std::string source = setupDir + "Fonts\\" + name;
            const std::string target = fontsDir + name;
            // A font that the setup folder lacks has nothing to replace it: it stays as it is.
            bool deliverable = false;
            trap([&] { deliverable = fileExists(source); });
            if (!deliverable) {
                continue;
            }
            // Sizes alone are compared; a size that cannot be read counts as a difference.
            bool changed = true;
            ErrorTrap::Silently([&] { changed = runtime::FileLen(source) != runtime::FileLen(target); });
            if (changed) {
                trap([&] { Required(Root().FileSystem()).FileDeleteInUse(target); });
                changedFonts += changedFonts.empty() ? name : ", " + name;
            }
        }
    }
    if (!changedFonts.empty()) {
        trap([&] {
            Required(Root().Tools())
                .MessageBoxInfo("Einige Schriftarten müssen aktualisiert werden. Nachdem der Setup vollständig "
                                "ausgeführt wurde, empfehlen wir Ihnen den PC neu zu starten. Erst nach einem "
                                "Neustart können die aktualisierten Schriftarten verwendet werden. Der Setup wird "
                                "nun fortgesetzt.\n\n(Betroffene Schriftarten: " +
                                changedFonts + ")");
        });
    }

    // Pass 2: every font missing from the Fonts folder is copied.
    bool copied = false;
    for (int32_t item = 1; item <= count; ++item) {
        std::string name;
        std::string fontsDir;
        if (!fontAt(item, name, fontsDir)) {
            continue;
        }
        if (trap.If([&] { return !fileExists(fontsDir + name); })) {
            trap([&] { Required(Root().FileSystem()).FileCopyInUse(setupDir + "Fonts\\" + name, fontsDir + name); });
            copied = true;
        }
    }
    if (copied) {
        FontsFolderRefresh();
    }
}

void Tvx_UFSetup::FontsUninstall() {
    ErrorTrap trap = Trap();
    const runtime::Collection fonts = GetFontList();
    if (trap.If([&] { return GetFontsDir().ToString().empty(); })) {
        return;
    }
    trap([&] { Required(Root().FileSystem()).FolderTrust(GetFontsDir()); });
    const int32_t count = fonts.Count();
    for (int32_t item = 1; item <= count; ++item) {
        std::string path;
        trap([&] {
            const std::string fontsDir = GetFontsDir().ToString();
            if (!fontsDir.empty()) {
                path = fontsDir + fonts.Item(item).ToString();
            }
        });
        if (path.empty()) {
            continue;
        }
        if (trap.If([&] { return Required(Root().Tools()).CheckIfFileExists(path).ToBool(); })) {
            trap([&] { Required(Root().FileSystem()).FileDeleteInUse(path); });
        }
    }
    FontsFolderRefresh();
}

// What a run ended during a font copy left in the Fonts folder goes with every uninstall, whether
// the fonts stay or not. A Fonts folder that cannot be named has nothing to sweep, and nothing is
// reported here: the fonts question decides whether the user hears of the Fonts folder at all.
void Tvx_UFSetup::FontsFolderSweep() {
    ErrorTrap trap = Trap();
    const std::string fontsDir = FontsDirValue();
    if (!fontsDir.empty()) {
        trap([&] { Required(Root().FileSystem()).FolderTrust(fontsDir); });
        trap([&] { Required(Root().FileSystem()).FolderSweep(fontsDir); });
    }
}

void Tvx_UFSetup::FontsFolderRefresh() {
    ErrorTrap trap = Trap();
    // By its full path: a bare name would be looked for first in the folder this program was
    // started from (a download folder, the temporary folder of the second uninstall stage), where
    // anyone could have put a RUNDLL32.EXE. On 64-bit Windows WOW64 redirects this 32-bit
    // program's System32 to SysWOW64: the 32-bit rundll32 runs and opens the Fonts folder through
    // the 32-bit shell, whose window has the same caption; the fonts are the same either way.
    trap([&] {
        Root().ExecuteShell(
            "\"" + runtime::SystemFolder() + "\\RUNDLL32.EXE\" shell32.dll,SHHelpShortcuts_RunDLL FontsFolder", 6);
    });
    auto ticks = [&] {
        int32_t now = 0;
        trap([&] { now = Required(Root().ExternalFunctions()).GetTickCount(); });
        return now;
    };
    auto find = [&](const char* caption) {
        int32_t found = 0;
        trap([&] { found = Required(Root().ExternalWindows()).WindowFind(this, caption); });
        return found;
    };

    // Waits for the view's window, stepping the waiting text's points meanwhile.
    const int32_t start = ticks();
    int32_t last = start;
    int32_t window = 0;
    for (;;) {
        window = find("fonts");
        if (window != 0) {
            break;
        }
        window = find("schriftarten");
        if (window != 0) {
            break;
        }
        if (runtime::ElapsedMs(last, ticks()) > kAnimationStepMs) {
            trap([&] {
                std::string text = BitteWarten().Text();
                if (runtime::Len(text) == 17) {
                    text = "Bitte warten ";
                }
                BitteWarten().Text(text + ".");
            });
            last = ticks();
        }
        if (runtime::ElapsedMs(start, ticks()) > kFontsViewLimitMs) {
            break;
        }
        runtime::DoEvents();
    }
    auto pause = [&] {
        const int32_t begin = ticks();
        while (runtime::ElapsedMs(begin, ticks()) <= kPauseMs) {
            runtime::DoEvents();
        }
    };
    pause();
    // Hidden, never closed: the view stays open out of sight.
    trap([&] { Required(Root().ExternalWindows()).WindowHide(window); });
    pause();
}
