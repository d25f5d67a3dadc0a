#include "Variant.h"

#include "RuntimeError.h"
#include "Text.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace runtime {

namespace {

// The decimal separator of the user's regional settings: numbers written as text use it, as the
// system's own number formatting does.
char DecimalSeparator() {
    wchar_t separator[4] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) > 0 && separator[0] < 128) {
        return static_cast<char>(separator[0]);
    }
    return '.';
}

std::string FormatDouble(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    std::string text = buffer;
    const char separator = DecimalSeparator();
    for (char& c : text) {
        if (c == '.') {
            c = separator;
        }
    }
    return text;
}

} // namespace

Variant Variant::Integer(int16_t value) {
    Variant v;
    v.kind_ = Kind::Integer;
    v.number_ = value;
    return v;
}

Variant Variant::Missing() {
    Variant v;
    v.kind_ = Kind::Missing;
    return v;
}

bool Variant::IsNumeric() const noexcept {
    return kind_ == Kind::Boolean || kind_ == Kind::Integer || kind_ == Kind::Long || kind_ == Kind::Double;
}

std::string Variant::ToString() const {
    switch (kind_) {
    case Kind::Empty:
        return {};
    case Kind::Missing:
        Raise(kErrTypeMismatch);
    case Kind::Boolean:
        return number_ != 0 ? "Wahr" : "Falsch";
    case Kind::Integer:
    case Kind::Long:
        return std::to_string(static_cast<int64_t>(number_));
    case Kind::Double:
        return FormatDouble(number_);
    case Kind::String:
        return text_;
    }
    return {};
}

double ParseNumber(const std::string& text) {
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        Raise(kErrTypeMismatch);
    }
    std::string normalized = trimmed;
    const char separator = DecimalSeparator();
    for (char& c : normalized) {
        if (c == separator) {
            c = '.';
        }
    }
    // Only decimal forms: no hexadecimal, no infinity or NaN words, which strtod would take.
    for (char c : normalized) {
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E';
        if (!allowed) {
            Raise(kErrTypeMismatch);
        }
    }
    char* end = nullptr;
    const double value = std::strtod(normalized.c_str(), &end);
    if (end == normalized.c_str() || *end != '\0') {
        Raise(kErrTypeMismatch);
    }
    if (!std::isfinite(value)) {
        Raise(kErrOverflow);
    }
    return value;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

double Variant::ToDouble() const {
    switch (kind_) {
    case Kind::Empty:
        return 0;
    case Kind::Missing:
        Raise(kErrTypeMismatch);
    case Kind::String:
        return ParseNumber(text_);
    default:
        return number_;
    }
}

int32_t Variant::ToLong() const {
    const double rounded = RoundHalfEven(ToDouble());
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        Raise(kErrOverflow);
    }
    return static_cast<int32_t>(rounded);
}

int16_t Variant::ToInteger() const {
    const double rounded = RoundHalfEven(ToDouble());
    if (rounded < -32768.0 || rounded > 32767.0) {
        Raise(kErrOverflow);
    }
    return static_cast<int16_t>(rounded);
}

bool Variant::ToBool() const {
    if (kind_ == Kind::String) {
        const std::string word = LCase(Trim(text_));
        if (word == "true" || word == "wahr") {
            return true;
        }
        if (word == "false" || word == "falsch") {
            return false;
        }
        return ParseNumber(text_) != 0;
    }
    return ToDouble() != 0;
}

bool operator==(const Variant& left, const Variant& right) {
    using Kind = Variant::Kind;
    if (left.IsMissing() || right.IsMissing()) {
        Raise(kErrTypeMismatch);
    }
    if (left.kind_ == Kind::String && right.kind_ == Kind::String) {
        return left.text_ == right.text_;
    }
    if (left.IsEmpty() && right.IsEmpty()) {
        return true;
    }
    if (left.IsEmpty() || right.IsEmpty()) {
        const Variant& other = left.IsEmpty() ? right : left;
        return other.kind_ == Kind::String ? other.text_.empty() : other.number_ == 0;
    }
    return left.ToDouble() == right.ToDouble();
}

const Variant& Collection::Item(int32_t index) const {
    if (index < 1 || index > Count()) {
        Raise(kErrSubscript);
    }
    return items_[static_cast<size_t>(index) - 1];
}

} // namespace runtime
