#include "framework/Tarvex.h"
#include "framework/Tvx_Tools.h"
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
