#include "cartography/core/LayerFile.h"

#include "common/AppError.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace cartography;

LayerLine Line(const std::string& name, char code, char style, std::vector<LayerVertex> vertices) {
    LayerLine line;
    line.Name = name;
    line.FeatureCode = code;
    line.StyleChar = style;
    line.Vertices = std::move(vertices);
    line.LatMin = 1e9f, line.LatMax = -1e9f, line.LonMin = 1e9f, line.LonMax = -1e9f;
    for (const LayerVertex& v : line.Vertices) {
        line.LatMin = std::min(line.LatMin, v.Latitude);
        line.LatMax = std::max(line.LatMax, v.Latitude);
        line.LonMin = std::min(line.LonMin, v.Longitude);
        line.LonMax = std::max(line.LonMax, v.Longitude);
    }
    return line;
}

std::vector<LayerLine> ReadAll(const std::string& bytes) {
    std::istringstream in(bytes);
    LayerFileReader reader(in);
    std::vector<LayerLine> lines;
    while (auto line = reader.NextLine()) {
        lines.push_back(std::move(*line));
    }
    return lines;
}

const std::vector<LayerLine> kLines = {
    Line("Coast", 'C', '1', {{-1, 50.5f, -4.25f}, {0, 50.75f, -4.0f}, {0, 51.0f, -3.5f}}),
    Line("River with a name thirty-five chars", 'R', '3', {}),
    Line("Lake", 'L', ' ', {{-1, -10.5f, 170.0f}, {1, -10.25f, 179.9f}}),
};

void SetVertexCount(std::string& bytes, std::size_t lineOffset, float count) {
    std::memcpy(bytes.data() + lineOffset + 33, &count, sizeof count);
}

TEST(LayerFile, LayoutAndRoundTrip) {
    const LayerHeader header{"Coastlines", "Made by the map set tool"};
    const std::string bytes = FormatLayerFile(header, kLines);
    EXPECT_EQ(bytes.size(), 116u + 3 * 61 + 5 * 11);
    // Little-endian fields at their stated offsets: the first vertex's pen and latitude.
    float lat = 0;
    std::memcpy(&lat, bytes.data() + 116 + 61 + 3, 4);
    EXPECT_EQ(lat, 50.5f);
    EXPECT_EQ(static_cast<unsigned char>(bytes[116 + 61]), 0xFF);

    std::istringstream in(bytes);
    LayerFileReader reader(in);
    EXPECT_EQ(reader.Header().Text1.substr(0, 10), "Coastlines");
    const std::vector<LayerLine> back = ReadAll(bytes);
    ASSERT_EQ(back.size(), kLines.size());
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].Name.size(), 30u);
        EXPECT_EQ(back[i].Name.substr(0, std::min<std::size_t>(kLines[i].Name.size(), 30)),
                  kLines[i].Name.substr(0, 30));
        EXPECT_EQ(back[i].FeatureCode, kLines[i].FeatureCode);
        EXPECT_EQ(back[i].StyleChar, kLines[i].StyleChar);
        EXPECT_EQ(back[i].LonMax, kLines[i].LonMax);
        EXPECT_EQ(back[i].VertexCount, static_cast<float>(kLines[i].Vertices.size()));
        ASSERT_EQ(back[i].Vertices.size(), kLines[i].Vertices.size());
        for (std::size_t k = 0; k < back[i].Vertices.size(); ++k) {
            EXPECT_EQ(back[i].Vertices[k].Pen, kLines[i].Vertices[k].Pen);
            EXPECT_EQ(back[i].Vertices[k].Latitude, kLines[i].Vertices[k].Latitude);
            EXPECT_EQ(back[i].Vertices[k].Longitude, kLines[i].Vertices[k].Longitude);
        }
    }
    EXPECT_EQ(back[0].Style(), 1);
    EXPECT_EQ(back[1].Style(), 3);
    EXPECT_EQ(back[2].Style(), 0);
}

TEST(LayerFile, VertexCountIsASingleRoundedDown) {
    std::string bytes = FormatLayerFile({}, kLines);
    // Three vertices stored under a count of 3.99: three are read and the next line follows.
    SetVertexCount(bytes, 116, 3.99f);
    const std::vector<LayerLine> lines = ReadAll(bytes);
    EXPECT_EQ(lines[0].Vertices.size(), 3u);
    EXPECT_EQ(lines[1].FeatureCode, 'R');

    LayerLine line;
    for (const auto& [count, total] : std::vector<std::pair<float, std::uint32_t>>{
             {2.7f, 2}, {0.5f, 0}, {-3.0f, 0}, {0.0f, 0}, {1.0f, 1}}) {
        line.VertexCount = count;
        EXPECT_EQ(line.VertexTotal(), total) << count;
    }
    line.VertexCount = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(line.VertexTotal(), 0u);
}

TEST(LayerFile, CutShortSaysWhere) {
    const std::string bytes = FormatLayerFile({}, kLines);
    const struct {
        std::size_t size;
        const char* says;
    } cuts[] = {
        {bytes.size() - 5, "vertex 2 of 2 of line record 3"},
        {116 + 61 + 11 + 4, "vertex 2 of 3 of line record 1 at byte 188"},
        {116 + 30, "line record 1 at byte 116"},
        {100, "header"},
    };
    for (const auto& cut : cuts) {
        try {
            ReadAll(bytes.substr(0, cut.size));
            ADD_FAILURE() << "no error for " << cut.size;
        } catch (const common::AppError& e) {
            EXPECT_EQ(e.number(), common::kInputPastEnd);
            EXPECT_NE(std::string(e.what()).find(cut.says), std::string::npos) << e.what();
        }
    }
    // A count far beyond the file stops at its end with the same error.
    std::string huge = bytes;
    SetVertexCount(huge, 116, 1e30f);
    EXPECT_THROW(ReadAll(huge), common::AppError);
}

TEST(LayerFile, FilesOnDisk) {
    const auto file = std::filesystem::temp_directory_path() / "cartography_core_layer.zeb";
    WriteLayerFile(file, {"a", "b"}, kLines);
    std::vector<std::string> names;
    ForEachLayerLine(file, [&](const LayerLine& line) { names.push_back(line.Name.substr(0, 4)); });
    EXPECT_EQ(names, (std::vector<std::string>{"Coas", "Rive", "Lake"}));
    std::filesystem::remove(file);
    try {
        LayerFileReader reader(file);
        ADD_FAILURE() << "no error";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), common::kFileNotFound);
    }
}

} // namespace
