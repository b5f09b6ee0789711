// Arbitrary bytes as a map description file and as a vector layer file. A read either succeeds
// or raises the program's numbered error; a description that reads sets up its projection and
// extent (or raises), and writes back to a text that reads as the same map. A vertex list never
// holds more vertices than the bytes could carry, and every vertex projects to a place, the hidden
// marker or a numbered error. Any other outcome is a finding.
#include "cartography/core/LayerFile.h"
#include "cartography/core/MapDescription.h"
#include "cartography/core/Projection.h"
#include "common/AppError.h"
#include "fuzz/support/Check.h"

#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using namespace cartography;

bool SameNumbers(const MapDescription& a, const MapDescription& b) {
    return a.ProjCode == b.ProjCode && a.PlainXmin == b.PlainXmin && a.PlainYmax == b.PlainYmax &&
           a.RefLatitude == b.RefLatitude && a.LatNorth == b.LatNorth && a.LonWest == b.LonWest &&
           a.StdParallel1 == b.StdParallel1 && a.MeridianDeg == b.MeridianDeg &&
           a.HasItem18 == b.HasItem18 && a.Item18 == b.Item18;
}

void Description(std::string_view bytes) {
    MapDescription map;
    try {
        map = ParseMapDescription(bytes, "folder/");
    } catch (const common::AppError&) {
        return;
    }
    fuzzsupport::Check(map.ProjCode >= 0 && map.ProjCode <= 13);
    const MapDescription again = ParseMapDescription(FormatMapDescription(map), "folder/");
    fuzzsupport::Check(SameNumbers(map, again));

    ProjectionState state;
    SetCylindricalFactors(state);
    try {
        SetUpProjection(map, state);
        const MapExtent extent = ComputeExtent(map, state);
        float lat = 0, lon = 0;
        ProjectionInverse(state, extent.Xmin, extent.Ymax, lat, lon);
        float x = 0, y = 0;
        Project(state, lat, lon, x, y);
    } catch (const common::AppError&) {
    }
}

// Every vertex through one projection (chosen by the first byte): a finite place, the hidden
// marker or a numbered error, never a NaN and never a hang.
void ProjectVertices(const LayerLine& line, int code) {
    ProjectionState state;
    SetCylindricalFactors(state);
    DefConstantes(state, 40, 60);
    StereoInit(state, 0.33f);
    OrthoInit(state, 0.8f);
    state.K9 = 0.5f;
    state.ProjCode = code;
    state.CentralMeridian = 0.17f;
    for (const LayerVertex& vertex : line.Vertices) {
        float x = 0, y = 0, lat = 0, lon = 0;
        try {
            Project(state, radian(vertex.Latitude), radian(vertex.Longitude), x, y);
            fuzzsupport::Check(!std::isnan(x) && !std::isnan(y));
            if (!IsHiddenPoint(x)) {
                ProjectionInverse(state, x, y, lat, lon);
                fuzzsupport::Check(!std::isnan(lat) && !std::isnan(lon));
            }
        } catch (const common::AppError&) {
        }
    }
}

void Layer(std::string_view bytes) {
    std::istringstream in{std::string(bytes)};
    const int code = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 14;
    try {
        LayerFileReader reader(in);
        std::size_t vertices = 0;
        while (auto line = reader.NextLine()) {
            ProjectVertices(*line, code);
            vertices += line->Vertices.size();
            fuzzsupport::Check(line->Vertices.size() <= line->VertexTotal());
            fuzzsupport::Check(line->Name.size() == 30);
        }
        fuzzsupport::Check(vertices * kLayerVertexSize <= bytes.size());
    } catch (const common::AppError& error) {
        fuzzsupport::Check(error.number() == common::kInputPastEnd);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Description(bytes);
    Layer(bytes);
    return 0;
}
