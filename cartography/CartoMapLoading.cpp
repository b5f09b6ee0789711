#include "cartography/CartoMapLoading.h"

#include "cartography/CartoSession.h"
#include "cartography/CartoSettings.h"
#include "cartography/MapCanvas.h"
#include "common/AppError.h"
#include "common/Numeric.h"
#include "platform/Windows1252.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <cmath>

namespace cartography {

namespace {

QString Slashes(QString path) {
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QImage LoadPicture(const QString& file) {
    if (!QFileInfo(file).isFile()) {
        throw common::AppError(common::kFileNotFound,
                               common::ErrorDescription(common::kFileNotFound) + " (map picture " +
                                   file.toStdString() + ")");
    }
    QImageReader reader(file);
    QImage picture = reader.read();
    if (picture.isNull()) {
        throw common::AppError(common::kInvalidPicture,
                               common::ErrorDescription(common::kInvalidPicture) + " (" +
                                   file.toStdString() + ": " + reader.errorString().toStdString() +
                                   ")");
    }
    return picture;
}

bool UsableSpan(float span) {
    return span != 0.0F && std::isfinite(span);
}

} // namespace

QString MapFilePath(const QString& descriptionPath, const std::string& line) {
    const QString text = platform::DecodeWindows1252(QByteArrayView(line.data(), line.size()));
    if (text.contains(QLatin1Char('\\')) || text.contains(QLatin1Char('/'))) {
        return Slashes(text);
    }
    return Slashes(FolderOf(descriptionPath)) + text;
}

void LoadMap(CartoSession& session, MapCanvas& canvas, const QString& path) {
    const MapDescription map =
        ReadMapDescription(std::filesystem::path(Slashes(path).toStdString()));
    const QImage picture = LoadPicture(MapFilePath(path, map.PictureLine));

    ProjectionState projection = session.projection;
    SetUpProjection(map, projection);
    MapExtent extent = ComputeExtent(map, projection);
    extent.ExtentWidth = std::abs(extent.Xmax - extent.Xmin);
    extent.ExtentHeight = extent.Ymax - extent.Ymin;
    extent.ExtentMax = std::max(extent.ExtentWidth, extent.ExtentHeight);
    const float scaleWidth = extent.Xmax - extent.Xmin;
    const float scaleHeight = -(extent.Ymax - extent.Ymin);
    if (!UsableSpan(scaleWidth) || !UsableSpan(scaleHeight)) {
        throw common::AppError(common::kInvalidCall,
                               common::ErrorDescription(common::kInvalidCall) +
                                   " (the map covers no area: " + path.toStdString() + ")");
    }

    canvas.setPicture(picture);
    canvas.setScale(extent.Xmin, extent.Ymax, scaleWidth, scaleHeight);
    session.map = map;
    session.projection = projection;
    session.extent = extent;
    session.georeferenced = map.ProjCode != 0;
    if (map.ProjCode == 0) {
        session.Options.Raz();
    }
    session.GridShown = false;
    SaveLastMap(path);
}

QString LoadFailureText(const std::exception& error) {
    const auto* numbered = dynamic_cast<const common::AppError*>(&error);
    const int number = numbered ? numbered->number() : 0;
    return QString::fromUtf8(error.what()) + QLatin1Char(' ') +
           QString::fromStdString(common::StrSingle(static_cast<float>(number)));
}

} // namespace cartography
