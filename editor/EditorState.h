#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>

namespace editor {

// The controls of the record editor whose text the user types and the editor writes.
enum class Control {
    ChampLatitude,
    ChampLongitude,
    ChampPeriode,
    ChampCh1,
    ChampCh2,
    ChampSex,
    ChampAnnee, // the masked date box, "####/##/##" with "_" for a digit not given
    ChampLibre, // the free text, line breaks as single line feeds
    EditBox0,   // the three input boxes of the entered coordinates
    EditBox1,
    EditBox2,
    None,
};
inline constexpr std::size_t kTextControlCount = 11;

// The input box `index` (0, 1 or 2).
Control EditBoxControl(int index);

// The date box's text when no digit is given.
QString EmptyDate();
// The text the date box shows for `text`: a text that fits the mask from its first position on
// (digits or "_" where the mask has digits, "/" where it has "/") fills those positions and leaves
// the rest blank ("2001" shows 2001/__/__); any other text leaves the box empty.
QString FitDateMask(const QString& text);

// An input box of the input frame; positions in twips, as the layout sets them.
struct InputBox {
    bool visible = true;
    int maxLength = 0; // 0 until a layout sets one
    int left = 0;
    int width = 0;
};

// The label above an input box: what the box takes.
struct BoxLabel {
    QString caption;
    bool visible = true;
    int left = 0;
    int width = 0;
};

// Everything the record editor shows, without a window: the texts of its controls, the input
// frame, the check panel, the free fields and the flags of the window. The window shows this state
// and hands what the user types back to it.
struct EditorState {
    EditorState();

    const QString& text(Control control) const;
    // Writes a control's text as the editor does: a text that differs from the one shown is a
    // change of that control, handled as the user's own typing (markChanged).
    void setText(Control control, const QString& text);
    // The change handling of the fields: unless the window is loading, the shown row is changed
    // and the save button enabled.
    void markChanged();

    std::array<QString, kTextControlCount> texts;

    std::array<InputBox, 3> EditBox;
    std::array<BoxLabel, 3> LblEditBox;
    QString FrameInputCaption;
    bool FrameInputHighlighted = false; // an input box got the focus; cleared when box 2 is left
    QString lblDatum;                   // the datum code of the entered coordinates
    QString lblDatumToolTip;
    bool cmdChangeDatumEnabled = true;
    int cmbSystem = -1; // the selected entry of the system list
    QString SystemCode; // the code that saving writes at the head of ORIGINAL
    QString LabelLibre; // caption of the check panel's line in the input system
    QString ValeurDMS;  // check panel
    QString ValeurUtmMetrique;
    QString ValeurUtmAlpha;
    QString ValeurLibre;
    bool ValeurLibreVisible = true;

    QString Label4; // captions of N1 and N2
    QString Label5;
    QString lblCpt; // the 1-based position of the shown row

    // The free-field grid: one label and one value per configured free field.
    QStringList freeFieldLabels;
    QStringList freeFieldValues;

    bool OnLoad = false;       // the window's load step is running
    bool changed = false;      // a field of the shown row was changed and not yet saved
    bool ButOkEnabled = false; // the save button

    // Where a handler asks the focus to go (a refused field, box 2 after an invalid entry).
    Control focusRequest = Control::None;
    // While set, writes are not changes (a load compares before and after instead).
    bool quiet = false;
};

} // namespace editor
