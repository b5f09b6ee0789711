#include "app/MainSettings.h"

#include "app/Utilities.h"
#include "common/AppError.h"
#include "common/Numeric.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QDir>
#include <QStandardPaths>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace app {

namespace {

const QString kMain = QStringLiteral("DOVAZOV");
const QString kGrid = QStringLiteral("Grid");
const QString kSettings = QStringLiteral("Settings");
const QString kSymbols = QStringLiteral("Symbols");
const QString kLocalities = QStringLiteral("Localities");
const QString kFiles = QStringLiteral("Files");

constexpr int kStringIniReadError = 651;
constexpr int kPathNotFound = 76;

QString Get(const QString& section, const QString& key, const QString& defaultValue) {
    return platform::GetSetting(kMain, section, key, defaultValue);
}

// Shows the failure of one value and lets the loading go on with the next.
void ReportLoadError(const QString& description) {
    platform::MsgBox(platform::ResText(kStringIniReadError) + QLatin1Char('\r') + description,
                     platform::Buttons::Ok, platform::Icon::None);
}

template <typename Step> void Load(Step&& step) {
    try {
        step();
    } catch (const common::AppError& error) {
        ReportLoadError(QString::fromStdString(error.description()));
    } catch (const std::exception& error) {
        ReportLoadError(QString::fromLocal8Bit(error.what()));
    }
}

// A write that fails is skipped: the settings must never keep the program from ending.
void Save(const QString& section, const QString& key, const QString& value) {
    try {
        platform::SaveSetting(kMain, section, key, value);
    } catch (...) {
    }
}

QString Number(long long value) {
    return QString::number(value);
}

// The value of a strict numeric text: decimal with optional sign, point and exponent, or "&H" /
// "&O" followed by hexadecimal or octal digits (four digits or fewer make a 16-bit value, up to
// eight a 32-bit one, both read as signed).
double StrictValue(const QString& text) {
    const std::string trimmed = text.trimmed().toStdString();
    if (trimmed.empty()) {
        throw common::AppError(common::kTypeMismatch);
    }
    if (trimmed.size() > 2 && trimmed[0] == '&' &&
        (trimmed[1] == 'H' || trimmed[1] == 'h' || trimmed[1] == 'O' || trimmed[1] == 'o')) {
        const bool hex = trimmed[1] == 'H' || trimmed[1] == 'h';
        unsigned long long bits = 0;
        const char* first = trimmed.data() + 2;
        const char* last = trimmed.data() + trimmed.size();
        const auto [end, error] = std::from_chars(first, last, bits, hex ? 16 : 8);
        if (error == std::errc::result_out_of_range || bits > 0xFFFFFFFFULL) {
            throw common::AppError(common::kOverflow);
        }
        if (error != std::errc() || end != last) {
            throw common::AppError(common::kTypeMismatch);
        }
        if (bits <= 0xFFFFULL && (!hex || last - first <= 4)) {
            return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    }
    std::size_t start = 0;
    bool negative = false;
    if (trimmed[0] == '+' || trimmed[0] == '-') {
        negative = trimmed[0] == '-';
        start = 1;
    }
    const char* first = trimmed.data() + start;
    const char* last = trimmed.data() + trimmed.size();
    if (first == last || !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.')) {
        throw common::AppError(common::kTypeMismatch);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        throw common::AppError(common::kOverflow);
    }
    if (error != std::errc() || end != last || !std::isfinite(value)) {
        throw common::AppError(common::kTypeMismatch);
    }
    return negative ? -value : value;
}

// The leading number of a text rounded into a 16-bit integer; never a type error.
std::int16_t LeadingInt16(const QString& text) {
    return common::ToInt16(common::NumericValue(text.toStdString()));
}

} // namespace

std::int16_t StrictInt16(const QString& text) {
    return common::ToInt16(StrictValue(text));
}

std::int32_t StrictInt32(const QString& text) {
    return common::ToInt32(StrictValue(text));
}

float StrictSingle(const QString& text) {
    const double value = StrictValue(text);
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw common::AppError(common::kOverflow);
    }
    return static_cast<float>(value);
}

QString SingleText(float value) {
    // Plain digits where they stay short (a width of 100000 twips reads "100000", not "1e+05");
    // the exponent form only for very large or very small values.
    char buffer[64];
    const auto fixed =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (fixed.ec == std::errc() && fixed.ptr - buffer <= 16) {
        return QString::fromLatin1(buffer, fixed.ptr - buffer);
    }
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) {
        return QStringLiteral("0");
    }
    return QString::fromLatin1(buffer, end - buffer);
}

