#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "system/Tvx_FileSystem.h"
#include "runtime/Handle.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <vector>

using runtime::Variant;
using testsupport::FileExists;
using testsupport::ReadFile;

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

using Call = systemtest::NativeFileCalls::Call;
// The system's answer to a call it refuses (STATUS_ACCESS_DENIED).
constexpr NTSTATUS kAccessDenied = static_cast<NTSTATUS>(0xC0000022L);

// The report's description of a failed copy.
std::string CopyMessage(const std::string& source, const std::string& target) {
    return "Kopieren einer Datei fehlgeschlagen (Quelle " + Quoted(source) + ", Ziel " + Quoted(target) + ")";
}

// Held open for reading as the indexer or a virus scanner holds a file, sharing everything: the
// classic rename cannot replace it (Windows and Wine refuse), and a copy puts the old file aside.
runtime::FileHandle Reader(const std::string& path) {
    runtime::FileHandle reader(CreateFileW(runtime::Widen(path).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(reader) << path;
    return reader;
}

// The names that the sweep of a later run takes: "~tvx", sixteen hex digits, ".tmp".
bool IsSweptName(const std::string& name) {
    return std::regex_match(name, std::regex("~tvx[0-9a-f]{16}\\.tmp"));
}

class FileSystemReportTest : public systemtest::FileSystemFixture {
protected:
    FileSystemReportTest() : FileSystemFixture("tvxfilesreport") {}

    // The names in the test's folder: what an operation left there, temporary files included.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found;
        const runtime::FindHandle search(FindFirstFileW(runtime::Widen(Path("*")).c_str(), &found));
        for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found)) {
            const std::string name = runtime::Narrow(found.cFileName);
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST_F(FileSystemReportTest, FileCopyOfAMissingSourceNamesBothPaths) {
    systemtest::ReportAnswerer report;
    files_.FileCopy(Path("missing.dot"), Path("Tvx.dot"));
    report.Check(root_, 53, "Datei nicht gefunden", CopyMessage(Path("missing.dot"), Path("Tvx.dot")));
    EXPECT_FALSE(FileExists(Path("Tvx.dot")));
}

// The target stays in use through all 100 retries: the report gives the number and text of the
// first attempt (the file-system object's), after the last retry.
TEST_F(FileSystemReportTest, FileCopyInUseReportsTheFirstAttemptAfterTheLastRetry) {
    Write("Font.ttf", "new font");
    Write("Fonts Font.ttf", "font in use");
    runtime::FileHandle lock = Lock(Path("Fonts Font.ttf"));
    systemtest::PostedMarker marker;
    systemtest::NativeFileCalls calls("Fonts Font.ttf");
    systemtest::ReportAnswerer report;
    const bool firstFailed = files_.FileCopyInUse(Path("Font.ttf"), Path("Fonts Font.ttf"));
    report.Check(root_, 70, "Zugriff verweigert", CopyMessage(Path("Font.ttf"), Path("Fonts Font.ttf")));
    EXPECT_TRUE(firstFailed);
    // The source was copied once; the first attempt and each of the 100 retries tried to put that
    // copy in the target's place.
    EXPECT_EQ(calls.Creates(), 1);
    EXPECT_EQ(calls.Replaces(), 101);
    EXPECT_FALSE(marker.StillWaiting());
    lock.reset();
    EXPECT_EQ(ReadFile(Path("Fonts Font.ttf")), "font in use");
    // The copy that never took the target's place went at the end.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Font.ttf", "Fonts Font.ttf"}));
}

// A font that is a link to a file elsewhere, and a font folder that is one: under Wine a delete or
// copy by name would act on what the link leads to. The refusal is reported at once: a link does
// not go away by waiting, and no retry opens the name again.
TEST_F(FileSystemReportTest, InUseRetriesMakeNoAttemptThroughALink) {
    Folder("Fonts");
    Folder("Elsewhere");
    Write("Outside.ttf", "the user's font");
    Write("Font.ttf", "new font");
    testsupport::UnixLink font(Path("Fonts\\Old.ttf"), Path("Outside.ttf"));
    testsupport::UnixLink folder(Path("Fonts\\Linked"), Path("Elsewhere"));
    {
        systemtest::NativeFileCalls calls("Old.ttf");
        systemtest::ReportAnswerer report;
        EXPECT_TRUE(files_.FileDeleteInUse(Path("Fonts\\Old.ttf")));
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Fonts\\Old.ttf")) + ")");
        EXPECT_EQ(calls.Opens(), 1);
    }
    files_.FolderTrust(Path("Fonts"));
    Write("Elsewhere\\Kept.ttf", "the user's other font");
    {
        systemtest::NativeFileCalls calls("Linked");
        systemtest::ReportAnswerer report;
        EXPECT_TRUE(files_.FileDeleteInUse(Path("Fonts\\Linked\\Kept.ttf")));
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Fonts\\Linked\\Kept.ttf")) + ")");
        EXPECT_EQ(calls.Opens(), 1);
    }
    systemtest::NativeFileCalls calls("Linked");
    systemtest::ReportAnswerer report;
    EXPECT_TRUE(files_.FileCopyInUse(Path("Font.ttf"), Path("Fonts\\Linked\\Font.ttf")));
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 CopyMessage(Path("Font.ttf"), Path("Fonts\\Linked\\Font.ttf")));
    EXPECT_EQ(calls.Opens(), 1);
    EXPECT_EQ(calls.Creates(), 0);
    EXPECT_EQ(ReadFile(Path("Outside.ttf")), "the user's font");
    EXPECT_EQ(ReadFile(Path("Elsewhere\\Kept.ttf")), "the user's other font");
    EXPECT_FALSE(FileExists(Path("Elsewhere\\Font.ttf")));
}

