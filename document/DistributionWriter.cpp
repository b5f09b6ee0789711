#include "document/DistributionWriter.h"

#include "common/AppError.h"
#include "document/DataControl.h"
#include "document/DistributionFormat.h"
#include "document/DocumentState.h"
#include "document/Periods.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/RowStream.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/Feedback.h"
#include "platform/FileReplacement.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/TextFile.h"
#include "platform/WaitCursor.h"

#include <QDate>
#include <QFileInfo>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

namespace document {

namespace {

constexpr qsizetype kGroupCommentLength = 255;

const QString kSaveError = QStringLiteral("Erreur pendant la sauvegarde");

// The user answered No to "Continuer?".
struct SaveAborted {};

// Runs each step of the write; a step that fails asks whether to go on.
class Steps {
public:
    // Runs `step`; on Yes after a failure runs `onSkip` instead and goes on.
    template <typename Step, typename Skip> void run(Step&& step, Skip&& onSkip) {
        try {
            step();
        } catch (const platform::FileWriteError&) {
            throw; // the file itself failed: told once, nothing replaced
        } catch (const std::exception& error) {
            ask(QString::fromStdString(error.what()));
            onSkip();
        }
    }
    bool skipped() const { return skipped_; }

private:
    // "Continuer?": Yes skips the step, No ends the write.
    void ask(const QString& description) {
        const platform::Answer answer = platform::MsgBox(
            kSaveError + QLatin1Char('\r') + description + QStringLiteral("\rContinuer?"),
            platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) {
            throw SaveAborted{};
        }
        skipped_ = true;
    }

    bool skipped_ = false;
};

// Every row of the table, whatever selection or sort the grid shows: the rows of the shown record
// set in its order, then those it leaves out in Counter order.
std::vector<std::int64_t> WholeTable(SQLite::Database& db, const std::vector<std::int64_t>& shown) {
    std::vector<std::int64_t> marks;
    marks.reserve(shown.size());
    std::unordered_set<std::int64_t> taken;
    taken.reserve(shown.size());
    for (const std::int64_t mark : shown) {
        if (taken.insert(mark).second) {
            marks.push_back(mark);
        }
    }
    SQLite::Statement rows(db, "SELECT Counter FROM DOVAZOV ORDER BY Counter");
    while (rows.executeStep()) {
        const std::int64_t counter = rows.getColumn(0).getInt64();
        if (!taken.contains(counter)) {
            marks.push_back(counter);
        }
    }
    return marks;
}

bool AllEmpty(const Record& r) {
    return !r.PERIOD && !r.LATITUDE && !r.LONGITUDE && !r.N1 && !r.N2 && !r.DATUM && !r.ORIGINAL &&
           !r.DATE && !r.SEX && !r.COMMENT;
}

// The values of one record line: a record's own, or a group's.
struct LineValues {
    std::optional<std::int16_t> period;
    std::optional<float> latitude;
    std::optional<float> longitude;
    std::optional<std::int64_t> n1;
    std::optional<std::int64_t> n2;
    std::optional<QString> date;
    std::optional<QString> sex;
    std::optional<QString> datum;
    std::optional<QString> original;
    std::optional<QString> comment;
};

LineValues ValuesOf(const Record& r) {
    LineValues v;
    v.period = r.PERIOD;
    v.latitude = r.LATITUDE;
    v.longitude = r.LONGITUDE;
    if (r.N1) {
        v.n1 = *r.N1;
    }
    if (r.N2) {
        v.n2 = *r.N2;
    }
    v.date = r.DATE;
    v.sex = r.SEX;
    v.datum = r.DATUM;
    v.original = r.ORIGINAL;
    v.comment = r.COMMENT;
    return v;
}

// Builds one record line piece by piece; a piece that fails and is skipped keeps its columns.
QString RecordLine(const LineValues& v, Steps& steps) {
    QString line;
    line.reserve(128);
    const auto piece = [&](auto make, int width) {
        steps.run([&] { line += make(); }, [&] { line += QString(width, QLatin1Char(' ')); });
    };
    piece([&] { return deg::PeriodColumn(v.period); }, 1);
    line += QLatin1Char('K');
    line += deg::LatitudeColumn(v.latitude);
    line += deg::LongitudeColumn(v.longitude);
    piece([&] { return deg::CountColumn(v.n1); }, deg::kCountWidth);
    piece([&] { return deg::CountColumn(v.n2); }, deg::kCountWidth);
    line += deg::DateColumn(v.date);
    line += deg::SexColumn(v.sex);
    line += deg::DatumColumn(v.datum);
    line += deg::OriginalColumn(v.original);
    line += deg::CommentColumn(v.comment);
    return line;
}

// The current group of a grouped save: the first record's values, the summed counts and the
// joined comment.
class Group {
public:
    explicit Group(const Record& first) : values_(ValuesOf(first)) {
        values_.n1 = first.N1.value_or(0);
        values_.n2 = first.N2.value_or(0);
        values_.comment = first.COMMENT.value_or(QString());
    }
    bool holds(const Record& r) const {
        return r.PERIOD == values_.period && r.LATITUDE == values_.latitude &&
               r.LONGITUDE == values_.longitude;
    }
    void add(const Record& r, const QString& separator) {
        *values_.n1 += r.N1.value_or(0);
        *values_.n2 += r.N2.value_or(0);
        QString& comment = *values_.comment;
        if (r.COMMENT) {
            comment += separator + *r.COMMENT;
        }
        if (!separator.isEmpty() && comment.left(1) == separator) {
            comment.remove(0, 1);
        }
        if (comment.size() > kGroupCommentLength) {
            comment.truncate(kGroupCommentLength);
        }
    }
    const LineValues& values() const { return values_; }

private:
    LineValues values_;
};

bool SameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return false;
    }
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists()) {
        return first.canonicalFilePath() == second.canonicalFilePath();
    }
    return first.absoluteFilePath() == second.absoluteFilePath();
}

