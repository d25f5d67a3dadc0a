#include "runtime/Automation.h"
#include "runtime/RuntimeError.h"
#include "runtime/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace runtime;

namespace {

// The number and text a call raised; number 0 when it did not raise.
struct Raised {
    int32_t number = 0;
    std::string text;
};

template <class Statement> Raised RaisedBy(Statement statement) {
    try {
        statement();
    } catch (const RuntimeError& error) {
        return {error.Number(), error.Description()};
    }
    return {};
}

class AutomationTest : public testing::Test {
protected:
    void SetUp() override {
        fso_ = AutomationObject::Create("Scripting.FileSystemObject");
        ASSERT_TRUE(fso_);
    }

    AutomationObject fso_;
    testsupport::TempFolder folder_{"tvxauto"};
};

} // namespace

TEST_F(AutomationTest, ArgumentsArriveInTheirOrder) {
    testsupport::WriteFile(folder_.Path() + "source.dot", "new");
    fso_.Call("CopyFile", {folder_.Path() + "source.dot", folder_.Path() + "target.dot", true});
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "target.dot"), "new");
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "source.dot"), "new");
}

TEST_F(AutomationTest, BooleansArriveAsTrueAndFalse) {
    testsupport::WriteFile(folder_.Path() + "source.dot", "new");
    testsupport::WriteFile(folder_.Path() + "target.dot", "old");
    const Raised refused = RaisedBy([&] {
        fso_.Call("CopyFile", {folder_.Path() + "source.dot", folder_.Path() + "target.dot", false});
    });
    EXPECT_EQ(refused.number, kErrFileExists);
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "target.dot"), "old");
    fso_.Call("CopyFile", {folder_.Path() + "source.dot", folder_.Path() + "target.dot", true});
    EXPECT_EQ(testsupport::ReadFile(folder_.Path() + "target.dot"), "new");
}

TEST_F(AutomationTest, ComponentErrorsBecomeRunTimeErrorsWithGermanTexts) {
    const Raised missing = RaisedBy([&] {
        fso_.Call("CopyFile", {folder_.Path() + "missing.dot", folder_.Path() + "x.dot", true});
    });
    EXPECT_EQ(missing.number, kErrFileNotFound);
    EXPECT_EQ(missing.text, "Datei nicht gefunden");
    const Raised exists =
        RaisedBy([&] { fso_.Call("CreateFolder", {folder_.Path().substr(0, folder_.Path().size() - 1)}); });
    EXPECT_EQ(exists.number, kErrFileExists);
    EXPECT_EQ(exists.text, "Datei existiert bereits");
    // Windows' component calls a missing folder a missing path, Wine's a missing file.
    const Raised noFolder = RaisedBy([&] { fso_.Call("DeleteFolder", {folder_.Path() + "no folder", true}); });
    EXPECT_TRUE(noFolder.number == kErrPathNotFound || noFolder.number == kErrFileNotFound) << noFolder.number;
    EXPECT_EQ(noFolder.text, ErrorText(noFolder.number));
}

TEST_F(AutomationTest, FailureCodesOtherThanVisualBasicNumbersStayNegative) {
    EXPECT_EQ(AutomationErrorNumber(static_cast<HRESULT>(0x800A0035)), 53);
    EXPECT_EQ(AutomationErrorNumber(static_cast<HRESULT>(0x800A003A)), 58);
    EXPECT_EQ(AutomationErrorNumber(E_FAIL), -2147467259);
    EXPECT_EQ(AutomationErrorNumber(static_cast<HRESULT>(0x80070003)), -2147024893);
    // A file held open without sharing: Windows' component answers 70, Wine's E_FAIL.
    const std::string path = folder_.Path() + "held.ttf";
    testsupport::WriteFile(path, "x");
    FileHandle lock(CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    const Raised held = RaisedBy([&] { fso_.Call("DeleteFile", {path, true}); });
    EXPECT_TRUE(held.number == kErrPermissionDenied || held.number == static_cast<int32_t>(E_FAIL)) << held.number;
    EXPECT_EQ(held.text, ErrorText(held.number));
    EXPECT_FALSE(held.text.empty());
}

TEST_F(AutomationTest, UnknownMemberObjectAndEmptyReference) {
    EXPECT_EQ(RaisedBy([&] { fso_.Call("NoSuchMember", {}); }).number, kErrMemberNotFound);
    EXPECT_EQ(RaisedBy([] { AutomationObject::Create("Tvx.NoSuchObject"); }).number, kErrCannotCreateObject);
    AutomationObject empty;
    EXPECT_FALSE(empty);
    EXPECT_EQ(RaisedBy([&] { empty.Call("CopyFile", {"a", "b", true}); }).number, kErrObjectNotSet);
    fso_.Release();
    EXPECT_FALSE(fso_);
}

TEST_F(AutomationTest, ArgumentCountMismatchRaisesTheNegativeCode) {
    const Raised wrong = RaisedBy([&] { fso_.Call("CreateFolder", {}); });
    EXPECT_LT(wrong.number, 0);
    EXPECT_FALSE(wrong.text.empty());
}
