// Install and update: the same procedure; an update is an install over an existing one.

#include "Tvx_UFSetup.h"

#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "runtime/FileIO.h"
#include "runtime/Settings.h"
#include "runtime/Text.h"
#include "system/Tvx_ExternalRegistry.h"
#include "system/Tvx_FileSystem.h"

using runtime::Variant;

namespace {

constexpr const char* kUninstallKeys = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kContact = "support@tarvex.example";
constexpr const char* kWebAddress = "https://www.tarvex.example/";
constexpr const char* kPublisher = "Tarvex";

// A REG_DWORD handed to the registry class: the characters whose ANSI codes are its three low
// bytes, lowest first.
Variant DwordValue(uint32_t number) {
    return runtime::FromAnsi(std::string{static_cast<char>(number & 0xFF), static_cast<char>((number >> 8) & 0xFF),
                                         static_cast<char>((number >> 16) & 0xFF)});
}

} // namespace

void Tvx_UFSetup::Install() {
    ErrorTrap trap = Trap();
    WorkingStateShow();
    // Without a selected row every path would be made from an empty program folder, relative to
    // the current folder: after the getters' reports nothing is created, copied, written or started.
    if (trap.If([&] { return GetWordProgramDir().ToString().empty(); })) {
        return;
    }
    MacroSecuritySetLow();

    Tvx_Tools* tools = nullptr;
    Tvx_FileSystem* files = nullptr;
    trap([&] { tools = &Required(Root().Tools()); });
    trap([&] { files = &Required(Root().FileSystem()); });
    auto folderMissing = [&](const std::string& folder) {
        return !Required(tools).CheckIfDirectoryExists(folder).ToBool();
    };

    std::string programDir;
    std::string installDir;
    std::string startupDir;
    std::string setupDir;
    trap([&] { programDir = GetWordProgramDir().ToString(); });
    trap([&] { installDir = GetInstallDir().ToString(); });
    trap([&] { startupDir = GetStartupDir().ToString(); });
    trap([&] { setupDir = GetSetupDir().ToString(); });
    // Word's program folder is the registry's: its own path is followed; the install's folders and
    // files below it are made and replaced through no link.
    trap([&] { Required(files).FolderTrust(programDir); });

    if (trap.If([&] { return folderMissing(programDir + "Tvx"); })) {
        trap([&] { Required(files).FolderCreate(programDir + "Tvx"); });
    }
    if (trap.If([&] { return folderMissing(programDir + "STARTUP"); })) {
        trap([&] { Required(files).FolderCreate(programDir + "STARTUP"); });
    }
    trap([&] { Required(files).FileCopy(setupDir + "Docs\\Tvx.dot", startupDir + "Tvx.dot"); });
    trap([&] { Required(files).FileCopy(setupDir + "Docs\\Keyboard.doc", installDir + "Keyboard.doc"); });
    trap([&] { Required(files).FileCopy(setupDir + "Docs\\TvxTutorial.exe", installDir + "TvxTutorial.exe"); });
    trap([&] { Required(files).FileCopy(setupDir + "Docs\\QuickGuide.doc", installDir + "QuickGuide.doc"); });

    // The setup copy and its support files, for a later uninstall; the program copies itself by
    // its fixed name, whatever name it was started under.
    const std::string uninstallDir = installDir + "Uninstall\\";
    const runtime::Collection runtimeFiles = GetRuntimeFiles();
    if (trap.If([&] { return folderMissing(installDir + "Uninstall"); })) {
        trap([&] { Required(files).FolderCreate(installDir + "Uninstall"); });
    }
    trap([&] { Required(files).FileCopyInUse(setupDir + "TvxSetup.exe", uninstallDir + "TvxSetup.exe"); });
    const int32_t count = runtimeFiles.Count();
    for (int32_t item = 1; item <= count; ++item) {
        trap([&] {
            const std::string name = runtimeFiles.Item(item).ToString();
            Required(files).FileCopyInUse(setupDir + name, uninstallDir + name);
        });
    }

    // The entry in the system's list of installed programs; its values only when its key exists.
    int32_t version = 0;
    trap([&] { version = GetWordVersion(); });
    auto keyPath = [&] {
        return std::string(kUninstallKeys) + "\\Tarvex für Microsoft Word " + std::to_string(version);
    };
    if (trap.If([&] { return Required(Root().ExternalRegistry()).AddKey(keyPath()); })) {
        auto write = [&](const char* name, Variant value, const char* type) {
            trap([&] {
                std::string typeName = type;
                Required(Root().ExternalRegistry()).WriteValue(keyPath(), name, value, typeName);
            });
        };
        write("Comments", "Mit den Tarvx können Sie mathematische Formeln und Symbole unter Microsoft Word erstellen.",
              "REG_SZ");
        write("Contact", kContact, "REG_SZ");
        Variant versionName;
        trap([&] { versionName = Required(tools).GetWordVersionName(version); });
        write("DisplayName", "Tarvex für Microsoft Word " + versionName.ToString(), "REG_SZ");
        write("DisplayIcon", programDir + "winword.exe", "REG_SZ");
        write("HelpLink", kWebAddress, "REG_SZ");
        write("NoModify", DwordValue(1), "REG_DWORD");
        write("NoRepair", DwordValue(1), "REG_DWORD");
        write("Publisher", kPublisher, "REG_SZ");
        // The program path is quoted: unquoted, a path with blanks would let Windows start
        // another program ("C:\Program.exe") in its place.
        write("UninstallString", "\"" + uninstallDir + "TvxSetup.exe\" /Uninstall_1_" + std::to_string(version),
              "REG_SZ");
        write("URLInfoAbout", kWebAddress, "REG_SZ");
    }

    // The record of saved Normal.dot copies: created empty when missing, an existing one keeps its lines.
    trap([&] { runtime::AppendOpenClose(installDir + "uninstall.tvk"); });

    FontsInstall();
    VersionSettingMark();
    // Word starts maximized with the input focus; the install does not wait for it.
    trap([&] { Root().ExecuteShell("\"" + programDir + "winword.exe\"", 3); });
}

