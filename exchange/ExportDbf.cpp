// The DBF tables of the FoxPro 2.5 and dBASE IV exports, with their memo files (".fpt" and
// ".dbt"). Layouts as the two programs write them:
// - the table: a 32-byte header (version byte 0xF5 for FoxPro 2.x with memo, 0x8B for dBASE IV
//   with memo; date of last update; record count; header and record sizes; language driver 0x03,
//   Windows ANSI), one 32-byte descriptor per field, 0x0D, the records (a blank deletion flag and
//   the fields as fixed-width text), 0x1A;
// - FoxPro memo: a 512-byte header (next free block, big-endian; block size at byte 6), then per
//   memo a block holding type 1 and the length (big-endian) before the text;
// - dBASE IV memo: 512-byte blocks; the header holds the next free block (little-endian), the
//   table's name and the block size at byte 20; a memo starts with FF FF 08 00 and its length
//   including those 8 bytes (little-endian), and ends with 0x1F 0x1A.
// A memo field holds its first block's number as ten right-aligned digits. The same memo text on
// consecutive rows is stored once and shared, as every row of an export carries the same memo.

#include "document/ColumnStream.h"
#include "document/RecordSet.h"
#include "exchange/ByteLayout.h"
#include "exchange/ExportTable.h"
#include "exchange/QueuedWrite.h"
#include "exchange/StreamedFields.h"
#include "platform/FileReplacement.h"
#include "platform/TextFile.h"

#include <QDate>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace exchange {

namespace {

constexpr int kLongWidth = 11;
constexpr int kSingleWidth = 20;
constexpr int kSingleDecimals = 10;
constexpr int kMemoWidth = 10;
constexpr int kFoxBlock = 64;
constexpr int kDbaseBlock = 512;
constexpr int kMemoHeader = 512;
// Below this magnitude a double's rounding error stays under half of the tenth decimal.
constexpr float kExactSingleBelow = 524288.0F;

// The float's shortest decimal form, written with a fixed number of decimals, so that reading the
// text back as a single gives the same value.
QByteArray SingleText(float value) {
    return QByteArray::number(SingleAsDouble(value), 'f', kSingleDecimals);
}

struct DbfField {
    QByteArray name;
    char type;
    int width;
    int decimals;
};

DbfField FieldOf(const ExportColumn& column) {
    const QByteArray name = platform::EncodeWindows1252(column.name);
    switch (column.type) {
    case ColumnType::Long:
        return {name, 'N', kLongWidth, 0};
    case ColumnType::Single:
        return {name, 'N', kSingleWidth, kSingleDecimals};
    case ColumnType::Text:
        return {name, 'C', column.size, 0};
    case ColumnType::Memo:
        return {name, 'M', kMemoWidth, 0};
    }
    return {name, 'C', 1, 0};
}

class DbfTable final : public TableWriter {
public:
    DbfTable(bool foxPro, const QString& path, const QString& memoPath,
             const std::vector<ExportColumn>& columns, std::int64_t rowCount)
        : foxPro_(foxPro), columns_(columns), rowCount_(rowCount), table_(path),
          memoFile_(memoPath), blockSize_(foxPro ? kFoxBlock : kDbaseBlock) {
        for (const ExportColumn& column : columns) {
            fields_.push_back(FieldOf(column));
            offsets_.push_back(recordSize_);
            recordSize_ += fields_.back().width;
        }
        memo_ = QByteArray(kMemoHeader, '\0');
        if (!foxPro_) {
            const QByteArray base =
                platform::EncodeWindows1252(QFileInfo(path).baseName()).left(8).toUpper();
            memo_.replace(8, base.size(), base);
        }
        table_.write(header());
        buffer_.reserve(kFlushBytes + recordSize_);
    }

    void addRow(const std::vector<CellValue>& row) override {
        const qsizetype record = newRecord();
        for (std::size_t i = 0; i < row.size(); ++i) {
            putCell(record, i, row[i]);
        }
        rowDone();
        flushIfFull();
    }

