// The login page's app:// commands: which command an address the browser is about to open
// carries, and the game address of "app://loadgame|A|B". Window-free, so it runs natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xcyh2 {

enum class AppCommandKind { kNone, kExitGame, kMinimize, kLoadGame };

struct AppCommand {
    AppCommandKind kind = AppCommandKind::kNone;
    // kLoadGame only: the second "|" field, the game page to open. Empty when the address has
    // no such field (or it is empty): there is then nothing to open.
    std::wstring gameUrl;
};

inline constexpr std::wstring_view kAppExitGame = L"app://exitgame";
inline constexpr std::wstring_view kAppMinimize = L"app://minimize";
inline constexpr std::wstring_view kAppLoadGame = L"app://loadgame";

// Tests in the order exit, minimise, load game; the first command text found anywhere in the
// address (case-sensitive) wins.
AppCommand RecognizeAppCommand(std::wstring_view address);

// Splits at every separator; n separators give n + 1 fields (empty ones included).
std::vector<std::wstring> SplitFields(std::wstring_view text, wchar_t separator);

}  // namespace xcyh2
