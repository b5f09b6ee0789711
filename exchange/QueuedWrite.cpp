#include "exchange/QueuedWrite.h"

#include <utility>

namespace exchange {

QueuedWrite::QueuedWrite(platform::FileReplacement& file)
    : file_(file), thread_([this] { run(); }) {}

QueuedWrite::~QueuedWrite() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void QueuedWrite::waitIdle(std::unique_lock<std::mutex>& lock) {
    changed_.wait(lock, [this] { return !busy_; });
    if (error_) {
        std::rethrow_exception(std::exchange(error_, nullptr));
    }
}

void QueuedWrite::write(QByteArray& buffer) {
    {
        std::unique_lock lock(mutex_);
        waitIdle(lock);
        std::swap(inFlight_, buffer);
        busy_ = true;
    }
    changed_.notify_all();
    buffer.resize(0); // the room of the buffer written before
}

void QueuedWrite::finish() {
    std::unique_lock lock(mutex_);
    waitIdle(lock);
}

void QueuedWrite::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stop_; });
        if (!busy_) {
            return;
        }
        lock.unlock();
        std::exception_ptr error;
        try {
            file_.write(inFlight_);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        error_ = error;
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace exchange
