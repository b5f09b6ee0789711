#pragma once

// Vector layer files (".zeb"): binary, little-endian, a 116-byte header, then line records of 61
// bytes, each followed by its vertex records of 11 bytes. Read as a stream, one line at a time, so
// that a large file is never held whole.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cartography {

inline constexpr std::size_t kLayerHeaderSize = 116;
inline constexpr std::size_t kLayerLineSize = 61;
inline constexpr std::size_t kLayerVertexSize = 11;

struct LayerVertex {
    std::int16_t Pen = 0; // -1: the line gathered so far ends here and a new one begins
    float Latitude = 0;   // decimal degrees
    float Longitude = 0;  // decimal degrees, east positive
};

struct LayerLine {
    std::string Name;       // 30 bytes, as stored (trailing blanks kept)
    char FeatureCode = ' '; // "R", "L", "C", ...
    char StyleChar = ' ';   // the style digit as stored
    float VertexCount = 0;  // as stored; the number of vertices read is VertexTotal()
    float LatMin = 0;
    float LatMax = 0;
    float LonMin = 0;
    float LonMax = 0;
    std::vector<LayerVertex> Vertices;

    // The style digit as a number: "1" is 1, a blank or a letter 0.
    int Style() const;
    // The vertex records that follow the line record: the stored count rounded down, 0 for a
    // negative or non-finite count.
    std::uint32_t VertexTotal() const;
};

struct LayerHeader {
    std::string Text1; // 50 bytes
    std::string Text2; // 50 bytes
};

// Pull reader over a stream. Errors are common::AppError: 53 for a missing file, 62 for a file
// cut short (the message names the record and its byte offset).
class LayerFileReader {
public:
    explicit LayerFileReader(const std::filesystem::path& file);
    explicit LayerFileReader(std::istream& in);

    const LayerHeader& Header() const { return header_; }
    // The next line with its vertices, or nothing at the end of the file.
    std::optional<LayerLine> NextLine();

private:
    void ReadHeader();

    std::unique_ptr<std::ifstream> file_;
    std::istream* in_;
    LayerHeader header_;
    std::uint64_t offset_ = 0;
    std::uint64_t lineNumber_ = 0;
};

// Every line of a file in order.
void ForEachLayerLine(const std::filesystem::path& file,
                      const std::function<void(const LayerLine&)>& onLine);

// Writing, for the map set tool and tests. The vertex count is written from Vertices.size().
std::string FormatLayerFile(const LayerHeader& header, const std::vector<LayerLine>& lines);
void WriteLayerFile(const std::filesystem::path& file, const LayerHeader& header,
                    const std::vector<LayerLine>& lines);

} // namespace cartography
