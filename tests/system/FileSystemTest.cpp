#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_FileSystem.h"
#include "runtime/Handle.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

using runtime::Variant;
using testsupport::FileExists;
using testsupport::ReadFile;

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

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

// Installed from a CD, where every file is read-only, updated from the next: the program's own
// files are replaced, and no copy takes the read-only bit of the media. The copy keeps the other
// bits and the time of last change, as the system's own copy does.
TEST_F(FileSystemTest, FileCopyOfTheProgramsOwnFilesFromReadOnlyMedia) {
    Write("CD Tvx.dot", "template 1");
    Write("CD Font.ttf", "font 1", FILE_ATTRIBUTE_READONLY);
    Write("CD2 Tvx.dot", "template 2", FILE_ATTRIBUTE_READONLY);
    Write("CD2 Font.ttf", "font 2", FILE_ATTRIBUTE_READONLY);
    FILETIME changed{0x12345678, 0x01c3f000};
    {
        // Before the bits, and the hidden bit before the read-only one: Wine keeps the hidden bit in
        // an extended attribute of the Unix file, which a user who is not root may not write once
        // the file is read-only.
        runtime::FileHandle source(CreateFileW(runtime::Widen(Path("CD Tvx.dot")).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                               nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(source.get(), nullptr, nullptr, &changed));
    }
    ASSERT_TRUE(SetFileAttributesW(runtime::Widen(Path("CD Tvx.dot")).c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW(runtime::Widen(Path("CD Tvx.dot")).c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    files_.FileCopy(Path("CD Tvx.dot"), Path("Tvx.dot"));
    files_.FileCopyInUse(Path("CD Font.ttf"), Path("Font.ttf"));
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(Path("Tvx.dot")).c_str()) &
                  (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(Path("Font.ttf")).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    WIN32_FILE_ATTRIBUTE_DATA copied{};
    ASSERT_TRUE(GetFileAttributesExW(runtime::Widen(Path("Tvx.dot")).c_str(), GetFileExInfoStandard, &copied));
    EXPECT_EQ(copied.ftLastWriteTime.dwLowDateTime, changed.dwLowDateTime);
    EXPECT_EQ(copied.ftLastWriteTime.dwHighDateTime, changed.dwHighDateTime);

    // An install of an older version left its files read-only.
    ASSERT_TRUE(SetFileAttributesW(runtime::Widen(Path("Tvx.dot")).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW(runtime::Widen(Path("Font.ttf")).c_str(), FILE_ATTRIBUTE_READONLY));
    systemtest::PostedMarker marker;
    files_.FileCopy(Path("CD2 Tvx.dot"), Path("Tvx.dot"));
    EXPECT_FALSE(files_.FileCopyInUse(Path("CD2 Font.ttf"), Path("Font.ttf")));
    EXPECT_TRUE(marker.StillWaiting());
    EXPECT_EQ(ReadFile(Path("Tvx.dot")), "template 2");
    EXPECT_EQ(ReadFile(Path("Font.ttf")), "font 2");
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(Path("Tvx.dot")).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(GetFileAttributesW(runtime::Widen(Path("Font.ttf")).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    systemtest::ExpectNoReport(root_);
}

// The target of a retry is replaced, never written into: another name of the same file (a hard
// link) keeps its content and its read-only bit.
TEST_F(FileSystemTest, FileCopyInUseReplacesTheTargetAndNeverWritesIntoIt) {
    Write("Font.ttf", "new font");
    Write("Other.ttf", "the user's font", FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CreateHardLinkW(runtime::Widen(Path("Fonts Font.ttf")).c_str(),
                                runtime::Widen(Path("Other.ttf")).c_str(), nullptr));
    runtime::FileHandle lock = Lock(Path("Fonts Font.ttf"));
    {
        systemtest::ReleaseWhileRetrying release(lock, 2);
        EXPECT_TRUE(files_.FileCopyInUse(Path("Font.ttf"), Path("Fonts Font.ttf")));
        EXPECT_TRUE(release.Released());
    }
    EXPECT_EQ(ReadFile(Path("Fonts Font.ttf")), "new font");
    EXPECT_EQ(ReadFile(Path("Other.ttf")), "the user's font");
    EXPECT_NE(GetFileAttributesW(runtime::Widen(Path("Other.ttf")).c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    systemtest::ExpectNoReport(root_);
}

// An 8.3 name is another spelling of the same entry, not a link: below a trusted folder a file is
// deleted by its short name and through a folder's short name.
TEST_F(FileSystemTest, ShortNamesBelowATrustedFolder) {
    Folder("Word");
    Folder("Word\\Vorlagen und Dokumente");
    Write("Word\\Vorlagen und Dokumente\\Normal Vorlage.dot", "template");
    files_.FolderTrust(Path("Word"));
    wchar_t buffer[MAX_PATH];
    ASSERT_NE(GetShortPathNameW(runtime::Widen(Path("Word\\Vorlagen und Dokumente\\Normal Vorlage.dot")).c_str(),
                                buffer, MAX_PATH),
              0u);
    const std::string shortPath = runtime::Narrow(buffer);
    const size_t file = shortPath.find_last_of('\\');
    const size_t folder = shortPath.find_last_of('\\', file - 1);
    const std::string shortFolder = shortPath.substr(folder + 1, file - folder - 1);
    const std::string shortFile = shortPath.substr(file + 1);
    ASSERT_NE(shortFolder, "Vorlagen und Dokumente");
    ASSERT_NE(shortFile, "Normal Vorlage.dot");
    files_.FileDelete(Path("Word\\" + shortFolder + "\\" + shortFile));
    EXPECT_FALSE(FileExists(Path("Word\\Vorlagen und Dokumente\\Normal Vorlage.dot")));
    systemtest::ExpectNoReport(root_);
}

// A trusted folder's path compared as the file system compares names: spelled in another case in a
// path below it (Word's folder as the registry names it, "OFFICE11"), it is the same folder, and
// the program's file there goes. A folder beside it whose name begins like it ("Office12" beside
// "Office") lies not inside it: the user's link there is followed, as outside any trusted folder.
TEST_F(FileSystemTest, TrustedFoldersAreComparedAsTheFileSystemComparesNames) {
    Folder("Office11");
    Write("Office11\\Keyboard.doc", "document");
    Folder("Office");
    Folder("Office12");
    Folder("Eigene");
    Write("Eigene\\Brief.doc", "the user's letter");
    testsupport::UnixLink link(Path("Office12\\Vorlagen"), Path("Eigene"));
    files_.FolderTrust(Path("OFFICE11"));
    files_.FolderTrust(Path("Office"));
    files_.FileDelete(Path("Office11\\Keyboard.doc"));
    files_.FileDelete(Path("Office12\\Vorlagen\\Brief.doc"));
    systemtest::ExpectNoReport(root_);
    EXPECT_FALSE(FileExists(Path("Office11\\Keyboard.doc")));
    EXPECT_FALSE(FileExists(Path("Eigene\\Brief.doc")));
}

// On the way to a trusted folder spelled otherwise than it was trusted, a folder that lets everyone
// through but refuses to be opened itself, as the junctions of the old profile names ("Documents and
// Settings") do on Windows: the path passes it as the system does, finds the trusted folder, and the
// file below it is deleted; so it does past two such folders in a row, the second one looked up in
// the first one's listing. Never passed over: the trusted folder itself, which a link below it
// would then lead past, and the folder the file lies in, whose place the folder before it is not.
TEST_F(FileSystemTest, AFolderOnTheWayThatRefusesToBeOpenedItselfIsPassedThrough) {
    Folder("Zwischen");
    Folder("Zwischen\\Word");
    Folder("Zwischen\\Word\\Tvx");
    Write("Zwischen\\Word\\Tvx\\Keyboard.doc", "document");
    Folder("Outside");
    Write("Outside\\Keyboard.doc", "the user's letter");
    testsupport::UnixLink link(Path("Zwischen\\Word\\Link"), Path("Outside"));
    Folder("Andere");
    Folder("Andere\\Tvx");
    Write("Andere\\Keyboard.doc", "the user's keyboard notes");
    Write("Andere\\Tvx\\Keyboard.doc", "another document");
    Folder("Profil");
    Folder("Profil\\Daten");
    Folder("Profil\\Daten\\Word");
    Write("Profil\\Daten\\Word\\Keyboard.doc", "document");
    files_.FolderTrust(Path("Zwischen\\Word"));
    files_.FolderTrust(Path("Profil\\Daten\\Word"));
    {
        systemtest::NativeFileCalls calls("Zwischen");
        calls.RefuseOpeningItself();
        files_.FileDelete("\\\\?\\" + Path("Zwischen\\Word\\Tvx\\Keyboard.doc"));
        systemtest::ExpectNoReport(root_);
        EXPECT_FALSE(FileExists(Path("Zwischen\\Word\\Tvx\\Keyboard.doc")));
    }
    {
        systemtest::NativeFileCalls calls("Profil");
        calls.RefuseOpeningItself("Daten");
        files_.FileDelete("\\\\?\\" + Path("Profil\\Daten\\Word\\Keyboard.doc"));
        systemtest::ExpectNoReport(root_);
        EXPECT_FALSE(FileExists(Path("Profil\\Daten\\Word\\Keyboard.doc")));
    }
    {
        systemtest::NativeFileCalls calls("Word");
        calls.RefuseOpeningItself();
        const std::string throughLink = "\\\\?\\" + Path("Zwischen\\Word\\Link\\Keyboard.doc");
        systemtest::ReportAnswerer report;
        files_.FileDelete(throughLink);
        report.Check(root_, 70, "Zugriff verweigert",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(throughLink) + ")");
        EXPECT_EQ(ReadFile(Path("Outside\\Keyboard.doc")), "the user's letter");
    }
    systemtest::NativeFileCalls calls("Tvx");
    calls.RefuseOpeningItself();
    systemtest::ReportAnswerer report;
    files_.FileDelete(Path("Andere\\Tvx\\Keyboard.doc"));
    report.Check(root_, 70, "Zugriff verweigert",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Andere\\Tvx\\Keyboard.doc")) + ")");
    EXPECT_EQ(ReadFile(Path("Andere\\Keyboard.doc")), "the user's keyboard notes");
}

// Links in the folder to a file beside them, one under a name as short as an 8.3 name and one under
// a longer one: the place the system tells lies in the same folder, under another name that is no
// other spelling of the link's. Each delete is refused, and the file they lead to stays.
TEST_F(FileSystemTest, LinksToAFileBesideThemAreNoOtherSpellingOfIt) {
    Folder("Fonts");
    Write("Fonts\\Font.ttf", "the user's font");
    testsupport::UnixLink shortLink(Path("Fonts\\Old.ttf"), Path("Fonts\\Font.ttf"));
    testsupport::UnixLink longLink(Path("Fonts\\Alte Schriftart.ttf"), Path("Fonts\\Font.ttf"));
    for (const char* name : {"Fonts\\Old.ttf", "Fonts\\Alte Schriftart.ttf"}) {
        systemtest::ReportAnswerer report;
        files_.FileDelete(Path(name));
        report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                     "Löschen einer Datei fehlgeschlagen (" + Quoted(Path(name)) + ")");
        EXPECT_EQ(ReadFile(Path("Fonts\\Font.ttf")), "the user's font") << name;
    }
}

// Where the system tells no place of an open entry, neither its final path nor its path on the
// volume, a plain file cannot be told from a link it followed: the file is left as it is, with 75.
TEST_F(FileSystemTest, WhereNoPlaceCanBeToldNothingIsDeleted) {
    Write("Font.ttf", "font");
    systemtest::NativeFileCalls calls("Font.ttf");
    calls.HidePlaces();
    systemtest::ReportAnswerer report;
    files_.FileDelete(Path("Font.ttf"));
    report.Check(root_, 75, "Fehler beim Zugriff auf Pfad/Datei",
                 "Löschen einer Datei fehlgeschlagen (" + Quoted(Path("Font.ttf")) + ")");
    EXPECT_EQ(calls.Opens(), 1);
    EXPECT_EQ(ReadFile(Path("Font.ttf")), "font");
}

// A volume that gives no file index (some shares): the index tells nothing there, and a folder is
// told from the trusted one by its identity. The user's link on the way to a folder outside it is
// followed, as the system follows it.
TEST_F(FileSystemTest, WhereNoIndexIsGivenTheIdentityTellsTheTrustedFolder) {
    Folder("Word");
    Folder("Eigene");
    Write("Eigene\\Normal.dot", "template");
    testsupport::UnixLink link(Path("Vorlagen"), Path("Eigene"));
    systemtest::NativeFileCalls calls("Normal.dot");
    calls.OneIndexForAll(0);
    files_.FolderTrust(Path("Word"));
    files_.FileDelete(Path("Vorlagen\\Normal.dot"));
    systemtest::ExpectNoReport(root_);
    EXPECT_FALSE(FileExists(Path("Eigene\\Normal.dot")));
}

// More entries than one read of the folder's listing takes.
TEST_F(FileSystemTest, FoldersOfThousandsOfLongNames) {
    Folder("Tvx");
    Folder("Tvx\\Uninstall");
    const std::string longName(180, 'n');
    for (int i = 0; i < 1500; ++i) {
        Write("Tvx\\" + longName + std::to_string(i) + ".doc", "x");
        Write("Tvx\\Uninstall\\" + longName + std::to_string(i) + ".dll", "y");
    }
    files_.FileDelete(Path("Tvx\\*.*"));
    EXPECT_FALSE(FileExists(Path("Tvx\\" + longName + "0.doc")));
    EXPECT_FALSE(FileExists(Path("Tvx\\" + longName + "1499.doc")));
    EXPECT_TRUE(FileExists(Path("Tvx\\Uninstall\\" + longName + "1499.dll")));
    files_.FolderDelete(Path("Tvx"));
    EXPECT_FALSE(FileExists(Path("Tvx")));
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

// In a folder outside the trusted one, reached by its path: listed all the same.
TEST_F(FileSystemTest, FileDeleteOfAPatternRemovesEveryFileOfTheFolder) {
    Folder("Word");
    files_.FolderTrust(Path("Word"));
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

class FileSystemDeathTest : public FileSystemTest {};

// The run ends by force (a kill, a power cut) after the user's file went aside and before the saved
// copy takes its name: nothing was marked yet, so the user's file stays whole under a name that no
// later run's sweep takes; the copy, unmarked for its rename, is left for that sweep.
TEST_F(FileSystemDeathTest, AsideReplaceEndedBetweenItsStepsKeepsTheOldFile) {
    // The death test's own process runs this test anew: it works in this process's folder, which
    // it finds in the environment, and lays out nothing of its own.
    constexpr wchar_t kFolderVariable[] = L"TVX_ASIDE_REPLACE_FOLDER";
    wchar_t given[MAX_PATH] = L"";
    const bool child = GetEnvironmentVariableW(kFolderVariable, given, MAX_PATH) != 0;
    if (!child) {
        Write("Normal.sav", "saved template");
        Write("Normal.dot", "the user's template");
        SetEnvironmentVariableW(kFolderVariable, runtime::Widen(Path("")).c_str());
    }
    const std::string folder = child ? runtime::Narrow(given) : Path("");
    EXPECT_EXIT(
        {
            // Its own folder stays empty, and no destructor runs after the kill to remove it.
            RemoveDirectoryW(runtime::Widen(Path("")).c_str());
            // As the indexer holds it: the classic rename cannot replace it, and it goes aside.
            runtime::FileHandle reader(CreateFileW(runtime::Widen(folder + "Normal.dot").c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                   OPEN_EXISTING, 0, nullptr));
            systemtest::NativeFileCalls calls("Normal.dot");
            calls.At(systemtest::NativeFileCalls::Call::RenameIn, 1, [] { TerminateProcess(GetCurrentProcess(), 3); });
            files_.FileRename(folder + "Normal.sav", folder + "Normal.dot");
        },
        testing::ExitedWithCode(3), "");
    SetEnvironmentVariableW(kFolderVariable, nullptr);
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const runtime::FindHandle search(FindFirstFileW(runtime::Widen(Path("*")).c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &found)) {
        const std::string name = runtime::Narrow(found.cFileName);
        if (name != "." && name != ".." && name != "Normal.sav") {
            names.push_back(name);
        }
    }
    const auto swept = [](const std::string& name) {
        return std::regex_match(name, std::regex("~tvx[0-9a-f]{16}\\.tmp"));
    };
    names.erase(std::remove_if(names.begin(), names.end(), swept), names.end());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(ReadFile(Path(names[0])), "the user's template");
    EXPECT_EQ(ReadFile(Path("Normal.sav")), "saved template");
}
