#pragma once

// The build tools' outputs are written whole or not at all, so that an interrupted build never
// leaves half a picture or half a map file for the next one to take as done.

#include <QByteArray>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <stdexcept>

namespace tools {

inline void SaveWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw std::runtime_error((path + ": " + file.errorString()).toStdString());
    }
}

inline void SaveImageWhole(const QString& path, const QImage& image, const char* format) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, format) || !file.commit()) {
        throw std::runtime_error((path + ": " + file.errorString()).toStdString());
    }
}

} // namespace tools
