#include "gazetteer/PlaceListModel.h"

#include <algorithm>
#include <exception>
#include <numeric>

namespace gazetteer {

namespace {

constexpr std::size_t kRowsKept = 4096;

} // namespace

PlaceListModel::PlaceListModel(QStringList captions, std::function<QIcon(const QString&)> icon,
                               QObject* parent)
    : QAbstractTableModel(parent), captions_(std::move(captions)), icon_(std::move(icon)) {}

void PlaceListModel::setHits(PlaceHits hits) {
    beginResetModel();
    hits_ = std::move(hits);
    read_.clear();
    endResetModel();
}

void PlaceListModel::clear() {
    setHits({});
}

const PlaceRow& PlaceListModel::row(int row) const {
    const std::int64_t id = hits_.ids.at(static_cast<std::size_t>(row));
    const auto found = read_.find(id);
    if (found != read_.end()) {
        return found->second;
    }
    if (read_.size() >= kRowsKept) {
        read_.clear();
    }
    PlaceRow texts;
    try {
        texts = hits_.reader->row(id);
    } catch (const std::exception&) {
        // The search checked every hit; a row that still cannot be read shows blank.
    }
    return read_.emplace(id, std::move(texts)).first->second;
}

int PlaceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(hits_.ids.size());
}

int PlaceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PlaceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return row(index.row())[static_cast<std::size_t>(index.column())];
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        const QString key = IconKey(row(index.row())[kDesignation]);
        return key.isEmpty() ? QVariant() : QVariant(icon_(key));
    }
    return {};
}

QVariant PlaceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < captions_.size()) {
        return captions_.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

QString PlaceListModel::text(int row, int column) const {
    const std::int64_t id = hits_.ids.at(static_cast<std::size_t>(row));
    const auto found = read_.find(id);
    return found != read_.end() ? found->second[static_cast<std::size_t>(column)]
                                : hits_.reader->columnText(id, column);
}

QModelIndexList PlaceListModel::match(const QModelIndex& start, int role, const QVariant& value,
                                      int hits, Qt::MatchFlags flags) const {
    const Qt::MatchFlags kind = flags & ~(Qt::MatchWrap | Qt::MatchCaseSensitive);
    if (role != Qt::DisplayRole || kind != Qt::MatchStartsWith || !start.isValid() ||
        start.model() != this || !hits_.reader) {
        return QAbstractTableModel::match(start, role, value, hits, flags);
    }
    const QString wanted = value.toString();
    const Qt::CaseSensitivity sensitivity =
        flags.testFlag(Qt::MatchCaseSensitive) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int count = rowCount();
    const int passed = flags.testFlag(Qt::MatchWrap) ? count : count - start.row();
    QModelIndexList found;
    for (int i = 0; i < passed && (hits < 0 || found.size() < hits); ++i) {
        const int at = (start.row() + i) % count;
        if (text(at, start.column()).startsWith(wanted, sensitivity)) {
            found << index(at, start.column());
        }
    }
    return found;
}

void PlaceListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount) {
        return;
    }
    const std::size_t count = hits_.ids.size();
    const std::vector<QString> texts =
        hits_.reader ? hits_.reader->columnTexts(hits_.ids, column) : std::vector<QString>();
    std::vector<int> moved(count); // new position -> old position
    std::iota(moved.begin(), moved.end(), 0);
    std::stable_sort(moved.begin(), moved.end(), [&texts, order](int a, int b) {
        const QString& left = texts[static_cast<std::size_t>(a)];
        const QString& right = texts[static_cast<std::size_t>(b)];
        return order == Qt::AscendingOrder ? left < right : right < left;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> placed(count); // old position -> new position
    std::vector<std::int64_t> ids(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto old = static_cast<std::size_t>(moved[i]);
        placed[old] = static_cast<int>(i);
        ids[i] = hits_.ids[old];
    }
    hits_.ids = std::move(ids);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after << this->index(placed[static_cast<std::size_t>(index.row())], index.column());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace gazetteer
