#pragma once
// One worker thread that takes requests in the order they were queued, one
// at a time, so that slow file work never holds up the GUI thread. An owner
// whose handler uses its other members declares its queue last.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace gui {

template <typename Request>
class WorkQueue {
public:
    // Worker thread: handles one request; stop is asked for once the queue
    // goes away, so that a long request can end early.
    using Handler = std::function<void(Request request, const std::stop_token& stop)>;

    explicit WorkQueue(Handler handle)
        : handle_(std::move(handle)), worker_([this](std::stop_token stop) { work(stop); }) {}
    // Going away stops the worker after the request it is at (the jthread
    // asks it to stop, which wakes the wait) and drops the rest.

    // Any thread.
    void push(Request request) { pushAll(std::deque<Request>{std::move(request)}); }
    template <typename Requests>
    void pushAll(const Requests& requests) {
        {
            std::lock_guard lock(mutex_);
            requests_.insert(requests_.end(), requests.begin(), requests.end());
        }
        wake_.notify_all();
    }

private:
    void work(const std::stop_token& stop) {
        for (;;) {
            Request request;
            {
                std::unique_lock lock(mutex_);
                if (!wake_.wait(lock, stop, [this] { return !requests_.empty(); })) return;
                request = std::move(requests_.front());
                requests_.pop_front();
            }
            handle_(std::move(request), stop);
        }
    }

    Handler handle_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<Request> requests_;
    std::jthread worker_;  // last: stopped and joined before the rest goes
};

}  // namespace gui
