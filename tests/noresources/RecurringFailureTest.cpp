#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
#include "setup/Tvx_UFSetup.h"
#include "support/SystemDialogs.h"

#include <gtest/gtest.h>

// Without its pictures the message box window cannot be created, so every dialog fails, the
// error dialogs included. The first report is tried, one report inside it too, and the next
// falls back to the system's message box; then the program ends instead of reporting forever.
TEST(RecurringFailureDeathTest, MessageBoxThatCannotBeCreatedEndsInTheLastResortReport) {
    EXPECT_EXIT(
        {
            testsupport::AnswerSystemMessageBoxLater(L"Kritischer Fehler");
            Tarvex root;
            root.Tools()->MessageBoxInfo("Hallo");
        },
        testing::ExitedWithCode(0), "\\[Kritischer Fehler\\] Kritischer Fehler in \"Errors.ErrorHandlerForClasses\"");
}

// The wizard's background picture is missing too: its window cannot be created. The failure
// leaves the start-up, and the program reports it before it ends instead of aborting silently.
TEST(RecurringFailureDeathTest, WizardThatCannotBeCreatedIsReportedNotAborted) {
    EXPECT_EXIT(
        {
            testsupport::AnswerSystemMessageBoxLater(L"Kritischer Fehler");
            Tvx_UFSetup::Run();
        },
        testing::ExitedWithCode(0), "\\[Kritischer Fehler\\] Kritischer Fehler in \"Errors.ErrorHandlerFor");
}
