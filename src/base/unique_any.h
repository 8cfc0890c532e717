// One owner type for every kind of handle: unique_any<T, close, invalid>.
// Each handle type gets one line (see win_handles.h); the owner closes it exactly once.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

namespace xcyh2 {

// Invalid is the "no handle" value as an integer (0, or -1 for INVALID_HANDLE_VALUE).
template <typename T, auto Close, std::intptr_t Invalid = 0>
class unique_any {
    static T invalid() noexcept {
        if constexpr (std::is_pointer_v<T>) return reinterpret_cast<T>(Invalid);
        else return static_cast<T>(Invalid);
    }

public:
    unique_any() noexcept = default;
    explicit unique_any(T value) noexcept : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != invalid(); }

    T release() noexcept { return std::exchange(value_, invalid()); }

    void reset(T value = invalid()) noexcept {
        T old = std::exchange(value_, value);
        if (old != invalid()) Close(old);
    }

    // For out-parameters of platform calls: closes what is held, then exposes the slot.
    T* put() noexcept {
        reset();
        return &value_;
    }

private:
    T value_ = invalid();
};

}  // namespace xcyh2
