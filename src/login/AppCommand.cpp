#include "login/AppCommand.h"

namespace xcyh2 {

std::vector<std::wstring> SplitFields(std::wstring_view text, wchar_t separator) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = text.find(separator, start);
        if (bar == std::wstring_view::npos) {
            fields.emplace_back(text.substr(start));
            return fields;
        }
        fields.emplace_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

AppCommand RecognizeAppCommand(std::wstring_view address) {
    AppCommand command;
    if (address.find(kAppExitGame) != std::wstring_view::npos) {
        command.kind = AppCommandKind::kExitGame;
    } else if (address.find(kAppMinimize) != std::wstring_view::npos) {
        command.kind = AppCommandKind::kMinimize;
    } else if (address.find(kAppLoadGame) != std::wstring_view::npos) {
        command.kind = AppCommandKind::kLoadGame;
        // The whole address is split, not only the part after the command text.
        std::vector<std::wstring> fields = SplitFields(address, L'|');
        if (fields.size() >= 2) command.gameUrl = std::move(fields[1]);
    }
    return command;
}

}  // namespace xcyh2