    // The pieces of a record for WriteStreamedRecords: newRecord, then each field through
    // putSingle, putWhole, putText, putMemo or putLambert, then rowDone.
    // A blank record (not deleted, every field blank) at the end of the buffer; its offset there.
    qsizetype newRecord() {
        const qsizetype at = buffer_.size();
        buffer_.resize(at + recordSize_);
        std::memset(buffer_.data() + at, ' ', static_cast<std::size_t>(recordSize_));
        return at;
    }
    void rowDone() { ++written_; }
    std::int64_t written() const { return written_; }
    void flushIfFull() {
        if (buffer_.size() >= kFlushBytes) {
            queue_.write(buffer_);
        }
    }

    // A number, right-aligned in field i; RefuseValue when it needs more than the field's width.
    void putNumber(qsizetype record, std::size_t i, QByteArrayView text) {
        const DbfField& field = fields_[i];
        if (text.size() > field.width) {
            RefuseValue(written_ + 1, columns_[i].name,
                        QStringLiteral("%1 needs more than the %2 characters of the field")
                            .arg(QString::fromLatin1(text))
                            .arg(field.width));
        }
        std::memcpy(buffer_.data() + fieldAt(record, i) + field.width - text.size(), text.data(),
                    static_cast<std::size_t>(text.size()));
    }

    // Windows-1252 bytes, left-aligned in field i and cut at its width.
    void putText(qsizetype record, std::size_t i, QByteArrayView bytes) {
        PutCut(buffer_.data() + fieldAt(record, i), bytes, fields_[i].width);
    }

    // The memo field i: blanks for no memo, else the number of the memo's first block.
    void putMemo(qsizetype record, std::size_t i, const QString& memo) {
        if (!memo.isEmpty()) {
            putWhole(record, i, static_cast<std::int64_t>(memoBlock(memo)));
        }
    }

    void putWhole(qsizetype record, std::size_t i, std::int64_t value) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        putNumber(record, i, QByteArrayView(digits, end - digits));
    }

    // SingleText's bytes, without its detour through a double when the shortest form of the
    // float has at most ten decimals: the double read from it then prints as that form padded
    // with zeros.
    void putSingle(qsizetype record, std::size_t i, float value) {
        char text[48];
        const bool plain =
            std::abs(value) < kExactSingleBelow && !(value == 0.0F && std::signbit(value));
        if (plain) {
            const auto end = std::to_chars(text, text + 24, value, std::chars_format::fixed).ptr;
            char* dot = std::find(text, end, '.');
            const auto decimals = dot == end ? 0 : end - dot - 1;
            if (decimals <= kSingleDecimals) {
                *dot = '.';
                char* last = std::fill_n(dot + 1 + decimals, kSingleDecimals - decimals, '0');
                putNumber(record, i, QByteArrayView(text, last - text));
                return;
            }
        }
        putNumber(record, i, SingleText(value));
    }

    // X and Y, 0 and 0 for a record without them.
    void putLambert(qsizetype record, const std::optional<std::array<std::int32_t, 2>>& xy) {
        putWhole(record, 0, xy ? (*xy)[0] : 0);
        putWhole(record, 1, xy ? (*xy)[1] : 0);
    }

    void commit() override {
        CheckWrittenRows(written_, rowCount_, table_.resolvedTarget());
        buffer_ += '\x1A';
        queue_.finish();
        table_.write(buffer_);
        buffer_.clear();
        const std::uint32_t nextBlock = static_cast<std::uint32_t>(memo_.size() / blockSize_);
        if (foxPro_) {
            PutBe32(memo_, 0, nextBlock);
            memo_[6] = static_cast<char>(blockSize_ >> 8);
            memo_[7] = static_cast<char>(blockSize_ & 0xFF);
        } else {
            PutLe32(memo_, 0, nextBlock);
            PutLe16(memo_, 20, static_cast<std::uint32_t>(blockSize_));
        }
        memoFile_.write(memo_);
        // The memo file first: a table never points into a memo file that is not there.
        memoFile_.commit();
        table_.commit();
    }

private:
    // Where field i of the record at `record` begins in the buffer.
    qsizetype fieldAt(qsizetype record, std::size_t i) const { return record + offsets_[i]; }

