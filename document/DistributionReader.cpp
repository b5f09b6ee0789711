#include "document/DistributionReader.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DistributionFormat.h"
#include "document/DocumentState.h"
#include "document/FreeFields.h"
#include "document/Periods.h"
#include "document/Recompute.h"
#include "document/RecordSet.h"
#include "document/TextRules.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorPlace.h"
#include "platform/Feedback.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"
#include "platform/Windows1252.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cmath>
#include <limits>
#include <string>

namespace document {

namespace {

void Call(const std::function<void()>& hook) {
    if (hook) {
        hook();
    }
}

QString Decoded(const QByteArray& bytes) {
    return platform::DecodeWindows1252(bytes);
}

// A refused merge: told with a critical icon and no beep.
struct MergeRefused {
    QString message;
};

// The header of a file, as read before its records.
struct Header {
    bool current = false;
    QString datum;                            // current layout: the datum line's field
    bool hasBlock = false;                    // current layout: a free-field block before "<END>"
    QString separatorLine;                    // the block's first line, as its field reads
    QString separator;                        // the block's separator ("/" for an empty field)
    QStringList definitionLines;              // the block's lines that are not blank
    std::optional<FreeFieldModel> freeFields; // what an open installs (nothing: none)
    QString title;
    QString comment;
    std::optional<PeriodScheme> periods; // an open's scheme, when the period line gives one
};

// The file's lines, one after the other.
class Lines {
public:
    explicit Lines(LineSource& source) : source_(source) {}
    QByteArray next() {
        ++number_;
        return source_.readRawLine();
    }
    bool atEnd() { return source_.atEnd(); }
    LineSource& source() { return source_; }
    // The number of the line read last (or being read), from 1.
    qint64 number() const { return number_; }
    void forget() { number_ = 0; }

private:
    LineSource& source_;
    qint64 number_ = 0;
};

// The parts of a definition line of a file's free-field block, which must give a code, a label
// and a number.
QStringList DefinitionParts(const QString& line) {
    QStringList parts = SplitDefinitionLine(line);
    if (parts.size() < 3) {
        throw common::AppError(common::kSubscript,
                               "Subscript out of range: a free-field definition needs a code, a "
                               "label and a number");
    }
    return parts;
}

// Compares the merged file's free-field block with the document's definitions, by position.
void CheckMergedFields(const Header& header, const DocumentState& doc) {
    if (header.separator != doc.FreeFieldSeparator) {
        throw MergeRefused{QStringLiteral("Field definition not compatible with current file!") +
                           QStringLiteral("\r\n") + header.separator};
    }
    for (qsizetype i = 0; i < header.definitionLines.size(); ++i) {
        const QStringList parts = DefinitionParts(header.definitionLines[i]);
        const QString shown = parts[0] + QLatin1Char(',') + parts[1] + QLatin1Char(',') + parts[2];
        const bool beyond = i >= static_cast<qsizetype>(doc.FreeFields.size());
        if (beyond ||
            TrimBlanks(parts[0]).toUpper() != TrimBlanks(doc.FreeFields[i].Code).toUpper() ||
            TrimBlanks(parts[1]).toUpper() != TrimBlanks(doc.FreeFields[i].Label).toUpper() ||
            common::NumericValue(parts[2].toStdString()) != doc.FreeFields[i].Number) {
            throw MergeRefused{
                QStringLiteral("Field definition not compatible with current file!") +
                QStringLiteral("\r\n") + shown};
        }
    }
}

// The free-field model of a file's block, as an open installs it. An empty separator field still
// heads the block as it was read; only the separator becomes "/".
FreeFieldModel ModelOfBlock(const Header& header) {
    FreeFieldModel model = StartFreeFieldModel(header.separatorLine);
    model.FreeFieldSeparator = header.separator;
    for (const QString& line : header.definitionLines) {
        DefinitionParts(line);
        if (!AddDefinitionLine(model, line)) {
            throw common::AppError(common::kOverflow);
        }
    }
    return model;
}

// Reads the lines before the records, and runs the merge checks where they stand.
Header ReadHeader(Lines& lines, int mode, const QString& programFolder) {
    Header header;
    const DocumentState& doc = Document();
    const QByteArray first = lines.next();
    header.current = deg::IsCurrentLayout(first);
    if (header.current) {
        header.datum = deg::DelimitedField(Decoded(lines.next()));
        const QString field = deg::DelimitedField(Decoded(lines.next()));
        if (field != QLatin1String(deg::kEndLine)) {
            header.hasBlock = true;
            header.separatorLine = field;
            header.separator = field.isEmpty() ? QStringLiteral("/") : field;
            for (;;) {
                const QString line = Decoded(lines.next());
                if (line.compare(QLatin1String(deg::kEndLine), Qt::CaseInsensitive) == 0) {
                    break;
                }
                if (!TrimBlanks(line).isEmpty()) {
                    header.definitionLines.append(line);
                }
            }
        }
        if (mode == kMergeMode) {
            const QString mine = TrimBlanks(QString::fromStdString(geodesy::Datums().DestCode));
            if (TrimBlanks(header.datum).toUpper() != mine.toUpper()) {
                throw MergeRefused{QStringLiteral("Datum not compatible with current file.")};
            }
            if (doc.FreeFieldCount != 0 && header.hasBlock) {
                CheckMergedFields(header, doc);
            }
        }
        if (header.hasBlock && (mode == kOpenMode || doc.FreeFieldCount == 0)) {
            header.freeFields = ModelOfBlock(header);
        }
        header.title = Decoded(lines.next());
    } else {
        header.title = Decoded(first);
        if (mode == kOpenMode) {
            const QString path = StandardHeaderPath(
                programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder);
            if (QFileInfo(path).isFile() &&
                platform::MsgBox(platform::ResText(810), platform::Buttons::YesNo,
                                 platform::Icon::Question) == platform::Answer::Yes) {
                header.freeFields = ReadStandardHeader(path);
                // Read this way, every definition line is followed by a line end, the last one
                // too; a file written from it has a blank line before "<END>", which is skipped.
                if (header.freeFields->count() > 0) {
                    header.freeFields->FreeFieldHeader += QString::fromLatin1(kHeaderLineEnd);
                }
            }
        }
    }
    header.comment = Decoded(lines.next());
    const QString periodLine = Decoded(lines.next());
    if (mode == kOpenMode) {
        header.periods = deg::PeriodSchemeFromLine(periodLine, CurrentPeriodScheme());
    }
    lines.next(); // statistics line
    lines.next(); // the comment again
    return header;
}

// The free fields the records of the file are filled against.
FreeFieldModel FieldsForRecords(const Header& header, int mode) {
    if (header.freeFields) {
        return *header.freeFields;
    }
    if (mode == kMergeMode) {
        return CurrentFreeFields();
    }
    return FreeFieldModel{}; // an open without definitions has no free fields
}

// Appends the record lines through one prepared statement. Returns true when a short record
// line was met.
class RecordAppender {
public:
    RecordAppender(const FreeFieldModel& fields, bool olderLayout)
        : insert_(WorkDb(), kInsertRecordSql), fieldCount_(fields.count()),
          olderLayout_(olderLayout) {
        const QByteArray separator = platform::EncodeWindows1252(fields.FreeFieldSeparator);
        separator_ = fields.FreeFieldSeparator.size() == 1 ? separator : QByteArray();
        if (!fields.FreeFieldSeparator.isEmpty()) {
            fill_ = platform::EncodeWindows1252(fields.FreeFieldSeparator.left(1));
        }
    }

