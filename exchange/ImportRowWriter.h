#pragma once

#include "common/WorkerQueue.h"

#include <SQLiteCpp/SQLiteCpp.h>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace exchange {

// A new row of DOVAZOV as it is written: its texts in UTF-8, in table order from SEX to COMMENT,
// and its position when it has one.
struct ImportRow {
    std::optional<std::int16_t> period;
    std::optional<std::int32_t> n1;
    std::optional<std::int32_t> n2;
    std::array<std::optional<std::string>, 5> texts;
    std::optional<double> latitude;
    std::optional<double> longitude;
};

// Writes blocks of new rows into DOVAZOV on a thread of its own, many rows a statement, while the
// caller reads and converts the next block: an import then takes about the longer of the two
// rather than their sum. The connection is the caller's; the caller leaves it alone from the
// first `write` until `finish` returns. An error of writing comes back from the next `write` or
// from `finish`.
class ImportRowWriter {
public:
    explicit ImportRowWriter(SQLite::Database& db);
    // Stops the thread; a block not yet written is dropped (the caller rolls back).
    ~ImportRowWriter() = default;
    ImportRowWriter(const ImportRowWriter&) = delete;
    ImportRowWriter& operator=(const ImportRowWriter&) = delete;

    // Hands `rows` over and gives back, in `rows`, an emptied block to fill next; waits while
    // kMaxWaiting blocks handed over wait behind the one being written.
    void write(std::vector<ImportRow>& rows) { queue_.hand(rows); }
    // Waits until every block handed over is written.
    void finish() { queue_.finish(); }

private:
    void insert(SQLite::Statement& statement, const std::vector<ImportRow>& rows, std::size_t first,
                std::size_t count);
    void writeAll(const std::vector<ImportRow>& rows);

    SQLite::Statement insertMany_;
    SQLite::Statement insertOne_;
    // Blocks handed over and not yet taken: a few, so that neither side waits for the other
    // each time the system lets one of them run late.
    static constexpr std::size_t kMaxWaiting = 4;
    common::WorkerQueue<std::vector<ImportRow>> queue_; // last: its thread writes with the above
};

} // namespace exchange
