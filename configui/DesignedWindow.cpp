#include "configui/DesignedWindow.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTimer>

#include "configui/FormNames.h"

namespace vec {

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