    // Returns false when the line ends the data.
    bool append(QByteArrayView line) {
        if (line.size() <= deg::kShortLineLength && deg::IsEndMarker(line)) {
            return false;
        }
        field_ = nullptr;
        const deg::RecordLineColumns c = deg::SplitRecordLine(line);
        insert_.reset();
        field_ = "PERIOD";
        insert_.bind(1, static_cast<int>(common::ToInt16(deg::ColumnNumber(c.period, false))));
        field_ = "LATITUDE";
        insert_.bind(2, Single(deg::ColumnNumber(c.latitude, true)));
        field_ = "LONGITUDE";
        insert_.bind(3, Single(deg::ColumnNumber(c.longitude, true)));
        field_ = "N1";
        insert_.bind(4, common::ToInt32(deg::ColumnNumber(c.n1, false)));
        field_ = "N2";
        insert_.bind(5, common::ToInt32(deg::ColumnNumber(c.n2, false)));
        field_ = nullptr; // the text fields are checked by the table, which names its field
        std::optional<QByteArrayView> comment;
        if (line.size() <= deg::kShortLineLength) {
            shortLines_ = true;
            insert_.bind(6);
            insert_.bind(7, "EUR-M");
            original_ = "deg ";
            AppendText(original_, c.latitude);
            original_ += ' ';
            AppendText(original_, c.longitude);
            insert_.bindNoCopy(8, original_);
            insert_.bind(9, "");
        } else {
            BindText(6, sex_, c.sex.value_or(QByteArrayView()), true);
            std::optional<QByteArrayView> datum = c.datum;
            if (datum) {
                datum = deg::DatumOfOldName(*datum).value_or(*datum);
            }
            if (c.original) {
                if (const auto imposed = deg::DatumOfSystem(*c.original, olderLayout_)) {
                    datum = imposed;
                }
            }
            BindText(7, datum_, datum.value_or(QByteArrayView()), true);
            BindText(8, original_, c.original.value_or(QByteArrayView()), true);
            BindText(9, date_, c.date.value_or(QByteArrayView()), false);
            comment = c.comment;
        }
        BindComment(comment.value_or(QByteArrayView()));
        insert_.exec();
        return true;
    }

