#include "update/SideDownload.h"

#include <windows.h>

#include <utility>

#include "forms/Application.h"

namespace xcyh2 {

SideDownload::SideDownload(std::wstring url, std::wstring saveFile, bool hidden, std::uint64_t maxBytes)
    : done_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    download_.maxBytes = maxBytes;
    download_.Verify = [this](HANDLE) { return MayPutInPlace(); };
    work_ = BackgroundWork([this, url = std::move(url), saveFile = std::move(saveFile), hidden] {
        // Told on every way out, an exception's too.
        struct Done {
            SideDownload& self;
            ~Done() {
                self.finished_ = true;
                if (self.done_) ::SetEvent(self.done_.get());
            }
        } done{*this};
        download_.DownLoadFile(url, saveFile, hidden, false);
    });
}

SideDownload::~SideDownload() {
    if (!finished_) StopAndWait();
    work_.Wait();
}

CDownLoadFile::End SideDownload::Finish(const CDownLoadFile& beside) {
    // Stopped before its file was in place: the earlier one stays, and so does this one's.
    auto keptEarlier = [&beside] { return beside.Stopped() && beside.LastEnd() != CDownLoadFile::End::Saved; };
    Decide(keptEarlier());
    HANDLE done = done_.get();
    while (!finished_) {
        // Woken at once by the end or by a message; the time limit only matters when a stop
        // has to be given again.
        if (done) ::MsgWaitForMultipleObjects(1, &done, FALSE, 10, QS_ALLINPUT);
        else ::Sleep(10);
        forms::Application::DoEvents();
        if (beside.Stopped()) {
            Decide(keptEarlier());
            download_.StopDownLoad();
        }
    }
    work_.Wait();
    return download_.LastEnd();
}

bool SideDownload::MayPutInPlace() {
    std::unique_lock<std::mutex> hold(lock_);
    decidedChanged_.wait(hold, [this] { return decided_; });
    return !stopped_;
}

void SideDownload::Decide(bool stopped) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        decided_ = true;
        stopped_ = stopped_ || stopped;
    }
    decidedChanged_.notify_all();
}

void SideDownload::StopAndWait() {
    Decide(true);
    // A download clears its stop flag as it starts: the stop is given until the thread is done.
    while (!finished_) {
        download_.StopDownLoad();
        if (done_) ::WaitForSingleObject(done_.get(), 10);
        else ::Sleep(10);
    }
}

}  // namespace xcyh2
