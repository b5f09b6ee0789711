#include "cartography/EpsOutput.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "platform/TextFile.h"
#include "platform/Windows1252.h"

#include <algorithm>

namespace cartography {

std::string StrForm(float value) {
    return common::StrSingle(value);
}

std::string StrForm(double value) {
    const std::string text = common::CStrDouble(value);
    return value < 0 ? text : " " + text;
}

std::string StrForm(int value) {
    return StrForm(static_cast<double>(value));
}

std::string PrintForm(float value) {
    return StrForm(value) + ' ';
}

std::string PrintForm(double value) {
    return StrForm(value) + ' ';
}

std::string PrintForm(int value) {
    return StrForm(value) + ' ';
}

int PageGeometry::shift() const {
    return common::ToInt16(594.0 / 2.0 - PageWidth / 2.0 - 50.0);
}

float PageGeometry::px(float x) const {
    return (x - Xmin) / ExtentWidth * static_cast<float>(PageWidth) + 50.0F;
}

float PageGeometry::py(float y) const {
    return (y - Ymin) / ExtentHeight * static_cast<float>(PageHeight) + 800.0F -
           static_cast<float>(PageHeight);
}

PageGeometry PageOf(float xmin, float ymin, float extentWidth, float extentHeight,
                    float extentMax) {
    // The points are later divided by each extent, so a map with any of them zero has no page.
    if (extentMax == 0.0F || extentWidth == 0.0F || extentHeight == 0.0F) {
        throw common::AppError(common::kDivisionByZero);
    }
    PageGeometry page;
    page.PageWidth = common::ToInt16(static_cast<double>(extentWidth / extentMax * 500.0F));
    page.PageHeight = common::ToInt16(static_cast<double>(extentHeight / extentMax * 500.0F));
    page.Xmin = xmin;
    page.Ymin = ymin;
    page.ExtentWidth = extentWidth;
    page.ExtentHeight = extentHeight;
    return page;
}

void EpsOutput::line(std::string_view text) {
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    const auto size = static_cast<qsizetype>(text.size());
    writer_.writeLine(ascii ? QString::fromLatin1(text.data(), size)
                            : platform::DecodeWindows1252(QByteArrayView(text.data(), size)));
}

void EpsOutput::line(const QString& text) {
    writer_.writeLine(text);
}

} // namespace cartography
