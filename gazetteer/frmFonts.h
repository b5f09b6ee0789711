#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;

namespace gazetteer {

// The display fonts of the place names, one per script region: each row's button opens the font
// chooser; OK stores the six rows, Cancel keeps the fonts as they were.
class frmFonts : public QDialog {
    Q_OBJECT
public:
    explicit frmFonts(QWidget* parent = nullptr);

    void cmdOpen_Click(int index);
    void cmdOk_Click();

    std::array<QLabel*, 6> lblFont{};
    std::array<QLabel*, 6> lblSize{};
};

} // namespace gazetteer
