#pragma once

// The EPS file while it is written: its page geometry and the line writer that the symbols and
// the graticule add their lines through, and the two number forms of its lines.

#include <QString>
#include <string>
#include <string_view>

namespace platform {
class TextFileWriter;
}

namespace cartography {

// Str form: a blank before a number that is not negative, "." as the decimal point and no 0
// before it, at most 7 significant digits for a single, 15 for a double.
std::string StrForm(float value);
std::string StrForm(double value);
std::string StrForm(int value);
// Print form: the Str form and one blank.
std::string PrintForm(float value);
std::string PrintForm(double value);
std::string PrintForm(int value);

// The map's place on the EPS page, in points: the larger side is 500, the frame runs from 50 to
// 50 + PageWidth across and from 800 - PageHeight to 800 up, before the shift that centres it on a
// page 594 points wide.
struct PageGeometry {
    int PageWidth = 0;  // W
    int PageHeight = 0; // H
    float Xmin = 0;
    float Ymin = 0;
    float ExtentWidth = 1;
    float ExtentHeight = 1;

    // The horizontal shift T, whole points like the rest of the page (halves to even), so an odd W
    // leaves the map half a point left of the centre.
    int shift() const;
    // The page position of a projected point (kilometres).
    float px(float x) const;
    float py(float y) const;

    // The bounding box in the shifted page's coordinates: 5 points either side of the frame, from
    // 20 points below it to its top. Left and right are halves when W is odd.
    double boxLeft() const { return 292.0 - PageWidth / 2.0; }
    double boxRight() const { return 302.0 + PageWidth / 2.0; }
    int boxBottom() const { return 780 - PageHeight; }
    static constexpr int kBoxTop = 800;
};

// W and H from the map's extent, each rounded halves to even; division by zero (error 11) for a
// map without extent.
PageGeometry PageOf(float xmin, float ymin, float extentWidth, float extentHeight, float extentMax);

// The open EPS file: lines go to the writer, in the file's code page and with its line ends.
class EpsOutput {
public:
    EpsOutput(platform::TextFileWriter& writer, const PageGeometry& page)
        : writer_(writer), page_(page) {}

    const PageGeometry& page() const { return page_; }
    // A line of 8-bit text in the file's code page.
    void line(std::string_view text);
    void line(const QString& text);

private:
    platform::TextFileWriter& writer_;
    PageGeometry page_;
};

} // namespace cartography
