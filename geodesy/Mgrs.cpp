#include "geodesy/Mgrs.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/Angles.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/PointBatch.h"
#include "geodesy/TransverseMercator.h"
#include "geodesy/UtmSeries.h"
#include "geodesy/VectorMath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace geodesy {

namespace {

// Latitudes and longitudes come in as DegToRad gives them: the band and zone limits they are
// compared with are built with DegToRad's factor, so that a point exactly on a limit falls on the
// side of it that its degrees say.
constexpr double kLimitDegree = kRadiansPerDegree;
constexpr double kEpsilon = 4.85e-10;   // about 0.0001": the polar limits
constexpr double kTolerance = 1.56e-7;  // about a metre: range test of a decoded reference
constexpr double kSquare = 100000.0;    // side of a 100 km square
constexpr double kRowCycle = 2000000.0; // row letters repeat every 2,000 km
constexpr double kLastNorthing = 9999999.0;

constexpr int kBandN = 14;
constexpr int kBandV = 22;
constexpr int kBandX = 24;
constexpr int kColumnJ = 10;

const char* const kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Whole metres, halves away from zero.
GEODESY_ALWAYS_INLINE double Nearest(double x) {
    const double sign = x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0);
    return std::trunc(x + 0.5 * sign);
}

// x less 2,000,000 as many times as it stays 2,000,000 or more.
GEODESY_ALWAYS_INLINE double ReduceRows(double x) {
    // Without the library's remainder for the whole metres it is given below 1e15, where the
    // quotient's rounding cannot reach the next whole number.
    if (x < kRowCycle) {
        return x;
    }
    return x < 1e15 ? x - std::floor(x / kRowCycle) * kRowCycle : std::fmod(x, kRowCycle);
}

// The letter of an alphabet index; error 5 outside A to Z.
GEODESY_ALWAYS_INLINE char Letter(double index) {
    if (!(index >= 1.0 && index <= 26.0)) {
        throw common::AppError(common::kInvalidCall);
    }
    return kAlphabet[static_cast<int>(index) - 1];
}

// The two digits of each number from 00 to 99.
constexpr std::string_view kPairs =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The three digits of each number from 000 to 999, each in four bytes (the fourth a null).
constexpr std::array<char, 4000> kTriples = [] {
    std::array<char, 4000> digits{};
    for (std::size_t i = 0; i < 1000; ++i) {
        digits[4 * i] = static_cast<char>('0' + i / 100);
        digits[4 * i + 1] = static_cast<char>('0' + i / 10 % 10);
        digits[4 * i + 2] = static_cast<char>('0' + i % 10);
    }
    return digits;
}();

// Writes the five decimal digits of 0 <= value < 100000 at `out`: the first three with their
// fourth byte, which the last two then overwrite. One division and two loads, where digits worked
// out one pair at a time would wait on a chain of divisions.
GEODESY_ALWAYS_INLINE void PutFiveDigits(char* out, std::uint32_t value) {
    const std::uint32_t hundreds = value / 100;
    std::memcpy(out, kTriples.data() + 4 * hundreds, 4);
    std::memcpy(out + 3, kPairs.data() + 2 * (value - 100 * hundreds), 2);
}

// Writes the last five characters of a whole number of metres + 10,000,000 over the five
// characters of `text` from `position` on, as the digits of a reference are written.
GEODESY_ALWAYS_INLINE void WriteFiveDigits(std::string& text, std::size_t position, double metres) {
    const double shifted = metres + 10000000.0;
    if (!(std::fabs(shifted) < 1e15)) {
        throw common::AppError(common::kOverflow);
    }
    long long value = static_cast<long long>(shifted);
    if (value >= 10000) {
        PutFiveDigits(text.data() + position, static_cast<std::uint32_t>(value % 100000));
        return;
    }
    const std::string digits = std::to_string(value);
    const std::string last = digits.size() > 5 ? digits.substr(digits.size() - 5) : digits;
    text.replace(position, last.size(), last);
}

