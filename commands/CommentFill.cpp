#include "commands/CommentFill.h"

#include "commands/SnapRules.h"
#include "commands/SnapWalk.h"
#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/BatchUpdate.h"
#include "document/ColumnStream.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/PositionWalk.h"
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

CommentBlockText EachRow(CommentText text) {
    return [text = std::move(text)](std::span<const FillRow> rows,
                                    std::vector<std::optional<std::string>>& texts) {
        texts.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::optional<QString> added = text(rows[i]);
            texts[i] = added ? std::optional<std::string>(added->toStdString()) : std::nullopt;
        }
    };
}

FillResult FillComments(std::span<const std::int64_t> selected, const CommentBlockText& text,
                        const QString& joint) {
    enum Column { kLatitude = 1, kLongitude, kDatum, kComment };
    // Rows read, given their texts and written together, once the read has let go of the table.
    constexpr std::size_t kBlockRows = document::kPositionBlockRows;
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
        std::vector<std::int64_t> counters;
        std::vector<FillRow> rows;
        std::vector<std::string> oldComments;
        std::vector<std::optional<std::string>> added;
        std::ptrdiff_t lastPercent = 0;
        for (;;) {
            counters.clear();
            rows.clear();
            oldComments.resize(kBlockRows);
            while (rows.size() < kBlockRows && stream->next()) {
                sqlite3_stmt* row = stream->row();
                oldComments[rows.size()].assign(
                    document::ColumnText(row, kComment).value_or(std::string_view()));
                counters.push_back(stream->counter());
                rows.push_back({single(row, kLatitude), single(row, kLongitude),
                                sqlite3_column_type(row, kDatum) != SQLITE_NULL});
            }
            if (rows.empty()) {
                break;
            }
            stream->pause();
            text(rows, added);
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if (!added[i]) {
                    continue;
                }
                std::string& comment = oldComments[i];
                if (!comment.empty()) {
                    comment += jointBytes;
                }
                comment += *added[i];
                comments.add(counters[i], {std::move(comment)});
                ++result.changed;
            }
            comments.flush();
            for (std::size_t i = 0; i < rows.size(); ++i) {
                ++result.rows;
                const std::ptrdiff_t percent = result.rows * 100 / total;
                if (percent % 10 == 0 && percent > 0 && percent != lastPercent) {
                    lastPercent = percent;
                    platform::SetProgress(static_cast<double>(percent));
                }
            }
        }
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

namespace {

// The stored position of a row a fill writes: a position with neither axis at 0, and a datum
// when `needsDatum`.
std::optional<LatLon> FilledPosition(const FillRow& row, bool needsDatum) {
    if (!row.LATITUDE || !row.LONGITUDE || (needsDatum && !row.hasDatum) || *row.LATITUDE == 0.0F ||
        *row.LONGITUDE == 0.0F) {
        return std::nullopt;
    }
    return LatLon{static_cast<double>(*row.LATITUDE), static_cast<double>(*row.LONGITUDE)};
}

// Whether a length in metres is written alike anywhere within a hair of `metres`: Single holds it
// as the nearest single, which rounds alike on both sides.
bool SteadySingle(double metres) {
    return static_cast<float>(metres - document::kHairMetres) ==
           static_cast<float>(metres + document::kHairMetres);
}

// The arrays of a block fill, kept from block to block so that no block allocates them again.
struct FillArrays {
    std::vector<std::size_t> at; // the block's rows that receive a text
    std::vector<double> lat;     // their stored positions
    std::vector<double> lon;
    std::vector<double> gridLat; // shifted to the grid's datum, or in radians
    std::vector<double> gridLon;
    std::vector<double> x; // easting
    std::vector<double> y; // northing
    std::vector<int> zone;
    std::vector<std::string> mgrs;

    // Takes the rows a fill writes (FilledPosition) and sizes the other arrays to them.
    std::size_t gather(std::span<const FillRow> rows, bool needsDatum) {
        at.clear();
        lat.clear();
        lon.clear();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (const std::optional<LatLon> position = FilledPosition(rows[i], needsDatum)) {
                at.push_back(i);
                lat.push_back(position->lat);
                lon.push_back(position->lon);
            }
        }
        const std::size_t n = at.size();
        gridLat.resize(n);
        gridLon.resize(n);
        x.resize(n);
        y.resize(n);
        return n;
    }
};

