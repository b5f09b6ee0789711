// The Paradox 3.x table (an unkeyed .db file, file version byte 3), written directly:
// - a header block of 2 KB: the record size, the header size, file type 2 (unkeyed), the data
//   block size in KB, the record and block counts, the first and last data blocks, the number of
//   fields, the version byte; from 0x58 the field types and sizes, a pointer slot for the table
//   name and one per field name, the table name in 79 bytes, the field names ending in NUL, the
//   field numbers and the sort order's name;
// - data blocks of 1, 2 or 4 KB, linked in file order: next block, previous block and the offset
//   of the last record (little-endian), then the records, one after the other.
// Paradox 3.x knows no Long Integer: numbers are Number fields (an 8-byte double, big-endian with
// the sign bit inverted for values from zero up and every bit inverted below zero). Texts are
// Alpha fields of their size, NUL-padded; the memo is kept as an Alpha field of 255 characters,
// since 3.x tables have no memo fields.

#include "document/ColumnStream.h"
#include "document/RecordSet.h"
#include "exchange/ByteLayout.h"
#include "exchange/ExportTable.h"
#include "exchange/QueuedWrite.h"
#include "exchange/StreamedFields.h"
#include "platform/FileReplacement.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace exchange {

namespace {

constexpr int kMemoAlpha = 255;
constexpr char kTypeAlpha = 0x01;
constexpr char kTypeNumber = 0x06;
constexpr int kNumberSize = 8;
constexpr char kVersion3 = 0x03;
constexpr char kUnkeyed = 0x02;
constexpr int kHeaderUnit = 0x800;
constexpr int kFieldArray = 0x58;
constexpr int kTableNameBytes = 79;
constexpr int kBlockHeader = 6;
// Block numbers are 16-bit; 3.x blocks are 1, 2 or 4 KB.
constexpr std::int64_t kMaxBlocks = 0xFFFF;
constexpr std::array<int, 3> kBlockKilobytes{1, 2, 4};
constexpr const char* kSortOrder = "ascii";

int FieldSize(const ExportColumn& column) {
    switch (column.type) {
    case ColumnType::Long:
    case ColumnType::Single:
        return kNumberSize;
    case ColumnType::Text:
        return column.size;
    case ColumnType::Memo:
        return kMemoAlpha;
    }
    return 0;
}

int RecordSize(const std::vector<ExportColumn>& columns) {
    int size = 0;
    for (const ExportColumn& column : columns) {
        size += FieldSize(column);
    }
    return size;
}

std::int64_t RowsPerBlock(int kilobytes, int recordSize) {
    return (kilobytes * 1024 - kBlockHeader) / recordSize;
}

// The smallest block size whose 65,535 blocks hold the rows; 0 when none does.
int BlockKilobytes(std::int64_t rows, int recordSize) {
    for (const int kilobytes : kBlockKilobytes) {
        if (rows <= kMaxBlocks * RowsPerBlock(kilobytes, recordSize)) {
            return kilobytes;
        }
    }
    return 0;
}

void PutNumber(char* at, double value) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    bits = value < 0.0 ? ~bits : bits | 0x8000000000000000ULL;
    for (int i = 0; i < kNumberSize; ++i) {
        at[i] = static_cast<char>(bits >> (56 - 8 * i) & 0xFF);
    }
}

class ParadoxTable final : public TableWriter {
public:
    ParadoxTable(const QString& path, const QString& tableName,
                 const std::vector<ExportColumn>& columns, std::int64_t rowCount)
        : columns_(columns), rowCount_(rowCount), recordSize_(RecordSize(columns)),
          blockBytes_(BlockKilobytes(rowCount, recordSize_) * 1024),
          rowsPerBlock_(RowsPerBlock(BlockKilobytes(rowCount, recordSize_), recordSize_)),
          file_(path) {
        if (blockBytes_ == 0) {
            throw platform::FileWriteError(
                QStringLiteral("%1 records of %2 bytes do not fit a Paradox 3.x table")
                    .arg(rowCount)
                    .arg(recordSize_),
                path);
        }
        int offset = 0;
        for (const ExportColumn& column : columns) {
            sizes_.push_back(FieldSize(column));
            offsets_.push_back(offset);
            offset += sizes_.back();
        }
        file_.write(header(tableName));
        buffer_.reserve(kFlushBytes + blockBytes_);
    }

