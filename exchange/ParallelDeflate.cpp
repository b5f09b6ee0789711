#include "exchange/ParallelDeflate.h"

#include "platform/FileReplacement.h"

#include <QString>
#include <algorithm>
#include <string>
#include <zlib.h>

namespace exchange {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr int kMemLevel = 8;

} // namespace

struct ParallelDeflate::Piece {
    std::vector<char> input;
    std::size_t used = 0;
    std::vector<char> dictionary;
    bool last = false;
    QByteArray output;
    std::uint32_t crc = 0;
    int error = Z_OK;
    bool done = false;
};

int ParallelDeflate::DefaultThreads() {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 2, 4);
}

ParallelDeflate::ParallelDeflate(int level, Sink out, const QString& target, int threads)
    : level_(level), out_(std::move(out)), target_(target),
      maxInFlight_(2 * static_cast<std::size_t>(threads)) {
    for (int i = 0; i < threads; ++i) {
        threads_.emplace_back([this] { work(); });
    }
}

ParallelDeflate::~ParallelDeflate() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    toDo_.notify_all();
    threads_.clear(); // joins
}

std::vector<char> ParallelDeflate::buffer() {
    if (free_.empty()) {
        return std::vector<char>(kPieceBytes);
    }
    std::vector<char> piece = std::move(free_.back());
    free_.pop_back();
    return piece;
}

void ParallelDeflate::push(std::vector<char> piece, std::size_t used) {
    hand(std::move(piece), used, false);
}

void ParallelDeflate::finish(std::vector<char> piece, std::size_t used) {
    hand(std::move(piece), used, true);
    while (!inOrder_.empty()) {
        drain(true);
    }
}

void ParallelDeflate::hand(std::vector<char> piece, std::size_t used, bool last) {
    auto next = std::make_shared<Piece>();
    next->dictionary = std::move(dictionary_);
    const std::size_t kept = std::min(used, kWindow);
    dictionary_.assign(piece.begin() + static_cast<std::ptrdiff_t>(used - kept),
                       piece.begin() + static_cast<std::ptrdiff_t>(used));
    next->input = std::move(piece);
    next->used = used;
    next->last = last;
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(next);
        inOrder_.push_back(next);
    }
    toDo_.notify_one();
    drain(false);
    while (inOrder_.size() > maxInFlight_) {
        drain(true);
    }
}

void ParallelDeflate::drain(bool wait) {
    while (!inOrder_.empty()) {
        const std::shared_ptr<Piece> head = inOrder_.front();
        {
            std::unique_lock lock(mutex_);
            if (!head->done) {
                if (!wait) {
                    return;
                }
                done_.wait(lock, [&] { return head->done; });
            }
        }
        inOrder_.pop_front();
        wait = false;
        if (head->error != Z_OK) {
            throw platform::FileWriteError(
                QStringLiteral("zlib could not deflate the data (error %1)").arg(head->error),
                target_);
        }
        out_(head->output);
        crc_ = static_cast<std::uint32_t>(
            crc32_combine(crc_, head->crc, static_cast<z_off_t>(head->used)));
        size_ += head->used;
        free_.push_back(std::move(head->input));
    }
}

void ParallelDeflate::work() {
    z_stream stream{};
    const int ready =
        deflateInit2(&stream, level_, Z_DEFLATED, -MAX_WBITS, kMemLevel, Z_DEFAULT_STRATEGY);
    while (true) {
        std::shared_ptr<Piece> piece;
        {
            std::unique_lock lock(mutex_);
            toDo_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) {
                break;
            }
            piece = queue_.front();
            queue_.pop_front();
        }
        int code = ready;
        if (code == Z_OK) {
            deflateReset(&stream);
            if (!piece->dictionary.empty()) {
                code = deflateSetDictionary(
                    &stream, reinterpret_cast<const Bytef*>(piece->dictionary.data()),
                    static_cast<uInt>(piece->dictionary.size()));
            }
        }
        if (code == Z_OK) {
            // Room for the worst case and the flush marker; grown if ever short.
            piece->output.resize(static_cast<qsizetype>(
                deflateBound(&stream, static_cast<uLong>(piece->used)) + 64));
            stream.next_in = reinterpret_cast<Bytef*>(piece->input.data());
            stream.avail_in = static_cast<uInt>(piece->used);
            stream.next_out = reinterpret_cast<Bytef*>(piece->output.data());
            stream.avail_out = static_cast<uInt>(piece->output.size());
            const int flush = piece->last ? Z_FINISH : Z_SYNC_FLUSH;
            while (true) {
                code = deflate(&stream, flush);
                const bool complete =
                    piece->last ? code == Z_STREAM_END : code == Z_OK && stream.avail_out > 0;
                if (complete || (code != Z_OK && code != Z_BUF_ERROR)) {
                    break;
                }
                const qsizetype written = piece->output.size() - stream.avail_out;
                piece->output.resize(piece->output.size() * 2);
                stream.next_out = reinterpret_cast<Bytef*>(piece->output.data() + written);
                stream.avail_out = static_cast<uInt>(piece->output.size() - written);
            }
            piece->output.resize(piece->output.size() - stream.avail_out);
            code = code == Z_STREAM_END ? Z_OK : code;
            piece->crc = static_cast<std::uint32_t>(
                crc32(0, reinterpret_cast<const Bytef*>(piece->input.data()),
                      static_cast<uInt>(piece->used)));
        }
        {
            const std::lock_guard lock(mutex_);
            piece->error = code;
            piece->done = true;
        }
        done_.notify_all();
    }
    if (ready == Z_OK) {
        deflateEnd(&stream);
    }
}

} // namespace exchange
