#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "system/Tvx_FileSystem.h"
#include "runtime/Automation.h"
#include "runtime/Handle.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using runtime::Variant;
using testsupport::FileExists;
using testsupport::ReadFile;

namespace {

// The number and text of a failure as the file-system object itself reports it.
struct Failure {
    int32_t number = 0;
    std::string text;
};

Failure DirectCall(const std::string& member, const std::vector<Variant>& arguments) {
    try {
        runtime::AutomationObject::Create("Scripting.FileSystemObject").Call(member, arguments);
    } catch (const runtime::RuntimeError& error) {
        return {error.Number(), error.Description()};
    }
    return {};
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

class FileSystemReportTest : public testing::Test {
protected:
    std::string Path(const std::string& name) const { return folder_.Path() + name; }
    std::string Write(const std::string& name, const std::string& bytes) {
        testsupport::WriteFile(Path(name), bytes);
        return Path(name);
    }
    runtime::FileHandle Lock(const std::string& path) {
        runtime::FileHandle lock(CreateFileW(runtime::Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        EXPECT_TRUE(lock) << path;
        return lock;
    }

    Tarvex root_;
    Tvx_FileSystem& files_ = *root_.FileSystem();
    testsupport::TempFolder folder_{"tvxfilesreport"};
};

} // namespace

TEST_F(FileSystemReportTest, FileCopyOfAMissingSourceNamesBothPaths) {
    systemtest::ReportAnswerer report;
    files_.FileCopy(Path("missing.dot"), Path("Tvx.dot"));
    report.Check(root_, 53, "Datei nicht gefunden",
                 "Kopieren einer Datei fehlgeschlagen (Quelle " + Quoted(Path("missing.dot")) + ", Ziel " +
                     Quoted(Path("Tvx.dot")) + ")");
    EXPECT_FALSE(FileExists(Path("Tvx.dot")));
}

// The target stays in use through all 100 retries: the report gives the number and text of the
// first attempt (the file-system object's), not of the system's copy.
TEST_F(FileSystemReportTest, FileCopyInUseReportsTheFirstAttemptAfterTheLastRetry) {
    Write("Font.ttf", "new font");
    Write("Fonts Font.ttf", "font in use");
    runtime::FileHandle lock = Lock(Path("Fonts Font.ttf"));
    const Failure first = DirectCall("CopyFile", {Path("Font.ttf"), Path("Fonts Font.ttf"), true});
    ASSERT_NE(first.number, 0);
    systemtest::PostedMarker marker;
    systemtest::ReportAnswerer report;
    const bool firstFailed = files_.FileCopyInUse(Path("Font.ttf"), Path("Fonts Font.ttf"));
    report.Check(root_, first.number, first.text,
                 "Kopieren einer Datei fehlgeschlagen (Quelle " + Quoted(Path("Font.ttf")) + ", Ziel " +
                     Quoted(Path("Fonts Font.ttf")) + ")");
    EXPECT_TRUE(firstFailed);
    EXPECT_FALSE(marker.StillWaiting());
    lock.reset();
    EXPECT_EQ(ReadFile(Path("Fonts Font.ttf")), "font in use");
}

TEST_F(FileSystemReportTest, FileDeleteInUseOfAMissingFileReportsAfterTheRetries) {
    systemtest::PostedMarker marker;
    systemtest::ReportAnswerer report;
    const bool firstFailed = files_.FileDeleteInUse(Path("missing.ttf"));
    report.Check(root_, 53, "Datei nicht gefunden",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("missing.ttf")) + ")");
    EXPECT_TRUE(firstFailed);
    EXPECT_FALSE(marker.StillWaiting());
}

TEST_F(FileSystemReportTest, FileDeleteInUseOfAFileThatStaysInUse) {
    Write("Font.ttf", "font in use");
    runtime::FileHandle lock = Lock(Path("Font.ttf"));
    const Failure first = DirectCall("DeleteFile", {Path("Font.ttf"), true});
    ASSERT_NE(first.number, 0);
    systemtest::ReportAnswerer report;
    const bool firstFailed = files_.FileDeleteInUse(Path("Font.ttf"));
    report.Check(root_, first.number, first.text,
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Font.ttf")) + ")");
    EXPECT_TRUE(firstFailed);
    lock.reset();
    EXPECT_TRUE(FileExists(Path("Font.ttf")));
}

TEST_F(FileSystemReportTest, FileDeleteOfAMissingFile) {
    systemtest::ReportAnswerer report;
    files_.FileDelete(Path("Keyboard.doc"));
    report.Check(root_, 53, "Datei nicht gefunden",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Keyboard.doc")) + ")");
}

TEST_F(FileSystemReportTest, FolderCreateOfAnExistingFolder) {
    const std::string folder = Path("Tvx");
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(folder).c_str(), nullptr));
    systemtest::ReportAnswerer report;
    files_.FolderCreate(folder);
    report.Check(root_, 58, "Datei existiert bereits",
                 "Erstellen eines Verzeichnisses fehlgeschlagen (" + Quoted(folder) + ")");
}

TEST_F(FileSystemReportTest, FolderDeleteOfAMissingFolder) {
    const std::string folder = Path("Uninstall");
    const Failure expected = DirectCall("DeleteFolder", {folder, true});
    ASSERT_NE(expected.number, 0);
    systemtest::ReportAnswerer report;
    files_.FolderDelete(folder);
    report.Check(root_, expected.number, expected.text,
                 "Löschen eines Verzeichnisses fehlgeschlagen (" + Quoted(folder) + ")");
}

// The copy to the new name fails (its folder is missing): the old file is not deleted, so the
// user's only copy stays where it was.
TEST_F(FileSystemReportTest, FileRenameAfterAFailedCopyKeepsTheOldFile) {
    Write("Normal.dot", "the user's template");
    const std::string newName = Path("no folder\\Normal (Tarvex Backup).dot");
    const Failure copy = DirectCall("CopyFile", {Path("Normal.dot"), newName, true});
    ASSERT_NE(copy.number, 0);
    systemtest::ReportAnswerer report;
    files_.FileRename(Path("Normal.dot"), newName);
    report.Check(root_, copy.number, copy.text,
                 "Kopieren einer Datei fehlgeschlagen (Quelle " + Quoted(Path("Normal.dot")) + ", Ziel " +
                     Quoted(newName) + ")");
    EXPECT_EQ(ReadFile(Path("Normal.dot")), "the user's template");
}

// "Alle ignorier." silences unexpected errors only; a failed file operation is still shown.
TEST_F(FileSystemReportTest, ExpectedErrorsAreShownAfterAllOthersAreIgnored) {
    root_.Errors()->IgnoreAll(true);
    const std::string folder = Path("Tvx");
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(folder).c_str(), nullptr));
    systemtest::ReportAnswerer report;
    files_.FolderCreate(folder);
    report.Check(root_, 58, "Datei existiert bereits",
                 "Erstellen eines Verzeichnisses fehlgeschlagen (" + Quoted(folder) + ")");
}
