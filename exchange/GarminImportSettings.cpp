#include "exchange/GarminImportSettings.h"

#include "platform/Settings.h"

#include <limits>

namespace exchange {

namespace {

QString Get(const char* key, const QString& fallback) {
    return platform::GetSetting(QLatin1String(kGarminApplication), QLatin1String(kGarminSection),
                                QLatin1String(key), fallback);
}

void Put(const char* key, const QString& value) {
    platform::SaveSetting(QLatin1String(kGarminApplication), QLatin1String(kGarminSection),
                          QLatin1String(key), value);
}

std::int16_t GetInt16(const char* key, std::int16_t fallback) {
    bool ok = false;
    const int value = Get(key, QString::number(fallback)).trimmed().toInt(&ok);
    if (!ok || value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return fallback;
    }
    return static_cast<std::int16_t>(value);
}

} // namespace

objGraminImport LoadGarminImportSettings() {
    const objGraminImport d;
    objGraminImport s;
    s.Period = GetInt16("Period", d.Period);
    s.DateImport = GetInt16("DateImport", d.DateImport);
    s.DateFixed = Get("DateFixed", d.DateFixed);
    s.DateBegin = GetInt16("DateBegin", d.DateBegin);
    s.DateLength = GetInt16("DateLength", d.DateLength);
    s.DateField = Get("DateField", d.DateField);
    s.DateFormat = GetInt16("DateFormat", d.DateFormat);
    s.AltitudeImport = GetInt16("AltitudeImport", d.AltitudeImport);
    s.AltitudeFixed = Get("AltitudeFixed", d.AltitudeFixed);
    s.AltitudeBegin = Get("AltitudeBegin", d.AltitudeBegin);
    s.AltitudeLength = Get("AltitudeLength", d.AltitudeLength);
    s.AltitudeField = Get("AltitudeField", d.AltitudeField);
    return s;
}

void SaveGarminImportSettings(const objGraminImport& s) {
    Put("Period", QString::number(s.Period));
    Put("DateImport", QString::number(s.DateImport));
    Put("DateFixed", s.DateFixed);
    Put("DateBegin", QString::number(s.DateBegin));
    Put("DateLength", QString::number(s.DateLength));
    Put("DateField", s.DateField);
    Put("DateFormat", QString::number(s.DateFormat));
    Put("AltitudeImport", QString::number(s.AltitudeImport));
    Put("AltitudeFixed", s.AltitudeFixed);
    Put("AltitudeBegin", s.AltitudeBegin);
    Put("AltitudeLength", s.AltitudeLength);
    Put("AltitudeField", s.AltitudeField);
}

int GarminColumnWidth(int column) {
    bool ok = false;
    const int width =
        Get(QStringLiteral("Col%1").arg(column).toLatin1().constData(), QStringLiteral("1000"))
            .trimmed()
            .toInt(&ok);
    return ok && width >= 0 ? width : 1000;
}

void SaveGarminColumnWidth(int column, int width) {
    Put(QStringLiteral("Col%1").arg(column).toLatin1().constData(), QString::number(width));
}

} // namespace exchange
