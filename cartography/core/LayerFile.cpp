#include "cartography/core/LayerFile.h"

#include "common/AppError.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace cartography {

namespace {

static_assert(std::endian::native == std::endian::little,
              "layer files are little-endian; add byte swapping for this platform");

float FloatAt(const char* bytes) {
    float value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

std::int16_t Int16At(const char* bytes) {
    std::int16_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

void PutFloat(std::string& out, float value) {
    char bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    out.append(bytes, sizeof bytes);
}

// A fixed-width text field: cut or padded with blanks.
void PutText(std::string& out, const std::string& text, std::size_t width) {
    std::string field = text.substr(0, width);
    field.resize(width, ' ');
    out += field;
}

[[noreturn]] void CutShort(const std::string& what, std::uint64_t offset, std::size_t wanted,
                           std::size_t got) {
    throw common::AppError(common::kInputPastEnd,
                           "The layer file is cut short: " + what + " at byte " +
                               std::to_string(offset) + " needs " + std::to_string(wanted) +
                               " bytes, " + std::to_string(got) + " are left");
}

} // namespace

int LayerLine::Style() const {
    return StyleChar >= '0' && StyleChar <= '9' ? StyleChar - '0' : 0;
}

std::uint32_t LayerLine::VertexTotal() const {
    // The drawing loop counts k = 1, 2, ... while k <= the stored count.
    if (!(VertexCount >= 1)) {
        return 0;
    }
    if (VertexCount >= 4294967295.0f) {
        return UINT32_MAX; // more than any file holds: the reader stops at the file's end
    }
    return static_cast<std::uint32_t>(std::floor(VertexCount));
}

LayerFileReader::LayerFileReader(const std::filesystem::path& file)
    : file_(std::make_unique<std::ifstream>(file, std::ios::binary)), in_(file_.get()) {
    if (!*file_) {
        const int number =
            std::filesystem::exists(file) ? common::kPathFileAccess : common::kFileNotFound;
        throw common::AppError(number,
                               common::ErrorDescription(number) + " (" + file.string() + ")");
    }
    ReadHeader();
}

LayerFileReader::LayerFileReader(std::istream& in) : in_(&in) {
    ReadHeader();
}

void LayerFileReader::ReadHeader() {
    char bytes[kLayerHeaderSize];
    in_->read(bytes, sizeof bytes);
    const auto got = static_cast<std::size_t>(in_->gcount());
    if (got != sizeof bytes) {
        CutShort("the header", 0, sizeof bytes, got);
    }
    header_.Text1.assign(bytes, 50);
    header_.Text2.assign(bytes + 50, 50);
    offset_ = kLayerHeaderSize;
}

std::optional<LayerLine> LayerFileReader::NextLine() {
    char record[kLayerLineSize];
    in_->read(record, sizeof record);
    const auto got = static_cast<std::size_t>(in_->gcount());
    if (got == 0) {
        return std::nullopt;
    }
    ++lineNumber_;
    const std::string lineLabel = "line record " + std::to_string(lineNumber_);
    if (got != sizeof record) {
        CutShort(lineLabel, offset_, sizeof record, got);
    }
    LayerLine line;
    line.Name.assign(record, 30);
    line.FeatureCode = record[30];
    line.StyleChar = record[31];
    line.VertexCount = FloatAt(record + 33);
    line.LatMin = FloatAt(record + 37);
    line.LatMax = FloatAt(record + 41);
    line.LonMin = FloatAt(record + 45);
    line.LonMax = FloatAt(record + 49);
    offset_ += kLayerLineSize;

    const std::uint32_t total = line.VertexTotal();
    for (std::uint32_t k = 1; k <= total; ++k) {
        char vertex[kLayerVertexSize];
        in_->read(vertex, sizeof vertex);
        const auto vertexGot = static_cast<std::size_t>(in_->gcount());
        if (vertexGot != sizeof vertex) {
            CutShort("vertex " + std::to_string(k) + " of " + std::to_string(total) + " of " +
                         lineLabel,
                     offset_, sizeof vertex, vertexGot);
        }
        line.Vertices.push_back({Int16At(vertex), FloatAt(vertex + 3), FloatAt(vertex + 7)});
        offset_ += kLayerVertexSize;
    }
    return line;
}

void ForEachLayerLine(const std::filesystem::path& file,
                      const std::function<void(const LayerLine&)>& onLine) {
    LayerFileReader reader(file);
    while (auto line = reader.NextLine()) {
        onLine(*line);
    }
}

std::string FormatLayerFile(const LayerHeader& header, const std::vector<LayerLine>& lines) {
    std::string out;
    PutText(out, header.Text1, 50);
    PutText(out, header.Text2, 50);
    out.append(16, '\0');
    for (const LayerLine& line : lines) {
        PutText(out, line.Name, 30);
        out += line.FeatureCode;
        out += line.StyleChar;
        out += ' ';
        PutFloat(out, static_cast<float>(line.Vertices.size()));
        PutFloat(out, line.LatMin);
        PutFloat(out, line.LatMax);
        PutFloat(out, line.LonMin);
        PutFloat(out, line.LonMax);
        out.append(8, '\0');
        for (const LayerVertex& vertex : line.Vertices) {
            char pen[2];
            std::memcpy(pen, &vertex.Pen, sizeof pen);
            out.append(pen, sizeof pen);
            out += '\0';
            PutFloat(out, vertex.Latitude);
            PutFloat(out, vertex.Longitude);
        }
    }
    return out;
}

void WriteLayerFile(const std::filesystem::path& file, const LayerHeader& header,
                    const std::vector<LayerLine>& lines) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const std::string bytes = FormatLayerFile(header, lines);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw common::AppError(common::kPathFileAccess,
                               common::ErrorDescription(common::kPathFileAccess) +
                                   " (cannot write " + file.string() + ")");
    }
}

} // namespace cartography