// Lettering schemes by ELLI_ID: 1 is the AA lettering, 2 the AL lettering, 0 none.
int SchemeOf(int ellipsoid) {
    switch (ellipsoid) {
    case 4:
    case 5:
    case 6:
    case 22:
        return 2;
    case 1:
    case 2:
    case 3:
    case 7:
    case 8:
    case 10:
    case 12:
    case 15:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21:
    case 23:
        return 1;
    default:
        return 0;
    }
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The numeric value of `length` characters from `position`, read directly when they are all digits
// (as references are) and by the general reader otherwise.
double FieldValue(const std::string& text, std::size_t position, std::size_t length) {
    const std::size_t end = std::min(text.size(), position + length);
    double value = 0.0;
    for (std::size_t i = position; i < end; ++i) {
        if (!IsDigit(text[i])) {
            return common::NumericValue(std::string_view(text).substr(position, length));
        }
        value = value * 10.0 + (text[i] - '0');
    }
    return value;
}

// The value of five digits from `text`, or -1 when one of the characters is not a digit. In
// whole numbers, as FieldValue's sum in doubles gives them exactly.
GEODESY_ALWAYS_INLINE int FiveDigitsAt(const char* text) {
    const auto digit = [&](int i) {
        return static_cast<unsigned>(static_cast<unsigned char>(text[i])) - unsigned{'0'};
    };
    const unsigned d0 = digit(0), d1 = digit(1), d2 = digit(2), d3 = digit(3), d4 = digit(4);
    if (d0 > 9U || d1 > 9U || d2 > 9U || d3 > 9U || d4 > 9U) {
        return -1;
    }
    return static_cast<int>(d0 * 10000U + d1 * 1000U + d2 * 100U + d3 * 10U + d4);
}

[[gnu::noinline]] int ZoneOfGeneral(const std::string& text) {
    return common::ToInt16(common::NumericValue(std::string_view(text).substr(0, 2)));
}

// The zone of a reference: two digits, or a blank and a digit, read directly; anything else by the
// general reader.
GEODESY_ALWAYS_INLINE int ZoneOf(const std::string& text) {
    if (IsDigit(text[1]) && (IsDigit(text[0]) || text[0] == ' ')) {
        return (text[0] == ' ' ? 0 : (text[0] - '0') * 10) + (text[1] - '0');
    }
    return ZoneOfGeneral(text);
}

// The northing series along the southern edge of each lettered band (C to X), kept for the last
// ellipsoid of this thread and filled as bands are asked for.
constexpr int kFirstBand = 3;
constexpr int kBandCount = kBandX - kFirstBand + 1;

const utm::NorthingTerms& BandEdgeTerms(double a, double f, int band, double south) {
    struct Cache {
        double a = 0.0, f = 0.0;
        bool valid = false;
        std::array<bool, kBandCount> ready{};
        std::array<utm::NorthingTerms, kBandCount> terms{};
    };
    thread_local Cache cache;
    const utm::EllipsoidConstants& el = utm::Constants(a, f);
    if (!(cache.valid && cache.a == a && cache.f == f)) {
        cache.ready.fill(false);
        cache.a = a;
        cache.f = f;
        cache.valid = true;
    }
    const auto i = static_cast<std::size_t>(band - kFirstBand);
    if (!cache.ready[i]) {
        cache.terms[i] = utm::NorthingTermsAt(el, south);
        cache.ready[i] = true;
    }
    return cache.terms[i];
}

// The UTM northing of the band's southern edge at the given longitude of the zone, as the forward
// projection gives it.
double EdgeNorthing(double a, double f, int band, double south, int zone, double lon) {
    if (band >= kFirstBand && band <= kBandX) {
        return checked::Finite(utm::NorthingAt(BandEdgeTerms(a, f, band, south), lon, zone));
    }
    return checked::Finite(
        utm::NorthingAt(utm::NorthingTermsAt(utm::Constants(a, f), south), lon, zone));
}

// The southern limit of the k-th band from C (0 for C itself), radians.
constexpr double BandSouth(double k) {
    return (8.0 * k - 80.0) * kLimitDegree;
}

// The index of the band letter of a latitude (radians): the band whose southern limit is the last
// one at or below it. The quotient gives the band but for a rounding at a limit, which the
// comparisons with the limits themselves settle.
[[gnu::noinline]] int BandOfGeneral(double lat) {
    double k = std::trunc(checked::Finite((lat + 80.0 * kLimitDegree) / (8.0 * kLimitDegree)));
    if (k >= 1.0 && k <= 19.0 && lat < BandSouth(k)) {
        k -= 1.0;
    } else if (k >= 0.0 && k <= 18.0 && lat >= BandSouth(k + 1.0)) {
        k += 1.0;
    }
    double b = k + 3.0;
    if (b > 8.0) {
        b += 1.0;
    }
    if (b > 14.0) {
        b += 1.0;
    }
    if (b >= 25.0) {
        b = kBandX;
    }
    if (b < -1000.0) {
        b = -1000.0; // far below any band; keeps the index a small whole number
    }
    if (b == 13.0 && lat == 0.0) {
        b = kBandN; // the equator is in band N
    }
    return static_cast<int>(b);
}

// The southern limits of the bands from C (k = 0) on, and 80 N (k = 20) inside band X, as
// BandSouth works them out.
constexpr std::array<double, 21> kBandSouths = [] {
    std::array<double, 21> limits{};
    for (std::size_t k = 0; k < limits.size(); ++k) {
        limits[k] = BandSouth(static_cast<double>(k));
    }
    return limits;
}();

// BandOfGeneral's band, inlined from 76 S to 84 N where the letters are. The quotient by a
// multiplication is within a rounding of the latitude's in 8-degree steps from 80 S: rounded, it
// is the limit nearest the latitude, and the side of that limit the latitude lies gives the band.
GEODESY_ALWAYS_INLINE int BandOf(double lat) {
    const double q = (lat + 80.0 * kLimitDegree) * (1.0 / (8.0 * kLimitDegree));
    if (q >= 0.5 && q < 20.5) {
        // The letter's index of each k; band X takes both k = 19 and 20.
        static constexpr std::array<signed char, 21> kIndex = {
            3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22, 23, 24, 24};
        const auto nearest = static_cast<std::size_t>(q + 0.5); // 1 to 20
        return kIndex[nearest - (lat < kBandSouths[nearest] ? 1 : 0)];
    }
    return BandOfGeneral(lat);
}

// WriteReference's steps in whole metres, for the northings and eastings of points on the grid
// (0 up to 1e9 m, whose halves and reductions stay exact in 32-bit integers); false, with nothing
// written, for any other value or a column beyond Z, left to the general steps.
GEODESY_ALWAYS_INLINE bool WriteWholeMetres(int band, int zone, double northing, double easting,
                                            int firstColumn, double rowOffset, std::string& mgrs) {
    constexpr double kLimit = 1e9;
    constexpr auto kSide = static_cast<std::uint32_t>(kSquare);
    constexpr auto kLast = static_cast<std::uint32_t>(kLastNorthing);
    constexpr auto kRowLetters = static_cast<std::uint32_t>(kRowCycle / kSquare);
    // The row letters of each 100 km of a 2,000 km cycle (no I, no O), twice over: a row less the
    // offset of the zone's set is read from the second cycle back.
    static constexpr std::string_view kRows = "ABCDEFGHJKLMNPQRSTUVABCDEFGHJKLMNPQRSTUV";
    static_assert(kRows.size() == 2 * kRowLetters, "one cycle of row letters, twice over");
    if (!(northing >= 0.0 && northing < kLimit && easting >= 0.0 && easting < kLimit &&
          static_cast<unsigned>(zone) <= 99U && static_cast<unsigned>(band - 1) < 26U)) {
        return false;
    }
    // Nearest for a value of 0 or more: its half added, then truncated.
    std::uint32_t north = static_cast<std::uint32_t>(northing + 0.5);
    if (north == kLast + 1U) {
        north = kLast;
    }
    // Whole squares and the metres into the last, once for the letter and the digits. The row
    // offset is whole squares, so the metres in the cycle reach it where the squares do.
    const std::uint32_t northSquares = north / kSide, northMetres = north - northSquares * kSide;
    const std::uint32_t offsetSquares = static_cast<std::uint32_t>(rowOffset) / kSide;
    std::uint32_t east = static_cast<std::uint32_t>(easting + 0.5);
    if (band == kBandV && zone == 31 && east == static_cast<std::uint32_t>(kUtmFalseEasting)) {
        east = 499999U; // a point of zone 31 in band V rounded onto the central meridian
    }
    const std::uint32_t eastSquares = east / kSide, eastMetres = east - eastSquares * kSide;
    std::uint32_t column = static_cast<std::uint32_t>(firstColumn) + eastSquares - 1U;
    if (firstColumn == kColumnJ && column > 14U) {
        column += 1U; // no O
    }
    if (!(column >= 1U && column <= 26U)) {
        return false;
    }
    // Written in place: a copy out of a buffer just written would wait for the writes to it.
    if (mgrs.size() != 15) {
        mgrs.resize(15);
    }
    char* const text = mgrs.data();
    std::memcpy(text, kPairs.data() + 2 * zone, 2);
    if (zone < 10) {
        text[0] = ' '; // zones 1 to 9 right-aligned
    }
    text[2] = kAlphabet[band - 1];
    text[3] = kAlphabet[column - 1U];
    text[4] = kRows[northSquares % kRowLetters + kRowLetters - offsetSquares];
    PutFiveDigits(text + 5, eastMetres);
    PutFiveDigits(text + 10, northMetres);
    return true;
}

// The square letters and digits of a point of a known band, in a zone whose set starts at column
// firstColumn with the row offset rowOffset; any error gives the UTM error message.
[[gnu::noinline]] void WriteReferenceGeneral(int band, int zone, double northing, double easting,
                                             int firstColumn, double rowOffset, std::string& mgrs) {
    try {
        double n = Nearest(checked::Finite(northing));
        if (n == 10000000.0) {
            n = kLastNorthing;
        }
        n = ReduceRows(n) - rowOffset;
        if (n < 0.0) {
            n += kRowCycle;
        }
        double row = std::trunc((n + 0.1) / kSquare) + 1.0;
        if (row > 8.0) {
            row += 1.0; // no I
        }
        if (row > 14.0) {
            row += 1.0; // no O
        }

        // A point of zone 31 in band V rounded onto the central meridian stays in its column.
        const auto eastMetres = [&] {
            double e = Nearest(checked::Finite(easting));
            if (band == kBandV && zone == 31 && e == kUtmFalseEasting) {
                e = kUtmFalseEasting - 1.0;
            }
            return e;
        };
        double column = firstColumn + std::trunc((eastMetres() + 0.1) / kSquare) - 1.0;
        if (firstColumn == kColumnJ && column > 14.0) {
            column += 1.0; // no O
        }

        double northMetres = Nearest(northing);
        if (northMetres == 10000000.0) {
            northMetres = kLastNorthing;
        }

        std::string& text = mgrs; // any error below replaces it by the message
        if (text.size() != 15) {
            text.resize(15);
        }
        std::memcpy(text.data(), "ZZLLLEEEEENNNNN", 15);
        // The zone right-aligned in two characters: a blank before zones 1 to 9.
        if (zone >= 0 && zone <= 99) {
            text[0] = zone >= 10 ? static_cast<char>('0' + zone / 10) : ' ';
            text[1] = static_cast<char>('0' + zone % 10);
        } else {
            const std::string zoneText = std::to_string(zone);
            text[0] = zoneText[zoneText.size() - 2];
            text[1] = zoneText.back();
        }
        text[2] = Letter(band);
        text[3] = Letter(column);
        text[4] = Letter(row);
        WriteFiveDigits(text, 5, eastMetres());
        WriteFiveDigits(text, 10, northMetres);
    } catch (const common::AppError&) {
        mgrs = kMgrsUtmError;
    }
}

GEODESY_ALWAYS_INLINE void WriteReference(int band, int zone, double northing, double easting,
                                          int firstColumn, double rowOffset, std::string& mgrs) {
    if (!WriteWholeMetres(band, zone, northing, easting, firstColumn, rowOffset, mgrs)) {
        WriteReferenceGeneral(band, zone, northing, easting, firstColumn, rowOffset, mgrs);
    }
}

// The zone exceptions of Norway (band V) and Svalbard (band X): the zone a point of the standard
// zone `zone` takes. They follow the band letter the point is written with, so that a reference
// never names a zone its band does not have there; like every zone, each exceptional zone begins
// at its western limit (3, 9, 21 and 33 degrees east).
GEODESY_ALWAYS_INLINE int ExceptionZone(int band, double lon, int zone) {
    if (zone < 31 || zone > 37) {
        return zone;
    }
    if (band == kBandX) {
        return 31 + (lon >= 9.0 * kLimitDegree ? 2 : 0) + (lon >= 21.0 * kLimitDegree ? 2 : 0) +
               (lon >= 33.0 * kLimitDegree ? 2 : 0);
    }
    if (band == kBandV && (zone == 31 || zone == 32)) {
        return lon < 3.0 * kLimitDegree ? 31 : 32;
    }
    return zone;
}

// The first column letter and row offset of a zone's set in the lettering of the ellipsoid.
GEODESY_ALWAYS_INLINE void SquareLetters(int zone, int& firstColumn, double& rowOffset,
                                         int ellipsoid, int& refused) {
    int set = (zone - 1) % 6; // the zone's set less one, 0 to 5
    if (set < 0) {
        set += 6;
    }
    set += 1;
    refused = 0;
    int scheme = SchemeOf(ellipsoid);
    if (scheme == 0) {
        refused = 1;
        scheme = 1;
    }
    if (ellipsoid == 5 && zone >= 47 && zone <= 55) {
        scheme = 1;
    }
    // By set (1 to 6), and by lettering and parity of the set.
    static constexpr std::array<int, 6> kFirstColumns = {1, 10, 19, 1, 10, 19};
    static constexpr std::array<std::array<double, 2>, 2> kRowOffsets = {
        {{0.0, 1500000.0}, {1000000.0, 500000.0}}};
    firstColumn = kFirstColumns[static_cast<std::size_t>(set - 1)];
    rowOffset = kRowOffsets[scheme == 1 ? 0 : 1][set % 2 == 0 ? 1 : 0];
}

// The reference of a point of a known band and zone, or the message that replaces it.
GEODESY_ALWAYS_INLINE void WriteReferenceOf(int band, int zone, double northing, double easting,
                                            int ellipsoid, std::string& mgrs) {
    int firstColumn = 0, refused = 0;
    double rowOffset = 0.0;
    SquareLetters(zone, firstColumn, rowOffset, ellipsoid, refused);
    if (refused == 1) {
        mgrs = kMgrsNotValid;
        return;
    }
    WriteReference(band, zone, northing, easting, firstColumn, rowOffset, mgrs);
}

} // namespace

