#include "editor/EntryConversion.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "editor/CheckPanel.h"
#include "editor/EditorTexts.h"
#include "geodesy/Angles.h"
#include "geodesy/CoordinateText.h"
#include "geodesy/DatumTables.h"
#include "geodesy/GridDigits.h"
#include "geodesy/Ifbl.h"
#include "geodesy/Lambert72.h"
#include "geodesy/LambertConic.h"
#include "geodesy/Mgrs.h"
#include "geodesy/Molodensky.h"
#include "geodesy/NationalGrids.h"
#include "geodesy/TransverseMercator.h"
#include "platform/ErrorBox.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <exception>
#include <optional>
#include <string>

namespace editor {

namespace {

using geodesy::CoordSystem;

using geodesy::kDegreesPerGrade;
using geodesy::kParisMeridian;

constexpr const char* kMgrsBands = "CDEFGHJKLMNPQRSTUVWX";

QString Box(const EditorState& state, int index) {
    return state.text(EditBoxControl(index));
}

// A box text upper-cased and without any blank, as leaving the box leaves it.
QString Tidied(const QString& text) {
    return text.toUpper().remove(QLatin1Char(' '));
}

void Tidy(EditorState& state, int index) {
    state.setText(EditBoxControl(index), Tidied(Box(state, index)));
}

// An entry that names nothing: beep unless silent, say why, and give box 2 the focus back.
void RefuseEntry(EditorState& state, const QString& message) {
    platform::BeepUnlessSilent();
    platform::MsgBox(message, platform::Buttons::Ok, platform::Icon::Exclamation);
    state.focusRequest = Control::EditBox2;
}

// The name of the current input system, then the entry and the reason on a line of their own.
QString EntryMessage(const QString& entry, const char* reason) {
    return platform::ResText(300 + platform::Settings().InputMode) + QStringLiteral(": ") + entry +
           QLatin1Char('\r') + QString::fromUtf8(reason);
}

bool IsLetter(QChar c) {
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z');
}
bool InRange(QChar c, char low, char high) {
    return c >= QLatin1Char(low) && c <= QLatin1Char(high);
}

// What the boxes of a grid-reference or MGRS entry give: nothing yet, a refusal with the message
// that tells why, or the position in the entry datum (degrees).
struct EntryReading {
    EntryResult result = EntryResult::Incomplete;
    QString message;
    double lat = 0.0;
    double lon = 0.0;
};

EntryReading Refusal(const QString& message) {
    return {EntryResult::Refused, message, 0.0, 0.0};
}

// A lettered reference of the British (`type` 1) or Irish (0) grid on the current ellipsoid.
EntryReading ReadGridEntry(const QString& lettersBox, const QString& digitsBox, int type) {
    const QString letters = lettersBox.trimmed().toUpper();
    const QString digits = digitsBox.trimmed();
    if (letters.isEmpty() || digits.isEmpty()) {
        return {};
    }
    const QString entry = letters + QLatin1Char(' ') + digits;
    std::string reference = "**" + digits.toStdString();
    if (!geodesy::TryExpandGridDigits(reference)) {
        return Refusal(EntryMessage(entry, "the digits must be an even number, at most ten"));
    }
    const double eastKm = common::NumericValue(reference.substr(2, 5)) / 1000;
    const double northKm = common::NumericValue(reference.substr(7, 5)) / 1000;
    double easting = 0, northing = 0;
    const std::string square = letters.toStdString();
    const bool named = type == geodesy::kBritishGrid
                           ? geodesy::BngLettersToEN(square, eastKm, northKm, easting, northing)
                           : geodesy::IrishLetterToEN(square, northKm, eastKm, northing, easting);
    if (!named) {
        return Refusal(EntryMessage(entry, "these letters name no 100 km square"));
    }
    EntryReading reading;
    reading.result = EntryResult::Written;
    geodesy::GridToLatLon(type, northing, easting, reading.lat, reading.lon);
    return reading;
}

// An MGRS reference of zone, band and square boxes on the current ellipsoid.
EntryReading ReadMgrsEntry(const QString& zoneBox, const QString& bandBox,
                           const QString& squareBox) {
    QString zone = zoneBox.trimmed();
    const QString band = bandBox.trimmed();
    const QString square = squareBox.trimmed();
    if (zone.isEmpty() || band.isEmpty() || square.isEmpty()) {
        return {};
    }
    if (zone.size() == 1) {
        zone.prepend(QLatin1Char('0'));
    }
    const QString entry = zone + band + square;
    const auto refuse = [&entry](const QString& reason) {
        return Refusal(platform::ResText(533) + QStringLiteral(": ") + entry + QLatin1Char('\r') +
                       reason);
    };
    const int zoneNumber =
        zone.size() == 2 && InRange(zone[0], '0', '9') && InRange(zone[1], '0', '9') ? zone.toInt()
                                                                                     : 0;
    if (zoneNumber < 1 || zoneNumber > 60) {
        return refuse(QStringLiteral("the zone must be 1 to 60"));
    }
    if (band.size() != 1 || !QString::fromLatin1(kMgrsBands).contains(band[0])) {
        return refuse(QStringLiteral("the latitude band must be one of ") +
                      QString::fromLatin1(kMgrsBands));
    }
    std::string expanded = square.toStdString();
    if (!geodesy::TryExpandGridDigits(expanded) || expanded.size() != 12 ||
        !IsLetter(QLatin1Char(expanded[0])) || !IsLetter(QLatin1Char(expanded[1]))) {
        return refuse(QStringLiteral(
            "two square letters, then an even number of digits, at most ten, are expected"));
    }
    std::string reference = zone.toStdString() + band.toStdString() + expanded;
    const geodesy::DatumState& datums = geodesy::Datums();
    double lat = 0, lon = 0, northing = 0, easting = 0;
    int outZone = 0, status = 0;
    geodesy::MgrsToLatLon(reference, datums.Ellipsoid, datums.EllipsoidA, datums.EllipsoidF, lat,
                          lon, outZone, northing, easting, status);
    if (status != 0) {
        return refuse(QString::fromStdString(reference).trimmed());
    }
    return {EntryResult::Written, QString(), geodesy::RadToDeg(lat), geodesy::RadToDeg(lon)};
}

// The message refusing an IFBL code; empty when the code names a square.
QString IfblEntryProblem(const QString& code) {
    const QString problem = IfblCodeProblem(code);
    return problem.isEmpty() ? problem : EntryMessage(code, problem.toUtf8().constData());
}

// A reading into the fields: a refusal told, a position shifted into them.
EntryResult Apply(EditorState& state, const EntryReading& reading);

// A position of the entry datum into the fields, shifted to the destination datum.
void WriteShifted(EditorState& state, double lat, double lon, QString (*latitudeText)(double),
                  QString (*longitudeText)(double)) {
    const geodesy::DatumState& datums = geodesy::Datums();
    double latOut = 0, lonOut = 0;
    geodesy::ShiftDatum(lat, lon, 0.0, latOut, lonOut, datums.InputDatum, datums.DestIndex);
    state.setText(Control::ChampLatitude, latitudeText(latOut));
    state.setText(Control::ChampLongitude, longitudeText(lonOut));
}

EntryResult Apply(EditorState& state, const EntryReading& reading) {
    if (reading.result == EntryResult::Refused) {
        RefuseEntry(state, reading.message);
    } else if (reading.result == EntryResult::Written) {
        WriteShifted(state, reading.lat, reading.lon, GeneralText, GeneralText);
    }
    return reading.result;
}

QString DmsLatitudeText(double value) {
    return PaddedFiveDecimalText(value, 2);
}
QString DmsLongitudeText(double value) {
    return PaddedFiveDecimalText(value, 3);
}

double DmsBox(const QString& text) {
    std::string value = text.trimmed().toStdString();
    geodesy::ReplaceChar(value, ",", ".");
    float d = 0, m = 0, s = 0;
    std::string sign = "+";
    geodesy::ParseDms(value, d, m, s, sign);
    return geodesy::DmsToDecimal(d, m, s, sign);
}

// What a conversion of the boxes gave.
struct Converted {
    enum class Kind { Stop, CheckOnly, Position } kind = Kind::Stop;
    double lat = 0.0;
    double lon = 0.0;
    QString (*latitudeText)(double) = GeneralText;
    QString (*longitudeText)(double) = GeneralText;
};

Converted Position(double lat, double lon) {
    Converted c;
    c.kind = Converted::Kind::Position;
    c.lat = lat;
    c.lon = lon;
    return c;
}

constexpr Converted kStop{};

Converted CheckOnly() {
    Converted c;
    c.kind = Converted::Kind::CheckOnly;
    return c;
}

// The result of a grid-reference or MGRS routine as a step of the conversion.
Converted AfterEntry(EntryResult result) {
    return result == EntryResult::Refused ? kStop : CheckOnly();
}

// A pair of plane metres through an inverse projection; nothing when either is 0.
template <typename Inverse> Converted Plane(const EditorState& state, Inverse inverse) {
    const double x = CommaValue(Box(state, 1));
    const double y = CommaValue(Box(state, 2));
    if (x == 0 || y == 0) {
        return kStop;
    }
    double lat = 0, lon = 0;
    inverse(x, y, lat, lon);
    return Position(lat, lon);
}

Converted ConvertBoxes(EditorState& state, int mode) {
    switch (static_cast<CoordSystem>(mode)) {
    case CoordSystem::Deg: {
        if (Box(state, 1).trimmed().isEmpty() || Box(state, 2).trimmed().isEmpty()) {
            return kStop;
        }
        Converted c = Position(CommaValue(Box(state, 1)), CommaValue(Box(state, 2)));
        c.latitudeText = FiveDecimalText;
        c.longitudeText = FiveDecimalText;
        return c;
    }
    case CoordSystem::Dms: {
        if (Box(state, 1).trimmed().isEmpty() || Box(state, 2).trimmed().isEmpty()) {
            return kStop;
        }
        // Each box on its own: minutes and seconds one box lacks are 0, never the other's.
        const double lat = DmsBox(Box(state, 1));
        Converted c = Position(lat, DmsBox(Box(state, 2)));
        c.latitudeText = DmsLatitudeText;
        c.longitudeText = DmsLongitudeText;
        return c;
    }
    case CoordSystem::Utm: {
        const int zone = common::ToInt16(PlainValue(Box(state, 0)));
        const double easting = PlainValue(Box(state, 1));
        double northing = PlainValue(Box(state, 2));
        if (zone == 0) {
            return kStop;
        }
        if (easting == 0) {
            return CheckOnly();
        }
        const geodesy::DatumState& datums = geodesy::Datums();
        double lat = 0, lon = 0;
        geodesy::UtmToLatLon(datums.EllipsoidA, datums.EllipsoidF, lat, lon, zone, northing,
                             easting);
        return Position(geodesy::RadToDeg(lat), geodesy::RadToDeg(lon));
    }
    case CoordSystem::Mgr:
        if (Box(state, 2).size() % 2 != 0) {
            RefuseEntry(state, platform::ResText(533));
            return kStop;
        }
        return AfterEntry(MgrsEnLatLong(state));
    case CoordSystem::Grp:
        // Blank boxes read as 0: the equator on the Paris meridian.
        return Position(CommaValue(Box(state, 1)) * kDegreesPerGrade,
                        CommaValue(Box(state, 2)) * kDegreesPerGrade + kParisMeridian);
    case CoordSystem::Bng:
    case CoordSystem::Itm: {
        Tidy(state, 1);
        Tidy(state, 2);
        if (Box(state, 1).isEmpty() || Box(state, 2).isEmpty()) {
            return kStop;
        }
        const int type = mode == static_cast<int>(CoordSystem::Bng) ? geodesy::kBritishGrid
                                                                    : geodesy::kIrishGrid;
        return AfterEntry(GrilleEnLatLong(state, type));
    }
    case CoordSystem::Lmb:
        return Plane(state, geodesy::Lambert72ToLatLon);
    case CoordSystem::Ifb: {
        if (Box(state, 2).isEmpty()) {
            return kStop;
        }
        if (const QString message = IfblEntryProblem(Box(state, 2)); !message.isEmpty()) {
            RefuseEntry(state, message);
            return kStop;
        }
        std::string code = Box(state, 2).toStdString();
        double x = 0, y = 0;
        std::int32_t status = 0;
        geodesy::IfblToLambert(code, x, y, status);
        double lat = 0, lon = 0;
        geodesy::Lambert72ToLatLon(x, y, lat, lon);
        return Position(lat, lon);
    }
    case CoordSystem::Lf1:
    case CoordSystem::Lf2:
    case CoordSystem::Lf3:
    case CoordSystem::Lf4:
    case CoordSystem::Lfe:
        return Plane(state, [mode](double x, double y, double& lat, double& lon) {
            geodesy::LambertFranceToLatLon(x, y, lat, lon, static_cast<std::int16_t>(mode - 8));
        });
    case CoordSystem::Nma:
    case CoordSystem::Sma:
        return Plane(state, [mode](double x, double y, double& lat, double& lon) {
            geodesy::LambertAfricaToLatLon(x, y, lat, lon, mode - 13);
        });
    }
    return CheckOnly();
}

} // namespace

QString IfblCodeProblem(const QString& code) {
    if (code.size() != 2 && code.size() != 4 && code.size() != 6) {
        return QStringLiteral("an IFBL square has 2, 4 or 6 characters");
    }
    if (!InRange(code[0], 'A', 'M') || code[0] == QLatin1Char('I')) {
        return QStringLiteral("the row letter must be A to M, without I");
    }
    if (!InRange(code[1], '0', '9')) {
        return QStringLiteral("the column must be a digit");
    }
    if (code.size() >= 4 && (!InRange(code[2], '1', '5') || !InRange(code[3], '1', '8'))) {
        return QStringLiteral("a 4 km square is a row 1 to 5 and a column 1 to 8");
    }
    if (code.size() == 6 && (!InRange(code[4], '1', '4') || !InRange(code[5], '1', '4'))) {
        return QStringLiteral("a 1 km square is given by two digits 1 to 4");
    }
    return QString();
}

EntryResult GrilleEnLatLong(EditorState& state, int type) {
    return Apply(state, ReadGridEntry(Box(state, 1), Box(state, 2), type));
}

EntryResult MgrsEnLatLong(EditorState& state) {
    return Apply(state, ReadMgrsEntry(Box(state, 0), Box(state, 1), Box(state, 2)));
}

QString EntryProblem(const EditorState& state) {
    const QString box2 = Tidied(Box(state, 2));
    if (box2.isEmpty()) {
        return QString();
    }
    const auto mode = static_cast<CoordSystem>(platform::Settings().InputMode);
    if (mode == CoordSystem::Ifb) {
        return IfblEntryProblem(box2);
    }
    if (mode != CoordSystem::Mgr && mode != CoordSystem::Bng && mode != CoordSystem::Itm) {
        return QString();
    }
    geodesy::SelectDatum(geodesy::Datums().InputDatum);
    if (mode == CoordSystem::Mgr) {
        if (box2.size() % 2 != 0) {
            return platform::ResText(533);
        }
        return ReadMgrsEntry(Tidied(Box(state, 0)), Tidied(Box(state, 1)), box2).message;
    }
    return ReadGridEntry(Tidied(Box(state, 1)), box2,
                         mode == CoordSystem::Bng ? geodesy::kBritishGrid : geodesy::kIrishGrid)
        .message;
}

float DmsEnDegres(double degrees, double minutes, double seconds) {
    return static_cast<float>(degrees + minutes / 60.0 + seconds / 3600.0);
}

void EditBox_LostFocus(EditorState& state, int index) {
    if (!state.changed) {
        return;
    }
    Tidy(state, index);
    if (index != 2) {
        return;
    }
    state.FrameInputHighlighted = false;
    try {
        geodesy::DatumState& datums = geodesy::Datums();
        geodesy::SelectDatum(datums.InputDatum);
        const Converted c = ConvertBoxes(state, platform::Settings().InputMode);
        if (c.kind == Converted::Kind::Stop) {
            return;
        }
        if (c.kind == Converted::Kind::Position) {
            WriteShifted(state, c.lat, c.lon, c.latitudeText, c.longitudeText);
        }
        ControleRecalcul(state);
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
}

} // namespace editor
