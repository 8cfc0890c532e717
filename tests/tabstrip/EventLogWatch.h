// Collects the lines the program's own code writes to the event log, by routing its
// ReportEventW through a recorder while a watch exists (the import table of the executable is
// patched, as GdiObjectWatch does for the GDI calls).
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace xcyh2::test {

class EventLogWatch {
public:
    EventLogWatch() {
        Lines().clear();
        original_ = Patch(reinterpret_cast<void*>(&Record));
    }
    ~EventLogWatch() {
        if (original_) Patch(original_);
    }
    EventLogWatch(const EventLogWatch&) = delete;
    EventLogWatch& operator=(const EventLogWatch&) = delete;

    static std::vector<std::wstring>& Lines() {
        static std::vector<std::wstring> lines;
        return lines;
    }

private:
    static BOOL WINAPI Record(HANDLE, WORD, WORD, DWORD, PSID, WORD count, DWORD, LPCWSTR* strings, LPVOID) {
        for (WORD i = 0; i < count; ++i) Lines().push_back(strings[i]);
        return TRUE;
    }

    // Puts replacement in the slot of advapi32's ReportEventW; returns what was there.
    static void* Patch(void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
            if (_stricmp(reinterpret_cast<char*>(base + imp->Name), "advapi32.dll") != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), "ReportEventW") != 0) continue;
                DWORD old;
                ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
                void* previous = reinterpret_cast<void*>(slots->u1.Function);
                slots->u1.Function = reinterpret_cast<decltype(slots->u1.Function)>(replacement);
                ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
                return previous;
            }
        }
        return nullptr;
    }

    void* original_ = nullptr;
};

}  // namespace xcyh2::test