// Word's program folder is trusted and reached through a link of the user's own, which is
// followed. Below it a folder that is a link is not gone through: a copy, a delete and a new
// folder there are refused, and what the link leads to stays as it was. So is a trusted folder
// swapped for a link since.
TEST_F(FileSystemReportTest, BelowATrustedFolderNothingGoesThroughALink) {
    Folder("Real Word");
    Folder("Outside");
    Write("Outside\\Keyboard.doc", "the user's letter");
    Write("Keyboard.doc", "new document");
    testsupport::UnixLink word(Path("Word"), Path("Real Word"));
    testsupport::UnixLink tvx(Path("Real Word\\Tvx"), Path("Outside"));
    files_.FolderTrust(Path("Word\\"));
    const std::string target = Path("Word\\Tvx\\Keyboard.doc");
    {
        systemtest::ReportAnswerer report;
        files_.FileCopy(Path("Keyboard.doc"), target);
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei", CopyMessage(Path("Keyboard.doc"), target));
    }
    {
        systemtest::ReportAnswerer report;
        files_.FileDelete(target);
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(target) + ")");
    }
    {
        systemtest::ReportAnswerer report;
        files_.FolderCreate(Path("Word\\Tvx\\Uninstall"));
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     "Erstellen eines Verzeichnisses fehlgeschlagen (" + Quoted(Path("Word\\Tvx\\Uninstall")) + ")");
    }
    EXPECT_EQ(ReadFile(Path("Outside\\Keyboard.doc")), "the user's letter");
    EXPECT_FALSE(FileExists(Path("Outside\\Uninstall")));

    files_.FolderCreate(Path("Word\\STARTUP"));
    files_.FileCopy(Path("Keyboard.doc"), Path("Word\\STARTUP\\Tvx.dot"));
    EXPECT_EQ(ReadFile(Path("Real Word\\STARTUP\\Tvx.dot")), "new document");

    // Nor is one swapped for another folder of the same index, as the roots of two volumes have: a
    // TEMP on "R:\\" after the letter was given to another disk.
    Folder("Temp");
    {
        systemtest::NativeFileCalls calls("Brief.doc");
        calls.OneIndexForAll(5);
        files_.FolderTrust(Path("Temp"));
        ASSERT_TRUE(MoveFileW(runtime::Widen(Path("Temp")).c_str(), runtime::Widen(Path("Temp alt")).c_str()));
        Folder("Temp");
        Write("Temp\\Brief.doc", "the user's letter");
        systemtest::ReportAnswerer report;
        files_.FileDelete(Path("Temp\\Brief.doc"));
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Temp\\Brief.doc")) + ")");
    }
    EXPECT_EQ(ReadFile(Path("Temp\\Brief.doc")), "the user's letter");

    // A trusted folder swapped for a link since it was trusted is not gone through by its path.
    Folder("Fonts");
    files_.FolderTrust(Path("Fonts"));
    ASSERT_TRUE(MoveFileW(runtime::Widen(Path("Fonts")).c_str(), runtime::Widen(Path("Fonts alt")).c_str()));
    testsupport::UnixLink fonts(Path("Fonts"), Path("Outside"));
    systemtest::ReportAnswerer report;
    files_.FileDelete(Path("Fonts\\Keyboard.doc"));
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Fonts\\Keyboard.doc")) + ")");
    EXPECT_EQ(ReadFile(Path("Outside\\Keyboard.doc")), "the user's letter");
}

