#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "desktop/CNotifyIcon.h"

namespace xcyh2::desktop {
namespace {

struct Sent {
    DWORD message;
    NotifyRecord record;
};
std::vector<Sent> g_sent;

// Stands in for the shell: keeps a copy of every record, as many bytes as it says it has.
BOOL WINAPI RecordingShell(DWORD message, PNOTIFYICONDATAA data) {
    Sent sent{message, {}};
    std::memcpy(&sent.record, data, std::min<std::size_t>(data->cbSize, sizeof(sent.record)));
    g_sent.push_back(sent);
    return TRUE;
}

std::string Field(const char* field) { return field; }

// A tip far over the 127 bytes of its field in code page 936: 11 bytes per repetition.
const std::wstring kLongTip = [] {
    std::wstring tip;
    for (int i = 0; i < 20; ++i) tip += L"星槎远航录2";
    return tip;
}();

// A text kept in a field: whole characters from the start of the original, within the field.
void ExpectCutOf(const std::wstring& original, const char* field, std::size_t fieldSize) {
    const std::string bytes = field;
    EXPECT_LT(bytes.size(), fieldSize);
    EXPECT_GE(bytes.size() + 2, fieldSize) << "cut by more than one character";
    const std::wstring back = AnsiToWide(bytes);
    EXPECT_EQ(original.substr(0, back.size()), back) << "not a whole-character prefix";
    EXPECT_EQ(back.find(L'\uFFFD'), std::wstring::npos);
}

TEST(CNotifyIcon, OneRecordFromAddToDestruction) {
    ASSERT_EQ(::GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    g_sent.clear();
    const HWND owner = reinterpret_cast<HWND>(0x1234);
    const HICON icon = reinterpret_cast<HICON>(0x5678);
    {
        CNotifyIcon tray(&RecordingShell);
        tray.AddNotifyIcon(owner, icon, kLongTip);
        tray.ShowBubble(L"提示", L"游戏已最小化到托盘", NIIF_INFO);
        tray.HideBubble();
    }
    ASSERT_EQ(g_sent.size(), 4u);
    const DWORD messages[] = {NIM_ADD, NIM_MODIFY, NIM_MODIFY, NIM_DELETE};
    for (std::size_t i = 0; i < g_sent.size(); ++i) {
        const NotifyRecord& r = g_sent[i].record;
        EXPECT_EQ(g_sent[i].message, messages[i]);
        EXPECT_EQ(r.cbSize, NOTIFYICONDATAA_V2_SIZE);  // 488 bytes in the 32-bit build
        EXPECT_EQ(r.hWnd, owner);
        EXPECT_EQ(r.uID, 1000u);
        EXPECT_EQ(r.uFlags, 23u);
        EXPECT_EQ(r.uCallbackMessage, 6242u);
        EXPECT_EQ(r.hIcon, icon);
        ExpectCutOf(kLongTip, r.szTip, sizeof(r.szTip));
    }
    EXPECT_EQ(Field(g_sent[0].record.szInfo), "");
    EXPECT_EQ(AnsiToWide(g_sent[1].record.szInfoTitle), L"提示");
    EXPECT_EQ(AnsiToWide(g_sent[1].record.szInfo), L"游戏已最小化到托盘");
    EXPECT_EQ(g_sent[1].record.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_EQ(Field(g_sent[2].record.szInfoTitle), "");
    EXPECT_EQ(Field(g_sent[2].record.szInfo), "");
}

}  // namespace
}  // namespace xcyh2::desktop
