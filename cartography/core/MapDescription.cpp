#include "cartography/core/MapDescription.h"

#include "common/AppError.h"
#include "common/Numeric.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace cartography {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}
bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

[[noreturn]] void Fail(int number, const std::string& where) {
    throw common::AppError(number, common::ErrorDescription(number) + " (" + where + ")");
}

// The items of a description file, read one after another: the first three lines whole, then
// free-format items separated by commas or line ends (CR LF, LF or CR).
class ItemReader {
public:
    explicit ItemReader(std::string_view bytes) : text_(bytes) {}

    std::optional<std::string> Line() {
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsLineEnd(text_[pos_])) {
            ++pos_;
        }
        std::string line(text_.substr(start, pos_ - start));
        SkipLineEnd();
        return line;
    }

    // Whether anything but blanks and line ends is left.
    bool AtEnd() {
        while (pos_ < text_.size() && (IsBlank(text_[pos_]) || IsLineEnd(text_[pos_]))) {
            ++pos_;
        }
        return pos_ >= text_.size();
    }

    // The next item, without its quotes; nothing at the end of the file.
    std::optional<std::string> Item(bool& quoted) {
        if (AtEnd()) {
            return std::nullopt;
        }
        std::string item;
        quoted = text_[pos_] == '"';
        if (quoted) {
            const std::size_t close = text_.find('"', pos_ + 1);
            const std::size_t end = close == std::string_view::npos ? text_.size() : close;
            item.assign(text_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = close == std::string_view::npos ? end : end + 1;
            // Whatever stands between the closing quote and the separator is dropped.
            while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
                ++pos_;
            }
        } else {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
                ++pos_;
            }
            item.assign(text_.substr(start, pos_ - start));
            while (!item.empty() && IsBlank(item.back())) {
                item.pop_back();
            }
        }
        // One separator: a comma (and the line end right after it), or a line end.
        if (pos_ < text_.size() && text_[pos_] == ',') {
            ++pos_;
            std::size_t after = pos_;
            while (after < text_.size() && IsBlank(text_[after])) {
                ++after;
            }
            if (after < text_.size() && IsLineEnd(text_[after])) {
                pos_ = after;
                SkipLineEnd();
            }
        } else {
            SkipLineEnd();
        }
        return item;
    }

private:
    void SkipLineEnd() {
        if (pos_ < text_.size() && text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n') {
                ++pos_;
            }
        } else if (pos_ < text_.size() && text_[pos_] == '\n') {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

class DescriptionParser {
public:
    explicit DescriptionParser(std::string_view bytes) : reader_(bytes) {}

    std::string Line(const char* what) {
        auto line = reader_.Line();
        if (!line) {
            Fail(common::kInputPastEnd, std::string("the file ends before ") + what);
        }
        return *line;
    }

    std::string Text(int item, const char* what) {
        bool quoted = false;
        auto text = reader_.Item(quoted);
        if (!text) {
            Missing(item, what);
        }
        return *text;
    }

    double Number(int item, const char* what) {
        bool quoted = false;
        const auto text = reader_.Item(quoted);
        if (!text) {
            Missing(item, what);
        }
        std::string_view body = *text;
        while (!body.empty() && IsBlank(body.front())) {
            body.remove_prefix(1);
        }
        if (body.empty()) {
            return 0; // an empty item reads as 0
        }
        std::optional<double> value;
        try {
            value = common::StrictNumber(body);
        } catch (const common::AppError& error) {
            Fail(error.number(), Where(item, what));
        }
        if (!value) {
            throw common::AppError(common::kTypeMismatch,
                                   common::ErrorDescription(common::kTypeMismatch) + " (" +
                                       Where(item, what) + ": \"" + std::string(body) +
                                       "\" is not a number)");
        }
        return *value;
    }

    float Single(int item, const char* what) {
        const double value = Number(item, what);
        if (std::fabs(value) > FLT_MAX) {
            Fail(common::kOverflow, Where(item, what));
        }
        return static_cast<float>(value);
    }

    std::int16_t Integer(int item, const char* what) {
        const double value = Number(item, what);
        try {
            return common::ToInt16(value);
        } catch (const common::AppError& error) {
            Fail(error.number(), Where(item, what));
        }
    }

    bool AtEnd() { return reader_.AtEnd(); }

private:
    static std::string Where(int item, const char* what) {
        return "item " + std::to_string(item) + ", " + what;
    }
    [[noreturn]] static void Missing(int item, const char* what) {
        Fail(common::kInputPastEnd, "the file ends before " + Where(item, what));
    }

    ItemReader reader_;
};

void CheckCode(std::int16_t code) {
    if (code < 0 || code > 13) {
        throw common::AppError(common::kInvalidCall,
                               "Unknown projection code " + std::to_string(code) +
                                   ": a map description gives a code from 0 to 13");
    }
}

// The shortest text that reads back as the same Single; "." whatever the locale.
std::string NumberText(float value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

} // namespace

std::string MapFolderOf(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (IsSeparator(path[i - 1])) {
            return std::string(path.substr(0, i));
        }
    }
    return {};
}