// The old name cannot go (a link that the system would follow): the rename says so, so that the
// restore puts nothing in its place, and what the link leads to stays.
TEST_F(FileSystemReportTest, FileRenameWhoseOldNameCannotGoSaysSo) {
    Folder("Templates");
    Write("Outside.dot", "the user's template");
    testsupport::UnixLink normal(Path("Templates\\Normal.dot"), Path("Outside.dot"));
    systemtest::ReportAnswerer report;
    EXPECT_FALSE(files_.FileRename(Path("Templates\\Normal.dot"), Path("Templates\\Backup.dot"), true));
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Templates\\Normal.dot")) + ")");
    EXPECT_EQ(ReadFile(Path("Outside.dot")), "the user's template");
    EXPECT_EQ(ReadFile(Path("Templates\\Backup.dot")), "the user's template");
}

TEST_F(FileSystemReportTest, FileDeleteInUseOfAMissingFileReportsAfterTheRetries) {
    systemtest::PostedMarker marker;
    systemtest::NativeFileCalls calls("missing.ttf");
    systemtest::ReportAnswerer report;
    const bool firstFailed = files_.FileDeleteInUse(Path("missing.ttf"));
    report.Check(root_, 53, "Datei nicht gefunden",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("missing.ttf")) + ")");
    EXPECT_TRUE(firstFailed);
    // The first attempt and 100 retries.
    EXPECT_EQ(calls.Opens(), 101);
    EXPECT_FALSE(marker.StillWaiting());
}

// During the retries another program takes the font away and puts a link to a file of the user's
// under its name. Each retry opens the name as itself in the folder it checked, so it meets the
// link, not a name it checked a moment before: the retries stop, and what the link leads to stays.
// The swap is made just before the second retry opens the name: bound to the retries' own steps,
// not to when a thread of the test gets its turn, which under load came only after the hundredth.
TEST_F(FileSystemReportTest, RetriesMeetALinkSwappedInAndKeepWhatItLeadsTo) {
    Folder("Fonts");
    Write("Fonts\\Font.ttf", "font in use");
    Write("Outside.ttf", "the user's font");
    files_.FolderTrust(Path("Fonts"));
    runtime::FileHandle lock = Lock(Path("Fonts\\Font.ttf"));
    std::unique_ptr<testsupport::UnixLink> link;
    systemtest::NativeFileCalls calls("Font.ttf");
    calls.At(systemtest::NativeFileCalls::Call::Open, 3, [&] {
        lock.reset();
        ASSERT_TRUE(DeleteFileW(runtime::Widen(Path("Fonts\\Font.ttf")).c_str()));
        link = std::make_unique<testsupport::UnixLink>(Path("Fonts\\Font.ttf"), Path("Outside.ttf"));
    });
    systemtest::ReportAnswerer report;
    EXPECT_TRUE(files_.FileDeleteInUse(Path("Fonts\\Font.ttf")));
    report.Check(root_, 70, "Zugriff verweigert",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Fonts\\Font.ttf")) + ")");
    EXPECT_TRUE(link != nullptr);
    // The first attempt and two retries; the retries ended at the link instead of going on to the
    // hundredth.
    EXPECT_EQ(calls.Opens(), 3);
    EXPECT_EQ(ReadFile(Path("Outside.ttf")), "the user's font");
}

// A font that a program holds, and one whose delete the file system refuses only as the handle
// that marked it closes (Wine answers every step as done): both are retried, then reported.
TEST_F(FileSystemReportTest, FileDeleteInUseOfAFileThatStaysInUse) {
    TVX_SKIP_WITHOUT_IMMUTABLE_FILES();
    Write("Font.ttf", "font in use");
    runtime::FileHandle lock = Lock(Path("Font.ttf"));
    {
        systemtest::ReportAnswerer report;
        const bool firstFailed = files_.FileDeleteInUse(Path("Font.ttf"));
        report.Check(root_, 70, "Zugriff verweigert",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Font.ttf")) + ")");
        EXPECT_TRUE(firstFailed);
    }
    lock.reset();
    EXPECT_TRUE(FileExists(Path("Font.ttf")));

    Write("Fixed.ttf", "font that cannot go");
    const testsupport::Immutable fixed(Path("Fixed.ttf"));
    systemtest::ReportAnswerer report;
    EXPECT_TRUE(files_.FileDeleteInUse(Path("Fixed.ttf")));
    report.Check(root_, 70, "Zugriff verweigert",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Fixed.ttf")) + ")");
    EXPECT_EQ(ReadFile(Path("Fixed.ttf")), "font that cannot go");
}

