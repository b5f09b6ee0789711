#include "gazetteer/GeoConfig.h"

#include "common/AppError.h"
#include "platform/ProgramSettings.h"
#include "platform/Windows1252.h"

#include <QStringList>

namespace gazetteer {

namespace {

constexpr int kCurrentLines = 18;
constexpr int kOlderLines = 15;
constexpr int kMaxLineLength = 4096;

[[noreturn]] void Fail(int number, const QString& description) {
    throw common::AppError(number, description.toStdString());
}

bool NeedsQuotes(const QString& value) {
    return value.contains(QLatin1Char(',')) || value.startsWith(QLatin1Char('"')) ||
           (!value.isEmpty() && (value.front().isSpace() || value.back().isSpace()));
}

QString ValueLine(const QString& value) {
    if (!NeedsQuotes(value)) {
        return value;
    }
    if (value.contains(QLatin1Char('"'))) {
        Fail(
            common::kInvalidCall,
            QStringLiteral("The value \"%1\" cannot be saved in a configuration file.").arg(value));
    }
    return QLatin1Char('"') + value + QLatin1Char('"');
}

// A line read as a free-format value: leading blanks skipped; a value in double quotes runs to
// the closing quote; any other value runs to the first comma, trailing blanks dropped.
QString ValueOf(const QString& line) {
    qsizetype start = 0;
    while (start < line.size() && line.at(start) == QLatin1Char(' ')) {
        ++start;
    }
    if (start < line.size() && line.at(start) == QLatin1Char('"')) {
        const qsizetype close = line.indexOf(QLatin1Char('"'), start + 1);
        return close < 0 ? line.mid(start + 1) : line.mid(start + 1, close - start - 1);
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','), start);
    QString value = comma < 0 ? line.mid(start) : line.mid(start, comma - start);
    while (!value.isEmpty() && value.back() == QLatin1Char(' ')) {
        value.chop(1);
    }
    return value;
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines << line;
            line.clear();
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
            }
        } else {
            line += c;
        }
    }
    if (!line.isEmpty()) {
        lines << line;
    }
    return lines;
}

bool ReadFlag(const QString& line, int lineNumber) {
    const QString value = ValueOf(line).trimmed();
    bool ok = false;
    const int flag = value.toInt(&ok);
    if (!ok) {
        Fail(common::kTypeMismatch,
             QStringLiteral("Line %1 of the configuration file should hold a flag (-1 or 0), "
                            "not \"%2\".")
                 .arg(lineNumber)
                 .arg(value.left(40)));
    }
    return flag != 0;
}

} // namespace

QByteArray WriteConfig(const GeoConfig& config) {
    QStringList lines = {kConfigHeader, ValueLine(config.path), ValueLine(config.dbType),
                         ValueLine(config.datum), ValueLine(config.table)};
    for (const QString& field : config.fields) {
        lines << ValueLine(field);
    }
    for (const bool flag : config.flags) {
        lines << (flag ? QStringLiteral("-1") : QStringLiteral(" 0"));
    }
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += platform::EncodeWindows1252(line);
        bytes += "\r\n";
    }
    return bytes;
}

GeoConfig ReadConfig(const QByteArray& bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        // Control bytes, and the five bytes the code page leaves undefined, are no text.
        const bool undefined =
            byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        if ((byte < 0x20 && c != '\r' && c != '\n' && c != '\t') || undefined) {
            Fail(common::kInvalidCall,
                 QStringLiteral(
                     "This is not a gazetteer configuration file: it holds binary data."));
        }
    }
    const QStringList lines = SplitLines(platform::DecodeWindows1252(bytes));
    GeoConfig config;
    config.currentLayout = !lines.isEmpty() && ValueOf(lines.front()).toUpper() == kConfigHeader;
    const int expected = config.currentLayout ? kCurrentLines : kOlderLines;
    if (lines.size() < expected) {
        Fail(common::kInputPastEnd,
             QStringLiteral("The configuration file ends at line %1; its layout has %2 lines.")
                 .arg(lines.size())
                 .arg(expected));
    }
    for (int i = 0; i < expected; ++i) {
        if (lines.at(i).size() > kMaxLineLength) {
            Fail(common::kInvalidCall,
                 QStringLiteral("Line %1 of the configuration file is too long.").arg(i + 1));
        }
    }
    int next = config.currentLayout ? 1 : 0;
    const auto value = [&] { return ValueOf(lines.at(next++)); };
    config.path = value();
    config.dbType = value();
    config.datum = value();
    config.table = value();
    const std::size_t fieldCount = config.currentLayout ? 9 : 7;
    for (std::size_t i = 0; i < fieldCount; ++i) {
        config.fields[i] = value();
    }
    for (bool& flag : config.flags) {
        flag = ReadFlag(lines.at(next), next + 1);
        ++next;
    }
    return config;
}

void ApplyConfig(const GeoConfig& config, platform::ProgramSettings& settings) {
    settings.DbType = config.dbType;
    settings.LocalitiesDatum = config.datum;
    settings.File = config.path;
    settings.Table = config.table;
    settings.ResearchField = config.fields[0];
    settings.FullNameField = config.fields[1];
    settings.LatitudeField = config.fields[2];
    settings.LongitudeField = config.fields[3];
    settings.FipsField = config.fields[4];
    settings.ProvinceField = config.fields[5];
    settings.FeatureField = config.fields[6];
    if (config.currentLayout) {
        settings.CountryName = config.fields[7];
        settings.ProvinceName = config.fields[8];
    }
}

} // namespace gazetteer
