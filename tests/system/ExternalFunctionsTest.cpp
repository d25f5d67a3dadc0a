#include "SystemTestSupport.h"
#include "framework/Tarvex.h"
#include "system/Tvx_ExternalFunctions.h"
#include "runtime/Clock.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace {

class ExternalFunctionsTest : public testing::Test {
protected:
    Tarvex root_;
    Tvx_ExternalFunctions& functions_ = *root_.ExternalFunctions();
    testsupport::TempFolder folder_{"tvxfunctions"};
};

} // namespace

TEST_F(ExternalFunctionsTest, TickCountIsTheRuntimesClockAsASignedNumber) {
    {
        systemtest::SteppingClock clock(0x7FFFFFFFu, 1);
        EXPECT_EQ(functions_.GetTickCount(), 2147483647);
        EXPECT_EQ(functions_.GetTickCount(), -2147483647 - 1);
        EXPECT_EQ(clock.Readings(), 2);
    }
    {
        systemtest::SteppingClock clock(0xFFFFFFFFu, 1);
        const int32_t start = functions_.GetTickCount();
        EXPECT_EQ(start, -1);
        EXPECT_EQ(functions_.GetTickCount(), 0);
        EXPECT_EQ(runtime::ElapsedMs(start, functions_.GetTickCount()), 2u);
    }
    const int32_t system = static_cast<int32_t>(::GetTickCount());
    EXPECT_LT(runtime::ElapsedMs(system, functions_.GetTickCount()), 1000u);
}

TEST_F(ExternalFunctionsTest, CopyFileOverwritesOnlyWhenAskedTo) {
    testsupport::WriteFile(folder_.Path() + "Tvx.dot", "new");
    testsupport::WriteFile(folder_.Path() + "Copy.dot", "old");
    EXPECT_EQ(functions_.CopyFile(folder_.Path() + "Tvx.dot", folder_.Path() + "Copy.dot", 1), 0);
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "Copy.dot"), "old");
    EXPECT_NE(functions_.CopyFile(folder_.Path() + "Tvx.dot", folder_.Path() + "Copy.dot", 0), 0);
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "Copy.dot"), "new");
    EXPECT_EQ(functions_.CopyFile(folder_.Path() + "missing.dot", folder_.Path() + "Copy2.dot", 0), 0);
    systemtest::ExpectNoReport(root_);
}

TEST_F(ExternalFunctionsTest, PathsReachTheSystemAsTheyAre) {
    testsupport::WriteFile(folder_.Path() + "Schriftart ä.ttf", "font");
    EXPECT_NE(functions_.CopyFile(folder_.Path() + "Schriftart ä.ttf", folder_.Path() + "Kopie ö.ttf", 0), 0);
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "Kopie ö.ttf"), "font");
    EXPECT_NE(functions_.DeleteFile(folder_.Path() + "Kopie ö.ttf"), 0);
    EXPECT_FALSE(testsupport::FileExists(folder_.Path() + "Kopie ö.ttf"));

    // A character the ANSI code page lacks: the files of its look-alike name are someone else's.
    const std::string omega = folder_.Path() + "Schrift \u03A9.ttf";
    const std::string copy = folder_.Path() + "Kopie \u03A9.ttf";
    testsupport::WriteFile(omega, "font");
    testsupport::WriteFile(folder_.Path() + "Schrift O.ttf", "someone else's");
    testsupport::WriteFile(folder_.Path() + "Kopie O.ttf", "someone else's copy");
    EXPECT_NE(functions_.CopyFile(omega, copy, 0), 0);
    EXPECT_EQ(testsupport::ReadFile(copy), "font");
    EXPECT_NE(functions_.DeleteFile(copy), 0);
    EXPECT_FALSE(testsupport::FileExists(copy));
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "Schrift O.ttf"), "someone else's");
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "Kopie O.ttf"), "someone else's copy");

    // A zero character ends no path early: the file named by the part before it stays, and the
    // wrappers answer as for any other failure.
    const std::string cut = folder_.Path() + "Schriftart ä.ttf" + std::string(1, '\0') + "123";
    EXPECT_EQ(functions_.DeleteFile(cut), 0);
    EXPECT_EQ(functions_.CopyFile(cut, folder_.Path() + "Kopie 2.ttf", 0), 0);
    EXPECT_EQ(functions_.CopyFile(folder_.Path() + "Schriftart ä.ttf",
                                  folder_.Path() + "Kopie 2.ttf" + std::string(1, '\0') + "123", 0),
              0);
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "Schriftart ä.ttf"), "font");
    EXPECT_FALSE(testsupport::FileExists(folder_.Path() + "Kopie 2.ttf"));
    systemtest::ExpectNoReport(root_);
}

// Not 0 only where the file was deleted: one that a reader holds goes when the reader lets go; one
// whose delete the file system refuses as the handle closes stays, though Wine's DeleteFileW
// answers TRUE for it.
TEST_F(ExternalFunctionsTest, DeleteFileAnswersNotZeroOnlyWhereTheFileIsGoneOrGoes) {
    EXPECT_EQ(functions_.DeleteFile(folder_.Path() + "missing.ttf"), 0);
    testsupport::WriteFile(folder_.Path() + "there.ttf", "x");
    EXPECT_NE(functions_.DeleteFile(folder_.Path() + "there.ttf"), 0);
    EXPECT_FALSE(testsupport::FileExists(folder_.Path() + "there.ttf"));

    const std::string read = folder_.Path() + "read.ttf";
    testsupport::WriteFile(read, "read");
    runtime::FileHandle reader(CreateFileW(runtime::Widen(read).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_NE(functions_.DeleteFile(read), 0);
    reader.reset();
    EXPECT_FALSE(testsupport::FileExists(read));

    TVX_SKIP_WITHOUT_IMMUTABLE_FILES();
    const std::string fixed = folder_.Path() + "fixed.ttf";
    testsupport::WriteFile(fixed, "cannot go");
    const testsupport::Immutable immutable(fixed);
    EXPECT_EQ(functions_.DeleteFile(fixed), 0);
    EXPECT_EQ(testsupport::ReadFile(fixed), "cannot go");
    systemtest::ExpectNoReport(root_);
}

TEST_F(ExternalFunctionsTest, ClipboardWrappersHandTheSystemsResultsOn) {
    systemtest::TestForm owner(systemtest::UniqueName("tvxclip"));
    const int32_t ownerHandle = static_cast<int32_t>(reinterpret_cast<intptr_t>(owner.hwnd()));
    ASSERT_NE(functions_.OpenClipboard(ownerHandle), 0);
    EXPECT_NE(functions_.EmptyClipboard(), 0);
    const char text[] = "Tarvex";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof text);
    ASSERT_NE(memory, nullptr);
    std::memcpy(GlobalLock(memory), text, sizeof text);
    GlobalUnlock(memory);
    EXPECT_EQ(functions_.SetClipboardData(CF_TEXT, reinterpret_cast<intptr_t>(memory)),
              reinterpret_cast<intptr_t>(memory));
    const intptr_t data = functions_.GetClipboardData(CF_TEXT);
    ASSERT_NE(data, 0);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(reinterpret_cast<HGLOBAL>(data))), "Tarvex");
    GlobalUnlock(reinterpret_cast<HGLOBAL>(data));
    EXPECT_EQ(functions_.GetClipboardData(CF_BITMAP), 0);
    EXPECT_NE(functions_.CloseClipboard(), 0);
    EXPECT_EQ(functions_.CloseClipboard(), 0);
    systemtest::ExpectNoReport(root_);
}
