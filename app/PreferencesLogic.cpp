#include "app/PreferencesLogic.h"

#include "app/BrowseForFolder.h"
#include "app/frmDatum.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Recompute.h"
#include "document/RecordSet.h"
#include "document/TextRules.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QDir>
#include <optional>

namespace app {

namespace {

constexpr int kCodeLength = 5;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString FixedCodeText(const geodesy::DatumRec& datum) {
    return Text(geodesy::FixedCode(datum.Code));
}

QStringList ItemsWhere(const std::function<bool(const geodesy::DatumRec&)>& keep) {
    const geodesy::DatumState& datums = geodesy::Datums();
    QStringList items;
    for (int i = 1; i <= datums.datumCount(); ++i) {
        const geodesy::DatumRec& datum = datums.DatumTable[static_cast<std::size_t>(i)];
        if (keep(datum)) {
            items << DatumListItem(datum);
        }
    }
    return items;
}

// The code an item or label starts with, and its index; nothing for an empty text or a code
// that is not loaded, so that the current code stays.
struct ChosenDatum {
    QString code;
    std::int16_t index = 0;
};
std::optional<ChosenDatum> ChosenFrom(const QString& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    ChosenDatum chosen{text.left(kCodeLength), 0};
    chosen.index = geodesy::DatumIndex(chosen.code.toStdString());
    if (chosen.index == 0) {
        return std::nullopt;
    }
    return chosen;
}

void SaveDatumCode(const char* key, const QString& code) {
    platform::SaveSetting(QStringLiteral("ZEB"), QStringLiteral("Datum"), QString::fromLatin1(key),
                          code);
}

bool SameFolder(const QString& a, const QString& b) {
    return QDir::cleanPath(QDir::fromNativeSeparators(a)) ==
           QDir::cleanPath(QDir::fromNativeSeparators(b));
}

} // namespace

QString DatumListItem(const geodesy::DatumRec& datum) {
    return FixedCodeText(datum) + QStringLiteral(" - ") + Text(datum.Name);
}

QString SphericalDatumText(const geodesy::DatumRec& datum) {
    return DatumListItem(datum) + QStringLiteral(" (") + Text(datum.Applic) + QStringLiteral(")");
}

QStringList DestinationDatumItems() {
    return ItemsWhere(
        [](const geodesy::DatumRec& datum) { return datum.Use == geodesy::kUseDestination; });
}

QStringList UtmDatumItems() {
    return ItemsWhere([](const geodesy::DatumRec& datum) { return datum.Use >= geodesy::kUseUtm; });
}

int FindDatumItem(const QStringList& items, const QString& code) {
    const QString wanted = document::TrimBlanks(code);
    for (int i = 0; i < items.size(); ++i) {
        if (document::TrimBlanks(QStringView(items[i]).left(kCodeLength)) == wanted) {
            return i;
        }
    }
    return -1;
}

QString SphericalDatumTextAt(int index) {
    const geodesy::DatumState& datums = geodesy::Datums();
    if (index < 1 || index > datums.datumCount()) {
        return {};
    }
    return SphericalDatumText(datums.datum(index));
}

QString SphericalDatumTextFor(const QString& chooserCode) {
    const DatumChoice choice = CheckDatumChoice(chooserCode, false);
    if (choice.outcome != DatumChoice::Outcome::Accepted) {
        return {};
    }
    return SphericalDatumTextAt(choice.index);
}

QString CorrectedSaveIntervalText(const QString& text) {
    const double value = common::NumericValue(text.toStdString());
    if (value < 1.0) {
        return QStringLiteral("5");
    }
    if (value > 100.0) {
        return QStringLiteral("100");
    }
    return text;
}

int SaveIntervalOf(const QString& text) {
    return common::ToInt16(common::NumericValue(text.toStdString()));
}

PreferOkResult PreferOk(PreferFields& fields, const PreferOkContext& context) {
    fields.saveInterval = CorrectedSaveIntervalText(fields.saveInterval);

    const std::optional<ChosenDatum> destination = ChosenFrom(fields.destinationItem);
    bool recompute = false;
    if (destination && destination->index != context.initialDestIndex && context.gridShown) {
        const platform::Answer answer =
            platform::MsgBox(platform::ResText(804) + QLatin1Char('\r') + platform::ResText(805),
                             platform::Buttons::OkCancel, platform::Icon::Exclamation);
        if (answer != platform::Answer::Ok) {
            return {};
        }
        recompute = true;
        document::Document().FileModified = -1;
    }

    platform::ProgramSettings& settings = platform::Settings();
    settings.LabelNumeric1 = fields.labelNumeric1;
    settings.LabelNumeric2 = fields.labelNumeric2;
    settings.InputMode = static_cast<std::int16_t>(fields.inputMode);
    settings.Silence = static_cast<std::int16_t>(fields.silence);
    settings.Separator = fields.separator;
    settings.SaveInterval = static_cast<std::int16_t>(SaveIntervalOf(fields.saveInterval));
    settings.AutoSave = static_cast<std::int16_t>(fields.autoSave);

    geodesy::DatumState& datums = geodesy::Datums();
    if (destination) {
        SaveDatumCode("DestCode", destination->code);
        datums.DestCode = destination->code.toStdString();
        datums.DestIndex = destination->index;
    }
    if (const std::optional<ChosenDatum> utm = ChosenFrom(fields.utmItem)) {
        datums.UTMCode = utm->code.toStdString();
        datums.UTMIndex = utm->index;
    }
    if (const std::optional<ChosenDatum> spherical = ChosenFrom(fields.sphericalText)) {
        SaveDatumCode("FromCode", spherical->code);
        datums.FromCode = spherical->code.toStdString();
        datums.FromIndex = spherical->index;
    }
    SaveDatumCode("UTMCode", Text(datums.UTMCode));

    PreferOkResult result{true, false};
    if (recompute) {
        RecomputeWholeTable();
        result.recomputed = true;
    }
    return result;
}

void RecomputeWholeTable() {
    try {
        document::AjusteDegresOn(
            document::RecordSet::open(document::WorkDb(), QStringLiteral("DOVAZOV")),
            document::kNoMesh, document::kNoMesh);
    } catch (...) {
        platform::ShowProgress(false);
        throw;
    }
    document::DataControl& data = document::Data1();
    if (data.bound()) {
        data.refresh();
    }
}

QString ChooseWorkingFolder(QWidget* owner, const QString& workingDir) {
    BrowseStartFolder() = workingDir;
    const QString path =
        BrowseForFolder(owner, QStringLiteral("Please choose a folder"), kBrowseNewDialog);
    BrowseStartFolder().clear();
    BrowseNewFolder().clear();
    // The stored folder ends with a separator and the chosen one does not: compare the folders.
    // Letter case counts: on this system "/data/Work" and "/data/work" are two folders.
    if (path.isEmpty() || SameFolder(path, workingDir)) {
        return {};
    }
    platform::SaveSetting(QStringLiteral("DOVAzov"), QStringLiteral("Config"),
                          QStringLiteral("WorkingDir"), path);
    platform::MsgBox(QStringLiteral("You have to restart DOVAzov in order to change the temporary "
                                    "working folder"),
                     platform::Buttons::Ok, platform::Icon::Exclamation);
    return path;
}

} // namespace app
