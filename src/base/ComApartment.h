// COM for the calling thread for as long as the object lives: a single-threaded apartment.
// On a thread that has COM already the calls only count up and down; one in another kind of
// apartment keeps it.
#pragma once

#include <objbase.h>

namespace xcyh2 {

class ComApartment {
public:
    ComApartment() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialized_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialized_;
};

}  // namespace xcyh2