    bool shortLines() const { return shortLines_; }
    // The field of the record line being stored when it failed; null when not known.
    const char* field() const { return field_; }

private:
    static double Single(double value) {
        if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
            throw common::AppError(common::kOverflow);
        }
        return static_cast<double>(static_cast<float>(value));
    }

    static void AppendText(std::string& out, QByteArrayView bytes) {
        platform::AppendUtf8OfWindows1252(out, bytes);
    }

    // A text column: Null for an empty or blank text where `blankIsNull`, else the text as it
    // stands in the line, blanks included.
    void BindText(int index, std::string& buffer, QByteArrayView bytes, bool blankIsNull) {
        if (blankIsNull && TrimmedEmpty(bytes)) {
            insert_.bind(index);
            return;
        }
        buffer.clear();
        AppendText(buffer, bytes);
        insert_.bindNoCopy(index, buffer);
    }

    static bool TrimmedEmpty(QByteArrayView bytes) {
        for (const char c : bytes) {
            if (c != ' ') {
                return false;
            }
        }
        return true;
    }

    // With free fields, a comment that holds fewer separators than there are fields gets the
    // missing ones in front of it.
    void BindComment(QByteArrayView bytes) {
        comment_.clear();
        if (fieldCount_ > 0) {
            int found = 0;
            if (separator_.size() == 1) {
                for (const char c : bytes) {
                    found += c == separator_[0] ? 1 : 0;
                }
            }
            for (int i = found; i < fieldCount_; ++i) {
                comment_.append(fill_.constData(), static_cast<size_t>(fill_.size()));
            }
        }
        AppendText(comment_, bytes);
        insert_.bindNoCopy(10, comment_);
    }

