#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/Angles.h"
#include "geodesy/CoordinateParser.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/Mgrs.h"
#include "geodesy/NationalGridProjection.h"
#include "geodesy/NationalGrids.h"
#include "geodesy/PointBatch.h"
#include "geodesy/TransverseMercator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The parser over many texts. Each text in the plain form its system is usually written in (one
// blank between the parts, numbers of digits with at most one point) is read here without
// temporary strings, and the points of one conversion are converted together by its batch
// function; any other text goes through ParseCoordinates as it is.

namespace geodesy {

namespace {

constexpr std::string_view kMgrsBands = "CDEFGHJKLMNPQRSTUVWX";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

// A number of the plain form, [-]digits[.digits], from `p` up to the next blank or `end`, read as
// NumericValue reads it; `p` is left on the character after it. False for any other character.
bool ScanNumber(const char*& p, const char* end, double& value) {
    const char* start = p;
    const bool negative = p < end && *p == '-';
    p += negative ? 1 : 0;
    std::uint64_t whole = 0;
    std::ptrdiff_t digits = 0, point = -1;
    for (; p < end && *p != ' '; ++p) {
        const auto d = static_cast<unsigned>(static_cast<unsigned char>(*p) - '0');
        if (d < 10) {
            whole = whole * 10 + d;
            ++digits;
        } else if (*p == '.' && point < 0) {
            point = digits;
        } else {
            return false;
        }
    }
    if (digits == 0) {
        return false;
    }
    // Up to 15 digits they make an exact integer and 10^decimals is exact, so their quotient is
    // the correctly rounded value, as from_chars gives it.
    if (digits <= 15) {
        static constexpr std::array<double, 16> kPowers{
            1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const auto decimals = static_cast<std::size_t>(point < 0 ? 0 : digits - point);
        const double magnitude = static_cast<double>(whole) / kPowers[decimals];
        value = negative ? -magnitude : magnitude;
        return true;
    }
    const auto result = std::from_chars(start, p, value);
    return result.ec == std::errc() && result.ptr == p;
}

// A whole text that is a number of the plain form.
bool PlainNumber(std::string_view text, double& value) {
    const char* p = text.data();
    const char* end = p + text.size();
    return ScanNumber(p, end, value) && p == end;
}

// A packed "dms" value of the plain form [-]degrees[. or ,]digits, as ParseDms and DmsToDecimal
// read it: the first two digits after the separator are the minutes (one digit is tens of
// minutes), the rest the seconds and their decimals (one digit is whole seconds).
bool PlainDms(std::string_view text, double& value) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    std::size_t separator = text.size();
    for (std::size_t k = first; k < text.size(); ++k) {
        if (!IsDigit(text[k])) {
            if (separator != text.size() || (text[k] != '.' && text[k] != ',')) {
                return false;
            }
            separator = k;
        }
    }
    const std::size_t degreeDigits = separator - first;
    const std::size_t rest = separator < text.size() ? text.size() - separator - 1 : 0;
    if (degreeDigits == 0 || degreeDigits > 6 || rest > 11) {
        return false;
    }
    const auto number = [&text](std::size_t from, std::size_t count) {
        std::int64_t n = 0;
        for (std::size_t k = from; k < from + count; ++k) {
            n = n * 10 + (text[k] - '0');
        }
        return static_cast<double>(n);
    };
    const float d = static_cast<float>(number(first, degreeDigits));
    float m = 0.0f, s = 0.0f;
    if (rest >= 1) {
        m = static_cast<float>(rest == 1 ? number(separator + 1, 1) * 10
                                         : number(separator + 1, 2));
    }
    if (rest >= 3) {
        const std::size_t secondDigits = rest - 2;
        const double whole = number(separator + 3, secondDigits);
        const double scale = secondDigits == 1 ? 1.0 : std::pow(10.0, secondDigits - 2.0);
        s = static_cast<float>(whole / scale);
    }
    static const std::string kMinus = "-", kPlus = "+";
    value = DmsToDecimal(d, m, s, negative ? kMinus : kPlus);
    return true;
}

// The parts after the code of a text "CCC a b ..." separated by single blanks; false for any
// other layout (two blanks, a blank at the end, another count of parts).
template <std::size_t N>
bool PlainParts(std::string_view text, std::array<std::string_view, N>& parts) {
    if (text.size() < 4 || text[3] != ' ') {
        return false;
    }
    std::size_t start = 4;
    for (std::size_t k = 0; k < N; ++k) {
        const std::size_t blank = text.find(' ', start);
        const bool last = k + 1 == N;
        if (last != (blank == std::string_view::npos)) {
            return false;
        }
        const std::size_t end = last ? text.size() : blank;
        if (end == start) {
            return false;
        }
        parts[k] = text.substr(start, end - start);
        start = end + 1;
    }
    return true;
}

// "CCC x y": two numbers of the plain form after the code, single blanks between.
bool PlainPair(std::string_view text, double& x, double& y) {
    if (text.size() < 5 || text[3] != ' ') {
        return false;
    }
    const char* p = text.data() + 4;
    const char* end = text.data() + text.size();
    if (!ScanNumber(p, end, x) || p == end) {
        return false;
    }
    ++p; // the blank
    return p < end && *p != ' ' && ScanNumber(p, end, y) && p == end;
}

// The system a text's first three characters name, by one comparison of their bytes with each
// code.
std::optional<CoordSystem> SystemOf(std::string_view text) {
    const auto key = [](std::string_view code) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 16;
    };
    static const std::array<std::uint32_t, kCoordSystemCount> keys = [&key] {
        std::array<std::uint32_t, kCoordSystemCount> k{};
        for (std::size_t i = 0; i < k.size(); ++i) {
            k[i] = key(CoordSystemComparedCode(static_cast<CoordSystem>(i)));
        }
        return k;
    }();
    const std::uint32_t wanted = key(text);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == wanted) {
            return static_cast<CoordSystem>(i);
        }
    }
    return std::nullopt;
}

