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

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
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

// Bounds of the stored values. A damaged or hand-edited store may hold numbers that the window,
// the tables or the drawing cannot take (a width that overflows a pixel count, a list position
// past the list) and texts far longer than a caption or a field name: such a value loads as its
// key's default. Paths and connect strings are bounded by the store itself.
constexpr float kMostTwips = 1'000'000.0F;   // some 66 000 pixels: beyond any screen set-up
constexpr float kMostDiameterKm = 20'000.0F; // half the earth's circumference
constexpr qsizetype kMostNameLength = 255;   // captions, separators, table and field names, codes
constexpr std::int16_t kLastInputMode = 15;  // the sixteen input systems
constexpr std::int16_t kLastUtmAjust = 7;    // no snapping, then 100 m to 100 km
constexpr std::int16_t kLastGridAjust = 2;   // UTM, British and Irish grids
constexpr std::int16_t kDefaultEllipsoid = 15;
// The old platform's system colours: 0x80000000 plus the colour's index, 0 to 24.
constexpr std::int32_t kFirstSystemColor = static_cast<std::int32_t>(0x80000000U);
constexpr std::int32_t kLastSystemColor = static_cast<std::int32_t>(0x80000018U);

// `value` when it lies within [low, high] (never a NaN), else `fallback`.
template <typename T> T Within(T value, T low, T high, T fallback) {
    return value >= low && value <= high ? value : fallback;
}

QString Bounded(const QString& text, const QString& fallback) {
    return text.size() <= kMostNameLength ? text : fallback;
}

// A colour number 0x00BBGGRR or a system colour.
std::int32_t ColorOrDefault(std::int32_t value, std::int32_t fallback) {
    const bool rgb = value >= 0 && value <= 0xFFFFFF;
    const bool system = value >= kFirstSystemColor && value <= kLastSystemColor;
    return rgb || system ? value : fallback;
}

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

// The value of a stored number: the strict rule with "&H" and "&O" literals; any other text is
// the type-mismatch error 13.
double StrictValue(const QString& text) {
    const std::optional<double> value =
        common::StrictNumber(text.trimmed().toStdString(), common::RadixPrefixes::Read);
    if (!value) {
        throw common::AppError(common::kTypeMismatch);
    }
    return *value;
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
    // A folder of the user's own, never the shared temporary folder. Without a session runtime
    // folder Qt would make one up in the shared temporary folder: the cache folder is then used.
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty()) {
            return runtime;
        }
    }
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    // Last resort: the private folder made inside is still the user's alone.
    return cache.isEmpty() ? QDir::tempPath() : cache;
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
    const auto code = [&](const char* key) {
        return Bounded(platform::GetSetting(zeb, section, QString::fromLatin1(key), eurM), eurM)
            .toStdString();
    };
    datums.DestCode = code("DestCode");
    datums.FromCode = code("FromCode");
    datums.UTMCode = code("UTMCode");
    geodesy::SetDefaultDatumIndexes();
}