void MgrsSquareLetters(int zone, int& firstColumn, double& rowOffset, int ellipsoid, int& refused) {
    SquareLetters(zone, firstColumn, rowOffset, ellipsoid, refused);
}

void MgrsBandLimits(int& band, double lat, int zone, double& south, double& north, double& east,
                    double& west) {
    if (band == 0) {
        band = BandOf(lat);
    }
    double s = (band - 3) * 8.0 - 80.0;
    if (band > 8) {
        s -= 8.0;
    }
    if (band > 14) {
        s -= 8.0;
    }
    south = s * kLimitDegree;
    north = (s + (band == kBandX ? 12.0 : 8.0)) * kLimitDegree;
    const double cm = 6.0 * zone - 183.0;
    double e = cm + 3.0, w = cm - 3.0;
    if (zone >= 31 && zone <= 37 && band >= kBandV) {
        if (band == kBandV && zone == 31) {
            e = 3.0;
        }
        if (band == kBandV && zone == 32) {
            w = 3.0;
        }
        if (band >= kBandX) {
            if (zone == 31) {
                e = 9.0;
            } else if (zone == 33) {
                w = 9.0;
                e = 21.0;
            } else if (zone == 35) {
                w = 21.0;
                e = 33.0;
            } else if (zone == 37) {
                w = 33.0;
            }
        }
    }
    east = e * kLimitDegree;
    west = w * kLimitDegree;
}

