// The restore of Normal.dot from the copies the record file lists: the question, the swaps, the
// record file's line ends and the backup name's time of day.

#include "NormalDotSupport.h"

using namespace normaldot;

namespace {

const char kBackup[] = "Normal (Tarvex Backup 27.02.2004 09.05).dot";

} // namespace

TEST_F(NormalDotRestoreTest, QuestionNamesTheBackupAndNeinLeavesEverything) {
    const std::string folder = Templates("Vorlagen Ä", "saved", "current");
    Record(folder + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Nein");
    const std::vector<ShownDialog> seen = Restore(dialogs);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Title, "Tarvex Frage");
    EXPECT_EQ(seen[0].Icon, "question");
    EXPECT_EQ(CentredText(seen[0]), NormalDotQuestion(kBackup));
    EXPECT_EQ(seen[0].Buttons, (std::vector<std::string>{"Ja", "Nein"}));
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
    EXPECT_EQ(ReadFile(folder + "Normal.dot"), "current");
    EXPECT_EQ(FolderContents(installDir_), (std::vector<std::string>{"Keyboard.doc", "uninstall.tvk"}));
}

TEST_F(NormalDotRestoreTest, OneLineSwapsTheSavedCopyBackAndKeepsNormalDotUnderTheBackupName) {
    const std::string folder = Templates("Vorlagen Ä", "Normal.dot before the install", "the user's Normal.dot");
    Record(folder + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(folder, "Normal.dot before the install", "the user's Normal.dot", kBackup);
    // The installation folder is emptied and removed, the record file with it.
    EXPECT_FALSE(FolderExists(installDir_));
    EXPECT_TRUE(FolderExists(programDir_ + "STARTUP\\"));
}

TEST_F(NormalDotRestoreTest, EnterOnTheQuestionCountsAsJa) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav");
    DialogAnswerer dialogs;
    dialogs.Enter();
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(folder, "saved", "current", kBackup);
    EXPECT_FALSE(FolderExists(installDir_));
}

TEST_F(NormalDotRestoreTest, LineWhoseSavedCopyOrNormalDotIsMissingIsLeftAsItIs) {
    const std::string withoutCopy = Templates("Ohne Kopie", "", "current");
    const std::string withoutTemplate = Templates("Ohne Vorlage", "saved", "");
    Record(withoutCopy + "Normal.sav\r\n" + withoutTemplate + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    // No message for either line: only the question.
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    EXPECT_EQ(FolderContents(withoutCopy), std::vector<std::string>{"Normal.dot"});
    EXPECT_EQ(ReadFile(withoutCopy + "Normal.dot"), "current");
    EXPECT_EQ(FolderContents(withoutTemplate), std::vector<std::string>{"Normal.sav"});
    EXPECT_EQ(ReadFile(withoutTemplate + "Normal.sav"), "saved");
    EXPECT_FALSE(FolderExists(installDir_));
}

// Every line names a saved copy of a template named Normal.dot, in any letter case: a line that
// names another file of the user's (one whose name only ends in "Normal", or a device) moves
// nothing, neither there nor a folder up; nor does a line that names the template itself, in
// whatever letter case, whose saved copy would be the template.
TEST_F(NormalDotRestoreTest, LineThatNamesNoSavedNormalDotMovesNothing) {
    const std::string letters = Templates("Briefe", "", "");
    WriteFile(letters + "Brief.sav", "a letter of the user's");
    WriteFile(letters + "Brief.dot", "the user's letter template");
    WriteFile(letters + "MeinNormal.sav", "another letter of the user's");
    WriteFile(letters + "MeinNormal.dot", "the user's own template");
    const std::string device = Templates("Dev", "", "");
    const std::string itself = Templates("Eigene", "", "the user's Normal.dot");
    const std::string lower = Templates("Vorlagen", "", "current");
    WriteFile(lower + "normal.sav", "saved");
    const std::vector<std::string> root = FolderContents(sandbox_.Root());
    Record(letters + "Brief.sav\r\n" + letters + "MeinNormal.sav\r\n" + device + "NUL.sav\r\n" + itself +
           "NORMAL.DOT\r\n" + lower + "normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    EXPECT_EQ(FolderContents(letters),
              (std::vector<std::string>{"Brief.dot", "Brief.sav", "MeinNormal.dot", "MeinNormal.sav"}));
    EXPECT_EQ(ReadFile(letters + "MeinNormal.dot"), "the user's own template");
    EXPECT_EQ(FolderContents(itself), std::vector<std::string>{"Normal.dot"});
    EXPECT_EQ(ReadFile(itself + "Normal.dot"), "the user's Normal.dot");
    EXPECT_EQ(ReadFile(letters + "Brief.dot"), "the user's letter template");
    EXPECT_EQ(ReadFile(letters + "Brief.sav"), "a letter of the user's");
    EXPECT_TRUE(FolderContents(device).empty());
    EXPECT_EQ(FolderContents(sandbox_.Root()), root);
    EXPECT_EQ(ReadFile(lower + "Normal.dot"), "saved");
    EXPECT_EQ(ReadFile(lower + kBackup), "current");
    EXPECT_FALSE(FileExists(lower + "normal.sav"));
}

TEST_F(NormalDotRestoreTest, TheSameLineTwiceSwapsOnce) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav\r\n" + folder + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    // A second swap would have put the restored copy over the backup.
    ExpectSwapped(folder, "saved", "current", kBackup);
    EXPECT_EQ(ReadFile(folder + kBackup), "current");
}

