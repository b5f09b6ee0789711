#pragma once

// A cartography session on a plate carrée map whose extent the test chooses, the real prologue
// in its map folder, the base-map fixture, and a working table shown by Data1; and the
// Ghostscript check of a written EPS file.

#include "../document/WorkTableFixture.h"
#include "../support/ScriptedPrompter.h"
#include "cartography/CartoSession.h"
#include "cartography/MapCanvas.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/Record.h"
#include "document/RecordSet.h"
#include "document/WorkDatabase.h"
#include "maps/MapRecords.h"
#include "platform/ProgramSettings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace eps_test {

inline QString SourcePath(const char* relative) {
    return QStringLiteral(DOVAZOV_SOURCE_DIR "/") + QLatin1String(relative);
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The lines of an EPS file, which must all end in CR LF.
inline QStringList EpsLines(const QString& path) {
    QByteArray bytes = ReadAll(path);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    bytes.chop(2);
    return QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
}

struct Box {
    double x1, y1, x2, y2;
};

inline std::optional<Box> BoxOf(const QString& text, const QString& key) {
    const QRegularExpression pattern(
        QLatin1String("^%%") + key +
            QStringLiteral(":\\s*([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)"
                           "\\s+([-\\d.]+)\\s*$"),
        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    return Box{m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
               m.captured(4).toDouble()};
}

// Ghostscript renders the file without error, and the box it finds drawn lies inside the file's
// own bounding box.
inline void ExpectGhostscriptAccepts(const QString& path) {
    QProcess gs;
    gs.start(QStringLiteral("gs"),
             {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
              QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=bbox"), path});
    ASSERT_TRUE(gs.waitForFinished(60000));
    const QString out = QString::fromLatin1(gs.readAllStandardOutput() + gs.readAllStandardError());
    EXPECT_EQ(gs.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gs.exitCode(), 0) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("Error"))) << out.toStdString();
    const std::optional<Box> drawn = BoxOf(out, QStringLiteral("HiResBoundingBox"));
    const std::optional<Box> declared =
        BoxOf(QString::fromLatin1(ReadAll(path)).remove(QLatin1Char('\r')),
              QStringLiteral("BoundingBox"));
    ASSERT_TRUE(drawn.has_value()) << out.toStdString();
    ASSERT_TRUE(declared.has_value());
    // Something is drawn, and all of it within the declared box. The frame's top is the box's
    // top, and the device finds it to within one of its pixels (72/4000 point).
    constexpr double kDevicePixel = 72.0 / 4000.0;
    EXPECT_LT(drawn->x1, drawn->x2);
    EXPECT_GE(drawn->x1, declared->x1 - kDevicePixel);
    EXPECT_GE(drawn->y1, declared->y1 - kDevicePixel);
    EXPECT_LE(drawn->x2, declared->x2 + kDevicePixel);
    EXPECT_LE(drawn->y2, declared->y2 + kDevicePixel);
}

class EpsTest : public testing_support::WorkTableTest {
protected:
    void SetUp() override {
        testing_support::WorkTableTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        host.selectedRows = [] { return std::vector<std::int64_t>{}; };
        host.currentRow = [] { return std::int64_t{0}; };
        host.setCurrentRow = [](std::int64_t) {};

        mapFolder = folder() + QStringLiteral("/map/");
        programFolder = folder() + QStringLiteral("/program/");
        ASSERT_TRUE(QDir().mkpath(mapFolder));
        ASSERT_TRUE(QDir().mkpath(programFolder));
        ASSERT_TRUE(QFile::copy(SourcePath("resources/carto/prolzeb.ps"),
                                mapFolder + QStringLiteral("prolzeb.ps")));
        session.map.MapFolder = mapFolder.toStdString();
        session.map.BaseMapPath = SourcePath("tests/fixtures/cartography/basemap.ps").toStdString();
        session.programFolder = programFolder;
        session.georeferenced = true;
        session.projection.ProjCode = 5; // plate carrée, centred on Greenwich
        session.map.ProjCode = 5;
        session.map.LatSouth = 40.0F;
        session.map.LatNorth = 50.0F;
        session.map.LonWest = -9.0F;
        session.map.LonEast = 9.0F;
        session.Options.SetSymbolDiameter(-1);    // a fiftieth of the map's larger side
        session.Options.SetSymbolColor(0x0000FF); // red
        SetExtent(-1000.0F, 4500.0F, 2000.0F, 1000.0F);
    }

    void SetExtent(float xmin, float ymin, float width, float height) {
        cartography::MapExtent& e = session.extent;
        e.Xmin = xmin;
        e.Ymin = ymin;
        e.Xmax = xmin + width;
        e.Ymax = ymin + height;
        e.ExtentWidth = width;
        e.ExtentHeight = height;
        e.ExtentMax = std::max(width, height);
    }

    static std::int64_t Add(float lat, float lon) {
        document::Record r;
        r.PERIOD = 1;
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        r.DATUM = QStringLiteral("EUR-M");
        r.ORIGINAL = QStringLiteral("deg");
        return document::Data1().recordset().addNew(r);
    }

    QString path(const QString& name) const { return folder() + QLatin1Char('/') + name; }

    testing_support::ScriptedPrompter prompter;
    maps::MapHost host;
    cartography::CartoSession session;
    cartography::MapCanvas canvas;
    QString mapFolder;
    QString programFolder;
};

} // namespace eps_test
