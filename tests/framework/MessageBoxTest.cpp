#include "framework/Tarvex.h"
#include "framework/Tvx_Errors.h"
#include "framework/Tvx_Tools.h"
#include "forms/Units.h"
#include "support/DialogAnswerer.h"

#include <gtest/gtest.h>

using runtime::Variant;
using testsupport::DialogAnswerer;
using testsupport::ShownDialog;

namespace {

class MessageBoxTest : public testing::Test {
protected:
    Tvx_Tools& Tools() { return *root_.Tools(); }

    // One dialog with the given answer; returns what it showed and the reply.
    template <class Call>
    std::pair<ShownDialog, Variant> Answered(const std::function<void(DialogAnswerer&)>& answer, Call&& call) {
        DialogAnswerer answerer;
        answer(answerer);
        const Variant reply = call();
        EXPECT_TRUE(answerer.Done());
        const auto seen = answerer.Seen();
        EXPECT_EQ(seen.size(), 1u);
        return {seen.empty() ? ShownDialog{} : seen.front(), reply};
    }

    Tarvex root_;
};

std::string LineFeeds(int count) { return std::string(static_cast<size_t>(count), '\n'); }

// A text of this many short lines.
std::string Lines(int count) {
    std::string text = "Zeile 1";
    for (int line = 2; line <= count; ++line) {
        text += "\nZeile " + std::to_string(line);
    }
    return text;
}

} // namespace

TEST_F(MessageBoxTest, InformationBoxWithOneLineIsCentredUnderTheIcon) {
    auto [shown, reply] = Answered([](DialogAnswerer& a) { a.Enter(); }, [&] { return Tools().MessageBoxInfo("Hallo"); });
    EXPECT_EQ(shown.Title, "Tarvex Hinweis");
    EXPECT_EQ(shown.Icon, "info");
    EXPECT_EQ(shown.Headline, "");
    EXPECT_EQ(shown.Body, LineFeeds(8) + "Hallo");
    EXPECT_EQ(shown.BodyPlace.top, forms::Px(12));
    EXPECT_EQ(shown.BodyPlace.bottom - shown.BodyPlace.top, forms::Px(168.75));
    EXPECT_EQ(shown.BodyPlace.left, forms::Px(78));
    EXPECT_EQ(shown.Buttons, std::vector<std::string>{"Ok"});
    EXPECT_EQ(shown.ButtonLefts, std::vector<int>{forms::Px(183)});
    EXPECT_EQ(shown.FocusedButton, "Ok");
    EXPECT_EQ(shown.DefaultButton, "Ok");
    EXPECT_TRUE(reply == Variant(0));
}

TEST_F(MessageBoxTest, InformationBoxAnswersZeroToMouseEscAndCloseBox) {
    EXPECT_TRUE(Answered([](DialogAnswerer& a) { a.Click("Ok"); }, [&] { return Tools().MessageBoxInfo("x"); })
                    .second == Variant(0));
    EXPECT_TRUE(Answered([](DialogAnswerer& a) { a.Escape(); }, [&] { return Tools().MessageBoxInfo("x"); })
                    .second == Variant(0));
    EXPECT_TRUE(Answered([](DialogAnswerer& a) { a.CloseBox(); }, [&] { return Tools().MessageBoxInfo("x"); })
                    .second == Variant(0));
}

TEST_F(MessageBoxTest, QuestionHasJaAndNeinAndJaIsDefaultAndCancel) {
    auto [shown, reply] =
        Answered([](DialogAnswerer& a) { a.Click("Nein"); }, [&] { return Tools().MessageBoxQuestion("Frage?"); });
    EXPECT_EQ(shown.Title, "Tarvex Frage");
    EXPECT_EQ(shown.Icon, "question");
    EXPECT_EQ(shown.Buttons, (std::vector<std::string>{"Ja", "Nein"}));
    EXPECT_EQ(shown.ButtonLefts, (std::vector<int>{forms::Px(153), forms::Px(213)}));
    EXPECT_TRUE(reply == Variant(1));
    for (auto answer : {&DialogAnswerer::Escape, &DialogAnswerer::CloseBox, &DialogAnswerer::Enter}) {
        EXPECT_TRUE(Answered([&](DialogAnswerer& a) { (a.*answer)(); },
                             [&] { return Tools().MessageBoxQuestion("Frage?"); })
                        .second == Variant(0));
    }
}

