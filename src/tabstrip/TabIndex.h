// The index argument of the tab collection: a key (text), a position (number), a hosted form or
// a tab item (both by identity), or nothing at all. A text is a key; only Add's position
// argument reads a text that holds a number as that number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace xcyh2 {

class ITabForm;
class CTabItem;

struct MissingIndex {};

class TabIndex {
public:
    using Value = std::variant<MissingIndex, std::wstring, double, const ITabForm*, const CTabItem*>;

    TabIndex() = default;
    TabIndex(MissingIndex) {}
    TabIndex(const wchar_t* key) : value_(std::wstring(key)) {}
    TabIndex(std::wstring key) : value_(std::move(key)) {}
    TabIndex(int position) : value_(static_cast<double>(position)) {}
    TabIndex(long position) : value_(static_cast<double>(position)) {}
    TabIndex(double position) : value_(position) {}
    TabIndex(const ITabForm* form) : value_(form) {}
    TabIndex(const CTabItem* item) : value_(item) {}

    bool IsMissing() const { return std::holds_alternative<MissingIndex>(value_); }
    const std::wstring* Key() const { return std::get_if<std::wstring>(&value_); }
    const double* Number() const { return std::get_if<double>(&value_); }
    const ITabForm* Form() const;
    const CTabItem* Item() const;
    const Value& value() const { return value_; }

private:
    Value value_;
};

// The number a text holds, when the whole text (blanks around it allowed) is a decimal number
// with an optional sign, fraction and exponent.
std::optional<double> NumberInText(const std::wstring& text);

// A number as a 32-bit position: rounded to the nearest integer, halves to even; nothing when
// the number is not finite or lies outside the 32-bit range.
std::optional<std::int32_t> PositionFromNumber(double number);

}  // namespace xcyh2
