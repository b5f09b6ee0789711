#pragma once

#include <QDialog>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

// The period dialog: one, two or three periods and their pivot years. Made anew each time it is
// shown; it fills its boxes from the stored scheme once, when it opens, so that what the user
// typed stays through any repaint. OK stores the scheme (and rewrites PERIOD when the number of
// periods is lowered outside New); Cancel and the close box change nothing.
class frmOptionsPeriodes : public QDialog {
    Q_OBJECT
public:
    explicit frmOptionsPeriodes(QWidget* parent = nullptr);

    // Captions in the current language (strings 129, 123, 126 to 128, 124, 100, 101).
    void InitCaptions();

    // Command1(0) is OK, Command1(1) Cancel.
    void Command1_Click(int index);

    QGroupBox* FramePivot() const { return FramePivot_; }
    QRadioButton* OptionPivot(int index) const { return OptionPivot_.at(index); }
    QLineEdit* TxtPivot1() const { return TxtPivot1_; }
    QLineEdit* TxtPivot21() const { return TxtPivot21_; }
    QLineEdit* TxtPivot22() const { return TxtPivot22_; }
    QLabel* Label1() const { return Label1_; }
    QPushButton* Command1(int index) const { return Command1_.at(index); }

private:
    void Form_Load();
    int chosenOption() const;

    QGroupBox* FramePivot_;
    std::array<QRadioButton*, 3> OptionPivot_{};
    QLineEdit* TxtPivot1_;
    QLineEdit* TxtPivot21_;
    QLineEdit* TxtPivot22_;
    QLabel* Label1_;
    std::array<QPushButton*, 2> Command1_{};
};

// Shows the period dialog modally over `parent` (New and Options > Periods call it).
void ShowPeriodDialog(QWidget* parent);

} // namespace app
