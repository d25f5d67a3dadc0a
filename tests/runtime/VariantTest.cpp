#include "runtime/RuntimeError.h"
#include "runtime/Variant.h"

#include <gtest/gtest.h>

using runtime::Collection;
using runtime::RuntimeError;
using runtime::Variant;

namespace {

int32_t ErrorOf(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

} // namespace

TEST(Variant, EmptyConvertsToNothing) {
    const Variant empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.ToString(), "");
    EXPECT_EQ(empty.ToLong(), 0);
    EXPECT_FALSE(empty.ToBool());
    EXPECT_TRUE(empty == Variant(""));
    EXPECT_TRUE(empty == Variant(0));
}

TEST(Variant, NumbersFromTextAcceptBlanksAndSign) {
    EXPECT_EQ(Variant("11").ToInteger(), 11);
    EXPECT_EQ(Variant(" 11 ").ToInteger(), 11);
    EXPECT_EQ(Variant("011").ToInteger(), 11);
    EXPECT_EQ(Variant("-7").ToLong(), -7);
    EXPECT_EQ(Variant("+3").ToLong(), 3);
}

TEST(Variant, ConversionFailuresRaiseTheirNumbers) {
    EXPECT_EQ(ErrorOf([] { Variant("1x").ToInteger(); }), runtime::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant("").ToInteger(); }), runtime::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant("0x10").ToLong(); }), runtime::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant("70000").ToInteger(); }), runtime::kErrOverflow);
    EXPECT_EQ(ErrorOf([] { Variant("-32769").ToInteger(); }), runtime::kErrOverflow);
    EXPECT_EQ(ErrorOf([] { Variant(3e10).ToLong(); }), runtime::kErrOverflow);
    EXPECT_EQ(ErrorOf([] { Variant::Missing().ToString(); }), runtime::kErrTypeMismatch);
    EXPECT_EQ(ErrorOf([] { Variant::Missing().ToInteger(); }), runtime::kErrTypeMismatch);
}

TEST(Variant, IntegerLimitsAreExact) {
    EXPECT_EQ(Variant("32767").ToInteger(), 32767);
    EXPECT_EQ(Variant("-32768").ToInteger(), -32768);
    EXPECT_EQ(Variant(2147483647).ToLong(), 2147483647);
}

TEST(Variant, HalvesRoundToEven) {
    EXPECT_EQ(Variant(2.5).ToLong(), 2);
    EXPECT_EQ(Variant(3.5).ToLong(), 4);
    EXPECT_EQ(Variant(-2.5).ToInteger(), -2);
}

TEST(Variant, BooleansAsTheSystemConvertsThem) {
    EXPECT_EQ(Variant(true).ToLong(), -1);
    EXPECT_EQ(Variant(false).ToLong(), 0);
    EXPECT_TRUE(Variant("Wahr").ToBool());
    EXPECT_TRUE(Variant("true").ToBool());
    EXPECT_FALSE(Variant("Falsch").ToBool());
    EXPECT_TRUE(Variant(-1).ToBool());
    EXPECT_EQ(ErrorOf([] { Variant("ja").ToBool(); }), runtime::kErrTypeMismatch);
}

TEST(Variant, NumberAndNumericTextCompareByValue) {
    EXPECT_TRUE(Variant("9") == Variant(9));
    EXPECT_TRUE(Variant(10) == Variant("10"));
    EXPECT_FALSE(Variant("9") == Variant(10));
    EXPECT_TRUE(Variant(int32_t{11}) == Variant(11.0));
    EXPECT_TRUE(Variant::Integer(3) == Variant(3));
}

TEST(Variant, TextsCompareCharacterByCharacter) {
    EXPECT_TRUE(Variant("abc") == Variant("abc"));
    EXPECT_FALSE(Variant("abc") == Variant("ABC"));
    EXPECT_FALSE(Variant("9") == Variant("09"));
}

TEST(Variant, TextKeepsEmbeddedNul) {
    const Variant text(std::string("ab\0", 3));
    EXPECT_EQ(text.ToString().size(), 3u);
}

TEST(Variant, NumbersBecomeDecimalText) {
    EXPECT_EQ(Variant(11).ToString(), "11");
    EXPECT_EQ(Variant(-5).ToString(), "-5");
    EXPECT_EQ(Variant::Integer(2).ToString(), "2");
    EXPECT_EQ(Variant(174.0).ToString(), "174");
}

TEST(Collection, CountsFromOneAndRejectsOtherIndexes) {
    Collection list;
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(1).ToString(), "a");
    EXPECT_EQ(list.Item(2).ToString(), "b");
    EXPECT_EQ(ErrorOf([&] { list.Item(0); }), runtime::kErrSubscript);
    EXPECT_EQ(ErrorOf([&] { list.Item(3); }), runtime::kErrSubscript);
}