void UtmToMgrs(double lat, int zone, double northing, double easting, std::string& mgrs,
               int ellipsoid) {
    try {
        WriteReferenceOf(BandOf(lat), zone, northing, easting, ellipsoid, mgrs);
    } catch (const common::AppError&) {
        mgrs = kMgrsUtmError;
    }
}

// Compiled as the one-point projection is, whose forward series it inlines.
GEODESY_VECTOR_CLONES
void LatLonToMgrs(double a, double f, double lat, double lon, int& zone, double& northing,
                  double& easting, std::string& mgrs, int ellipsoid) {
    // The string is written last: its line is fetched while the point is projected.
    __builtin_prefetch(&mgrs, 1);
    if (lat < -80.0 * kLimitDegree - kEpsilon) {
        mgrs = kMgrsSouthPolar;
        zone = 0;
        northing = 0.0;
        easting = 0.0;
        return;
    }
    if (lat > 84.0 * kLimitDegree + kEpsilon) {
        mgrs = kMgrsNorthPolar;
        zone = 0;
        northing = 0.0;
        easting = 0.0;
        return;
    }
    utm::Forward(utm::Constants(a, f), lat, lon, zone, northing, easting, 0);
    // Zones of Norway (band V) and Svalbard (band X): a point moved into another zone is
    // projected again into it.
    const int band = BandOf(lat);
    const int exceptional = ExceptionZone(band, lon, zone);
    if (exceptional != zone) {
        zone = exceptional;
        LatLonToUtm(a, f, lat, lon, zone, northing, easting, 1);
    }
    WriteReferenceOf(band, zone, northing, easting, ellipsoid, mgrs);
}

