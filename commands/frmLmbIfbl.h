#pragma once

// A small dialog that converts between IFBL square codes and Belgian Lambert 72 coordinates, kept
// for checking the grid by hand; no menu shows it.

#include <QDialog>
#include <QString>
#include <array>

class QLineEdit;
class QPushButton;

namespace commands {

// The centre of the square a code names, as the two texts of x and y ("0" and "0" for a code
// that names no square).
std::array<QString, 2> IfblCodeToLambertTexts(const QString& code);
// The code of the 1 km square that holds the point whose x and y are given as texts (read by their
// numeric value); empty outside the area.
QString LambertTextsToIfblCode(const QString& x, const QString& y);

class frmLmbIfbl : public QDialog {
    Q_OBJECT
public:
    explicit frmLmbIfbl(QWidget* parent = nullptr);

    QLineEdit* txtIFBL = nullptr;
    std::array<QLineEdit*, 2> txtLambert{};
    std::array<QPushButton*, 2> Command1{};

private:
    void Command1_Click(int index);
};

} // namespace commands
