// Counts the GDI objects the program's own code holds, by routing its calls that create and
// delete them through counters (the import table of the executable is patched while a watch
// exists). Wine does not report a process's GDI object count, so leak tests use this there.
#pragma once

#include <windows.h>

#include <cstring>
#include <set>

namespace xcyh2::test {

class GdiObjectWatch {
public:
    GdiObjectWatch() { Patch(true); }
    ~GdiObjectWatch() { Patch(false); }
    GdiObjectWatch(const GdiObjectWatch&) = delete;
    GdiObjectWatch& operator=(const GdiObjectWatch&) = delete;

    // Objects created by the program's code and not yet deleted.
    static std::size_t Live() { return Objects().size(); }

private:
    static std::set<void*>& Objects() {
        static std::set<void*> objects;
        return objects;
    }
    template <typename H>
    static H Created(H h) {
        if (h) Objects().insert(h);
        return h;
    }
    static BOOL Deleted(void* h, BOOL ok) {
        if (ok) Objects().erase(h);
        return ok;
    }

    struct Hook {
        const char* name;
        void* replacement;
        void* original;
    };
    template <typename F>
    static F Original(int i) {
        return reinterpret_cast<F>(hooks_[i].original);
    }

    static HBITMAP WINAPI CompatibleBitmap(HDC dc, int w, int h) {
        return Created(Original<decltype(&::CreateCompatibleBitmap)>(0)(dc, w, h));
    }
    static HDC WINAPI CompatibleDC(HDC dc) { return Created(Original<decltype(&::CreateCompatibleDC)>(1)(dc)); }
    static HFONT WINAPI FontIndirectW(const LOGFONTW* lf) {
        return Created(Original<decltype(&::CreateFontIndirectW)>(2)(lf));
    }
    static HBRUSH WINAPI SolidBrush(COLORREF c) { return Created(Original<decltype(&::CreateSolidBrush)>(3)(c)); }
    static HBITMAP WINAPI DibSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                                     DWORD offset) {
        return Created(Original<decltype(&::CreateDIBSection)>(4)(dc, bmi, usage, bits, section, offset));
    }
    static BOOL WINAPI DeleteObj(HGDIOBJ h) { return Deleted(h, Original<decltype(&::DeleteObject)>(5)(h)); }
    static BOOL WINAPI DeleteDc(HDC h) { return Deleted(h, Original<decltype(&::DeleteDC)>(6)(h)); }

    static inline Hook hooks_[] = {
        {"CreateCompatibleBitmap", reinterpret_cast<void*>(&CompatibleBitmap), nullptr},
        {"CreateCompatibleDC", reinterpret_cast<void*>(&CompatibleDC), nullptr},
        {"CreateFontIndirectW", reinterpret_cast<void*>(&FontIndirectW), nullptr},
        {"CreateSolidBrush", reinterpret_cast<void*>(&SolidBrush), nullptr},
        {"CreateDIBSection", reinterpret_cast<void*>(&DibSection), nullptr},
        {"DeleteObject", reinterpret_cast<void*>(&DeleteObj), nullptr},
        {"DeleteDC", reinterpret_cast<void*>(&DeleteDc), nullptr},
    };

    static void Patch(bool install) {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
            if (_stricmp(reinterpret_cast<char*>(base + imp->Name), "gdi32.dll") != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                for (auto& hook : hooks_) {
                    if (std::strcmp(reinterpret_cast<char*>(byName->Name), hook.name) != 0) continue;
                    DWORD old;
                    ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
                    if (install) {
                        hook.original = reinterpret_cast<void*>(slots->u1.Function);
                        slots->u1.Function = reinterpret_cast<decltype(slots->u1.Function)>(hook.replacement);
                    } else if (hook.original) {
                        slots->u1.Function = reinterpret_cast<decltype(slots->u1.Function)>(hook.original);
                    }
                    ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
                }
            }
        }
    }
};

}  // namespace xcyh2::test
