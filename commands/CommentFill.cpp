#include "commands/CommentFill.h"

#include "commands/SnapRules.h"
#include "commands/SnapWalk.h"
#include "common/Numeric.h"
#include "document/BatchUpdate.h"
#include "document/ColumnStream.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/RecordSet.h"
#include "document/WalkSavepoint.h"
#include "geodesy/Angles.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace commands {

namespace {

QString Single(double value) {
    return QString::fromStdString(common::CStrSingle(static_cast<float>(value)));
}

// Writes a whole number the way Single writes it: plain digits below 10^7, the single-precision
// text above (where a float no longer holds every whole number). Returns the end of the text.
char* SingleWholeText(double whole, char* out) {
    constexpr double kPlainDigitsBelow = 1.0e7;
    if (!(whole >= 0.0 && whole < kPlainDigitsBelow)) {
        const std::string text = common::CStrSingle(static_cast<float>(whole));
        return std::copy(text.begin(), text.end(), out);
    }
    constexpr int kMostDigits = 7;
    return std::to_chars(out, out + kMostDigits, static_cast<unsigned>(whole)).ptr;
}

// Appends "-D°M'SS.S''" to `text`: the figures written into a byte buffer, without the float
// printing and the string pieces of each part, as a fill writes it a million times.
void AppendDmsText(QString& text, double degrees, QChar mark) {
    const geodesy::ShownDms dms = geodesy::DmsOfDegrees(degrees, 1);
    // Tenths of seconds below this bound are written here; beyond it (never below a minute) the
    // seconds go through SecondsText.
    constexpr long long kPlainTenthsBelow = 10000;
    char buffer[64];
    char* end = buffer;
    if (dms.negative) {
        *end++ = '-';
    }
    end = SingleWholeText(dms.degrees, end);
    text.append(QLatin1StringView(buffer, end - buffer));
    text.append(QChar(0xB0));
    end = SingleWholeText(dms.minutes, buffer);
    *end++ = '\'';
    if (dms.secondUnits < 0 || dms.secondUnits >= kPlainTenthsBelow) {
        text.append(QLatin1StringView(buffer, end - buffer));
        text.append(SecondsText(static_cast<float>(dms.seconds()), mark));
        return;
    }
    const auto whole = static_cast<int>(dms.secondUnits / 10);
    if (whole >= 100) {
        end = SingleWholeText(whole, end);
    } else {
        *end++ = static_cast<char>('0' + whole / 10);
        *end++ = static_cast<char>('0' + whole % 10);
    }
    text.append(QLatin1StringView(buffer, end - buffer));
    text.append(mark);
    buffer[0] = static_cast<char>('0' + dms.secondUnits % 10);
    buffer[1] = '\'';
    buffer[2] = '\'';
    text.append(QLatin1StringView(buffer, 3));
}

struct Shifted {
    double lat;
    double lon;
};

Shifted ToGridDatum(double lat, double lon, int which) {
    Shifted out{lat, lon};
    geodesy::ShiftDatum(lat, lon, 0.0, out.lat, out.lon, geodesy::Datums().DestIndex,
                        RequireGridDatum(which));
    return out;
}

} // namespace

QString SecondsText(float seconds, QChar mark) {
    // Format rounds halves away from zero.
    const double tenths = std::floor(static_cast<double>(seconds) * 10.0 + 0.5);
    QString text = QString::number(tenths / 10.0, 'f', 1);
    if (text.indexOf(QLatin1Char('.')) < 2) {
        text.prepend(QLatin1Char('0'));
    }
    text.replace(QLatin1Char('.'), mark);
    return text + QStringLiteral("''");
}