TEST_F(MessageBoxTest, EveryRowStandsCentredOnItsPlace) {
    auto three = Answered([](DialogAnswerer& a) { a.Enter(); },
                          [&] { return Tools().MessageBox("T", 2, "", 0, "x", 0, 0, 0, 0, "A", "B", "C"); });
    EXPECT_EQ(three.first.Buttons, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(three.first.ButtonLefts, (std::vector<int>{forms::Px(123), forms::Px(183), forms::Px(243)}));
    auto four = Answered([](DialogAnswerer& a) { a.Click("D"); },
                         [&] { return Tools().MessageBox("T", 2, "", 0, "x", 0, 0, 0, 0, "A", "B", "C", "D"); });
    EXPECT_EQ(four.first.Buttons, (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_EQ(four.first.ButtonLefts,
              (std::vector<int>{forms::Px(93), forms::Px(153), forms::Px(213), forms::Px(273)}));
    EXPECT_TRUE(four.second == Variant(3));
}

TEST_F(MessageBoxTest, ThreeCaptionsWithDefaultAndCancelZeroAnswerTheFirstForEnterEscAndCloseBox) {
    for (auto answer : {&DialogAnswerer::Enter, &DialogAnswerer::Escape, &DialogAnswerer::CloseBox}) {
        auto result = Answered([&](DialogAnswerer& a) { (a.*answer)(); }, [&] {
            return Tools().MessageBox("T", 2, "H", 0, "x", 0, 0, 0, 0, "Abbrechen", "Ignorieren", "Alle ignorier.");
        });
        EXPECT_TRUE(result.second == Variant(0));
        EXPECT_EQ(result.first.FocusedButton, "Abbrechen");
    }
}

// Another program's close request (a task manager, a shutdown tool) answers as the close box: the
// cancel index. The window stays, and the next dialog shows on it as usual.
TEST_F(MessageBoxTest, CloseFromAnotherProgramAnswersTheCancelIndexAndTheNextDialogShows) {
    DialogAnswerer answerer;
    answerer.CloseFromOutside().Enter();
    const Variant closed = Tools().MessageBox("Erster", 3, "", 0, "x", 0, 0, 0, 2, "A", "B", "C");
    const Variant next = Tools().MessageBoxInfo("Zweiter Text");
    ASSERT_TRUE(answerer.Done());
    EXPECT_TRUE(closed == Variant(2));
    EXPECT_TRUE(next == Variant(0));
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Title, "Tarvex Hinweis");
    EXPECT_EQ(seen[1].Window, seen[0].Window);
}

TEST_F(MessageBoxTest, IndexesAboveTheRowsLastButtonNameItsLastButton) {
    auto result = Answered([](DialogAnswerer& a) { a.Enter(); },
                           [&] { return Tools().MessageBox("T", 0, "", 0, "x", 0, 0, 3, 2, "Eins", "Zwei"); });
    EXPECT_EQ(result.first.FocusedButton, "Zwei");
    EXPECT_EQ(result.first.DefaultButton, "Zwei");
    EXPECT_TRUE(result.second == Variant(1));
    auto cancelled = Answered([](DialogAnswerer& a) { a.Escape(); },
                              [&] { return Tools().MessageBox("T", 0, "", 0, "x", 0, 0, 0, 3, "Eins", "Zwei"); });
    EXPECT_TRUE(cancelled.second == Variant(1));
}

TEST_F(MessageBoxTest, HeadlineMovesTheBodyBelowIt) {
    auto [shown, reply] = Answered([](DialogAnswerer& a) { a.Enter(); }, [&] {
        return Tools().MessageBox("T", 3, "Microsoft Word aktiv", 0, "Text", 0, 0, 0, 0, "Ok");
    });
    EXPECT_EQ(shown.Headline, "Microsoft Word aktiv");
    EXPECT_EQ(shown.Icon, "warning");
    EXPECT_EQ(shown.BodyPlace.top, forms::Px(46));
    EXPECT_EQ(shown.BodyPlace.bottom - shown.BodyPlace.top, forms::Px(134.75));
    EXPECT_EQ(shown.Body, "Text");
}

TEST_F(MessageBoxTest, VerticalPlacementAddsTheWorkedLineFeeds) {
    struct Case {
        const char* big;
        int vertical;
        int lines;
        int feeds;
    };
    const Case cases[] = {{"", 1, 1, 8}, {"", 1, 2, 7}, {"", 1, 16, 0}, {"", 2, 1, 16},
                          {"H", 2, 1, 12}, {"H", 1, 1, 6}, {"", 0, 1, 0}};
    for (const Case& c : cases) {
        auto [shown, reply] = Answered([](DialogAnswerer& a) { a.Enter(); }, [&] {
            return Tools().MessageBox("T", 0, c.big, 0, Lines(c.lines), 1, c.vertical, 0, 0, "Ok");
        });
        EXPECT_EQ(shown.Body, LineFeeds(c.feeds) + Lines(c.lines))
            << "headline '" << c.big << "', vertical " << c.vertical << ", " << c.lines << " lines";
    }
}

TEST_F(MessageBoxTest, LongTextGetsNoLineFeedsAndABadVerticalValueIsNotReported) {
    for (int vertical : {1, 2, 7}) {
        auto [shown, reply] = Answered([](DialogAnswerer& a) { a.Enter(); },
                                       [&] { return Tools().MessageBox("T", 0, "", 0, Lines(17), 0, vertical, 0, 0, "Ok"); });
        EXPECT_EQ(shown.Body, Lines(17));
    }
    auto [shown, reply] = Answered([](DialogAnswerer& a) { a.Enter(); },
                                   [&] { return Tools().MessageBox("T", 0, "H", 0, Lines(13), 0, 9, 0, 0, "Ok"); });
    EXPECT_EQ(shown.Body, Lines(13));
}

TEST_F(MessageBoxTest, WrappedLinesCountAsTheBoxShowsThem) {
    // One long paragraph that the box wraps into several lines: fewer line feeds than one line gets.
    const std::string paragraph(400, 'a');
    std::string words;
    for (int i = 0; i < 60; ++i) {
        words += "Wort ";
    }
    auto [shown, reply] = Answered([](DialogAnswerer& a) { a.Enter(); },
                                   [&] { return Tools().MessageBox("T", 0, "", 0, words, 0, 1, 0, 0, "Ok"); });
    const size_t feeds = shown.Body.find_first_not_of('\n');
    EXPECT_GT(feeds, 0u);
    EXPECT_LT(feeds, 8u);
}

TEST_F(MessageBoxTest, BadIconReportsFirstThenShowsTheDialogWithTheErrorTitleAndIcon) {
    DialogAnswerer answerer;
    answerer.Click("Ignorieren").Click("Ok");
    const Variant reply = Tools().MessageBox("Mein Titel", 4, "", 0, "Text", 0, 0, 0, 0, "Ok");
    ASSERT_TRUE(answerer.Done());
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].Headline, "Interner Fehler");
    EXPECT_NE(seen[0].Body.find("Fehlerbeschreibung: \"\"AIconType\" ungültig in \"Tvx_Tools.MessageBox\"\"\n"),
              std::string::npos)
        << seen[0].Body;
    EXPECT_EQ(seen[1].Title, "Tarvex Error");
    EXPECT_EQ(seen[1].Icon, "error");
    EXPECT_EQ(seen[1].Headline, "");
    EXPECT_EQ(seen[1].Body, "Text");
    EXPECT_EQ(seen[1].Buttons, std::vector<std::string>{"Ok"});
    EXPECT_TRUE(reply == Variant(0));
}

