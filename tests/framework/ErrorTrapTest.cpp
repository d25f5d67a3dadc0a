#include "framework/ErrorTrap.h"
#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Node.h"
#include "runtime/RuntimeError.h"
#include "support/DialogAnswerer.h"
#include "support/SystemDialogs.h"

#include <gtest/gtest.h>

using runtime::Variant;

namespace {

// A class of the tree with procedures written in the program's trap idiom.
class TrapProbe final : public Tvx_Node {
public:
    const char* TypeName() const noexcept override { return "TrapProbe"; }

    // A failing statement in the middle: the next statements still run.
    std::vector<int> GoesOnAfterAFailure() {
        std::vector<int> ran;
        ErrorTrap trap(Root, TypeName());
        trap([&] { ran.push_back(1); });
        trap([&] {
            runtime::Raise(runtime::kErrFileNotFound);
            ran.push_back(2);
        });
        trap([&] { ran.push_back(3); });
        return ran;
    }

    // A failing test enters its block.
    std::string FailingConditionEntersItsBlock() {
        std::string taken = "none";
        ErrorTrap trap(Root, TypeName());
        if (trap.If([&] { return Variant("x").ToLong() > 0; })) {
            taken = "then";
        } else {
            taken = "else";
        }
        return taken;
    }

    // A function whose statement failed before its result was assigned returns Empty.
    Variant FailsBeforeAssigning() {
        Variant result;
        ErrorTrap trap(Root, TypeName());
        trap([&] { result = Variant("1x").ToInteger(); });
        return result;
    }

    // ... and one that failed after an assignment keeps it.
    Variant FailsAfterAssigning() {
        Variant result;
        ErrorTrap trap(Root, TypeName());
        trap([&] { result = 7; });
        trap([&] { result = Variant("1x").ToInteger(); });
        return result;
    }

    // The root reference is not set: the statement that uses it fails.
    void UsesTheRoot() {
        ErrorTrap trap(Root, TypeName());
        trap([&] { RootObject().Errors(); });
    }
};

} // namespace

TEST(ErrorTrap, ReportsNumberTextAndClassAndGoesOn) {
    Tarvex root;
    TrapProbe probe;
    probe.ClassInitialize(&root, &root);
    testsupport::DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    EXPECT_EQ(probe.GoesOnAfterAFailure(), (std::vector<int>{1, 3}));
    ASSERT_TRUE(dialogs.Done());
    EXPECT_EQ(dialogs.Seen()[0].Headline, "Unerwarteter Fehler");
    Tvx_Errors* errors = root.Errors();
    EXPECT_EQ(errors->ErrNumber().ToLong(), 53);
    EXPECT_EQ(errors->ErrDescription().ToString(), "Datei nicht gefunden");
    EXPECT_EQ(errors->Description().ToString(), "Unbekannter Fehler in Klasse \"TrapProbe\"");
}

TEST(ErrorTrap, FailingConditionCountsAsTrue) {
    Tarvex root;
    TrapProbe probe;
    probe.ClassInitialize(&root, &root);
    testsupport::DialogAnswerer dialogs;
    dialogs.Click("Ignorieren");
    EXPECT_EQ(probe.FailingConditionEntersItsBlock(), "then");
    EXPECT_TRUE(dialogs.Done());
    EXPECT_EQ(root.Errors()->ErrNumber().ToLong(), runtime::kErrTypeMismatch);
}

TEST(ErrorTrap, FunctionReturnsItsResultAsItStood) {
    Tarvex root;
    TrapProbe probe;
    probe.ClassInitialize(&root, &root);
    testsupport::DialogAnswerer dialogs;
    dialogs.Click("Ignorieren").Click("Ignorieren");
    const Variant never = probe.FailsBeforeAssigning();
    EXPECT_TRUE(never.IsEmpty());
    EXPECT_FALSE(never.ToBool());
    EXPECT_EQ(never.ToString(), "");
    EXPECT_EQ(probe.FailsAfterAssigning().ToLong(), 7);
    EXPECT_TRUE(dialogs.Done());
}

TEST(ErrorTrap, SilentGuardHandsTheFailureBack) {
    const CaughtError nothing = ErrorTrap::Silently([] {});
    EXPECT_FALSE(nothing);
    const CaughtError failed = ErrorTrap::Silently([] { runtime::Raise(58, "Datei existiert bereits"); });
    EXPECT_TRUE(failed);
    EXPECT_EQ(failed.Number, 58);
    EXPECT_EQ(failed.Description, "Datei existiert bereits");
}

TEST(ErrorTrap, ObjectNotSetAfterTerminate) {
    Tarvex root;
    TrapProbe probe;
    probe.ClassInitialize(&root, &root);
    probe.ClassTerminate();
    // With no root left to report to, the failure takes the last-resort way out: the system's
    // message box, then the end of the process.
    EXPECT_EXIT(
        {
            testsupport::AnswerSystemMessageBoxLater(L"Kritischer Fehler");
            probe.UsesTheRoot();
        },
        testing::ExitedWithCode(0),
        "\\[Kritischer Fehler\\] Kritischer Fehler in \"Errors.ErrorHandlerForClasses\"\\. Bitte setzen Sie sich "
        "mit\ndem Tarvex-Support in Kontakt \\(E-Mail: support@tarvex.example\\)\\.");
}
