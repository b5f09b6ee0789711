#include "cartography/core/UtmReadout.h"

#include "common/AppError.h"
#include "common/Numeric.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace cartography {

namespace {

constexpr double kA = 6378388.0;
constexpr double kB = 6356911.9461279465;
constexpr double kK0 = 0.9996;

// The 1-based n-th letter of `letters`, or "" outside them (a position far off its zone).
std::string_view Letter(std::string_view letters, double n) {
    if (n < 1 || n > static_cast<double>(letters.size())) {
        return {};
    }
    return letters.substr(static_cast<std::size_t>(n) - 1, 1);
}

// Hundreds of metres inside the 100 km square, as three digits.
std::string SquareDigits(float metres) {
    double h = std::floor(metres / 100.0);
    h -= 1000.0 * std::floor(h / 1000.0);
    char text[8];
    std::snprintf(text, sizeof text, "%03d", static_cast<int>(h));
    return text;
}

// Whole degrees of the zone's central meridian, with the Norway and Svalbard exceptions: like the
// bands and the zones, each exception begins on its southern and western limits.
int CentralMeridianOf(float lat, float lon) {
    int lambda0 = 0;
    if (lon >= 0) {
        const double z = std::floor(lon / 6.0f) + 31;
        lambda0 = static_cast<int>((z - 31) * 6 + 3);
    } else {
        const double z = std::floor(31 - std::fabs(lon / 6.0f));
        lambda0 = -static_cast<int>((30 - z) * 6 + 3);
    }
    if (lat >= 56) {
        if (lat < 64 && lon >= 3 && lon < 12) {
            lambda0 = 9;
        } else if (lat >= 72) {
            if (lon >= 0 && lon < 9) {
                lambda0 = 3;
            } else if (lon >= 9 && lon < 21) {
                lambda0 = 15;
            } else if (lon >= 21 && lon < 33) {
                lambda0 = 27;
            } else if (lon >= 33 && lon < 42) {
                lambda0 = 39;
            }
        }
    }
    return lambda0;
}

// The band letter comes from the latitude in degrees, not from its single-precision radians, so
// that a latitude on a band's limit (48 N) is in the band it begins.
std::string Reference(int lambda0, float latDegrees, float easting, float northing) {
    const double ekm = std::floor(easting / 1000.0);
    const double nkm = std::floor(northing / 1000.0);

    int zone = static_cast<int>(std::floor((lambda0 + 180) / 6.0)) + 1;
    if (zone > 60) {
        zone -= 60;
    }

    const double latG = latDegrees;
    const double i = std::fabs(std::floor(latG / 8.0)) + 1;
    const std::string_view band =
        latG >= 0 ? Letter("NPQRSTUVWXX", i) : Letter("MLKJHGFEDC", i - 1);

    const double cycle = std::floor(std::floor(nkm / 1000.0) / 2.0);
    const double r = std::floor((nkm - 2000.0 * cycle) / 100.0) + 1;
    const std::string_view row =
        Letter(zone % 2 == 0 ? "FGHJKLMNPQRSTUVABCDE" : "ABCDEFGHJKLMNPQRSTUV", r);

    const double k = std::floor(ekm / 100.0);
    static constexpr std::string_view kColumns[] = {"STUVWXYZ", "ABCDEFGH", "JKLMNPQR"};
    const std::string_view column = Letter(kColumns[((zone % 3) + 3) % 3], k);

    std::string text = zone < 0 ? "" : " ";
    text.append(std::to_string(zone)).append(band).append(" ").append(column).append(row);
    text.append(" ").append(SquareDigits(easting)).append(" ").append(SquareDigits(northing));
    return text;
}

// The "00.000" pattern: two integer digits at least, three decimals, halves away from zero.
std::string Degrees(float value) {
    const double thousandths = std::round(static_cast<double>(value) * 1000.0);
    const double magnitude = std::fabs(thousandths);
    char text[64];
    std::snprintf(text, sizeof text, "%s%02.0f.%03.0f", thousandths < 0 ? "-" : "",
                  std::floor(magnitude / 1000.0), std::fmod(magnitude, 1000.0));
    return text;
}

} // namespace