std::string CompleteMapPath(std::string_view mapFolder, std::string_view line) {
    for (const char c : line) {
        if (IsSeparator(c)) {
            return std::string(line);
        }
    }
    return std::string(mapFolder) + std::string(line);
}

MapDescription ParseMapDescription(std::string_view bytes, std::string_view mapFolder) {
    MapDescription map;
    DescriptionParser in(bytes);
    map.MapFolder = std::string(mapFolder);
    map.Title = in.Line("line 1"); // ignored; kept for writing back
    map.BaseMapLine = in.Line("line 2, the base-map file");
    map.PictureLine = in.Line("line 3, the map picture");
    map.BaseMapPath = CompleteMapPath(mapFolder, map.BaseMapLine);
    map.PicturePath = CompleteMapPath(mapFolder, map.PictureLine);

    map.ProjCode = in.Integer(1, "projection code");
    CheckCode(map.ProjCode);
    if (map.ProjCode == 0) {
        map.PlainXmin = in.Single(2, "left edge");
        map.PlainXmax = in.Single(3, "right edge");
        map.PlainYmin = in.Single(4, "bottom edge");
        map.PlainYmax = in.Single(5, "top edge");
        return map;
    }
    map.RefLatitude = in.Single(2, "reference latitude");
    map.TextItem = in.Text(3, "text");
    map.LatNorth = in.Single(4, "north bound");
    map.LatSouth = in.Single(5, "south bound");
    map.LonEast = in.Single(6, "east bound");
    map.LonWest = in.Single(7, "west bound");
    map.StdParallel1 = in.Single(8, "first standard parallel");
    map.StdParallel2 = in.Single(9, "second standard parallel");
    map.Item10 = in.Integer(10, "integer");
    map.MeridianDeg = in.Single(11, "central meridian");
    for (int i = 0; i < 6; ++i) {
        map.Items12To17[i] = in.Integer(12 + i, "integer");
    }
    if (!in.AtEnd()) {
        map.HasItem18 = true;
        map.Item18 = in.Single(18, "optional number");
    }
    return map;
}

MapDescription ReadMapDescription(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        const int number =
            std::filesystem::exists(file) ? common::kPathFileAccess : common::kFileNotFound;
        Fail(number, file.string());
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    try {
        return ParseMapDescription(bytes, MapFolderOf(file.string()));
    } catch (const common::AppError& error) {
        throw common::AppError(error.number(), error.description() + " in " + file.string());
    }
}

std::string FormatMapDescription(const MapDescription& map) {
    const auto quoted = [](const std::string& text) {
        std::string out = "\"";
        for (const char c : text) {
            if (c != '"' && !IsLineEnd(c)) {
                out += c;
            }
        }
        return out + "\"";
    };
    const auto line = [](const std::string& text) {
        std::string out;
        for (const char c : text) {
            if (!IsLineEnd(c)) {
                out += c;
            }
        }
        return out + "\r\n";
    };
    std::string out = line(map.Title) + line(map.BaseMapLine) + line(map.PictureLine);
    out += std::to_string(map.ProjCode) + "\r\n";
    if (map.ProjCode == 0) {
        out += NumberText(map.PlainXmin) + "," + NumberText(map.PlainXmax) + "," +
               NumberText(map.PlainYmin) + "," + NumberText(map.PlainYmax) + "\r\n";
        return out;
    }
    out += NumberText(map.RefLatitude) + "," + quoted(map.TextItem) + "\r\n";
    out += NumberText(map.LatNorth) + "," + NumberText(map.LatSouth) + "," +
           NumberText(map.LonEast) + "," + NumberText(map.LonWest) + "\r\n";
    out += NumberText(map.StdParallel1) + "," + NumberText(map.StdParallel2) + "\r\n";
    out += std::to_string(map.Item10) + "," + NumberText(map.MeridianDeg) + "\r\n";
    for (int i = 0; i < 6; ++i) {
        out += std::to_string(map.Items12To17[i]) + (i < 5 ? "," : "\r\n");
    }
    if (map.HasItem18) {
        out += NumberText(map.Item18) + "\r\n";
    }
    return out;
}

