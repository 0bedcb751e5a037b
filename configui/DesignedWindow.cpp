#include "configui/DesignedWindow.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <algorithm>

#include "configui/FormNames.h"

namespace vec {

bool FitAutoSizeLabel(const FormObject& definition, const QLabel& label, FormRect& geometry) {
  if (!definition.BoolOr("AutoSize", true)) return false;
  constexpr int kUnbounded = 1 << 20;
  constexpr int kMaxExtent = 32767;
  // An empty caption measures as one blank, as the toolkit measures it.
  const QString text = label.text().isEmpty() ? QStringLiteral(" ") : label.text();
  const QFontMetrics metrics(label.font());
  const QRect extent =
      definition.BoolOr("WordWrap", false)
          ? metrics.boundingRect(QRect(0, 0, std::max(geometry.width, 1), kUnbounded),
                                 Qt::TextWordWrap, text)
          : metrics.boundingRect(QRect(0, 0, kUnbounded, kUnbounded), 0, text);
  const int width = std::min(extent.width(), kMaxExtent);
  if (SameNameNoCase(definition.IdentifierOr("Alignment", ""), "taRightJustify"))
    geometry.left += geometry.width - width;
  geometry.width = width;
  geometry.height = std::min(extent.height(), kMaxExtent);
  return true;
}

DesignedWindow::DesignedWindow(FormObject definition, QWidget* parent)
    : QDialog(parent), definition_(std::make_unique<FormObject>(std::move(definition))) {}

DesignedWindow::~DesignedWindow() = default;

const BuiltControl* DesignedWindow::FindControl(std::string_view name) const {
  for (const auto& c : controls_)
    if (SameNameNoCase(c.name, name)) return &c;
  return nullptr;
}

void DesignedWindow::AddLayoutContainer(QWidget* container, int designWidth, int designHeight) {
  containers_.push_back(Container{container, designWidth, designHeight, {}, {}});
  container->installEventFilter(this);
}

void DesignedWindow::AddToContainer(QWidget* container, QWidget* child, const ChildLayout& layout) {
  for (auto& c : containers_) {
    if (c.widget == container) {
      c.children.push_back(child);
      c.layouts.push_back(layout);
      return;
    }
  }
}

void DesignedWindow::RefitAutoSizeLabel(BuiltControl& control) {
  const auto* label = dynamic_cast<const QLabel*>(control.widget);
  if (!label || !control.definition || !SameNameNoCase(control.className, "TLabel") ||
      !FitAutoSizeLabel(*control.definition, *label, control.geometry))
    return;
  for (auto& c : containers_)
    for (size_t i = 0; i < c.children.size(); ++i)
      if (c.children[i] == control.widget) {
        c.layouts[i].design = control.geometry;
        Layout(c);
        return;
      }
  control.widget->setGeometry(control.geometry.left, control.geometry.top, control.geometry.width,
                              control.geometry.height);
}

void DesignedWindow::LayoutAll() {
  for (auto& c : containers_) Layout(c);
}

void DesignedWindow::Layout(Container& container) {
  const QRect area = container.widget->contentsRect();
  for (size_t i = 0; i < container.children.size(); ++i)
    container.layouts[i].visible = !container.children[i]->isHidden();
  const std::vector<FormRect> rects =
      LayoutChildren(container.layouts, container.designWidth, container.designHeight, area.width(),
                     area.height());
  for (size_t i = 0; i < rects.size(); ++i) {
    // Aligned controls share the area inside the container's bevels; the others keep
    // their written position, which counts from the container's corner.
    const FormRect& r = rects[i];
    const bool aligned = container.layouts[i].align != FormAlign::None &&
                         container.layouts[i].align != FormAlign::Custom;
    const QPoint origin = aligned ? area.topLeft() : QPoint(0, 0);
    container.children[i]->setGeometry(origin.x() + r.left, origin.y() + r.top, r.width, r.height);
  }
}

void DesignedWindow::ApplyTagVisibility() {
  for (auto& c : controls_) {
    if (!c.widget || SameNameNoCase(c.className, "TTabSheet")) continue;
    c.widget->setVisible((c.tag & 1) != 0);
  }
  LayoutAll();
}

void DesignedWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Enter:
    case Qt::Key_Return:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

bool DesignedWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    for (auto& c : containers_)
      if (c.widget == watched) Layout(c);
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace vec
