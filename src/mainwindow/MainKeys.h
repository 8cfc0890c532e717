// The main window's own keys, decided without a window: tab switching, page zoom and full
// screen. Everything else, Ctrl with letters above all, belongs to the page: games use them.
#pragma once

#include <cstdint>

namespace xcyh2 {

// Virtual-key codes, as the system numbers them.
namespace vk {
inline constexpr std::uint32_t kTab = 0x09;
inline constexpr std::uint32_t kEscape = 0x1B;
inline constexpr std::uint32_t kPageUp = 0x21;    // VK_PRIOR
inline constexpr std::uint32_t kPageDown = 0x22;  // VK_NEXT
inline constexpr std::uint32_t kDigit0 = 0x30;    // '0'..'9' follow in order
inline constexpr std::uint32_t kNumpadAdd = 0x6B;
inline constexpr std::uint32_t kNumpadSubtract = 0x6D;
inline constexpr std::uint32_t kF11 = 0x7A;
inline constexpr std::uint32_t kOemPlus = 0xBB;   // the '=' / '+' key
inline constexpr std::uint32_t kOemMinus = 0xBD;  // the '-' / '_' key
}  // namespace vk

struct KeyPress {
    std::uint32_t key = 0;  // virtual-key code
    bool ctrl = false;
    bool shift = false;
    bool alt = false;       // Ctrl+Alt is AltGr on many layouts: such keys type characters
};

struct TabState {
    std::int32_t count = 0;
    std::int32_t selected = -1;  // -1: none
    bool fullScreen = false;
};

enum class KeyAction { None, SelectTab, ZoomIn, ZoomOut, ZoomReset, ToggleFullScreen, LeaveFullScreen };

struct KeyDecision {
    KeyAction action = KeyAction::None;
    std::int32_t tab = -1;  // for SelectTab
    bool operator==(const KeyDecision&) const = default;
};

// What a key press does in the main window; None leaves the key to the page.
KeyDecision DecideMainKey(const KeyPress& press, const TabState& tabs);

}  // namespace xcyh2
