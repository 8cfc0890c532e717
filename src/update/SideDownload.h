// A second download that runs on a thread of its own while the caller makes its own download on
// its thread, so that the two take the time of one: the shell fetches the manifest's signature
// beside the manifest this way.
//
// The two stop together: when the caller's download is stopped (the window closed under it),
// this one stops too; and when the caller's file did not take its place, a file of this one
// that was complete meanwhile does not take the place of the earlier one either, so that the
// two files on disk stay a pair.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "base/BackgroundWork.h"
#include "base/win_handles.h"
#include "update/DownLoadFile.h"

namespace xcyh2 {

class SideDownload {
public:
    // Starts downloading url to saveFile (events off); maxBytes as CDownLoadFile's.
    SideDownload(std::wstring url, std::wstring saveFile, bool hidden, std::uint64_t maxBytes);
    // Stops it, if Finish has not waited for it, and waits for its thread.
    ~SideDownload();
    SideDownload(const SideDownload&) = delete;
    SideDownload& operator=(const SideDownload&) = delete;

    // Called once the caller's own download (`beside`) has returned: waits for this one, letting
    // window messages through meanwhile, as a download does; a stop of `beside`, before or
    // meanwhile, stops it. Returns how it ended.
    CDownLoadFile::End Finish(const CDownLoadFile& beside);

private:
    // On the thread, with the complete file: whether it may take its place, once the caller's
    // download has ended.
    bool MayPutInPlace();
    // Tells the thread how the caller's download ended.
    void Decide(bool stopped);
    // Stops this download until its thread has ended (a stop before its start would be lost).
    void StopAndWait();

    CDownLoadFile download_;
    std::mutex lock_;
    std::condition_variable decidedChanged_;
    bool decided_ = false;  // the caller's download has ended (guarded by lock_)
    bool stopped_ = false;  // ... or was stopped
    std::atomic<bool> finished_ = false;  // the thread's download has returned
    unique_handle done_;                  // set then too, to wake a wait
    BackgroundWork work_;   // last: the thread uses everything above
};

}  // namespace xcyh2
