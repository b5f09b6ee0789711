#include "editor/EditorState.h"

namespace editor {

namespace {

// Positions of the date mask that hold "/"; the others hold a digit or "_".
bool IsSeparatorPosition(qsizetype i) {
    return i == 4 || i == 7;
}

constexpr qsizetype kDateLength = 10;

} // namespace

Control EditBoxControl(int index) {
    return static_cast<Control>(static_cast<int>(Control::EditBox0) + index);
}

QString EmptyDate() {
    return QStringLiteral("____/__/__");
}

QString FitDateMask(const QString& text) {
    if (text.size() > kDateLength) {
        return EmptyDate();
    }
    QString shown = EmptyDate();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool fits =
            IsSeparatorPosition(i)
                ? c == QLatin1Char('/')
                : (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
        if (!fits) {
            return EmptyDate();
        }
        shown[i] = c;
    }
    return shown;
}

EditorState::EditorState() {
    texts[static_cast<std::size_t>(Control::ChampAnnee)] = EmptyDate();
    // Where the boxes stand before the first layout: as numeric UTM lays them out.
    EditBox[0].left = 120;
    EditBox[0].width = 540;
    EditBox[1].left = 720;
    EditBox[1].width = 1500;
    EditBox[2].left = 2280;
    EditBox[2].width = 1500;
    for (std::size_t i = 0; i < EditBox.size(); ++i) {
        LblEditBox[i].left = EditBox[i].left;
        LblEditBox[i].width = EditBox[i].width;
    }
}

const QString& EditorState::text(Control control) const {
    return texts[static_cast<std::size_t>(control)];
}

void EditorState::setText(Control control, const QString& value) {
    QString& current = texts[static_cast<std::size_t>(control)];
    if (current == value) {
        return;
    }
    current = value;
    markChanged();
}

void EditorState::markChanged() {
    if (OnLoad || quiet) {
        return;
    }
    changed = true;
    ButOkEnabled = true;
}

} // namespace editor
