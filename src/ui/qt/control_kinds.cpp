#include "ui/qt/control_kinds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <iterator>

#include "ui/choice_box.h"
#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/qt/control_view.h"
#include "ui/qt/panel_widgets.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/table_view.h"

namespace ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Button-like widgets read "&" as a shortcut marker; captions show it as it is.
QString Caption(const std::string& text) { return Q(text).replace('&', "&&"); }

template <class Widget>
QWidget* Create(Control&, QWidget* parent) {
  return new Widget(parent);
}

QWidget* CreateLabel(Control&, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QWidget* CreateRadioBox(Control&, QWidget* parent) {
  // The model keeps the group exclusive; Qt's own grouping would fight it.
  auto* radio = new QRadioButton(parent);
  radio->setAutoExclusive(false);
  return radio;
}

QWidget* CreatePictureBox(Control&, QWidget* parent) {
  auto* picture = new QLabel(parent);
  picture->setScaledContents(true);
  return picture;
}

QWidget* CreateShapeBox(Control&, QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setFrameShape(QFrame::Box);
  frame->setAutoFillBackground(true);
  return frame;
}

QWidget* CreateHtmlViewer(Control& control, QWidget* parent) {
  return new HtmlViewerWidget(static_cast<HtmlViewer&>(control), parent);
}

QWidget* CreateDrawPanel(Control& control, QWidget* parent) {
  return new DrawPanelWidget(static_cast<DrawPanel&>(control), parent);
}

void ConnectButton(ControlView& view, Control& control, QWidget* widget) {
  QObject::connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, &view,
                   [&control] { static_cast<Button&>(control).Click(); });
}

// The widget has toggled itself before the model hears of the click; it is put back in step
// afterwards, since the model may not change (a checked radio box stays checked).
template <class Box>
void ConnectCheckable(ControlView& view, Control& control, QWidget* widget) {
  QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, &view,
                   [&view, &control] {
                     static_cast<Box&>(control).Click();
                     view.ControlChanged();
                   });
}

void ConnectEditBox(ControlView& view, Control& control, QWidget* widget) {
  QObject::connect(static_cast<QLineEdit*>(widget), &QLineEdit::textEdited, &view,
                   [&control](const QString& text) {
                     static_cast<EditBox&>(control).SetText(text.toStdString());
                   });
}

bool FilterEditBox(Control& control, QEvent* event) {
  if (event->type() == QEvent::FocusIn) static_cast<EditBox&>(control).FocusGained();
  return false;
}

bool FilterPictureBox(Control& control, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress ||
      static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
    return false;
  }
  static_cast<PictureBox&>(control).LeftPress();
  return true;
}

void SyncButton(Control& control, QWidget* widget) {
  static_cast<QPushButton*>(widget)->setText(Caption(static_cast<Button&>(control).Caption()));
}

void SyncLabel(Control& control, QWidget* widget) {
  // Captions can come from the network; never let them be read as markup.
  auto* label = static_cast<QLabel*>(widget);
  label->setTextFormat(Qt::PlainText);
  label->setText(Q(static_cast<Label&>(control).Caption()));
}

void SyncCheckable(Control& control, QWidget* widget) {
  auto& box = static_cast<CheckableControl&>(control);
  auto* button = static_cast<QAbstractButton*>(widget);
  button->setText(Caption(box.Caption()));
  button->setChecked(box.Checked());
}

void SyncEditBox(Control& control, QWidget* widget) {
  auto& box = static_cast<EditBox&>(control);
  auto* edit = static_cast<QLineEdit*>(widget);
  const QString text = Q(box.Text());
  if (edit->text() != text) edit->setText(text);
  edit->setPlaceholderText(Q(box.Hint()));
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Text, QtCanvas::ToQColor(box.TextColour()));
  edit->setPalette(palette);
}

