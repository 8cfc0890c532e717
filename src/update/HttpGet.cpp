#include "update/HttpGet.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/SystemLibraries.h"
#include "base/win_handles.h"
#include "forms/Application.h"

namespace xcyh2 {

// What the waiting thread and the sending thread share. The handles are raw: whichever of the
// two finishes with them last closes them (Close), with the entry point found at the start, so
// that a sending thread still running while the program ends uses nothing the program releases.
struct HttpGet::Sending {
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
    decltype(&::InternetCloseHandle) close = nullptr;

    unique_handle returned{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};  // the send has returned
    unique_handle changed{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};  // reached, or sent elsewhere
    std::atomic<bool> reached{false};
    std::atomic<DWORD> reachingSince{::GetTickCount()};

    std::mutex mutex;  // guards the three below
    bool sending = false;    // on the sending thread, which has not returned yet
    bool ok = false;         // what the send returned
    bool abandoned = false;  // its owner has let go: the sending thread closes the handles

    void Close() {
        for (HINTERNET* h : {&request, &connection, &session}) {
            if (*h && close) close(*h);
            *h = nullptr;
        }
    }
};

// Status callbacks come on the thread of the call that causes them: during the send on the
// sending thread. Any step from the connection on shows that the server was reached (with a
// connection kept from before, "connected" may not come at all); a redirection starts anew.
void CALLBACK HttpGet::OnRequestStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
    auto* sending = reinterpret_cast<Sending*>(context);
    switch (status) {
        case INTERNET_STATUS_CONNECTED_TO_SERVER:
        case INTERNET_STATUS_SENDING_REQUEST:
        case INTERNET_STATUS_REQUEST_SENT:
        case INTERNET_STATUS_RECEIVING_RESPONSE:
        case INTERNET_STATUS_RESPONSE_RECEIVED:
            if (!sending->reached.exchange(true)) ::SetEvent(sending->changed.get());
            break;
        case INTERNET_STATUS_REDIRECT:
            sending->reachingSince = ::GetTickCount();
            sending->reached = false;
            ::SetEvent(sending->changed.get());
            break;
        default:
            break;
    }
}

HttpGet::HttpGet(const std::string& url, const std::string& headers, DWORD reachMs, DWORD receiveMs,
                 const std::function<bool()>& stop) {
    sys::WinInet& wininet = sys::wininet();
    // Lengths of 1 with no buffers: the parts are handed back as pointers into url.
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!wininet.InternetCrackUrlA.call_or(FALSE, url.c_str(), static_cast<DWORD>(url.size()), DWORD(0), &parts))
        return;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return;
    std::string host(parts.lpszHostName, parts.dwHostNameLength);
    std::string path = std::string(parts.lpszUrlPath ? parts.lpszUrlPath : "", parts.dwUrlPathLength) +
                       std::string(parts.lpszExtraInfo ? parts.lpszExtraInfo : "", parts.dwExtraInfoLength);
    if (path.empty()) path = "/";

    sending_ = std::make_shared<Sending>();
    Sending& s = *sending_;
    s.close = wininet.InternetCloseHandle.get();
    s.session = wininet.InternetOpenA.call_or(nullptr, nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!s.session) return;
    wininet.InternetSetOptionA.call_or(FALSE, s.session, INTERNET_OPTION_CONNECT_TIMEOUT, &reachMs, sizeof(reachMs));
    wininet.InternetSetOptionA.call_or(FALSE, s.session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs,
                                       sizeof(receiveMs));
    s.connection = wininet.InternetConnectA.call_or(HINTERNET(nullptr), s.session, host.c_str(), parts.nPort,
                                                    LPCSTR(nullptr), LPCSTR(nullptr), DWORD(INTERNET_SERVICE_HTTP),
                                                    DWORD(0), DWORD_PTR(0));
    if (!s.connection) return;
    // What the system's own "open this address" asks for: anything, always from the server, and
    // no second copy in the browser cache, since the file itself is what the caller keeps. The
    // context is what the status callbacks are given.
    LPCSTR accept[] = {"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                  (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    s.request = wininet.HttpOpenRequestA.call_or(HINTERNET(nullptr), s.connection, LPCSTR(nullptr), path.c_str(),
                                                 LPCSTR(nullptr), LPCSTR(nullptr), accept, flags,
                                                 reinterpret_cast<DWORD_PTR>(&s));
    if (!s.request) return;
    // Wine's WinINet takes the receive limit only from the request itself: with it on the
    // session alone, a server that never answers holds the call for ever.
    wininet.InternetSetOptionA.call_or(FALSE, s.request, DWORD(INTERNET_OPTION_RECEIVE_TIMEOUT),
                                       static_cast<LPVOID>(&receiveMs), DWORD(sizeof(receiveMs)));
    sent_ = Send(headers, reachMs, stop);
}

HttpGet::Sent HttpGet::Send(const std::string& headers, DWORD reachMs, const std::function<bool()>& stop) {
    sys::WinInet& wininet = sys::wininet();
    Sending& s = *sending_;
    decltype(&::HttpSendRequestA) send = wininet.HttpSendRequestA.get();
    if (!send) return Sent::NotSent;
    wininet.InternetSetStatusCallbackA.call_or(INTERNET_STATUS_CALLBACK(nullptr), s.request, &OnRequestStatus);
    HINTERNET request = s.request;
    auto sendHere = [&] {
        return send(request, headers.empty() ? nullptr : headers.c_str(), static_cast<DWORD>(headers.size()),
                    nullptr, 0)
                   ? Sent::Answered
                   : Sent::Unreached;
    };
    if (!s.returned || !s.changed) return sendHere();
    s.sending = true;
    try {
        std::thread([sending = sending_, send, request, headers] {
            // The library stays while WinINet works for this thread, even if the program is
            // ending meanwhile and lets go of its own reference.
            unique_hmodule pinned(::LoadLibraryW(L"wininet.dll"));
            BOOL ok = send(request, headers.empty() ? nullptr : headers.c_str(), static_cast<DWORD>(headers.size()),
                           nullptr, 0);
            bool abandoned;
            {
                std::lock_guard lock(sending->mutex);
                sending->sending = false;
                sending->ok = ok != FALSE;
                abandoned = sending->abandoned;
            }
            ::SetEvent(sending->returned.get());
            if (abandoned) sending->Close();
        }).detach();
    } catch (const std::system_error&) {
        s.sending = false;
        return sendHere();
    }

    const HANDLE handles[] = {s.returned.get(), s.changed.get()};
    for (;;) {
        if (::WaitForSingleObject(s.returned.get(), 0) == WAIT_OBJECT_0) {
            std::lock_guard lock(s.mutex);
            return s.ok ? Sent::Answered : Sent::Unreached;
        }
        DWORD limit = INFINITE;
        if (!s.reached) {
            DWORD elapsed = ::GetTickCount() - s.reachingSince;
            if (elapsed >= reachMs) return Sent::Unreached;
            limit = reachMs - elapsed;
        }
        if (forms::Application::DoEventsWhileWaiting(handles, limit, stop) == forms::Application::kStopped)
            return Sent::Stopped;
    }
}

HttpGet::~HttpGet() {
    if (!sending_) return;
    {
        std::lock_guard lock(sending_->mutex);
        if (sending_->sending) {
            sending_->abandoned = true;
            return;
        }
    }
    sending_->Close();
}

HINTERNET HttpGet::request() const { return sending_ ? sending_->request : nullptr; }

}  // namespace xcyh2
