#pragma once

#include "../document/DistributionFixture.h"
#include "../geodesy/ProjReference.h"
#include "document/Recompute.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Molodensky.h"

#include <optional>
#include <utility>

namespace testing_support {

// A working table with the real datums, rows added by their coordinate text and datum.
class CommandsTest : public DistributionTest {
protected:
    static std::int64_t Row(std::optional<QString> original, std::optional<QString> datum,
                            std::optional<float> lat = 1.0F, std::optional<float> lon = 2.0F,
                            std::optional<QString> comment = std::nullopt) {
        document::Record r;
        r.PERIOD = 1;
        r.LATITUDE = lat;
        r.LONGITUDE = lon;
        r.ORIGINAL = std::move(original);
        r.DATUM = std::move(datum);
        r.COMMENT = std::move(comment);
        SQLite::Statement insert(document::WorkDb(), document::kInsertRecordSql);
        document::BindRecord(insert, r);
        insert.exec();
        return document::WorkDb().getLastInsertRowid();
    }
    static std::pair<float, float> Position(std::size_t row) {
        const document::Record r = Table().at(row);
        return {*r.LATITUDE, *r.LONGITUDE};
    }
    static QString Comment(std::size_t row) { return Table().at(row).COMMENT.value_or("<null>"); }
    static void ShowAll() { Show(document::Document().SqlTri); }
    static void SetDestination(const char* code) {
        geodesy::Datums().DestIndex = geodesy::DatumIndex(code);
        ASSERT_NE(geodesy::Datums().DestIndex, 0) << code;
    }
    static std::int16_t Index(const char* code) { return geodesy::DatumIndex(code); }

    // Degrees in datum `from` shifted to the destination datum, as the table stores them.
    static std::pair<float, float> Stored(double lat, double lon, const char* from) {
        double outLat = lat;
        double outLon = lon;
        geodesy::ShiftDatum(lat, lon, 0, outLat, outLon, Index(from), geodesy::Datums().DestIndex);
        return {document::FiveDecimals(outLat), document::FiveDecimals(outLon)};
    }
    // The PROJ inverse of a plane point, then as Stored.
    static std::pair<float, float> FromPlane(const char* geographic, const char* projected,
                                             double x, double y, const char* datum) {
        const testref::ProjGrid grid(geographic, projected);
        EXPECT_TRUE(grid.valid()) << projected;
        double lat = 0;
        double lon = 0;
        grid.inverse(x, y, lat, lon);
        return Stored(lat, lon, datum);
    }
};

// Positions within a unit of the fifth decimal: the reference and ours may round apart.
inline void ExpectPosition(std::pair<float, float> actual, std::pair<float, float> expected) {
    EXPECT_NEAR(actual.first, expected.first, 1.1e-5);
    EXPECT_NEAR(actual.second, expected.second, 1.1e-5);
}

} // namespace testing_support