namespace {

// The band's latitudes and the zone's longitudes in it, radians.
struct Limits {
    double south = 0, north = 0, east = 0, west = 0;
};

// No five characters read as one word (of 40 bits) have this value.
constexpr std::uint64_t kNoSquare = ~std::uint64_t{0};

// The first five characters of a text of five or more, as one word.
GEODESY_ALWAYS_INLINE std::uint64_t SquareOf(const std::string& text) {
    std::uint32_t first = 0;
    std::memcpy(&first, text.data(), 4);
    return first | std::uint64_t{static_cast<unsigned char>(text[4])} << 32;
}

// What the letters of a zone and band give on an ellipsoid, the same for every reference of them.
struct ZoneBand {
    bool valid = false;
    int zone = 0, band = 0, ellipsoid = 0; // the key
    double a = 0, f = 0;
    int status = 0;
    int firstColumn = 0;
    double rowOffset = 0;
    Limits limits;
    double base = 0, baseMod = 0;
    bool wholeBase = false; // base below 1e15: the sums of whole metres with it are exact
    // RowNorthing of each row letter from A to Z, worked out with the rest: the series waits on
    // the northing of a reference, which would otherwise wait on these steps.
    std::array<double, 26> rowNorthings{};
    // The first five characters of the last reference decoded with these (zone, band and square
    // letters, kNoSquare before any), and the northing and easting of its square: a run of
    // references in one square reads them from here.
    std::uint64_t square = kNoSquare;
    double squareNorthing = 0, squareEasting = 0;

