#include "configui/OwnControlFactory.h"

#include "configui/FormNames.h"
#include "configui/FormTextReader.h"

namespace vec {
namespace {

// Until the dedicated widgets arrive every own class is a plain widget that takes its
// place in the layout and keeps the class name, so the window is complete and inspectable.
QWidget* Placeholder(const FormObject& definition, QWidget* parent) {
  auto* w = new QWidget(parent);
  w->setProperty("formClass", QString::fromStdString(definition.className));
  return w;
}

}  // namespace

QWidget* CreateImageButton(const FormObject& d, QWidget* parent) {
  return Placeholder(d, parent);
}
QWidget* CreateThumbnailGrid(const FormObject& d, QWidget* parent) {
  return Placeholder(d, parent);
}
QWidget* CreatePicturePreview(const FormObject& d, QWidget* parent) {
  return Placeholder(d, parent);
}
QWidget* CreateMemo(const FormObject& d, QWidget* parent) {
  return Placeholder(d, parent);
}
QWidget* CreateOwnShape(const FormObject& d, QWidget* parent) {
  return Placeholder(d, parent);
}
QWidget* CreateOwnBevel(const FormObject& d, QWidget* parent) {
  return Placeholder(d, parent);
}

OwnControlMaker FindOwnControlMaker(std::string_view className) {
  struct Entry {
    std::string_view className;
    OwnControlMaker make;
  };
  static constexpr Entry kMakers[] = {
      {"TMyButton", CreateImageButton},     {"TVEThumbnail2", CreateThumbnailGrid},
      {"TVEPreview", CreatePicturePreview}, {"TMyMemo", CreateMemo},
      {"TMyShape", CreateOwnShape},         {"TMyBevel", CreateOwnBevel},
  };
  for (const auto& e : kMakers)
    if (SameNameNoCase(e.className, className)) return e.make;
  return nullptr;
}

}  // namespace vec
