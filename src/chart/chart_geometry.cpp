#include "chart/chart_geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "base/encoding.h"
#include "base/text.h"

namespace chart {

namespace {

double RoundHalfAwayFromZero(double value, int decimals) {
  double factor = std::pow(10.0, decimals);
  return std::round(value * factor) / factor;
}

}  // namespace

double FontPixelHeight(int points) { return points / 72.0 * 96.0; }

double TextWidth(std::string_view text, int points) {
  return FontPixelHeight(points) / 2.0 * base::GbkWidth(text);
}

int ToPixel(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::trunc(std::clamp(value, -double{kPixelLimit}, double{kPixelLimit})));
}

int ToInt(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::trunc(std::clamp(value, double{INT_MIN}, double{INT_MAX})));
}

bool HasFraction(double value) { return value - std::floor(value) > kTolerance; }

std::string ValueLabel(double value, bool two_decimals) {
  // Adding +0.0 turns a negative zero into a plain zero.
  double rounded = RoundHalfAwayFromZero(value, two_decimals ? 2 : 0) + 0.0;
  return base::DoubleToText(rounded);
}

}  // namespace chart
