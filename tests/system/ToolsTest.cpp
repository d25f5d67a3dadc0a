#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using runtime::Variant;

TEST(WordVersionName, FourNamedVersionsAndTheGenericForm) {
    Tarvex root;
    Tvx_Tools& tools = *root.Tools();
    EXPECT_EQ(tools.GetWordVersionName(8).ToString(), "97 (Version 8)");
    EXPECT_EQ(tools.GetWordVersionName(9).ToString(), "2000 (Version 9)");
    EXPECT_EQ(tools.GetWordVersionName(10).ToString(), "XP (Version 10)");
    EXPECT_EQ(tools.GetWordVersionName(11).ToString(), "2003 (Version 11)");
    EXPECT_EQ(tools.GetWordVersionName(12).ToString(), "Version 12");
    EXPECT_EQ(tools.GetWordVersionName(1).ToString(), "Version 1");
    EXPECT_EQ(tools.GetWordVersionName(40).ToString(), "Version 40");
    systemtest::ExpectNoReport(root);
}

TEST(WordVersionName, DecimalTextComparesByValue) {
    Tarvex root;
    Tvx_Tools& tools = *root.Tools();
    EXPECT_EQ(tools.GetWordVersionName("10").ToString(), "XP (Version 10)");
    EXPECT_EQ(tools.GetWordVersionName(" 9").ToString(), "2000 (Version 9)");
    EXPECT_EQ(tools.GetWordVersionName(Variant::Integer(11)).ToString(), "2003 (Version 11)");
    EXPECT_EQ(tools.GetWordVersionName(8.0).ToString(), "97 (Version 8)");
    // A text is appended as it is.
    EXPECT_EQ(tools.GetWordVersionName("012").ToString(), "Version 012");
    EXPECT_EQ(tools.GetWordVersionName("Neu").ToString(), "Version Neu");
    systemtest::ExpectNoReport(root);
}

namespace {

class ExistenceTest : public testing::Test {
protected:
    std::string File(const std::string& name, DWORD attributes = 0) {
        const std::string path = folder_.Path() + name;
        testsupport::WriteFile(path, "x");
        if (attributes != 0) {
            SetFileAttributesW(runtime::Widen(path).c_str(), attributes);
        }
        return path;
    }

    Tarvex root_;
    Tvx_Tools& tools_ = *root_.Tools();
    testsupport::TempFolder folder_{"tvxtools"};
};

} // namespace

TEST_F(ExistenceTest, FileTestCountsHiddenAndSystemFilesButNoFolders) {
    EXPECT_TRUE(tools_.CheckIfFileExists(File("Tvx.dot")).ToBool());
    EXPECT_TRUE(tools_.CheckIfFileExists(File("hidden.dot", FILE_ATTRIBUTE_HIDDEN)).ToBool());
    EXPECT_TRUE(tools_.CheckIfFileExists(File("system.dot", FILE_ATTRIBUTE_SYSTEM)).ToBool());
    EXPECT_TRUE(tools_.CheckIfFileExists(File("both.dot", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)).ToBool());
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(folder_.Path() + "Docs").c_str(), nullptr));
    EXPECT_FALSE(tools_.CheckIfFileExists(folder_.Path() + "Docs").ToBool());
    EXPECT_FALSE(tools_.CheckIfFileExists(folder_.Path() + "missing.dot").ToBool());
    EXPECT_EQ(tools_.CheckIfFileExists(folder_.Path() + "missing.dot").GetKind(), Variant::Kind::Boolean);
    systemtest::ExpectNoReport(root_);
}

TEST_F(ExistenceTest, FileTestTakesWildcardsInTheLastPart) {
    File("Normal.sav");
    EXPECT_TRUE(tools_.CheckIfFileExists(folder_.Path() + "Normal.*").ToBool());
    EXPECT_TRUE(tools_.CheckIfFileExists(folder_.Path() + "N?rmal.sav").ToBool());
    EXPECT_FALSE(tools_.CheckIfFileExists(folder_.Path() + "*.dot").ToBool());
    systemtest::ExpectNoReport(root_);
}

TEST_F(ExistenceTest, FolderTestAlsoAnswersTrueForAFile) {
    ASSERT_TRUE(CreateDirectoryW(runtime::Widen(folder_.Path() + "Tvx").c_str(), nullptr));
    EXPECT_TRUE(tools_.CheckIfDirectoryExists(folder_.Path() + "Tvx").ToBool());
    EXPECT_TRUE(tools_.CheckIfDirectoryExists(File("TvxSetup.exe")).ToBool());
    EXPECT_FALSE(tools_.CheckIfDirectoryExists(folder_.Path() + "Uninstall").ToBool());
    EXPECT_FALSE(tools_.CheckIfDirectoryExists(folder_.Path() + "no folder\\Uninstall").ToBool());
    systemtest::ExpectNoReport(root_);
}
