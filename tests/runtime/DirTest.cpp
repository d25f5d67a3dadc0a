#include "runtime/Dir.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace runtime;

namespace {

class DirTest : public testing::Test {
protected:
    std::string File(const std::string& name, DWORD attributes = 0) {
        const std::string path = folder_.Path() + name;
        testsupport::WriteFile(path, "x");
        if (attributes != 0) {
            EXPECT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes));
        }
        return path;
    }

    std::string Folder(const std::string& name, DWORD attributes = 0) {
        const std::string path = folder_.Path() + name;
        EXPECT_TRUE(CreateDirectoryW(Widen(path).c_str(), nullptr));
        if (attributes != 0) {
            EXPECT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes | FILE_ATTRIBUTE_DIRECTORY));
        }
        return path;
    }

    static int32_t NumberRaisedBy(const std::string& pattern, int attributes) {
        try {
            Dir(pattern, attributes);
        } catch (const RuntimeError& error) {
            return error.Number();
        }
        return 0;
    }

    testsupport::TempFolder folder_{"tvxdir"};
};

} // namespace

TEST_F(DirTest, NormalFilesAreFoundWhateverIsAskedFor) {
    const std::string path = File("Tvx.dot");
    for (int attributes : {0, 2, 4, 6, 16, 22}) {
        EXPECT_EQ(Dir(path, attributes), "Tvx.dot") << attributes;
    }
}

TEST_F(DirTest, ReadOnlyAndArchiveFilesCountAsNormal) {
    EXPECT_EQ(Dir(File("ro.doc", FILE_ATTRIBUTE_READONLY), kDirNormal), "ro.doc");
    EXPECT_EQ(Dir(File("ar.doc", FILE_ATTRIBUTE_ARCHIVE), kDirNormal), "ar.doc");
}

TEST_F(DirTest, HiddenAndSystemFilesOnlyWhenTheirAttributesAreAskedFor) {
    const std::string hidden = File("hidden.ttf", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW(Widen(hidden).c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Dir(hidden, kDirNormal), "");
    EXPECT_EQ(Dir(hidden, kDirSystem), "");
    EXPECT_EQ(Dir(hidden, kDirDirectory), "");
    EXPECT_EQ(Dir(hidden, kDirHidden), "hidden.ttf");

    const std::string system = File("system.ttf", FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(GetFileAttributesW(Widen(system).c_str()) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Dir(system, kDirNormal), "");
    EXPECT_EQ(Dir(system, kDirHidden), "");
    EXPECT_EQ(Dir(system, kDirSystem), "system.ttf");
}

TEST_F(DirTest, HiddenSystemFileNeedsBothAttributes) {
    const std::string path = File("both.ttf", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Dir(path, kDirHidden), "");
    EXPECT_EQ(Dir(path, kDirSystem), "");
    EXPECT_EQ(Dir(path, kDirHidden | kDirSystem), "both.ttf");
}

TEST_F(DirTest, FoldersOnlyWithTheFolderAttribute) {
    const std::string folder = Folder("Docs");
    EXPECT_EQ(Dir(folder, kDirNormal), "");
    EXPECT_EQ(Dir(folder, kDirHidden | kDirSystem), "");
    EXPECT_EQ(Dir(folder, kDirDirectory), "Docs");

    const std::string hiddenFolder = Folder("Hidden", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(Dir(hiddenFolder, kDirDirectory), "");
    EXPECT_EQ(Dir(hiddenFolder, kDirDirectory | kDirHidden), "Hidden");
}

TEST_F(DirTest, WildcardsInTheLastPartFindTheFirstEligibleEntry) {
    File("a.tvx", FILE_ATTRIBUTE_HIDDEN);
    File("b.tvx");
    EXPECT_EQ(Dir(folder_.Path() + "*.tvx", kDirNormal), "b.tvx");
    EXPECT_EQ(Dir(folder_.Path() + "?.tvx", kDirNormal), "b.tvx");
    EXPECT_EQ(Dir(folder_.Path() + "*.none", kDirHidden), "");
    const std::string found = Dir(folder_.Path() + "*.tvx", kDirHidden);
    EXPECT_TRUE(found == "a.tvx" || found == "b.tvx") << found;
}

TEST_F(DirTest, DotEntriesOfAFolderAreSkipped) {
    const std::string empty = Folder("Empty");
    EXPECT_EQ(Dir(empty + "\\*", kDirDirectory | kDirHidden | kDirSystem), "");
    Folder("Empty\\Sub");
    EXPECT_EQ(Dir(empty + "\\*", kDirDirectory), "Sub");
}

TEST_F(DirTest, MissingFilesFoldersAndAnEmptyPatternGiveEmpty) {
    EXPECT_EQ(Dir(folder_.Path() + "missing.dot", kDirHidden | kDirSystem), "");
    EXPECT_EQ(Dir(folder_.Path() + "no folder\\missing.dot", kDirNormal), "");
    EXPECT_EQ(Dir(folder_.Path() + "no folder", kDirDirectory), "");
    EXPECT_EQ(Dir("", kDirDirectory), "");
}

TEST_F(DirTest, MalformedPathsRaiseBadFileName) {
    File("x.txt");
    EXPECT_EQ(NumberRaisedBy(folder_.Path() + "*\\x.txt", kDirNormal), kErrBadFileName);
    EXPECT_EQ(NumberRaisedBy(folder_.Path() + "a|b\\x.txt", kDirNormal), kErrBadFileName);
}

TEST_F(DirTest, NamesWithUmlautsComeBackAsTheyAre) {
    EXPECT_EQ(Dir(File("Schriftart für Tarvex.ttf"), kDirNormal), "Schriftart für Tarvex.ttf");
}
