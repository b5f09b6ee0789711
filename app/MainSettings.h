#pragma once

#include <QSizeF>
#include <QString>
#include <array>
#include <cstdint>

namespace app {

// System colours as the settings store writes them (signed 0x8000000n numbers).
inline constexpr std::int32_t kButtonFaceColor = static_cast<std::int32_t>(0x8000000FU);
inline constexpr std::int32_t kWindowTextColor = static_cast<std::int32_t>(0x80000008U);

// The section Grid of the main settings: the main window's geometry and its grid, in twips. The
// main window fills it with its present values, lets ChargeParametres replace them from the store
// and applies the result; at the quit it fills it again for SauveParametres.
struct MainWindowSettings {
    float Height = 0.0F;
    float Width = 0.0F;
    float Top = 0.0F;
    float Left = 0.0F;
    std::int16_t WindowState = 0; // 0 normal, 1 minimised, 2 maximised
    std::array<float, 10> ColWidth{};
    std::int32_t GridBackColor = kButtonFaceColor;
    std::int32_t GridForeColor = kWindowTextColor;
};

// The first start's grid column widths, in twips.
inline constexpr std::array<float, 10> kDefaultColWidths{734, 945, 1035, 375,  450,
                                                         500, 810, 2400, 1110, 3570};

// Loads the main settings into the settings variables (platform::Settings()), the language,
// the ellipsoid and the datum codes with their indexes (the datum tables must be loaded), and
// `window`. A value that cannot be read is reported (string 651 and the error's description) and
// keeps what it held; the loading goes on with the next value. A number outside what its key can
// mean (a list position past its list, a colour that is neither 0x00BBGGRR nor a system colour,
// a size beyond any screen) and a caption or name longer than 255 characters load, without a
// message, as the key's default. `screenTwips` is the size of the
// screen, the default size of the main window. The caller builds the recent-files menu from
// LastFiles afterwards (RecentFileCaption).
void ChargeParametres(MainWindowSettings& window, const QSizeF& screenTwips);

// Writes the main settings back at the quit. A value that cannot be written is skipped: nothing
// here keeps the program from ending.
void SauveParametres(const MainWindowSettings& window);

// The default datum codes of application "ZEB" and their indexes in the datum table; a code that
// is not loaded points at "EUR-M". Part of ChargeParametres; the errors reach the caller.
void LoadDatumCodes();

// The working-folder setting: "DOVazov"/Config/WorkingDir, by default DefaultWorkingDir. The
// run's private folder for the working database is made inside it.
QString WorkingDirSetting();
// The user's own session runtime folder, else the user's cache folder.
QString DefaultWorkingDir();

// The caption of recent-files menu item `number` (1 to 4): its access key, a blank and the path,
// with any "&" of the path doubled so that it shows as written.
QString RecentFileCaption(int number, const QString& path);

// Strict conversions of a stored text, as into a 16-bit, 32-bit or single-precision variable:
// blanks around the number are allowed, "&H" and "&O" prefixes read hexadecimal and octal;
// anything else that is not a number is the type-mismatch error 13, out of range the overflow
// error 6. Integers round halves to even.
std::int16_t StrictInt16(const QString& text);
std::int32_t StrictInt32(const QString& text);
float StrictSingle(const QString& text);

// The shortest decimal text that reads back as the same single-precision value, in plain digits
// unless they would be very long.
QString SingleText(float value);

} // namespace app
