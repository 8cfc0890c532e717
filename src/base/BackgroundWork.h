// One piece of work on a thread of its own, for start-up work that needs no window. Wait()
// returns once the work is done; the owner going away waits too, so whatever the work touches
// is never released under it. An exception the work throws ends it there: it is reported to the
// event log, and the work counts as done.
#pragma once

#include <functional>
#include <thread>
#include <utility>

#include "base/EventLog.h"

namespace xcyh2 {

class BackgroundWork {
public:
    BackgroundWork() = default;
    explicit BackgroundWork(std::function<void()> work)
        : thread_([work = std::move(work)] {
              try {
                  work();
              } catch (...) {
                  ReportCurrentException(L"BackgroundWork");
              }
          }) {}
    ~BackgroundWork() { Wait(); }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;
    BackgroundWork(BackgroundWork&&) = default;
    BackgroundWork& operator=(BackgroundWork&& other) noexcept {
        Wait();
        thread_ = std::move(other.thread_);
        return *this;
    }

    void Wait() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

}  // namespace xcyh2
