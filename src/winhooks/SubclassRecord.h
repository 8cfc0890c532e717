// The interception record of one window. Internal to the engine.
//
// A record starts with a few bytes of machine code, its own window procedure: it puts the
// record's address where the window handle was and jumps to the engine's shared procedure.
// So every record has a procedure address of its own, and interceptions chain like any other
// window procedures (each record keeps the procedure it replaced).
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>

#include "winhooks/MsgTable.h"

namespace xcyh2 {
class CSubclass;
}

namespace xcyh2::detail {

enum class RecordState { Active, ReleaseRequested, CallbackLost, WindowDestroyed };

#pragma pack(push, 1)
#if defined(__i386__)
struct ProcedureStub {
    std::uint8_t movToStack[4];  // mov dword ptr [esp+4], imm32: the first argument (hwnd)
    std::uint32_t record;
    std::uint8_t jump;  // jmp rel32
    std::int32_t target;
};
#elif defined(__x86_64__)
// The 64-bit build (the test build on machines that cannot run 32-bit code): the first
// argument travels in rcx.
struct ProcedureStub {
    std::uint8_t movRcx[2];  // mov rcx, imm64: the first argument (hwnd)
    std::uint64_t record;
    std::uint8_t movRax[2];  // mov rax, imm64
    std::uint64_t target;
    std::uint8_t jumpRax[2];  // jmp rax
};
#else
#error "The record's procedure stub is written for x86 and x86-64."
#endif
#pragma pack(pop)

struct SubclassRecord {
    SubclassRecord();
    ~SubclassRecord();
    SubclassRecord(const SubclassRecord&) = delete;
    SubclassRecord& operator=(const SubclassRecord&) = delete;

    // Records live in the engine's executable heap, so that their stubs can run.
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* memory) noexcept;

    // Points the stub at the shared procedure; returns the record's own procedure.
    WNDPROC Procedure(LRESULT(CALLBACK* shared)(HWND, UINT, WPARAM, LPARAM));

    ProcedureStub stub;
    long nesting = 0;  // messages of the window currently inside this record
    RecordState state = RecordState::Active;
    HWND hwnd = nullptr;
    // The engine whose holder gets the events; null once its registry entry is gone.
    CSubclass* owner = nullptr;
    WNDPROC previousProc = nullptr;  // the procedure that ours replaced
    // previousProc when it is plain code of this process, called without CallWindowProc; null
    // when it is one of the system's translation handles, which only CallWindowProc can call.
    WNDPROC directProc = nullptr;
    LONG_PTR lParamUser = 0;
    bool unicode = false;
    bool destroyOnCallbackLost = false;
    bool attached = false;      // our procedure is (or may still be) called for the window
    UINT_PTR releaseTimer = 0;  // pending release, 0 when none
    MsgTable before;
    MsgTable after;
};

}  // namespace xcyh2::detail