    QByteArray header() const {
        QByteArray bytes(32, '\0');
        bytes[0] = static_cast<char>(foxPro_ ? 0xF5 : 0x8B);
        const QDate today = QDate::currentDate();
        bytes[1] = static_cast<char>(today.year() - 1900);
        bytes[2] = static_cast<char>(today.month());
        bytes[3] = static_cast<char>(today.day());
        PutLe32(bytes, 4, static_cast<std::uint32_t>(rowCount_));
        PutLe16(bytes, 8, static_cast<std::uint32_t>(32 + 32 * fields_.size() + 1));
        PutLe16(bytes, 10, static_cast<std::uint32_t>(recordSize_));
        bytes[29] = 0x03; // Windows ANSI (code page 1252)
        int offset = 1;
        for (const DbfField& field : fields_) {
            QByteArray descriptor(32, '\0');
            descriptor.replace(0, field.name.size(), field.name);
            descriptor[11] = field.type;
            if (foxPro_) {
                PutLe32(descriptor, 12, static_cast<std::uint32_t>(offset));
            }
            descriptor[16] = static_cast<char>(field.width);
            descriptor[17] = static_cast<char>(field.decimals);
            bytes += descriptor;
            offset += field.width;
        }
        bytes += '\x0D';
        return bytes;
    }

    // Lays a field out: texts left-aligned and numbers right-aligned in the field's width.
    void putCell(qsizetype record, std::size_t i, const CellValue& value) {
        if (const auto* number = std::get_if<std::int32_t>(&value)) {
            putNumber(record, i, QByteArray::number(*number));
        } else if (const auto* single = std::get_if<float>(&value)) {
            putNumber(record, i, SingleText(*single));
        } else if (fields_[i].type == 'M') {
            putMemo(record, i, std::get<QString>(value));
        } else {
            putText(record, i, platform::EncodeWindows1252(std::get<QString>(value)));
        }
    }

    std::uint32_t memoBlock(const QString& memo) {
        if (memo == lastMemo_ && lastBlock_ != 0) {
            return lastBlock_;
        }
        const QByteArray text = platform::EncodeWindows1252(memo);
        QByteArray block(8, '\0');
        if (foxPro_) {
            PutBe32(block, 0, 1); // text
            PutBe32(block, 4, static_cast<std::uint32_t>(text.size()));
            block += text;
        } else {
            block[0] = static_cast<char>(0xFF);
            block[1] = static_cast<char>(0xFF);
            block[2] = 0x08;
            PutLe32(block, 4, static_cast<std::uint32_t>(text.size() + 8));
            block += text;
            block += "\x1F\x1A";
        }
        const qsizetype padded = (block.size() + blockSize_ - 1) / blockSize_ * blockSize_;
        block.append(padded - block.size(), '\0');
        lastBlock_ = static_cast<std::uint32_t>(memo_.size() / blockSize_);
        lastMemo_ = memo;
        memo_ += block;
        return lastBlock_;
    }

    bool foxPro_;
    std::vector<ExportColumn> columns_;
    std::int64_t rowCount_;
    platform::FileReplacement table_;
    platform::FileReplacement memoFile_;
    QueuedWrite queue_{table_}; // the records, a buffer at a time
    int blockSize_;
    std::vector<DbfField> fields_;
    std::vector<qsizetype> offsets_; // of each field in a record
    int recordSize_ = 1;             // the deletion flag
    QByteArray buffer_;
    QByteArray memo_; // the whole memo file, written at the commit with its next free block
    QString lastMemo_;
    std::uint32_t lastBlock_ = 0;
    std::int64_t written_ = 0;
};

} // namespace

std::unique_ptr<TableWriter> OpenDbfWriter(bool foxPro, const QString& path,
                                           const QString& memoPath,
                                           const std::vector<ExportColumn>& columns,
                                           std::int64_t rowCount) {
    return std::make_unique<DbfTable>(foxPro, path, memoPath, columns, rowCount);
}

std::int64_t WriteDbfExport(bool foxPro, const QString& path, const QString& memoPath,
                            const document::RecordSet& records,
                            const std::vector<ExportColumn>& columns, std::int64_t rowCount,
                            const QString& memo) {
    DbfTable table(foxPro, path, memoPath, columns, rowCount);
    const std::int64_t found = WriteStreamedRecords(table, records, columns, memo);
    if (found == rowCount) {
        table.commit();
    }
    return found;
}

} // namespace exchange