    void addRow(const std::vector<CellValue>& row) override {
        const qsizetype record = newRecord();
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (const auto* number = std::get_if<std::int32_t>(&row[i])) {
                putNumber(record, i, static_cast<double>(*number));
            } else if (const auto* single = std::get_if<float>(&row[i])) {
                putNumber(record, i, SingleAsDouble(*single));
            } else {
                text_.resize(0);
                platform::AppendWindows1252(text_, std::get<QString>(row[i]));
                putText(record, i, text_);
            }
        }
        rowDone();
        flushIfFull();
    }

    // The pieces of a record for WriteStreamedRecords: newRecord, then each field through
    // putSingle, putWhole, putText, putMemo or putLambert, then rowDone.
    // A record of NULs at the end of the blocks laid out, its block begun if it is the block's
    // first; its offset there.
    qsizetype newRecord() {
        if (rowsInBlock_ == 0) {
            startBlock();
        }
        const qsizetype at = buffer_.size();
        buffer_.resize(at + recordSize_);
        std::memset(buffer_.data() + at, 0, static_cast<std::size_t>(recordSize_));
        return at;
    }
    void putNumber(qsizetype record, std::size_t i, double value) {
        PutNumber(buffer_.data() + record + offsets_[i], value);
    }
    // Windows-1252 bytes in field i, cut at its size.
    void putText(qsizetype record, std::size_t i, QByteArrayView bytes) {
        PutCut(buffer_.data() + record + offsets_[i], bytes, sizes_[i]);
    }
    void putSingle(qsizetype record, std::size_t i, float value) {
        putNumber(record, i, SingleAsDouble(value));
    }
    void putWhole(qsizetype record, std::size_t i, std::int32_t value) {
        putNumber(record, i, value);
    }
    // X and Y, 0 and 0 for a record without them.
    void putLambert(qsizetype record, const std::optional<std::array<std::int32_t, 2>>& xy) {
        putNumber(record, 0, xy ? (*xy)[0] : 0);
        putNumber(record, 1, xy ? (*xy)[1] : 0);
    }
    // The memo, kept as text: refused when longer than its field.
    void putMemo(qsizetype record, std::size_t i, const QString& memo) {
        CheckParadoxMemo(columns_, memo, written_ + 1);
        if (memo != memo_) {
            memo_ = memo;
            memoBytes_ = platform::EncodeWindows1252(memo);
        }
        putText(record, i, memoBytes_);
    }
    void rowDone() {
        ++written_;
        if (++rowsInBlock_ == rowsPerBlock_) {
            endBlock();
        }
    }
    std::int64_t written() const { return written_; }
    // Writes the whole blocks laid out once they fill the buffer.
    void flushIfFull() {
        if (blockStart_ >= kFlushBytes) {
            open_.resize(0);
            open_.append(buffer_.constData() + blockStart_, buffer_.size() - blockStart_);
            buffer_.truncate(blockStart_);
            queue_.write(buffer_);
            buffer_.append(open_);
            blockStart_ = 0;
        }
    }

    void commit() override {
        CheckWrittenRows(written_, rowCount_, file_.resolvedTarget());
        if (rowsInBlock_ > 0) {
            endBlock();
        }
        queue_.finish();
        file_.write(buffer_);
        buffer_.clear();
        file_.commit();
    }