    bool Is(int zone_, int band_, int ellipsoid_, double a_, double f_) const {
        return valid && zone == zone_ && band == band_ && ellipsoid == ellipsoid_ && a == a_ &&
               f == f_;
    }
};

// Steps 9 and 10 of MgrsToLatLon: the northing of the southern edge of the squares of the row
// letter `row` (its index in the alphabet) in the zone and band, less the digits.
double RowNorthing(const ZoneBand& z, int row) {
    double g = (row - 1) * kSquare + z.rowOffset;
    if (row > 15) {
        g -= kSquare; // no O
    }
    if (row > 9) {
        g -= kSquare; // no I
    }
    if (z.wholeBase) {
        // Whole metres below 1e15 throughout, which Nearest leaves as they are.
        if (g >= kRowCycle) {
            g -= kRowCycle;
        }
        g -= z.baseMod;
        if (g < 0.0) {
            g += kRowCycle;
        }
        g += z.base;
    } else {
        if (Nearest(g) >= kRowCycle) {
            g -= kRowCycle;
        }
        g = Nearest(g) - z.baseMod;
        if (g < 0.0) {
            g += kRowCycle;
        }
        g = Nearest(z.base + g);
    }

    return g;
}

// Steps 5 to 8 of MgrsToLatLon for a zone and band.
[[gnu::noinline]] ZoneBand ZoneBandOf(int zone, int band, int ellipsoid, double a, double f) {
    ZoneBand z;
    z.valid = true;
    z.zone = zone;
    z.band = band;
    z.ellipsoid = ellipsoid;
    z.a = a;
    z.f = f;
    if ((zone == 32 || zone == 34 || zone == 36) && band == kBandX) {
        z.status = 2; // no such square
        return z;
    }
    MgrsSquareLetters(zone, z.firstColumn, z.rowOffset, ellipsoid, z.status);
    if (z.status == 1) {
        return z;
    }
    MgrsBandLimits(band, 0.0, zone, z.limits.south, z.limits.north, z.limits.east, z.limits.west);

    // Lowest northing of the band's southern edge in the zone, in whole 100 km. North of the
    // equator that is on the central meridian; south of it the edge bends down towards the zone's
    // sides, by up to some 4 km, and squares there must not be taken for squares 2,000 km north.
    // The edge's series terms depend on the band alone and are kept per ellipsoid.
    const double south = z.limits.south;
    double baseNorthing = EdgeNorthing(a, f, band, south, zone, utm::CentralMeridian(zone));
    if (south < 0.0 || south > 90.0 * kLimitDegree) {
        baseNorthing = std::min(baseNorthing, EdgeNorthing(a, f, band, south, zone, z.limits.west));
    }
    z.base = std::trunc(baseNorthing / kSquare) * kSquare;
    z.baseMod = ReduceRows(z.base);
    z.wholeBase = std::fabs(z.base) < 1e15;
    for (std::size_t i = 0; i < z.rowNorthings.size(); ++i) {
        z.rowNorthings[i] = RowNorthing(z, static_cast<int>(i) + 1);
    }
    return z;
}

// Replaces `last` by what the zone and band give, out of line so that the decoder's frame holds
// no copy of it; a fault leaves `last` as it was.
[[gnu::noinline]] void KeepZoneBand(ZoneBand& last, int zone, int band, int ellipsoid, double a,
                                    double f) {
    last = ZoneBandOf(zone, band, ellipsoid, a, f);
}

// The zone and band of the last reference this thread decoded one at a time: a user's references,
// and those of a run of records, mostly share them.
ZoneBand& LastZoneBand() {
    thread_local ZoneBand last;
    return last;
}

[[noreturn, gnu::noinline]] void RaiseTooShort(const std::string& mgrs) {
    throw common::AppError(common::kInvalidCall,
                           "Invalid procedure call or argument: MGRS reference \"" + mgrs +
                               "\" has fewer than five characters");
}

// Steps 1 to 11 of MgrsToLatLon: status 1 with the message in mgrs and zeros for a refused
// reference; otherwise the signed northing (negative in the south) and the easting. `last` holds
// the zone and band of the reference before, and is replaced when this one's differ.
GEODESY_ALWAYS_INLINE const ZoneBand& Decode(std::string& mgrs, int ellipsoid, double a, double f,
                                             double& lat, double& lon, int& zone, double& northing,
                                             double& easting, int& status, ZoneBand& last) {
    if (mgrs.size() < 5) {
        RaiseTooShort(mgrs);
    }
    const auto code = [&](std::size_t i) { return static_cast<unsigned char>(mgrs[i]) - 64; };
    const int band = code(2);
    const double hemisphere = band < kBandN ? -1.0 : 1.0;
    const std::uint64_t square = SquareOf(mgrs);
    double g = 0.0, h = 0.0;
    if (last.valid && last.square == square && last.ellipsoid == ellipsoid && last.a == a &&
        last.f == f) {
        // The square of the reference before: the same zone, band and letters.
        zone = last.zone;
        status = 0;
        g = last.squareNorthing;
        h = last.squareEasting;
    } else {
        zone = ZoneOf(mgrs);
        if (!last.Is(zone, band, ellipsoid, a, f)) {
            KeepZoneBand(last, zone, band, ellipsoid, a, f);
        }
        if (last.status != 0) {
            mgrs = last.status == 2 ? kMgrsInvalid : kMgrsEllipsoidNA;
            lat = lon = northing = easting = 0.0;
            status = 1;
            return last;
        }
        status = 0;
        const int column = code(3);
        const int row = code(4);
        g = static_cast<unsigned>(row - 1) < last.rowNorthings.size()
                ? last.rowNorthings[static_cast<std::size_t>(row - 1)]
                : RowNorthing(last, row);
        h = (column - last.firstColumn + 1) * kSquare;
        if (last.firstColumn == kColumnJ && column > 15) {
            h -= kSquare; // no O
        }
        last.square = square;
        last.squareNorthing = g;
        last.squareEasting = h;
    }
    const ZoneBand& z = last;

    // Five and five digits, read directly; anything else by the general reader.
    int east = -1, north = -1;
    if (mgrs.size() == 15) {
        east = FiveDigitsAt(mgrs.data() + 5);
        north = FiveDigitsAt(mgrs.data() + 10);
    }
    const double eDigits = east >= 0 ? east : FieldValue(mgrs, 5, 5);
    const double nDigits = north >= 0 ? north : FieldValue(mgrs, mgrs.size() - 5, 5);
    northing = (nDigits + g) * hemisphere;
    easting = eDigits + h;
    return z;
}

// Step 13: the decoded point against its band and zone, the longitude's tolerance widened by
// 1 / cos lat (worked out only where the longitude itself lies outside).
GEODESY_ALWAYS_INLINE void RangeTest(const Limits& d, double lat, double lon, std::string& mgrs,
                                     int& status) {
    bool inside = lat + kTolerance >= d.south && lat - kTolerance <= d.north;
    if (inside && !(lon >= d.west && lon <= d.east)) {
        const double slack = checked::Div(kTolerance, std::cos(lat));
        inside = lon + slack >= d.west && lon - slack <= d.east;
    }
    if (!inside) {
        mgrs = kMgrsOutsideRange;
        status = 1;
    }
}

// The references of a batch from its UTM values, compiled for the instruction sets of the
// vectorised loops, whose roundings it uses.
GEODESY_VECTOR_CLONES
void LetterLoop(double a, double f, const double* lat, const double* lon, int* zone,
                double* northing, double* easting, std::string* mgrs, int ellipsoid,
                std::size_t count) {
    int lettersZone = -1, firstColumn = 0, refused = 0;
    double rowOffset = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double phi = lat[i];
        if (phi < -80.0 * kLimitDegree - kEpsilon || phi > 84.0 * kLimitDegree + kEpsilon) {
            LatLonToMgrs(a, f, phi, lon[i], zone[i], northing[i], easting[i], mgrs[i], ellipsoid);
            continue;
        }
        const int band = BandOf(phi);
        const int z = ExceptionZone(band, lon[i], zone[i]);
        if (z != zone[i]) {
            zone[i] = z;
            LatLonToUtm(a, f, phi, lon[i], zone[i], northing[i], easting[i], 1);
        }
        if (z != lettersZone) { // the letters of a zone, worked out once for a run of its points
            SquareLetters(z, firstColumn, rowOffset, ellipsoid, refused);
            lettersZone = z;
        }
        if (refused == 1) {
            mgrs[i] = kMgrsNotValid;
            continue;
        }
        WriteReference(band, z, northing[i], easting[i], firstColumn, rowOffset, mgrs[i]);
    }
}

} // namespace

