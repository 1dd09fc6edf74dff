#pragma once

// ui::Canvas on a QImage. Invert mode is an exclusive-or with white, so drawing the same
// shape twice in invert mode restores the picture pixel for pixel. A view shows image() and
// repaints when the changed callback fires.

#include <QColor>
#include <QImage>
#include <functional>
#include <memory>

#include "ui/canvas.h"

class QPainter;
class QPen;

namespace ui {

class QtCanvas : public Canvas {
 public:
  QtCanvas(int width, int height);

  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }

  void SetPenStyle(PenStyle style) override { pen_style_ = style; }
  void SetPenWidth(int width) override { pen_width_ = width < 0 ? 0 : width; }
  void SetPenColour(Colour colour) override { pen_colour_ = colour; }
  void SetBrushColour(Colour colour) override { brush_colour_ = colour; }
  void SetTextColour(Colour colour) override { text_colour_ = colour; }
  void SetFontSize(int points) override { font_points_ = points; }
  void SetDrawMode(DrawMode mode) override { mode_ = mode; }
  DrawMode GetDrawMode() const override { return mode_; }
  // The image always keeps its picture.
  void SetRetainPicture(bool) override {}

  void Clear() override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRectangle(int x1, int y1, int x2, int y2) override;
  void Text(int x, int y, const std::string& text) override;

  // Copies onto another QtCanvas; other kinds of canvas are left alone.
  void CopyTo(Canvas& target) const override;
  std::unique_ptr<Canvas> CreateLike() const override;

  const QImage& image() const { return image_; }
  // Called after every change of the picture.
  void SetOnChanged(std::function<void()> on_changed) { on_changed_ = std::move(on_changed); }

  static QColor ToQColor(Colour colour);

 private:
  // Runs `draw` with a painter set up for the drawing mode, then reports the change.
  void Paint(const std::function<void(QPainter&)>& draw);
  QPen MakePen() const;
  // The colour a shape is drawn in: its own, or white when inverting.
  QColor DrawColour(Colour colour) const;
  void NotifyChanged() const;

  QImage image_;
  PenStyle pen_style_ = PenStyle::kSolid;
  int pen_width_ = 1;
  Colour pen_colour_ = Rgb(0, 0, 0);
  Colour brush_colour_ = Rgb(255, 255, 255);
  Colour text_colour_ = Rgb(0, 0, 0);
  int font_points_ = 9;
  DrawMode mode_ = DrawMode::kNormal;
  std::function<void()> on_changed_;
};

}  // namespace ui
