#include "document/DistributionWriter.h"

#include "common/AppError.h"
#include "document/BookmarkRows.h"
#include "document/DataControl.h"
#include "document/DistributionFormat.h"
#include "document/DocumentState.h"
#include "document/Periods.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "geodesy/DatumTables.h"
#include "platform/ErrorBox.h"
#include "platform/Feedback.h"
#include "platform/FileReplacement.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
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

// The distribution file being written: lines encoded to Windows-1252 and handed on a buffer at a
// time to the file's replacement, which puts them in place whole or not at all.
class DistributionTarget {
public:
    DistributionTarget(const QString& fileName, const QString& backupPath)
        : file_(fileName, backupPath) {
        buffer_.reserve(kBufferSize + 4096);
    }

    void writeLine(QStringView text) {
        deg::AppendWindows1252(buffer_, text);
        buffer_ += "\r\n";
        if (buffer_.size() >= kBufferSize) {
            flush();
        }
    }

    void commit() {
        flush();
        file_.commit();
    }

private:
    static constexpr qsizetype kBufferSize = 1 << 16;

    void flush() {
        file_.write(buffer_);
        buffer_.clear();
    }

    platform::FileReplacement file_;
    QByteArray buffer_;
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

// The rows of a list of bookmarks in its order, read a block at a time with prepared statements.
// Bookmarks in ascending order (the table's own order, the usual case) are read as ranges of the
// table; any other order by looking each block's rows up.
class RecordStream {
public:
    RecordStream(SQLite::Database& db, const std::vector<std::int64_t>& marks)
        : db_(db), marks_(marks), ascending_(std::is_sorted(marks_.begin(), marks_.end())) {}

    // The next record; false at the end. A row deleted since the list was taken is passed.
    bool next(Record& record) {
        while (position_ >= block_.size()) {
            if (first_ >= static_cast<std::ptrdiff_t>(marks_.size())) {
                return false;
            }
            readBlock();
        }
        record = std::move(block_[position_++]);
        return true;
    }

private:
    static constexpr std::ptrdiff_t kBlock = 500;
    static constexpr const char* kColumns =
        "SELECT Counter, PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, ORIGINAL, DATE, COMMENT "
        "FROM DOVAZOV ";

    void readBlock() {
        const std::ptrdiff_t count =
            std::min(kBlock, static_cast<std::ptrdiff_t>(marks_.size()) - first_);
        const std::int64_t* marks = marks_.data() + first_;
        first_ += count;
        block_.clear();
        position_ = 0;
        if (ascending_) {
            readRange(marks, count);
        } else {
            readListed(marks, count);
        }
    }

    // The rows between the block's first and last bookmark, keeping those of the record set.
    void readRange(const std::int64_t* marks, std::ptrdiff_t count) {
        if (!range_) {
            range_ = std::make_unique<SQLite::Statement>(
                db_, std::string(kColumns) + "WHERE Counter BETWEEN ? AND ? ORDER BY Counter");
        }
        range_->reset();
        range_->bind(1, marks[0]);
        range_->bind(2, marks[count - 1]);
        std::ptrdiff_t i = 0;
        while (i < count && range_->executeStep()) {
            const std::int64_t counter = range_->getColumn(0).getInt64();
            while (i < count && marks[i] < counter) {
                ++i; // deleted behind the record set's back
            }
            if (i < count && marks[i] == counter) {
                block_.push_back(RecordFromRow(*range_));
                ++i;
            }
        }
    }

    void readListed(const std::int64_t* marks, std::ptrdiff_t count) {
        auto& statement = count == kBlock ? full_ : tail_;
        if (!statement || statement->getBindParameterCount() != count) {
            statement = std::make_unique<SQLite::Statement>(db_, kColumns + CounterInList(count));
        }
        statement->reset();
        for (std::ptrdiff_t i = 0; i < count; ++i) {
            statement->bind(static_cast<int>(i + 1), marks[i]);
        }
        std::vector<Record> found;
        found.reserve(static_cast<std::size_t>(count));
        while (statement->executeStep()) {
            found.push_back(RecordFromRow(*statement));
        }
        // The rows come in the table's order; the record set's order is the bookmarks'.
        block_ = InBookmarkOrder(found, marks, count, [](const Record& r) { return r.Counter; });
    }

    SQLite::Database& db_;
    const std::vector<std::int64_t>& marks_;
    bool ascending_;
    std::ptrdiff_t first_ = 0;
    std::vector<Record> block_;
    std::size_t position_ = 0;
    std::unique_ptr<SQLite::Statement> range_;
    std::unique_ptr<SQLite::Statement> full_;
    std::unique_ptr<SQLite::Statement> tail_;
};

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

void WriteHeader(DistributionTarget& file, const DocumentTexts& texts) {
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

void WriteRecords(DistributionTarget& file, Steps& steps, SQLite::Database& db,
                  const std::vector<std::int64_t>& marks, bool group) {
    const int count = static_cast<int>(marks.size());
    RecordProgress progress(count);
    const QString separator = platform::Settings().Separator;
    std::optional<Group> current;
    auto writeLine = [&](const LineValues& values) {
        const QString line = RecordLine(values, steps);
        file.writeLine(line);
    };
    RecordStream records(db, marks);
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
    if (platform::Settings().Silence == 0) {
        platform::Beep();
    }
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
        DistributionTarget file(fileName, backupPath);
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
        if (platform::Settings().Silence == 0) {
            platform::Beep();
        }
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
