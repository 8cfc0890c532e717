#include "winhooks/ProcedureStub.h"

#include <cstring>

namespace xcyh2::detail {
namespace {

// Records are small and short-lived; one growable heap whose pages may execute holds them all
// for the life of the process.
HANDLE ExecutableHeap() {
    static HANDLE heap = ::HeapCreate(HEAP_CREATE_ENABLE_EXECUTE, 0, 0);
    return heap;
}

}  // namespace

WNDPROC ProcedureStub::Point(const void* target_record, WNDPROC shared) {
#if defined(__i386__)
    static constexpr std::uint8_t kMovToStack[4] = {0xC7, 0x44, 0x24, 0x04};
    std::memcpy(movToStack, kMovToStack, sizeof(kMovToStack));
    record = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(target_record));
    jump = 0xE9;
    const auto next = reinterpret_cast<std::uintptr_t>(this) + sizeof(*this);
    target = static_cast<std::int32_t>(reinterpret_cast<std::uintptr_t>(shared) - next);
#else
    movRcx[0] = 0x48;
    movRcx[1] = 0xB9;
    record = reinterpret_cast<std::uintptr_t>(target_record);
    movRax[0] = 0x48;
    movRax[1] = 0xB8;
    target = reinterpret_cast<std::uintptr_t>(shared);
    jumpRax[0] = 0xFF;
    jumpRax[1] = 0xE0;
#endif
    ::FlushInstructionCache(::GetCurrentProcess(), this, sizeof(*this));
    return reinterpret_cast<WNDPROC>(this);
}

void* ExecutableRecord::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    HANDLE heap = ExecutableHeap();
    return heap ? ::HeapAlloc(heap, 0, size) : nullptr;
}

void ExecutableRecord::operator delete(void* memory) noexcept {
    if (memory) ::HeapFree(ExecutableHeap(), 0, memory);
}

}  // namespace xcyh2::detail
