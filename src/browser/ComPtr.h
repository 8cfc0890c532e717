// An owner for one COM interface pointer: released once, when it goes.
#pragma once

#include <unknwn.h>

#include <utility>

namespace xcyh2::browser {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    // Lets go of the pointer without releasing it.
    T* detach() { return std::exchange(p_, nullptr); }
    // For out-parameters: releases what is held, then exposes the slot.
    T** put() {
        reset();
        return &p_;
    }
    template <typename U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
        return out;
    }

private:
    T* p_ = nullptr;
};

}  // namespace xcyh2::browser
