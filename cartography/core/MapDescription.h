#pragma once

// Map description files (".dsw"): a small text file naming the map picture and the base-map
// PostScript file and telling how the picture is georeferenced. Lines end in CR LF, LF or CR;
// after the first three lines come free-format items separated by commas or line ends.

#include "cartography/core/Projection.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace cartography {

// The variables of a loaded map. Texts are the file's 8-bit bytes as stored (Windows-1252); the
// window decodes them for display and for opening files.
struct MapDescription {
    std::string MapFolder;   // folder of the .dsw path, up to and including its last separator
    std::string Title;       // line 1, ignored by the program
    std::string BaseMapLine; // line 2 as written
    std::string PictureLine; // line 3 as written
    std::string BaseMapPath; // line 2 completed with MapFolder (CompleteMapPath)
    std::string PicturePath; // line 3 completed with MapFolder

    std::int16_t ProjCode = 0;

    // Code 0: the picture's user-scale edges.
    float PlainXmin = 0;
    float PlainXmax = 0;
    float PlainYmin = 0;
    float PlainYmax = 0;

    // Codes 1 to 13, degrees.
    float RefLatitude = 0;
    std::string TextItem; // item 3, ignored
    float LatNorth = 0;
    float LatSouth = 0;
    float LonEast = 0;
    float LonWest = 0;
    float StdParallel1 = 0;
    float StdParallel2 = 0;
    std::int16_t Item10 = 0; // ignored
    float MeridianDeg = 0;
    std::int16_t Items12To17[6] = {}; // ignored
    bool HasItem18 = false;
    float Item18 = 0; // optional, not used
};

// The projected extent of a map in kilometres (code 0: from the plain edges).
struct MapExtent {
    float Xmin = 0;
    float Xmax = 0;
    float Ymin = 0;
    float Ymax = 0;
    float ExtentWidth = 0;
    float ExtentHeight = 0;
    float ExtentMax = 0;
};

// The folder part of a path: up to and including the last '\' or '/', "" when there is none.
std::string MapFolderOf(std::string_view path);
// A line-2/3 path without any separator gets the map folder in front; others stay as written.
std::string CompleteMapPath(std::string_view mapFolder, std::string_view line);

// Reading. Errors are common::AppError: 53 file not found (75 when it cannot be opened), 62 the
// file ends before item 17, 13 an item of the wrong form, 6 a number beyond the range of its type,
// and 5 for a projection code outside 0..13 (with a message that names the code). Messages name
// the item and, when reading a file, the file.
MapDescription ReadMapDescription(const std::filesystem::path& file);
// The same from the file's bytes; `mapFolder` is what the paths are completed with.
MapDescription ParseMapDescription(std::string_view bytes, std::string_view mapFolder);

// Writing (the program itself never writes these files; the map set tool and tests do). Lines end
// in CR LF; numbers are written so that they read back to the same Single.
std::string FormatMapDescription(const MapDescription& map);
void WriteMapDescription(const std::filesystem::path& file, const MapDescription& map);

// The projection set-up of a loaded map by its code: the Lambert constants (1), the stereographic
// centre at half the north-south span (3), k9 (9), the orthographic centre at the reference
// latitude (10, 13), the north pole (11) and the south pole (12), and the central meridian.
// The other fields of `state` keep their values (k6, k7 and k8 are set when the window opens).
void SetUpProjection(const MapDescription& map, ProjectionState& state);

// The projected extent of the map once its projection is set up (code 0: Xmin..Ymax are the plain
// edges). common::AppError for an arithmetic fault, and error 5 for bounds on the side of the earth
// the projection hides or an extent without width or height (no user scale can be made of it).
MapExtent ComputeExtent(const MapDescription& map, const ProjectionState& state);

} // namespace cartography
