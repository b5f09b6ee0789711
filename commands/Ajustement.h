#pragma once

// The adjustment dialog: the square size and the grid of the grid-square snapping.

#include <QDialog>
#include <QString>
#include <array>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace commands {

// The destination datum as the dialog shows it: the five-character code, " - ", the name.
QString DatumLine(int datumIndex);

class Ajustement : public QDialog {
    Q_OBJECT
public:
    explicit Ajustement(QWidget* parent = nullptr);

    // Shows the dialog modally. True after OK, which has stored the choice in UtmAjust and
    // GridAjust; false after Cancel, Esc or the close box, which store nothing.
    bool choose();

    std::array<QRadioButton*, 8> OptionAjust{};
    std::array<QRadioButton*, 3> OptionAjustGrid{};
    QGroupBox* OptionsUTM = nullptr;
    QGroupBox* OptionsGrille = nullptr;
    QPushButton* ButOk = nullptr;
    QPushButton* ButEsc = nullptr;
    QLabel* lblDatum = nullptr;

private:
    void Form_Load();
    void ButOk_Click();

    int ChoixAjust = 0;
    int ChoixAjustGrid = 0;
};

} // namespace commands