private:
    std::int64_t blockCount() const { return (rowCount_ + rowsPerBlock_ - 1) / rowsPerBlock_; }

    QByteArray header(const QString& tableName) const {
        const auto n = static_cast<std::uint32_t>(columns_.size());
        const auto blocks = static_cast<std::uint32_t>(blockCount());
        QByteArray names;
        for (const ExportColumn& column : columns_) {
            names += platform::EncodeWindows1252(column.name) + '\0';
        }
        QByteArray rest(kFieldArray, '\0');
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            rest += columns_[i].type == ColumnType::Long || columns_[i].type == ColumnType::Single
                        ? kTypeNumber
                        : kTypeAlpha;
            rest += static_cast<char>(sizes_[i]);
        }
        rest += QByteArray(4 + 4 * static_cast<qsizetype>(n), '\0'); // pointer slots, unused
        rest += platform::EncodeWindows1252(tableName)
                    .left(kTableNameBytes - 1)
                    .leftJustified(kTableNameBytes, '\0');
        rest += names;
        for (std::uint32_t i = 1; i <= n; ++i) {
            rest += static_cast<char>(i & 0xFF);
            rest += static_cast<char>(i >> 8);
        }
        rest += kSortOrder;
        rest += '\0';
        const qsizetype headerSize = (rest.size() + kHeaderUnit - 1) / kHeaderUnit * kHeaderUnit;

        QByteArray& h = rest;
        PutLe16(h, 0x00, static_cast<std::uint32_t>(recordSize_));
        PutLe16(h, 0x02, static_cast<std::uint32_t>(headerSize));
        h[0x04] = kUnkeyed;
        h[0x05] = static_cast<char>(blockBytes_ / 1024);
        PutLe32(h, 0x06, static_cast<std::uint32_t>(rowCount_));
        PutLe16(h, 0x0A, blocks); // next block to use
        PutLe16(h, 0x0C, blocks); // blocks in the file
        PutLe16(h, 0x0E, blocks > 0 ? 1 : 0);
        PutLe16(h, 0x10, blocks); // last block in use
        PutLe16(h, 0x21, n);
        h[0x39] = kVersion3;
        PutLe16(h, 0x3A, blocks); // blocks allocated
        PutLe16(h, 0x51, static_cast<std::uint32_t>(rest.size()));
        h.append(headerSize - h.size(), '\0');
        return h;
    }

    void startBlock() {
        ++blockNumber_;
        blockStart_ = buffer_.size();
        buffer_.resize(blockStart_ + kBlockHeader);
        const auto last = static_cast<std::uint32_t>(blockCount());
        const auto number = static_cast<std::uint32_t>(blockNumber_);
        PutLe16(buffer_, blockStart_, number < last ? number + 1 : 0);
        PutLe16(buffer_, blockStart_ + 2, number - 1);
    }

    void endBlock() {
        // The offset of the last record from the first: (rows - 1) * record size.
        PutLe16(buffer_, blockStart_ + 4,
                static_cast<std::uint32_t>((rowsInBlock_ - 1) * recordSize_));
        buffer_.append(blockStart_ + blockBytes_ - buffer_.size(), '\0');
        blockStart_ = buffer_.size();
        rowsInBlock_ = 0;
    }

    std::vector<ExportColumn> columns_;
    std::vector<int> sizes_;
    std::vector<qsizetype> offsets_; // of each field in a record
    std::int64_t rowCount_;
    int recordSize_;
    int blockBytes_;
    std::int64_t rowsPerBlock_;
    platform::FileReplacement file_;
    QueuedWrite queue_{file_}; // the whole blocks, a buffer at a time
    QByteArray buffer_;        // whole blocks not written yet, then the block being filled
    qsizetype blockStart_ = 0; // where the block being filled (or the next one) begins in buffer_
    QByteArray open_;          // the block being filled, while the blocks before it are handed over
    QByteArray text_;          // one text in the code page, its room kept from row to row
    QString memo_;             // the memo of the records
    QByteArray memoBytes_;     // and its bytes
    std::int64_t blockNumber_ = 0;
    std::int64_t rowsInBlock_ = 0;
    std::int64_t written_ = 0;
};

} // namespace

std::int64_t ParadoxRowLimit(const std::vector<ExportColumn>& columns) {
    return kMaxBlocks * RowsPerBlock(kBlockKilobytes.back(), RecordSize(columns));
}

std::unique_ptr<TableWriter> OpenParadoxWriter(const QString& path, const QString& tableName,
                                               const std::vector<ExportColumn>& columns,
                                               std::int64_t rowCount) {
    return std::make_unique<ParadoxTable>(path, tableName, columns, rowCount);
}

std::int64_t WriteParadoxExport(const QString& path, const QString& tableName,
                                const document::RecordSet& records,
                                const std::vector<ExportColumn>& columns, std::int64_t rowCount,
                                const QString& memo) {
    ParadoxTable table(path, tableName, columns, rowCount);
    const std::int64_t found = WriteStreamedRecords(table, records, columns, memo);
    if (found == rowCount) {
        table.commit();
    }
    return found;
}

} // namespace exchange
