#include "geodesy/CoordinateParser.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/Angles.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/Mgrs.h"
#include "geodesy/NationalGrids.h"
#include "geodesy/TransverseMercator.h"

#include <cmath>
#include <string_view>

namespace geodesy {

namespace {

constexpr std::string_view kMgrsBands = "CDEFGHJKLMNPQRSTUVWX";

struct Position {
    double lat = InvalidCoord;
    double lon = InvalidCoord;
};

constexpr Position kNoPosition{};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// A decimal comma becomes a point before the value is read.
double DecimalValue(std::string& value) {
    ReplaceChar(value, ",", ".");
    return common::NumericValue(value);
}

// The UTM zone a text names: its numeric value made whole (halves to even); 0 when that is not a
// zone from 1 to 60.
int ZoneOf(std::string_view value) {
    double number = 0;
    try {
        number = common::NumericValue(value);
    } catch (const common::AppError& e) {
        if (e.number() != common::kOverflow) {
            throw;
        }
        return 0; // too large for any number, so for a zone
    }
    const double whole = std::nearbyint(number);
    return whole >= 1 && whole <= 60 ? static_cast<int>(whole) : 0;
}

Position ParseDegrees(std::string& text) {
    std::string v1, v2;
    SplitPair(text, v1, v2);
    if (v1.empty() || v2.empty()) {
        return kNoPosition;
    }
    return {DecimalValue(v1), DecimalValue(v2)};
}

double DmsValue(std::string& value) {
    ReplaceChar(value, ",", ".");
    float d = 0, m = 0, s = 0;
    std::string sign;
    ParseDms(value, d, m, s, sign);
    return DmsToDecimal(d, m, s, sign);
}

Position ParseDegreesMinutesSeconds(std::string& text) {
    std::string v1, v2;
    SplitPair(text, v1, v2);
    if (v1.empty() || v2.empty()) {
        return kNoPosition;
    }
    const double lat = DmsValue(v1);
    return {lat, DmsValue(v2)};
}

// Centesimal degrees, the longitude counted from the Paris meridian. The grades are kept in double
// precision: rounded to single precision they would move the point by up to 0.2 m.
Position ParseGrades(std::string& text) {
    std::string v1, v2;
    SplitPair(text, v1, v2);
    if (v1.empty() || v2.empty()) {
        return kNoPosition;
    }
    return {DecimalValue(v1) * kDegreesPerGrade,
            DecimalValue(v2) * kDegreesPerGrade + kParisMeridian};
}

Position ParseUtm(std::string& text) {
    std::string v1, v2, v3;
    SplitTriple(text, v1, v2, v3);
    const int zone = ZoneOf(v1);
    const double easting = common::NumericValue(v2);
    double northing = common::NumericValue(v3);
    if (zone == 0 || easting == 0) {
        return kNoPosition;
    }
    const DatumState& state = Datums();
    double phi = 0, lambda = 0;
    UtmToLatLon(state.EllipsoidA, state.EllipsoidF, phi, lambda, zone, northing, easting);
    return {RadToDeg(phi), RadToDeg(lambda)};
}

Position ParseMgrs(std::string& text) {
    std::string zoneText, band, square;
    SplitTriple(text, zoneText, band, square);
    if (zoneText.empty() || band.empty() || square.empty()) {
        return kNoPosition;
    }
    if (zoneText.size() == 1) {
        zoneText = "0" + zoneText;
    }
    // Only a zone of 1 to 60, a band letter and two square letters with a digit group that
    // completes to five plus five digits make a reference; anything else would decode to a
    // made-up point.
    if (zoneText.size() != 2 || !IsDigit(zoneText[0]) || !IsDigit(zoneText[1]) ||
        ZoneOf(zoneText) == 0) {
        return kNoPosition;
    }
    if (band.size() != 1 || kMgrsBands.find(band[0]) == std::string_view::npos) {
        return kNoPosition;
    }
    if (!TryExpandGridDigits(square) || square.size() != 12 || !IsUpperLetter(square[0]) ||
        !IsUpperLetter(square[1])) {
        return kNoPosition;
    }
    std::string reference = zoneText + band + square;
    const DatumState& state = Datums();
    double phi = 0, lambda = 0, northing = 0, easting = 0;
    int zone = 0, status = 0;
    MgrsToLatLon(reference, state.Ellipsoid, state.EllipsoidA, state.EllipsoidF, phi, lambda, zone,
                 northing, easting, status);
    if (status != 0) {
        return kNoPosition;
    }
    return {RadToDeg(phi), RadToDeg(lambda)};
}

// The British (kBritishGrid) or Irish (kIrishGrid) grid: letters, then the digit group.
Position ParseNationalGrid(std::string& text, int type) {
    std::string v1, v2;
    SplitPair(text, v1, v2);
    if (v1.empty() || v2.empty()) {
        return kNoPosition;
    }
    const std::string letters = UpperCase(v1);
    // "**" stands in the place of the letters so that the digits are completed to five plus five.
    std::string reference = "**" + v2;
    if (!TryExpandGridDigits(reference)) {
        return kNoPosition;
    }
    const double eKm = common::NumericValue(reference.substr(2, 5)) / 1000;
    const double nKm = common::NumericValue(reference.substr(7, 5)) / 1000;
    double easting = 0, northing = 0;
    const bool square = type == kBritishGrid
                            ? BngLettersToEN(letters, eKm, nKm, easting, northing)
                            : IrishLetterToEN(letters, nKm, eKm, northing, easting);
    if (!square) {
        return kNoPosition;
    }
    Position p;
    GridToLatLon(type, northing, easting, p.lat, p.lon);
    return p;
}

// Both plane coordinates, read without a comma replacement; nothing when either is 0.
bool PlaneValues(std::string& text, double& x, double& y) {
    std::string v1, v2;
    SplitPair(text, v1, v2);
    x = common::NumericValue(v1);
    y = common::NumericValue(v2);
    return x != 0 && y != 0;
}

// A plane pair through its system's inverse projection; no position when either value is 0.
template <typename ToLatLon> Position ParsePlane(std::string& text, ToLatLon toLatLon) {
    double x = 0, y = 0;
    if (!PlaneValues(text, x, y)) {
        return kNoPosition;
    }
    Position p;
    toLatLon(x, y, p.lat, p.lon);
    return p;
}

// The square code is read from the fifth character on, so that one or two blanks after the code
// read the same.
Position ParseIfbl(const std::string& text) {
    std::string square = text.size() > 4 ? text.substr(4) : std::string();
    double x = 0, y = 0;
    std::int32_t status = 0;
    IfblToLambert(square, x, y, status);
    if (x == 0 || y == 0) {
        return kNoPosition;
    }
    Position p;
    Lambert72ToLatLon(x, y, p.lat, p.lon);
    return p;
}

Position ParseLambertFrance(std::string& text, std::int16_t zone) {
    return ParsePlane(text, [zone](double x, double y, double& lat, double& lon) {
        LambertFranceToLatLon(x, y, lat, lon, zone);
    });
}

Position ParseLambertAfrica(std::string& text, std::int32_t zone) {
    return ParsePlane(text, [zone](double x, double y, double& lat, double& lon) {
        LambertAfricaToLatLon(x, y, lat, lon, zone);
    });
}

// Each branch splits `text`, the parser's own copy of the caller's text.
Position Parse(CoordSystem system, std::string& text) {
    switch (system) {
    case CoordSystem::Deg:
        return ParseDegrees(text);
    case CoordSystem::Dms:
        return ParseDegreesMinutesSeconds(text);
    case CoordSystem::Utm:
        return ParseUtm(text);
    case CoordSystem::Mgr:
        return ParseMgrs(text);
    case CoordSystem::Grp:
        return ParseGrades(text);
    case CoordSystem::Bng:
        return ParseNationalGrid(text, kBritishGrid);
    case CoordSystem::Itm:
        return ParseNationalGrid(text, kIrishGrid);
    case CoordSystem::Lmb:
        return ParsePlane(text, Lambert72ToLatLon);
    case CoordSystem::Ifb:
        return ParseIfbl(text);
    case CoordSystem::Lf1:
    case CoordSystem::Lf2:
    case CoordSystem::Lf3:
    case CoordSystem::Lf4:
        return ParseLambertFrance(text, static_cast<std::int16_t>(text[2] - '0'));
    case CoordSystem::Lfe:
        return ParseLambertFrance(text, 5);
    case CoordSystem::Nma:
        return ParseLambertAfrica(text, 1);
    case CoordSystem::Sma:
        return ParseLambertAfrica(text, 2);
    }
    return kNoPosition;
}

} // namespace

void ParseCoordinates(std::string text, std::int16_t datum, double& lat, double& lon,
                      std::string& code) {
    SelectDatum(datum);
    code = text.substr(0, 3);
    const auto system = CoordSystemFromComparedCode(code);
    const Position p = system ? Parse(*system, text) : kNoPosition;
    if (!std::isfinite(p.lat) || !std::isfinite(p.lon)) {
        throw common::AppError(common::kOverflow);
    }
    lat = p.lat;
    lon = p.lon;
}

} // namespace geodesy
