#pragma once

#include <QDialog>
#include <QStringList>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace exchange {

// The coordinate text import chooser: the file to import and its coordinate system, with the
// structure the import expects and the file's first lines to compare. It hands its result back
// through the import state and the caption of `mailbox`: the system index after OK, "-1" after
// Cancel or the close box.
class frmImportation : public QDialog {
    Q_OBJECT
public:
    frmImportation(QLabel* mailbox, QWidget* parent = nullptr);

    // Shows the first lines of the file lblImportation(0) names.
    void UpdateInfoFile();
    // 0 browse, 1 OK, 2 Cancel.
    void cmdImportation_Click(int index);

    QComboBox* cboImportation() const { return cboImportation_; }
    QLabel* lblImportation(int index) const { return lblImportation_.at(index); }
    QPushButton* cmdImportation(int index) const { return cmdImportation_.at(index); }

    void reject() override;

private:
    void showStructure();

    QLabel* mailbox_;
    QStringList structures_;
    QComboBox* cboImportation_;
    std::array<QLabel*, 6> lblImportation_{};
    std::array<QPushButton*, 3> cmdImportation_{};
    QGroupBox* Frame1_;
    bool closedByButton_ = false;
};

// The structure string id of each system (before the language offset).
int StructureId(int systemIndex);

} // namespace exchange
