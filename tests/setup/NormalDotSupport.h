#pragma once

#include "SetupTestSupport.h"
#include "runtime/Clock.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"
#include "support/ShortDateFormat.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// The restore of Normal.dot run inside the test, on the wizard of a sandbox with Word 11, at a
// fixed date and time of day.
namespace normaldot {

using testsupport::DialogAnswerer;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::ShownDialog;
using testsupport::WriteFile;

// The wizard with the uninstall open to the tests as well.
class Probe : public setuptest::SetupProbe {
public:
    using Tvx_UFSetup::Uninstall;
};

// The clock behind the program's current date and time, fixed for one test.
class FixedNow {
public:
    FixedNow(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
        time_ = SYSTEMTIME{};
        time_.wYear = year;
        time_.wMonth = month;
        time_.wDay = day;
        time_.wHour = hour;
        time_.wMinute = minute;
        time_.wSecond = 41;
        before_ = runtime::SetNowSource([] { return time_; });
    }
    ~FixedNow() { runtime::SetNowSource(before_); }
    FixedNow(const FixedNow&) = delete;
    FixedNow& operator=(const FixedNow&) = delete;

    static const SYSTEMTIME& Time() { return time_; }

private:
    static inline SYSTEMTIME time_{};
    runtime::NowSource before_ = nullptr;
};

// The process's current folder, changed for one test: a path read relative to it lands there.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) {
        wchar_t before[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, before);
        before_ = before;
        SetCurrentDirectoryW(runtime::Widen(folder).c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(before_.c_str()); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::wstring before_;
};

// A file held open without sharing, as another program holding it would.
class LockedFile {
public:
    explicit LockedFile(const std::string& path)
        : handle_(CreateFileW(runtime::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                              nullptr)) {}
    ~LockedFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

inline std::vector<std::string> FolderContents(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(runtime::Widen(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const std::string name = runtime::Narrow(found.cFileName);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

inline bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(runtime::Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A centred dialog text stands below the line feeds that place it vertically in the box.
inline std::string CentredText(const ShownDialog& shown) {
    const size_t start = shown.Body.find_first_not_of('\n');
    return start == std::string::npos ? std::string() : shown.Body.substr(start);
}

inline std::string NormalDotQuestion(const std::string& backupName) {
    return "Soll die \"Normal.dot\" in den Zustand vor der Installation der Tarvex zurückgesetzt werden? "
           "(Empfohlen)\n\nDie vorhandene \"Normal.dot\" wird umbenannt in\n\"" +
           backupName +
           "\".\n\nHinweis: Microsoft Word speichert alle Shortcuts, Symbolleisten und Makros, die Sie selbst erstellt "
           "haben, in der Dokumentvorlage \"Normal.dot\". Falls Sie seit der Installation Änderungen dieser Art an "
           "Word vorgenommen haben, gehen diese dabei verloren. Daher empfehlen wir Ihnen in diesem Fall \"Nein\" zu "
           "wählen, dann bleibt die aktuelle \"Normal.dot\" erhalten und Sie müssen nur noch die Symbolleisten der "
           "Tarvex in Word löschen.";
}

// Word 11 with the add-in installed: its installation folder with the documents and the record
// file, and folders of Normal.dot templates with their saved copies beside them. The date is
// 27 February 2004, the time 9:05, the short date format "dd.MM.yyyy" unless a test says other.
class NormalDotRestoreTest : public testing::Test {
protected:
    explicit NormalDotRestoreTest(const char* dateFormat = "dd.MM.yyyy", WORD hour = 9, WORD minute = 5)
        : dateFormat_(dateFormat), now_(2004, 2, 27, hour, minute) {}

    void SetUp() override {
        programDir_ = sandbox_.AddWord(11, "Programme\\Office 2003", true);
        setup_ = std::make_unique<Probe>();
        installDir_ = setup_->GetInstallDir().ToString();
        ASSERT_EQ(installDir_, programDir_ + "Tvx\\");
        CreateDirectoryW(runtime::Widen(installDir_).c_str(), nullptr);
        WriteFile(installDir_ + "Keyboard.doc", "a document the uninstall left");
    }

    // A folder of templates under the sandbox, with a saved copy and a Normal.dot as given
    // (an empty text: no such file).
    std::string Templates(const std::string& name, const std::string& saved, const std::string& current) {
        const std::string folder = sandbox_.Root() + name + "\\";
        CreateDirectoryW(runtime::Widen(folder).c_str(), nullptr);
        if (!saved.empty()) {
            WriteFile(folder + "Normal.sav", saved);
        }
        if (!current.empty()) {
            WriteFile(folder + "Normal.dot", current);
        }
        return folder;
    }

    // The record file's text, written in the system's ANSI code page as the add-in writes it.
    void Record(const std::string& text) { WriteFile(installDir_ + "uninstall.tvk", runtime::ToAnsi(text)); }

    // Runs the restore; every dialog it shows is answered by the queue, in order.
    std::vector<ShownDialog> Restore(DialogAnswerer& dialogs) {
        setup_->NormalDotRestore();
        EXPECT_TRUE(dialogs.Done(std::chrono::seconds(5)));
        return dialogs.Seen();
    }

    // The swap of one folder done: the saved copy is Normal.dot again, the Normal.dot before it
    // lies under the backup name, and nothing else is there.
    void ExpectSwapped(const std::string& folder, const std::string& saved, const std::string& current,
                       const std::string& backupName) {
        EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{backupName, "Normal.dot"})) << folder;
        EXPECT_EQ(ReadFile(folder + "Normal.dot"), saved) << folder;
        if (FileExists(folder + backupName)) {
            EXPECT_EQ(ReadFile(folder + backupName), current) << folder;
        }
    }

    testsupport::ShortDateFormat dateFormat_;
    FixedNow now_;
    testsupport::WordSandbox sandbox_;
    std::string programDir_;
    std::unique_ptr<Probe> setup_;
    std::string installDir_;
};

} // namespace normaldot
