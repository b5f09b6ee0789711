#pragma once

#include "gazetteer/PlaceSearcher.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>
#include <functional>
#include <unordered_map>

namespace gazetteer {

// The rows of the place list as the list shows them: every hit of the last search is a row,
// but a row's texts are read from the gazetteer only when the list shows it, so that a search
// of a hundred thousand places shows its first screen as soon as one of ten.
class PlaceListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `captions` are the column headers; `icon` gives the small icon of an icon key ("STM", ...).
    PlaceListModel(QStringList captions, std::function<QIcon(const QString&)> icon,
                   QObject* parent);

    void setHits(PlaceHits hits);
    void clear();

    // The texts of row `row`; empty texts when the gazetteer cannot give them.
    const PlaceRow& row(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Letters typed in the list look for the next row that begins with them; this reads only
    // the searched column of the rows it passes. Other searches are the model's usual ones.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

    // Orders every hit by the texts of `column`, stably; selected rows keep their selection.
    void sort(int column, Qt::SortOrder order) override;

private:
    QString text(int row, int column) const;

    QStringList captions_;
    std::function<QIcon(const QString&)> icon_;
    PlaceHits hits_;
    // Rows read so far, by record id; dropped when it grows past a few screens' worth.
    mutable std::unordered_map<std::int64_t, PlaceRow> read_;
};

} // namespace gazetteer