void WriteMapDescription(const std::filesystem::path& file, const MapDescription& map) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    const std::string text = FormatMapDescription(map);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        Fail(common::kPathFileAccess, "cannot write " + file.string());
    }
}

void SetUpProjection(const MapDescription& map, ProjectionState& state) {
    CheckCode(map.ProjCode);
    ProjectionState next = state; // nothing changes when a step fails
    next.ProjCode = map.ProjCode;
    if (map.ProjCode != 0) {
        next.CentralMeridian = radian(map.MeridianDeg);
    }
    switch (map.ProjCode) {
    case 1:
        DefConstantes(next, map.StdParallel1, map.StdParallel2);
        break;
    case 3:
        // Half the north-south span, not the middle of the bounds: the stored pictures were
        // drawn with this centre.
        StereoInit(next, radian((map.LatNorth - map.LatSouth) / 2));
        break;
    case 9:
        next.K9 = static_cast<float>(std::cos(radian(map.RefLatitude)));
        break;
    case 10:
    case 13:
        OrthoInit(next, radian(map.RefLatitude));
        break;
    case 11:
    case 12:
        OrthoPoleInit(next, map.ProjCode);
        break;
    default:
        break;
    }
    state = next;
}

MapExtent ComputeExtent(const MapDescription& map, const ProjectionState& state) {
    MapExtent extent;
    if (map.ProjCode == 0) {
        extent.Xmin = map.PlainXmin;
        extent.Xmax = map.PlainXmax;
        extent.Ymin = map.PlainYmin;
        extent.Ymax = map.PlainYmax;
    } else if (map.ProjCode == 10 || map.ProjCode == 13) {
        constexpr float kDisc = static_cast<float>(6378388.0 / 1000.0);
        extent = {-kDisc, kDisc, -kDisc, kDisc};
    } else {
        const float s = radian(map.LatSouth);
        const float n = radian(map.LatNorth);
        const float w = radian(map.LonWest);
        const float e = radian(map.LonEast);
        const float l0 = state.CentralMeridian;
        const auto turn = [l0](double angle) { return static_cast<float>(l0 + angle); };
        struct Point {
            float lat;
            float lon;
        };
        Point p[4];
        switch (map.ProjCode) {
        case 1:
        case 3:
            p[0] = {s, w}, p[1] = {s, l0}, p[2] = {s, e}, p[3] = {n, e};
            break;
        case 4: {
            const float widest = s > 0 ? s : (n < 0 ? n : 0.0f);
            p[0] = {widest, w}, p[1] = {s, l0}, p[2] = {widest, e}, p[3] = {n, l0};
            break;
        }
        case 11:
            p[0] = {s, turn(4.71238898025)}, p[1] = {s, l0}, p[2] = {s, turn(1.57079632675)},
            p[3] = {s, turn(3.1415926535)};
            break;
        case 12:
            p[0] = {n, turn(4.71238898025)}, p[1] = {n, turn(3.1415926535)},
            p[2] = {n, turn(1.57079632675)}, p[3] = {n, l0};
            break;
        default: // 2, 5 to 9
            p[0] = {s, w}, p[1] = {s, l0}, p[2] = {s, e}, p[3] = {n, l0};
            break;
        }
        float x[4] = {};
        float y[4] = {};
        for (int i = 0; i < 4; ++i) {
            Project(state, p[i].lat, p[i].lon, x[i], y[i]);
            if (IsHiddenPoint(x[i])) {
                throw common::AppError(common::kInvalidCall,
                                       "The map's bounds reach beyond the side of the earth its "
                                       "projection shows");
            }
        }
        extent.Xmin = x[0];
        extent.Ymin = y[1];
        extent.Xmax = x[2];
        extent.Ymax = y[3];
    }
    extent.ExtentWidth = std::fabs(extent.Xmax - extent.Xmin);
    extent.ExtentHeight = extent.Ymax - extent.Ymin;
    extent.ExtentMax =
        extent.ExtentWidth > extent.ExtentHeight ? extent.ExtentWidth : extent.ExtentHeight;
    if (extent.ExtentWidth == 0 || extent.ExtentHeight == 0 || !std::isfinite(extent.ExtentMax)) {
        throw common::AppError(common::kInvalidCall, "The map covers no area: its extent is " +
                                                         NumberText(extent.ExtentWidth) + " by " +
                                                         NumberText(extent.ExtentHeight) + " km");
    }
    return extent;
}

} // namespace cartography
