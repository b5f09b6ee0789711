#include "document/DistributionWriter.h"

#include "common/AppError.h"
#include "document/ColumnStream.h"
#include "document/DataControl.h"
#include "document/DistributionFormat.h"
#include "document/DocumentState.h"
#include "document/Periods.h"
#include "document/Record.h"
#include "document/RecordLineBytes.h"
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
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
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
// set in its order, then those it leaves out in Counter order. A list kept implicit in the
// table's order (the usual case) is read from as it stands, a block at a time, so that it stays
// implicit; a list held row by row is used where it lies, with a sorted copy when it is in
// another order. Rows shown are told apart by a search in the list or in that copy: eight bytes a
// row at most, where a set of them would take several times that.
class WholeTable {
public:
    WholeTable(SQLite::Database& db, const RecordSet& shown) : list_(shown.bookmarkList()) {
        if (!list_->byRow()) {
            // Kept as runs: the Counters ascend, each once.
            fromList_ = true;
            shownSize_ = list_->size();
            SQLite::Statement rows(db, "SELECT Counter FROM DOVAZOV ORDER BY Counter");
            while (rows.executeStep()) {
                const std::int64_t counter = rows.getColumn(0).getInt64();
                if (list_->find(counter) < 0) {
                    others_.push_back(counter);
                }
            }
            return;
        }
        const std::vector<std::int64_t>& held = shown.bookmarks(); // already row by row
        const bool tableOrder = std::adjacent_find(held.begin(), held.end(), [](auto a, auto b) {
                                    return a >= b;
                                }) == held.end();
        std::vector<std::int64_t> sortedCopy;
        if (tableOrder) {
            shown_ = held;
        } else {
            sortedCopy = held;
            std::sort(sortedCopy.begin(), sortedCopy.end());
            sortedCopy.erase(std::unique(sortedCopy.begin(), sortedCopy.end()), sortedCopy.end());
            if (sortedCopy.size() == held.size()) {
                shown_ = held; // each row once: the list serves as it stands
            } else {
                // A row listed twice is written once, where it is first listed.
                std::vector<bool> taken(sortedCopy.size());
                ownShown_.reserve(sortedCopy.size());
                for (const std::int64_t mark : held) {
                    const auto at = static_cast<std::size_t>(
                        std::lower_bound(sortedCopy.begin(), sortedCopy.end(), mark) -
                        sortedCopy.begin());
                    if (!taken[at]) {
                        taken[at] = true;
                        ownShown_.push_back(mark);
                    }
                }
                shown_ = ownShown_;
            }
        }
        shownSize_ = static_cast<std::ptrdiff_t>(shown_.size());
        const std::vector<std::int64_t>& sortedShown = tableOrder ? held : sortedCopy;
        SQLite::Statement rows(db, "SELECT Counter FROM DOVAZOV ORDER BY Counter");
        auto next = sortedShown.begin();
        while (rows.executeStep()) {
            const std::int64_t counter = rows.getColumn(0).getInt64();
            while (next != sortedShown.end() && *next < counter) {
                ++next;
            }
            if (next == sortedShown.end() || *next != counter) {
                others_.push_back(counter);
            }
        }
    }

