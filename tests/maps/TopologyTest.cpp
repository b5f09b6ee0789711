// The picture tool's TopoJSON reader on a small topology written here: delta-decoded, transformed
// arcs, rings joined from reversed arcs, shared borders, and rings across the 180th meridian.

#include "make_region_pictures_topology.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Two one-degree squares side by side sharing arc 1, their common edge; quantised in half
// degrees from (10, 40).
constexpr char kTopology[] = R"({"type":"Topology",
 "transform":{"scale":[0.5,0.5],"translate":[10,40]},
 "objects":{"countries":{"type":"GeometryCollection","geometries":[
   {"type":"Polygon","arcs":[[0,1]]},
   {"type":"MultiPolygon","arcs":[[[2,-2]]]}]}},
 "arcs":[[[2,2],[-2,0],[0,-2],[2,0]],
         [[2,0],[0,2]],
         [[2,2],[0,-2],[2,0],[0,2],[-2,0]]]})";

tools::Topology Read(const QTemporaryDir& dir) {
    QFile file(dir.filePath("t.json"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kTopology);
    file.close();
    return tools::ReadTopology(file.fileName());
}

TEST(Topology, ArcsAreDeltaDecodedAndTransformed) {
    QTemporaryDir dir;
    const tools::Topology t = Read(dir);
    ASSERT_EQ(t.arcs.size(), 3U);
    // (2,2) -> (11,41); then deltas: (0,2) -> (10,41); (0,0) -> (10,40); (2,0) -> (11,40).
    EXPECT_EQ(t.arcs[0], (tools::Ring{{11, 41}, {10, 41}, {10, 40}, {11, 40}}));
    EXPECT_EQ(t.arcs[1], (tools::Ring{{11, 40}, {11, 41}}));
}

TEST(Topology, RingsJoinArcsAndSharedArcsAreBorders) {
    QTemporaryDir dir;
    const tools::Topology t = Read(dir);
    const std::vector<tools::Ring> rings = tools::CollectionRings(t, "countries");
    ASSERT_EQ(rings.size(), 2U);
    EXPECT_EQ(rings[0], (tools::Ring{{11, 41}, {10, 41}, {10, 40}, {11, 40}, {11, 41}}));
    // Arc 2 then arc 1 reversed: back along the common edge.
    EXPECT_EQ(rings[1], (tools::Ring{{11, 41}, {11, 40}, {12, 40}, {12, 41}, {11, 41}, {11, 40}}));
    EXPECT_EQ(tools::SharedArcs(t, "countries"), (std::vector<tools::Ring>{t.arcs[1]}));
    EXPECT_THROW(tools::ReadTopology(dir.filePath("missing.json")), std::runtime_error);
}

TEST(Topology, RingsAcrossTheAntimeridianBecomeContinuous) {
    // An island on the 180th meridian, written as the data has it: -180 after +179.
    const tools::Ring island{{179, -16}, {-179, -16}, {-179, -17}, {179, -17}, {179, -16}};
    EXPECT_EQ(tools::Unwrapped(island, true),
              (tools::Ring{{179, -16}, {181, -16}, {181, -17}, {179, -17}, {179, -16}}));
    // A ring round the south pole closes along the pole's parallel.
    const tools::Ring antarctic{{-180, -70}, {-90, -70}, {0, -70}, {90, -70}, {180, -70}};
    const tools::Ring closed = tools::Unwrapped(antarctic, true);
    ASSERT_EQ(closed.size(), 7U);
    EXPECT_EQ(closed[5], QPointF(180, -90));
    EXPECT_EQ(closed[6], QPointF(-180, -90));
}

} // namespace
