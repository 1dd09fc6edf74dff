#include "ui/qt/qt_canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QString>
#include <algorithm>
#include <cmath>

namespace ui {

namespace {

const QColor kBackground(255, 255, 255);

QRect Normalised(int x1, int y1, int x2, int y2) {
  return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
               QPoint(std::max(x1, x2), std::max(y1, y2)));
}

QFont PanelFont(int points) {
  QFont font;
  // A face with Chinese glyphs first, so Latin and Chinese text share one set of metrics.
  font.setFamilies({"Noto Sans CJK SC", "Noto Sans SC", "WenQuanYi Micro Hei", "Sans Serif"});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
  return font;
}

}  // namespace

QtCanvas::QtCanvas(int width, int height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  image_.fill(kBackground);
}

QColor QtCanvas::ToQColor(Colour colour) {
  return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

void QtCanvas::Clear() {
  image_.fill(kBackground);
  NotifyChanged();
}

void QtCanvas::Line(int x1, int y1, int x2, int y2) {
  Paint([&](QPainter& painter) {
    painter.setPen(MakePen());
    painter.drawLine(x1, y1, x2, y2);
  });
}

void QtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Paint([&](QPainter& painter) {
    painter.setPen(MakePen());
    painter.setBrush(DrawColour(brush_colour_));
    // Right and bottom edges are exclusive, as for FillRectangle.
    QRect rect = Normalised(x1, y1, x2, y2);
    painter.drawRect(rect.left(), rect.top(), std::max(0, rect.width() - 2),
                     std::max(0, rect.height() - 2));
  });
}

void QtCanvas::FillRectangle(int x1, int y1, int x2, int y2) {
  Paint([&](QPainter& painter) {
    QRect rect = Normalised(x1, y1, x2, y2);
    painter.fillRect(rect.left(), rect.top(), rect.width() - 1, rect.height() - 1,
                     DrawColour(brush_colour_));
  });
}

void QtCanvas::Text(int x, int y, const std::string& text) {
  if (text.empty()) return;
  Paint([&](QPainter& painter) {
    QFont font = PanelFont(font_points_);
    painter.setFont(font);
    painter.setPen(DrawColour(text_colour_));
    QFontMetrics metrics(font);
    painter.drawText(x, y + metrics.ascent(), QString::fromStdString(text));
  });
}

void QtCanvas::CopyTo(Canvas& target) const {
  auto* qt_target = dynamic_cast<QtCanvas*>(&target);
  if (qt_target == nullptr || qt_target == this) return;
  {
    QPainter painter(&qt_target->image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, image_);
  }
  qt_target->NotifyChanged();
}

std::unique_ptr<Canvas> QtCanvas::CreateLike() const {
  return std::make_unique<QtCanvas>(Width(), Height());
}

void QtCanvas::Paint(const std::function<void(QPainter&)>& draw) {
  {
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (mode_ == DrawMode::kInvert) {
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    }
    draw(painter);
  }
  NotifyChanged();
}

QPen QtCanvas::MakePen() const {
  QPen pen(DrawColour(pen_colour_));
  if (pen_width_ <= 1) {
    // The thinnest pen: one pixel wide, dotted when asked.
    pen.setWidth(0);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    pen.setStyle(pen_style_ == PenStyle::kDotted ? Qt::DotLine : Qt::SolidLine);
  } else {
    // Wide pens always draw unbroken lines with round ends, so a polyline of separate
    // segments joins smoothly.
    pen.setWidth(pen_width_);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  return pen;
}

QColor QtCanvas::DrawColour(Colour colour) const {
  return mode_ == DrawMode::kInvert ? QColor(255, 255, 255) : ToQColor(colour);
}

void QtCanvas::NotifyChanged() const {
  if (on_changed_) on_changed_();
}

}  // namespace ui
