// The uninstall, and the restore of Word's "Normal.dot" from the copies the record file lists.

#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
#include "runtime/Clock.h"
#include "runtime/FileIO.h"
#include "runtime/PathText.h"
#include "runtime/Text.h"
#include "system/Tvx_ExternalRegistry.h"
#include "system/Tvx_ExternalWindows.h"
#include "system/Tvx_FileSystem.h"

#include <memory>

using runtime::Variant;

namespace {

constexpr const char* kUninstallKeys = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string TwoDigits(int number) {
    std::string text = std::to_string(number);
    return text.size() == 1 ? "0" + text : text;
}

// Whether the line names a saved copy of a template "Normal.dot" in a folder, both compared as the
// file system compares names: every line of the record file names one, and the restore moves no
// other file of the user's, nor the template itself under the name of its saved copy.
bool NamesSavedNormalDot(const std::string& savedCopy, const std::string& normalDot) {
    const std::wstring wide = runtime::Widen(normalDot);
    constexpr std::wstring_view kName = L"Normal.dot";
    if (wide.size() <= kName.size() || runtime::SameName(runtime::Widen(savedCopy), wide)) {
        return false;
    }
    const std::wstring_view name = std::wstring_view(wide).substr(wide.size() - kName.size());
    return runtime::IsSeparator(wide[wide.size() - kName.size() - 1]) && runtime::SameName(name, kName);
}

// Characters a file name cannot hold ("/" in some short date formats) become "-".
std::string FileNameSafe(std::string text) {
    for (char& c : text) {
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|') {
            c = '-';
        }
    }
    return text;
}

} // namespace

void Tvx_UFSetup::Uninstall() {
    ErrorTrap trap = Trap();
    WorkingStateShow();
    // Without a selected row every path would be read relative to the current folder: after the
    // getters' reports no file, folder or registry key is touched.
    if (trap.If([&] { return GetWordProgramDir().ToString().empty(); })) {
        return;
    }

    Variant keepFonts;
    trap([&] {
        keepFonts = Required(Root().Tools())
                        .MessageBoxQuestion("Installierte Schriftarten beibehalten? (Empfohlen)\n\nHinweis: Wenn Sie "
                                            "\"Nein\" wählen, werden die von den Tarvex installierten Schriftarten "
                                            "gelöscht. Falls Sie die Schriften bereits in Dokumenten verwendet haben, "
                                            "werden diese dann nicht mehr richtig angezeigt.");
    });
    if (trap.If([&] { return keepFonts == Variant(1); })) {
        Variant restart;
        trap([&] {
            restart = Required(Root().Tools())
                          .MessageBox("Tarvex Setup", 3, "Neustart empfohlen", 0,
                                      "Da die Schriftarten deinstalliert werden sollen, bitten wir Sie an dieser "
                                      "Stelle zuerst Ihren PC neu zu starten. Ansonsten kann es beim Löschen von "
                                      "Schriftarten zu Problemen kommen, falls diese zuvor von einer Anwendung "
                                      "geöffnet wurden.\n\nDrücken Sie dazu jetzt auf \"Beenden\", starten Sie Ihren "
                                      "PC neu und führen Sie danach den Setup noch einmal aus. Falls Sie dies bereits "
                                      "durchgeführt haben, können Sie jetzt auf \"Fortsetzen\" klicken.",
                                      0, 0, 0, 0, "Beenden", "Fortsetzen");
        });
        if (trap.If([&] { return restart == Variant(0); })) {
            Root().EndExecution();
        } else {
            FontsUninstall();
            trap([&] { Required(Root().ExternalWindows()).WindowToForeground(this); });
        }
    }

    Tvx_Tools* tools = nullptr;
    Tvx_FileSystem* files = nullptr;
    trap([&] { tools = &Required(Root().Tools()); });
    trap([&] { files = &Required(Root().FileSystem()); });
    FontsFolderSweep();
    // Each file only when it is there: a partly removed installation goes without complaint.
    auto remove = [&](const std::string& path) {
        if (trap.If([&] { return Required(tools).CheckIfFileExists(path).ToBool(); })) {
            trap([&] { Required(files).FileDelete(path); });
        }
    };
    std::string installDir;
    std::string startupDir;
    trap([&] { installDir = GetInstallDir().ToString(); });
    trap([&] { startupDir = GetStartupDir().ToString(); });
    // Below Word's program folder nothing is deleted through a link.
    trap([&] { Required(files).FolderTrust(GetWordProgramDir()); });
    remove(installDir + "Keyboard.doc");
    remove(installDir + "TvxTutorial.exe");
    remove(installDir + "QuickGuide.doc");
    remove(startupDir + "Tvx.dot");
    const std::string uninstallDir = installDir + "Uninstall\\";
    const runtime::Collection runtimeFiles = GetRuntimeFiles();
    remove(uninstallDir + "TvxSetup.exe");
    const int32_t count = runtimeFiles.Count();
    for (int32_t item = 1; item <= count; ++item) {
        std::string name;
        trap([&] { name = runtimeFiles.Item(item).ToString(); });
        remove(uninstallDir + name);
    }
    if (trap.If([&] { return Required(tools).CheckIfDirectoryExists(installDir + "Uninstall").ToBool(); })) {
        trap([&] { Required(files).FolderDelete(installDir + "Uninstall"); });
    }

    // The entry in the list of installed programs: its values, then its key. Each call gets a
    // path of its own, since DelKey cuts the one it is given.
    std::string keyPath;
    trap([&] {
        keyPath = std::string(kUninstallKeys) + "\\Tarvex für Microsoft Word " + std::to_string(GetWordVersion());
    });
    for (const char* name : {"Comments", "Contact", "DisplayName", "DisplayIcon", "HelpLink", "NoModify", "NoRepair",
                             "Publisher", "UninstallString", "URLInfoAbout"}) {
        trap([&] { Required(Root().ExternalRegistry()).DelValue(std::string(keyPath), name); });
    }
    trap([&] {
        std::string path = keyPath;
        Required(Root().ExternalRegistry()).DelKey(path);
    });

    NormalDotRestore();
    trap([&] { Required(tools).MessageBoxInfo("Deinstallation abgeschlossen."); });
}