// The progress of the write: n / (Count - 1), shown at each new multiple of 10.
class RecordProgress {
public:
    explicit RecordProgress(int count) : count_(count) {}
    void step(int n) {
        const qint64 percent =
            count_ > 1 ? static_cast<qint64>(n) * 100 / (count_ - 1) : static_cast<qint64>(100);
        if (percent % 10 == 0 && percent != last_) {
            last_ = percent;
            platform::SetProgress(static_cast<double>(percent));
        }
    }

private:
    int count_;
    qint64 last_ = -1;
};

void WriteHeader(platform::TextFileWriter& file, const DocumentTexts& texts) {
    const DocumentState& doc = Document();
    auto line = [&](const QString& text) { file.writeLine(text); };
    line(QString::fromLatin1(deg::kMagicLine));
    line(QString::fromStdString(geodesy::Datums().DestCode));
    if (!doc.FreeFieldHeader.isEmpty()) {
        line(doc.FreeFieldHeader);
    }
    line(QString::fromLatin1(deg::kEndLine));
    line(texts.BoxTitre.isEmpty() ? QString::fromLatin1(deg::kEmptyTitle)
                                  : deg::SingleLine(texts.BoxTitre));
    line(deg::SingleLine(texts.Commentaire));
    line(deg::PeriodLine(PeriodScheme{doc.PeriodOption, doc.PivotYear1, doc.PivotYear2},
                         QDate::currentDate().year()));
    line(QString::fromLatin1(deg::kStatisticsLine));
    line(deg::SingleLine(texts.Commentaire));
}