    std::ptrdiff_t size() const { return shownSize_ + static_cast<std::ptrdiff_t>(others_.size()); }
    // The rows of positions [first, first + count), for a ColumnStream.
    void copy(std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) const {
        out.clear();
        const std::ptrdiff_t fromShown = std::clamp<std::ptrdiff_t>(shownSize_ - first, 0, count);
        if (fromShown > 0) {
            if (fromList_) {
                list_->copy(first, fromShown, out);
            } else {
                const auto from = shown_.begin() + first;
                out.assign(from, from + fromShown);
            }
        }
        if (count > fromShown) {
            const auto other = others_.begin() + (first + fromShown - shownSize_);
            out.insert(out.end(), other, other + (count - fromShown));
        }
    }
    // All of them as one list held whole: the shown list itself when it is held row by row and
    // leaves nothing out, else a copy.
    std::span<const std::int64_t> rows(std::vector<std::int64_t>& copy) const {
        if (!fromList_ && others_.empty()) {
            return shown_;
        }
        this->copy(0, size(), copy);
        return copy;
    }

private:
    std::shared_ptr<const BookmarkList> list_; // the shown list, kept alive while it is read
    bool fromList_ = false;                    // shown rows are read from the list as runs
    std::span<const std::int64_t> shown_;      // else the shown rows, held whole
    std::ptrdiff_t shownSize_ = 0;
    std::vector<std::int64_t> ownShown_;
    std::vector<std::int64_t> others_;
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

// Lines are gathered into blocks of about this size before they go to the file.
constexpr std::size_t kBlockBytes = 1 << 16;

// The columns of a plain save, in the order of the line, and their place in the statement.
constexpr std::string_view kLineColumns =
    "PERIOD, LATITUDE, LONGITUDE, N1, N2, DATE, SEX, DATUM, ORIGINAL, COMMENT";
enum LineColumn {
    kPeriod = 1,
    kLatitude,
    kLongitude,
    kN1,
    kN2,
    kDate,
    kSex,
    kDatum,
    kOriginal,
    kComment
};

// The columns of the current row, each taken once from the statement: every call on the statement
// itself takes the connection's lock, and a line needs some twenty-five of them. Values taken so
// are for one thread only, which is how the program reads its table. They are read the way
// RowStream reads them into a Record.
class RowValues {
public:
    explicit RowValues(sqlite3_stmt* row) {
        for (int column = kPeriod; column <= kComment; ++column) {
            values_[column] = sqlite3_column_value(row, column);
        }
    }
    bool isNull(int column) const { return sqlite3_value_type(values_[column]) == SQLITE_NULL; }
    bool allNull() const {
        for (int column = kPeriod; column <= kComment; ++column) {
            if (!isNull(column)) {
                return false;
            }
        }
        return true;
    }
    std::int16_t period() const {
        return static_cast<std::int16_t>(sqlite3_value_int(values_[kPeriod]));
    }
    std::optional<float> position(int column) const {
        if (isNull(column)) {
            return std::nullopt;
        }
        return static_cast<float>(sqlite3_value_double(values_[column]));
    }
    std::optional<std::int64_t> count(int column) const {
        if (isNull(column)) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(sqlite3_value_int(values_[column]));
    }
    std::optional<std::string_view> text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values_[column]));
        if (text == nullptr) {
            return std::nullopt; // Null (a text of no bytes is "", never null)
        }
        return std::string_view(text,
                                static_cast<std::size_t>(sqlite3_value_bytes(values_[column])));
    }

private:
    std::array<sqlite3_value*, kComment + 1> values_{};
};

// One record line of a plain save into `out`, CR LF included. Period and counts can fail, as in
// RecordLine, and ask through the same steps with the same error.
void AppendRecordLine(std::string& out, const RowValues& row, Steps& steps) {
    if (row.isNull(kPeriod)) {
        out += ' ';
    } else {
        const std::int16_t period = row.period();
        if (period >= 0 && period <= 9) {
            out += static_cast<char>('0' + period);
        } else {
            steps.run([&] { deg::PeriodColumn(period); }, [&] { out += ' '; });
        }
    }
    out += 'K';
    deg::AppendLatitude(out, row.position(kLatitude));
    deg::AppendLongitude(out, row.position(kLongitude));
    for (const int column : {kN1, kN2}) {
        const std::optional<std::int64_t> count = row.count(column);
        if (!deg::AppendCount(out, count)) {
            steps.run([&] { deg::CountColumn(count); },
                      [&] { out.append(static_cast<std::size_t>(deg::kCountWidth), ' '); });
        }
    }
    deg::AppendFixedText(out, row.text(kDate), deg::kDateWidth);
    deg::AppendFixedText(out, row.text(kSex), 1);
    deg::AppendFixedText(out, row.text(kDatum), deg::kDatumWidth);
    deg::AppendFixedText(out, row.text(kOriginal), deg::kOriginalWidth);
    deg::AppendComment(out, row.text(kComment));
    out += "\r\n";
}

// The plain save: each line formatted from the table's columns into one block of bytes.
void WritePlainRecords(platform::TextFileWriter& file, Steps& steps, SQLite::Database& db,
                       const WholeTable& table) {
    RecordProgress progress(static_cast<int>(table.size()));
    ColumnStream rows(
        db, table.size(),
        [&table](std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) {
            table.copy(first, count, out);
        },
        kLineColumns);
    std::string block;
    block.reserve(kBlockBytes + 4096);
    for (int n = 1;; ++n) {
        bool more = true;
        bool got = false;
        // Records that cannot be read are a step of their own: skipped, the walk goes on.
        steps.run([&] { got = more = rows.next(); }, [] {});
        if (!more) {
            break;
        }
        if (!got) {
            continue;
        }
        const RowValues row(rows.row());
        if (row.allNull()) {
            continue;
        }
        AppendRecordLine(block, row, steps);
        if (block.size() >= kBlockBytes) {
            file.writeBytes(block);
            block.clear();
        }
        progress.step(n);
    }
    file.writeBytes(block);
}

// The grouped save: records are read whole, since a group joins their comments.
void WriteGroupedRecords(platform::TextFileWriter& file, Steps& steps, SQLite::Database& db,
                         const WholeTable& table) {
    std::vector<std::int64_t> copy;
    const std::span<const std::int64_t> marks = table.rows(copy);
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
        if (!current) {
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
    const WholeTable table(db, data.recordset());
    if (table.size() == 0) {
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
        if (group) {
            WriteGroupedRecords(file, steps, db, table);
        } else {
            WritePlainRecords(file, steps, db, table);
        }
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
