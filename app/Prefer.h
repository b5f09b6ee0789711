#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace app {

struct PreferFields;

// What the main window lends the preferences dialog.
struct PreferHooks {
    // Whether the grid shows a document (one was created or opened).
    std::function<bool()> gridShown;
    // Shows the datum chooser preselected on a code and returns its Code ("" after its Cancel).
    std::function<QString(const QString& code)> chooseDatum;
    // Every position was recomputed into this new destination datum: the status bar's datum
    // panel shows it and the grid shows Data1 anew.
    std::function<void(const QString& destCode)> datumRecomputed;
};

// The preferences dialog: input system, numeric captions, silent mode, separator, automatic save,
// working folder and the three default datums. Made anew for each opening: it reads the settings
// when it is made; OK stores them, Cancel and the close box store nothing.
class Prefer : public QDialog {
    Q_OBJECT

public:
    explicit Prefer(PreferHooks hooks, QWidget* parent = nullptr);

    void ChkAutoSave_Click() { StatutAutoSave(); }
    // The interval box and its two labels are enabled only while the automatic save is on.
    void StatutAutoSave();
    void cmdOpen_Click();
    void cmdChangeDatum_Click();
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel

    // The destination datum's index when the dialog was made.
    int InitialDestIndex = 0;

    QComboBox* Combo2 = nullptr;
    std::array<QLineEdit*, 2> ChampNumerique{};
    QCheckBox* OptSilence = nullptr;
    QLineEdit* TxtSepar = nullptr;
    QCheckBox* ChkAutoSave = nullptr;
    QLineEdit* txtSaveInterval = nullptr;
    QLabel* lblAutoSave = nullptr;
    QLabel* lblMin = nullptr;
    QLineEdit* txtWorkingDir = nullptr;
    QToolButton* cmdOpen = nullptr;
    QComboBox* cmbDatum = nullptr;
    QComboBox* cmbDatumUTM = nullptr;
    QLabel* lblDatumOrig = nullptr;
    QPushButton* cmdChangeDatum = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    QLabel* Label2 = nullptr;
    std::array<QLabel*, 2> Label3{};
    QLabel* LblSepar = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    std::array<QGroupBox*, 4> Frame{}; // working folder, options, numeric captions, datums

private:
    void buildControls();
    void Form_Load();
    void setCaptions();
    void setSphericalText(const QString& text);
    PreferFields fields() const;

    PreferHooks hooks_;
};

// Shows the preferences dialog modally over `parent` (Options > Preferences).
void ShowPreferences(const PreferHooks& hooks, QWidget* parent);

} // namespace app
