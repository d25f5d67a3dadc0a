#include "framework/Tarvex.h"
#include "framework/Tvx_UFMacroSecurity.h"
#include "framework/Tvx_UFMessageBox.h"
#include "framework/Tvx_Userforms.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::DialogAnswerer;

namespace {

// The dialog windows of this thread that hold a control with this id: the message box holds its
// headline, the notice its text.
int WindowsWith(int childId) {
    struct Count {
        int childId;
        int found;
    } count{childId, 0};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) CALLBACK -> BOOL {
            auto* count = reinterpret_cast<Count*>(parameter);
            if (GetDlgItem(window, count->childId) != nullptr) {
                ++count->found;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

int MessageBoxWindows() {
    return WindowsWith(Tvx_UFMessageBox::kIdTextBoxBig);
}
int NoticeWindows() {
    return WindowsWith(Tvx_UFMacroSecurity::kIdLabelWelcome);
}

class UserformsTest : public testing::Test {
protected:
    Tvx_Userforms& Owner() { return *root_.Userforms(); }
    Tvx_Object* OwnerObject() { return root_.Userforms(); }

    Tarvex root_;
};

} // namespace

TEST_F(UserformsTest, NoWindowExistsBeforeItsFirstUse) {
    EXPECT_FALSE(Owner().IsCreated(1));
    EXPECT_FALSE(Owner().IsCreated(2));
    EXPECT_EQ(MessageBoxWindows(), 0);
    EXPECT_EQ(NoticeWindows(), 0);
}

TEST_F(UserformsTest, TheFirstReadOfMessageBoxCreatesAndInitializesTheWindow) {
    Tvx_UFMessageBox* box = Owner().MessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(Owner().IsCreated(1));
    EXPECT_TRUE(box->IsInitialized());
    EXPECT_EQ(box->ClassRoot(), &root_);
    EXPECT_EQ(box->ClassParent(), OwnerObject());
    EXPECT_TRUE(IsWindow(box->hwnd()));
    // Created, not shown.
    EXPECT_FALSE(IsWindowVisible(box->hwnd()));
    EXPECT_EQ(MessageBoxWindows(), 1);
}

TEST_F(UserformsTest, LaterReadsOfMessageBoxReturnTheSameWindow) {
    Tvx_UFMessageBox* box = Owner().MessageBox();
    HWND window = box->hwnd();
    for (int read = 0; read < 3; ++read) {
        EXPECT_EQ(Owner().MessageBox(), box);
        EXPECT_EQ(Owner().MessageBox()->hwnd(), window);
    }
    EXPECT_EQ(MessageBoxWindows(), 1);
}

TEST_F(UserformsTest, ALaterReadDoesNotInitializeTheWindowAgain) {
    // A window whose protocol was ended by hand shows whether a read initializes it again.
    Tvx_UFMessageBox* box = Owner().MessageBox();
    box->ClassTerminate();
    ASSERT_EQ(box->ClassRoot(), nullptr);
    EXPECT_EQ(Owner().MessageBox(), box);
    EXPECT_EQ(box->ClassRoot(), nullptr);
    EXPECT_FALSE(box->IsInitialized());

    Tvx_UFMacroSecurity* notice = Owner().MacroSecurity();
    notice->ClassTerminate();
    EXPECT_EQ(Owner().MacroSecurity(), notice);
    EXPECT_EQ(notice->ClassRoot(), nullptr);
    box->ClassInitialize(&root_, OwnerObject());
    notice->ClassInitialize(&root_, OwnerObject());
}

TEST_F(UserformsTest, ReadingMacroSecurityNeverCreatesTheMessageBox) {
    Tvx_UFMacroSecurity* notice = Owner().MacroSecurity();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(Owner().IsCreated(2));
    EXPECT_FALSE(Owner().IsCreated(1));
    EXPECT_EQ(MessageBoxWindows(), 0);
    EXPECT_EQ(NoticeWindows(), 1);
    EXPECT_EQ(notice->ClassRoot(), &root_);
    EXPECT_EQ(notice->ClassParent(), OwnerObject());
    EXPECT_EQ(Owner().MacroSecurity(), notice);
    EXPECT_EQ(NoticeWindows(), 1);
}

TEST_F(UserformsTest, ReadingMessageBoxNeverCreatesTheNotice) {
    Owner().MessageBox();
    Owner().MessageBox();
    EXPECT_FALSE(Owner().IsCreated(2));
    EXPECT_EQ(NoticeWindows(), 0);
}

TEST_F(UserformsTest, ClassLoadCreatesAndLoadsBothWindows) {
    Owner().ClassLoad();
    EXPECT_TRUE(Owner().IsLoaded());
    EXPECT_TRUE(Owner().IsCreated(1));
    EXPECT_TRUE(Owner().IsCreated(2));
    EXPECT_EQ(MessageBoxWindows(), 1);
    EXPECT_EQ(NoticeWindows(), 1);
    EXPECT_TRUE(Owner().MessageBox()->Tvx_Node::IsLoaded());
    EXPECT_TRUE(Owner().MacroSecurity()->Tvx_Node::IsLoaded());
    EXPECT_EQ(Owner().MessageBox()->ClassParent(), OwnerObject());
    // Loaded, not shown; and reading them creates nothing more.
    EXPECT_FALSE(IsWindowVisible(Owner().MessageBox()->hwnd()));
    EXPECT_FALSE(IsWindowVisible(Owner().MacroSecurity()->hwnd()));
    EXPECT_EQ(MessageBoxWindows(), 1);
    EXPECT_EQ(NoticeWindows(), 1);
}

TEST_F(UserformsTest, ClassTerminateUnloadsBothWindows) {
    Tvx_UFMessageBox* box = Owner().MessageBox();
    Tvx_UFMacroSecurity* notice = Owner().MacroSecurity();
    HWND boxWindow = box->hwnd();
    HWND noticeWindow = notice->hwnd();
    Owner().ClassTerminate();
    EXPECT_FALSE(Owner().IsCreated(1));
    EXPECT_FALSE(Owner().IsCreated(2));
    EXPECT_FALSE(IsWindow(boxWindow));
    EXPECT_FALSE(IsWindow(noticeWindow));
    EXPECT_EQ(MessageBoxWindows(), 0);
    EXPECT_EQ(NoticeWindows(), 0);
    EXPECT_FALSE(Owner().IsInitialized());
    EXPECT_EQ(Owner().ClassRoot(), nullptr);
    EXPECT_EQ(Owner().ClassParent(), nullptr);
}

TEST_F(UserformsTest, ClassTerminateOfAnOwnerWithoutWindowsCreatesNone) {
    Owner().ClassTerminate();
    EXPECT_EQ(MessageBoxWindows(), 0);
    EXPECT_EQ(NoticeWindows(), 0);
    EXPECT_FALSE(Owner().IsCreated(1));
}

TEST_F(UserformsTest, AfterTerminateAndANewInitializeAReadCreatesANewWindow) {
    HWND oldBox = Owner().MessageBox()->hwnd();
    HWND oldNotice = Owner().MacroSecurity()->hwnd();
    Owner().ClassTerminate();
    Owner().ClassInitialize(&root_, &root_);
    EXPECT_FALSE(Owner().IsCreated(1));

    Tvx_UFMessageBox* box = Owner().MessageBox();
    EXPECT_TRUE(Owner().IsCreated(1));
    EXPECT_TRUE(IsWindow(box->hwnd()));
    EXPECT_NE(box->hwnd(), oldBox);
    EXPECT_EQ(box->ClassRoot(), &root_);
    EXPECT_EQ(box->ClassParent(), OwnerObject());
    EXPECT_FALSE(Owner().IsCreated(2));

    Tvx_UFMacroSecurity* notice = Owner().MacroSecurity();
    EXPECT_TRUE(IsWindow(notice->hwnd()));
    EXPECT_NE(notice->hwnd(), oldNotice);
    EXPECT_EQ(notice->ClassRoot(), &root_);
    EXPECT_EQ(MessageBoxWindows(), 1);
    EXPECT_EQ(NoticeWindows(), 1);
}

TEST_F(UserformsTest, ClassReinitializeKeepsRootAndParentAndUnloadsTheWindows) {
    Owner().ClassLoad();
    HWND oldBox = Owner().MessageBox()->hwnd();
    Owner().ClassReinitialize();
    EXPECT_TRUE(Owner().IsInitialized());
    EXPECT_FALSE(Owner().IsLoaded());
    EXPECT_EQ(Owner().ClassRoot(), &root_);
    EXPECT_EQ(Owner().ClassParent(), &root_);
    EXPECT_FALSE(Owner().IsCreated(1));
    EXPECT_FALSE(Owner().IsCreated(2));
    EXPECT_FALSE(IsWindow(oldBox));
    EXPECT_EQ(MessageBoxWindows(), 0);

    Tvx_UFMessageBox* box = Owner().MessageBox();
    EXPECT_TRUE(IsWindow(box->hwnd()));
    EXPECT_EQ(box->ClassRoot(), &root_);
    EXPECT_EQ(box->ClassParent(), OwnerObject());
    EXPECT_EQ(NoticeWindows(), 0);
}

TEST_F(UserformsTest, TheNewMessageBoxWindowStillAnswersDialogs) {
    Owner().ClassReinitialize();
    Tvx_UFMessageBox* box = Owner().MessageBox();
    DialogAnswerer answerer;
    answerer.Click("Ok");
    box->Caption("Nach dem Neustart");
    box->Button0Row0().Caption("Ok");
    box->Show();
    ASSERT_TRUE(answerer.Done());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].Title, "Nach dem Neustart");
    EXPECT_EQ(answerer.Seen()[0].Window, box->hwnd());
    EXPECT_FALSE(IsWindowVisible(box->hwnd()));
}
