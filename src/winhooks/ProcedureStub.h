// A window procedure of its own for every hook record: a few bytes of machine code (x86, or
// x86-64 for the 64-bit test build) that put the record's address where the window handle was
// and jump to one shared procedure. So each record
// has a procedure address of its own, and hooks chain like any other window procedures (each
// keeps the procedure it replaced), also two of ours on one window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>

namespace xcyh2::detail {

#pragma pack(push, 1)
struct ProcedureStub {
#if defined(__i386__)
    std::uint8_t movToStack[4];  // mov dword ptr [esp+4], imm32: the first argument (hwnd)
    std::uint32_t record;
    std::uint8_t jump;  // jmp rel32
    std::int32_t target;
#elif defined(__x86_64__)
    // The 64-bit build (the test build on machines that cannot run 32-bit code): the first
    // argument travels in rcx.
    std::uint8_t movRcx[2];  // mov rcx, imm64: the first argument (hwnd)
    std::uint64_t record;
    std::uint8_t movRax[2];  // mov rax, imm64
    std::uint64_t target;
    std::uint8_t jumpRax[2];  // jmp rax
#else
#error "The procedure stub is written for x86 and x86-64."
#endif

    // Makes the stub call `shared` with `record` in place of the window handle; returns the
    // stub as a window procedure.
    WNDPROC Point(const void* record, WNDPROC shared);
};
#pragma pack(pop)

// Base of the records that hold a stub: they live in one executable heap, so the stub can run.
struct ExecutableRecord {
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* memory) noexcept;
};

}  // namespace xcyh2::detail
