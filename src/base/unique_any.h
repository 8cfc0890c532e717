// One owner type for every kind of handle: unique_any<T, close, invalid>.
// Each handle type gets one line (see win_handles.h); the owner closes it exactly once.
#pragma once

#include <utility>

namespace xcyh2 {

template <typename T, auto Close, auto Invalid = T{}>
class unique_any {
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
    explicit operator bool() const noexcept { return value_ != static_cast<T>(Invalid); }

    T release() noexcept { return std::exchange(value_, static_cast<T>(Invalid)); }

    void reset(T value = static_cast<T>(Invalid)) noexcept {
        T old = std::exchange(value_, value);
        if (old != static_cast<T>(Invalid)) Close(old);
    }

    // For out-parameters of platform calls: closes what is held, then exposes the slot.
    T* put() noexcept {
        reset();
        return &value_;
    }

private:
    T value_ = static_cast<T>(Invalid);
};

}  // namespace xcyh2
