#include "document/FreeFields.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/TextRules.h"
#include "platform/TextFile.h"

#include <QDir>
#include <algorithm>

namespace document {

namespace {

const QString kLineEnd = QString::fromLatin1(kHeaderLineEnd);

} // namespace

QStringList SplitDefinitionLine(const QString& line) {
    return line.split(QLatin1Char(','));
}

std::int16_t FreeFieldNumber(const QString& part) {
    return common::ToInt16(common::NumericValue(part.toStdString()));
}

std::optional<FreeFieldDef> ParseDefinitionLine(const QString& line) {
    const QStringList parts = SplitDefinitionLine(line);
    if (parts.size() < 3) {
        return std::nullopt;
    }
    FreeFieldDef def;
    def.Code = parts[0];
    def.Label = parts[1];
    def.Number = FreeFieldNumber(parts[2]);
    return def;
}

FreeFieldModel StartFreeFieldModel(const QString& separatorLine) {
    FreeFieldModel model;
    model.FreeFieldSeparator = separatorLine;
    model.FreeFieldHeader = separatorLine;
    return model;
}

bool AddDefinitionLine(FreeFieldModel& model, const QString& line) {
    std::optional<FreeFieldDef> def;
    try {
        def = ParseDefinitionLine(line);
    } catch (const common::AppError&) {
        return false; // a Number outside the 16-bit range
    }
    if (!def) {
        return false;
    }
    model.FreeFieldHeader += kLineEnd;
    model.FreeFieldHeader += line;
    model.FreeFields.push_back(std::move(*def));
    return true;
}

const QStringList& BuiltInDefinitionLines() {
    static const QStringList lines = {
        QStringLiteral("STAT.TOPO,Toponyme,Nom du lieu-dit,50"),
        QStringLiteral("STAT.LOCA,Localité,Nom de la localité,50"),
        QStringLiteral("STAT.FIPS,FIPS,Code FIPS,4"),
        QStringLiteral("STAT.ALTI,Altitude,Altitude en m.,5"),
        QStringLiteral("COND.TAXPRIO,Taxon associé (fleur),Taxon associé (fleur),50"),
        QStringLiteral("COND.MICR , Microsituation, Microsituation, 5"),
        QStringLiteral("SPEC.DET , Déterminateur, Déterminateur, 10"),
        QStringLiteral("SPEC.REC , Récolteur, Récolteur, 20"),
        QStringLiteral("Spec.AUCT,Auteur de la donnée,Auteur de la donnée,20"),
        QStringLiteral("SPEC.SRC , Source, Source, 2"),
        QStringLiteral("SPEC.COLL , Collection, Collection, 10"),
    };
    return lines;
}

FreeFieldModel BuiltInFreeFields() {
    FreeFieldModel model = StartFreeFieldModel(QStringLiteral("/"));
    for (const QString& line : BuiltInDefinitionLines()) {
        AddDefinitionLine(model, line);
    }
    return model;
}

QString StandardHeaderPath(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("standard.hdr"));
}

FreeFieldModel ReadStandardHeader(const QString& path) {
    platform::TextFileReader file(path);
    if (file.atEnd()) {
        return FreeFieldModel{};
    }
    FreeFieldModel model = StartFreeFieldModel(file.readLine());
    while (!file.atEnd()) {
        AddDefinitionLine(model, file.readLine());
    }
    if (model.FreeFields.empty()) {
        // A separator line alone defines nothing: keep the model of a document without free
        // fields, whose header is empty.
        return FreeFieldModel{};
    }
    return model;
}

FreeFieldModel CurrentFreeFields() {
    const DocumentState& state = Document();
    FreeFieldModel model;
    model.FreeFields = state.FreeFields;
    model.FreeFieldSeparator = state.FreeFieldSeparator;
    model.FreeFieldHeader = state.FreeFieldHeader;
    return model;
}

void InstallFreeFields(const FreeFieldModel& model) {
    DocumentState& state = Document();
    state.FreeFields = model.FreeFields;
    state.FreeFieldCount = model.count();
    state.FreeFieldSeparator = model.FreeFieldSeparator;
    state.FreeFieldHeader = model.FreeFieldHeader;
}

void ClearFreeFields() {
    DocumentState& state = Document();
    state.FreeFields.clear();
    state.FreeFieldCount = 0;
    state.FreeFieldHeader.clear();
}

int FindFreeField(const std::vector<FreeFieldDef>& fields, const QString& code) {
    const QString wanted = TrimBlanks(code).toUpper();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (TrimBlanks(fields[i].Code).toUpper() == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CommentParts SplitComment(const QString& comment, const QString& separator, int fieldCount) {
    CommentParts result;
    const int count = std::max(fieldCount, 0);
    for (int i = 0; i < count; ++i) {
        result.values.append(QString());
    }
    const QString text = TrimBlanks(comment);
    if (separator.isEmpty() || !text.contains(separator)) {
        result.freeText = text;
        return result;
    }
    const QStringList parts = text.split(separator);
    for (int i = 0; i < count && i < parts.size(); ++i) {
        result.values[i] = parts[i];
    }
    if (parts.size() > count) {
        result.freeText = parts.mid(count).join(separator);
    }
    return result;
}

QString JoinComment(const QStringList& values, const QString& freeText, const QString& separator) {
    QString comment;
    for (const QString& value : values) {
        comment += value;
        comment += separator;
    }
    comment += freeText;
    return comment;
}

} // namespace document
