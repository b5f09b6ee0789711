// The region pictures the build draws from Natural Earth: their size, and land and sea at places
// whose nature nobody disputes, found through the pictures' own corners.

#include "maps/RegionCanvas.h"
#include "maps/RegionProjection.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage Picture(int row) {
    const QString folder = QFileInfo(QStringLiteral(DOVAZOV_DATUM_DB)).path();
    return QImage(QDir(folder).filePath(
        QString::fromLatin1(maps::RegionTable()[static_cast<std::size_t>(row)].pictureFile)));
}

QRgb PixelAt(int row, double lat, double lon) {
    const maps::RegionRow& region = maps::RegionTable()[static_cast<std::size_t>(row)];
    const maps::RegionProjection p = maps::ProjectionOf(region);
    const maps::RegionCanvas canvas(Picture(row), maps::ExtentOf(region, p));
    const maps::PlanePoint pt = maps::ProjectDegrees(p, lat, lon);
    const QPointF px = canvas.toPixel(pt.x, pt.y);
    return canvas.image().pixel(static_cast<int>(px.x()), static_cast<int>(px.y()));
}

bool IsSea(QRgb pixel) {
    return qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 255;
}

TEST(RegionPictures, EveryPictureHasTheProportionsOfItsRegion) {
    for (int row = 0; row < maps::kRegionCount; ++row) {
        const maps::RegionRow& region = maps::RegionTable()[static_cast<std::size_t>(row)];
        SCOPED_TRACE(region.pictureFile);
        const QImage image = Picture(row);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(std::max(image.width(), image.height()), 680);
        const maps::RegionExtent e = maps::ExtentOf(region, maps::ProjectionOf(region));
        EXPECT_NEAR(static_cast<double>(image.width()) / image.height(), e.width() / e.height(),
                    2.0 / std::min(image.width(), image.height()));
    }
}

struct Place {
    int row;
    double lat, lon;
    bool land;
    const char* what;
};

void PrintTo(const Place& place, std::ostream* os) {
    *os << place.what;
}

class RegionPicturePlaces : public ::testing::TestWithParam<Place> {};

TEST_P(RegionPicturePlaces, LandAndSeaWhereTheyAre) {
    const Place& place = GetParam();
    EXPECT_EQ(!IsSea(PixelAt(place.row, place.lat, place.lon)), place.land) << place.what;
}

INSTANTIATE_TEST_SUITE_P(
    KnownPlaces, RegionPicturePlaces,
    ::testing::Values(Place{maps::EuropeRow(4), 52.1, 5.3, true, "Utrecht, Netherlands"},
                      Place{maps::EuropeRow(4), 52.9, 3.6, false, "North Sea off Holland"},
                      Place{maps::kBritishIslesRow, 53.0, -10.8, false, "Atlantic west of Ireland"},
                      Place{maps::kBritishIslesRow, 53.3, -7.8, true, "Irish midlands"},
                      Place{maps::EuropeRow(3), 50.6, 4.6, true, "Brabant, Belgium"},
                      Place{maps::EuropeRow(0), 48.0, 2.0, true, "Beauce, France"},
                      // Rings across the 180th meridian (Fiji, Chukotka) drawn flat would
                      // fill bands right across the world.
                      Place{maps::kWorldRow, -17.0, -30.0, false, "South Atlantic"},
                      Place{maps::kWorldRow, 66.0, -30.0, false, "Denmark Strait"},
                      Place{maps::kWorldRow, 66.0, 170.0, true, "Chukotka"},
                      Place{maps::kWorldRow, 72.0, -170.0, false, "Chukchi Sea"},
                      Place{maps::kWorldRow, 20.0, -150.0, false, "Pacific"}));

} // namespace
