#pragma once

#include "exchange/GarminImportSettings.h"

#include <QDialog>
#include <QStringList>
#include <array>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace exchange {

// The options of a MapSource waypoint import: the period, and where the date and the altitude
// come from, with live samples of what the first-character and length settings cut from the first
// non-empty value of the chosen column. OK stores the options; Cancel and the close box store
// nothing.
class frmGarminOptions : public QDialog {
    Q_OBJECT
public:
    // `columns` are the waypoint list's titles, `items` its rows (cell 0 the item's text).
    frmGarminOptions(QStringList columns, std::vector<QStringList> items,
                     QWidget* parent = nullptr);

    // Fills the controls from `settings` (an empty DateFixed shows "____/__/__").
    void Open(objGraminImport settings);
    // The options as the controls hold them now.
    objGraminImport Options() const;

    void DetTxtDateExemple();
    void DetTxtAltitudeExemple();
    void ExempleDate();
    void ExempleAltitude();
    // Stores the options (OK).
    void SauveOptions();

    QLineEdit* txtPeriod() const { return txtPeriod_; }
    QRadioButton* optDate(int i) const { return optDate_.at(i); }
    QRadioButton* optAltitude(int i) const { return optAltitude_.at(i); }
    QLineEdit* txtDate() const { return txtDate_; }
    QLineEdit* txtAltitude() const { return txtAltitude_; }
    QComboBox* cmbFieldDate() const { return cmbFieldDate_; }
    QComboBox* cmbFieldAltitude() const { return cmbFieldAltitude_; }
    QComboBox* cmbDateFormat() const { return cmbDateFormat_; }
    QLineEdit* txtDateChar(int i) const { return txtDateChar_.at(i); }
    QLineEdit* txtAltitudeChar(int i) const { return txtAltitudeChar_.at(i); }
    QLabel* lblSampleDate() const { return lblSampleDate_; }
    QLabel* lblSampleAltitude() const { return lblSampleAltitude_; }
    QToolButton* upDown(int i, bool up) const { return upDowns_.at(i).at(up ? 0 : 1); }

private:
    void applyDateRule(int option);
    void applyAltitudeRule(int option);
    QWidget* withUpDown(QLineEdit* box, int index, int maximum);

    QStringList columns_;
    std::vector<QStringList> items_;
    QString dateExample_;
    QString altitudeExample_;

    QLineEdit* txtPeriod_;
    std::array<QRadioButton*, 3> optDate_{};
    std::array<QRadioButton*, 3> optAltitude_{};
    QLineEdit* txtDate_;
    QLineEdit* txtAltitude_;
    QComboBox* cmbFieldDate_;
    QComboBox* cmbFieldAltitude_;
    QComboBox* cmbDateFormat_;
    std::array<QLineEdit*, 2> txtDateChar_{};
    std::array<QLineEdit*, 2> txtAltitudeChar_{};
    QLabel* lblSampleDate_;
    QLabel* lblSampleAltitude_;
    std::array<QLabel*, 5> fldDate_{};
    std::array<QLabel*, 4> lblAltitude_{};
    // Up-downs 1 to 5: period, date first character and length, altitude first character and
    // length; [0] steps up, [1] down.
    std::array<std::array<QToolButton*, 2>, 5> upDowns_{};
};

} // namespace exchange
