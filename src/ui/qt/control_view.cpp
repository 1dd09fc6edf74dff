#include "ui/qt/control_view.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/list_view.h"
#include "ui/qt/control_sync.h"
#include "ui/qt/panel_widgets.h"
#include "ui/qt/table_models.h"

namespace ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QTableView* MakeTable(QWidget* parent, CoalescingTableModel* model) {
  auto* table = new QTableView(parent);
  model->setParent(table);
  table->setModel(model);
  table->verticalHeader()->hide();
  // Compact rows, so the fund grid's 20 design rows fit its design height.
  table->verticalHeader()->setMinimumSectionSize(16);
  table->verticalHeader()->setDefaultSectionSize(18);
  table->horizontalHeader()->setHighlightSections(false);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setContextMenuPolicy(Qt::CustomContextMenu);
  return table;
}

QWidget* MakeWidget(Control& control, QWidget* parent) {
  switch (control.Kind()) {
    case ControlKind::kButton:
      return new QPushButton(parent);
    case ControlKind::kLabel: {
      auto* label = new QLabel(parent);
      label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      return label;
    }
    case ControlKind::kCheckBox:
      return new QCheckBox(parent);
    case ControlKind::kRadioBox: {
      // The model keeps the group exclusive; Qt's own grouping would fight it.
      auto* radio = new QRadioButton(parent);
      radio->setAutoExclusive(false);
      return radio;
    }
    case ControlKind::kEditBox:
      return new QLineEdit(parent);
    case ControlKind::kListView:
      return MakeTable(parent, new ListTableModel(static_cast<ListView&>(control)));
    case ControlKind::kGrid:
      return MakeTable(parent, new GridTableModel(static_cast<Grid&>(control)));
    case ControlKind::kPictureBox: {
      auto* picture = new QLabel(parent);
      picture->setScaledContents(true);
      return picture;
    }
    case ControlKind::kShapeBox: {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::Box);
      frame->setAutoFillBackground(true);
      return frame;
    }
    case ControlKind::kHtmlViewer:
      return new HtmlViewerWidget(static_cast<HtmlViewer&>(control), parent);
    case ControlKind::kDrawPanel:
      return new DrawPanelWidget(static_cast<DrawPanel&>(control), parent);
    case ControlKind::kGroupBox:
      return new QGroupBox(parent);
  }
  return new QWidget(parent);
}

// The widget kinds' own names, so tests can tell widgets of one Qt class apart.
const char* WidgetKindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
      return "button";
    case ControlKind::kLabel:
      return "label";
    case ControlKind::kCheckBox:
      return "check box";
    case ControlKind::kRadioBox:
      return "radio box";
    case ControlKind::kEditBox:
      return "edit box";
    case ControlKind::kListView:
      return "list view";
    case ControlKind::kGrid:
      return "advanced grid";
    case ControlKind::kPictureBox:
      return "picture box";
    case ControlKind::kShapeBox:
      return "shape box";
    case ControlKind::kHtmlViewer:
      return "HTML viewer";
    case ControlKind::kDrawPanel:
      return "draw panel";
    case ControlKind::kGroupBox:
      return "group box";
  }
  return "";
}

}  // namespace

ControlView* ControlView::Create(Control& control, QWidget* parent) {
  QWidget* widget = MakeWidget(control, parent);
  widget->setObjectName(Q(control.Name()));
  widget->setProperty("controlKind", WidgetKindName(control.Kind()));
  auto* view = new ControlView(control, widget);
  view->Connect();
  view->ControlChanged();
  return view;
}

ControlView::ControlView(Control& control, QWidget* widget)
    : QObject(widget), control_(control), widget_(widget) {
  control_.SetControlObserver(this);
}

ControlView::~ControlView() { control_.SetControlObserver(nullptr); }

void ControlView::Connect() {
  Control* control = &control_;
  switch (control_.Kind()) {
    case ControlKind::kButton:
      connect(static_cast<QPushButton*>(widget_), &QPushButton::clicked, this,
              [control] { static_cast<Button*>(control)->Click(); });
      break;
    // The widget has toggled itself before the model hears of the click; it is put back in
    // step afterwards, since the model may not change (a checked radio box stays checked).
    case ControlKind::kCheckBox:
      connect(static_cast<QCheckBox*>(widget_), &QCheckBox::clicked, this, [this, control] {
        static_cast<CheckBox*>(control)->Click();
        ControlChanged();
      });
      break;
    case ControlKind::kRadioBox:
      connect(static_cast<QRadioButton*>(widget_), &QRadioButton::clicked, this, [this, control] {
        static_cast<RadioBox*>(control)->Click();
        ControlChanged();
      });
      break;
    case ControlKind::kEditBox:
      connect(static_cast<QLineEdit*>(widget_), &QLineEdit::textEdited, this,
              [control](const QString& text) {
                static_cast<EditBox*>(control)->SetText(text.toStdString());
              });
      widget_->installEventFilter(this);
      break;
    case ControlKind::kPictureBox:
      widget_->installEventFilter(this);
      break;
    case ControlKind::kGrid:
    case ControlKind::kListView:
      ConnectTable(static_cast<QTableView*>(widget_), control_);
      break;
    default:
      break;
  }
}

bool ControlView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == widget_) {
    if (event->type() == QEvent::FocusIn && control_.Kind() == ControlKind::kEditBox) {
      static_cast<EditBox&>(control_).FocusGained();
    } else if (event->type() == QEvent::MouseButtonPress &&
               control_.Kind() == ControlKind::kPictureBox &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      static_cast<PictureBox&>(control_).LeftPress();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void ControlView::ControlChanged() {
  const Rect& rect = control_.Geometry();
  widget_->setGeometry(rect.left, rect.top, rect.width, rect.height);
  widget_->setEnabled(control_.Enabled());
  widget_->setToolTip(Q(control_.ToolTip()));
  SyncWidget(control_, widget_);
  widget_->setVisible(control_.Visible());
}

void ControlView::ControlRaised() { widget_->raise(); }

}  // namespace ui
