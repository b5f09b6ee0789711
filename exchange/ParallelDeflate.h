#pragma once

// One raw deflate stream compressed on several threads while the caller goes on producing its
// bytes. The bytes come in pieces; each piece is deflated on its own, primed with the 32 KB before
// it, and ends on a byte boundary (an empty stored block, Z_SYNC_FLUSH) so that the pieces laid end
// to end make one stream, which the last piece closes. Each piece's CRC-32 is combined in order.
// The deflated bytes go to the sink in order, on the caller's thread, so a failed write is raised
// there. Memory stays at a few pieces per thread, whatever the length of the stream.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace exchange {

class ParallelDeflate {
public:
    using Sink = std::function<void(QByteArrayView)>;

    // The bytes of a piece the caller fills before handing it over.
    static constexpr std::size_t kPieceBytes = 1 << 20;

    // `target` names the file in errors.
    ParallelDeflate(int level, Sink out, const QString& target, int threads = DefaultThreads());
    ~ParallelDeflate();
    ParallelDeflate(const ParallelDeflate&) = delete;
    ParallelDeflate& operator=(const ParallelDeflate&) = delete;

    // A buffer of at least kPieceBytes to fill: one handed back by an earlier piece when there is.
    std::vector<char> buffer();
    // Hands over the first `used` bytes of `piece` as the next piece of the stream.
    void push(std::vector<char> piece, std::size_t used);
    // Closes the stream with `used` bytes of `piece` and waits until every byte is in the sink.
    void finish(std::vector<char> piece, std::size_t used);

    // Of the bytes before deflating, once finished.
    std::uint32_t crc() const { return crc_; }
    std::uint64_t size() const { return size_; }

    // As many threads as the machine has cores, from 2 to 4.
    static int DefaultThreads();

private:
    struct Piece;

    void hand(std::vector<char> piece, std::size_t used, bool last);
    // Writes the finished pieces at the head of the order; with `wait`, waits for the first one.
    void drain(bool wait);
    void work();

    int level_;
    Sink out_;
    QString target_;
    std::mutex mutex_;
    std::condition_variable toDo_;
    std::condition_variable done_;
    std::deque<std::shared_ptr<Piece>> queue_;   // pieces no thread has taken yet
    std::deque<std::shared_ptr<Piece>> inOrder_; // pieces not yet written, in stream order
    bool stopping_ = false;
    std::vector<std::vector<char>> free_; // buffers of written pieces, to fill again
    std::vector<char> dictionary_;        // the last 32 KB of the previous piece
    std::uint32_t crc_ = 0;
    std::uint64_t size_ = 0;
    std::size_t maxInFlight_;
    std::vector<std::jthread> threads_; // last: they stop before the rest goes
};

} // namespace exchange
