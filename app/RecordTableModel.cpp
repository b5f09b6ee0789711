#include "app/RecordTableModel.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/RecordSet.h"
#include "document/RowStream.h"
#include "platform/ErrorBox.h"
#include "platform/ErrorPlace.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace app {

namespace {

// Fields whose empty cell means Null rather than an empty text.
bool NumericField(int column) {
    return column <= 4;
}

document::RecordSet* BoundRecordSet() {
    document::DataControl& data = document::Data1();
    return data.bound() ? &data.recordset() : nullptr;
}

} // namespace

QString RecordTableModel::AcceptedInColumn(int column) const {
    const QString caption = headerData(column, Qt::Horizontal).toString();
    const QString name = caption.isEmpty()
                             ? QString::fromLatin1(kGridFields[static_cast<std::size_t>(column)])
                             : caption;
    switch (column) {
    case 0:
        return platform::WholeNumberColumn(name, std::numeric_limits<std::int16_t>::min(),
                                           std::numeric_limits<std::int16_t>::max());
    case 3:
    case 4:
        return platform::WholeNumberColumn(name, std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max());
    case 5:
        return platform::ShortTextColumn(name, 1);
    default:
        return {};
    }
}

bool ColumnLocked(int column) {
    return column == 1 || column == 2 || column == 6 || column == 7 || column == 8;
}

std::array<QString, 10> GridCaptions() {
    const platform::ProgramSettings& settings = platform::Settings();
    return {platform::ResText(130), platform::ResText(131), platform::ResText(132),
            settings.LabelNumeric1, settings.LabelNumeric2, QStringLiteral("Sex"),
            platform::ResText(135), platform::ResText(136), platform::ResText(137),
            platform::ResText(138)};
}

QString CellText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    if (value.typeId() == QMetaType::Float || value.typeId() == QMetaType::Double) {
        return NumberText(value.toDouble());
    }
    return value.toString();
}

QString NumberText(double value) {
    const QString text = QString::number(value, 'g', 7);
    if (!text.contains(QLatin1Char('e')) || !std::isfinite(value)) {
        return text;
    }
    // Seven significant digits written out in full: a grid cell never shows an exponent.
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    QString fixed = QString::number(value, 'f', std::max(0, 6 - exponent));
    if (fixed.contains(QLatin1Char('.'))) {
        while (fixed.endsWith(QLatin1Char('0'))) {
            fixed.chop(1);
        }
        if (fixed.endsWith(QLatin1Char('.'))) {
            fixed.chop(1);
        }
    }
    return fixed;
}

int FullColumnWidth(int column, const QString& caption, const QFontMetrics& cells,
                    const QFontMetrics& header) {
    // The widest value each field usually holds, as the distribution files write them.
    static const std::array<const char*, 10> kWidest{
        "-32768",     "-89.99999", "-179.99999", "-99999",
        "-99999",     "M",         "WGS84",      "deg -89.99999 -179.99999",
        "31/12/2001", ""};
    constexpr int kCellMargin = 12;   // the cell's frame and text margins
    constexpr int kHeaderMargin = 24; // the section's margins and its sort indicator
    const int value =
        cells.horizontalAdvance(QString::fromLatin1(kWidest[static_cast<std::size_t>(column)])) +
        kCellMargin;
    return std::max(value, header.horizontalAdvance(caption) + kHeaderMargin);
}

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTableModel::reload() {
    beginResetModel();
    pages_.clear();
    windowFirst_ = clampedFirst(windowFirst_);
    endResetModel();
}

