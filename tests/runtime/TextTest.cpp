#include "runtime/RuntimeError.h"
#include "runtime/Text.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace runtime;

TEST(Text, AnsiRoundTripKeepsUmlauts) {
    const std::string text = "Tarvex für Microsoft Word – äöüß";
    const std::string ansi = ToAnsi("für");
    // Code page 1252 holds ü in one byte.
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(ansi, std::string("f\xFCr"));
    EXPECT_EQ(FromAnsi(ansi), "für");
    EXPECT_EQ(Narrow(Widen(text)), text);
}

// A best-fit form would make the Omega an O and name another folder: the text is refused, with a
// German text that names it.
TEST(Text, AnsiFormOfACharacterTheCodePageLacksIsRefused) {
    ASSERT_EQ(GetACP(), 1252u);
    try {
        ToAnsi("Office 11 \u03A9");
        ADD_FAILURE() << "no refusal";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), kErrInvalidCall);
        EXPECT_EQ(error.Description(), "Der Text \"Office 11 \u03A9\" lässt sich in der ANSI-Codepage 1252 des "
                                       "Systems nicht genau darstellen: Das Zeichen \"\u03A9\" fehlt darin.");
    }
    // Every character of the code page has its own byte, the control characters and the zero too.
    EXPECT_EQ(ToAnsi(std::string("\x01\0\0", 3)), std::string("\x01\0\0", 3));
    EXPECT_EQ(ToAnsi("\u20AC\u00E8"), "\x80\xE8");
    EXPECT_EQ(ToAnsi(""), "");
}

TEST(Text, LengthsAndPartsCountCharactersNotBytes) {
    EXPECT_EQ(Len("für"), 3);
    EXPECT_EQ(Left("Schriftarten", 6), "Schrif");
    EXPECT_EQ(Left("äöü", 2), "äö");
    EXPECT_EQ(Right("Normal.sav", 3), "sav");
    EXPECT_EQ(Right("ab", 5), "ab");
    EXPECT_EQ(Mid("/Uninstall_1_11", 14), "11");
    EXPECT_EQ(Mid("/Uninstall_1_11", 12, 2), "1_");
    EXPECT_EQ(Mid("abc", 9), "");
}

TEST(Text, NegativeLengthsAreInvalidCalls) {
    EXPECT_THROW(Left("abc", -1), RuntimeError);
    EXPECT_THROW(Right("abc", -1), RuntimeError);
    EXPECT_THROW(Mid("abc", 0), RuntimeError);
    try {
        Left("abc", -1);
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), kErrInvalidCall);
        EXPECT_EQ(error.Description(), ErrorText(kErrInvalidCall));
    }
}

TEST(Text, InStrFindsFromAPosition) {
    EXPECT_EQ(InStr(1, "Fonts - Schriftarten", "Schrift"), 9);
    EXPECT_EQ(InStr(1, "abc", ""), 1);
    EXPECT_EQ(InStr(2, "abcabc", "a"), 4);
    EXPECT_EQ(InStr(1, "abc", "x"), 0);
    EXPECT_EQ(InStr(5, "abc", "a"), 0);
}

TEST(Text, CaseFollowsTheSystemRules) {
    EXPECT_EQ(LCase("WINWORD.EXE"), "winword.exe");
    EXPECT_EQ(LCase("SCHRIFTARTEN ÄÖÜ"), "schriftarten äöü");
    EXPECT_EQ(UCase("hkey_current_user"), "HKEY_CURRENT_USER");
}

TEST(Text, TrimAndChars) {
    EXPECT_EQ(Trim("  11 "), "11");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Chars(3, U' '), "   ");
    EXPECT_EQ(Chars(2, U'\0'), std::string(2, '\0'));
}

TEST(RuntimeError, GermanTextsForTheProgramsOwnNumbers) {
    for (int32_t number : {5, 6, 9, 13, 53, 58, 70, 75, 76, 91}) {
        EXPECT_NE(ErrorText(number), ErrorText(1)) << number;
    }
    EXPECT_EQ(ErrorText(53), "Datei nicht gefunden");
    EXPECT_EQ(ErrorText(13), "Typen unverträglich");
    EXPECT_EQ(ErrorText(6), "Überlauf");
}
