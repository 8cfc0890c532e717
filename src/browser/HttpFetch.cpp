#include "browser/HttpFetch.h"

#include <wininet.h>

#include <thread>

#include "base/SystemLibraries.h"
#include "base/win_handles.h"

namespace xcyh2::browser {

std::shared_ptr<Fetch> Fetch::Start(const std::wstring& url, HWND notify, UINT message, WPARAM id) {
    auto fetch = std::make_shared<Fetch>();
    fetch->url_ = url;
    fetch->notify_ = notify;
    fetch->message_ = message;
    fetch->id_ = id;
    // The worker holds its own reference: the state outlives whichever side finishes last.
    std::thread([fetch] { fetch->Run(); }).detach();
    return fetch;
}

FetchResult Fetch::TakeResult() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::move(result_);
}

namespace {

std::string QueryText(HINTERNET request, DWORD what) {
    char buffer[1024];
    DWORD size = sizeof(buffer) - 1;
    DWORD index = 0;
    if (!sys::wininet().HttpQueryInfoA.call_or(FALSE, request, what, buffer, &size, &index)) return {};
    return std::string(buffer, size);
}

bool QueryNumber(HINTERNET request, DWORD what, DWORD& value) {
    DWORD size = sizeof(value);
    DWORD index = 0;
    return sys::wininet().HttpQueryInfoW.call_or(FALSE, request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size,
                                                 &index) != FALSE;
}

}  // namespace

void Fetch::Run() {
    FetchResult result;
    result.finalUrl = url_;
    unique_hinternet session(sys::wininet().InternetOpenW.call_or(nullptr,
                                                                  L"Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 6.1)",
                                                                  INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (session) {
        DWORD timeout = kTimeoutMs;
        sys::wininet().InternetSetOptionW.call_or(FALSE, session.get(), INTERNET_OPTION_CONNECT_TIMEOUT, &timeout,
                                                  sizeof(timeout));
        sys::wininet().InternetSetOptionW.call_or(FALSE, session.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout,
                                                  sizeof(timeout));
        sys::wininet().InternetSetOptionW.call_or(FALSE, session.get(), INTERNET_OPTION_SEND_TIMEOUT, &timeout,
                                                  sizeof(timeout));
        sys::wininet().InternetSetOptionW.call_or(FALSE, session.get(), INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &timeout,
                                                  sizeof(timeout));
        DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI;
        unique_hinternet request(
            sys::wininet().InternetOpenUrlW.call_or(nullptr, session.get(), url_.c_str(), nullptr, 0, flags, 0));
        if (!request) {
            DWORD error = ::GetLastError();
            result.outcome = (error == ERROR_INTERNET_INVALID_URL || error == ERROR_INTERNET_UNRECOGNIZED_SCHEME)
                                 ? FetchResult::Outcome::kBadAddress
                                 : FetchResult::Outcome::kNoConnection;
        } else {
            result.outcome = FetchResult::Outcome::kOk;
            QueryNumber(request.get(), HTTP_QUERY_STATUS_CODE, result.status);
            result.contentType = QueryText(request.get(), HTTP_QUERY_CONTENT_TYPE);
            DWORD announced = 0;
            bool hasLength = QueryNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH, announced);
            wchar_t finalUrl[2048];
            DWORD size = sizeof(finalUrl);
            if (sys::wininet().InternetQueryOptionW.call_or(FALSE, request.get(), INTERNET_OPTION_URL, finalUrl, &size))
                result.finalUrl = finalUrl;
            char buffer[16384];
            for (;;) {
                if (cancelled_) return;
                DWORD got = 0;
                if (!sys::wininet().InternetReadFile.call_or(FALSE, request.get(), buffer, sizeof(buffer), &got)) {
                    result.incomplete = true;
                    break;
                }
                if (got == 0) break;
                std::size_t room = kMaxBody - result.body.size();
                if (got > room) {
                    result.body.append(buffer, room);
                    result.truncated = true;
                    break;
                }
                result.body.append(buffer, got);
            }
            if (hasLength && !result.truncated && result.body.size() < announced) result.incomplete = true;
        }
    }
    if (cancelled_) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = std::move(result);
    }
    done_ = true;
    if (!cancelled_) ::PostMessageW(notify_, message_, id_, 0);
}

}  // namespace xcyh2::browser