UtmConstants InitUtm() {
    UtmConstants k;
    const double e2 = (kA * kA - kB * kB) / (kB * kB);
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;
    k.EPrime2 = e2;
    k.C = kA * kA / kB;
    k.A = k.C * (1 - 3.0 / 4 * e2 + 45.0 / 64 * e4 - 175.0 / 256 * e6 + 11025.0 / 16384 * e8);
    k.B = k.C * (-3.0 / 8 * e2 + 15.0 / 32 * e4 - 525.0 / 1024 * e6 + 2205.0 / 4096 * e8);
    k.Cc = k.C * (15.0 / 256 * e4 - 105.0 / 1024 * e6 + 2205.0 / 16384 * e8);
    k.D = k.C * (-35.0 / 3072 * e6 + 315.0 / 12288 * e8);
    return k;
}

UtmPosition UTM(const UtmConstants& k, float lat, float lon) {
    // Outside the UTM latitudes there is no reference; a longitude that is not an angle on the
    // earth (beyond a full turn either way) has none either.
    if (!(lat <= 84 && lat >= -80) || !(std::fabs(lon) <= 360)) {
        return {};
    }
    const int lambda0 = CentralMeridianOf(lat, lon);
    const float phi = radian(lat);
    const double dl = radian(lon - static_cast<float>(lambda0));

    const double cosPhi = std::cos(phi);
    const double eta2 = k.EPrime2 * cosPhi * cosPhi;
    const double nu = k.C / std::sqrt(1 + eta2);
    const double m = k.A * phi + k.B * std::sin(2.0 * phi) + k.Cc * std::sin(4.0 * phi) +
                     k.D * std::sin(6.0 * phi);
    const double cos3 = cosPhi * cosPhi * cosPhi;

    double n = kK0 * nu * std::atan(std::tan(phi) / std::cos(dl)) + kK0 * (m - phi * nu) +
               std::pow(dl, 4) * (3.0 / 8) * kK0 * nu * eta2 * cos3 * std::sin(phi);
    if (lat < 0) {
        n += 10000000;
    }
    // The easting's leading term is the sphere's atanh(sin dl cos phi). Written as
    // ln(tan(pi/4 + s/2)) it would be atanh(sin s): eastings short by nu s^3/6, 150 m at the edge
    // of a zone, more than the reference's 100 m.
    const double s = std::sin(dl) * cosPhi;
    const double e =
        500000 + kK0 * nu * std::atanh(s) + std::pow(dl, 3) * (kK0 / 6) * nu * eta2 * cos3;

    if (!std::isfinite(n) || !std::isfinite(e)) {
        return {}; // a longitude far outside -180..180 that the series cannot take
    }
    UtmPosition position;
    position.Northing = static_cast<float>(n);
    position.Easting = static_cast<float>(e);
    position.Reference = Reference(lambda0, lat, position.Easting, position.Northing);
    return position;
}

std::string LatitudeText(float degrees) {
    return "lat=" + Degrees(degrees);
}
std::string LongitudeText(float degrees) {
    return "lon=" + Degrees(degrees);
}
std::string PlainXText(float x) {
    return "X:" + common::StrSingle(x);
}
std::string PlainYText(float y) {
    return "Y:" + common::StrSingle(y);
}

ReadoutPanels PointerReadout(const ProjectionState& state, const UtmConstants& constants, float x,
                             float y) {
    if (state.ProjCode < 1) {
        return {PlainXText(x), PlainYText(y), {}};
    }
    float lat = 0;
    float lon = 0;
    float latD = 0;
    float lonD = 0;
    try {
        ProjectionInverse(state, x, y, lat, lon);
        latD = Degre(lat);
        lonD = Degre(lon);
    } catch (const common::AppError&) {
        return {}; // no position under the pointer (the apex of a cone, ...)
    }
    return {LatitudeText(latD), LongitudeText(lonD), UTM(constants, latD, lonD).Reference};
}

} // namespace cartography
