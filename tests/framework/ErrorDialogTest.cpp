#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

using runtime::Variant;
using testsupport::DialogAnswerer;

namespace {

const std::string kReportText =
    "Der Setup der Tarvex konnte nicht erfolgreich beendet werden. Weiter unten finden Sie eine "
    "Fehlerbeschreibung.\n\nWir empfehlen Ihnen, den PC neu zu starten und den Setup erneut auszuführen. Außerdem "
    "sollten Sie sichergehen, daß Sie Administrator-Rechte auf diesem PC haben, d.h. neue Software installieren "
    "können. Falls der Setup auch dann noch fehlschlägt, schicken Sie bitte eine E-Mail an support@tarvex.example - "
    "vielen Dank für Ihre Unterstützung!";

class ErrorDialogTest : public testing::Test {
protected:
    Tvx_Errors& Errors() { return *root_.Errors(); }
    Tarvex root_;
};

} // namespace

TEST_F(ErrorDialogTest, ReportTextHasOneBlankBeforeTheLastSentence) {
    const std::string text = Errors().ErrorReportCreate().ToString();
    EXPECT_EQ(text, kReportText);
    EXPECT_NE(text.find("installieren können. Falls der Setup"), std::string::npos);
}

TEST_F(ErrorDialogTest, UnexpectedErrorDialogShowsTheReportAndIgnoreCarriesOn) {
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    Errors().ErrorHandlerForClasses(Variant(53), Variant("Datei nicht gefunden"), "Tvx_FileSystem");
    ASSERT_TRUE(dialogs.Done());
    const auto shown = dialogs.Seen().at(0);
    EXPECT_EQ(shown.Title, "Tarvex Error");
    EXPECT_EQ(shown.Icon, "error");
    EXPECT_EQ(shown.Headline, "Unerwarteter Fehler");
    EXPECT_EQ(shown.Body, kReportText +
                              "\n\nFehlerbeschreibung: \"Unbekannter Fehler in Klasse \"Tvx_FileSystem\"\"\n"
                              "Visual Basic Fehler: \"Datei nicht gefunden\"\nVisual Basic Fehlernummer: 53\n");
    EXPECT_EQ(shown.Buttons, (std::vector<std::string>{"Abbrechen", "Ignorieren", "Alle ignorier."}));
    EXPECT_EQ(shown.FocusedButton, "Abbrechen");
    EXPECT_EQ(Errors().Description().ToString(), "Unbekannter Fehler in Klasse \"Tvx_FileSystem\"");
    EXPECT_TRUE(Errors().ErrNumber() == Variant(53));
    EXPECT_FALSE(Errors().IgnoreAll().ToBool());
}

TEST_F(ErrorDialogTest, ModuleHandlerNamesTheModule) {
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    Errors().ErrorHandlerForModules(Variant(-2147024894), Variant("Fehler"), "Modul1");
    ASSERT_TRUE(dialogs.Done());
    EXPECT_NE(dialogs.Seen().at(0).Body.find("Fehlerbeschreibung: \"Unbekannter Fehler in Modul \"Modul1\"\"\n"
                                             "Visual Basic Fehler: \"Fehler\"\n"
                                             "Visual Basic Fehlernummer: -2147024894\n"),
              std::string::npos);
}

TEST_F(ErrorDialogTest, ErrorTextEndingInNulIsShownWithoutIt) {
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren").Click("Ignorieren");
    Errors().ErrorHandlerForClasses(Variant(5), Variant(std::string("Text\0", 5)), "X");
    EXPECT_EQ(Errors().ErrDescription().ToString(), "Text");
    Errors().ErrorHandlerForClasses(Variant(5), Variant(std::string("Text\0\0", 6)), "X");
    EXPECT_EQ(Errors().ErrDescription().ToString(), std::string("Text\0", 5));
    ASSERT_TRUE(dialogs.Done());
    EXPECT_NE(dialogs.Seen().at(0).Body.find("Visual Basic Fehler: \"Text\"\n"), std::string::npos);
}