FillResult FillComments(std::span<const std::int64_t> selected, const CommentText& text,
                        const QString& joint) {
    enum Column { kLatitude = 1, kLongitude, kDatum, kComment };
    // Comments waiting to be written, flushed once the read has let go of the table.
    constexpr std::size_t kPending = 4096;
    FillResult result;
    document::DataControl& data = document::Data1();
    if (!data.bound()) {
        return result;
    }
    const document::RecordSet clone = data.recordset().clone();
    // The whole list is read a block at a time: a list kept implicit stays so.
    const std::shared_ptr<const document::BookmarkList> list = clone.bookmarkList();
    const std::ptrdiff_t total =
        selected.empty() ? list->size() : static_cast<std::ptrdiff_t>(selected.size());
    if (total == 0) {
        return result; // nothing to walk: the document stays as it was
    }
    {
        const platform::FeedbackGuard feedback;
        platform::ShowProgress(true);
        SQLite::Database& db = clone.database();
        document::WalkSavepoint transaction(db);
        document::BatchUpdate comments(db, {"COMMENT"});
        const char* columns = "LATITUDE, LONGITUDE, DATUM, COMMENT";
        std::optional<document::ColumnStream> stream;
        if (selected.empty()) {
            stream.emplace(
                db, total,
                [&list](std::ptrdiff_t first, std::ptrdiff_t count,
                        std::vector<std::int64_t>& out) { list->copy(first, count, out); },
                columns);
        } else {
            stream.emplace(db, selected, columns);
        }
        const auto single = [](sqlite3_stmt* row, int column) -> std::optional<float> {
            if (sqlite3_column_type(row, column) == SQLITE_NULL) {
                return std::nullopt;
            }
            return static_cast<float>(sqlite3_column_double(row, column));
        };
        const std::string jointBytes = joint.toStdString();
        std::ptrdiff_t lastPercent = 0;
        while (stream->next()) {
            ++result.rows;
            sqlite3_stmt* row = stream->row();
            const FillRow fields{single(row, kLatitude), single(row, kLongitude),
                                 sqlite3_column_type(row, kDatum) != SQLITE_NULL};
            if (const std::optional<QString> added = text(fields)) {
                const std::string_view old =
                    document::ColumnText(row, kComment).value_or(std::string_view());
                std::string comment;
                if (!old.empty()) {
                    comment.assign(old);
                    comment += jointBytes;
                }
                comment += added->toStdString();
                comments.add(stream->counter(), {std::move(comment)});
                ++result.changed;
                if (comments.pending() >= kPending) {
                    stream->pause();
                    comments.flush();
                }
            }
            const std::ptrdiff_t percent = result.rows * 100 / total;
            if (percent % 10 == 0 && percent > 0 && percent != lastPercent) {
                lastPercent = percent;
                platform::SetProgress(static_cast<double>(percent));
            }
        }
        stream->pause();
        comments.flush();
        stream.reset();
        transaction.release();
        platform::SetProgress(100);
    }
    if (result.changed > 0) {
        document::Document().FileModified = -1;
    }
    return result;
}

std::optional<QString> GridReferenceText(int index, double lat, double lon) {
    if (index == 0) {
        geodesy::DatumState& datums = geodesy::Datums();
        int zone = 0;
        double northing = 0.0;
        double easting = 0.0;
        std::string mgrs;
        geodesy::LatLonToMgrs(datums.EllipsoidA, datums.EllipsoidF, geodesy::DegToRad(lat),
                              geodesy::DegToRad(lon), zone, northing, easting, mgrs,
                              datums.Ellipsoid);
        return QString::fromStdString(mgrs);
    }
    const bool british = index == 1;
    const Shifted onGrid = ToGridDatum(lat, lon, british ? geodesy::kOgbM : geodesy::kIrl);
    std::string letters;
    std::string eDigits;
    std::string nDigits;
    geodesy::LatLonToGridRef(british ? geodesy::kBritishGrid : geodesy::kIrishGrid, onGrid.lat,
                             onGrid.lon, letters, eDigits, nDigits);
    return QString::fromStdString(letters + " " + eDigits + " " + nDigits);
}