// A folder is never replaced. A read-only file is the user's to keep where the files are the
// user's (the Normal.dot restore renames them), on Windows as under Wine (whose own copy replaces
// a read-only file).
TEST_F(FileSystemReportTest, NeitherAFolderNorAReadOnlyFileOfTheUsersIsReplaced) {
    Write("Keyboard.doc", "new document");
    Folder("Tvx");
    Folder("Tvx\\Keyboard.doc");
    Write("Normal.sav", "saved template");
    Write("Normal.dot", "read-only template", FILE_ATTRIBUTE_READONLY);
    {
        systemtest::ReportAnswerer report;
        files_.FileCopy(Path("Keyboard.doc"), Path("Tvx\\Keyboard.doc"));
        report.Check(root_, 70, "Zugriff verweigert", CopyMessage(Path("Keyboard.doc"), Path("Tvx\\Keyboard.doc")));
    }
    systemtest::ReportAnswerer report;
    EXPECT_FALSE(files_.FileRename(Path("Normal.sav"), Path("Normal.dot")));
    report.Check(root_, 70, "Zugriff verweigert", CopyMessage(Path("Normal.sav"), Path("Normal.dot")));
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(Path("Tvx\\Keyboard.doc\\Keyboard.doc")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFile(Path("Normal.dot")), "read-only template");
    EXPECT_EQ(ReadFile(Path("Normal.sav")), "saved template");
}

