#include "geodesy/Mgrs.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/TransverseMercator.h"
#include "geodesy/UtmSeries.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace geodesy {

namespace {

const double kDegree = std::atan(1.0) / 45.0;
constexpr double kEpsilon = 4.85e-10;   // about 0.0001": polar limits and zone exceptions
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
double Nearest(double x) {
    const double sign = x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0);
    return std::trunc(x + 0.5 * sign);
}

// x less 2,000,000 as many times as it stays 2,000,000 or more.
double ReduceRows(double x) {
    return x >= kRowCycle ? std::fmod(x, kRowCycle) : x;
}

// The letter of an alphabet index; error 5 outside A to Z.
char Letter(double index) {
    if (!(index >= 1.0 && index <= 26.0)) {
        throw common::AppError(common::kInvalidCall);
    }
    return kAlphabet[static_cast<int>(index) - 1];
}

// Writes the last five characters of a whole number of metres + 10,000,000 over the five
// characters of `text` from `position` on, as the digits of a reference are written.
void WriteFiveDigits(std::string& text, std::size_t position, double metres) {
    const double shifted = metres + 10000000.0;
    if (!(std::fabs(shifted) < 1e15)) {
        throw common::AppError(common::kOverflow);
    }
    long long value = static_cast<long long>(shifted);
    if (value >= 10000) {
        value %= 100000;
        for (std::size_t k = 5; k-- > 0;) {
            text[position + k] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
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

double CentralMeridian(int zone) {
    return (6.0 * zone - 183.0) * kDegree;
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

// The zone of a reference: two digits, or a blank and a digit, read directly; anything else by the
// general reader.
int ZoneOf(const std::string& text) {
    if (IsDigit(text[1]) && (IsDigit(text[0]) || text[0] == ' ')) {
        return (text[0] == ' ' ? 0 : (text[0] - '0') * 10) + (text[1] - '0');
    }
    return common::ToInt16(common::NumericValue(std::string_view(text).substr(0, 2)));
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
    const double dl = lon - CentralMeridian(zone);
    if (band >= kFirstBand && band <= kBandX) {
        return checked::Finite(utm::NorthingOf(BandEdgeTerms(a, f, band, south), dl));
    }
    return checked::Finite(utm::NorthingOf(utm::NorthingTermsAt(utm::Constants(a, f), south), dl));
}

} // namespace

void MgrsSquareLetters(int zone, int& firstColumn, double& rowOffset, int ellipsoid, int& refused) {
    const int set = ((zone - 1) % 6 + 6) % 6 + 1;
    refused = 0;
    int scheme = SchemeOf(ellipsoid);
    if (scheme == 0) {
        refused = 1;
        scheme = 1;
    }
    if (ellipsoid == 5 && zone >= 47 && zone <= 55) {
        scheme = 1;
    }
    firstColumn = (set == 1 || set == 4) ? 1 : (set == 2 || set == 5) ? 10 : 19;
    const bool even = set % 2 == 0;
    if (scheme == 1) {
        rowOffset = even ? 1500000.0 : 0.0;
    } else {
        rowOffset = even ? 500000.0 : 1000000.0;
    }
}

void MgrsBandLimits(int& band, double lat, int zone, double& south, double& north, double& east,
                    double& west) {
    if (band == 0) {
        double b = std::trunc(checked::Finite((lat + 80.0 * kDegree) / (8.0 * kDegree))) + 3.0;
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
        band = static_cast<int>(b);
    }
    double s = (band - 3) * 8.0 - 80.0;
    if (band > 8) {
        s -= 8.0;
    }
    if (band > 14) {
        s -= 8.0;
    }
    south = s * kDegree;
    north = (s + (band == kBandX ? 12.0 : 8.0)) * kDegree;
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
    east = e * kDegree;
    west = w * kDegree;
}

void UtmToMgrs(double lat, int zone, double northing, double easting, std::string& mgrs,
               int ellipsoid) {
    try {
        int firstColumn = 0, refused = 0;
        double rowOffset = 0.0;
        MgrsSquareLetters(zone, firstColumn, rowOffset, ellipsoid, refused);
        if (refused == 1) {
            mgrs = kMgrsNotValid;
            return;
        }
        int band = 0;
        double south = 0, north = 0, east = 0, west = 0;
        MgrsBandLimits(band, lat, zone, south, north, east, west);

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

        std::string text = "ZZLLLEEEEENNNNN";
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
        mgrs = text;
    } catch (const common::AppError&) {
        mgrs = kMgrsUtmError;
    }
}

void LatLonToMgrs(double a, double f, double lat, double lon, int& zone, double& northing,
                  double& easting, std::string& mgrs, int ellipsoid) {
    if (lat < -80.0 * kDegree - kEpsilon) {
        mgrs = kMgrsSouthPolar;
        zone = 0;
        northing = 0.0;
        easting = 0.0;
        return;
    }
    if (lat > 84.0 * kDegree + kEpsilon) {
        mgrs = kMgrsNorthPolar;
        zone = 0;
        northing = 0.0;
        easting = 0.0;
        return;
    }
    LatLonToUtm(a, f, lat, lon, zone, northing, easting, 0);

    // Zones of Norway (band V) and Svalbard (band X).
    if (lat - kEpsilon > 56.0 * kDegree && zone >= 31 && zone <= 37) {
        bool changed = false;
        if (lat > 64.0 * kDegree) {
            if (lat - kEpsilon > 72.0 * kDegree) {
                zone = 31;
                if (lon > 9.0 * kDegree) {
                    zone += 2;
                }
                if (lon > 21.0 * kDegree) {
                    zone += 2;
                }
                if (lon > 33.0 * kDegree) {
                    zone += 2;
                }
                changed = true;
            }
        } else if (zone == 31 || zone == 32) {
            zone = lon < 3.0 * kDegree ? 31 : 32;
            changed = true;
        }
        if (changed) {
            LatLonToUtm(a, f, lat, lon, zone, northing, easting, 1);
        }
    }
    UtmToMgrs(lat, zone, northing, easting, mgrs, ellipsoid);
}

void MgrsToLatLon(std::string& mgrs, int ellipsoid, double a, double f, double& lat, double& lon,
                  int& zone, double& northing, double& easting, int& status) {
    status = 0;
    if (mgrs.size() < 5) {
        throw common::AppError(common::kInvalidCall,
                               "Invalid procedure call or argument: MGRS reference \"" + mgrs +
                                   "\" has fewer than five characters");
    }
    const auto code = [&](std::size_t i) { return static_cast<unsigned char>(mgrs[i]) - 64; };
    int band = code(2);
    const int column = code(3);
    const int row = code(4);
    const double hemisphere = band < kBandN ? -1.0 : 1.0;
    zone = ZoneOf(mgrs);

    const auto refuse = [&](const char* message) {
        mgrs = message;
        lat = lon = northing = easting = 0.0;
    };
    if ((zone == 32 || zone == 34 || zone == 36) && band == kBandX) {
        refuse(kMgrsInvalid);
        status = 1;
        return;
    }
    int firstColumn = 0;
    double rowOffset = 0.0;
    MgrsSquareLetters(zone, firstColumn, rowOffset, ellipsoid, status);
    if (status == 1) {
        refuse(kMgrsEllipsoidNA);
        return;
    }
    double south = 0, north = 0, east = 0, west = 0;
    MgrsBandLimits(band, 0.0, zone, south, north, east, west);

    // Lowest northing of the band's southern edge in the zone, in whole 100 km. North of the
    // equator that is on the central meridian; south of it the edge bends down towards the zone's
    // sides, by up to some 4 km, and squares there must not be taken for squares 2,000 km north.
    // The edge's series terms depend on the band alone and are kept per ellipsoid.
    double baseNorthing = EdgeNorthing(a, f, band, south, zone, CentralMeridian(zone));
    if (south < 0.0 || south > 90.0 * kDegree) {
        baseNorthing = std::min(baseNorthing, EdgeNorthing(a, f, band, south, zone, west));
    }
    const double base = std::trunc(baseNorthing / kSquare) * kSquare;
    const double baseMod = ReduceRows(base);

    double g = (row - 1) * kSquare + rowOffset;
    if (row > 15) {
        g -= kSquare; // no O
    }
    if (row > 9) {
        g -= kSquare; // no I
    }
    if (Nearest(g) >= kRowCycle) {
        g -= kRowCycle;
    }
    g = Nearest(g) - baseMod;
    if (g < 0.0) {
        g += kRowCycle;
    }
    g = Nearest(base + g);

    double h = (column - firstColumn + 1) * kSquare;
    if (firstColumn == kColumnJ && column > 15) {
        h -= kSquare; // no O
    }

    const double eDigits = FieldValue(mgrs, 5, 5);
    const double nDigits = FieldValue(mgrs, mgrs.size() - 5, 5);
    northing = (nDigits + g) * hemisphere;
    easting = eDigits + h;
    UtmToLatLon(a, f, lat, lon, zone, northing, easting);

    const double slack = checked::Div(kTolerance, std::cos(lat));
    const bool inside = lat + kTolerance >= south && lat - kTolerance <= north &&
                        lon + slack >= west && lon - slack <= east;
    if (!inside) {
        mgrs = kMgrsOutsideRange;
        status = 1;
    }
}

} // namespace geodesy