    SQLite::Statement insert_;
    int fieldCount_;
    bool olderLayout_;
    QByteArray separator_; // the separator counted in comments: one character, else none
    QByteArray fill_;      // the character put in front of a comment
    std::string sex_, datum_, original_, date_, comment_;
    bool shortLines_ = false;
    const char* field_ = nullptr;
};

// The progress of the read: the share of the file read, shown at each new multiple of 10.
class FileProgress {
public:
    explicit FileProgress(const LineSource& source) : source_(source) {}
    void step() {
        const qint64 size = source_.size();
        if (size <= 0) {
            return;
        }
        const qint64 percent = source_.position() * 100 / size;
        if (percent % 10 == 0 && percent != last_) {
            last_ = percent;
            platform::SetProgress(static_cast<double>(percent));
        }
    }

private:
    const LineSource& source_;
    qint64 last_ = 0;
};

// The document state a successful read leaves.
struct ReadOutcome {
    Header header;
    std::int16_t destIndex = 0; // an open of the current layout: the index of its datum
    bool shortLines = false;
};

// The index of a file's datum. A datum this installation does not know: shifts go to "EUR-M",
// as the settings load does for a stored code, and the document keeps the file's code.
std::int16_t DestIndexOf(const QString& code) {
    const std::int16_t index = geodesy::DatumIndex(code.toStdString());
    return index != 0 ? index : geodesy::DatumIndex("EUR-M");
}

// The field of the work table that the engine's refusal names ("CHECK constraint failed:
// length(DATUM) BETWEEN 1 AND 5"), or none.
QString FieldOfEngineText(const std::string& text) {
    for (const char* field : {"PERIOD", "LATITUDE", "LONGITUDE", "N1", "N2", "SEX", "DATUM",
                              "ORIGINAL", "DATE", "COMMENT"}) {
        if (text.find(std::string("(") + field + ")") != std::string::npos ||
            text.find(std::string("DOVAZOV.") + field) != std::string::npos) {
            return QString::fromLatin1(field);
        }
    }
    return {};
}

ReadOutcome ReadRecords(Lines& lines, LineSource& source, const QString& fileName, int mode,
                        const ReaderHooks& hooks, const char*& field);

// The read, with the line and field of a failure told after the error's own text.
ReadOutcome ReadAll(LineSource& source, const QString& fileName, int mode,
                    const ReaderHooks& hooks) {
    Lines lines(source);
    const char* field = nullptr;
    const auto place = [&](const QString& engineField = {}) {
        if (lines.number() == 0) {
            return QString();
        }
        const QString name = field != nullptr ? QString::fromLatin1(field) : engineField;
        return platform::LinePlace(lines.number(), name);
    };
    try {
        return ReadRecords(lines, source, fileName, mode, hooks, field);
    } catch (const common::AppError& error) {
        if (error.number() == common::kOutOfStringSpace || lines.number() == 0) {
            throw; // its text names the line already
        }
        throw common::AppError(
            error.number(),
            platform::WithDetail(QString::fromStdString(error.description()), place())
                .toStdString());
    } catch (const SQLite::Exception& error) {
        const std::string text = error.what();
        throw common::AppError(
            common::kDatabaseError,
            platform::WithDetail(QString::fromStdString(text), place(FieldOfEngineText(text)))
                .toStdString());
    }
}

ReadOutcome ReadRecords(Lines& lines, LineSource& source, const QString& fileName, int mode,
                        const ReaderHooks& hooks, const char*& field) {
    ReadOutcome outcome;
    outcome.header = ReadHeader(lines, mode, hooks.programFolder);
    if (mode == kOpenMode && outcome.header.current) {
        outcome.destIndex = DestIndexOf(outcome.header.datum);
    }

    platform::AfficheMessage(platform::ResText(721) + QStringLiteral("\r\r") + fileName);
    const platform::WaitCursor busy;
    platform::ShowProgress(true);
    platform::SetProgress(0);

    SQLite::Transaction transaction(WorkDb());
    if (mode == kOpenMode) {
        WorkDb().exec("DELETE FROM DOVAZOV");
    }
    {
        RecordAppender appender(FieldsForRecords(outcome.header, mode), !outcome.header.current);
        FileProgress progress(source);
        try {
            while (!lines.atEnd()) {
                if (!appender.append(lines.next())) {
                    break;
                }
                progress.step();
            }
        } catch (...) {
            field = appender.field();
            throw;
        }
        outcome.shortLines = appender.shortLines();
    }
    platform::SetProgress(100);
    lines.forget(); // past the records: a failure of the recompute has no line of its own
    if (mode == kOpenMode && !outcome.header.current) {
        // Positions of the older layout are recomputed from the coordinate texts, inside the
        // same transaction, so that a failure there undoes the whole read.
        AjusteDegresOn(RecordSet::open(WorkDb(), Document().SqlTri), kNoMesh, kNoMesh);
    }
    transaction.commit();
    return outcome;
}

// Sets the document's header values once the records are in.
void Install(const ReadOutcome& outcome, const QString& fileName, int mode,
             const ReaderHooks& hooks) {
    DocumentState& doc = Document();
    const Header& header = outcome.header;
    geodesy::DatumState& datums = geodesy::Datums();
    if (mode == kOpenMode) {
        if (header.current) {
            datums.DestCode = header.datum.toStdString();
            datums.DestIndex = outcome.destIndex;
        }
        if (header.freeFields) {
            InstallFreeFields(*header.freeFields);
        } else {
            ClearFreeFields();
        }
        if (header.periods) {
            InstallPeriodScheme(*header.periods);
        }
    } else if (header.freeFields && doc.FreeFieldCount == 0) {
        InstallFreeFields(*header.freeFields);
    }

    if (hooks.setCaption) {
        hooks.setCaption(QStringLiteral("DOVazov - ") + doc.CurrentFile);
    }
    if (hooks.showDestCode && mode == kOpenMode) {
        hooks.showDestCode(QString::fromStdString(datums.DestCode));
    }
    QString title = header.title;
    QString comment = header.comment;
    if (mode == kMergeMode) {
        title = hooks.BoxTitre + QStringLiteral(" - ") + header.title;
        comment = hooks.Commentaire + QStringLiteral("-") + header.comment;
    }
    if (hooks.showDocumentBoxes) {
        hooks.showDocumentBoxes(title, comment);
    }
    Call(hooks.dimensionneGrille);
    doc.FileModified = (mode == kMergeMode || outcome.shortLines) ? -1 : 0;

    Call(hooks.focusGrid);
    if (hooks.majLastFiles) {
        hooks.majLastFiles(fileName);
    }
    Data1().setRecordSource(doc.SqlTri);
    Data1().refresh();
    Call(hooks.refreshGrid);
}

// The message of a failed read: the description of the error.
QString FailureText(const std::exception& error) {
    return QString::fromStdString(error.what());
}

void TellFailure(const QString& text) {
    platform::BeepUnlessSilent();
    platform::ResetCursor();
    platform::MsgBox(text);
}

} // namespace

