// A probe for the end-to-end tests: lists the top-level windows of the Wine session as JSON
// lines and presses buttons of dialogs, from outside the program under test.
//   winprobe list                 one JSON object per top-level window
//   winprobe button HWND ID       presses the dialog button with that id (IDOK 1, IDYES 6, IDNO 7)
//   winprobe close HWND           asks the window to close (WM_CLOSE)
//   winprobe post HWND MSG WPARAM LPARAM   posts a message (numbers in decimal)
//   winprobe watch CLASS MS       for MS milliseconds, one JSON line {"class":..., "hwnd":...} for
//                                 each window of that class seen visible; the line "watching"
//                                 comes first, once the watch is on
//   winprobe progress HWND        "POS HIGH" of the first progress bar among the window's children
//   winprobe answers HWND MS      for MS milliseconds, or until the window is gone, sends the window
//                                 WM_NULL every 100 ms with SendMessageTimeout (limit 1000 ms); one
//                                 line per message, "UNIX_MS ok" or "UNIX_MS late" (UNIX_MS: when it
//                                 was sent, in milliseconds since 1970); the line "answering" first
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string Json(const std::wstring& w) {
    std::string in = Utf8(w), out = "\"";
    for (unsigned char c : in) {
        if (c == '"' || c == '\\') { out += '\\'; out += static_cast<char>(c); }
        else if (c < 0x20) { char buf[8]; std::snprintf(buf, sizeof buf, "\\u%04x", c); out += buf; }
        else out += static_cast<char>(c);
    }
    return out + "\"";
}

// Reads a window's text without sending it a message, so a busy program cannot hold the probe.
std::wstring TextOf(HWND hwnd) {
    wchar_t buf[1024] = {};
    ::InternalGetWindowText(hwnd, buf, 1024);
    return buf;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buf[256] = {};
    ::GetClassNameW(hwnd, buf, 256);
    return buf;
}

BOOL CALLBACK CollectChildText(HWND child, LPARAM param) {
    auto* text = reinterpret_cast<std::wstring*>(param);
    std::wstring cls = ClassOf(child);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
        std::wstring t = TextOf(child);
        if (!t.empty()) {
            if (!text->empty()) *text += L"\n";
            *text += t;
        }
    }
    return TRUE;
}

BOOL CALLBACK CollectButtons(HWND child, LPARAM param) {
    auto* ids = reinterpret_cast<std::string*>(param);
    if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0) {
        if (!ids->empty()) *ids += ",";
        *ids += std::to_string(::GetDlgCtrlID(child));
    }
    return TRUE;
}

BOOL CALLBACK ListWindow(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == ::GetCurrentProcessId()) return TRUE;
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    std::wstring cls = ClassOf(hwnd);
    std::wstring text;
    std::string buttons;
    if (cls == L"#32770") {
        ::EnumChildWindows(hwnd, CollectChildText, reinterpret_cast<LPARAM>(&text));
        ::EnumChildWindows(hwnd, CollectButtons, reinterpret_cast<LPARAM>(&buttons));
    }
    std::printf(
        "{\"hwnd\":%lu,\"class\":%s,\"title\":%s,\"text\":%s,\"buttons\":[%s],\"visible\":%s,\"iconic\":%s,"
        "\"x\":%ld,\"y\":%ld,\"w\":%ld,\"h\":%ld,\"style\":%lu,\"exstyle\":%lu,\"owner\":%lu,\"pid\":%lu}\n",
        static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hwnd)), Json(cls).c_str(), Json(TextOf(hwnd)).c_str(),
        Json(text).c_str(), buttons.c_str(), ::IsWindowVisible(hwnd) ? "true" : "false",
        ::IsIconic(hwnd) ? "true" : "false", r.left, r.top, r.right - r.left, r.bottom - r.top,
        static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_STYLE)),
        static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_EXSTYLE)),
        static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(::GetWindow(hwnd, GW_OWNER))),
        static_cast<unsigned long>(pid));
    return TRUE;
}

// Looks every millisecond, inside one process: a window shown for a moment between two probe
// runs (each a Wine process of its own, a tenth of a second and more) is still seen. (This
// Wine delivers no window events of other programs to SetWinEventHook.)
int Watch(const char* cls, DWORD milliseconds) {
    const std::wstring name(cls, cls + std::strlen(cls));
    std::vector<HWND> seen;
    std::printf("watching\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds) {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, name.c_str(), nullptr); w;
             w = ::FindWindowExW(nullptr, w, name.c_str(), nullptr)) {
            if (!::IsWindowVisible(w) || std::find(seen.begin(), seen.end(), w) != seen.end()) continue;
            seen.push_back(w);
            std::printf("{\"class\":%s,\"hwnd\":%lu}\n", Json(name).c_str(),
                        static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(w)));
            std::fflush(stdout);
        }
        ::Sleep(1);
    }
    return 0;
}

// Milliseconds since 1970, the clock the tests' own times are on.
unsigned long long UnixMs() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    return (t.QuadPart - 116444736000000000ULL) / 10000;
}

int Answers(HWND hwnd, DWORD milliseconds) {
    std::printf("answering\n");
    std::fflush(stdout);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < milliseconds && ::IsWindow(hwnd)) {
        unsigned long long sent = UnixMs();
        DWORD_PTR result = 0;
        bool answered = ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
        if (!::IsWindow(hwnd)) break;  // gone meanwhile: no answer to count
        std::printf("%llu %s\n", sent, answered ? "ok" : "late");
        std::fflush(stdout);
        ::Sleep(100);
    }
    return 0;
}

HWND ParseHwnd(const char* text) { return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoul(text, nullptr, 10))); }

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "list") {
        ::EnumWindows(ListWindow, 0);
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "button") {
        HWND dialog = ParseHwnd(argv[2]);
        int id = std::atoi(argv[3]);
        HWND button = ::GetDlgItem(dialog, id);
        return ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) ? 0 : 1;
    }
    if (argc >= 3 && std::string(argv[1]) == "close") {
        return ::PostMessageW(ParseHwnd(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (argc >= 6 && std::string(argv[1]) == "post") {
        auto number = [](const char* text) { return std::strtoul(text, nullptr, 10); };
        return ::PostMessageW(ParseHwnd(argv[2]), static_cast<UINT>(number(argv[3])), number(argv[4]),
                              static_cast<LPARAM>(number(argv[5])))
                   ? 0
                   : 1;
    }
    if (argc >= 3 && std::string(argv[1]) == "progress") {
        HWND bar = ::FindWindowExW(ParseHwnd(argv[2]), nullptr, L"msctls_progress32", nullptr);
        DWORD_PTR pos = 0, high = 0;
        if (!bar || !::SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &pos) ||
            !::SendMessageTimeoutW(bar, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &high))
            return 1;
        std::printf("%lu %lu\n", static_cast<unsigned long>(pos), static_cast<unsigned long>(high));
        return 0;
    }
    if (argc >= 4 && std::string(argv[1]) == "answers") {
        return Answers(ParseHwnd(argv[2]), static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    }
    if (argc >= 4 && std::string(argv[1]) == "watch") {
        return Watch(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    }
    std::fprintf(stderr,
                 "usage: winprobe list | button HWND ID | close HWND | post HWND MSG WPARAM LPARAM | watch CLASS MS | "
                 "progress HWND | answers HWND MS\n");
    return 2;
}
