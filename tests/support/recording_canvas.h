#pragma once

// A ui::Canvas for tests: it records every call with its arguments and the drawing state in
// force, and keeps a model of its picture (the drawing calls since the last clear) so that
// tests can compare pictures. Drawing in invert mode toggles: an inverted call that repeats
// an inverted call still in the picture removes both, as inverting twice restores pixels.

#include <memory>
#include <string>
#include <vector>

#include "ui/canvas.h"

namespace test_support {

enum class CanvasOp {
  kPenStyle,
  kPenWidth,
  kPenColour,
  kBrushColour,
  kTextColour,
  kFontSize,
  kDrawMode,
  kRetainPicture,
  kClear,
  kLine,
  kRectangle,
  kFillRectangle,
  kText,
  kCopyTo,    // this canvas was copied onto another
  kCopyFrom,  // another canvas was copied onto this one
};

struct CanvasState {
  ui::PenStyle pen_style = ui::PenStyle::kSolid;
  int pen_width = 1;
  ui::Colour pen_colour = 0;
  ui::Colour brush_colour = ui::Rgb(255, 255, 255);
  ui::Colour text_colour = 0;
  int font_size = 9;
  ui::DrawMode mode = ui::DrawMode::kNormal;
  bool retain = false;
  friend bool operator==(const CanvasState&, const CanvasState&) = default;
};

// One call: for setters `value` holds the new setting; for shapes x1..y2 the corners; for
// text (x1, y1) and `text`. `state` is the state after the call.
struct CanvasCall {
  CanvasOp op = CanvasOp::kClear;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  long long value = 0;
  std::string text;
  CanvasState state;
  friend bool operator==(const CanvasCall&, const CanvasCall&) = default;
};

class RecordingCanvas : public ui::Canvas {
 public:
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}

  int Width() const override { return width_; }
  int Height() const override { return height_; }

  void SetPenStyle(ui::PenStyle style) override;
  void SetPenWidth(int width) override;
  void SetPenColour(ui::Colour colour) override;
  void SetBrushColour(ui::Colour colour) override;
  void SetTextColour(ui::Colour colour) override;
  void SetFontSize(int points) override;
  void SetDrawMode(ui::DrawMode mode) override;
  ui::DrawMode GetDrawMode() const override { return state_.mode; }
  void SetRetainPicture(bool retain) override;

  void Clear() override;
  void Line(int x1, int y1, int x2, int y2) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void FillRectangle(int x1, int y1, int x2, int y2) override;
  void Text(int x, int y, const std::string& text) override;

  void CopyTo(ui::Canvas& target) const override;
  std::unique_ptr<ui::Canvas> CreateLike() const override;

  // Every call since construction or ForgetCalls().
  const std::vector<CanvasCall>& calls() const { return calls_; }
  void ForgetCalls() { calls_.clear(); }
  // The drawing calls that make up the picture now.
  const std::vector<CanvasCall>& picture() const { return picture_; }
  const CanvasState& state() const { return state_; }

  // The recorded calls of one kind, in order.
  std::vector<CanvasCall> Calls(CanvasOp op) const;
  // The recorded text calls writing exactly `text`.
  std::vector<CanvasCall> TextCalls(const std::string& text) const;

 private:
  void Record(CanvasCall call) const;
  void Draw(CanvasCall call);

  int width_;
  int height_;
  CanvasState state_;
  // Copying a picture onto another canvas is const but still a recorded call.
  mutable std::vector<CanvasCall> calls_;
  std::vector<CanvasCall> picture_;
};

}  // namespace test_support
