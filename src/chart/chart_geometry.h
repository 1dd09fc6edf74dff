#pragma once

// Number-to-pixel and number-to-label rules shared by the chart routines.

#include <string>
#include <string_view>

namespace chart {

// Every chart text is drawn at 9 points.
inline constexpr int kFontSize = 9;
// Values closer than this count as equal (the program's zero band).
inline constexpr double kTolerance = 0.0000001;
// Pixel coordinates are kept within this distance of the origin so that a wild value cannot
// overflow an int or send the painter millions of pixels away.
inline constexpr int kPixelLimit = 1 << 20;

// Font size in points at 96 pixels per inch (9 points give 12 pixels).
double FontPixelHeight(int points);

// Estimated width of `text` in pixels: half the font's pixel height per GBK byte.
double TextWidth(std::string_view text, int points);

// A computed real as a pixel coordinate: truncated toward zero, clamped to kPixelLimit.
// A value that is not finite gives 0; callers guard against producing one.
int ToPixel(double value);

// Truncates toward zero into the int range; not-finite values give 0.
int ToInt(double value);

// Whether `value` lies more than the tolerance above its floor.
bool HasFraction(double value);

// A value label: rounded (halves away from zero) to two decimals or to whole numbers, then as
// "%.13g" text.
// A label that rounds to zero reads "0", never "-0".
std::string ValueLabel(double value, bool two_decimals);

}  // namespace chart
