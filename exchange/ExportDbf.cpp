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

#include "exchange/ByteLayout.h"
#include "exchange/ExportTable.h"
#include "platform/FileReplacement.h"
#include "platform/TextFile.h"

#include <QDate>
#include <QFileInfo>

namespace exchange {

namespace {

constexpr int kLongWidth = 11;
constexpr int kSingleWidth = 20;
constexpr int kSingleDecimals = 10;
constexpr int kMemoWidth = 10;
constexpr int kFoxBlock = 64;
constexpr int kDbaseBlock = 512;
constexpr int kMemoHeader = 512;

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
            recordSize_ += fields_.back().width;
        }
        memo_ = QByteArray(kMemoHeader, '\0');
        if (!foxPro_) {
            const QByteArray base =
                platform::EncodeWindows1252(QFileInfo(path).baseName()).left(8).toUpper();
            memo_.replace(8, base.size(), base);
        }
        table_.write(header());
    }

    void addRow(const std::vector<CellValue>& row) override {
        buffer_ += ' ';
        for (std::size_t i = 0; i < row.size(); ++i) {
            appendCell(i, row[i]);
        }
        ++written_;
        if (buffer_.size() >= (1 << 16)) {
            table_.write(buffer_);
            buffer_.clear();
        }
    }

    void commit() override {
        CheckWrittenRows(written_, rowCount_, table_.resolvedTarget());
        buffer_ += '\x1A';
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

    // Appends a field: texts left-aligned and numbers right-aligned in the field's width.
    void appendCell(std::size_t i, const CellValue& value) {
        const DbfField& field = fields_[i];
        QByteArray text;
        if (const auto* number = std::get_if<std::int32_t>(&value)) {
            text = QByteArray::number(*number);
        } else if (const auto* single = std::get_if<float>(&value)) {
            text = SingleText(*single);
        } else if (field.type == 'M') {
            const QString& memo = std::get<QString>(value);
            if (memo.isEmpty()) {
                buffer_.append(field.width, ' ');
                return;
            }
            text = QByteArray::number(memoBlock(memo));
        } else {
            const qsizetype start = buffer_.size();
            platform::AppendWindows1252(buffer_, std::get<QString>(value));
            const qsizetype written = buffer_.size() - start;
            if (written > field.width) {
                buffer_.truncate(start + field.width);
            } else {
                buffer_.append(field.width - written, ' ');
            }
            return;
        }
        if (text.size() > field.width) {
            RefuseValue(written_ + 1, columns_[i].name,
                        QStringLiteral("%1 needs more than the %2 characters of the field")
                            .arg(QString::fromLatin1(text))
                            .arg(field.width));
        }
        buffer_.append(field.width - text.size(), ' ');
        buffer_ += text;
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
    int blockSize_;
    std::vector<DbfField> fields_;
    int recordSize_ = 1; // the deletion flag
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

} // namespace exchange
