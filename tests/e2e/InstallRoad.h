#pragma once

#include "E2eSupport.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What the install tests share: the delivered file lists, what an install leaves in the registry,
// the programs it starts, and the ways to look at all of it from outside.
namespace e2e {

// The add-in's twenty fonts and the nine support files, in the setup's order and spelling.
const std::vector<std::string>& FontNames();
const std::vector<std::string>& RuntimeFileNames();

// The registry traces of installs: the uninstall entries under HKEY_LOCAL_MACHINE and the version
// marks in the per-user settings store, for every Word version number (0 included, which an
// install without a selected row would use). Removed when created and when destroyed.
class InstallTraces {
public:
    InstallTraces();
    ~InstallTraces();
    InstallTraces(const InstallTraces&) = delete;
    InstallTraces& operator=(const InstallTraces&) = delete;

    static void RemoveAll();
};

// The uninstall entry's key below HKEY_LOCAL_MACHINE, and the version mark's key below
// HKEY_CURRENT_USER, for a Word version.
std::string UninstallKey(int version);
std::string VersionMarkKey(int version);
std::string SecurityKey(int version);

// A value read back with the system's wide registry function: its type and its text up to the
// first zero character.
struct WideValue {
    unsigned long Type = 0;
    std::string Text;
};
WideValue ReadWide(HKEY hive, const std::string& key, const std::string& name);

// Puts the Word stand-in into a Word program folder as its winword.exe.
void PlaceWordStandin(const std::string& programDir);
// Fills the sandbox's Fonts folder with the twenty fonts: the delivered files, or files of the
// delivered sizes with other bytes, which tell a font the setup left alone from one it copied.
void FillFonts(const Sandbox& sandbox);
void FillFontsSameSizeOtherBytes(const Sandbox& sandbox);
// The bytes FillFontsSameSizeOtherBytes writes for a font.
std::string SameSizeOtherBytes(const std::string& fontName);

// An expected-error dialog of a file operation: its headline, the operation's description, and
// the run-time error's text and number a Windows user sees.
void ExpectFileReport(const testsupport::ShownDialog& shown, const std::string& description,
                      const std::string& errorText, int number);

// The names in a folder, without "." and "..", sorted without regard to case.
std::vector<std::string> FolderEntries(const std::string& folder);

// One start of a stand-in, as it logged it.
struct StandinStart {
    int Show = -2;
    std::string Args;
    std::string CmdLine;
    std::string Program; // the program file that ran
};
std::vector<StandinStart> StandinStarts(const Sandbox& sandbox);
// The starts of the Word stand-in and of the Fonts view.
std::vector<StandinStart> WordStarts(const Sandbox& sandbox);
std::vector<StandinStart> FontsViewStarts(const Sandbox& sandbox);

// The processes a process started (its children) that run still or are held open, and ending
// them: Word and the Fonts view that an install leaves running. A process keeps its creator's id
// after the creator has ended, and the system gives that id to a later process: Wine's own
// services, started by a wineboot that ended at the prefix's start, name an id that a setup of a
// test gets now and then. A child is therefore also one created after the parent; the parent is
// held open, so that its id is still its own.
std::vector<DWORD> ChildrenOf(const Process& parent);
void EndChildrenOf(const Process& parent);
// Ends one process and waits for its end; nothing when it is gone already.
void EndProcessById(DWORD processId);

// The wizard once its start-up is over: the window comes up early, when the start-up brings it
// to the front, and the focus goes to "Weiter >" last. Null when that did not happen in time.
HWND WaitForReadyWizard(DWORD processId, std::chrono::milliseconds limit = 30s);
// The window with the input focus in the thread of a window.
HWND FocusOf(HWND window);

// The setup started from the sandbox, with an answerer for its dialogs. The answerer fails the
// test on any dialog it was not told to expect. Whatever the setup started is ended with it.
class SetupRun {
public:
    explicit SetupRun(const Sandbox& sandbox, const std::string& arguments = "");
    ~SetupRun();

    Process& Program() { return process_; }
    testsupport::DialogAnswerer& Dialogs() { return *dialogs_; }
    // The wizard, once its start-up is over; null when it did not come.
    HWND Wizard();
    // Clicks "Weiter >" and waits for the program's end; false when it did not end in time.
    bool Continue(std::chrono::milliseconds limit = 60s);
    DWORD ExitCode() const noexcept { return exitCode_; }

private:
    Process process_;
    std::unique_ptr<testsupport::DialogAnswerer> dialogs_;
    HWND wizard_ = nullptr;
    DWORD exitCode_ = 1;
};

// Watches a folder for files that show up in it under their names, in the order the system reports
// them; a name that goes again leaves the list.
class AddedFiles {
public:
    explicit AddedFiles(const std::string& folder);
    ~AddedFiles();
    AddedFiles(const AddedFiles&) = delete;
    AddedFiles& operator=(const AddedFiles&) = delete;

    std::vector<std::string> Names();

private:
    void Watch();

    HANDLE folder_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    HANDLE ready_ = nullptr;
    std::mutex mutex_;
    std::vector<std::string> names_;
    std::thread worker_;
};

} // namespace e2e
