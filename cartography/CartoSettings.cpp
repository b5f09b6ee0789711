#include "cartography/CartoSettings.h"

#include "common/Numeric.h"
#include "platform/DialogFolders.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"

#include <cmath>
#include <limits>

namespace cartography {

namespace {

const QString kApplication = QStringLiteral("DOVAZOV");
const QString kSection = QStringLiteral("Carto");
const QString kPaths = QStringLiteral("Paths");

QString Read(const QString& key, const QString& fallback = {}) {
    return platform::GetSetting(kApplication, kSection, key, fallback);
}

float ReadSingle(const QString& key, float fallback) {
    const std::optional<double> value = common::StrictNumber(Read(key).toStdString());
    if (!value || !std::isfinite(*value) || std::abs(*value) > std::numeric_limits<float>::max()) {
        return fallback;
    }
    return static_cast<float>(*value);
}

std::int32_t ReadLong(const QString& key, std::int32_t fallback) {
    const std::optional<double> value = common::StrictNumber(Read(key).toStdString());
    if (!value) {
        return fallback;
    }
    try {
        return common::ToInt32(*value);
    } catch (const std::exception&) {
        return fallback;
    }
}

QString WithSeparator(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ||
        folder.endsWith(QLatin1Char('\\'))) {
        return folder;
    }
    return folder + QLatin1Char('/');
}

} // namespace

CartoSettings ReadCartoSettings(const QString& programFolder) {
    CartoSettings s;
    s.Top = ReadSingle(QStringLiteral("Top"), s.Top);
    s.Left = ReadSingle(QStringLiteral("Left"), s.Left);
    s.LastMap = Read(QStringLiteral("LastMap"),
                     WithSeparator(programFolder) + QStringLiteral("carto/world.dsw"));
    s.SymbolColor = ReadLong(QStringLiteral("SymbolColor"), s.SymbolColor);
    s.SymbolDiameter = ReadLong(QStringLiteral("SymbolDiameter"), s.SymbolDiameter);
    return s;
}

void WriteCartoSettings(std::int32_t symbolColor, std::int32_t symbolDiameter, float top,
                        float left) {
    const auto save = [](const QString& key, const QString& value) {
        platform::SaveSetting(kApplication, kSection, key, value);
    };
    save(QStringLiteral("SymbolColor"), QString::number(symbolColor));
    save(QStringLiteral("SymbolDiameter"), QString::number(symbolDiameter));
    save(QStringLiteral("Top"), QString::fromStdString(common::CStrSingle(top)));
    save(QStringLiteral("Left"), QString::fromStdString(common::CStrSingle(left)));
}

void SaveLastMap(const QString& path) {
    platform::SaveSetting(kApplication, kSection, QStringLiteral("LastMap"), path);
}

QString MapFolderSetting(const QString& programFolder) {
    return platform::GetSetting(kApplication, kPaths, QStringLiteral("Carto"),
                                WithSeparator(programFolder) + QStringLiteral("carto/"));
}

void SaveMapFolderSetting(const QString& folder) {
    platform::SaveSetting(kApplication, kPaths, QStringLiteral("Carto"), folder);
}

QString LayerFolderSetting(const QString& programFolder) {
    return platform::GetSetting(kApplication, kPaths, QStringLiteral("ZEBCarto"),
                                WithSeparator(programFolder));
}

void SaveLayerFolderSetting(const QString& folder) {
    platform::SaveSetting(kApplication, kPaths, QStringLiteral("ZEBCarto"), folder);
}

QString FolderOf(const QString& path) {
    const qsizetype last =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return last < 0 ? QString() : path.left(last + 1);
}

QString AskOutputFile(const QString& filter) {
    platform::FileDialogRequest request;
    request.filter = filter;
    request.confirmOverwrite = true;
    request.folder = platform::GetSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Paths"),
                                          QStringLiteral("Data"), platform::DocumentsFolder());
    return platform::CurrentPrompter().saveFile(request);
}

} // namespace cartography
