// The Paradox table, written with pxlib into a private folder and then copied into place. Numbers
// become Long Integer and Number fields, texts Alpha fields of their size; the memo is kept as an
// Alpha field of 255 characters, since pxlib's writing of memo files is not dependable.

#include "exchange/ExportTable.h"
#include "platform/FileReplacement.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>

// pxlib's header does not declare C linkage itself.
extern "C" {
#include <paradox.h>
}

namespace exchange {

namespace {

constexpr int kMemoAlpha = 255;

// pxlib reports its errors through a callback; the last one is kept for the exception.
void KeepError(pxdoc_t* /*doc*/, int /*type*/, const char* message, void* data) {
    *static_cast<QString*>(data) = QString::fromLocal8Bit(message);
}

struct PxLibrary {
    PxLibrary() { PX_boot(); }
    ~PxLibrary() { PX_shutdown(); }
};

class ParadoxTable final : public TableWriter {
public:
    ParadoxTable(const QString& path, const QString& tableName,
                 const std::vector<ExportColumn>& columns)
        : target_(path) {
        if (!folder_.isValid()) {
            throw platform::FileWriteError(folder_.errorString(), path);
        }
        file_ = QDir(folder_.path()).filePath(QStringLiteral("table.db"));
        doc_ = PX_new3(KeepError, nullptr, nullptr, nullptr, &error_);
        if (doc_ == nullptr) {
            throw platform::FileWriteError(QStringLiteral("pxlib could not start"), path);
        }
        // pxlib takes the field array and its names over and frees them with the document.
        auto* fields = static_cast<pxfield_t*>(std::calloc(columns.size(), sizeof(pxfield_t)));
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const ExportColumn& column = columns[i];
            fields[i].px_fname = strdup(platform::EncodeWindows1252(column.name).constData());
            switch (column.type) {
            case ColumnType::Long:
                fields[i].px_ftype = pxfLong;
                fields[i].px_flen = 4;
                break;
            case ColumnType::Single:
                fields[i].px_ftype = pxfNumber;
                fields[i].px_flen = 8;
                break;
            case ColumnType::Text:
                fields[i].px_ftype = pxfAlpha;
                fields[i].px_flen = column.size;
                break;
            case ColumnType::Memo:
                fields[i].px_ftype = pxfAlpha;
                fields[i].px_flen = kMemoAlpha;
                break;
            }
            lengths_.push_back(fields[i].px_flen);
        }
        if (PX_create_file(doc_, fields, static_cast<int>(columns.size()),
                           QFile::encodeName(file_).constData(), pxfFileTypNonIndexDB) < 0) {
            fail();
        }
        PX_set_parameter(doc_, "tablename", platform::EncodeWindows1252(tableName).constData());
        record_.resize(PX_get_recordsize(doc_));
    }

    ~ParadoxTable() override { close(); }

    void addRow(const std::vector<CellValue>& row) override {
        std::fill(record_.begin(), record_.end(), '\0');
        char* at = record_.data();
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int length = lengths_[i];
            if (const auto* number = std::get_if<std::int32_t>(&row[i])) {
                PX_put_data_long(doc_, at, length, *number);
            } else if (const auto* single = std::get_if<float>(&row[i])) {
                PX_put_data_double(doc_, at, length, SingleAsDouble(*single));
            } else {
                QByteArray text = platform::EncodeWindows1252(std::get<QString>(row[i]));
                if (!text.isEmpty()) {
                    PX_put_data_alpha(doc_, at, length, text.data());
                }
            }
            at += length;
        }
        // By position: finding a free slot for every record makes the writing quadratic.
        if (PX_put_recordn(doc_, record_.data(), written_++) < 0) {
            fail();
        }
    }

    void commit() override {
        close();
        ReplaceFromFile(file_, target_);
    }

private:
    void close() {
        if (doc_ != nullptr) {
            PX_close(doc_);
            PX_delete(doc_);
            doc_ = nullptr;
        }
    }

    [[noreturn]] void fail() {
        const QString reason = error_.isEmpty() ? QStringLiteral("pxlib failed") : error_;
        close();
        throw platform::FileWriteError(reason, target_);
    }

    PxLibrary library_;
    QString target_;
    QTemporaryDir folder_;
    QString file_;
    QString error_;
    pxdoc_t* doc_ = nullptr;
    std::vector<int> lengths_;
    std::vector<char> record_;
    int written_ = 0;
};

} // namespace

std::unique_ptr<TableWriter> OpenParadoxWriter(const QString& path, const QString& tableName,
                                               const std::vector<ExportColumn>& columns) {
    return std::make_unique<ParadoxTable>(path, tableName, columns);
}

} // namespace exchange
