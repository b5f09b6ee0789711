#pragma once

#include "exchange/ExportColumns.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace exchange {

// What OK does with the dialog's choices, apart from the window: the ten field values (1 ticked,
// 0 not) always go into the choice; without any field but "Sex" the export is refused (false) and
// ExportCoordSystem stays; otherwise it takes `coordSystem` (-1 or 7).
bool ConfirmExportChoice(ExportChoice& choice, const std::array<std::int16_t, 10>& fields,
                         std::int16_t coordSystem);

// The ten field settings in check-box order: Period, Latitude, Longitude, Number 1, Number 2,
// Ellipsoid, Original coordinates, Date, Free text, Sex.
std::array<std::int16_t ExportChoice::*, 10> ExportFlags();

// Writes a choice back into the program's settings.
void StoreExportChoice(const ExportChoice& choice);

// The modal dialog both exports show before they ask for a file: which fields to export and
// whether the Lambert 72 X and Y come first. OK stores the choices in the settings and sets
// ExportOk to -1; Cancel, the close box or a refusal leave ExportOk at 0 and the coordinate
// choice unchanged.
class OptionsExport : public QDialog {
public:
    explicit OptionsExport(QWidget* parent = nullptr);

    std::int16_t ExportOk = 0;

    std::array<QCheckBox*, 10> IncludeField{};
    QGroupBox* Frame3D1 = nullptr;
    QLabel* lblCoordSystem = nullptr;
    QComboBox* cmbSystem = nullptr;
    QPushButton* ButOk = nullptr;
    QPushButton* ButEsc = nullptr;

private:
    void Form_Load();
    void ButOk_Click();
    void ButEsc_Click();
};

// Shows the dialog modally; true when the user confirmed a choice that can be exported.
bool RunOptionsExport(QWidget* parent);

} // namespace exchange
