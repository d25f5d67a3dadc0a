#include "runtime/FileIO.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using namespace runtime;

namespace {

class FileIOTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder_.Path() + name;
        testsupport::WriteFile(path, bytes);
        return path;
    }

    std::vector<std::string> Lines(const std::string& bytes) {
        TextFileReader reader(Write("lines.tvk", bytes));
        std::vector<std::string> lines;
        while (!reader.EndOfFile()) {
            lines.push_back(reader.LineInput());
        }
        return lines;
    }

    template <class Statement> static int32_t NumberRaisedBy(Statement statement) {
        try {
            statement();
        } catch (const RuntimeError& error) {
            return error.Number();
        }
        return 0;
    }

    testsupport::TempFolder folder_{"tvxfileio"};
};

using LineList = std::vector<std::string>;

} // namespace

TEST_F(FileIOTest, FileLenCountsBytes) {
    EXPECT_EQ(FileLen(Write("five.ttf", "12345")), 5);
    EXPECT_EQ(FileLen(Write("empty.ttf", "")), 0);
    EXPECT_EQ(FileLen(Write("groß.ttf", std::string(70000, 'x'))), 70000);
}

TEST_F(FileIOTest, FileLenOfAMissingFileOrAFolderRaisesFileNotFound) {
    EXPECT_EQ(NumberRaisedBy([&] { FileLen(folder_.Path() + "missing.ttf"); }), kErrFileNotFound);
    EXPECT_EQ(NumberRaisedBy([&] { FileLen(folder_.Path() + "no folder\\missing.ttf"); }), kErrFileNotFound);
    EXPECT_EQ(NumberRaisedBy([&] { FileLen(folder_.Path()); }), kErrFileNotFound);
}

TEST_F(FileIOTest, LinesEndAtCarriageReturnWithOrWithoutLineFeed) {
    EXPECT_EQ(Lines("a\r\nb\r\n"), (LineList{"a", "b"}));
    EXPECT_EQ(Lines("a\rb"), (LineList{"a", "b"}));
    EXPECT_EQ(Lines("a\r\r\nb"), (LineList{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\n\r\n"), (LineList{"a", ""}));
    EXPECT_EQ(Lines("last line without end"), (LineList{"last line without end"}));
}

TEST_F(FileIOTest, LineFeedAloneBelongsToTheLine) {
    EXPECT_EQ(Lines("a\nb\r\nc"), (LineList{"a\nb", "c"}));
    EXPECT_EQ(Lines("\n"), (LineList{"\n"}));
}

TEST_F(FileIOTest, EmptyFileHasNoLinesAndReadingPastTheEndRaises) {
    TextFileReader reader(Write("empty.tvk", ""));
    EXPECT_TRUE(reader.EndOfFile());
    EXPECT_EQ(NumberRaisedBy([&] { reader.LineInput(); }), kErrInputPastEnd);
    EXPECT_EQ(ErrorText(kErrInputPastEnd), "Einlesen hinter Dateiende");
}

TEST_F(FileIOTest, AnsiBytesBecomeUtf8) {
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(Lines("C:\\Programme\\B\xFC ro\\Normal.d\xF6t\r\n"), (LineList{"C:\\Programme\\Bü ro\\Normal.döt"}));
}

TEST_F(FileIOTest, ReaderRaisesWhenTheFileCannotBeOpened) {
    EXPECT_EQ(NumberRaisedBy([&] { TextFileReader reader(folder_.Path() + "missing.tvk"); }), kErrFileNotFound);
    EXPECT_EQ(NumberRaisedBy([&] { TextFileReader reader(folder_.Path() + "no folder\\x.tvk"); }), kErrPathNotFound);
}

TEST_F(FileIOTest, ReaderHoldsTheFileOpenUntilItGoes) {
    const std::string path = Write("held.tvk", "a\r\n");
    {
        TextFileReader reader(path);
        EXPECT_FALSE(DeleteFileW(Widen(path).c_str()));
        EXPECT_EQ(reader.LineInput(), "a");
    }
    EXPECT_TRUE(DeleteFileW(Widen(path).c_str()));
}

TEST_F(FileIOTest, AppendOpenCloseCreatesAMissingFileEmpty) {
    const std::string path = folder_.Path() + "uninstall.tvk";
    AppendOpenClose(path);
    ASSERT_TRUE(testsupport::FileExists(path));
    EXPECT_EQ(testsupport::ReadFile(path), "");
}

TEST_F(FileIOTest, AppendOpenCloseKeepsTheLinesOfAnExistingFile) {
    const std::string path = Write("uninstall.tvk", "C:\\Normal.sav\r\n");
    AppendOpenClose(path);
    EXPECT_EQ(testsupport::ReadFile(path), "C:\\Normal.sav\r\n");
}

// A record file that is a link leading nowhere yet: opening it so would make the file where the
// link leads. It is refused as it stands, and nothing is made. One that leads to a file is refused
// too, and the file stays as it was.
TEST_F(FileIOTest, AppendOpenCloseMakesNoFileThroughALink) {
    const std::string outside = folder_.Path() + "Outside.tvk";
    {
        const testsupport::UnixLink record(folder_.Path() + "uninstall.tvk", outside);
        EXPECT_EQ(NumberRaisedBy([&] { AppendOpenClose(folder_.Path() + "uninstall.tvk"); }), kErrFileExists);
        EXPECT_FALSE(testsupport::FileExists(outside));
    }
    Write("Outside.tvk", "the user's lines\r\n");
    const testsupport::UnixLink record(folder_.Path() + "uninstall.tvk", outside);
    EXPECT_EQ(NumberRaisedBy([&] { AppendOpenClose(folder_.Path() + "uninstall.tvk"); }), kErrPathFileAccess);
    EXPECT_EQ(testsupport::ReadFile(outside), "the user's lines\r\n");
}

TEST_F(FileIOTest, AppendOpenCloseRaisesWhenTheFileCannotBeOpened) {
    EXPECT_EQ(NumberRaisedBy([&] { AppendOpenClose(folder_.Path() + "no folder\\uninstall.tvk"); }), kErrPathNotFound);
    const std::string path = Write("locked.tvk", "x");
    FileHandle lock(
        CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    EXPECT_EQ(NumberRaisedBy([&] { AppendOpenClose(path); }), kErrPermissionDenied);
}
