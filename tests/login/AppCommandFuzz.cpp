// Fuzz target for the app:// command recognition: any address gives one answer, the game
// address is a "|"-free piece of the address, and splitting loses nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/utf.h"
#include "login/AppCommand.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring address = xcyh2::Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    xcyh2::AppCommand command = xcyh2::RecognizeAppCommand(address);
    if (command.kind != xcyh2::AppCommandKind::kLoadGame && !command.gameUrl.empty()) std::abort();
    if (command.gameUrl.find(L'|') != std::wstring::npos) std::abort();
    if (address.find(command.gameUrl) == std::wstring::npos) std::abort();

    std::wstring joined;
    for (const std::wstring& field : xcyh2::SplitFields(address, L'|')) joined += field + L'|';
    joined.pop_back();  // there is always at least one field
    if (joined != address) std::abort();
    return 0;
}