TEST_F(NormalDotRestoreTest, TwoFoldersEachGetABackupOfTheSameName) {
    const std::string first = Templates("Vorlagen Anna", "saved by Anna", "Anna's Normal.dot");
    const std::string second = Templates("Vorlagen Bernd", "saved by Bernd", "Bernd's Normal.dot");
    Record(first + "Normal.sav\r\n" + second + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(first, "saved by Anna", "Anna's Normal.dot", kBackup);
    ExpectSwapped(second, "saved by Bernd", "Bernd's Normal.dot", kBackup);
}

TEST_F(NormalDotRestoreTest, SavedCopyWithAnotherEndingIsFoundByItsLastThreeCharacters) {
    const std::string folder = Templates("Vorlagen", "", "current");
    WriteFile(folder + "Normal.001", "saved");
    Record(folder + "Normal.001");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(folder, "saved", "current", kBackup);
}

TEST_F(NormalDotRestoreTest, EmptyRecordFileSwapsNothingAndRemovesTheInstallationFolder) {
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record("");
    CreateDirectoryW(runtime::Widen(installDir_ + "Uninstall").c_str(), nullptr);
    WriteFile(installDir_ + "Uninstall\\left.txt", "left behind");
    WriteFile(installDir_ + "QuickGuide.doc", "read-only document");
    SetFileAttributesW(runtime::Widen(installDir_ + "QuickGuide.doc").c_str(), FILE_ATTRIBUTE_READONLY);
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    EXPECT_FALSE(FolderExists(installDir_));
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"Normal.dot", "Normal.sav"}));
    EXPECT_EQ(ReadFile(folder + "Normal.dot"), "current");
}

// A line ends at a carriage return, at a carriage return and line feed, or at the end of the file.
TEST_F(NormalDotRestoreTest, LinesEndAtCarriageReturnAtCrLfAndAtTheEndOfTheFile) {
    const std::string first = Templates("Vorlagen 1", "saved 1", "current 1");
    const std::string second = Templates("Vorlagen 2", "saved 2", "current 2");
    const std::string third = Templates("Vorlagen 3", "saved 3", "current 3");
    Record(first + "Normal.sav\r" + second + "Normal.sav\r\n" + third + "Normal.sav");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(first, "saved 1", "current 1", kBackup);
    ExpectSwapped(second, "saved 2", "current 2", kBackup);
    ExpectSwapped(third, "saved 3", "current 3", kBackup);
}

// A line end after the last line makes no empty last line: an empty line would be reported as
// too short for its paths.
TEST_F(NormalDotRestoreTest, LineEndAfterTheLastLineMakesNoEmptyLine) {
    const std::string first = Templates("Vorlagen 1", "saved 1", "current 1");
    const std::string second = Templates("Vorlagen 2", "saved 2", "current 2");
    Record(first + "Normal.sav\r\n" + second + "Normal.sav\r");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(first, "saved 1", "current 1", kBackup);
    ExpectSwapped(second, "saved 2", "current 2", kBackup);
}

// Blanks are part of a line: a path followed by a blank names another file.
TEST_F(NormalDotRestoreTest, LinesAreTakenWithTheirBlanks) {
    const std::string folder = Templates(" Vorlagen mit Blanks", "saved", "current");
    Record(folder + "Normal.sav \r\n" + folder + "Normal.sav");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    EXPECT_EQ(Restore(dialogs).size(), 1u);
    ExpectSwapped(folder, "saved", "current", kBackup);
}

// The hour and the minute with two digits each, joined by a point.
struct TimeOfDay {
    WORD Hour;
    WORD Minute;
    const char* Shown;
};

void PrintTo(const TimeOfDay& time, std::ostream* out) {
    *out << time.Hour << ":" << time.Minute;
}

class NormalDotBackupTime : public NormalDotRestoreTest, public testing::WithParamInterface<TimeOfDay> {
protected:
    NormalDotBackupTime() : NormalDotRestoreTest("dd.MM.yyyy", GetParam().Hour, GetParam().Minute) {}
};

TEST_P(NormalDotBackupTime, BackupNameCarriesTheTimeOfDay) {
    const std::string backupName = std::string("Normal (Tarvex Backup 27.02.2004 ") + GetParam().Shown + ").dot";
    const std::string folder = Templates("Vorlagen", "saved", "current");
    Record(folder + "Normal.sav\r\n");
    DialogAnswerer dialogs;
    dialogs.Click("Ja");
    const std::vector<ShownDialog> seen = Restore(dialogs);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(CentredText(seen[0]), NormalDotQuestion(backupName));
    ExpectSwapped(folder, "saved", "current", backupName);
}

INSTANTIATE_TEST_SUITE_P(NormalDotRestore, NormalDotBackupTime,
                         testing::Values(TimeOfDay{9, 5, "09.05"}, TimeOfDay{14, 30, "14.30"}, TimeOfDay{0, 0, "00.00"},
                                         TimeOfDay{23, 59, "23.59"}),
                         [](const testing::TestParamInfo<TimeOfDay>& info) {
                             return std::string("At") + std::to_string(info.param.Hour) + "h" +
                                    std::to_string(info.param.Minute);
                         });