QString DefaultWorkingDir() {
    for (const char* variable : {"TEMP", "TMPDIR"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return QDir::tempPath();
}

QString WorkingDirSetting() {
    return platform::GetSetting(QStringLiteral("DOVazov"), QStringLiteral("Config"),
                                QStringLiteral("WorkingDir"), DefaultWorkingDir());
}

QString RecentFileCaption(int number, const QString& path) {
    QString shown = path;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QLatin1Char('&') + QString::number(number) + QLatin1Char(' ') + shown;
}

void LoadDatumCodes() {
    geodesy::DatumState& datums = geodesy::Datums();
    const QString zeb = QStringLiteral("ZEB");
    const QString section = QStringLiteral("Datum");
    const QString eurM = QStringLiteral("EUR-M");
    datums.DestCode =
        platform::GetSetting(zeb, section, QStringLiteral("DestCode"), eurM).toStdString();
    datums.FromCode =
        platform::GetSetting(zeb, section, QStringLiteral("FromCode"), eurM).toStdString();
    datums.UTMCode =
        platform::GetSetting(zeb, section, QStringLiteral("UTMCode"), eurM).toStdString();
    geodesy::SetDefaultDatumIndexes();
}

void ChargeParametres(MainWindowSettings& window, const QSizeF& screenTwips) {
    platform::ProgramSettings& s = platform::Settings();
    geodesy::DatumState& datums = geodesy::Datums();

    Load([] {
        platform::SetLangue(StrictInt16(Get(QStringLiteral("Language"), QStringLiteral("Language"),
                                            Number(platform::kEnglish))));
    });

    Load([&] {
        window.Height = StrictSingle(Get(kGrid, QStringLiteral("Height"),
                                         SingleText(static_cast<float>(screenTwips.height()))));
    });
    Load([&] {
        window.Width = StrictSingle(Get(kGrid, QStringLiteral("Width"),
                                        SingleText(static_cast<float>(screenTwips.width()))));
    });
    Load(
        [&] { window.Top = StrictSingle(Get(kGrid, QStringLiteral("Top"), QStringLiteral("0"))); });
    Load([&] {
        window.Left = StrictSingle(Get(kGrid, QStringLiteral("Left"), QStringLiteral("0")));
    });
    Load([&] {
        window.WindowState =
            StrictInt16(Get(kGrid, QStringLiteral("WindowState"), QStringLiteral("2")));
    });

    for (std::size_t i = 0; i < window.ColWidth.size(); ++i) {
        Load([&] {
            const QString text = Get(kGrid, QStringLiteral("ColWidth") + QString::number(i),
                                     SingleText(kDefaultColWidths[i]));
            window.ColWidth[i] = static_cast<float>(common::NumericValue(text.toStdString()));
        });
    }
    Load([&] {
        window.GridBackColor =
            StrictInt32(Get(kGrid, QStringLiteral("GridBackColor"), Number(0xE0FFFF)));
    });
    Load([&] {
        window.GridForeColor =
            StrictInt32(Get(kGrid, QStringLiteral("GridForeColor"), Number(kWindowTextColor)));
    });

    Load([&] {
        s.LabelNumeric1 =
            Get(kSettings, QStringLiteral("LabelNumeric1"), QStringLiteral("Number 1"));
    });
    Load([&] {
        s.LabelNumeric2 =
            Get(kSettings, QStringLiteral("LabelNumeric2"), QStringLiteral("Number 2"));
    });
    Load([&] { s.Separator = Get(kSettings, QStringLiteral("Separator"), QStringLiteral(",")); });

    const std::array<std::int32_t, 3> fillDefaults{0xFF, 0xFFFF, 0xFF00};
    for (std::size_t i = 0; i < fillDefaults.size(); ++i) {
        Load([&] {
            s.PeriodFillColor[i] =
                StrictInt32(Get(kSymbols, QStringLiteral("SymbolColor") + QString::number(i),
                                Number(fillDefaults[i])));
        });
    }
    Load([&] {
        s.MapStrokeColor =
            StrictInt32(Get(kSymbols, QStringLiteral("StrokeColor"), QStringLiteral("0")));
    });
    Load([&] {
        s.MapPointDiameter =
            StrictSingle(Get(kSymbols, QStringLiteral("DiamPoints"), QStringLiteral("-1")));
    });

    Load([&] {
        datums.Ellipsoid =
            StrictInt16(Get(kSettings, QStringLiteral("Ellipsoid"), QStringLiteral("15")));
    });
    if (datums.Ellipsoid == 0) {
        datums.Ellipsoid = 15;
    }
    Load([&] {
        s.InputMode = StrictInt16(Get(kSettings, QStringLiteral("InputMode"), QStringLiteral("3")));
    });
    // The national grids work on their own ellipsoid.
    switch (s.InputMode) {
    case 5:
        datums.Ellipsoid = 1;
        break;
    case 6:
        datums.Ellipsoid = 2;
        break;
    case 7:
    case 8:
        datums.Ellipsoid = 15;
        break;
    default:
        break;
    }

    const auto loadInt16 = [](const QString& section, const char* key, std::int16_t& target,
                              const QString& defaultValue) {
        Load([&] { target = StrictInt16(Get(section, QString::fromLatin1(key), defaultValue)); });
    };
    const QString one = QStringLiteral("1");
    loadInt16(kSettings, "UtmAjust", s.UtmAjust, QStringLiteral("0"));
    loadInt16(kSettings, "GridAjust", s.GridAjust, QStringLiteral("0"));
    loadInt16(kSettings, "ExportPeriod", s.ExportPeriod, one);
    loadInt16(kSettings, "ExportLatitude", s.ExportLatitude, one);
    loadInt16(kSettings, "ExportLongitude", s.ExportLongitude, one);
    loadInt16(kSettings, "ExportNumber1", s.ExportNumber1, one);
    loadInt16(kSettings, "ExportNumber2", s.ExportNumber2, one);
    loadInt16(kSettings, "ExportEllipsoid", s.ExportEllipsoid, one);
    loadInt16(kSettings, "ExportOriginalCoord", s.ExportOriginalCoord, one);
    loadInt16(kSettings, "ExportDate", s.ExportDate, one);
    loadInt16(kSettings, "ExportFreeField", s.ExportFreeField, one);
    loadInt16(kSettings, "ExportSex", s.ExportSex, one);
    loadInt16(kSettings, "ExportCoordSystem", s.ExportCoordSystem, QStringLiteral("-1"));

    const auto loadText = [](const char* key, QString& target, const QString& defaultValue) {
        Load([&] { target = Get(kLocalities, QString::fromLatin1(key), defaultValue); });
    };
    loadText("File", s.File, FindCdDrive() + QStringLiteral("zebgazet.mdb"));
    loadInt16(kLocalities, "Sort", s.Sort, QStringLiteral("0"));
    loadText("Table", s.Table, QStringLiteral("ZEBGazet_Decoding"));
    loadText("ResearchField", s.ResearchField, QStringLiteral("Sort_Name"));
    loadText("LatitudeField", s.LatitudeField, QStringLiteral("Latitude"));
    loadText("LongitudeField", s.LongitudeField, QStringLiteral("Longitude"));
    loadText("FullNameField", s.FullNameField, QStringLiteral("Full_Name"));
    loadText("FipsField", s.FipsField, QStringLiteral("FIPS_QOV"));
    loadText("ProvinceField", s.ProvinceField, QString());
    loadText("FeatureField", s.FeatureField, QStringLiteral("Feature_Desig_Code"));
    loadInt16(kLocalities, "CoordinatesType", s.CoordinatesType, one);
    loadText("CountryName", s.CountryName, QStringLiteral("Country_Name"));
    loadText("ProvinceName", s.ProvinceName, QStringLiteral("Province_Name"));
    loadText("Datum", s.LocalitiesDatum, QStringLiteral("WGS84"));
    loadText("DbType", s.DbType, QString());

    loadInt16(kSettings, "Silence", s.Silence, QStringLiteral("0"));
    // The interval and the switch read the text's leading number ("12abc" is 12).
    Load([&] {
        s.SaveInterval =
            LeadingInt16(Get(kSettings, QStringLiteral("SaveInterval"), QStringLiteral("5")));
    });
    Load([&] {
        s.AutoSave = LeadingInt16(Get(kSettings, QStringLiteral("AutoSave"), QStringLiteral("0")));
    });

    for (std::size_t i = 0; i < s.LastFiles.size(); ++i) {
        Load([&] {
            s.LastFiles[i] =
                Get(kFiles, QStringLiteral("LastFile") + QString::number(i + 1), QString());
        });
    }

    // A companion menu program may name the folder to work in.
    Load([] {
        const QString folder =
            platform::GetSetting(QStringLiteral("DORUVUD.INI"), QStringLiteral("DORUVUD"),
                                 QStringLiteral("WorkingDir"), QString());
        if (!folder.isEmpty() && !QDir::setCurrent(folder)) {
            throw common::AppError(kPathNotFound, "Path not found");
        }
    });

    Load([] { LoadDatumCodes(); });
}

void SauveParametres(const MainWindowSettings& window) {
    const platform::WaitCursor hourglass;
    const platform::ProgramSettings& s = platform::Settings();

    Save(kGrid, QStringLiteral("Height"), SingleText(window.Height));
    Save(kGrid, QStringLiteral("Width"), SingleText(window.Width));
    Save(kGrid, QStringLiteral("Top"), SingleText(window.Top));
    Save(kGrid, QStringLiteral("Left"), SingleText(window.Left));
    Save(kGrid, QStringLiteral("WindowState"), Number(window.WindowState));
    for (std::size_t i = 0; i < window.ColWidth.size(); ++i) {
        Save(kGrid, QStringLiteral("ColWidth") + QString::number(i),
             SingleText(window.ColWidth[i]));
    }
    Save(kGrid, QStringLiteral("GridBackColor"), Number(window.GridBackColor));
    Save(kGrid, QStringLiteral("GridForeColor"), Number(window.GridForeColor));

    Save(QStringLiteral("Language"), QStringLiteral("Language"), Number(platform::Langue()));

    Save(kSettings, QStringLiteral("LabelNumeric1"), s.LabelNumeric1);
    Save(kSettings, QStringLiteral("LabelNumeric2"), s.LabelNumeric2);
    Save(kSettings, QStringLiteral("Separator"), s.Separator);

    for (std::size_t i = 0; i < s.PeriodFillColor.size(); ++i) {
        Save(kSymbols, QStringLiteral("SymbolColor") + QString::number(i),
             Number(s.PeriodFillColor[i]));
    }
    Save(kSymbols, QStringLiteral("StrokeColor"), Number(s.MapStrokeColor));
    Save(kSymbols, QStringLiteral("DiamPoints"), SingleText(s.MapPointDiameter));

    const auto saveInt = [](const QString& section, const char* key, long long value) {
        Save(section, QString::fromLatin1(key), Number(value));
    };
    saveInt(kSettings, "Ellipsoid", geodesy::Datums().Ellipsoid);
    saveInt(kSettings, "InputMode", s.InputMode);
    saveInt(kSettings, "UtmAjust", s.UtmAjust);
    saveInt(kSettings, "GridAjust", s.GridAjust);
    saveInt(kSettings, "ExportPeriod", s.ExportPeriod);
    saveInt(kSettings, "ExportLatitude", s.ExportLatitude);
    saveInt(kSettings, "ExportLongitude", s.ExportLongitude);
    saveInt(kSettings, "ExportNumber1", s.ExportNumber1);
    saveInt(kSettings, "ExportNumber2", s.ExportNumber2);
    saveInt(kSettings, "ExportEllipsoid", s.ExportEllipsoid);
    saveInt(kSettings, "ExportOriginalCoord", s.ExportOriginalCoord);
    saveInt(kSettings, "ExportDate", s.ExportDate);
    saveInt(kSettings, "ExportFreeField", s.ExportFreeField);
    saveInt(kSettings, "ExportSex", s.ExportSex);
    saveInt(kSettings, "ExportCoordSystem", s.ExportCoordSystem);
    saveInt(kSettings, "Silence", s.Silence);
    saveInt(kSettings, "SaveInterval", s.SaveInterval);
    saveInt(kSettings, "AutoSave", s.AutoSave);

    Save(kLocalities, QStringLiteral("File"), s.File);
    saveInt(kLocalities, "Sort", s.Sort);
    Save(kLocalities, QStringLiteral("Table"), s.Table);
    Save(kLocalities, QStringLiteral("ResearchField"), s.ResearchField);
    Save(kLocalities, QStringLiteral("FullNameField"), s.FullNameField);
    Save(kLocalities, QStringLiteral("LatitudeField"), s.LatitudeField);
    Save(kLocalities, QStringLiteral("LongitudeField"), s.LongitudeField);
    Save(kLocalities, QStringLiteral("FipsField"), s.FipsField);
    Save(kLocalities, QStringLiteral("ProvinceField"), s.ProvinceField);
    Save(kLocalities, QStringLiteral("FeatureField"), s.FeatureField);
    saveInt(kLocalities, "CoordinatesType", s.CoordinatesType);
    Save(kLocalities, QStringLiteral("CountryName"), s.CountryName);
    Save(kLocalities, QStringLiteral("ProvinceName"), s.ProvinceName);
    Save(kLocalities, QStringLiteral("Datum"), s.LocalitiesDatum);
    Save(kLocalities, QStringLiteral("DbType"), s.DbType);

    for (std::size_t i = 0; i < s.LastFiles.size(); ++i) {
        Save(kFiles, QStringLiteral("LastFile") + QString::number(i + 1), s.LastFiles[i]);
    }
}

} // namespace app
