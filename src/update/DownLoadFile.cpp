#include "update/DownLoadFile.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <limits>
#include <string>

#include "base/PartFile.h"
#include "base/SystemLibraries.h"
#include "base/ansi.h"
#include "forms/Application.h"
#include "update/HttpGet.h"
#include "update/RangeAnswer.h"

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

// A response header's text; empty when there is none.
std::string QueryHeader(HINTERNET request, DWORD info) {
    char text[128] = {};
    DWORD size = sizeof(text) - 1;
    DWORD index = 0;
    if (!sys::wininet().HttpQueryInfoA.call_or(FALSE, request, info, text, &size, &index)) return {};
    return std::string(text, std::min<DWORD>(size, sizeof(text) - 1));
}

// The Content-Length as a number; 0 when it is absent or not a number.
std::uint64_t QueryContentLength(HINTERNET request) {
    std::string text = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH);
    std::uint64_t length = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || length > (std::numeric_limits<std::uint64_t>::max() - 9) / 10) return 0;
        length = length * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return length;
}

DWORD QueryStatus(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    DWORD index = 0;
    if (!sys::wininet().HttpQueryInfoA.call_or(FALSE, request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                               &size, &index))
        return 0;
    return status;
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
    answered_ = false;
    end_ = Transfer(strURLFile, strSaveFile, bHidden, bRaiseEvent);
    if (bRaiseEvent && Complete) Complete();
    return end_ == End::Saved || end_ == End::Stopped;
}

CDownLoadFile::End CDownLoadFile::Transfer(const std::wstring& url, const std::wstring& saveFile, bool hidden,
                                           bool raiseEvents) {
    // A kept part file is opened first: what it holds decides what is asked for.
    PartFile part(saveFile, hidden, resume ? PartFile::Kind::Kept : PartFile::Kind::PerProcess);
    if (!part) return End::Failed;
    std::optional<std::uint64_t> knownTotal;
    if (knownFile_ == saveFile) knownTotal = knownTotal_;

    // One request, and a second for the whole file when the answer to a resumed one is of no use.
    std::optional<HttpGet> get;
    AnswerPlan plan;
    for (;;) {
        std::uint64_t held = part.Size();
        std::string range = held ? "Range: bytes=" + std::to_string(held) + "-\r\n" : std::string();
        get.emplace(WideToAnsi(url), range, connectTimeoutMs, receiveTimeoutMs, [this] { return stop_.load(); });
        switch (get->sent()) {
            case HttpGet::Sent::NotSent: return End::Failed;
            case HttpGet::Sent::Unreached: return End::Unreached;
            case HttpGet::Sent::Stopped: return End::Stopped;
            case HttpGet::Sent::Answered: break;
        }
        answered_ = true;
        HINTERNET request = get->request();
        std::string contentRange = QueryHeader(request, HTTP_QUERY_CONTENT_RANGE);
        plan = DecideAnswer(held, knownTotal, Answer{QueryStatus(request), QueryContentLength(request), contentRange});
        // The events report lengths in 32 bits; and a caller may know how big the file can be.
        // A refused answer leaves what is held as it was.
        if (plan.use == AnswerUse::Refuse || plan.total > std::numeric_limits<std::uint32_t>::max() ||
            (maxBytes && plan.total > maxBytes))
            return End::Failed;
        if (plan.use == AnswerUse::Write && held && !part.Truncate()) return End::Failed;
        if (plan.use != AnswerUse::Restart) break;
        if (!part.Truncate()) return End::Failed;
        knownTotal.reset();
    }
    knownFile_ = saveFile;
    knownTotal_ = plan.total;
    auto total = static_cast<std::uint32_t>(plan.total);
    HINTERNET request = get->request();
    if (raiseEvents && QueryFileInfo) QueryFileInfo(total);
    // A resumed transfer reports the bytes it holds first.
    if (part.Size() && raiseEvents && Loading) Loading(static_cast<std::uint32_t>(part.Size()));

    char buffer[kChunkBytes];
    sys::WinInet& wininet = sys::wininet();
    bool ended = false;
    Pump pump;
    while (!stop_ && !ended) {
        // A read returns only once its buffer is full or the body has ended: on a slow line one
        // chunk could hold the window for many seconds. So the chunk is read as it arrives,
        // and messages go through while it fills.
        // No more is read than the answer announced, and one byte: a body that goes on past its
        // length (chunked, or a connection that is not closed) is not the file that was asked for.
        std::uint64_t room = total - std::min<std::uint64_t>(part.Size(), total) + 1;
        DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(kChunkBytes, room));
        DWORD got = 0;
        while (got < chunk) {
            DWORD available = 0, piece = 0;
            if (!wininet.InternetQueryDataAvailable.call_or(FALSE, request, &available, 0, 0) || available == 0 ||
                !wininet.InternetReadFile.call_or(FALSE, request, buffer + got, std::min(available, chunk - got),
                                                  &piece) ||
                piece == 0) {
                ended = true;
                break;
            }
            got += piece;
            if (got == chunk) break;
            pump();
            if (stop_) break;
        }
        if (got == 0) break;
        if (got >= room) {
            // Longer than announced: neither it nor what it was appended to can be trusted.
            part.Discard();
            return End::Failed;
        }
        if (!part.Write(buffer, got)) {
            // A full disk, say: what was written is of no use to a later try either.
            part.Discard();
            return End::Failed;
        }
        if (raiseEvents && Loading) Loading(static_cast<std::uint32_t>(part.Size()));
        pump();
    }

    if (part.Size() >= total) return PutInPlace(part);
    // Stopped before the end: a success as far as the caller is concerned, but the earlier file
    // stays; the partial one goes, unless it is kept for a later try.
    return stop_ ? End::Stopped : End::Interrupted;
}

CDownLoadFile::End CDownLoadFile::PutInPlace(PartFile& part) {
    // The last bytes may go out only now: a part that cannot be written out is of no use later.
    if (!part.Finish()) {
        part.Discard();
        return End::Failed;
    }
    if (Verify) {
        // Copied first: the handler may replace the member.
        auto verify = Verify;
        bool verified = !stop_ && verify(part.handle());
        // Stopped before the check was done: the target stays as it was (a kept part stays too).
        if (stop_) return End::Stopped;
        if (!verified) {
            part.Discard();
            return End::Unverified;
        }
    }
    DWORD start = ::GetTickCount();
    for (;;) {
        if (part.Commit()) return End::Saved;
        if (!InUse(part.LastError()) || ::GetTickCount() - start >= replaceRetryMs) return End::Failed;
        forms::Application::DoEvents();
        ::Sleep(100);
    }
}

}  // namespace xcyh2
