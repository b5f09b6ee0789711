#pragma once

// Files from outside for the tests of the readers of outside databases: the real files that
// scripts/install-deps fetches from npm, and bytes that are no file format at all.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <gtest/gtest.h>

namespace testing_support {

// The path of a file of an npm package in the project's cache.
inline QString NpmFile(const QString& path) {
    const QString file = QDir(DOVAZOV_NPM_DATA).filePath(path);
    EXPECT_TRUE(QFile::exists(file)) << path.toStdString() << ": run scripts/install-deps";
    return file;
}

inline QByteArray NpmFileBytes(const QString& path) {
    QFile file(NpmFile(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `size` bytes of a linear congruential sequence started at `seed`: the same noise on every run.
inline QByteArray NoiseBytes(int size, std::uint32_t seed) {
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1664525U + 1013904223U;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

} // namespace testing_support
