#include "geodesy/Angles.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/CheckedMath.h"
#include "geodesy/DatumTables.h"

#include <cfloat>
#include <cmath>

namespace geodesy {

namespace {

// Storing into a single-precision variable: error 6 when the value does not fit.
float ToSingle(double value) {
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) {
        throw common::AppError(common::kOverflow);
    }
    return static_cast<float>(value);
}

} // namespace

void ParseDms(std::string& text, float& d, float& m, float& s, std::string& sign) {
    text = TrimCode(text);
    if (text.empty()) {
        return;
    }
    sign.assign(1, text.front() == '-' ? '-' : '+');
    std::string value = text;
    for (char& c : value) {
        if (c == ',') {
            c = '.';
        }
    }
    const auto point = value.find('.');
    if (point == std::string::npos || point + 1 == value.size()) {
        d = ToSingle(std::fabs(common::NumericValue(value)));
        m = 0.0f;
        s = 0.0f;
        return;
    }
    d = ToSingle(std::fabs(common::NumericValue(value.substr(0, point + 1))));
    std::string rest = value.substr(point + 1);
    if (rest.size() == 1) {
        rest += '0'; // one minutes digit: 3 means 30 minutes
    }
    m = ToSingle(common::NumericValue(rest.substr(0, 2)));
    if (rest.size() <= 2) {
        s = 0.0f;
        return;
    }
    std::string sec = rest.substr(2);
    if (sec.size() == 1) {
        sec.insert(sec.begin(), '0'); // one seconds digit: 1 means 1 second
    }
    const double whole = common::NumericValue(sec);
    const double scale = std::pow(10.0, static_cast<double>(sec.size()) - 2.0);
    s = ToSingle(checked::Div(whole, checked::Finite(scale)));
}

double DmsToDecimal(float d, float m, float s, const std::string& sign) {
    const double dd = d, mm = m, ss = s;
    if (sign == "+") {
        return dd + mm / 60.0 + ss / 3600.0;
    }
    return -dd - mm / 60.0 - ss / 3600.0;
}

void MinutesToDms(double angle, float& d, float& m, float& s) {
    const float t = ToSingle(std::fabs(angle));
    float deg = std::trunc(t / 60.0f);
    const float min = std::trunc(t - 60.0f * deg);
    const float sec = (t - 60.0f * deg - min) * 60.0f;
    if (angle < 0.0) {
        deg = -deg;
    }
    d = deg;
    m = min;
    s = sec;
}

double ShownDms::seconds() const {
    return static_cast<double>(secondUnits) / std::pow(10.0, secondDecimals);
}

ShownDms DmsOfDegrees(double degrees, int secondDecimals, SecondsCut cut) {
    float d = 0.0F, m = 0.0F, s = 0.0F;
    MinutesToDms(std::fabs(degrees) * 60.0, d, m, s);
    ShownDms shown;
    shown.degrees = d;
    shown.minutes = m;
    shown.secondDecimals = secondDecimals;
    const double units = static_cast<double>(s) * std::pow(10.0, secondDecimals);
    shown.secondUnits =
        static_cast<long long>(cut == SecondsCut::Round ? std::round(units) : std::trunc(units));
    shown.negative =
        degrees < 0.0 && (shown.degrees != 0.0 || shown.minutes != 0.0 || shown.secondUnits != 0);
    return shown;
}

} // namespace geodesy