// Compiled as the one-point projection is, whose inverse series it inlines.
GEODESY_VECTOR_CLONES
void MgrsToLatLon(std::string& mgrs, int ellipsoid, double a, double f, double& lat, double& lon,
                  int& zone, double& northing, double& easting, int& status) {
    // The northing and easting decoded into locals, which the series takes from registers rather
    // than read back from the caller's variables.
    double n = 0.0, e = 0.0;
    const ZoneBand& d = Decode(mgrs, ellipsoid, a, f, lat, lon, zone, n, e, status, LastZoneBand());
    northing = n;
    easting = e;
    if (status != 0) {
        return;
    }
    // The series inlined on the kept constants; the first point of an ellipsoid and a point the
    // projection refuses go through UtmToLatLon, which derives them or raises its error.
    double phi = 0.0, lambda = 0.0;
    const utm::EllipsoidConstants* el = utm::KeptFor(a, f);
    if (el != nullptr && utm::TryInverse(*el, n, e, d.zone, phi, lambda)) {
        northing = std::fabs(n);
        lat = phi;
        lon = lambda;
    } else {
        UtmToLatLon(a, f, lat, lon, zone, northing, easting);
        phi = lat;
        lambda = lon;
    }
    RangeTest(d.limits, phi, lambda, mgrs, status);
}

