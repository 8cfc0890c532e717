// One GET of an http:// or https:// address with WinINet, always from the server: its session,
// connection and request, sent with the given extra headers, for the download to read the answer.
//
// The request is sent on a thread of its own while the calling thread lets window messages
// through: the window stays live and a stop is seen at once, also while the server is reached.
// The server must be reached (its name resolved and a connection made) within the reach limit;
// from then on the receive limit bounds each wait for it. WinINet is given both limits, but its
// connect limit is not relied on: Wine's does not hold it, and a connection attempt that is
// never answered (its packets dropped) waits there for the system's own limit, two minutes.
//
// A send given up on (not reached in time, or stopped) runs on, on its thread, until WinINet
// ends it, and that thread then closes the handles: nothing is used after its owner has let it
// go, and the owner's next download does not wait for it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <memory>
#include <string>

namespace xcyh2 {

class HttpGet {
public:
    enum class Sent {
        NotSent,    // not an http(s) address, or WinINet could not make the request
        Answered,   // the server answered (with any status): request() holds the answer
        Unreached,  // no answer: not reached within the limit, refused, or silent past the
                    // receive limit
        Stopped,    // stop() held before the answer came
    };

    HttpGet(const std::string& url, const std::string& headers, DWORD reachMs, DWORD receiveMs,
            const std::function<bool()>& stop);
    ~HttpGet();
    HttpGet(const HttpGet&) = delete;
    HttpGet& operator=(const HttpGet&) = delete;

    Sent sent() const { return sent_; }
    // The request handle, answered or not (nullptr when there is none).
    HINTERNET request() const;

private:
    struct Sending;
    static void CALLBACK OnRequestStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD);
    Sent Send(const std::string& headers, DWORD reachMs, const std::function<bool()>& stop);

    std::shared_ptr<Sending> sending_;
    Sent sent_ = Sent::NotSent;
};

}  // namespace xcyh2
