#include "SetupTestSupport.h"
#include "forms/Units.h"
#include "runtime/Text.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

using forms::Px;
using runtime::Variant;
using setuptest::SetupProbe;
using testsupport::DialogAnswerer;
using testsupport::WordSandbox;

namespace {

RECT PlaceInParent(HWND control) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

struct Expected {
    int id;
    int parentId; // 0: the window itself
    double left, top, width, height;
    const char* text;
    bool shown;
};

std::string WindowTextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return runtime::Narrow(text);
}

} // namespace

TEST(Wizard, EveryControlStandsWhereTheLayoutPutsIt) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office11", false);
    SetupProbe setup;
    HWND window = setup.hwnd();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, Px(480.75));
    EXPECT_EQ(client.bottom, Px(362.25));
    EXPECT_EQ(setup.Caption(), "Tarvex Setup");

    using S = Tvx_UFSetup;
    const Expected layout[] = {
        {S::kIdLabelWelcome, 0, 12, 54, 450, 12.75,
         "Willkommen beim Setup der Tarvex für Microsoft Word 97/2000/XP/2003.", true},
        {S::kIdSchritt1, 0, 12, 72, 450, 102, "Schritt 1", true},
        {S::kIdLabelVersion, S::kIdSchritt1, 12, 12, 420, 22.5,
         "Bitte wählen Sie die Version von Microsoft Word aus, unter der Sie die Tarvex installieren (bzw. "
         "deinstallieren) möchten.",
         true},
        {S::kIdListBox, S::kIdSchritt1, 12, 42, 177, 44.6, "", true},
        {S::kIdLabelVersion2, S::kIdSchritt1, 198, 42, 234, 32.25,
         "Hinweis: Ab Word 2000 stellt der Setup die Makro-Sicherheit auf die Stufe \"Niedrig\". Klicken Sie auf den "
         "folgenden Button, um mehr Informationen zu erhalten.",
         true},
        {S::kIdMehrInformationen, S::kIdSchritt1, 348, 68, 84, 19, "Mehr Informationen", true},
        {S::kIdSchritt2, 0, 12, 180, 450, 132, "Schritt 2", true},
        {S::kIdLabelInstall, S::kIdSchritt2, 12, 12, 420, 12.75,
         "Installations-Optionen für die oben angegebene Word-Version ...", true},
        {S::kIdOptionInstall, S::kIdSchritt2, 12, 30, 420, 18, "Tarvex installieren", true},
        {S::kIdOptionUpdate, S::kIdSchritt2, 12, 54, 420, 18, "Tarvex updaten oder erneut installieren", true},
        {S::kIdOptionUninstall, S::kIdSchritt2, 12, 78, 420, 18, "Tarvex deinstallieren", true},
        {S::kIdLabelInstall2, S::kIdSchritt2, 12, 102, 420, 12.75,
         "Geben Sie die gewünschte Installations-Option an. Klicken Sie anschließend auf \"Weiter\".", true},
        {S::kIdWeiter, 0, 348, 324, 54, 21.75, "Weiter >", true},
        {S::kIdAbbrechen, 0, 408, 324, 54, 21.75, "Abbrechen", true},
        {S::kIdBitteWarten, 0, 12, 168, 450, 12.75, "Bitte warten ...", false},
        {S::kIdLabelBitteWarten, 0, 0, 312, 480, 48, "", false},
    };
    for (const Expected& e : layout) {
        HWND parent = e.parentId == 0 ? window : GetDlgItem(window, e.parentId);
        HWND control = GetDlgItem(parent, e.id);
        ASSERT_NE(control, nullptr) << e.id;
        const RECT place = PlaceInParent(control);
        EXPECT_EQ(place.left, Px(e.left)) << e.text;
        EXPECT_EQ(place.top, Px(e.top)) << e.text;
        EXPECT_EQ(place.right - place.left, Px(e.width)) << e.text;
        EXPECT_EQ(place.bottom - place.top, Px(e.height)) << e.text;
        if (e.id != S::kIdListBox) {
            EXPECT_EQ(WindowTextOf(control), e.text);
        }
        EXPECT_EQ(IsWindowVisible(control) != FALSE, e.shown) << e.text;
        // After the start-up the option logic has disabled what a missing template rules out.
        const bool enabled = e.id != S::kIdOptionUpdate && e.id != S::kIdOptionUninstall;
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, enabled) << e.text;
    }
    EXPECT_EQ(setup.LabelVersion2().ForeColor(), RGB(128, 128, 128));
    EXPECT_EQ(setup.BitteWarten().TextAlign(), forms::TextBox::kAlignCentre);
    EXPECT_EQ(GetWindowLongW(setup.BitteWarten().Handle(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), ES_CENTER);
    EXPECT_TRUE(setup.Weiter().Default());
    EXPECT_TRUE(setup.Abbrechen().Cancel());
    EXPECT_EQ(setup.ListBox().ColumnCount(), 3);
    // The focus stands on "Weiter >" after the start-up.
    EXPECT_EQ(GetFocus(), setup.Weiter().Handle());
}

