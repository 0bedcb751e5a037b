#include "configui/OwnControlFactory.h"

#include <QApplication>
#include <algorithm>
#include <optional>
#include <utility>

#include "configui/FormNames.h"
#include "configui/FormQt.h"
#include "configui/FormTextReader.h"
#include "configui/controls/BevelControl.h"
#include "configui/controls/ImageButton.h"
#include "configui/controls/MemoControl.h"
#include "configui/controls/PicturePreview.h"
#include "configui/controls/ShapeControl.h"
#include "configui/controls/ThumbnailGrid.h"

namespace vec {
namespace {

template <class E>
using NameTable = std::initializer_list<std::pair<std::string_view, E>>;

// The enumerator an identifier property names (ignoring case), or `fallback` when the
// property is absent or names something else.
template <class E>
E EnumOr(const FormObject& o, std::string_view path, NameTable<E> names, E fallback) {
  const std::string written = o.IdentifierOr(path, "");
  for (const auto& [name, value] : names)
    if (SameNameNoCase(name, written)) return value;
  return fallback;
}

int32_t IntegerIn(const FormObject& o, std::string_view path, int32_t fallback, int32_t low,
                  int32_t high) {
  return static_cast<int32_t>(std::clamp<int64_t>(o.IntegerOr(path, fallback), low, high));
}

Pixel ColorOr(const FormObject& o, std::string_view path, std::string_view fallbackName) {
  std::optional<FormColor> color;
  if (const FormValue* v = o.FindValue(path)) color = FormColorFromValue(*v);
  if (!color) color = FormColorFromName(fallbackName);
  return ToPixel(color.value_or(FormColor{}), QApplication::palette());
}

Pixel FontPixel(const FormFont& font) {
  return ToPixel(font.color, QApplication::palette());
}

FrameBorder FrameBorderOf(const FormObject& o) {
  return EnumOr(
      o, "BorderStyle",
      NameTable<FrameBorder>{{"bsNone", FrameBorder::None}, {"bsSingle", FrameBorder::Single}},
      FrameBorder::Single);
}

// The four pictures of an image button, read before the widget is made so that damaged
// data leaves nothing behind.
struct ButtonPictures {
  BlendBitmap up, down, over, disabled;
};

ErrorOr<ButtonPictures> ReadButtonPictures(const FormObject& d) {
  ButtonPictures pictures;
  const std::pair<std::string_view, BlendBitmap*> targets[] = {
      {"ButtonUp.Data", &pictures.up},
      {"ButtonDown.Data", &pictures.down},
      {"ButtonOver.Data", &pictures.over},
      {"ButtonDisable.Data", &pictures.disabled},
  };
  for (const auto& [path, target] : targets) {
    const std::vector<uint8_t>* data = d.BinaryOf(path);
    if (!data) continue;
    auto bitmap = PictureBitmapOf(*data);
    if (bitmap.is_error()) return FormControlError(d, path, bitmap.error());
    *target = bitmap.release_value();
  }
  return pictures;
}

}  // namespace

ErrorOr<QWidget*> CreateImageButton(const FormObject& d, const FormFont& font, QWidget* parent) {
  ButtonPictures pictures = TRY(ReadButtonPictures(d));
  auto* button = new ImageButton(parent);
  button->setCaption(FormTextToQString(d.StringOr("Caption", "")));
  button->setCaptionFont(ToQFont(font));
  button->setFontColor(FontPixel(font));
  button->setAutoSize(d.BoolOr("AutoSize", true));
  button->setUpImage(std::move(pictures.up));
  button->setDownImage(std::move(pictures.down));
  button->setOverImage(std::move(pictures.over));
  button->setDisabledImage(std::move(pictures.disabled));
  button->setShowCaption(d.BoolOr("ShowCaption", false));
  button->setTransparent(d.BoolOr("Transparent", true));
  // Down is only taken while AllowDown holds, so the two go in the order they are written.
  for (const FormProperty& p : d.properties) {
    const auto* id = p.value.As<FormIdentifier>();
    if (!id) continue;
    const bool on = SameNameNoCase(id->name, "True");
    if (!on && !SameNameNoCase(id->name, "False")) continue;
    if (SameNameNoCase(p.path, "AllowDown")) button->setAllowDown(on);
    if (SameNameNoCase(p.path, "Down")) button->setDown(on);
  }
  return button;
}

ErrorOr<QWidget*> CreateThumbnailGrid(const FormObject& d, const FormFont& font, QWidget* parent) {
  auto* grid = new ThumbnailGrid(parent);
  grid->setPictureWidth(IntegerIn(d, "PictureWidth", 80, 1, ThumbnailGrid::kMaxPictureSize));
  grid->setPictureHeight(IntegerIn(d, "PictureHeight", 60, 1, ThumbnailGrid::kMaxPictureSize));
  grid->setShowCheckBox(d.BoolOr("ShowCheckBox", false));
  grid->setShowTitle(d.BoolOr("ShowTitle", false));
  grid->setMultiRows(d.BoolOr("MultiRows", true));
  grid->setColor(ColorOr(d, "Color", "clWindow"));
  grid->setFontColor(FontPixel(font));
  grid->setCtl3D(d.BoolOr("Ctl3D", true));
  grid->setBorderStyle(FrameBorderOf(d));
  return grid;
}

ErrorOr<QWidget*> CreatePicturePreview(const FormObject& d, const FormFont&, QWidget* parent) {
  auto* preview = new PicturePreview(parent);
  preview->setHint(FormTextToQString(d.StringOr("Hint", "")));
  preview->setShowHint(d.BoolOr("ShowHint", false));
  return preview;
}

ErrorOr<QWidget*> CreateMemo(const FormObject& d, const FormFont& font, QWidget* parent) {
  auto* memo = new MemoControl(parent);
  memo->setText(FormTextToQString(FormTextPropertyOf(d)));
  memo->setWordWrap(d.BoolOr("WordWrap", true));
  memo->setColor(ColorOr(d, "Color", "clWindow"));
  memo->setFontColor(FontPixel(font));
  memo->setCtl3D(d.BoolOr("Ctl3D", true));
  memo->setBorderStyle(FrameBorderOf(d));
  memo->setReadOnly(d.BoolOr("ReadOnly", false));
  using Bars = std::pair<Qt::ScrollBarPolicy, Qt::ScrollBarPolicy>;  // horizontal, vertical
  constexpr Bars kNone{Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff};
  const Bars bars =
      EnumOr(d, "ScrollBars",
             NameTable<Bars>{{"ssNone", kNone},
                             {"ssHorizontal", {Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff}},
                             {"ssVertical", {Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn}},
                             {"ssBoth", {Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn}}},
             kNone);
  memo->setHorizontalScrollBarPolicy(bars.first);
  memo->setVerticalScrollBarPolicy(bars.second);
  return memo;
}

ErrorOr<QWidget*> CreateOwnShape(const FormObject& d, const FormFont&, QWidget* parent) {
  auto* shape = new ShapeControl(parent);
  shape->setShape(EnumOr(d, "Shape",
                         NameTable<ShapeKind>{{"stRectangle", ShapeKind::Rectangle},
                                              {"stSquare", ShapeKind::Square},
                                              {"stRoundRect", ShapeKind::RoundRect},
                                              {"stRoundSquare", ShapeKind::RoundSquare},
                                              {"stEllipse", ShapeKind::Ellipse},
                                              {"stCircle", ShapeKind::Circle}},
                         ShapeKind::Rectangle));
  shape->setBrushColor(ColorOr(d, "Brush.Color", "clWhite"));
  shape->setBrushStyle(EnumOr(d, "Brush.Style",
                              NameTable<BrushStyle>{{"bsSolid", BrushStyle::Solid},
                                                    {"bsClear", BrushStyle::Clear},
                                                    {"bsHorizontal", BrushStyle::Horizontal},
                                                    {"bsVertical", BrushStyle::Vertical},
                                                    {"bsFDiagonal", BrushStyle::FDiagonal},
                                                    {"bsBDiagonal", BrushStyle::BDiagonal},
                                                    {"bsCross", BrushStyle::Cross},
                                                    {"bsDiagCross", BrushStyle::DiagCross}},
                              BrushStyle::Solid));
  shape->setPenColor(ColorOr(d, "Pen.Color", "clBlack"));
  shape->setPenWidth(IntegerIn(d, "Pen.Width", 1, 0, 100));
  return shape;
}

ErrorOr<QWidget*> CreateOwnBevel(const FormObject& d, const FormFont&, QWidget* parent) {
  auto* bevel = new BevelControl(parent);
  bevel->setShape(EnumOr(d, "Shape",
                         NameTable<BevelShape>{{"bsBox", BevelShape::Box},
                                               {"bsFrame", BevelShape::Frame},
                                               {"bsTopLine", BevelShape::TopLine},
                                               {"bsBottomLine", BevelShape::BottomLine},
                                               {"bsLeftLine", BevelShape::LeftLine},
                                               {"bsRightLine", BevelShape::RightLine},
                                               {"bsSpacer", BevelShape::Spacer}},
                         BevelShape::Box));
  bevel->setStyle(EnumOr(
      d, "Style",
      NameTable<BevelStyle>{{"bsLowered", BevelStyle::Lowered}, {"bsRaised", BevelStyle::Raised}},
      BevelStyle::Lowered));
  return bevel;
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

std::string FormTextPropertyOf(const FormObject& o) {
  if (o.FindValue("Text")) return o.StringOr("Text", "");
  std::string text;
  if (const FormValue* lines = o.FindValue("Lines.Strings")) {
    if (const auto* list = lines->As<FormList>()) {
      for (const auto& item : list->items) {
        if (const auto* s = item.As<std::string>()) text += *s;
        text += "\r\n";
      }
    }
  }
  return text;
}

Error FormControlError(const FormObject& d, std::string_view property, const Error& e) {
  return Error::Make(e.code, "control " + d.name + " (line " + std::to_string(d.line) +
                                 "): " + std::string(property) + ": " + e.message);
}

}  // namespace vec
