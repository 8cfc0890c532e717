// Downloads one resource over HTTP to a local file, synchronously, in chunks of at most 8192
// bytes (what has arrived, up to that), always from the server (never from the cache). Pending
// window messages are let through every few milliseconds (on a slow line after every piece), so
// the user interface stays live and StopDownLoad can be called from it.
//
// The file on disk is never left half written: the bytes go to a temporary file beside the
// target ("<target>.<process id>.part"), which replaces the target only when every announced
// byte has arrived and been written. Until then an earlier file of that name stays as it was.
//
// With resume on, a transfer that ends early keeps what it received in "<target>.part", and the
// next download of the same target asks the server only for the rest ("Range: bytes=N-"). The
// rest is appended only when the server answers with exactly that (RangeAnswer.h); any other
// answer starts the file afresh. Only a caller that checks the complete file (Verify) should
// resume: the bytes held may be from another version of the file.
//
// Used by the shell's update check and by the updater program, so it knows nothing of either.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace xcyh2 {

class PartFile;

class CDownLoadFile {
public:
    // Events, raised only when DownLoadFile is called with bRaiseEvent.
    std::function<void(std::uint32_t dwFileTotalLen)> QueryFileInfo;  // the Content-Length
    std::function<void(std::uint32_t dwRecivedLen)> Loading;          // bytes received so far
    std::function<void()> Complete;                                   // on every path, at the end

    // Time limits for reaching the server (resolving its name and connecting; held by the
    // download itself, see HttpGet.h) and for each wait for it after that, so that a server that
    // cannot be reached or stops answering cannot hold the caller for ever. While the server is
    // reached and answers, window messages are let through and StopDownLoad can be called.
    std::uint32_t connectTimeoutMs = 30000;
    std::uint32_t receiveTimeoutMs = 30000;

    // Optional check of a complete download before it takes the target's place: handed the
    // complete temporary file, open for reading (nobody else can change, rename or delete it
    // until it is in place: the bytes checked are the bytes put there), it returns false to
    // discard it, and DownLoadFile then returns false with the target as it was. A check may
    // let window messages through; a stop before it or during it ends the download as stopped,
    // with the target as it was.
    std::function<bool(HANDLE partFile)> Verify;
    // How long a replacement that the system refuses because the target is in use (a program
    // still running from it, a reader holding it) is tried again, letting pending window
    // messages through meanwhile. 0: not tried again.
    std::uint32_t replaceRetryMs = 0;
    // Keep and continue interrupted transfers, as above.
    bool resume = false;
    // The most a file may hold; 0: no limit. An answer that announces more is refused before a
    // byte of its body is read.
    std::uint64_t maxBytes = 0;

    // How the last DownLoadFile ended.
    enum class End {
        Saved,        // the whole file is in place
        Stopped,      // by StopDownLoad
        Unreached,    // no answer: the server was not reached within connectTimeoutMs (or
                      // refused the connection), or said nothing within receiveTimeoutMs; worth
                      // another try
        Interrupted,  // the server answered, and the transfer ended early: worth another try
                      // (with resume, what arrived is kept for it)
        Unverified,   // complete, but Verify refused it: it is gone, resumed or not
        Failed,       // refused by the server, or not written (nothing of it is kept), or not put
                      // in place
    };
    End LastEnd() const { return end_; }
    // Whether the server answered the last download (with any status, a refusal too).
    bool Answered() const { return answered_; }

    // Returns true when the whole resource was saved, or when the download was stopped with
    // StopDownLoad. A stopped download leaves the target as it was before, unless its last
    // chunk had already arrived and there was no Verify to run. False when nothing could be
    // fetched (no answer, a status other than 200 (or a fitting 206 when resuming), no or a zero
    // Content-Length, a length above 4 GiB - 1 or maxBytes), when the transfer ended before the
    // announced length or went on past it, or when the file could not be written or put in
    // place. LastEnd tells which.
    // bHidden gives the saved file the hidden attribute.
    bool DownLoadFile(const std::wstring& strURLFile, const std::wstring& strSaveFile, bool bHidden,
                      bool bRaiseEvent);

    // Ends a running download after its current chunk. May be called from any thread.
    void StopDownLoad() { stop_ = true; }
    // True from StopDownLoad until the next DownLoadFile.
    bool Stopped() const { return stop_; }

private:
    End Transfer(const std::wstring& url, const std::wstring& saveFile, bool hidden, bool raiseEvents);
    End PutInPlace(PartFile& part);

    std::atomic<bool> stop_ = false;
    bool answered_ = false;
    End end_ = End::Failed;
    // The full length the last answer gave for a target, to hold a resumed answer to.
    std::wstring knownFile_;
    std::uint64_t knownTotal_ = 0;
};

}  // namespace xcyh2