// The conversions the points are gathered for.
enum Conversion : std::size_t {
    kLambertFrance1, // to kLambertFrance1 + 4: zones 1 to 4 and II etendu
    kNordMaroc = kLambertFrance1 + 5,
    kSudMaroc,
    kBelgian,
    kBritish,
    kIrish,
    kUtm,
    kMgrs,
    kConversionCount
};

// The points of one conversion in a block of texts.
struct Gathered {
    std::vector<std::size_t> index;
    std::vector<double> x, y; // the inputs: plane coordinates, or northing and easting
    std::vector<int> zone;
    std::vector<std::string> reference;
    std::vector<double> lat, lon;

    void clear() {
        index.clear();
        x.clear();
        y.clear();
        zone.clear();
        reference.clear();
    }
    void add(std::size_t i, double a, double b) {
        index.push_back(i);
        x.push_back(a);
        y.push_back(b);
    }
};

// The ellipsoid UTM and MGRS points are gathered on: that of one datum of the block.
struct UtmEllipsoid {
    int datum = -1;
    double a = 0, f = 0;
    int id = 0;
};

class BatchParser {
public:
    BatchParser(std::span<const std::string> texts, std::span<const std::int16_t> datums,
                std::span<double> lat, std::span<double> lon)
        : texts_(texts), datums_(datums), lat_(lat), lon_(lon) {}

    void run() {
        constexpr std::size_t kBlock = 4096;
        for (std::size_t start = 0; start < texts_.size(); start += kBlock) {
            const std::size_t end = std::min(texts_.size(), start + kBlock);
            for (Gathered& g : gathered_) {
                g.clear();
            }
            utm_ = UtmEllipsoid{};
            for (std::size_t i = start; i < end; ++i) {
                if (!readPlain(i)) {
                    std::string code;
                    ParseCoordinates(texts_[i], datums_[i], lat_[i], lon_[i], code);
                }
            }
            convert();
        }
        if (!datums_.empty()) {
            SelectDatum(datums_.back());
        }
    }

private:
    void result(std::size_t i, double la, double lo) {
        lat_[i] = la;
        lon_[i] = lo;
    }
    void none(std::size_t i) { result(i, InvalidCoord, InvalidCoord); }

