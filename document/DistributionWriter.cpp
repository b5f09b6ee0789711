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
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <filesystem>
#include <optional>

namespace document {

namespace {

constexpr int kPathAccess = 75;
constexpr qsizetype kGroupCommentLength = 255;

const QString kSaveError = QStringLiteral("Erreur pendant la sauvegarde");

// The user answered No to "Continuer?".
struct SaveAborted {};

// The file itself failed (not created, not written, not renamed): told once, nothing replaced.
struct FileFailed {
    QString description;
};

// Runs each step of the write; a step that fails asks whether to go on.
class Steps {
public:
    // Runs `step`; on Yes after a failure runs `onSkip` instead and goes on.
    template <typename Step, typename Skip> void run(Step&& step, Skip&& onSkip) {
        try {
            step();
        } catch (const FileFailed&) {
            throw;
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

// The temporary file beside the target, renamed over it once complete. Lines are encoded to
// Windows-1252 and written through a buffer.
class TemporaryTarget {
public:
    explicit TemporaryTarget(const QString& target) : target_(target) {
        const QFileInfo info(target);
        if (info.exists() && (!info.isFile() || !info.isWritable())) {
            throw FileFailed{QStringLiteral("Permission denied: ") + target};
        }
        const QDir folder = info.absoluteDir();
        do {
            file_.setFileName(folder.filePath(
                QStringLiteral(".%1.%2.tmp")
                    .arg(info.fileName())
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        } while (file_.exists());
        if (!file_.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            throw FileFailed{file_.errorString() + QStringLiteral(": ") + target};
        }
        buffer_.reserve(kBufferSize + 4096);
    }
    ~TemporaryTarget() {
        if (!committed_) {
            file_.close();
            file_.remove();
        }
    }
    TemporaryTarget(const TemporaryTarget&) = delete;
    TemporaryTarget& operator=(const TemporaryTarget&) = delete;

    void writeLine(QStringView text) {
        deg::AppendWindows1252(buffer_, text);
        buffer_ += "\r\n";
        if (buffer_.size() >= kBufferSize) {
            flush();
        }
    }

    // Closes the file and puts it in the target's place.
    void commit() {
        flush();
        if (!file_.flush()) {
            throw FileFailed{file_.errorString()};
        }
        file_.close();
        const QString path = file_.fileName();
        if (QFileInfo::exists(target_)) {
            QFile::setPermissions(path, QFile::permissions(target_));
        }
        std::error_code error;
        std::filesystem::rename(QFile::encodeName(path).toStdString(),
                                QFile::encodeName(target_).toStdString(), error);
        if (error) {
            throw FileFailed{QString::fromStdString(error.message()) + QStringLiteral(": ") +
                             target_};
        }
        committed_ = true;
    }

private:
    static constexpr qsizetype kBufferSize = 1 << 16;

    void flush() {
        if (!buffer_.isEmpty() && file_.write(buffer_) != buffer_.size()) {
            throw FileFailed{file_.errorString()};
        }
        buffer_.clear();
    }

    QString target_;
    QFile file_;
    QByteArray buffer_;
    bool committed_ = false;
};

// The records of a record set in its order, read a block at a time with prepared statements.
// Bookmarks in ascending order (the table's own order, the usual case) are read as ranges of the
// table; any other order by looking each block's rows up.
class RecordStream {
public:
    explicit RecordStream(const RecordSet& rows)
        : db_(rows.database()), marks_(rows.bookmarks()),
          ascending_(std::is_sorted(marks_.begin(), marks_.end())) {}

    // The next record; false at the end. A row deleted since the record set was taken is passed.
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

void WriteHeader(TemporaryTarget& file, const DocumentTexts& texts) {
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

void WriteRecords(TemporaryTarget& file, Steps& steps, const RecordSet& clone, bool group) {
    const int count = clone.recordCount();
    RecordProgress progress(count);
    const QString separator = platform::Settings().Separator;
    std::optional<Group> current;
    auto writeLine = [&](const LineValues& values) {
        const QString line = RecordLine(values, steps);
        file.writeLine(line);
    };
    RecordStream records(clone);
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

} // namespace

bool SauveDeg(const QString& fileName, bool group, const DocumentTexts& texts) {
    DataControl& data = Data1();
    if (group) {
        data.setRecordSource(
            QStringLiteral("SELECT * FROM DOVAZOV ORDER BY [PERIOD], [LATITUDE], [LONGITUDE]"));
        data.refresh();
    }
    if (!data.bound() || data.recordset().recordCount() == 0) {
        return false;
    }
    RecordSet clone = data.recordset().clone();

    Steps steps;
    try {
        const platform::FeedbackGuard feedback;
        platform::AfficheMessage(platform::ResText(720) + QLatin1Char('\r') + fileName);
        const platform::WaitCursor busy;
        TemporaryTarget file(fileName);
        WriteHeader(file, texts);
        platform::ShowProgress(true);
        WriteRecords(file, steps, clone, group);
        platform::SetProgress(100);
        file.commit();
    } catch (const SaveAborted&) {
        Finish();
        return false;
    } catch (const FileFailed& failure) {
        platform::MsgBox(kSaveError + QLatin1Char('\r') + failure.description);
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
    const QString backup = BackupName(currentFile);
    if (QFileInfo::exists(currentFile)) {
        if (QFileInfo::exists(backup) && !QFile::remove(backup)) {
            platform::ShowError(kPathAccess,
                                QStringLiteral("Path/File access error: cannot delete ") + backup);
            return false;
        }
        if (!QFile::rename(currentFile, backup)) {
            platform::ShowError(kPathAccess, QStringLiteral("Path/File access error: cannot "
                                                            "rename ") +
                                                 currentFile + QStringLiteral(" to ") + backup);
            return false;
        }
    }
    return SauveDeg(currentFile, false, texts);
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
