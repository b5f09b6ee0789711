#pragma once

#include "document/Record.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QString>
#include <array>
#include <cstdint>
#include <list>
#include <vector>

class QTableView;

namespace app {

// The grid's ten columns: the field each shows, in order (Counter is not shown).
inline constexpr std::array<const char*, 10> kGridFields{
    "PERIOD", "LATITUDE", "LONGITUDE", "N1", "N2", "SEX", "DATUM", "ORIGINAL", "DATE", "COMMENT"};

// Whether the grid refuses typing into a column: those fields change through the record editor
// and the batch commands only.
bool ColumnLocked(int column);

// The ten column captions in the current language: strings 130 to 132 and 135 to 138, the
// numeric labels of the settings and "Sex" in every language.
std::array<QString, 10> GridCaptions();

// The grid's model over Data1's record set. Only the bookmark list of the record set is held in
// full; rows are read a page at a time as the view asks for them, and only a few pages are kept,
// so a document of a million records costs no more memory than its bookmark list.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordTableModel(QObject* parent = nullptr);

    // Data1's record set was run again or its rows changed: drop every cached row.
    void reload();
    // The row with that bookmark changed: read it again.
    void rowChanged(int row);
    void setCaptions(const std::array<QString, 10>& captions);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Writes the value into the row through Data1's record set and marks the document changed.
    // A value the table refuses is shown in the error box and changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // What a column accepts, named by its caption, as a refused value's message tells it; empty
    // for a column that takes any text.
    QString AcceptedInColumn(int column) const;

    // The bookmark of a row; 0 when there is no such row.
    std::int64_t bookmarkAt(int row) const;
    // The row of a bookmark; -1 when the record set does not hold it.
    int rowOfBookmark(std::int64_t bookmark) const;

    // Rows per page and pages kept.
    static constexpr int kPageRows = 256;
    static constexpr std::size_t kPagesKept = 8;
    // How many pages are in memory now.
    std::size_t cachedPages() const { return pages_.size(); }

private:
    struct Page {
        int first = 0;
        std::vector<document::Record> rows;
    };
    const document::Record* rowAt(int row) const;

    std::array<QString, 10> captions_;
    // Most recently used first.
    mutable std::list<Page> pages_;
};

// Sets `view` up as the main window's grid over `model`: whole rows selected, several at a time,
// typing edits, rows of one fixed height. With every row the same height and nothing kept per row
// by the model, showing a screen or jumping to the last row costs the same whatever the number
// of records.
void SetUpRecordGrid(QTableView& view, RecordTableModel& model);

// The text a grid cell shows for a field value: numbers without trailing zeros, Null as "".
QString CellText(const QVariant& value);
// A number with up to seven significant digits, without trailing zeros nor an exponent.
QString NumberText(double value);

// The width, in pixels, that shows a column's caption and its widest usual value whole.
int FullColumnWidth(int column, const QString& caption, const QFontMetrics& cells,
                    const QFontMetrics& header);

} // namespace app
