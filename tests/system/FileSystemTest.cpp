#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_FileSystem.h"
#include "runtime/Handle.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using runtime::Variant;
using testsupport::FileExists;
using testsupport::ReadFile;

namespace {

class FileSystemTest : public systemtest::FileSystemFixture {
protected:
    FileSystemTest() : FileSystemFixture("tvxfiles") {}
};

} // namespace

TEST_F(FileSystemTest, ObjectComesIntoBeingWithTheFirstFileOperation) {
    EXPECT_FALSE(files_.IsLoaded());
    files_.FolderCreate(Path("Tvx"));
    EXPECT_TRUE(files_.IsLoaded());
    EXPECT_TRUE(FileExists(Path("Tvx")));
    files_.FolderCreate(Path("Tvx\\Uninstall"));
    EXPECT_TRUE(FileExists(Path("Tvx\\Uninstall")));
    systemtest::ExpectNoReport(root_);
    // The object is our own: no COM comes into the process with it.
    EXPECT_EQ(GetModuleHandleW(L"ole32.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"oleaut32.dll"), nullptr);
}

TEST_F(FileSystemTest, FileCopyReplacesAnExistingTargetWithoutAQuestion) {
    Write("Tvx.dot", "new template");
    Write("STARTUP Tvx.dot", "old template");
    files_.FileCopy(Path("Tvx.dot"), Path("STARTUP Tvx.dot"));
    EXPECT_EQ(ReadFile(Path("STARTUP Tvx.dot")), "new template");
    EXPECT_EQ(ReadFile(Path("Tvx.dot")), "new template");
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, PathsWithUmlautsAndBlanks) {
    Folder("Büro Vorlagen");
    Write("Büro Vorlagen\\Schriftart ä.ttf", "font");
    files_.FileCopy(Path("Büro Vorlagen\\Schriftart ä.ttf"), Path("Büro Vorlagen\\Kopie ö.ttf"));
    EXPECT_EQ(ReadFile(Path("Büro Vorlagen\\Kopie ö.ttf")), "font");
    files_.FileDelete(Path("Büro Vorlagen\\Kopie ö.ttf"));
    EXPECT_FALSE(FileExists(Path("Büro Vorlagen\\Kopie ö.ttf")));
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileCopyInUseWhoseFirstAttemptSucceedsMakesNoRetry) {
    Write("TvxSetup.exe", "program");
    systemtest::PostedMarker marker;
    EXPECT_FALSE(files_.FileCopyInUse(Path("TvxSetup.exe"), Path("Copy.exe")));
    EXPECT_EQ(ReadFile(Path("Copy.exe")), "program");
    // No failed attempt, so DoEvents never ran and the message still waits.
    EXPECT_TRUE(marker.StillWaiting());
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileCopyInUseOfAFileReleasedDuringTheRetriesSucceedsWithoutReport) {
    Write("Font.ttf", "new font");
    Write("Fonts Font.ttf", "font in use");
    runtime::FileHandle lock = Lock(Path("Fonts Font.ttf"));
    bool firstFailed = false;
    {
        systemtest::ReleaseWhileRetrying release(lock, 3);
        firstFailed = files_.FileCopyInUse(Path("Font.ttf"), Path("Fonts Font.ttf"));
        EXPECT_TRUE(release.Released());
        EXPECT_EQ(release.Handled(), 3);
    }
    EXPECT_TRUE(firstFailed);
    EXPECT_EQ(ReadFile(Path("Fonts Font.ttf")), "new font");
    systemtest::ExpectNoReport(root_);
}

// A link where the copy goes: the link itself is replaced, what it led to stays as it was.
TEST_F(FileSystemTest, FileCopyOntoALinkReplacesTheLinkNotWhatItLeadsTo) {
    Write("Keyboard.doc", "new document");
    Write("Letter.doc", "the user's letter");
    Folder("Tvx");
    testsupport::UnixLink link(Path("Tvx\\Keyboard.doc"), Path("Letter.doc"));
    files_.FileCopy(Path("Keyboard.doc"), Path("Tvx\\Keyboard.doc"));
    EXPECT_EQ(ReadFile(Path("Letter.doc")), "the user's letter");
    EXPECT_EQ(ReadFile(Path("Tvx\\Keyboard.doc")), "new document");
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileDeleteInUseWhoseFirstAttemptSucceedsMakesNoRetry) {
    Write("Font.ttf", "font");
    systemtest::PostedMarker marker;
    EXPECT_FALSE(files_.FileDeleteInUse(Path("Font.ttf")));
    EXPECT_FALSE(FileExists(Path("Font.ttf")));
    EXPECT_TRUE(marker.StillWaiting());
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileDeleteInUseOfAFileReleasedDuringTheRetriesSucceedsWithoutReport) {
    Write("Font.ttf", "font in use");
    runtime::FileHandle lock = Lock(Path("Font.ttf"));
    bool firstFailed = false;
    {
        systemtest::ReleaseWhileRetrying release(lock, 3);
        firstFailed = files_.FileDeleteInUse(Path("Font.ttf"));
        EXPECT_TRUE(release.Released());
    }
    EXPECT_TRUE(firstFailed);
    EXPECT_FALSE(FileExists(Path("Font.ttf")));
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileDeleteRemovesReadOnlyFiles) {
    Write("Normal.dot", "x", FILE_ATTRIBUTE_READONLY);
    files_.FileDelete(Path("Normal.dot"));
    EXPECT_FALSE(FileExists(Path("Normal.dot")));
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileDeleteOfAPatternRemovesEveryFileOfTheFolder) {
    Folder("Tvx");
    Write("Tvx\\Keyboard.doc", "a");
    Write("Tvx\\QuickGuide.doc", "b", FILE_ATTRIBUTE_READONLY);
    Write("Tvx\\uninstall.tvk", "c", FILE_ATTRIBUTE_HIDDEN);
    Write("Tvx\\TvxTutorial", "d");
    Folder("Tvx\\Uninstall");
    files_.FileDelete(Path("Tvx\\*.*"));
    EXPECT_FALSE(FileExists(Path("Tvx\\Keyboard.doc")));
    EXPECT_FALSE(FileExists(Path("Tvx\\QuickGuide.doc")));
    EXPECT_FALSE(FileExists(Path("Tvx\\uninstall.tvk")));
    EXPECT_FALSE(FileExists(Path("Tvx\\TvxTutorial")));
    // Files only: the folder and its subfolder stay.
    EXPECT_TRUE(FileExists(Path("Tvx\\Uninstall")));
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FolderDeleteRemovesEverythingInIt) {
    Folder("Tvx");
    Folder("Tvx\\Uninstall");
    Write("Tvx\\Uninstall\\TvxSetup.exe", "x", FILE_ATTRIBUTE_READONLY);
    Write("Tvx\\Keyboard.doc", "y");
    files_.FolderDelete(Path("Tvx"));
    EXPECT_FALSE(FileExists(Path("Tvx")));
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FolderDeleteTryDeletesOrStaysSilent) {
    Folder("Uninstall");
    Write("Uninstall\\TvxSetup.exe", "x");
    files_.FolderDeleteTry(Path("Uninstall"));
    EXPECT_FALSE(FileExists(Path("Uninstall")));
    files_.FolderDeleteTry(Path("Uninstall"));
    files_.FolderDeleteTry(Path("no folder\\Uninstall"));
    systemtest::ExpectNoReport(root_);
}

TEST_F(FileSystemTest, FileRenameCopiesAndDeletesTheOldName) {
    Write("Normal.dot", "current");
    Write("Normal (Tarvex Backup).dot", "older backup");
    files_.FileRename(Path("Normal.dot"), Path("Normal (Tarvex Backup).dot"));
    EXPECT_FALSE(FileExists(Path("Normal.dot")));
    EXPECT_EQ(ReadFile(Path("Normal (Tarvex Backup).dot")), "current");
    systemtest::ExpectNoReport(root_);
}
