// System DLLs the shell does not load at start: each loads on the first call into it, and each of
// its entry points is found by name on its own first call. Start-up pays for none of them until a
// thread needs one, and that thread pays alone. A DLL or entry point that is not there is a call
// that fails: the caller's own failure value comes back, with ERROR_PROC_NOT_FOUND as the last
// error, so each caller handles it as it already handles a failing call.
#pragma once

#include <windows.h>

#include <type_traits>

namespace xcyh2 {

class LazyLibrary {
public:
    explicit LazyLibrary(const wchar_t* file) noexcept : file_(file) {}
    // The DLL stays loaded until the process ends: the tables live as long as the process, and
    // a thread that is still inside the DLL when the program returns from its entry point (a
    // fetch given up on, waiting for its time-out) must not find its code gone.
    ~LazyLibrary() = default;
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // The entry point, or nullptr when the DLL or the entry point is missing. Loads the DLL on
    // the first call, from any thread.
    FARPROC Find(const char* entry) noexcept {
        ::InitOnceExecuteOnce(&loaded_, &Load, this, nullptr);
        return module_ ? ::GetProcAddress(module_, entry) : nullptr;
    }

private:
    static BOOL CALLBACK Load(PINIT_ONCE, PVOID self, PVOID*) {
        auto* library = static_cast<LazyLibrary*>(self);
        library->module_ = ::LoadLibraryW(library->file_);
        return TRUE;
    }

    const wchar_t* file_;
    INIT_ONCE loaded_ = INIT_ONCE_STATIC_INIT;
    HMODULE module_ = nullptr;
};

// One entry point of a LazyLibrary. Fn is the function's pointer type as the platform's header
// declares it (decltype(&::Function)), so its calling convention comes with it.
template <typename Fn>
class LazyProc {
    static_assert(std::is_pointer_v<Fn> && std::is_function_v<std::remove_pointer_t<Fn>>);

public:
    LazyProc(LazyLibrary& library, const char* entry) noexcept : library_(library), entry_(entry) {}
    LazyProc(const LazyProc&) = delete;
    LazyProc& operator=(const LazyProc&) = delete;

    // The function, or nullptr when it is not there.
    Fn get() noexcept {
        ::InitOnceExecuteOnce(&found_, &Look, this, nullptr);
        return fn_;
    }

    // Calls the function; when it is missing, returns `failure` as a failing call would.
    template <typename... Args>
    std::invoke_result_t<Fn, Args...> call_or(std::invoke_result_t<Fn, Args...> failure, Args... args) {
        if (Fn fn = get()) return fn(args...);
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return failure;
    }

    // For functions that return nothing: nothing happens when the function is missing.
    template <typename... Args>
    void call(Args... args) {
        if (Fn fn = get()) fn(args...);
    }

private:
    static BOOL CALLBACK Look(PINIT_ONCE, PVOID self, PVOID*) {
        auto* proc = static_cast<LazyProc*>(self);
        proc->fn_ = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc->library_.Find(proc->entry_)));
        return TRUE;
    }

    LazyLibrary& library_;
    const char* entry_;
    INIT_ONCE found_ = INIT_ONCE_STATIC_INIT;
    Fn fn_ = nullptr;
};

}  // namespace xcyh2
