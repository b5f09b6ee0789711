#include "commands/Statistics.h"

#include "common/Numeric.h"
#include "document/BatchUpdate.h"
#include "document/ColumnStream.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/WalkSavepoint.h"
#include "document/WorkDatabase.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <QLocale>
#include <SQLiteCpp/SQLiteCpp.h>
#include <cmath>
#include <memory>
#include <variant>
#include <vector>

namespace commands {

namespace {

// Values waiting to be written, flushed once the read has let go of the table.
constexpr std::size_t kPendingRows = 4096;

// Running mean and sum of squared deviations (Welford), steady over large tables.
class Accumulator {
public:
    void add(double value) {
        ++count_;
        const double delta = value - mean_;
        mean_ += delta / static_cast<double>(count_);
        squares_ += delta * (value - mean_);
    }
    FieldStatistics result() const {
        FieldStatistics out;
        if (count_ > 0) {
            out.mean = mean_;
        }
        if (count_ > 1) {
            out.stdev = std::sqrt(squares_ / static_cast<double>(count_ - 1));
        }
        return out;
    }

private:
    long long count_ = 0;
    double mean_ = 0.0;
    double squares_ = 0.0;
};

float Log10Single(double value) {
    return static_cast<float>(std::log(value) / std::log(10.0));
}

QChar LocaleMark() {
    return QLocale().decimalPoint().at(0);
}

} // namespace

NumericStatistics ComputeStatistics() {
    Accumulator n1;
    Accumulator n2;
    SQLite::Statement query(document::WorkDb(), "SELECT N1, N2 FROM DOVAZOV");
    while (query.executeStep()) {
        if (!query.getColumn(0).isNull()) {
            n1.add(query.getColumn(0).getDouble());
        }
        if (!query.getColumn(1).isNull()) {
            n2.add(query.getColumn(1).getDouble());
        }
    }
    return {n1.result(), n2.result()};
}

QString PatternText(double value, QChar mark) {
    const double hundredths = std::floor(std::fabs(value) * 100.0 + 0.5);
    const auto whole = static_cast<long long>(hundredths / 100.0);
    const auto cents = static_cast<int>(hundredths - static_cast<double>(whole) * 100.0);
    QString text = whole == 0 ? QString() : QString::number(whole);
    QString decimals = QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
    while (decimals.endsWith(QLatin1Char('0'))) {
        decimals.chop(1);
    }
    text += mark + decimals;
    if (value < 0 && hundredths > 0) {
        text.prepend(QLatin1Char('-'));
    }
    return text;
}

QString DeviationErrorText() {
    return QStringLiteral("Erreur de calcul dans l'écart-type") + QChar(13) +
           QStringLiteral("Attention aux lignes vides!");
}

QString StatisticsMessage(const NumericStatistics& s, const QString& label1, const QString& label2,
                          QChar mark) {
    const auto value = [mark](const std::optional<double>& v) {
        return v ? PatternText(*v, mark) : QString();
    };
    const QString cr(QChar(13));
    return QStringLiteral("Moyenne ") + label1 + QLatin1Char('=') + value(s.n1.mean) + cr +
           QStringLiteral("STD ") + label1 + QLatin1Char('=') + value(s.n1.stdev) + cr +
           QStringLiteral("Moyenne ") + label2 + QLatin1Char('=') + value(s.n2.mean) + cr +
           QStringLiteral("STD ") + label2 + QLatin1Char('=') + value(s.n2.stdev);
}

void MnuParametres() {
    const NumericStatistics s = ComputeStatistics();
    if (!s.n1.stdev || !s.n2.stdev) {
        platform::MsgBox(DeviationErrorText(), platform::Buttons::Ok, platform::Icon::Critical);
        return;
    }
    const platform::ProgramSettings& settings = platform::Settings();
    platform::MsgBox(
        StatisticsMessage(s, settings.LabelNumeric1, settings.LabelNumeric2, LocaleMark()),
        platform::Buttons::Ok, platform::Icon::Information);
}

bool MnuStd(int index) {
    document::DataControl& data = document::Data1();
    if ((index != 0 && index != 1) || !data.bound() || data.recordset().recordCount() == 0) {
        return false;
    }
    const document::RecordSet rows = data.recordset().clone();
    NumericStatistics s;
    if (index == 1) {
        s = ComputeStatistics();
        if (!s.n1.stdev) {
            platform::MsgBox(DeviationErrorText(), platform::Buttons::Ok, platform::Icon::Critical);
            return false;
        }
        platform::MsgBox(QStringLiteral("Moyenne N1=") +
                         QString::fromStdString(common::CStrDouble(s.n1.mean.value_or(0))) +
                         QChar(13) + QStringLiteral("STD N1=") +
                         QString::fromStdString(common::CStrDouble(*s.n1.stdev)));
    }
    std::ptrdiff_t changed = 0;
    {
        const platform::WaitCursor busy;
        SQLite::Database& db = rows.database();
        document::WalkSavepoint transaction(db);
        document::BatchUpdate update(db, {"N1", "N2"});
        const std::shared_ptr<const document::BookmarkList> list = rows.bookmarkList();
        document::ColumnStream stream(
            db, list->size(),
            [&list](std::ptrdiff_t first, std::ptrdiff_t count, std::vector<std::int64_t>& out) {
                list->copy(first, count, out);
            },
            "N1, N2");
        // The new value of one field; the old one where the rule has none.
        const auto transform = [&](const std::optional<std::int32_t>& old,
                                   const FieldStatistics& stats) -> std::optional<std::int32_t> {
            if (!old) {
                return old;
            }
            const auto v = static_cast<double>(*old);
            if (index == 0) {
                if (v <= 0) {
                    return old; // no logarithm: the value stays
                }
                return common::ToInt32(1.0 + static_cast<double>(Log10Single(v)));
            }
            if (!stats.stdev || *stats.stdev == 0.0 || !stats.mean) {
                return old;
            }
            return common::ToInt32(1.0 + (v - *stats.mean) / *stats.stdev);
        };
        const auto read = [&stream](int column) -> std::optional<std::int32_t> {
            if (sqlite3_column_type(stream.row(), column) == SQLITE_NULL) {
                return std::nullopt;
            }
            if (sqlite3_column_type(stream.row(), column) == SQLITE_INTEGER) {
                return sqlite3_column_int(stream.row(), column);
            }
            return common::ToInt32(sqlite3_column_double(stream.row(), column));
        };
        const auto value =
            [](const std::optional<std::int32_t>& n) -> document::BatchUpdate::Value {
            if (n) {
                return std::int64_t{*n};
            }
            return std::monostate{};
        };
        while (stream.next()) {
            const std::optional<std::int32_t> oldN1 = read(1);
            const std::optional<std::int32_t> oldN2 = read(2);
            const std::optional<std::int32_t> n1 = transform(oldN1, s.n1);
            const std::optional<std::int32_t> n2 = transform(oldN2, s.n2);
            if (n1 == oldN1 && n2 == oldN2) {
                continue;
            }
            update.add(stream.counter(), {value(n1), value(n2)});
            ++changed;
            if (update.pending() >= kPendingRows) {
                stream.pause(); // the table is let go of before it is written
                update.flush();
            }
        }
        stream.pause();
        update.flush();
        transaction.release();
    }
    data.refresh();
    if (changed > 0) {
        document::Document().FileModified = -1;
    }
    return true;
}

} // namespace commands
