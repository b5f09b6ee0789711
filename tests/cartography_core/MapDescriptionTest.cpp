#include "cartography/core/MapDescription.h"

#include "../geodesy/ProjReference.h"
#include "common/AppError.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

using namespace cartography;

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// A Europe map on the conic projection, as a user's file would give it.
const char* const kEurope = "Europe\r\n"
                            "europe.ps\r\n"
                            "europe.bmp\r\n"
                            "1\r\n"
                            "0,\"conic, two parallels\"\r\n"
                            "73,35,46,-12\r\n"
                            "40,60\r\n"
                            "0,10\r\n"
                            "0,0,0,0,0,0\r\n";

int ErrorNumber(std::string_view bytes, std::string* message = nullptr) {
    try {
        ParseMapDescription(bytes, "");
    } catch (const common::AppError& e) {
        if (message != nullptr) {
            *message = e.what();
        }
        return e.number();
    }
    return 0;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(MapDescription, ReadsTheItems) {
    const MapDescription map = ParseMapDescription(kEurope, "/maps/");
    EXPECT_EQ(map.Title, "Europe");
    EXPECT_EQ(map.BaseMapPath, "/maps/europe.ps");
    EXPECT_EQ(map.PicturePath, "/maps/europe.bmp");
    EXPECT_EQ(map.ProjCode, 1);
    EXPECT_EQ(map.TextItem, "conic, two parallels");
    EXPECT_EQ(map.LatNorth, 73.0f);
    EXPECT_EQ(map.LatSouth, 35.0f);
    EXPECT_EQ(map.LonEast, 46.0f);
    EXPECT_EQ(map.LonWest, -12.0f);
    EXPECT_EQ(map.StdParallel1, 40.0f);
    EXPECT_EQ(map.StdParallel2, 60.0f);
    EXPECT_EQ(map.MeridianDeg, 10.0f);
    EXPECT_FALSE(map.HasItem18); // ends right after item 17: the optional value is 0
    EXPECT_EQ(map.Item18, 0.0f);
}

TEST(MapDescription, LineEndsAndItemLayoutDoNotMatter) {
    const MapDescription crlf = ParseMapDescription(kEurope, "");
    const std::string lf = Replace(kEurope, "\r\n", "\n");
    const std::string cr = Replace(kEurope, "\r\n", "\r");
    // Items one per line, blanks around numbers, a trailing item 18.
    const std::string free =
        Replace(Replace(kEurope, ",", "\r\n"), "\r\n0\r\n10\r\n", "\r\n 0 \r\n 10 \r\n") +
        "2.5\r\n";
    for (const std::string& text :
         {lf, cr, Replace(free, "\"conic\r\n two parallels\"", "conic")}) {
        const MapDescription map = ParseMapDescription(text, "");
        EXPECT_EQ(map.PictureLine, "europe.bmp");
        EXPECT_EQ(map.ProjCode, crlf.ProjCode);
        EXPECT_EQ(map.LonWest, crlf.LonWest);
        EXPECT_EQ(map.MeridianDeg, crlf.MeridianDeg);
    }
    EXPECT_EQ(ParseMapDescription(Replace(free, "\"conic\r\n two parallels\"", "conic"), "").Item18,
              2.5f);
}

TEST(MapDescription, PathCompletion) {
    EXPECT_EQ(MapFolderOf("C:\\maps\\europe.dsw"), "C:\\maps\\");
    EXPECT_EQ(MapFolderOf("/home/me/carto/world.dsw"), "/home/me/carto/");
    EXPECT_EQ(MapFolderOf("world.dsw"), "");
    EXPECT_EQ(CompleteMapPath("C:\\maps\\", "europe.bmp"), "C:\\maps\\europe.bmp");
    EXPECT_EQ(CompleteMapPath("C:\\maps\\", "pics\\europe.bmp"), "pics\\europe.bmp");
    EXPECT_EQ(CompleteMapPath("/maps/", "pics/europe.bmp"), "pics/europe.bmp");
    EXPECT_EQ(CompleteMapPath("", "europe.bmp"), "europe.bmp");
}

TEST(MapDescription, RoundTripThroughAFile) {
    MapDescription map = ParseMapDescription(kEurope, "");
    map.Title = "Europe \xE9t\xE9"; // 8-bit text is kept byte for byte
    map.RefLatitude = 12.345678f;
    map.LatSouth = -0.1f;
    map.Items12To17[3] = -7;
    map.HasItem18 = true;
    map.Item18 = 1e-7f;
    MapDescription plain;
    plain.ProjCode = 0;
    plain.PictureLine = "pics/plain.png";
    plain.PlainXmin = 0;
    plain.PlainXmax = 1000;
    plain.PlainYmin = -3.3f;
    plain.PlainYmax = 800.125f;

    const auto folder = std::filesystem::temp_directory_path() / "cartography_core_dsw";
    std::filesystem::create_directories(folder);
    for (const MapDescription& original : {map, plain}) {
        const auto file = folder / "map.dsw";
        WriteMapDescription(file, original);
        const MapDescription back = ReadMapDescription(file);
        EXPECT_EQ(back.MapFolder, folder.string() + "/");
        EXPECT_EQ(back.Title, original.Title);
        EXPECT_EQ(back.PictureLine, original.PictureLine);
        EXPECT_EQ(back.ProjCode, original.ProjCode);
        EXPECT_EQ(FormatMapDescription(back), FormatMapDescription(original));
        EXPECT_EQ(back.RefLatitude, original.RefLatitude);
        EXPECT_EQ(back.PlainYmin, original.PlainYmin);
        EXPECT_EQ(back.Item18, original.Item18);
        EXPECT_EQ(back.Items12To17[3], original.Items12To17[3]);
    }
    std::filesystem::remove_all(folder);
}

TEST(MapDescription, Errors) {
    try {
        ReadMapDescription("/nonexistent/folder/none.dsw");
        FAIL() << "no error";
    } catch (const common::AppError& e) {
        EXPECT_EQ(e.number(), common::kFileNotFound);
        EXPECT_NE(std::string(e.what()).find("none.dsw"), std::string::npos);
    }
    // Ends before item 17 (anywhere from the lines to item 16).
    std::string message;
    EXPECT_EQ(
        ErrorNumber(std::string(kEurope).substr(0, std::string(kEurope).find("0,0,0")), &message),
        common::kInputPastEnd);
    EXPECT_NE(message.find("item 12"), std::string::npos) << message;
    EXPECT_EQ(ErrorNumber("title\r\nbase.ps\r\n"), common::kInputPastEnd);
    EXPECT_EQ(ErrorNumber("title\r\nbase.ps\r\npic.bmp\r\n0\r\n1,2,3\r\n"), common::kInputPastEnd);
    // Wrong form and out of range.
    EXPECT_EQ(ErrorNumber(Replace(kEurope, "73,35", "north,35")), common::kTypeMismatch);
    EXPECT_EQ(ErrorNumber(Replace(kEurope, "73,35", "1e39,35")), common::kOverflow);
    EXPECT_EQ(ErrorNumber(Replace(kEurope, "0,0,0,0,0,0", "0,0,0,40000,0,0")), common::kOverflow);
    // A code no projection handles is refused with its number in the message.
    EXPECT_EQ(ErrorNumber(Replace(kEurope, "\r\n1\r\n", "\r\n14\r\n"), &message),
              common::kInvalidCall);
    EXPECT_NE(message.find("14"), std::string::npos);
    EXPECT_EQ(ErrorNumber(Replace(kEurope, "\r\n1\r\n", "\r\n-1\r\n")), common::kInvalidCall);
}

TEST(MapDescription, PlainMapExtent) {
    const MapDescription map =
        ParseMapDescription("plain\r\nbase.ps\r\npic.bmp\r\n0\r\n0,1000,0,800\r\n", "");
    ProjectionState state;
    SetUpProjection(map, state);
    const MapExtent extent = ComputeExtent(map, state);
    EXPECT_EQ(extent.Xmin, 0.0f);
    EXPECT_EQ(extent.Ymax, 800.0f);
    EXPECT_EQ(extent.ExtentWidth, 1000.0f);
    EXPECT_EQ(extent.ExtentHeight, 800.0f);
    EXPECT_EQ(extent.ExtentMax, 1000.0f);
    EXPECT_EQ(state.ProjCode, 0);
}

TEST(MapDescription, ProjectionSetUpByCode) {
    ProjectionState state;
    // Code 3: centred at half the north-south span (19 degrees), not at the middle (54).
    MapDescription stereo = ParseMapDescription(Replace(kEurope, "\r\n1\r\n", "\r\n3\r\n"), "");
    SetUpProjection(stereo, state);
    EXPECT_FLOAT_EQ(static_cast<float>(state.StereoPhi1), static_cast<float>(19 * kDeg));
    EXPECT_FLOAT_EQ(state.CentralMeridian, static_cast<float>(10 * kDeg));

    // Codes 10 and 13 alike: the orthographic centre at the reference latitude; the whole disc.
    for (const char* code : {"\r\n10\r\n", "\r\n13\r\n"}) {
        MapDescription globe = ParseMapDescription(
            Replace(Replace(kEurope, "\r\n1\r\n", code), "0,\"conic", "45,\"conic"), "");
        SetUpProjection(globe, state);
        EXPECT_FLOAT_EQ(static_cast<float>(state.OrthoPhi1), static_cast<float>(45 * kDeg));
        const MapExtent extent = ComputeExtent(globe, state);
        EXPECT_FLOAT_EQ(extent.Xmin, -6378.388f);
        EXPECT_FLOAT_EQ(extent.Ymax, 6378.388f);
        EXPECT_FLOAT_EQ(extent.ExtentMax, 2 * 6378.388f);
    }

    // Codes 11 and 12 get their pole as the orthographic centre.
    SetUpProjection(ParseMapDescription(Replace(kEurope, "\r\n1\r\n", "\r\n11\r\n"), ""), state);
    EXPECT_NEAR(state.OrthoPhi1, M_PI / 2, 1e-6);
    SetUpProjection(ParseMapDescription(Replace(kEurope, "\r\n1\r\n", "\r\n12\r\n"), ""), state);
    EXPECT_NEAR(state.OrthoPhi1, -M_PI / 2, 1e-6);

    // Code 9: k9 from the reference latitude.
    SetUpProjection(
        ParseMapDescription(
            Replace(Replace(kEurope, "\r\n1\r\n", "\r\n9\r\n"), "0,\"conic", "60,\"conic"), ""),
        state);
    EXPECT_FLOAT_EQ(state.K9, 0.5f);

    // Equal standard parallels: an arithmetic error, and the state is left as it was.
    const ProjectionState before = state;
    const MapDescription equal = ParseMapDescription(Replace(kEurope, "40,60", "45,45"), "");
    EXPECT_THROW(SetUpProjection(equal, state), common::AppError);
    EXPECT_EQ(state.ProjCode, before.ProjCode);
}

TEST(MapDescription, ConicExtentAgainstProj) {
    const MapDescription map = ParseMapDescription(kEurope, "");
    ProjectionState state;
    SetUpProjection(map, state);
    const MapExtent extent = ComputeExtent(map, state);
    const testref::ProjGrid lcc(
        "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
        "+step +proj=lcc +ellps=intl +lat_1=40 +lat_2=60 +lat_0=90 +lon_0=10");
    double x = 0, y = 0;
    lcc.forward(35, -12, x, y); // P1: south-west corner
    EXPECT_NEAR(extent.Xmin, x / 1000, 0.005);
    lcc.forward(35, 10, x, y); // P2: south on the central meridian
    EXPECT_NEAR(extent.Ymin, y / 1000, 0.005);
    lcc.forward(35, 46, x, y); // P3: south-east corner
    EXPECT_NEAR(extent.Xmax, x / 1000, 0.005);
    lcc.forward(73, 46, x, y); // P4: north-east corner
    EXPECT_NEAR(extent.Ymax, y / 1000, 0.005);
}

TEST(MapDescription, SinusoidalExtentTakesTheWidestParallel) {
    // Entirely north of the equator: the widest parallel is the south bound.
    const MapDescription map = ParseMapDescription(
        Replace(Replace(kEurope, "\r\n1\r\n", "\r\n4\r\n"), "73,35", "50,10"), "");
    ProjectionState state;
    SetUpProjection(map, state);
    const MapExtent extent = ComputeExtent(map, state);
    const testref::ProjGrid sinu("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                 "+step +proj=sinu +R=6378388 +lon_0=10");
    double x = 0, y = 0;
    sinu.forward(10, -12, x, y);
    EXPECT_NEAR(extent.Xmin, x / 1000, 0.005);
    sinu.forward(50, 10, x, y);
    EXPECT_NEAR(extent.Ymax, y / 1000, 0.005);
}

} // namespace