    // The ellipsoid of a datum as SelectDatum makes it current, worked out once per datum; error
    // 9 for a datum outside the tables.
    const UtmEllipsoid& ellipsoidOf(int datum) {
        const auto d = static_cast<std::size_t>(datum < 0 ? 0 : datum);
        if (d >= ellipsoids_.size()) {
            ellipsoids_.resize(d + 1);
        }
        if (datum < 0 || ellipsoids_[d].datum != datum) {
            const DatumState& state = Datums();
            const int id = state.datum(datum).ELLI_ID;
            const EllipsoidRec& e = state.ellipsoid(id);
            ellipsoids_[d] = {datum, e.A, common::Divide(1.0, e.f_Inv), id};
        }
        return ellipsoids_[d];
    }

    // A text of a plain form, read and its point gathered; false for any other text.
    bool readPlain(std::size_t i) {
        ellipsoidOf(datums_[i]); // the datum must exist, whatever the text
        const std::string_view text = texts_[i];
        if (text.size() < 4) {
            return false;
        }
        const auto system = SystemOf(text);
        if (!system) {
            return false;
        }
        double x = 0, y = 0;
        switch (*system) {
        case CoordSystem::Deg:
        case CoordSystem::Grp:
            if (!PlainPair(text, x, y)) {
                return false;
            }
            if (*system == CoordSystem::Deg) {
                result(i, x, y);
            } else {
                result(i, x * kDegreesPerGrade, y * kDegreesPerGrade + kParisMeridian);
            }
            return true;
        case CoordSystem::Lf1:
        case CoordSystem::Lf2:
        case CoordSystem::Lf3:
        case CoordSystem::Lf4:
        case CoordSystem::Lfe:
        case CoordSystem::Nma:
        case CoordSystem::Sma:
        case CoordSystem::Lmb:
            return readPlane(i, *system, text);
        case CoordSystem::Utm:
            return readUtm(i, text);
        case CoordSystem::Mgr:
            return readMgrs(i, text);
        case CoordSystem::Bng:
        case CoordSystem::Itm:
            return readGridReference(i, *system == CoordSystem::Bng, text);
        case CoordSystem::Ifb:
            return readIfbl(i, text);
        case CoordSystem::Dms: {
            std::array<std::string_view, 2> parts;
            if (!PlainParts(text, parts) || !PlainDms(parts[0], x) || !PlainDms(parts[1], y)) {
                return false;
            }
            result(i, x, y);
            return true;
        }
        }
        return false;
    }

    bool readPlane(std::size_t i, CoordSystem system, std::string_view text) {
        double x = 0, y = 0;
        if (!PlainPair(text, x, y)) {
            return false;
        }
        if (x == 0 || y == 0) {
            none(i);
            return true;
        }
        std::size_t conversion = kBelgian;
        switch (system) {
        case CoordSystem::Lfe:
            conversion = kLambertFrance1 + 4;
            break;
        case CoordSystem::Nma:
            conversion = kNordMaroc;
            break;
        case CoordSystem::Sma:
            conversion = kSudMaroc;
            break;
        case CoordSystem::Lmb:
            conversion = kBelgian;
            break;
        default: // LF1 to LF4
            conversion = kLambertFrance1 + static_cast<std::size_t>(text[2] - '1');
            break;
        }
        gathered_[conversion].add(i, x, y);
        return true;
    }

