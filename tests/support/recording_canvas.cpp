#include "support/recording_canvas.h"

#include <algorithm>

namespace test_support {

namespace {

CanvasCall Setting(CanvasOp op, long long value) {
  CanvasCall call;
  call.op = op;
  call.value = value;
  return call;
}

CanvasCall Shape(CanvasOp op, int x1, int y1, int x2, int y2) {
  CanvasCall call;
  call.op = op;
  call.x1 = x1;
  call.y1 = y1;
  call.x2 = x2;
  call.y2 = y2;
  return call;
}

// Two inverted calls cancel when they cover the same pixels; colours do not matter when
// inverting.
bool SamePixels(const CanvasCall& a, const CanvasCall& b) {
  return a.op == b.op && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 &&
         a.text == b.text && a.state.pen_style == b.state.pen_style &&
         a.state.pen_width == b.state.pen_width && a.state.font_size == b.state.font_size &&
         a.state.mode == b.state.mode;
}

}  // namespace

void RecordingCanvas::SetPenStyle(ui::PenStyle style) {
  state_.pen_style = style;
  Record(Setting(CanvasOp::kPenStyle, static_cast<long long>(style)));
}

void RecordingCanvas::SetPenWidth(int width) {
  state_.pen_width = width;
  Record(Setting(CanvasOp::kPenWidth, width));
}

void RecordingCanvas::SetPenColour(ui::Colour colour) {
  state_.pen_colour = colour;
  Record(Setting(CanvasOp::kPenColour, colour));
}

void RecordingCanvas::SetBrushColour(ui::Colour colour) {
  state_.brush_colour = colour;
  Record(Setting(CanvasOp::kBrushColour, colour));
}

void RecordingCanvas::SetTextColour(ui::Colour colour) {
  state_.text_colour = colour;
  Record(Setting(CanvasOp::kTextColour, colour));
}

void RecordingCanvas::SetFontSize(int points) {
  state_.font_size = points;
  Record(Setting(CanvasOp::kFontSize, points));
}

void RecordingCanvas::SetDrawMode(ui::DrawMode mode) {
  state_.mode = mode;
  Record(Setting(CanvasOp::kDrawMode, static_cast<long long>(mode)));
}

void RecordingCanvas::SetRetainPicture(bool retain) {
  state_.retain = retain;
  Record(Setting(CanvasOp::kRetainPicture, retain ? 1 : 0));
}

void RecordingCanvas::Clear() {
  picture_.clear();
  Record(Setting(CanvasOp::kClear, 0));
}

void RecordingCanvas::Line(int x1, int y1, int x2, int y2) {
  Draw(Shape(CanvasOp::kLine, x1, y1, x2, y2));
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Draw(Shape(CanvasOp::kRectangle, x1, y1, x2, y2));
}

void RecordingCanvas::FillRectangle(int x1, int y1, int x2, int y2) {
  Draw(Shape(CanvasOp::kFillRectangle, x1, y1, x2, y2));
}

void RecordingCanvas::Text(int x, int y, const std::string& text) {
  CanvasCall call = Shape(CanvasOp::kText, x, y, 0, 0);
  call.text = text;
  Draw(std::move(call));
}

void RecordingCanvas::CopyTo(ui::Canvas& target) const {
  Record(Setting(CanvasOp::kCopyTo, 0));
  if (auto* recording = dynamic_cast<RecordingCanvas*>(&target)) {
    recording->picture_ = picture_;
    recording->Record(Setting(CanvasOp::kCopyFrom, 0));
  }
}

std::unique_ptr<ui::Canvas> RecordingCanvas::CreateLike() const {
  return std::make_unique<RecordingCanvas>(width_, height_);
}

std::vector<CanvasCall> RecordingCanvas::Calls(CanvasOp op) const {
  std::vector<CanvasCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
               [op](const CanvasCall& call) { return call.op == op; });
  return out;
}

std::vector<CanvasCall> RecordingCanvas::TextCalls(const std::string& text) const {
  std::vector<CanvasCall> out;
  for (const CanvasCall& call : calls_) {
    if (call.op == CanvasOp::kText && call.text == text) out.push_back(call);
  }
  return out;
}

void RecordingCanvas::Record(CanvasCall call) const {
  call.state = state_;
  calls_.push_back(std::move(call));
}

void RecordingCanvas::Draw(CanvasCall call) {
  call.state = state_;
  calls_.push_back(call);
  if (state_.mode == ui::DrawMode::kInvert) {
    auto twin = std::find_if(picture_.begin(), picture_.end(),
                             [&call](const CanvasCall& drawn) { return SamePixels(drawn, call); });
    if (twin != picture_.end()) {
      picture_.erase(twin);
      return;
    }
  }
  picture_.push_back(std::move(call));
}

}  // namespace test_support
