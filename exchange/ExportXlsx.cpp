// The Excel export: an .xlsx workbook with one worksheet named after the table, written by
// libxlsxwriter row by row in its constant-memory mode. Row 1 holds the column names; numbers are
// number cells, texts string cells (an empty text leaves its cell empty).

#include "exchange/ExportTable.h"
#include "platform/FileReplacement.h"

#include <QDir>
#include <QTemporaryDir>
#include <xlsxwriter.h>

namespace exchange {

namespace {

class XlsxTable final : public TableWriter {
public:
    XlsxTable(const QString& path, const QString& tableName,
              const std::vector<ExportColumn>& columns)
        : target_(path) {
        if (!folder_.isValid()) {
            throw platform::FileWriteError(folder_.errorString(), path);
        }
        file_ = QDir(folder_.path()).filePath(QStringLiteral("table.xlsx"));
        // libxlsxwriter keeps its row files in the same private folder.
        QByteArray temporary = QFile::encodeName(folder_.path());
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = temporary.data();
        options.use_zip64 = LXW_TRUE;
        book_ = workbook_new_opt(QFile::encodeName(file_).constData(), &options);
        if (book_ == nullptr) {
            throw platform::FileWriteError(QStringLiteral("libxlsxwriter could not start"), path);
        }
        sheet_ = workbook_add_worksheet(book_, tableName.toUtf8().constData());
        if (sheet_ == nullptr) {
            fail(QStringLiteral("the worksheet \"%1\" could not be added").arg(tableName));
        }
        for (std::size_t i = 0; i < columns.size(); ++i) {
            check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(i),
                                         columns[i].name.toUtf8().constData(), nullptr));
        }
    }

    ~XlsxTable() override {
        if (book_ != nullptr) {
            // Closing is the only way to free a workbook; its file goes with the private folder.
            workbook_close(book_);
        }
    }

    void addRow(const std::vector<CellValue>& row) override {
        ++row_;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const auto column = static_cast<lxw_col_t>(i);
            if (const auto* number = std::get_if<std::int32_t>(&row[i])) {
                check(worksheet_write_number(sheet_, row_, column, *number, nullptr));
            } else if (const auto* single = std::get_if<float>(&row[i])) {
                check(
                    worksheet_write_number(sheet_, row_, column, SingleAsDouble(*single), nullptr));
            } else if (const QString& text = std::get<QString>(row[i]); !text.isEmpty()) {
                check(worksheet_write_string(sheet_, row_, column, text.toUtf8().constData(),
                                             nullptr));
            }
        }
    }

    void commit() override {
        lxw_workbook* book = book_;
        book_ = nullptr;
        check(workbook_close(book));
        ReplaceFromFile(file_, target_);
    }

private:
    void check(lxw_error error) {
        if (error != LXW_NO_ERROR) {
            fail(QString::fromUtf8(lxw_strerror(error)));
        }
    }

    [[noreturn]] void fail(const QString& reason) {
        throw platform::FileWriteError(reason, target_);
    }

    QString target_;
    QTemporaryDir folder_;
    QString file_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_row_t row_ = 0;
};

} // namespace

std::unique_ptr<TableWriter> OpenXlsxWriter(const QString& path, const QString& tableName,
                                            const std::vector<ExportColumn>& columns) {
    return std::make_unique<XlsxTable>(path, tableName, columns);
}

} // namespace exchange
