#pragma once

// The large writes of the table exports, made on a thread of their own: while the system copies one
// buffer into the file, the next is laid out. One buffer is in flight at a time.

#include "platform/FileReplacement.h"

#include <QByteArray>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace exchange {

class QueuedWrite {
public:
    // `file` must outlive this object.
    explicit QueuedWrite(platform::FileReplacement& file);
    // Waits for the write in flight; its error, if any, is dropped with the file.
    ~QueuedWrite();
    QueuedWrite(const QueuedWrite&) = delete;
    QueuedWrite& operator=(const QueuedWrite&) = delete;

    // Hands the bytes of `buffer` over to be written and leaves `buffer` empty, with room kept.
    // Raises the error (platform::FileWriteError) of an earlier write that failed.
    void write(QByteArray& buffer);
    // Waits until every byte handed over is in the file; raises the error of a write that failed.
    void finish();

private:
    void run();
    // Waits for the write in flight; the caller holds `lock`.
    void waitIdle(std::unique_lock<std::mutex>& lock);

    platform::FileReplacement& file_;
    std::mutex mutex_;
    std::condition_variable changed_;
    QByteArray inFlight_;
    bool busy_ = false;
    bool stop_ = false;
    std::exception_ptr error_;
    std::thread thread_; // last: started once the rest is ready
};

} // namespace exchange