TEST(Wizard, TemplateMissingOffersOnlyTheInstall) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11", false);
    SetupProbe setup;
    EXPECT_TRUE(setup.OptionInstall().Enabled());
    EXPECT_TRUE(setup.OptionInstall().Value());
    EXPECT_FALSE(setup.OptionUpdate().Enabled());
    EXPECT_FALSE(setup.OptionUpdate().Value());
    EXPECT_FALSE(setup.OptionUninstall().Enabled());
    EXPECT_FALSE(setup.OptionUninstall().Value());
}

TEST(Wizard, TemplatePresentPreselectsTheUpdateAndOffersTheUninstall) {
    WordSandbox sandbox;
    sandbox.AddWord(11, "Office 11 Ä", true);
    SetupProbe setup;
    EXPECT_FALSE(setup.OptionInstall().Enabled());
    EXPECT_FALSE(setup.OptionInstall().Value());
    EXPECT_TRUE(setup.OptionUpdate().Enabled());
    EXPECT_TRUE(setup.OptionUpdate().Value());
    EXPECT_TRUE(setup.OptionUninstall().Enabled());
    EXPECT_FALSE(setup.OptionUninstall().Value());
}

TEST(Wizard, ChangingTheRowSetsTheOptionsAnewOverTheUsersChoice) {
    WordSandbox sandbox;
    sandbox.AddWord(9, "Office 2000", false);
    sandbox.AddWord(11, "Office 2003", true);
    SetupProbe setup;
    ASSERT_EQ(setup.ListBox().ListIndex(), 1);
    // The user picks the uninstall, then another row with the keyboard.
    SendMessageW(setup.OptionUninstall().Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(setup.OptionUninstall().Value());
    EXPECT_FALSE(setup.OptionUpdate().Value());
    SetFocus(setup.ListBox().Handle());
    SendMessageW(setup.ListBox().Handle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(setup.ListBox().ListIndex(), 0);
    EXPECT_TRUE(setup.OptionInstall().Value());
    EXPECT_FALSE(setup.OptionUninstall().Value());
    EXPECT_FALSE(setup.OptionUninstall().Enabled());
    // And back: the update is preselected again, not the user's uninstall.
    setup.ListBox().ListIndex(1);
    EXPECT_TRUE(setup.OptionUpdate().Value());
    EXPECT_FALSE(setup.OptionUninstall().Value());
}

TEST(Wizard, WordVersionsAreListedInAscendingOrderWithTheLastSelected) {
    WordSandbox sandbox;
    const std::string office9 = sandbox.AddWord(9, "Office 2000", false, false);
    const std::string office11 = sandbox.AddWord(11, "Office 2003", false);
    const std::string office12 = sandbox.AddWord(12, "Office 12", false);
    // An empty value leaves its version out.
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\10.0\\Word\\Options", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, L"PROGRAMDIR", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
    RegCloseKey(key);
    sandbox.AddWord(41, "Office 41", false);
    SetupProbe setup;
    forms::ListBox& list = setup.ListBox();
    ASSERT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(0, 0).ToString(), "Microsoft Word 2000 (Version 9)");
    EXPECT_EQ(list.List(1, 0).ToString(), "Microsoft Word 2003 (Version 11)");
    EXPECT_EQ(list.List(2, 0).ToString(), "Microsoft Word Version 12");
    EXPECT_EQ(list.List(0, 1).ToLong(), 9);
    EXPECT_EQ(list.List(2, 1).ToLong(), 12);
    // The folder without its backslash gets one.
    EXPECT_EQ(list.List(0, 2).ToString(), office9);
    EXPECT_EQ(list.List(1, 2).ToString(), office11);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ(list.ColumnWidths(), "174;0;0");
    // Only column 0 is seen.
    wchar_t shown[128] = {};
    SendMessageW(list.Handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(runtime::Narrow(shown), "Microsoft Word 2000 (Version 9)");
}

TEST(Wizard, NoWordFoundIsReportedAndIgnoreLeavesAnEmptyList) {
    WordSandbox sandbox;
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    SetupProbe setup;
    ASSERT_TRUE(dialogs.Done());
    const auto shown = dialogs.Seen().at(0);
    EXPECT_EQ(shown.Headline, "Fehler");
    EXPECT_NE(shown.Body.find("Fehlerbeschreibung: \"Auf Ihrem Computer konnte keine Version von Microsoft Word "
                              "gefunden werden. Bitte installieren Sie zuerst Microsoft Word und starten dann den "
                              "Setup erneut.\"\nVisual Basic Fehler: \"\"\nVisual Basic Fehlernummer: 0\n"),
              std::string::npos)
        << shown.Body;
    EXPECT_EQ(setup.ListBox().ListCount(), 0);
    EXPECT_EQ(setup.ListBox().ListIndex(), -1);
    // The options keep their design-time state: enabled and unset.
    for (forms::OptionButton* option : {&setup.OptionInstall(), &setup.OptionUpdate(), &setup.OptionUninstall()}) {
        EXPECT_TRUE(option->Enabled());
        EXPECT_FALSE(option->Value());
    }
}

TEST(Wizard, MoreInformationShowsTheNoticeAndChangesNothing) {
    WordSandbox sandbox;
    sandbox.AddWord(9, "Office 2000", false);
    sandbox.AddWord(11, "Office 2003", true);
    SetupProbe setup;
    setup.ListBox().ListIndex(0);
    DialogAnswerer dialogs;
    dialogs.Click("Ok").CloseBox();
    SendMessageW(setup.MehrInformationen().Handle(), BM_CLICK, 0, 0);
    SendMessageW(setup.MehrInformationen().Handle(), BM_CLICK, 0, 0);
    ASSERT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen().at(0).Title, "Hinweis zur Makro-Sicherheit");
    EXPECT_EQ(setup.ListBox().ListIndex(), 0);
    EXPECT_TRUE(setup.OptionInstall().Value());
}

// Enter, Esc and the close box end the program from the wizard; nothing returns into the test.
TEST(WizardDeathTest, EnterWithNoOptionSetEndsTheProgram) {
    EXPECT_EXIT(
        {
            WordSandbox sandbox;
            DialogAnswerer dialogs;
            dialogs.Click("Ignorieren");
            SetupProbe setup;
            dialogs.Done();
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
            forms::RunMessageLoop();
        },
        testing::ExitedWithCode(0), "");
}

TEST(WizardDeathTest, EscAndTheCloseBoxEndTheProgramLikeAbbrechen) {
    for (const bool closeBox : {false, true}) {
        EXPECT_EXIT(
            {
                WordSandbox sandbox;
                sandbox.AddWord(11, "Office11", false);
                SetupProbe setup;
                if (closeBox) {
                    PostMessageW(setup.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
                } else {
                    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                }
                forms::RunMessageLoop();
            },
            testing::ExitedWithCode(0), "");
    }
}