void RecordTableModel::rowChanged(int position) {
    const auto page = std::find_if(pages_.begin(), pages_.end(), [position](const Page& p) {
        return position >= p.first && position < p.first + static_cast<int>(p.rows.size());
    });
    if (page != pages_.end()) {
        pages_.erase(page);
    }
    const int row = rowOfPosition(position);
    if (row >= 0) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

int RecordTableModel::recordCount() const {
    const document::RecordSet* records = BoundRecordSet();
    return records != nullptr ? records->recordCount() : 0;
}

int RecordTableModel::clampedFirst(int first) const {
    return std::clamp(first, 0, std::max(0, recordCount() - windowRows_));
}

void RecordTableModel::setWindowRows(int rows) {
    beginResetModel();
    windowRows_ = std::max(1, rows);
    windowFirst_ = clampedFirst(windowFirst_);
    endResetModel();
}

int RecordTableModel::rowOfPosition(int position) const {
    const int row = position - windowFirst_;
    return row >= 0 && row < rowCount() ? row : -1;
}

void RecordTableModel::moveWindow(int first) {
    first = clampedFirst(first);
    if (first == windowFirst_) {
        return;
    }
    emit layoutAboutToBeChanged();
    const int shift = windowFirst_ - first;
    const int rows = rowCount();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        const int row = old.row() + shift;
        after.push_back(row >= 0 && row < rows ? createIndex(row, old.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    windowFirst_ = first;
    emit layoutChanged();
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, rows - 1));
}

void RecordTableModel::setCaptions(const std::array<QString, 10>& captions) {
    captions_ = captions;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return std::clamp(recordCount() - windowFirst_, 0, windowRows_);
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kGridFields.size());
}

const document::Record* RecordTableModel::rowAt(int row) const {
    for (auto page = pages_.begin(); page != pages_.end(); ++page) {
        if (row >= page->first && row < page->first + static_cast<int>(page->rows.size())) {
            pages_.splice(pages_.begin(), pages_, page);
            return &pages_.front().rows[static_cast<std::size_t>(row - pages_.front().first)];
        }
    }
    document::RecordSet* records = BoundRecordSet();
    if (records == nullptr || row < 0 || row >= records->recordCount()) {
        return nullptr;
    }
    // The page's rows in one read, without moving Data1's current row. A row deleted behind the
    // grid's back ends the page: the rows before it are shown, the others are not.
    Page page;
    page.first = row - row % kPageRows;
    const int last = std::min(page.first + kPageRows, records->recordCount());
    try {
        page.rows = document::RowStream(*records).window(page.first, last - page.first);
    } catch (const std::exception&) {
        return nullptr;
    }
    if (row >= page.first + static_cast<int>(page.rows.size())) {
        return nullptr;
    }
    pages_.push_front(std::move(page));
    if (pages_.size() > kPagesKept) {
        pages_.pop_back();
    }
    return &pages_.front().rows[static_cast<std::size_t>(row - pages_.front().first)];
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    const document::Record* record = rowAt(positionOfRow(index.row()));
    if (record == nullptr) {
        return {};
    }
    const QVariant value =
        record->field(QString::fromLatin1(kGridFields[static_cast<std::size_t>(index.column())]));
    return CellText(value);
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return windowFirst_ + section + 1;
    }
    if (section < 0 || section >= static_cast<int>(captions_.size())) {
        return {};
    }
    return captions_[static_cast<std::size_t>(section)];
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!ColumnLocked(index.column())) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool RecordTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || ColumnLocked(index.column())) {
        return false;
    }
    document::RecordSet* records = BoundRecordSet();
    if (records == nullptr) {
        return false;
    }
    const QString field =
        QString::fromLatin1(kGridFields[static_cast<std::size_t>(index.column())]);
    const QString text = value.toString();
    try {
        // The grid edits Data1's current row, through Data1's own cursor so that its cached
        // copy of the row stays true.
        records->setAbsolutePosition(positionOfRow(index.row()));
        document::Record record = records->current();
        if (CellText(record.field(field)) == text) {
            return false; // nothing typed: the document stays as it was
        }
        record.setField(field, NumericField(index.column()) && text.trimmed().isEmpty()
                                   ? QVariant()
                                   : QVariant(text));
        records->update(record);
    } catch (const std::exception& error) {
        const auto* numbered = dynamic_cast<const common::AppError*>(&error);
        platform::ShowError(numbered != nullptr ? numbered->number() : 0,
                            platform::WithDetail(QString::fromStdString(error.what()),
                                                 AcceptedInColumn(index.column())));
        return false;
    }
    document::Document().FileModified = -1;
    rowChanged(positionOfRow(index.row()));
    return true;
}

std::int64_t RecordTableModel::bookmarkAt(int position) const {
    const document::RecordSet* records = BoundRecordSet();
    if (records == nullptr || position < 0 || position >= records->recordCount()) {
        return 0;
    }
    return records->bookmarkAt(position);
}

int RecordTableModel::rowOfBookmark(std::int64_t bookmark) const {
    const document::RecordSet* records = BoundRecordSet();
    return records != nullptr ? static_cast<int>(records->positionOf(bookmark)) : -1;
}

} // namespace app
