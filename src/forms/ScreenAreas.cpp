#include "forms/ScreenAreas.h"

namespace xcyh2::forms {
namespace {

constexpr int kMinReachable = 100;  // 96-DPI pixels

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        auto& list = *reinterpret_cast<std::vector<EdgeRect>*>(areas);
        const EdgeRect area{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
        if (info.dwFlags & MONITORINFOF_PRIMARY) list.insert(list.begin(), area);
        else list.push_back(area);
    }
    return TRUE;
}

}  // namespace

std::vector<EdgeRect> ScreenWorkAreas() {
    std::vector<EdgeRect> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

RECT ReachablePlace(const RECT& wanted, const DpiScale& scale) {
    const EdgeRect placed = KeepReachable({wanted.left, wanted.top, wanted.right, wanted.bottom}, ScreenWorkAreas(),
                                           scale.Pixels(kMinReachable));
    return {placed.left, placed.top, placed.right, placed.bottom};
}

}  // namespace xcyh2::forms