void batch::LatLonToMgrs(double a, double f, std::span<const double> lat,
                         std::span<const double> lon, std::span<int> zone,
                         std::span<double> northing, std::span<double> easting,
                         std::span<std::string> mgrs, int ellipsoid) {
    batch::RequireSameSize(lat.size(), lon.size(), northing.size(), easting.size());
    batch::RequireSameSize(lat.size(), zone.size(), mgrs.size(), lat.size());
    batch::LatLonToUtm(a, f, lat, lon, zone, northing, easting, 0);
    LetterLoop(a, f, lat.data(), lon.data(), zone.data(), northing.data(), easting.data(),
               mgrs.data(), ellipsoid, lat.size());
}

void batch::MgrsToLatLon(std::span<std::string> mgrs, int ellipsoid, double a, double f,
                         std::span<double> lat, std::span<double> lon, std::span<int> zone,
                         std::span<double> northing, std::span<double> easting,
                         std::span<int> status) {
    batch::RequireSameSize(mgrs.size(), lat.size(), lon.size(), zone.size());
    batch::RequireSameSize(mgrs.size(), northing.size(), easting.size(), status.size());
    // In blocks that stay in the cache: decoded, projected as a batch, then tested.
    constexpr std::size_t kBlock = 256;
    std::array<Limits, kBlock> limits;
    ZoneBand last; // the zone and band of the reference before
    for (std::size_t start = 0; start < mgrs.size(); start += kBlock) {
        const std::size_t count = std::min(kBlock, mgrs.size() - start);
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t i = start + k;
            limits[k] = Decode(mgrs[i], ellipsoid, a, f, lat[i], lon[i], zone[i], northing[i],
                               easting[i], status[i], last)
                            .limits;
        }
        batch::UtmToLatLon(a, f, zone.subspan(start, count), northing.subspan(start, count),
                           easting.subspan(start, count), lat.subspan(start, count),
                           lon.subspan(start, count));
        for (std::size_t k = 0; k < count; ++k) {
            const std::size_t i = start + k;
            if (status[i] != 0) {
                lat[i] = lon[i] = 0.0; // a refused reference decodes to nothing
                continue;
            }
            northing[i] = std::fabs(northing[i]);
            RangeTest(limits[k], lat[i], lon[i], mgrs[i], status[i]);
        }
    }
}

} // namespace geodesy
