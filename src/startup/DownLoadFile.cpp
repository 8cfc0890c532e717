#include "startup/DownLoadFile.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <limits>

#include "base/PartFile.h"
#include "base/SystemLibraries.h"
#include "base/ansi.h"
#include "base/win_handles.h"
#include "forms/Application.h"

namespace xcyh2 {
namespace {

constexpr DWORD kChunkBytes = 8192;

// Letting window messages through costs a call into the window system even when none are pending
// (under Wine a round trip to its server); after every piece, that was nearly half the time of a
// fast download. So it is done only when this long has passed since the last time, which on a
// slow line, where every piece is waited for, is still after every piece.
constexpr DWORD kPumpEveryMs = 10;

// Lets pending window messages through, at most every kPumpEveryMs. The first call always does,
// so that what was pending when the download began (a stop) is seen after its first piece.
class Pump {
public:
    void operator()() {
        if (::GetTickCount() - last_ < kPumpEveryMs) return;
        forms::Application::DoEvents();
        last_ = ::GetTickCount();
    }

private:
    DWORD last_ = ::GetTickCount() - kPumpEveryMs;
};

// The Content-Length as a number; 0 when it is absent, not a number or beyond 32 bits (the
// events report lengths in 32 bits).
std::uint32_t QueryContentLength(HINTERNET request) {
    char text[32] = {};
    DWORD size = sizeof(text) - 1;
    DWORD index = 0;
    if (!sys::wininet().HttpQueryInfoA.call_or(FALSE, request, HTTP_QUERY_CONTENT_LENGTH, text, &size, &index))
        return 0;
    std::uint64_t length = 0;
    DWORD digits = 0;
    for (DWORD i = 0; i < size && text[i] != '\0'; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        length = length * 10 + static_cast<std::uint64_t>(text[i] - '0');
        if (length > std::numeric_limits<std::uint32_t>::max()) return 0;
        ++digits;
    }
    return digits ? static_cast<std::uint32_t>(length) : 0;
}

// One GET of an http:// or https:// address: the connection to its host and the request on it.
// The time limits are set on the request itself too: Wine's WinINet takes the receive limit only
// from there, and with it on the session alone a server that never answers holds the call for
// ever.
struct Get {
    unique_hinternet connection;  // released after the request
    unique_hinternet request;
};

Get OpenGet(HINTERNET session, const std::string& url, DWORD receiveTimeout) {
    sys::WinInet& wininet = sys::wininet();
    // Lengths of 1 with no buffers: the parts are handed back as pointers into url.
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!wininet.InternetCrackUrlA.call_or(FALSE, url.c_str(), static_cast<DWORD>(url.size()), DWORD(0), &parts))
        return {};
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return {};
    std::string host(parts.lpszHostName, parts.dwHostNameLength);
    std::string path = std::string(parts.lpszUrlPath ? parts.lpszUrlPath : "", parts.dwUrlPathLength) +
                       std::string(parts.lpszExtraInfo ? parts.lpszExtraInfo : "", parts.dwExtraInfoLength);
    if (path.empty()) path = "/";
    Get get;
    get.connection.reset(wininet.InternetConnectA.call_or(HINTERNET(nullptr), session, host.c_str(), parts.nPort,
                                                          LPCSTR(nullptr), LPCSTR(nullptr), DWORD(INTERNET_SERVICE_HTTP),
                                                          DWORD(0), DWORD_PTR(0)));
    if (!get.connection) return {};
    // What the system's own "open this address" asks for: anything, always from the server, and
    // no second copy in the browser cache, since the file itself is what the caller keeps.
    LPCSTR accept[] = {"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                  (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    get.request.reset(wininet.HttpOpenRequestA.call_or(HINTERNET(nullptr), get.connection.get(), LPCSTR(nullptr),
                                                       path.c_str(), LPCSTR(nullptr), LPCSTR(nullptr), accept, flags,
                                                       DWORD_PTR(0)));
    if (!get.request) return {};
    wininet.InternetSetOptionA.call_or(FALSE, get.request.get(), DWORD(INTERNET_OPTION_RECEIVE_TIMEOUT),
                                       static_cast<LPVOID>(&receiveTimeout), DWORD(sizeof(receiveTimeout)));
    if (!wininet.HttpSendRequestA.call_or(FALSE, get.request.get(), LPCSTR(nullptr), DWORD(0), LPVOID(nullptr),
                                          DWORD(0)))
        return {};
    return get;
}