void Tvx_UFSetup::NormalDotRestore() {
    ErrorTrap trap = Trap();
    std::string backupName;
    trap([&] {
        const SYSTEMTIME now = runtime::Now();
        backupName = "Normal (Tarvex Backup " + FileNameSafe(runtime::ShortDate(now)) + " " +
                     TwoDigits(runtime::Hour(now)) + "." + TwoDigits(runtime::Minute(now)) + ").dot";
    });
    Variant restore;
    trap([&] {
        restore = Required(Root().Tools())
                      .MessageBoxQuestion(
                          "Soll die \"Normal.dot\" in den Zustand vor der Installation der Tarvex zurückgesetzt "
                          "werden? (Empfohlen)\n\nDie vorhandene \"Normal.dot\" wird umbenannt in\n\"" +
                          backupName +
                          "\".\n\nHinweis: Microsoft Word speichert alle Shortcuts, Symbolleisten und Makros, die Sie "
                          "selbst erstellt haben, in der Dokumentvorlage \"Normal.dot\". Falls Sie seit der "
                          "Installation Änderungen dieser Art an Word vorgenommen haben, gehen diese dabei verloren. "
                          "Daher empfehlen wir Ihnen in diesem Fall \"Nein\" zu wählen, dann bleibt die aktuelle "
                          "\"Normal.dot\" erhalten und Sie müssen nur noch die Symbolleisten der Tarvex in Word "
                          "löschen.");
    });
    if (trap.If([&] { return !(restore == Variant(0)); })) {
        return;
    }

    Tvx_Tools* tools = nullptr;
    Tvx_FileSystem* files = nullptr;
    trap([&] { tools = &Required(Root().Tools()); });
    trap([&] { files = &Required(Root().FileSystem()); });
    std::string installDir;
    trap([&] { installDir = GetInstallDir().ToString(); });

    // A record file that cannot be read ends the restore here: the installation folder stays,
    // with the record of the saved copies in it.
    std::unique_ptr<runtime::TextFileReader> record;
    if (!trap([&] { record = std::make_unique<runtime::TextFileReader>(installDir + "uninstall.tvk"); })) {
        return;
    }
    while (!record->EndOfFile()) {
        std::string savedCopy;
        if (!trap([&] { savedCopy = record->LineInput(); })) {
            break;
        }
        // The paths of this line alone: a line too short for them is reported and skipped.
        std::string normalDot;
        std::string backup;
        const bool derived = trap([&] {
            normalDot = runtime::Left(savedCopy, runtime::Len(savedCopy) - 3) + "dot";
            backup = runtime::Left(normalDot, runtime::Len(normalDot) - 10) + backupName;
        });
        if (!derived || !NamesSavedNormalDot(savedCopy, normalDot)) {
            continue;
        }
        bool swap = false;
        trap([&] {
            swap = Required(tools).CheckIfFileExists(savedCopy).ToBool() &&
                   Required(tools).CheckIfFileExists(normalDot).ToBool();
        });
        if (!swap) {
            continue;
        }
        // The present Normal.dot becomes the backup in its own folder; only when it is safe there
        // does the saved copy take its place. The restore replaces no file: a file under the
        // backup name holds a former Normal.dot already (the one an earlier line of the same
        // folder put there, or one an earlier restore made in the same minute), so this line's
        // copy fails and is reported, and its Normal.dot and its saved copy stay as they are.
        bool backedUp = false;
        trap([&] { backedUp = Required(files).FileRename(normalDot, backup, true); });
        if (backedUp) {
            trap([&] { Required(files).FileRename(savedCopy, normalDot); });
        }
    }
    record.reset();
    trap([&] { Required(files).FileDelete(installDir + "*.*"); });
    trap([&] { Required(files).FolderDeleteTry(GetWordProgramDir().ToString() + "Tvx"); });
}
