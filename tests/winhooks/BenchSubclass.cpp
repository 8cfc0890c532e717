// Cost of a message that an intercepted window does not list, against the same kind of window
// without interception, measured in the same run: rounds alternate between the two windows,
// and the medians of the per-message times are compared.
//
//   bench_subclass [rounds] [messages per round]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "winhooks/CSubclass.h"

namespace {

constexpr UINT kUnlisted = WM_USER + 77;

LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kUnlisted) return static_cast<LRESULT>(wParam + 1);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The least any replacement procedure costs: one that only forwards.
WNDPROC g_bareNext = nullptr;
LRESULT CALLBACK BareHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(g_bareNext, hwnd, msg, wParam, lParam);
}

class Holder : public xcyh2::ISubclassHandler {
public:
    void WindowProc(bool, bool&, LRESULT&, HWND, UINT, WPARAM, LPARAM, LONG_PTR&) override { ++events; }
    long events = 0;
};

HWND MakeWindow() {
    return ::CreateWindowExW(0, L"BenchSubclassWindow", L"", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

double NanosecondsPerMessage(HWND hwnd, int messages, const LARGE_INTEGER& frequency) {
    LARGE_INTEGER start, stop;
    LRESULT sum = 0;
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < messages; ++i) sum += ::SendMessageW(hwnd, kUnlisted, i, 0);
    ::QueryPerformanceCounter(&stop);
    if (sum == 0) std::puts("");  // keeps the loop honest
    return (stop.QuadPart - start.QuadPart) * 1e9 / frequency.QuadPart / messages;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 21;
    const int messages = argc > 2 ? std::atoi(argv[2]) : 20000;

    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchSubclassWindow";
    ::RegisterClassW(&wc);
    HWND plain = MakeWindow();
    HWND intercepted = MakeWindow();
    HWND bare = MakeWindow();
    g_bareNext = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(bare, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BareHook)));

    // Listed the way the tab strip lists its messages, so the scans are not empty.
    Holder holder;
    xcyh2::CSubclass engine(holder);
    bool unicode = true;  // a Unicode window keeps the wide forms
    if (!engine.ssc_Subclass(intercepted, 0, 1, true, &unicode)) return 1;
    for (long m : {WM_ERASEBKGND, WM_PAINT, WM_MOUSELEAVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        engine.ssc_AddMsg(intercepted, m, xcyh2::MSG_BEFORE);
    engine.ssc_AddMsg(intercepted, WM_SIZE, xcyh2::MSG_AFTER);

    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    NanosecondsPerMessage(plain, messages / 4, frequency);  // warm-up
    NanosecondsPerMessage(intercepted, messages / 4, frequency);

    std::vector<double> plainTimes, interceptedTimes, bareTimes;
    for (int r = 0; r < rounds; ++r) {
        // Rotate which window goes first, so drift hits all alike.
        for (int k = 0; k < 3; ++k) {
            switch ((r + k) % 3) {
                case 0: plainTimes.push_back(NanosecondsPerMessage(plain, messages, frequency)); break;
                case 1: interceptedTimes.push_back(NanosecondsPerMessage(intercepted, messages, frequency)); break;
                case 2: bareTimes.push_back(NanosecondsPerMessage(bare, messages, frequency)); break;
            }
        }
    }
    const double plainMedian = Median(plainTimes);
    const double interceptedMedian = Median(interceptedTimes);
    std::printf("rounds %d, messages per round %d\n", rounds, messages);
    std::printf("plain window:        median %.1f ns per message\n", plainMedian);
    std::printf("intercepted window:  median %.1f ns per message\n", interceptedMedian);
    std::printf("bare forwarding hook (reference): median %.1f ns per message\n", Median(bareTimes));
    std::printf("ratio intercepted/plain: %.2f (holder events: %ld)\n", interceptedMedian / plainMedian,
                holder.events);
    engine.ssc_Terminate();
    ::DestroyWindow(intercepted);
    ::DestroyWindow(plain);
    ::DestroyWindow(bare);
    return 0;
}
