#include "cartography/ImageOutput.h"

#include "cartography/CartoSettings.h"
#include "cartography/MapCanvas.h"
#include "common/AppError.h"
#include "platform/ErrorBox.h"
#include "platform/FileReplacement.h"
#include "platform/WaitCursor.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRect>

namespace cartography {

namespace {

// The old picture box's units: 1440 twips to the inch, and 15 twips to a screen pixel.
constexpr double kTwipsPerInch = 1440.0;
constexpr double kScreenDpi = 96.0;
constexpr double kPrintMargin = 50.0; // twips

// Writes `image` at `path` as a Windows bitmap; throws platform::FileWriteError.
void SaveBitmap(const QImage& image, const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A picture box's image has no transparency: 24 bits per pixel, as the screen shows it.
    if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) {
        throw platform::FileWriteError(QStringLiteral("The picture could not be encoded"), path);
    }
    platform::ReplaceFile(path, bytes);
}

} // namespace

void SauveImage(MapCanvas& canvas) {
    try {
        const QString path = AskOutputFile(
            QStringLiteral("Fichiers bitmap (*.bmp)|*.bmp|Tous les fichiers (*.*)|*.*"));
        if (path.isEmpty()) {
            return;
        }
        const platform::WaitCursor wait;
        SaveBitmap(canvas.image(), path);
    } catch (const platform::FileWriteError& failure) {
        platform::ShowError(
            common::kPathFileAccess,
            QString::fromStdString(common::ErrorDescription(common::kPathFileAccess)) +
                QStringLiteral(": ") + failure.text());
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
}

void PrintMap(MapCanvas& canvas, QPrinter& printer) {
    const QImage& image = canvas.image();
    QPainter painter;
    if (!painter.begin(&printer)) {
        platform::ShowError(common::kPrinterError, QString::fromStdString(common::ErrorDescription(
                                                       common::kPrinterError)));
        return;
    }
    const double dpi = printer.resolution();
    const double margin = kPrintMargin / kTwipsPerInch * dpi;
    const QRectF target(margin, margin, image.width() / kScreenDpi * dpi,
                        image.height() / kScreenDpi * dpi);
    painter.drawImage(target, image);
    // Ending the painter ends the job and sends the page.
    painter.end();
}

} // namespace cartography