void Tvx_UFSetup::MacroSecuritySetLow() {
    ErrorTrap trap = Trap();
    int32_t version = 0;
    trap([&] { version = GetWordVersion(); });
    // Word 97 and earlier have no macro-security level.
    if (version < 9) {
        return;
    }
    const std::string key =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + std::to_string(version) + ".0\\Word\\Security";
    bool levelWritten = false;
    bool trustWritten = false;
    trap([&] {
        Variant level = DwordValue(1);
        std::string type = "REG_DWORD";
        levelWritten = Required(Root().ExternalRegistry()).WriteValue(key, "Level", level, type);
    });
    trap([&] {
        Variant trust = DwordValue(0);
        std::string type = "REG_DWORD";
        trustWritten = Required(Root().ExternalRegistry()).WriteValue(key, "DontTrustInstalledFiles", trust, type);
    });
    if (!(levelWritten && trustWritten)) {
        trap([&] {
            Required(Root().Errors())
                .ExpectedErrorShow(0, "", "Makro-Sicherheitsstufe nicht auf \"Niedrig\" einstellbar.");
        });
    }
}

void Tvx_UFSetup::VersionSettingMark() {
    ErrorTrap trap = Trap();
    std::string application;
    trap([&] { application = "Tvx" + std::to_string(GetWordVersion()); });
    std::string mark = "0.00";
    trap([&] { mark = runtime::GetSetting(application, "Options", "Tvx_Version", "0.00"); });
    if (trap.If([&] { return runtime::Len(mark) < 4; })) {
        mark = "0.00";
    }
    // The add-in reads the mark: "9999" in front, once.
    if (trap.If([&] { return runtime::Left(mark, 4) != "9999"; })) {
        mark = "9999" + mark;
    }
    trap([&] { runtime::SaveSetting(application, "Options", "Tvx_Version", mark); });
}