void ChargeParametres(MainWindowSettings& window, const QSizeF& screenTwips) {
    platform::ProgramSettings& s = platform::Settings();
    geodesy::DatumState& datums = geodesy::Datums();

    Load([] {
        platform::SetLangue(StrictInt16(Get(QStringLiteral("Language"), QStringLiteral("Language"),
                                            Number(platform::kEnglish))));
    });

    // A length in twips: a window size (from 0), a position (either side of the origin).
    const auto loadTwips = [](const char* key, float& target, float fallback, float low) {
        Load([&] {
            target =
                Within(StrictSingle(Get(kGrid, QString::fromLatin1(key), SingleText(fallback))),
                       low, kMostTwips, fallback);
        });
    };
    loadTwips("Height", window.Height, static_cast<float>(screenTwips.height()), 0.0F);
    loadTwips("Width", window.Width, static_cast<float>(screenTwips.width()), 0.0F);
    loadTwips("Top", window.Top, 0.0F, -kMostTwips);
    loadTwips("Left", window.Left, 0.0F, -kMostTwips);
    Load([&] {
        window.WindowState = Within<std::int16_t>(
            StrictInt16(Get(kGrid, QStringLiteral("WindowState"), QStringLiteral("2"))), 0, 2, 2);
    });

    for (std::size_t i = 0; i < window.ColWidth.size(); ++i) {
        Load([&] {
            const QString text = Get(kGrid, QStringLiteral("ColWidth") + QString::number(i),
                                     SingleText(kDefaultColWidths[i]));
            const double width = common::NumericValue(text.toStdString());
            window.ColWidth[i] = width >= 0.0 && width <= kMostTwips ? static_cast<float>(width)
                                                                     : kDefaultColWidths[i];
        });
    }
    const auto loadColor = [](const QString& section, const QString& key, std::int32_t& target,
                              std::int32_t fallback) {
        Load([&] {
            target = ColorOrDefault(StrictInt32(Get(section, key, Number(fallback))), fallback);
        });
    };
    loadColor(kGrid, QStringLiteral("GridBackColor"), window.GridBackColor, 0xE0FFFF);
    loadColor(kGrid, QStringLiteral("GridForeColor"), window.GridForeColor, kWindowTextColor);

    const auto loadName = [](const QString& section, const char* key, QString& target,
                             const QString& fallback) {
        Load([&] { target = Bounded(Get(section, QString::fromLatin1(key), fallback), fallback); });
    };
    loadName(kSettings, "LabelNumeric1", s.LabelNumeric1, QStringLiteral("Number 1"));
    loadName(kSettings, "LabelNumeric2", s.LabelNumeric2, QStringLiteral("Number 2"));
    loadName(kSettings, "Separator", s.Separator, QStringLiteral(","));

    const std::array<std::int32_t, 3> fillDefaults{0xFF, 0xFFFF, 0xFF00};
    for (std::size_t i = 0; i < fillDefaults.size(); ++i) {
        loadColor(kSymbols, QStringLiteral("SymbolColor") + QString::number(i),
                  s.PeriodFillColor[i], fillDefaults[i]);
    }
    loadColor(kSymbols, QStringLiteral("StrokeColor"), s.MapStrokeColor, 0);
    Load([&] {
        const float diameter =
            StrictSingle(Get(kSymbols, QStringLiteral("DiamPoints"), QStringLiteral("-1")));
        // -1 asks for the automatic size; other values are kilometres.
        s.MapPointDiameter =
            diameter == -1.0F ? diameter : Within(diameter, 0.0F, kMostDiameterKm, -1.0F);
    });

    // An index past the loaded table is refused where the ellipsoid is selected.
    Load([&] {
        datums.Ellipsoid =
            StrictInt16(Get(kSettings, QStringLiteral("Ellipsoid"), Number(kDefaultEllipsoid)));
    });
    if (datums.Ellipsoid <= 0) {
        datums.Ellipsoid = kDefaultEllipsoid;
    }
    Load([&] {
        s.InputMode = Within<std::int16_t>(
            StrictInt16(Get(kSettings, QStringLiteral("InputMode"), QStringLiteral("3"))), 0,
            kLastInputMode, 3);
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
    // An index of a list of choices.
    const auto loadChoice = [](const QString& section, const char* key, std::int16_t& target,
                               std::int16_t fallback, std::int16_t low, std::int16_t last) {
        Load([&] {
            target = Within(StrictInt16(Get(section, QString::fromLatin1(key), Number(fallback))),
                            low, last, fallback);
        });
    };
    const QString one = QStringLiteral("1");
    loadChoice(kSettings, "UtmAjust", s.UtmAjust, 0, 0, kLastUtmAjust);
    loadChoice(kSettings, "GridAjust", s.GridAjust, 0, 0, kLastGridAjust);
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
    // -1 and 0 export no extra system; otherwise an input system's index.
    loadChoice(kSettings, "ExportCoordSystem", s.ExportCoordSystem, -1, -1, kLastInputMode);

    const auto loadPath = [](const char* key, QString& target, const QString& defaultValue) {
        Load([&] { target = Get(kLocalities, QString::fromLatin1(key), defaultValue); });
    };
    // The gazetteer built with the program, else one on a disc.
    const QString supplied =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zebgazet.mdb"));
    loadPath("File", s.File,
             QFileInfo::exists(supplied) ? supplied
                                         : FindCdDrive() + QStringLiteral("zebgazet.mdb"));
    loadInt16(kLocalities, "Sort", s.Sort, QStringLiteral("0"));
    loadName(kLocalities, "Table", s.Table, QStringLiteral("ZEBGazet_Decoding"));
    loadName(kLocalities, "ResearchField", s.ResearchField, QStringLiteral("Sort_Name"));
    loadName(kLocalities, "LatitudeField", s.LatitudeField, QStringLiteral("Latitude"));
    loadName(kLocalities, "LongitudeField", s.LongitudeField, QStringLiteral("Longitude"));
    loadName(kLocalities, "FullNameField", s.FullNameField, QStringLiteral("Full_Name"));
    loadName(kLocalities, "FipsField", s.FipsField, QStringLiteral("FIPS_QOV"));
    loadName(kLocalities, "ProvinceField", s.ProvinceField, QString());
    loadName(kLocalities, "FeatureField", s.FeatureField, QStringLiteral("Feature_Desig_Code"));
    // 1 decimal degrees, 0 packed degrees-minutes-seconds.
    loadChoice(kLocalities, "CoordinatesType", s.CoordinatesType, 1, 0, 1);
    loadName(kLocalities, "CountryName", s.CountryName, QStringLiteral("Country_Name"));
    loadName(kLocalities, "ProvinceName", s.ProvinceName, QStringLiteral("Province_Name"));
    loadName(kLocalities, "Datum", s.LocalitiesDatum, QStringLiteral("WGS84"));
    loadPath("DbType", s.DbType, QString());

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
            throw common::AppError(common::kPathNotFound);
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