TEST_F(ErrorDialogTest, AllIgnoredSilencesUnexpectedAndInternalReportsButNotExpectedOnes) {
    DialogAnswerer dialogs;
    dialogs.Click("Alle ignorier.").Click("Ignorieren");
    Errors().ErrorHandlerForClasses(Variant(13), Variant("Typen unverträglich"), "Erste");
    EXPECT_TRUE(Errors().IgnoreAll().ToBool());
    // Silenced: nothing shown, nothing stored.
    Errors().ErrorHandlerForClasses(Variant(6), Variant("Überlauf"), "Zweite");
    Errors().MessageBoxInternalErrorStandard("AIconType", "Tvx_Tools.MessageBox");
    EXPECT_EQ(Errors().Description().ToString(), "Unbekannter Fehler in Klasse \"Erste\"");
    EXPECT_TRUE(Errors().ErrNumber() == Variant(13));
    EXPECT_EQ(Errors().ErrDescription().ToString(), "Typen unverträglich");
    // An expected failure is still shown.
    Errors().ExpectedErrorShow(Variant(53), Variant("Datei nicht gefunden"), "Kopieren einer Datei fehlgeschlagen");
    ASSERT_TRUE(dialogs.Done());
    const auto seen = dialogs.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Headline, "Fehler");
    EXPECT_EQ(seen[1].Buttons, (std::vector<std::string>{"Abbrechen", "Ignorieren"}));
    EXPECT_EQ(Errors().Description().ToString(), "Kopieren einer Datei fehlgeschlagen");
}

TEST_F(ErrorDialogTest, InternalErrorShowsAnEmptyTextAndNumberZero) {
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    Errors().MessageBoxInternalErrorStandard("ProcessNumber", "Tvx_ExternalProcesses.KillProcess");
    ASSERT_TRUE(dialogs.Done());
    const auto shown = dialogs.Seen().at(0);
    EXPECT_EQ(shown.Headline, "Interner Fehler");
    EXPECT_EQ(shown.Body, kReportText + "\n\nFehlerbeschreibung: \"\"ProcessNumber\" ungültig in "
                                        "\"Tvx_ExternalProcesses.KillProcess\"\"\nVisual Basic Fehler: \"\"\n"
                                        "Visual Basic Fehlernummer: 0\n");
    EXPECT_TRUE(Errors().ErrNumber() == Variant(0));
}

TEST_F(ErrorDialogTest, ExpectedErrorCheckForShowsNothingForNumberZero) {
    Errors().ExpectedErrorCheckFor(Variant(0), Variant(""), "nichts");
    EXPECT_EQ(Errors().Description().ToString(), "");
    DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    Errors().ExpectedErrorCheckFor(Variant(76), Variant("Pfad nicht gefunden"), "Erstellen fehlgeschlagen");
    ASSERT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen().at(0).Headline, "Fehler");
    EXPECT_EQ(Errors().Description().ToString(), "Erstellen fehlgeschlagen");
}

TEST_F(ErrorDialogTest, WarningBoxHasOneOkAndStoresNothing) {
    DialogAnswerer dialogs;
    dialogs.Enter();
    Errors().MessageBoxWarning("Achtung");
    ASSERT_TRUE(dialogs.Done());
    const auto shown = dialogs.Seen().at(0);
    EXPECT_EQ(shown.Title, "Tarvex Warnung");
    EXPECT_EQ(shown.Icon, "warning");
    EXPECT_EQ(shown.Headline, "");
    EXPECT_EQ(shown.Body, std::string(8, '\n') + "Achtung");
    EXPECT_EQ(shown.Buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(Errors().Description().ToString(), "");
}

// "Abbrechen", and Enter, Esc and the close box that all answer it, end the program in every error
// dialog.
class ErrorDialogDeathTest : public ErrorDialogTest {};

TEST_F(ErrorDialogDeathTest, EveryAnswerOfAbbrechenEndsTheProgram) {
    using Answer = DialogAnswerer& (DialogAnswerer::*)();
    const Answer answers[] = {&DialogAnswerer::Enter, &DialogAnswerer::Escape, &DialogAnswerer::CloseBox};
    for (Answer answer : answers) {
        EXPECT_EXIT(
            {
                DialogAnswerer dialogs;
                (dialogs.*answer)();
                Errors().ErrorHandlerForClasses(Variant(5), Variant("x"), "X");
                std::fprintf(stderr, "returned");
            },
            testing::ExitedWithCode(0), "^$");
    }
    EXPECT_EXIT(
        {
            DialogAnswerer dialogs;
            dialogs.Click("Abbrechen");
            Errors().MessageBoxInternalError("intern");
        },
        testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(
        {
            DialogAnswerer dialogs;
            dialogs.Click("Abbrechen");
            Errors().ExpectedErrorShow(Variant(53), Variant("x"), "Kopieren");
        },
        testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(
        {
            DialogAnswerer dialogs;
            dialogs.Click("Abbrechen");
            Errors().ErrorHandlerForModules(Variant(5), Variant("x"), "Modul");
        },
        testing::ExitedWithCode(0), "^$");
}
