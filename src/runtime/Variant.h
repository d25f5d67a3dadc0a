#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace runtime {

// The value type of the program's operations: the few kinds of value they hand around, with the
// conversions they use. A conversion that cannot be made raises "type mismatch" or "overflow",
// as every conversion of a statement may, so the error trap of the caller sees it.
class Variant {
public:
    enum class Kind { Empty, Missing, Boolean, Integer, Long, Double, String };

    Variant() = default;
    Variant(bool value) : kind_(Kind::Boolean), number_(value ? -1 : 0) {}
    Variant(int32_t value) : kind_(Kind::Long), number_(value) {}
    Variant(double value) : kind_(Kind::Double), number_(value) {}
    Variant(const char* value) : kind_(Kind::String), text_(value) {}
    Variant(std::string value) : kind_(Kind::String), text_(std::move(value)) {}

    static Variant Integer(int16_t value);
    // An optional argument that the caller left out. Any conversion of it fails.
    static Variant Missing();

    Kind GetKind() const noexcept { return kind_; }
    bool IsEmpty() const noexcept { return kind_ == Kind::Empty; }
    bool IsMissing() const noexcept { return kind_ == Kind::Missing; }
    bool IsString() const noexcept { return kind_ == Kind::String; }
    bool IsNumeric() const noexcept;

    std::string ToString() const;
    double ToDouble() const;
    int32_t ToLong() const;
    int16_t ToInteger() const;
    bool ToBool() const;

    // Equality as the program's tests use it: two texts compare character by character, a number
    // and a text that holds a number compare by value, an empty value equals "" and 0.
    friend bool operator==(const Variant& left, const Variant& right);

private:
    Kind kind_ = Kind::Empty;
    double number_ = 0;
    std::string text_;
};

// A decimal number read from a text: blanks around it, an optional sign, digits, an optional
// fraction and exponent. Raises "type mismatch" for anything else.
double ParseNumber(const std::string& text);

// Rounding to a whole number as the system's conversions do it: halves go to the even neighbour.
double RoundHalfEven(double value);

// An ordered list of values counted from 1, as the file-name lists are handed out.
class Collection {
public:
    void Add(Variant item) { items_.push_back(std::move(item)); }
    int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
    // Raises "subscript out of range" outside 1 to Count.
    const Variant& Item(int32_t index) const;

private:
    std::vector<Variant> items_;
};

} // namespace runtime
