// The classic runtime error numbers that collections raise: 5 (invalid procedure call or
// argument) and 9 (subscript out of range).
#pragma once

#include <stdexcept>
#include <string>

namespace xcyh2 {

class ClassicError : public std::runtime_error {
public:
    enum : int { kInvalidArgument = 5, kSubscriptOutOfRange = 9, kDuplicateKey = 457 };

    explicit ClassicError(int number, const std::string& description = {})
        : std::runtime_error(description.empty() ? DefaultText(number) : description), number_(number) {}

    int number() const noexcept { return number_; }

private:
    static std::string DefaultText(int number) {
        switch (number) {
            case kInvalidArgument: return "Invalid procedure call or argument";
            case kSubscriptOutOfRange: return "Subscript out of range";
            case kDuplicateKey: return "This key is already associated with an element of this collection";
            default: return "Error " + std::to_string(number);
        }
    }
    int number_;
};

}  // namespace xcyh2
