#include "ui/qt/control_sync.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/list_view.h"
#include "ui/qt/panel_widgets.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/table_models.h"

namespace ui {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Button-like widgets read "&" as a shortcut marker; captions show it as it is.
QString Caption(const std::string& text) { return Q(text).replace('&', "&&"); }

void SyncEditBox(EditBox& box, QLineEdit* edit) {
  const QString text = Q(box.Text());
  if (edit->text() != text) edit->setText(text);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Text, QtCanvas::ToQColor(box.TextColour()));
  edit->setPalette(palette);
}

template <class Source>
void ApplyColumnWidths(QTableView* table, const Source& columns) {
  for (size_t c = 0; c < columns.size(); ++c) {
    table->setColumnWidth(static_cast<int>(c), columns[c].width);
  }
}

void ApplyWidths(QTableView* table, Control& control) {
  if (control.Kind() == ControlKind::kGrid) {
    ApplyColumnWidths(table, static_cast<Grid&>(control).Columns());
  } else {
    ApplyColumnWidths(table, static_cast<ListView&>(control).Columns());
  }
}

}  // namespace

void SyncWidget(Control& control, QWidget* widget) {
  switch (control.Kind()) {
    case ControlKind::kButton:
      static_cast<QPushButton*>(widget)->setText(Caption(static_cast<Button&>(control).Caption()));
      break;
    case ControlKind::kLabel: {
      // Captions can come from the network; never let them be read as markup.
      auto* label = static_cast<QLabel*>(widget);
      label->setTextFormat(Qt::PlainText);
      label->setText(Q(static_cast<Label&>(control).Caption()));
      break;
    }
    case ControlKind::kCheckBox: {
      auto& box = static_cast<CheckBox&>(control);
      static_cast<QCheckBox*>(widget)->setText(Caption(box.Caption()));
      static_cast<QCheckBox*>(widget)->setChecked(box.Checked());
      break;
    }
    case ControlKind::kRadioBox: {
      auto& box = static_cast<RadioBox&>(control);
      static_cast<QRadioButton*>(widget)->setText(Caption(box.Caption()));
      static_cast<QRadioButton*>(widget)->setChecked(box.Checked());
      break;
    }
    case ControlKind::kEditBox:
      SyncEditBox(static_cast<EditBox&>(control), static_cast<QLineEdit*>(widget));
      break;
    case ControlKind::kPictureBox: {
      const std::string& image = static_cast<PictureBox&>(control).Image();
      static_cast<QLabel*>(widget)->setPixmap(image.empty() ? QPixmap()
                                                            : QPixmap(Q(":/images/" + image)));
      break;
    }
    case ControlKind::kHtmlViewer:
      static_cast<HtmlViewerWidget*>(widget)->Sync();
      break;
    case ControlKind::kDrawPanel:
      static_cast<DrawPanelWidget*>(widget)->AttachCanvas();
      widget->update();
      break;
    case ControlKind::kGroupBox:
      static_cast<QGroupBox*>(widget)->setTitle(Caption(static_cast<GroupBox&>(control).Caption()));
      break;
    case ControlKind::kGrid:
    case ControlKind::kListView:
      ApplyWidths(static_cast<QTableView*>(widget), control);
      break;
    case ControlKind::kShapeBox:
      break;
  }
}

void ConnectTable(QTableView* table, Control& control) {
  auto* model = static_cast<CoalescingTableModel*>(table->model());
  model->FollowSelection(table->selectionModel());
  QObject::connect(model, &QAbstractItemModel::modelReset, table,
                   [table, &control] { ApplyWidths(table, control); });
  if (control.Kind() == ControlKind::kGrid) {
    auto& grid = static_cast<Grid&>(control);
    QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, table,
                     [&grid](int column) {
                       if (grid.on_header_click) grid.on_header_click(column);
                     });
    QObject::connect(table, &QTableView::clicked, table, [&grid](const QModelIndex& index) {
      grid.SetCurrentRow(index.row() + 1);
      if (grid.on_cell_event) grid.on_cell_event(index.row() + 1, index.column());
    });
    // A right-click leaves the current row alone: the menus act on the fund last opened.
    QObject::connect(table, &QWidget::customContextMenuRequested, table,
                     [table, &grid](const QPoint& at) {
                       const QModelIndex index = table->indexAt(at);
                       if (grid.on_right_click) {
                         grid.on_right_click(index.isValid() ? index.row() + 1 : -1,
                                             index.isValid() ? index.column() : -1);
                       }
                     });
    return;
  }
  auto& list = static_cast<ListView&>(control);
  QObject::connect(table, &QTableView::clicked, table, [&list](const QModelIndex& index) {
    list.SetCurrentRow(index.row());
    if (list.on_item_event) list.on_item_event(index.row());
  });
  QObject::connect(table, &QTableView::doubleClicked, table, [&list](const QModelIndex& index) {
    list.SetCurrentRow(index.row());
    if (list.on_double_click) list.on_double_click(index.row());
  });
  // As in a report list, the item under the mouse becomes the selection.
  QObject::connect(table, &QWidget::customContextMenuRequested, table,
                   [table, &list](const QPoint& at) {
                     const QModelIndex index = table->indexAt(at);
                     if (index.isValid()) {
                       table->setCurrentIndex(index);
                       list.SetCurrentRow(index.row());
                     }
                     if (list.on_right_click)
                       list.on_right_click(index.isValid() ? index.row() : -1);
                   });
}

}  // namespace ui