// A delete refused by the system (a file that a program has mapped as an image) after the read-only
// bit went for it: the bit comes back, also where the refusal comes only as the handle closes.
TEST_F(FileSystemReportTest, ReadOnlyFileThatCannotGoKeepsItsBit) {
    TVX_SKIP_WITHOUT_IMMUTABLE_FILES();
    const std::string image = Path("Tutorial.exe");
    wchar_t program[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
    ASSERT_TRUE(CopyFileW(program, runtime::Widen(image).c_str(), TRUE));
    ASSERT_TRUE(SetFileAttributesW(runtime::Widen(image).c_str(), FILE_ATTRIBUTE_READONLY));
    const HMODULE mapped = LoadLibraryExW(runtime::Widen(image).c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(mapped, nullptr);
    {
        systemtest::ReportAnswerer report;
        files_.FileDelete(image);
        report.Check(root_, 70, "Zugriff verweigert", "Löschen einer Datei fehlgeschlagen (" + Quoted(image) + ")");
    }
    FreeLibrary(mapped);
    EXPECT_NE(GetFileAttributesW(runtime::Widen(image).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    // Refused only as the handle closes, by a folder whose entries cannot go.
    Folder("Fixed");
    const std::string kept = Write("Fixed\\QuickGuide.doc", "read-only document", FILE_ATTRIBUTE_READONLY);
    const testsupport::Immutable fixed(Path("Fixed"));
    systemtest::ReportAnswerer report;
    files_.FileDelete(kept);
    report.Check(root_, 70, "Zugriff verweigert", "Löschen einer Datei fehlgeschlagen (" + Quoted(kept) + ")");
    EXPECT_EQ(ReadFile(kept), "read-only document");
    EXPECT_NE(GetFileAttributesW(runtime::Widen(kept).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

// Whether a delete was done is asked of its name afterwards, opened anew, with answers staged at
// those opens (the entry's own open is the first of its name, the outcome's the second and third):
// - another file took the name right after the delete: done, and the new file keeps its content
//   and its attributes (one made before, moved there: Linux hands a file number freed by a delete
//   to the next file made, and Wine gives no other index);
// - the name no longer opens for another reason than "not found" (a share that dropped out): not
//   known to be done, reported; the read-only bit goes back only to the file that had it, not to
//   one that took the name meanwhile;
// - "delete pending", as Windows answers while a reader (a virus scanner) still holds the file
//   (Wine never gives it): done, and the file goes when the reader lets go;
// - the reader lets go between the outcome's two opens, and the name is gone at the second: done.
TEST_F(FileSystemReportTest, ADeleteIsDoneWhereTheNameNoLongerLeadsToTheFile) {
    constexpr NTSTATUS kNetworkNameDeleted = static_cast<NTSTATUS>(0xC00000C9L);
    constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056L);
    const std::string font = Path("Font.ttf");
    const auto readOnly = [](const std::string& path) {
        return (GetFileAttributesW(runtime::Widen(path).c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
    };
    const auto takeTheName = [&] {
        ASSERT_TRUE(MoveFileW(runtime::Widen(Path("Other.ttf")).c_str(), runtime::Widen(font).c_str()));
    };
    {
        Write("Font.ttf", "old font", FILE_ATTRIBUTE_READONLY);
        Write("Other.ttf", "someone else's font");
        systemtest::NativeFileCalls calls("Font.ttf");
        calls.At(Call::Open, 2, takeTheName);
        files_.FileDelete(font);
        systemtest::ExpectNoReport(root_);
        EXPECT_EQ(ReadFile(font), "someone else's font");
        EXPECT_FALSE(readOnly(font));
        ASSERT_TRUE(DeleteFileW(runtime::Widen(font).c_str()));
    }
    {
        Write("Font.ttf", "old font");
        runtime::FileHandle reader = Reader(font);
        systemtest::NativeFileCalls calls("Font.ttf");
        calls.At(Call::Open, 2, {}, kDeletePending);
        files_.FileDelete(font);
        systemtest::ExpectNoReport(root_);
        reader.reset();
        EXPECT_FALSE(FileExists(font));
    }
    {
        Write("Font.ttf", "old font");
        runtime::FileHandle reader = Reader(font);
        systemtest::NativeFileCalls calls("Font.ttf");
        calls.At(Call::Open, 3, [&] { reader.reset(); });
        files_.FileDelete(font);
        systemtest::ExpectNoReport(root_);
        EXPECT_EQ(calls.Opens(), 3);
        EXPECT_FALSE(FileExists(font));
    }
    Write("Font.ttf", "old font", FILE_ATTRIBUTE_READONLY);
    Write("Other.ttf", "someone else's font");
    systemtest::NativeFileCalls calls("Font.ttf");
    calls.At(Call::Open, 2, takeTheName, kNetworkNameDeleted);
    systemtest::ReportAnswerer report;
    files_.FileDelete(font);
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(font) + ")");
    EXPECT_EQ(ReadFile(font), "someone else's font");
    EXPECT_FALSE(readOnly(font));
}

// A path that goes through a file, in front of a trusted folder or below it.
TEST_F(FileSystemReportTest, PathThroughAFileIsNotFound) {
    Folder("Word");
    Write("Word\\Tvx", "a file, not the folder");
    Write("Keyboard.doc", "new document");
    {
        systemtest::ReportAnswerer report;
        files_.FileDelete(Path("Word\\Tvx\\Keyboard.doc"));
        report.Check(root_, 76, "Pfad nicht gefunden",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Word\\Tvx\\Keyboard.doc")) + ")");
    }
    files_.FolderTrust(Path("Word"));
    systemtest::ReportAnswerer report;
    files_.FileCopy(Path("Keyboard.doc"), Path("Word\\Tvx\\Keyboard.doc"));
    report.Check(root_, 76, "Pfad nicht gefunden", CopyMessage(Path("Keyboard.doc"), Path("Word\\Tvx\\Keyboard.doc")));
    EXPECT_EQ(ReadFile(Path("Word\\Tvx")), "a file, not the folder");
}

// Deeper than MAX_PATH, where Wine tells no final path: the place is told from the path on the
// volume, so a plain file there goes, and a link there is refused while what it leads to stays.
TEST_F(FileSystemReportTest, BeyondMaxPathALinkIsStillToldFromAFile) {
    Write("Outside.dot", "the user's template");
    Folder("Word");
    files_.FolderTrust(Path("Word"));
    std::string deep = "Word";
    while (Path(deep).size() < 300) {
        deep += "\\Vorlagen und Dokumente";
        Folder(deep);
    }
    Write(deep + "\\Plain.dot", "plain");
    testsupport::UnixLink link(Path(deep + "\\Normal.dot"), Path("Outside.dot"));
    files_.FileDelete(Path(deep + "\\Plain.dot"));
    EXPECT_FALSE(FileExists(Path(deep + "\\Plain.dot")));
    systemtest::ExpectNoReport(root_);
    systemtest::ReportAnswerer report;
    files_.FileDelete(Path(deep + "\\Normal.dot"));
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path(deep + "\\Normal.dot")) + ")");
    EXPECT_EQ(ReadFile(Path("Outside.dot")), "the user's template");
}

// A verbatim path names the file as it is written, its trailing dot too, as the system reads it:
// there is no "Normal.dot." to delete, and Normal.dot stays.
TEST_F(FileSystemReportTest, AVerbatimPathKeepsItsTrailingDot) {
    Write("Normal.dot", "the user's template");
    const std::string verbatim = "\\\\?\\" + Path("Normal.dot.");
    systemtest::ReportAnswerer report;
    files_.FileDelete(verbatim);
    report.Check(root_, 53, "Datei nicht gefunden", "Löschen einer Datei fehlgeschlagen (" + Quoted(verbatim) + ")");
    EXPECT_EQ(ReadFile(Path("Normal.dot")), "the user's template");
}

// A path with a zero character reaches the system nowhere: the part before it is the user's file,
// which stays. (The report's window shows the text up to the zero character, as every window does.)
TEST_F(FileSystemReportTest, APathWithAZeroCharacterIsRefused) {
    Write("Brief.doc", "the user's letter");
    const std::string path = Path("Brief.doc") + std::string(1, '\0') + "123456dot";
    {
        testsupport::DialogAnswerer report;
        report.Click("Ignorieren");
        files_.FileDelete(path);
        ASSERT_TRUE(report.Done());
        EXPECT_EQ(root_.Errors()->ErrNumber().ToLong(), 52);
        EXPECT_EQ(root_.Errors()->ErrDescription().ToString(), "Dateiname oder -nummer falsch");
        EXPECT_EQ(root_.Errors()->Description().ToString(),
                  "Löschen einer Datei fehlgeschlagen (" + Quoted(path) + ")");
        EXPECT_EQ(ReadFile(Path("Brief.doc")), "the user's letter");
    }

    // As a copy's source: the file named by the part before it is not copied.
    testsupport::DialogAnswerer copyReport;
    copyReport.Click("Ignorieren");
    files_.FileCopy(path, Path("Kopie.doc"));
    ASSERT_TRUE(copyReport.Done());
    EXPECT_EQ(root_.Errors()->ErrNumber().ToLong(), 52);
    EXPECT_FALSE(FileExists(Path("Kopie.doc")));
}

// The copy's data does not reach the disk (full): the copy fails before it takes the target's name,
// and the target keeps its old content.
TEST_F(FileSystemReportTest, ACopyWhoseDataCannotBeFlushedKeepsTheOldTarget) {
    Write("Tvx.dot", "new template");
    Write("STARTUP Tvx.dot", "old template");
    systemtest::NativeFileCalls calls("STARTUP Tvx.dot");
    calls.FailFlushes();
    systemtest::ReportAnswerer report;
    files_.FileCopy(Path("Tvx.dot"), Path("STARTUP Tvx.dot"));
    report.Check(root_, 61, "Datenträger voll", CopyMessage(Path("Tvx.dot"), Path("STARTUP Tvx.dot")));
    EXPECT_EQ(ReadFile(Path("STARTUP Tvx.dot")), "old template");
    EXPECT_EQ(Names(), (std::vector<std::string>{"STARTUP Tvx.dot", "Tvx.dot"}));
}

// A folder holding only a subfolder: the pattern matches no file.
TEST_F(FileSystemReportTest, FileDeleteOfAPatternThatMatchesNoFile) {
    Folder("Tvx");
    Folder("Tvx\\Uninstall");
    systemtest::ReportAnswerer report;
    files_.FileDelete(Path("Tvx\\*.*"));
    report.Check(root_, 53, "Datei nicht gefunden",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Tvx\\*.*")) + ")");
    EXPECT_TRUE(FileExists(Path("Tvx\\Uninstall")));
}

// Two files in use: whatever else the deletes meet goes, read-only files and subfolders too; what
// the system refused is reported, not passed as deleted, and the folders that hold it stay.
TEST_F(FileSystemReportTest, DeletesReportTheFilesInUseAndRemoveTheRest) {
    Folder("Tvx");
    Folder("Tvx\\Uninstall");
    Folder("Tvx\\Docs");
    Write("Tvx\\Keyboard.doc", "a");
    Write("Tvx\\QuickGuide.doc", "in use");
    Write("Tvx\\uninstall.tvk", "c");
    Write("Tvx\\Uninstall\\TvxSetup.exe", "in use too");
    Write("Tvx\\Uninstall\\STDOLE2.TLB", "x");
    Write("Tvx\\Docs\\Keyboard.doc", "y");
    for (const char* readOnly : {"Tvx\\uninstall.tvk", "Tvx\\Docs\\Keyboard.doc"}) {
        ASSERT_TRUE(SetFileAttributesW(runtime::Widen(Path(readOnly)).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    runtime::FileHandle guide = Lock(Path("Tvx\\QuickGuide.doc"));
    runtime::FileHandle setup = Lock(Path("Tvx\\Uninstall\\TvxSetup.exe"));
    {
        systemtest::ReportAnswerer report;
        files_.FileDelete(Path("Tvx\\*.*"));
        report.Check(root_, 70, "Zugriff verweigert",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Tvx\\*.*")) + ")");
    }
    EXPECT_FALSE(FileExists(Path("Tvx\\Keyboard.doc")));
    EXPECT_FALSE(FileExists(Path("Tvx\\uninstall.tvk")));
    EXPECT_TRUE(FileExists(Path("Tvx\\Docs\\Keyboard.doc")));

    systemtest::ReportAnswerer report;
    files_.FolderDelete(Path("Tvx"));
    report.Check(root_, 70, "Zugriff verweigert",
                 "Löschen eines Verzeichnisses fehlgeschlagen (" + Quoted(Path("Tvx")) + ")");
    EXPECT_FALSE(FileExists(Path("Tvx\\Docs")));
    EXPECT_FALSE(FileExists(Path("Tvx\\Uninstall\\STDOLE2.TLB")));
    guide.reset();
    setup.reset();
    EXPECT_EQ(ReadFile(Path("Tvx\\QuickGuide.doc")), "in use");
    EXPECT_EQ(ReadFile(Path("Tvx\\Uninstall\\TvxSetup.exe")), "in use too");
}

// Links in the folder to a folder and to a file outside it: what they point to stays. Under Wine
// neither link can be removed as itself, and that is reported.
TEST_F(FileSystemReportTest, FolderDeleteNeverFollowsALinkOutOfTheFolder) {
    Folder("Outside");
    Write("Outside\\Normal.dot", "the user's template");
    Write("Letter.doc", "the user's letter");
    Folder("Tvx");
    Write("Tvx\\Keyboard.doc", "a");
    testsupport::UnixLink folderLink(Path("Tvx\\Templates"), Path("Outside"));
    testsupport::UnixLink fileLink(Path("Tvx\\Letter.doc"), Path("Letter.doc"));
    // A link to the root of a drive: Wine opens it as that folder, whose place is "X:\\", as a
    // drive's root lies in no folder of the link's.
    Folder("Laufwerk");
    Write("Laufwerk\\Daten.doc", "the user's data");
    const testsupport::WineDrive drive(Path("Laufwerk"));
    ASSERT_FALSE(drive.Root().empty());
    testsupport::UnixLink driveLink(Path("Tvx\\Laufwerk"), Path("Laufwerk"));
    systemtest::ReportAnswerer report;
    files_.FolderDelete(Path("Tvx"));
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 "Löschen eines Verzeichnisses fehlgeschlagen (" + Quoted(Path("Tvx")) + ")");
    EXPECT_FALSE(FileExists(Path("Tvx\\Keyboard.doc")));
    EXPECT_EQ(ReadFile(Path("Outside\\Normal.dot")), "the user's template");
    EXPECT_EQ(ReadFile(Path("Letter.doc")), "the user's letter");
    EXPECT_EQ(ReadFile(drive.Root() + "Daten.doc"), "the user's data");
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
    systemtest::ReportAnswerer report;
    files_.FolderDelete(folder);
    report.Check(root_, 76, "Pfad nicht gefunden",
                 "Löschen eines Verzeichnisses fehlgeschlagen (" + Quoted(folder) + ")");
}

// The copy to the new name fails (its folder is missing): the old file is not deleted, so the
// user's only copy stays where it was.
TEST_F(FileSystemReportTest, FileRenameAfterAFailedCopyKeepsTheOldFile) {
    Write("Normal.dot", "the user's template");
    const std::string newName = Path("no folder\\Normal (Tarvex Backup).dot");
    systemtest::ReportAnswerer report;
    EXPECT_FALSE(files_.FileRename(Path("Normal.dot"), newName));
    report.Check(root_, 76, "Pfad nicht gefunden", CopyMessage(Path("Normal.dot"), newName));
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

// The old file goes aside, and the step that gives the new one the name fails once: the old file
// gets its name back, whole, the failure is reported, and nothing is left beside it.
TEST_F(FileSystemReportTest, AsideReplaceWhoseNewFileCannotTakeTheNamePutsTheOldOneBack) {
    Write("Tvx.dot", "new template");
    Write("STARTUP Tvx.dot", "old template");
    runtime::FileHandle reader = Reader(Path("STARTUP Tvx.dot"));
    systemtest::NativeFileCalls calls("STARTUP Tvx.dot");
    calls.At(Call::RenameIn, 1, {}, kAccessDenied);
    {
        systemtest::ReportAnswerer report;
        files_.FileCopy(Path("Tvx.dot"), Path("STARTUP Tvx.dot"));
        report.Check(root_, 70, "Zugriff verweigert", CopyMessage(Path("Tvx.dot"), Path("STARTUP Tvx.dot")));
    }
    // The refused step and the old file's way back.
    EXPECT_EQ(calls.RenameIns(), 2);
    reader.reset();
    EXPECT_EQ(ReadFile(Path("STARTUP Tvx.dot")), "old template");
    EXPECT_EQ(Names(), (std::vector<std::string>{"STARTUP Tvx.dot", "Tvx.dot"}));
}

// The restore gives Normal.dot the saved copy while a reader holds the user's Normal.dot. Once that
// is aside, another program puts a file under the name: the saved copy cannot take it, and the
// user's Normal.dot cannot have it back. The report says where the user's file is now: under a
// name that no later run's sweep takes, whole, and the saved copy stays too.
TEST_F(FileSystemReportTest, AsideReplaceWhoseNameAnotherFileTookKeepsTheOldFileAndSaysWhere) {
    Write("Normal.sav", "saved template");
    Write("Normal.dot", "the user's template");
    runtime::FileHandle reader = Reader(Path("Normal.dot"));
    systemtest::NativeFileCalls calls("Normal.dot");
    calls.At(Call::RenameIn, 1, [&] { testsupport::WriteFile(Path("Normal.dot"), "someone else's template"); });
    systemtest::ReportAnswerer report;
    EXPECT_FALSE(files_.FileRename(Path("Normal.sav"), Path("Normal.dot")));
    reader.reset();
    std::vector<std::string> names = Names();
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return name == "Normal.dot" || name == "Normal.sav"; }),
                names.end());
    ASSERT_EQ(names.size(), 1u);
    const std::string left = names[0];
    EXPECT_FALSE(IsSweptName(left)) << left;
    EXPECT_EQ(ReadFile(Path(left)), "the user's template");
    report.Check(root_, 70, "Zugriff verweigert; die bisherige Zieldatei liegt jetzt unter " + Quoted(Path(left)),
                 CopyMessage(Path("Normal.sav"), Path("Normal.dot")));
    EXPECT_EQ(calls.RenameIns(), 2);
    EXPECT_EQ(ReadFile(Path("Normal.dot")), "someone else's template");
    EXPECT_EQ(ReadFile(Path("Normal.sav")), "saved template");
}

// The old file set aside cannot be deleted once the new one has its name (the file system refuses as
// the handle closes): the new file stays in place, and the report says where the old one is left.
TEST_F(FileSystemReportTest, AsideReplaceWhoseOldFileCannotGoSaysWhereItStays) {
    TVX_SKIP_WITHOUT_IMMUTABLE_FILES();
    Write("Normal.sav", "saved template");
    Write("Normal.dot", "the user's template");
    runtime::FileHandle reader = Reader(Path("Normal.dot"));
    std::string left;
    std::unique_ptr<testsupport::Immutable> fixed;
    systemtest::NativeFileCalls calls("Normal.dot");
    calls.At(Call::RenameIn, 1, [&] {
        reader.reset();
        for (const std::string& name : Names()) {
            if (name != "Normal.dot" && name != "Normal.sav" && name.rfind("~tvx", 0) == 0 && name.size() == 24 &&
                name.substr(20) == ".bak") {
                left = name;
            }
        }
        ASSERT_FALSE(left.empty());
        fixed = std::make_unique<testsupport::Immutable>(Path(left));
    });
    systemtest::ReportAnswerer report;
    EXPECT_FALSE(files_.FileRename(Path("Normal.sav"), Path("Normal.dot")));
    report.Check(root_, 70, "Zugriff verweigert; die bisherige Zieldatei liegt jetzt unter " + Quoted(Path(left)),
                 CopyMessage(Path("Normal.sav"), Path("Normal.dot")));
    fixed.reset();
    EXPECT_EQ(ReadFile(Path("Normal.dot")), "saved template");
    EXPECT_EQ(ReadFile(Path(left)), "the user's template");
    EXPECT_EQ(ReadFile(Path("Normal.sav")), "saved template");
}

// The target is a link to a file of the user's (Wine opens it as what it leads to), and the classic
// rename is refused: the aside replace meets the link where it opens the old file, and refuses
// before it moves anything.
TEST_F(FileSystemReportTest, AsideReplaceRefusesALinkInTheTargetsPlace) {
    Folder("Fonts");
    Write("Outside.ttf", "the user's font");
    Write("New.ttf", "new font");
    testsupport::UnixLink link(Path("Fonts\\Font.ttf"), Path("Outside.ttf"));
    systemtest::NativeFileCalls calls("Font.ttf");
    calls.At(Call::Replace, 1, {}, kAccessDenied);
    {
        systemtest::ReportAnswerer report;
        files_.FileCopy(Path("New.ttf"), Path("Fonts\\Font.ttf"));
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     CopyMessage(Path("New.ttf"), Path("Fonts\\Font.ttf")));
    }
    EXPECT_EQ(calls.Replaces(), 1);
    EXPECT_EQ(calls.RenameIns(), 0);
    EXPECT_EQ(ReadFile(Path("Outside.ttf")), "the user's font");
    EXPECT_EQ(ReadFile(Path("Fonts\\Font.ttf")), "the user's font");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Fonts", "New.ttf", "Outside.ttf"}));
}