std::optional<FillResult> MnuRemplirCoo(int index, std::span<const std::int64_t> selected) {
    if (index < 0 || index > 2) {
        return std::nullopt;
    }
    if (index == 0) {
        platform::BeepUnlessSilent();
        const QString message = platform::ResText(502) + QChar(13) + platform::ResText(503);
        if (platform::MsgBox(message, platform::Buttons::OkCancel, platform::Icon::Exclamation) !=
            platform::Answer::Ok) {
            return std::nullopt;
        }
    }
    geodesy::SelectDatum(geodesy::Datums().DestIndex);
    const platform::WaitCursor busy;
    platform::SetProgress(0);
    return FillComments(
        selected,
        [index](const FillRow& row) -> std::optional<QString> {
            if (!row.LATITUDE || !row.LONGITUDE) {
                return std::nullopt;
            }
            const auto lat = static_cast<double>(*row.LATITUDE);
            const auto lon = static_cast<double>(*row.LONGITUDE);
            if (lat == 0.0 || lon == 0.0) {
                return std::nullopt;
            }
            return GridReferenceText(index, lat, lon);
        },
        QStringLiteral(" "));
}

std::optional<FillResult> MnuRemplirTexte(std::span<const std::int64_t> selected) {
    const QString typed = platform::InputBox(platform::ResText(602));
    if (typed.isEmpty()) {
        return std::nullopt;
    }
    return FillComments(
        selected, [&typed](const FillRow&) { return std::optional<QString>(typed); },
        platform::Settings().Separator);
}

std::optional<QString> PositionText(int index, double lat, double lon, QChar mark) {
    switch (index) {
    case 0: {
        constexpr qsizetype kDmsPairLength = 40;
        QString text;
        text.reserve(kDmsPairLength);
        AppendDmsText(text, lat, mark);
        text.append(platform::Settings().Separator);
        AppendDmsText(text, lon, mark);
        return text;
    }
    case 1:
        return Single(lat / geodesy::kDegreesPerGrade) + QLatin1Char(',') +
               Single((lon - geodesy::kParisMeridian) / geodesy::kDegreesPerGrade);
    case 2:
    case 3: {
        const Shifted bel72 = ToGridDatum(lat, lon, geodesy::kBel72);
        double x = 0.0;
        double y = 0.0;
        geodesy::LatLonToLambert72(bel72.lat, bel72.lon, x, y);
        if (index == 2) {
            return Single(x) + QLatin1Char(',') + Single(y);
        }
        if (!OnIfblGrid(x, y)) {
            return std::nullopt; // no square holds it
        }
        std::string code;
        std::int32_t status = 0;
        geodesy::LambertToIfbl(x, y, code, status, 6);
        if (status != 0) {
            return std::nullopt;
        }
        return QString::fromStdString(code);
    }
    case 4:
    case 5: {
        const Shifted mer = ToGridDatum(lat, lon, geodesy::kMer);
        double x = 0.0;
        double y = 0.0;
        geodesy::LatLonToLambertAfrica(mer.lat, mer.lon, x, y, index == 4 ? 1 : 2);
        return Single(x) + QLatin1Char(',') + Single(y);
    }
    default:
        return std::nullopt;
    }
}

FillResult MnuRemplirXY(int index, std::span<const std::int64_t> selected) {
    const platform::WaitCursor busy;
    const QChar mark = QLocale().decimalPoint().at(0); // the user's, once per run
    return FillComments(
        selected,
        [index, mark](const FillRow& row) -> std::optional<QString> {
            if (!row.LATITUDE || !row.LONGITUDE || !row.hasDatum) {
                return std::nullopt;
            }
            const auto lat = static_cast<double>(*row.LATITUDE);
            const auto lon = static_cast<double>(*row.LONGITUDE);
            if (lat == 0.0 || lon == 0.0) {
                return std::nullopt;
            }
            return PositionText(index, lat, lon, mark);
        },
        QStringLiteral(","));
}

} // namespace commands
