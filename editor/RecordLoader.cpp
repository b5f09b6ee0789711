#include "editor/RecordLoader.h"

#include "document/DocumentState.h"
#include "document/FreeFields.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/TextRules.h"
#include "editor/BoxLayout.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <exception>
#include <optional>
#include <string>

namespace editor {

namespace {

using geodesy::CoordSystem;

QString Trimmed(const std::optional<QString>& value) {
    return value ? document::TrimBlanks(*value) : QString();
}

template <typename Number> QString NumberText(const std::optional<Number>& value) {
    return value ? QString::number(*value) : QString();
}

// The current row of the record set; nothing without one.
std::optional<document::Record> CurrentRow(EditorHost& host) {
    try {
        const document::RecordSet* records = host.records();
        if (records == nullptr || records->bof() || records->eof()) {
            return std::nullopt;
        }
        return records->current();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

QString RowNumber(EditorHost& host) {
    const document::RecordSet* records = host.records();
    if (records == nullptr || records->bof() || records->eof()) {
        return QStringLiteral("0");
    }
    return QString::number(records->absolutePosition() + 1);
}

std::int16_t IndexOf(const QString& code) {
    try {
        return geodesy::DatumIndex(code.toStdString());
    } catch (const std::exception&) {
        return 0;
    }
}

// Boxes 0 to 2 from the coordinate text `o` (trimmed, upper case) of system `system`.
void FillBoxes(EditorState& state, CoordSystem system, std::string o) {
    std::string v1, v2, v3;
    switch (system) {
    case CoordSystem::Utm:
    case CoordSystem::Mgr:
        geodesy::SplitTriple(o, v1, v2, v3);
        state.setText(Control::EditBox0, QString::fromStdString(v1));
        state.setText(Control::EditBox1, QString::fromStdString(v2));
        state.setText(Control::EditBox2, QString::fromStdString(v3));
        break;
    case CoordSystem::Ifb: {
        // One blank, two or none between the code and the square read the same.
        geodesy::ReplaceChar(o, " ", "");
        state.setText(Control::EditBox2, QString::fromStdString(o.size() > 3 ? o.substr(3) : ""));
        break;
    }
    default:
        geodesy::SplitPair(o, v1, v2);
        state.setText(Control::EditBox1, QString::fromStdString(v1));
        state.setText(Control::EditBox2, QString::fromStdString(v2));
        break;
    }
}

bool DatumMayBeChosen(CoordSystem system) {
    return system == CoordSystem::Deg || system == CoordSystem::Dms || system == CoordSystem::Utm ||
           system == CoordSystem::Mgr || system == CoordSystem::Grp;
}

} // namespace

void CfgFreeFields(EditorState& state) {
    state.freeFieldLabels.clear();
    state.freeFieldValues.clear();
    for (const document::FreeFieldDef& field : document::Document().FreeFields) {
        QString label = field.Label;
        while (label.endsWith(QLatin1Char(' '))) {
            label.chop(1);
        }
        state.freeFieldLabels.append(label);
        state.freeFieldValues.append(QString());
    }
}

void RempliDessus(EditorState& state, EditorHost& host) {
    const auto before = state.texts;
    const bool quiet = state.quiet;
    state.quiet = true;

    for (const Control c :
         {Control::ChampPeriode, Control::ChampLatitude, Control::ChampLongitude, Control::ChampCh1,
          Control::ChampCh2, Control::ChampSex, Control::ChampLibre}) {
        state.setText(c, QString());
    }
    state.setText(Control::ChampAnnee, EmptyDate());
    for (QString& value : state.freeFieldValues) {
        value.clear();
    }

    const std::optional<document::Record> row = CurrentRow(host);
    if (row) {
        state.setText(Control::ChampPeriode, NumberText(row->PERIOD));
        state.setText(Control::ChampLatitude,
                      row->LATITUDE ? host.gridText(*row->LATITUDE) : QString());
        state.setText(Control::ChampLongitude,
                      row->LONGITUDE ? host.gridText(*row->LONGITUDE) : QString());
        state.setText(Control::ChampCh1, NumberText(row->N1));
        state.setText(Control::ChampCh2, NumberText(row->N2));
        state.setText(Control::ChampSex, Trimmed(row->SEX));
        if (!Trimmed(row->DATE).isEmpty()) {
            state.setText(
                Control::ChampAnnee,
                FitDateMask(QString(*row->DATE).replace(QLatin1Char(' '), QLatin1Char('_'))));
        }
    }
    const platform::ProgramSettings& settings = platform::Settings();
    state.Label4 = settings.LabelNumeric1 + QLatin1Char(':');
    state.Label5 = settings.LabelNumeric2 + QLatin1Char(':');

    geodesy::DatumState& datums = geodesy::Datums();
    QString d = row ? Trimmed(row->DATUM).toUpper() : QString();
    if (d.isEmpty()) {
        try {
            d = DatumRowCode(datums.FromIndex);
        } catch (const std::exception&) {
        }
    }
    datums.InputDatum = IndexOf(d);
    if (datums.InputDatum == 0) {
        platform::MsgBox(d + QLatin1Char('\r') + platform::ResText(808));
        d = QStringLiteral("WGS84");
        datums.InputDatum = IndexOf(d);
    }

    const QString o = row ? Trimmed(row->ORIGINAL).toUpper() : QString();
    state.lblDatum = d;
    state.lblCpt = RowNumber(host);

    const auto system = geodesy::CoordSystemFromComparedCode(o.left(3).toStdString());
    if (system) {
        platform::Settings().InputMode = static_cast<std::int16_t>(*system);
        AdapteInputbox(state);
        FillBoxes(state, *system, o.toStdString());
        state.cmdChangeDatumEnabled = DatumMayBeChosen(*system);
        if (*system == CoordSystem::Nma || *system == CoordSystem::Sma) {
            d = QStringLiteral("MER");
        }
    } else {
        // An empty ORIGINAL, or one of no known system: the boxes of the current system, empty.
        AdapteInputbox(state);
    }

    try {
        geodesy::SelectDatum(datums.UTMIndex);
    } catch (const std::exception&) {
    }

    if (row) {
        const document::DocumentState& document = document::Document();
        const document::CommentParts parts =
            document::SplitComment(row->COMMENT.value_or(QString()), document.FreeFieldSeparator,
                                   static_cast<int>(state.freeFieldValues.size()));
        for (qsizetype i = 0; i < state.freeFieldValues.size(); ++i) {
            state.freeFieldValues[i] = parts.values.value(i);
        }
        // Line breaks are kept as single line feeds.
        state.setText(Control::ChampLibre, QString(parts.freeText).remove(QLatin1Char('\r')));
    }

    state.changed = false;
    if (system) {
        state.lblDatum = d;
    }
    datums.InputDatum = IndexOf(state.lblDatum);

    state.quiet = quiet;
    if (state.texts != before) {
        state.markChanged();
        state.changed = false;
    }
}

} // namespace editor
