#pragma once

// A thread of its own that consumes, in order, the items a producer hands over, so that the
// producer lays out the next item while the last is consumed. Emptied items come back to the
// producer as spares, their room kept, so that a long run allocates its items once.

#include <cassert>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace common {

template <typename Item> class WorkerQueue {
public:
    // Consumes one item on the worker thread; what it throws comes back to the producer.
    using Consume = std::function<void(Item&)>;
    // Empties a consumed item and keeps its room, on the worker thread.
    using Empty = std::function<void(Item&)>;

    // At most `maxPending` (1 or more) items handed over are not yet consumed at a time, the one
    // being consumed included. What the functions refer to must outlive this object.
    WorkerQueue(std::size_t maxPending, Consume consume, Empty empty)
        : maxPending_(maxPending), consume_(std::move(consume)), empty_(std::move(empty)),
          thread_([this] { run(); }) {
        assert(maxPending >= 1); // with none allowed, a hand-over would wait for ever
    }
    // Waits for the item being consumed; the items still waiting are dropped, and an error not
    // yet handed back with them.
    ~WorkerQueue() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    WorkerQueue(const WorkerQueue&) = delete;
    WorkerQueue& operator=(const WorkerQueue&) = delete;

    // Hands `item` over and leaves in it an emptied spare (or a new item), after waiting while
    // `maxPending` items are not yet consumed. Raises, instead, the error of an earlier item
    // whose consumer failed, once; the items handed over behind that one were dropped.
    void hand(Item& item) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return pending() < maxPending_ || error_; });
            rethrowError();
            waiting_.push_back(std::move(item));
            item = Item{};
            if (!spares_.empty()) {
                std::swap(item, spares_.back());
                spares_.pop_back();
            }
        }
        changed_.notify_all();
    }

    // Waits until every item handed over is consumed; raises the error of one that failed, once.
    void finish() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pending() == 0 || error_; });
        rethrowError();
    }

private:
    std::size_t pending() const { return waiting_.size() + (busy_ ? 1 : 0); }

    void rethrowError() {
        if (error_) {
            std::rethrow_exception(std::exchange(error_, nullptr));
        }
    }

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait(lock, [this] { return !waiting_.empty() || stop_; });
            if (stop_) {
                return;
            }
            Item item = std::move(waiting_.front());
            waiting_.pop_front();
            busy_ = true;
            lock.unlock();
            std::exception_ptr error;
            try {
                consume_(item);
            } catch (...) {
                error = std::current_exception();
            }
            empty_(item); // here rather than by the producer
            lock.lock();
            busy_ = false;
            spares_.push_back(std::move(item));
            if (error) {
                error_ = error;
                // What follows a failed item is not consumed: the producer's run is failing.
                for (Item& dropped : waiting_) {
                    empty_(dropped);
                    spares_.push_back(std::move(dropped));
                }
                waiting_.clear();
            }
            changed_.notify_all();
        }
    }

    const std::size_t maxPending_;
    const Consume consume_;
    const Empty empty_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> waiting_; // handed over, not yet taken by the worker
    std::vector<Item> spares_; // consumed and emptied, to be filled again
    bool busy_ = false;        // the worker is consuming an item
    bool stop_ = false;
    std::exception_ptr error_; // of a consumer, until handed back
    std::thread thread_;       // last: started once the rest is ready
};

} // namespace common
