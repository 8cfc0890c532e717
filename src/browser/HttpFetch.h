// Fetching one page over HTTP on a worker thread. The worker owns nothing of its caller: it
// fills a shared state and posts a message to the caller's window when it is done, unless the
// fetch was cancelled meanwhile. The user-interface thread never waits for it.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace xcyh2::browser {

struct FetchResult {
    enum class Outcome {
        kOk,            // a response came (any status); body holds what was read
        kNoConnection,  // no response: refused, unknown host, timed out before any answer
        kBadAddress,    // the address could not be opened at all
    };
    Outcome outcome = Outcome::kNoConnection;
    DWORD status = 0;          // HTTP status of the response
    std::string body;          // at most kMaxBody bytes
    std::string contentType;   // the Content-Type header, "" when absent
    std::wstring finalUrl;     // after redirects
    bool truncated = false;    // the body was longer than kMaxBody; the rest was not read
    bool incomplete = false;   // the connection ended early (fewer bytes than announced, or a read failed)
};

class Fetch {
public:
    // Pages larger than this are shown as far as they came.
    static constexpr std::size_t kMaxBody = 8u << 20;
    // Per connection attempt and per read: a silent server is given up after this long (and
    // the error page shown), as the system control's own loader does.
    static constexpr DWORD kTimeoutMs = 30000;

    // Starts the worker; when it is done it posts message (wParam = id) to notify.
    static std::shared_ptr<Fetch> Start(const std::wstring& url, HWND notify, UINT message, WPARAM id);

    // The worker stops at its next step and posts nothing.
    void Cancel() { cancelled_ = true; }
    bool Done() const { return done_; }
    const std::wstring& Url() const { return url_; }
    // Only once Done(): the result (moved out).
    FetchResult TakeResult();

private:
    void Run();

    std::wstring url_;
    HWND notify_ = nullptr;
    UINT message_ = 0;
    WPARAM id_ = 0;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    FetchResult result_;
};

}  // namespace xcyh2::browser