// Items 2, 4 and 5 over a block: the positions shifted to the grid's datum and projected by the
// batch conversions, "x,y" written as Single writes them; a row whose metres lie within a hair of
// a single's rounding boundary is written by PositionText, as are all of them one at a time.
CommentBlockText ProjectedTexts(int index, QChar mark) {
    return [index, mark, a = std::make_shared<FillArrays>()](
               std::span<const FillRow> rows, std::vector<std::optional<std::string>>& texts) {
        texts.assign(rows.size(), std::nullopt);
        const std::size_t n = a->gather(rows, true);
        if (n == 0) {
            return;
        }
        const bool belgian = index == 2;
        const int gridDatum = RequireGridDatum(belgian ? geodesy::kBel72 : geodesy::kMer);
        geodesy::batch::ShiftDatum(a->lat, a->lon, a->gridLat, a->gridLon,
                                   geodesy::Datums().DestIndex, gridDatum);
        if (belgian) {
            geodesy::batch::LatLonToLambert72(a->gridLat, a->gridLon, a->x, a->y);
        } else {
            geodesy::batch::LatLonToLambertAfrica(a->gridLat, a->gridLon, a->x, a->y,
                                                  index == 4 ? 1 : 2);
        }
        for (std::size_t k = 0; k < a->at.size(); ++k) {
            const std::size_t i = a->at[k];
            if (SteadySingle(a->x[k]) && SteadySingle(a->y[k])) {
                std::string text = common::CStrSingle(static_cast<float>(a->x[k]));
                text += ',';
                text += common::CStrSingle(static_cast<float>(a->y[k]));
                texts[i] = std::move(text);
                continue;
            }
            const std::optional<QString> one =
                PositionText(index, static_cast<double>(*rows[i].LATITUDE),
                             static_cast<double>(*rows[i].LONGITUDE), mark);
            texts[i] = one ? std::optional<std::string>(one->toStdString()) : std::nullopt;
        }
    };
}

// The grid references of MnuRemplirCoo over a block, through the batch conversions: MGRS
// references where the batch may stand for the one-point conversion (SteadyMgrs), British and
// Irish ones where the texts are the same a hair to either side of the batch's metres; the other
// rows, and a block the batch projection refuses, get GridReferenceText one row at a time.
CommentBlockText GridTexts(int index) {
    return [index, a = std::make_shared<FillArrays>()](
               std::span<const FillRow> rows, std::vector<std::optional<std::string>>& texts) {
        texts.assign(rows.size(), std::nullopt);
        const std::size_t n = a->gather(rows, false);
        const auto onePoint = [&](std::size_t k) {
            texts[a->at[k]] = GridReferenceText(index, a->lat[k], a->lon[k])->toStdString();
        };
        if (index == 0) {
            const geodesy::DatumState& datums = geodesy::Datums();
            for (std::size_t k = 0; k < n; ++k) {
                a->gridLat[k] = geodesy::DegToRad(a->lat[k]);
                a->gridLon[k] = geodesy::DegToRad(a->lon[k]);
            }
            a->zone.resize(n);
            a->mgrs.resize(n);
            geodesy::batch::LatLonToMgrs(datums.EllipsoidA, datums.EllipsoidF, a->gridLat,
                                         a->gridLon, a->zone, a->y, a->x, a->mgrs,
                                         datums.Ellipsoid);
            for (std::size_t k = 0; k < n; ++k) {
                if (MgrsNearEdge(a->lat[k], a->lon[k]) ||
                    !SteadyMgrs(a->mgrs[k], a->x[k], a->y[k])) {
                    onePoint(k);
                } else {
                    texts[a->at[k]] = a->mgrs[k];
                }
            }
            return;
        }
        if (n == 0) {
            return;
        }
        const bool british = index == 1;
        const int type = british ? geodesy::kBritishGrid : geodesy::kIrishGrid;
        geodesy::batch::ShiftDatum(a->lat, a->lon, a->gridLat, a->gridLon,
                                   geodesy::Datums().DestIndex,
                                   RequireGridDatum(british ? geodesy::kOgbM : geodesy::kIrl));
        try {
            geodesy::batch::LatLonToGrid(type, a->gridLat, a->gridLon, a->x, a->y);
        } catch (const common::AppError&) {
            for (std::size_t k = 0; k < n; ++k) {
                onePoint(k); // a point without a reference among them: each as it comes
            }
            return;
        }
        std::string lettersBelow, eastBelow, northBelow, lettersAbove, eastAbove, northAbove;
        for (std::size_t k = 0; k < n; ++k) {
            constexpr double hair = document::kHairMetres;
            geodesy::GridRefFromGridEN(type, a->x[k] - hair, a->y[k] - hair, lettersBelow,
                                       eastBelow, northBelow);
            geodesy::GridRefFromGridEN(type, a->x[k] + hair, a->y[k] + hair, lettersAbove,
                                       eastAbove, northAbove);
            // Each text is a monotone step of its axis: alike at both ends, alike between.
            if (lettersBelow != lettersAbove || eastBelow != eastAbove ||
                northBelow != northAbove) {
                onePoint(k);
                continue;
            }
            texts[a->at[k]] = lettersBelow + " " + eastBelow + " " + northBelow;
        }
    };
}

} // namespace

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
    return FillComments(selected, GridTexts(index), QStringLiteral(" "));
}

std::optional<FillResult> MnuRemplirTexte(std::span<const std::int64_t> selected) {
    const QString typed = platform::InputBox(platform::ResText(602));
    if (typed.isEmpty()) {
        return std::nullopt;
    }
    return FillComments(selected,
                        EachRow([&typed](const FillRow&) { return std::optional<QString>(typed); }),
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
    if (index == 2 || index == 4 || index == 5) {
        return FillComments(selected, ProjectedTexts(index, mark), QStringLiteral(","));
    }
    return FillComments(selected,
                        EachRow([index, mark](const FillRow& row) -> std::optional<QString> {
                            const std::optional<LatLon> position = FilledPosition(row, true);
                            if (!position) {
                                return std::nullopt;
                            }
                            return PositionText(index, position->lat, position->lon, mark);
                        }),
                        QStringLiteral(","));
}

} // namespace commands