void WriteRecords(platform::TextFileWriter& file, Steps& steps, SQLite::Database& db,
                  const std::vector<std::int64_t>& marks, bool group) {
    const int count = static_cast<int>(marks.size());
    RecordProgress progress(count);
    const QString separator = platform::Settings().Separator;
    std::optional<Group> current;
    auto writeLine = [&](const LineValues& values) {
        const QString line = RecordLine(values, steps);
        file.writeLine(line);
    };
    RowStream records(db, marks);
    Record record;
    for (int n = 1;; ++n) {
        bool more = true;
        bool got = false;
        // Records that cannot be read are a step of their own: skipped, the walk goes on.
        steps.run([&] { got = more = records.next(record); }, [] {});
        if (!more) {
            break;
        }
        if (!got || AllEmpty(record)) {
            continue;
        }
        if (!group) {
            writeLine(ValuesOf(record));
        } else if (!current) {
            current.emplace(record);
        } else if (current->holds(record)) {
            current->add(record, separator);
        } else {
            writeLine(current->values());
            current.emplace(record);
        }
        progress.step(n);
    }
    if (current) {
        writeLine(current->values());
    }
}

void Finish() {
    platform::BeepUnlessSilent();
}

// The save itself; `backupPath`, when not empty, keeps the previous version of the file.
bool Write(const QString& fileName, bool group, const DocumentTexts& texts,
           const QString& backupPath) {
    DataControl& data = Data1();
    if (group) {
        data.setRecordSource(
            QStringLiteral("SELECT * FROM DOVAZOV ORDER BY [PERIOD], [LATITUDE], [LONGITUDE]"));
        data.refresh();
    }
    if (!data.bound()) {
        return false;
    }
    SQLite::Database& db = data.recordset().database();
    const std::vector<std::int64_t> marks = WholeTable(db, data.recordset().bookmarks());
    if (marks.empty()) {
        return false;
    }

    Steps steps;
    try {
        const platform::FeedbackGuard feedback;
        platform::AfficheMessage(platform::ResText(720) + QLatin1Char('\r') + fileName);
        const platform::WaitCursor busy;
        platform::TextFileWriter file(fileName, backupPath);
        WriteHeader(file, texts);
        platform::ShowProgress(true);
        WriteRecords(file, steps, db, marks, group);
        platform::SetProgress(100);
        file.commit();
    } catch (const SaveAborted&) {
        Finish();
        return false;
    } catch (const platform::FileWriteError& failure) {
        platform::MsgBox(kSaveError + QLatin1Char('\r') + failure.text());
        Finish();
        return false;
    }

    DocumentState& doc = Document();
    if (!group || SameFile(fileName, doc.CurrentFile)) {
        doc.FileModified = steps.skipped() ? -1 : 0;
    }
    Finish();
    return true;
}

} // namespace

bool SauveDeg(const QString& fileName, bool group, const DocumentTexts& texts) {
    return Write(fileName, group, texts, {});
}

QString BackupName(const QString& path) {
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    QString backup = dot >= 0 ? folder + name.left(dot + 1) + QStringLiteral("BAK")
                              : folder + name + QStringLiteral(".BAK");
    if (backup == path) {
        backup += QStringLiteral(".BAK");
    }
    return backup;
}

bool SaveWithBackup(const QString& currentFile, const DocumentTexts& texts) {
    return Write(currentFile, false, texts, BackupName(currentFile));
}

bool SaveDocumentAs(const QString& chosen, const DocumentTexts& texts) {
    if (chosen.isEmpty()) {
        return false;
    }
    const bool written = SauveDeg(chosen, false, texts);
    Document().CurrentFile = chosen;
    return written;
}

bool GroupAndSave(const QString& chosen, const DocumentTexts& texts) {
    if (chosen.isEmpty()) {
        return false;
    }
    if (QFileInfo::exists(chosen)) {
        platform::BeepUnlessSilent();
        if (platform::MsgBox(platform::ResText(500), platform::Buttons::YesNo,
                             platform::Icon::Exclamation, 2) != platform::Answer::Yes) {
            return false;
        }
    }
    try {
        return SauveDeg(chosen, true, texts);
    } catch (const common::AppError& error) {
        platform::ShowError(error.number(), QString::fromStdString(error.description()));
    } catch (const std::exception& error) {
        platform::ShowError(common::kDatabaseError, QString::fromStdString(error.what()));
    }
    return false;
}

} // namespace document
