#include "updater/UpdaterArgs.h"

namespace xcyh2 {

std::optional<UpdaterTarget> SplitUpdaterArguments(std::wstring_view arguments) {
    constexpr std::wstring_view kBlanks = L" \t";
    std::size_t first = arguments.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return std::nullopt;
    arguments = arguments.substr(first, arguments.find_last_not_of(kBlanks) - first + 1);

    std::size_t bar = arguments.find(L'|');
    std::wstring_view folder = arguments.substr(0, bar);
    if (folder.empty()) return std::nullopt;
    UpdaterTarget target;
    target.folder = folder;
    if (target.folder.back() != L'\\' && target.folder.back() != L'/') target.folder += L'\\';
    if (bar != std::wstring_view::npos) {
        std::wstring_view program = arguments.substr(bar + 1);
        target.program = program.substr(0, program.find(L'|'));
    }
    return target;
}

}  // namespace xcyh2