void SyncPictureBox(Control& control, QWidget* widget) {
  const std::string& image = static_cast<PictureBox&>(control).Image();
  static_cast<QLabel*>(widget)->setPixmap(image.empty() ? QPixmap()
                                                        : QPixmap(Q(":/images/" + image)));
}

void SyncHtmlViewer(Control&, QWidget* widget) { static_cast<HtmlViewerWidget*>(widget)->Sync(); }

void SyncDrawPanel(Control&, QWidget* widget) {
  static_cast<DrawPanelWidget*>(widget)->AttachCanvas();
  widget->update();
}

void ConnectChoiceBox(ControlView& view, Control& control, QWidget* widget) {
  QObject::connect(static_cast<QComboBox*>(widget), &QComboBox::activated, &view,
                   [&control](int index) { static_cast<ChoiceBox&>(control).Choose(index); });
}

void SyncChoiceBox(Control& control, QWidget* widget) {
  auto& box = static_cast<ChoiceBox&>(control);
  auto* combo = static_cast<QComboBox*>(widget);
  QStringList items;
  for (const std::string& item : box.Items()) items << Q(item);
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
  if (shown != items) {
    combo->clear();
    combo->addItems(items);
  }
  combo->setCurrentIndex(box.Current());
}

void SyncGroupBox(Control& control, QWidget* widget) {
  static_cast<QGroupBox*>(widget)->setTitle(Caption(static_cast<GroupBox&>(control).Caption()));
}

// In the order of ControlKind.
constexpr ControlKindEntry kEntries[] = {
    {ControlKind::kButton, "button", Create<QPushButton>, ConnectButton, SyncButton, nullptr},
    {ControlKind::kLabel, "label", CreateLabel, nullptr, SyncLabel, nullptr},
    {ControlKind::kCheckBox, "check box", Create<QCheckBox>, ConnectCheckable<CheckBox>,
     SyncCheckable, nullptr},
    {ControlKind::kRadioBox, "radio box", CreateRadioBox, ConnectCheckable<RadioBox>, SyncCheckable,
     nullptr},
    {ControlKind::kEditBox, "edit box", Create<QLineEdit>, ConnectEditBox, SyncEditBox,
     FilterEditBox},
    {ControlKind::kListView, "list view", CreateListTable, ConnectListTable, SyncListTable,
     nullptr},
    {ControlKind::kGrid, "advanced grid", CreateGridTable, ConnectGridTable, SyncGridTable,
     nullptr},
    {ControlKind::kPictureBox, "picture box", CreatePictureBox, nullptr, SyncPictureBox,
     FilterPictureBox},
    {ControlKind::kShapeBox, "shape box", CreateShapeBox, nullptr, nullptr, nullptr},
    {ControlKind::kHtmlViewer, "HTML viewer", CreateHtmlViewer, nullptr, SyncHtmlViewer, nullptr},
    {ControlKind::kDrawPanel, "draw panel", CreateDrawPanel, nullptr, SyncDrawPanel, nullptr},
    {ControlKind::kGroupBox, "group box", Create<QGroupBox>, nullptr, SyncGroupBox, nullptr},
    {ControlKind::kChoiceBox, "choice box", Create<QComboBox>, ConnectChoiceBox, SyncChoiceBox,
     nullptr},
};

constexpr bool InKindOrder() {
  for (size_t i = 0; i < std::size(kEntries); ++i) {
    if (static_cast<size_t>(kEntries[i].kind) != i) return false;
  }
  return true;
}
static_assert(InKindOrder(), "the entry of a kind stands at the kind's number");

// A kind without an entry still gets a widget, which shows geometry and visibility only.
constexpr ControlKindEntry kUnknown = {
    ControlKind::kButton, "", Create<QWidget>, nullptr, nullptr, nullptr};

}  // namespace

const ControlKindEntry& KindEntry(ControlKind kind) {
  const auto at = static_cast<size_t>(kind);
  return at < std::size(kEntries) ? kEntries[at] : kUnknown;
}

}  // namespace ui
