#pragma once

// The drawing surface of a draw panel. Coordinates are panel pixels, origin top-left.
// Colours are 24-bit values with red in the low byte.

#include <cstdint>
#include <memory>
#include <string>

namespace ui {

using Colour = std::uint32_t;
constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}

enum class PenStyle { kSolid, kDotted };
enum class DrawMode { kNormal, kInvert };

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual int Width() const = 0;
  virtual int Height() const = 0;

  virtual void SetPenStyle(PenStyle style) = 0;
  virtual void SetPenWidth(int width) = 0;  // 0 is the thinnest (one-pixel) pen
  virtual void SetPenColour(Colour colour) = 0;
  virtual void SetBrushColour(Colour colour) = 0;
  virtual void SetTextColour(Colour colour) = 0;
  virtual void SetFontSize(int points) = 0;
  virtual void SetDrawMode(DrawMode mode) = 0;
  virtual DrawMode GetDrawMode() const = 0;
  // Keep the picture across repaints of the panel.
  virtual void SetRetainPicture(bool retain) = 0;

  virtual void Clear() = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // Outline with the pen, interior with the brush.
  virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
  // Interior only, with the brush colour.
  virtual void FillRectangle(int x1, int y1, int x2, int y2) = 0;
  // Text (UTF-8) with its top-left corner at (x, y), in the text colour.
  virtual void Text(int x, int y, const std::string& text) = 0;

  // Copies this whole picture onto `target` at (0, 0).
  virtual void CopyTo(Canvas& target) const = 0;
  // A new canvas of the same kind and size, blank.
  virtual std::unique_ptr<Canvas> CreateLike() const = 0;
};

}  // namespace ui