    // UTM and MGRS points of one ellipsoid are gathered; a text on another one goes alone.
    bool sameUtmEllipsoid(std::size_t i) {
        const UtmEllipsoid& e = ellipsoidOf(datums_[i]);
        if (utm_.datum < 0) {
            utm_ = e;
            return true;
        }
        return e.a == utm_.a && e.f == utm_.f && e.id == utm_.id;
    }

    bool readUtm(std::size_t i, std::string_view text) {
        std::array<std::string_view, 3> parts;
        double easting = 0, northing = 0;
        if (!PlainParts(text, parts) || parts[0].size() > 2 || !IsDigit(parts[0][0]) ||
            !IsDigit(parts[0].back()) || !PlainNumber(parts[1], easting) ||
            !PlainNumber(parts[2], northing) || !sameUtmEllipsoid(i)) {
            return false;
        }
        const int zone = parts[0].size() == 1 ? parts[0][0] - '0'
                                              : (parts[0][0] - '0') * 10 + (parts[0][1] - '0');
        if (zone < 1 || zone > 60 || easting == 0) {
            none(i);
            return true;
        }
        Gathered& g = gathered_[kUtm];
        g.add(i, northing, easting);
        g.zone.push_back(zone);
        return true;
    }

    // "MGR zz B LL" and ten digits: the reference as MgrsToLatLon reads it.
    bool readMgrs(std::size_t i, std::string_view text) {
        std::array<std::string_view, 3> parts;
        if (!PlainParts(text, parts) || parts[0].size() != 2 || !IsDigit(parts[0][0]) ||
            !IsDigit(parts[0][1]) || parts[1].size() != 1 ||
            kMgrsBands.find(parts[1][0]) == std::string_view::npos || parts[2].size() != 12 ||
            !IsUpperLetter(parts[2][0]) || !IsUpperLetter(parts[2][1]) ||
            !std::all_of(parts[2].begin() + 2, parts[2].end(), IsDigit) || !sameUtmEllipsoid(i)) {
            return false;
        }
        const int zone = (parts[0][0] - '0') * 10 + (parts[0][1] - '0');
        if (zone < 1 || zone > 60) {
            none(i);
            return true;
        }
        Gathered& g = gathered_[kMgrs];
        g.index.push_back(i);
        std::string& reference = g.reference.emplace_back(15, ' ');
        std::copy(parts[0].begin(), parts[0].end(), reference.begin());
        reference[2] = parts[1][0];
        std::copy(parts[2].begin(), parts[2].end(), reference.begin() + 3);
        return true;
    }

    // "BNG LL digits" or "ITM IL digits": the letters to projection coordinates here, the
    // inverse projection with the others of the grid.
    bool readGridReference(std::size_t i, bool british, std::string_view text) {
        std::array<std::string_view, 2> parts;
        if (!PlainParts(text, parts) || parts[0].size() != 2 || !IsUpperLetter(parts[0][0]) ||
            !IsUpperLetter(parts[0][1]) || parts[1].size() > 10 ||
            !std::all_of(parts[1].begin(), parts[1].end(), IsDigit)) {
            return false;
        }
        // The digits completed to five plus five as TryExpandGridDigits completes them: an even
        // count of two to ten, each half followed by the digits of the middle of its cell.
        const std::size_t count = parts[1].size();
        if (count == 0 || count % 2 != 0) {
            none(i);
            return true;
        }
        const std::size_t half = count / 2;
        static constexpr std::array<int, 6> kFill{0, 4999, 499, 49, 4, 0};
        static constexpr std::array<int, 6> kScale{0, 10000, 1000, 100, 10, 1};
        const auto kilometres = [&](std::size_t from) {
            int value = 0;
            for (std::size_t k = from; k < from + half; ++k) {
                value = value * 10 + (parts[1][k] - '0');
            }
            return (value * kScale[half] + kFill[half]) / 1000.0;
        };
        const double eKm = kilometres(0), nKm = kilometres(half);
        double easting = 0, northing = 0;
        const bool square = british ? BngLettersToEN(parts[0], eKm, nKm, easting, northing)
                                    : IrishLetterToEN(parts[0], nKm, eKm, northing, easting);
        if (!square) {
            none(i);
            return true;
        }
        gathered_[british ? kBritish : kIrish].add(i, northing, easting);
        return true;
    }