QByteArray BytesLineSource::readRawLine() {
    if (atEnd()) {
        throw common::AppError(common::kInputPastEnd);
    }
    qsizetype end = position_;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n') {
        ++end;
    }
    QByteArray line = bytes_.sliced(position_, end - position_);
    if (end < bytes_.size()) {
        end += (bytes_[end] == '\r' && end + 1 < bytes_.size() && bytes_[end + 1] == '\n') ? 2 : 1;
    }
    position_ = end;
    return line;
}

FileLineSource::FileLineSource(const QString& path) {
    try {
        reader_ = std::make_unique<platform::TextFileReader>(path);
    } catch (const common::AppError&) {
        throw common::AppError(common::kPathFileAccess,
                               common::ErrorDescription(common::kPathFileAccess) + ": " +
                                   path.toStdString());
    }
}

bool ChargeDegFrom(LineSource& source, const QString& fileName, int mode,
                   const ReaderHooks& hooks) {
    try {
        const ReadOutcome outcome = [&] {
            const platform::FeedbackGuard feedback;
            ReadOutcome read = ReadAll(source, fileName, mode, hooks);
            source.close();
            return read;
        }();
        Install(outcome, fileName, mode, hooks);
        return true;
    } catch (const MergeRefused& refusal) {
        source.close();
        platform::MsgBox(refusal.message, platform::Buttons::Ok, platform::Icon::Critical);
    } catch (const std::exception& error) {
        source.close();
        TellFailure(FailureText(error));
    }
    // The transaction was rolled back and nothing of the document was set: it is as it was.
    return false;
}

bool ChargeDeg(const QString& fileName, int mode, const ReaderHooks& hooks) {
    if (!QFileInfo(fileName).isFile()) {
        platform::MsgBox(platform::WithDetail(QStringLiteral("File not found"), fileName),
                         platform::Buttons::Ok, platform::Icon::Critical);
        return false;
    }
    std::unique_ptr<FileLineSource> source;
    try {
        source = std::make_unique<FileLineSource>(fileName);
    } catch (const common::AppError& error) {
        TellFailure(FailureText(error));
        return false;
    }
    return ChargeDegFrom(*source, fileName, mode, hooks);
}

bool OpenDistribution(const QString& fileName, const ReaderHooks& hooks) {
    DocumentState& doc = Document();
    const QString previous = doc.CurrentFile;
    doc.CurrentFile = fileName;
    if (!ChargeDeg(fileName, kOpenMode, hooks)) {
        doc.CurrentFile = previous;
        return false;
    }
    return true;
}

} // namespace document
