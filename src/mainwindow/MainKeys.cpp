#include "mainwindow/MainKeys.h"

namespace xcyh2 {
namespace {

KeyDecision Select(std::int32_t tab) { return {KeyAction::SelectTab, tab}; }

// The neighbour of the selected tab, wrapping round; with none selected, the first or the last.
KeyDecision Step(const TabState& tabs, int direction) {
    if (tabs.count <= 0) return {};
    bool valid = tabs.selected >= 0 && tabs.selected < tabs.count;
    if (!valid) return Select(direction > 0 ? 0 : tabs.count - 1);
    return Select((tabs.selected + direction + tabs.count) % tabs.count);
}

KeyDecision CtrlKey(std::uint32_t key, bool shift, const TabState& tabs) {
    if (key == vk::kTab) return Step(tabs, shift ? -1 : 1);
    if (shift) return {};
    switch (key) {
        case vk::kPageDown: return Step(tabs, 1);
        case vk::kPageUp: return Step(tabs, -1);
        case vk::kOemPlus:
        case vk::kNumpadAdd: return {KeyAction::ZoomIn};
        case vk::kOemMinus:
        case vk::kNumpadSubtract: return {KeyAction::ZoomOut};
        case vk::kDigit0: return {KeyAction::ZoomReset};
        case vk::kDigit0 + 9: return tabs.count > 0 ? Select(tabs.count - 1) : KeyDecision{};
        default: break;
    }
    if (key >= vk::kDigit0 + 1 && key <= vk::kDigit0 + 8) {
        std::int32_t tab = static_cast<std::int32_t>(key - vk::kDigit0 - 1);
        if (tab < tabs.count) return Select(tab);
    }
    return {};
}

}  // namespace

KeyDecision DecideMainKey(const KeyPress& press, const TabState& tabs) {
    if (press.alt) return {};
    if (press.ctrl) return CtrlKey(press.key, press.shift, tabs);
    if (press.shift) return {};
    if (press.key == vk::kF11) return {KeyAction::ToggleFullScreen};
    if (press.key == vk::kEscape && tabs.fullScreen) return {KeyAction::LeaveFullScreen};
    return {};
}

}  // namespace xcyh2