// The system refuses to replace a file that is open without delete sharing, as a running
// program's file is.
bool InUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool CDownLoadFile::DownLoadFile(const std::wstring& strURLFile, const std::wstring& strSaveFile, bool bHidden,
                                 bool bRaiseEvent) {
    stop_ = false;
    bool result = Transfer(strURLFile, strSaveFile, bHidden, bRaiseEvent);
    if (bRaiseEvent && Complete) Complete();
    return result;
}

bool CDownLoadFile::Transfer(const std::wstring& url, const std::wstring& saveFile, bool hidden, bool raiseEvents) {
    unique_hinternet session(
        sys::wininet().InternetOpenA.call_or(nullptr, nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return false;
    DWORD connectTimeout = connectTimeoutMs;
    DWORD receiveTimeout = receiveTimeoutMs;
    sys::wininet().InternetSetOptionA.call_or(FALSE, session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeout,
                                              sizeof(connectTimeout));
    sys::wininet().InternetSetOptionA.call_or(FALSE, session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeout,
                                              sizeof(receiveTimeout));

    Get get = OpenGet(session.get(), WideToAnsi(url), receiveTimeout);
    unique_hinternet& request = get.request;
    if (!request) return false;

    DWORD status = 0;
    DWORD size = sizeof(status);
    DWORD index = 0;
    if (!sys::wininet().HttpQueryInfoA.call_or(FALSE, request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER,
                                               &status, &size, &index) ||
        status != 200) {
        return false;
    }
    std::uint32_t total = QueryContentLength(request.get());
    if (total == 0) return false;
    if (raiseEvents && QueryFileInfo) QueryFileInfo(total);

    PartFile part(saveFile, hidden);
    if (!part) return false;

    char buffer[kChunkBytes];
    std::uint64_t received = 0;
    sys::WinInet& wininet = sys::wininet();
    bool ended = false;
    Pump pump;
    while (!stop_ && !ended) {
        // A read returns only once its buffer is full or the body has ended: on a slow line one
        // chunk could hold the window for many seconds. So the chunk is read as it arrives,
        // and messages go through while it fills.
        DWORD got = 0;
        while (got < kChunkBytes) {
            DWORD available = 0, piece = 0;
            if (!wininet.InternetQueryDataAvailable.call_or(FALSE, request.get(), &available, 0, 0) ||
                available == 0 ||
                !wininet.InternetReadFile.call_or(FALSE, request.get(), buffer + got,
                                                  std::min(available, kChunkBytes - got), &piece) ||
                piece == 0) {
                ended = true;
                break;
            }
            got += piece;
            if (got == kChunkBytes) break;
            pump();
            if (stop_) break;
        }
        if (got == 0) break;
        if (!part.Write(buffer, got)) return false;
        received += got;
        if (raiseEvents && Loading) Loading(static_cast<std::uint32_t>(received));
        pump();
    }

    if (received >= total) return PutInPlace(part);
    // Stopped before the end: a success as far as the caller is concerned, but the partial
    // file goes and the earlier one stays.
    return stop_;
}

bool CDownLoadFile::PutInPlace(PartFile& part) {
    if (Verify) {
        // Copied first: the handler may replace the member.
        auto verify = Verify;
        if (!part.Close() || !verify(part.path())) return false;
    }
    DWORD start = ::GetTickCount();
    for (;;) {
        if (part.Commit()) return true;
        if (!InUse(part.LastError()) || ::GetTickCount() - start >= replaceRetryMs) return false;
        forms::Application::DoEvents();
        ::Sleep(100);
    }
}

}  // namespace xcyh2
