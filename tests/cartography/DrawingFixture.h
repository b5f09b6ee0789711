#pragma once

// Shared by the drawing tests: a white canvas scaled on a plate carrée map (10 pixels a degree,
// the centre at 0/0), its projection, and a working document shown by Data1 with a main window
// that keeps its selected rows in a list.

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

#include <QColor>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace carto_drawing_test {

// Kilometres of a degree on the sphere of radius 6378.388 km of the plate carrée (x = R λ, y = R
// φ).
inline constexpr double kKmPerDegree = 6378.388 * std::numbers::pi / 180.0;
inline constexpr int kSide = 200;
inline constexpr double kPixelsPerDegree = 10.0;

// The pixel of a position on the plate carrée canvas, from the projection's own formula.
inline QPoint PixelOf(double lat, double lon) {
    return {static_cast<int>(std::lround(kSide / 2.0 + lon * kPixelsPerDegree)),
            static_cast<int>(std::lround(kSide / 2.0 - lat * kPixelsPerDegree))};
}

inline QColor Bgr(std::int32_t value) {
    return QColor(value & 255, (value >> 8) & 255, (value >> 16) & 255);
}

// A plate carrée map from 10° south to 10° north and 10° west to 10° east on a white canvas.
inline void SetUpPlateCarree(cartography::CartoSession& session, cartography::MapCanvas& canvas) {
    QImage white(kSide, kSide, QImage::Format_RGB32);
    white.fill(Qt::white);
    canvas.setPicture(white);
    const auto half = static_cast<float>(10.0 * kKmPerDegree);
    canvas.setScale(-half, half, 2 * half, -2 * half);
    session.projection = {};
    session.projection.ProjCode = 5;
    session.map.ProjCode = 5;
    session.map.LatNorth = 10;
    session.map.LatSouth = -10;
    session.map.LonEast = 10;
    session.map.LonWest = -10;
    session.extent = {-half, half, -half, half, 2 * half, 2 * half, 2 * half};
    session.georeferenced = true;
}

// The working document and the main window's selection.
class DocumentTest : public testing_support::WorkTableTest {
protected:
    void SetUp() override {
        testing_support::WorkTableTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        Show(QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter"));
        host.selectedRows = [this] { return selected; };
        host.currentRow = [] { return std::int64_t{0}; };
        host.setCurrentRow = [](std::int64_t) {};
    }

    static std::int64_t Add(std::optional<float> lat, std::optional<float> lon) {
        document::Record r;
        r.PERIOD = 1;
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        r.DATUM = QStringLiteral("EUR-M");
        r.ORIGINAL = QStringLiteral("deg");
        return document::Data1().recordset().addNew(r);
    }

    testing_support::ScriptedPrompter prompter;
    maps::MapHost host;
    std::vector<std::int64_t> selected;
};

} // namespace carto_drawing_test
