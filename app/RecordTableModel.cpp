#include "app/RecordTableModel.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/RecordSet.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <exception>

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
        return QString::number(value.toDouble(), 'g', 7);
    }
    return value.toString();
}

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTableModel::reload() {
    beginResetModel();
    pages_.clear();
    endResetModel();
}

void RecordTableModel::rowChanged(int row) {
    const auto page = std::find_if(pages_.begin(), pages_.end(), [row](const Page& p) {
        return row >= p.first && row < p.first + static_cast<int>(p.rows.size());
    });
    if (page != pages_.end()) {
        pages_.erase(page);
    }
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordTableModel::setCaptions(const std::array<QString, 10>& captions) {
    captions_ = captions;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    const document::RecordSet* records = BoundRecordSet();
    return records != nullptr ? records->recordCount() : 0;
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
    // A cursor of its own, so the grid's reading never moves Data1's current row; it reads the
    // page's rows in one query.
    document::RecordSet cursor = records->clone();
    Page page;
    page.first = row - row % kPageRows;
    const int last = std::min(page.first + kPageRows, records->recordCount());
    page.rows.reserve(static_cast<std::size_t>(last - page.first));
    try {
        for (int i = page.first; i < last; ++i) {
            cursor.setAbsolutePosition(i);
            page.rows.push_back(cursor.current());
        }
    } catch (const std::exception&) {
        // A row deleted behind the grid's back: show what could be read.
        if (page.rows.empty() || row >= page.first + static_cast<int>(page.rows.size())) {
            return nullptr;
        }
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
    const document::Record* record = rowAt(index.row());
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
        return section + 1;
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
        records->setAbsolutePosition(index.row());
        document::Record record = records->current();
        if (CellText(record.field(field)) == text) {
            return false; // nothing typed: the document stays as it was
        }
        record.setField(field, NumericField(index.column()) && text.trimmed().isEmpty()
                                   ? QVariant()
                                   : QVariant(text));
        records->update(record);
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
        return false;
    }
    document::Document().FileModified = -1;
    rowChanged(index.row());
    return true;
}

std::int64_t RecordTableModel::bookmarkAt(int row) const {
    const document::RecordSet* records = BoundRecordSet();
    if (records == nullptr || row < 0 || row >= records->recordCount()) {
        return 0;
    }
    return records->bookmarks()[static_cast<std::size_t>(row)];
}

int RecordTableModel::rowOfBookmark(std::int64_t bookmark) const {
    const document::RecordSet* records = BoundRecordSet();
    if (records == nullptr) {
        return -1;
    }
    const auto& marks = records->bookmarks();
    const auto it = std::find(marks.begin(), marks.end(), bookmark);
    return it == marks.end() ? -1 : static_cast<int>(it - marks.begin());
}

} // namespace app
