#pragma once

// The large writes of the table exports, made on a thread of their own: while the system copies one
// buffer into the file, the next is laid out. One buffer is in flight at a time.

#include "common/WorkerQueue.h"
#include "platform/FileReplacement.h"

#include <QByteArray>

namespace exchange {

class QueuedWrite {
public:
    // `file` must outlive this object.
    explicit QueuedWrite(platform::FileReplacement& file);
    // Waits for the write in flight; its error, if any, is dropped with the file.
    ~QueuedWrite() = default;
    QueuedWrite(const QueuedWrite&) = delete;
    QueuedWrite& operator=(const QueuedWrite&) = delete;

    // Hands the bytes of `buffer` over to be written and leaves `buffer` empty, with room kept.
    // Raises the error (platform::FileWriteError) of an earlier write that failed.
    void write(QByteArray& buffer) { queue_.hand(buffer); }
    // Waits until every byte handed over is in the file; raises the error of a write that failed.
    void finish() { queue_.finish(); }

private:
    common::WorkerQueue<QByteArray> queue_;
};

} // namespace exchange