    bool readIfbl(std::size_t i, std::string_view text) {
        std::string& square = square_; // kept, so that its room is too
        square.assign(text.begin() + 4, text.end());
        double x = 0, y = 0;
        std::int32_t status = 0;
        IfblToLambert(square, x, y, status);
        if (x == 0 || y == 0) {
            none(i);
            return true;
        }
        gathered_[kBelgian].add(i, x, y);
        return true;
    }

    void scatter(const Gathered& g) {
        for (std::size_t k = 0; k < g.index.size(); ++k) {
            result(g.index[k], g.lat[k], g.lon[k]);
        }
    }

    void convert() {
        for (std::size_t c = 0; c < kConversionCount; ++c) {
            Gathered& g = gathered_[c];
            const std::size_t n = g.index.size();
            if (n == 0) {
                continue;
            }
            g.lat.resize(n);
            g.lon.resize(n);
            if (c == kMgrs) {
                convertMgrs(g);
                continue;
            }
            if (c < kLambertFrance1 + 5) {
                batch::LambertFranceToLatLon(g.x, g.y, g.lat, g.lon,
                                             static_cast<std::int16_t>(c - kLambertFrance1 + 1));
            } else if (c == kNordMaroc || c == kSudMaroc) {
                batch::LambertAfricaToLatLon(g.x, g.y, g.lat, g.lon, c == kNordMaroc ? 1 : 2);
            } else if (c == kBelgian) {
                batch::Lambert72ToLatLon(g.x, g.y, g.lat, g.lon);
            } else if (c == kBritish || c == kIrish) {
                batch::GridToLatLon(c == kBritish ? kBritishGrid : kIrishGrid, g.x, g.y, g.lat,
                                    g.lon);
            } else { // kUtm
                batch::UtmToLatLon(utm_.a, utm_.f, g.zone, g.x, g.y, g.lat, g.lon);
                for (std::size_t k = 0; k < n; ++k) {
                    g.lat[k] = DegreesOf(g.lat[k]); // as RadToDeg
                    g.lon[k] = DegreesOf(g.lon[k]);
                }
            }
            for (std::size_t k = 0; k < n; ++k) {
                if (!std::isfinite(g.lat[k]) || !std::isfinite(g.lon[k])) {
                    throw common::AppError(common::kOverflow);
                }
            }
            scatter(g);
        }
    }

    void convertMgrs(Gathered& g) {
        const std::size_t n = g.index.size();
        g.zone.resize(n);
        g.x.resize(n);
        g.y.resize(n);
        status_.resize(n);
        batch::MgrsToLatLon(g.reference, utm_.id, utm_.a, utm_.f, g.lat, g.lon, g.zone, g.x, g.y,
                            status_);
        for (std::size_t k = 0; k < n; ++k) {
            if (status_[k] != 0) {
                none(g.index[k]);
            } else {
                result(g.index[k], RadToDeg(g.lat[k]), RadToDeg(g.lon[k]));
            }
        }
    }

    std::span<const std::string> texts_;
    std::span<const std::int16_t> datums_;
    std::span<double> lat_, lon_;
    std::array<Gathered, kConversionCount> gathered_;
    std::vector<int> status_;
    std::string square_;
    UtmEllipsoid utm_;
    std::vector<UtmEllipsoid> ellipsoids_; // by datum index
};

} // namespace

void batch::ParseCoordinates(std::span<const std::string> texts,
                             std::span<const std::int16_t> datums, std::span<double> lat,
                             std::span<double> lon) {
    batch::RequireSameSize(texts.size(), datums.size(), lat.size(), lon.size());
    BatchParser(texts, datums, lat, lon).run();
}

} // namespace geodesy