TEST_F(MessageBoxTest, BadAlignmentsAndButtonIndexesAreReportedByName) {
    struct Case {
        int big, hor, def, cancel;
        const char* name;
    };
    const Case cases[] = {{3, 0, 0, 0, "ABigHorAlignment"}, {0, -1, 0, 0, "AHorAlignment"},
                          {0, 0, 4, 0, "ADefaultButton"}, {0, 0, 0, 5, "ACancelButton"}};
    for (const Case& c : cases) {
        // A report late in the call leaves its own buttons in the window; Enter answers either way.
        DialogAnswerer answerer;
        answerer.Click("Ignorieren").Enter();
        Tools().MessageBox("T", 0, "", c.big, "Text", c.hor, 0, c.def, c.cancel, "Ok");
        ASSERT_TRUE(answerer.Done()) << c.name;
        const auto seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_NE(seen[0].Body.find(std::string("\"\"") + c.name + "\" ungültig in \"Tvx_Tools.MessageBox\"\""),
                  std::string::npos)
            << seen[0].Body;
    }
}

TEST_F(MessageBoxTest, TwoDialogsInARowShareNothingVisible) {
    DialogAnswerer answerer;
    answerer.Click("Drei").Enter();
    Tools().MessageBox("Erster", 2, "Große Überschrift", 0, "Erster Text", 0, 0, 0, 0, "Eins", "Zwei", "Drei",
                       "Vier");
    Tools().MessageBoxInfo("Zweiter Text");
    ASSERT_TRUE(answerer.Done());
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Title, "Tarvex Hinweis");
    EXPECT_EQ(seen[1].Icon, "info");
    EXPECT_EQ(seen[1].Headline, "");
    EXPECT_EQ(seen[1].Body, LineFeeds(8) + "Zweiter Text");
    EXPECT_EQ(seen[1].Buttons, std::vector<std::string>{"Ok"});
}

TEST_F(MessageBoxTest, MissingCaptionInsideTheRowIsReportedAndTheReportsCaptionsStay) {
    // The report runs on the same window between the captions: it leaves its own captions in the
    // row, and the call sets only the captions after the missing one again.
    DialogAnswerer answerer;
    answerer.Click("Nein").Click("Ignorieren").Click("Drei");
    Tools().MessageBoxQuestion("?");
    const Variant reply =
        Tools().MessageBox("T", 0, "", 0, "x", 0, 0, 0, 0, "Eins", Variant::Missing(), "Drei");
    ASSERT_TRUE(answerer.Done());
    const auto seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].Headline, "Unerwarteter Fehler");
    EXPECT_NE(seen[1].Body.find("Unbekannter Fehler in Klasse \"Tvx_Tools\""), std::string::npos);
    EXPECT_EQ(seen[2].Buttons, (std::vector<std::string>{"Abbrechen", "Ignorieren", "Drei"}));
    EXPECT_TRUE(reply == Variant(2));
}
