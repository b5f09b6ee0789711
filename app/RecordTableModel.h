#pragma once

#include "document/Record.h"

#include <QAbstractTableModel>
#include <QFontMetrics>
#include <QString>
#include <array>
#include <cstdint>
#include <list>
#include <vector>

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
//
// The model's rows are a window of at most windowRows() records starting at windowFirst(): a
// view keeps state for each of its rows, so a view over every record would cost as much as the
// document. RecordGridView moves the window as it scrolls. "Position" below is a record's row in
// Data1's record set; "row" is a row of the window.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit RecordTableModel(QObject* parent = nullptr);

    // Data1's record set was run again or its rows changed: drop every cached row.
    void reload();
    // The record at that position changed: read it again.
    void rowChanged(int position);
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

    // The bookmark of the record at a position; 0 when there is no such record.
    std::int64_t bookmarkAt(int position) const;
    // The position of a bookmark; -1 when the record set does not hold it.
    int rowOfBookmark(std::int64_t bookmark) const;

    // The number of records in Data1's record set.
    int recordCount() const;
    // The window: its first position and the most rows it holds.
    int windowFirst() const { return windowFirst_; }
    int windowRows() const { return windowRows_; }
    void setWindowRows(int rows);
    // Moves the window to start at `first` (kept within the records). Persistent indexes follow
    // their record, or become invalid when it leaves the window.
    void moveWindow(int first);
    // The position of a window row, and the window row of a position (-1 outside the window).
    int positionOfRow(int row) const { return windowFirst_ + row; }
    int rowOfPosition(int position) const;

    // The rows a window holds by default: a few screens either side of the one shown.
    static constexpr int kWindowRows = 4096;

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

    int clampedFirst(int first) const;

    std::array<QString, 10> captions_;
    int windowFirst_ = 0;
    int windowRows_ = kWindowRows;
    // Most recently used first.
    mutable std::list<Page> pages_;
};

// The text a grid cell shows for a field value: numbers without trailing zeros, Null as "".
QString CellText(const QVariant& value);
// A number with up to seven significant digits, without trailing zeros nor an exponent.
QString NumberText(double value);

// The width, in pixels, that shows a column's caption and its widest usual value whole.
int FullColumnWidth(int column, const QString& caption, const QFontMetrics& cells,
                    const QFontMetrics& header);

} // namespace app
