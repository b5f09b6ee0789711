#pragma once

#include "exchange/GpsWaypointFile.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace exchange {

// The MapSource waypoint import window: the file's header, its grid format and datum to confirm,
// and its waypoints, each checked to become a record. OK appends the checked waypoints (all or
// nothing) and closes; Options edits the import options.
class frmImportGarmin : public QDialog {
    Q_OBJECT
public:
    // `chooseDatum` shows the datum chooser preselecting a code and returns the code chosen
    // (empty when none was).
    using DatumChooser = std::function<QString(const QString& current)>;

    frmImportGarmin(QString file, int importType, DatumChooser chooseDatum,
                    QWidget* parent = nullptr);

    QString File;
    int ImportType = 0;

    // Reads `path` into the header box, the grid list, the datum label and the waypoint list.
    void RempliLV(const QString& path);
    // 0 OK, 1 Cancel, 2 Options.
    void cmdImportGarmin_Click(int index);
    void cmdChangeDatum_Click();
    void chkAll_Click();
    void LV_ColumnClick(int column);

    // The list's column titles and its rows (cell 0 the item's text), in the list's order.
    QStringList columnTitles() const;
    std::vector<QStringList> rows(bool checkedOnly) const;

    QPlainTextEdit* txtHeader() const { return txtHeader_; }
    QComboBox* cmbGrid() const { return cmbGrid_; }
    QLabel* lblDatum() const { return lblDatum_; }
    QTreeWidget* LV() const { return LV_; }
    QCheckBox* chkAll() const { return chkAll_; }
    QPushButton* cmdImportGarmin(int index) const { return cmdImportGarmin_.at(index); }

protected:
    void done(int result) override;

private:
    void ImportMapSource();
    // Shows a file read whole or in part: the header box, the grid, the datum and the list.
    void ShowFile(const GpsWaypointFile& file);

    DatumChooser chooseDatum_;
    QPlainTextEdit* txtHeader_;
    QComboBox* cmbGrid_;
    QLabel* lblDatum_;
    QPushButton* cmdChangeDatum_;
    QTreeWidget* LV_;
    QCheckBox* chkAll_;
    std::array<QPushButton*, 3> cmdImportGarmin_{};
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace exchange
