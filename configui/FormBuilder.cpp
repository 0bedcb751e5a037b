#include "configui/FormBuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <map>
#include <set>

#include "base/TextEncoding.h"
#include "configui/FormNames.h"
#include "configui/FormQt.h"
#include "configui/ImageWidget.h"
#include "configui/OwnControlFactory.h"
#include "configui/PanelWidget.h"
#include "configui/ShapeWidget.h"
#include "graphics/ImageFile.h"

namespace vec {
namespace {

// The window's built-in defaults, applied before the form text.
constexpr FormRect kDefaultWindowRect{428, 197, 588, 478};
// Sizes beyond this are damaged input; no widget is made larger than any screen.
constexpr int64_t kMaxExtent = 32767;

int Coordinate(const FormObject& o, std::string_view path, int fallback) {
  const int64_t v = o.IntegerOr(path, fallback);
  return static_cast<int>(std::clamp<int64_t>(v, -kMaxExtent, kMaxExtent));
}

int Extent(const FormObject& o, std::string_view path, int fallback) {
  return std::max(0, Coordinate(o, path, fallback));
}

bool Is(const FormObject& o, std::string_view className) {
  return SameNameNoCase(o.className, className);
}

bool HasCaption(const FormObject& o) {
  for (auto c : {"TLabel", "TPanel", "TBitBtn", "TButton", "TCheckBox", "TTabSheet", "TMyButton"})
    if (Is(o, c)) return true;
  return false;
}

bool HasText(const FormObject& o) {
  return Is(o, "TEdit") || Is(o, "TMyMemo");
}

std::optional<Qt::CursorShape> CursorFromName(std::string_view name) {
  struct Entry {
    std::string_view name;
    Qt::CursorShape shape;
  };
  constexpr Entry kCursors[] = {
      {"crDefault", Qt::ArrowCursor},
      {"crArrow", Qt::ArrowCursor},
      {"crHandPoint", Qt::PointingHandCursor},
      {"crIBeam", Qt::IBeamCursor},
      {"crCross", Qt::CrossCursor},
      {"crHourGlass", Qt::WaitCursor},
      {"crSizeAll", Qt::SizeAllCursor},
      {"crNo", Qt::ForbiddenCursor},
      {"crHelp", Qt::WhatsThisCursor},
      {"crUpArrow", Qt::UpArrowCursor},
      {"crAppStart", Qt::BusyCursor},
      {"crNone", Qt::BlankCursor},
  };
  for (const auto& e : kCursors)
    if (SameNameNoCase(e.name, name)) return e.shape;
  return std::nullopt;
}

PanelBevel PanelBevelFromName(std::string_view name, PanelBevel fallback) {
  if (SameNameNoCase(name, "bvNone")) return PanelBevel::None;
  if (SameNameNoCase(name, "bvLowered")) return PanelBevel::Lowered;
  if (SameNameNoCase(name, "bvRaised")) return PanelBevel::Raised;
  if (SameNameNoCase(name, "bvSpace")) return PanelBevel::Space;
  return fallback;
}

// An image of a picture property. Pictures the image loaders do not read (metafiles,
// icons they lack) give an empty image; data that does not hold what it claims is an error.
ErrorOr<QImage> ImageOf(const std::vector<uint8_t>& data, bool transparent) {
  PictureData picture = TRY(DecodePictureData(data));
  const BlendBitmap pixels = PictureBitmap(picture);
  if (pixels.Empty()) return QImage();
  QImage image(pixels.Width(), pixels.Height(), QImage::Format_ARGB32);
  for (int y = 0; y < pixels.Height(); ++y) {
    const Pixel* src = pixels.ScanLine(y);
    std::copy(src, src + pixels.Width(), reinterpret_cast<QRgb*>(image.scanLine(y)));
  }
  // A transparent bitmap leaves out the colour of its bottom-left pixel.
  if (transparent && picture.format == PictureFormat::Bitmap && !image.isNull()) {
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (row[x] == key) row[x] = 0;
    }
  }
  return image;
}

class Builder {
 public:
  explicit Builder(DesignedWindow& window) : window_(window) {}

  Status Build() {
    const FormObject& def = window_.definition();
    WindowModel& model = window_.model();
    model.name = def.name;
    model.caption = def.StringOr("Caption", "");
    model.style = WindowStyleOf(def);
    const int width = Extent(def, "Width", kDefaultWindowRect.width);
    const int height = Extent(def, "Height", kDefaultWindowRect.height);
    model.geometry = {Coordinate(def, "Left", kDefaultWindowRect.left),
                      Coordinate(def, "Top", kDefaultWindowRect.top),
                      Extent(def, "ClientWidth", width), Extent(def, "ClientHeight", height)};

    window_.setObjectName(FormTextToQString(def.name));
    window_.setWindowTitle(FormTextToQString(model.caption));
    FormFont font = ResolveFormFont(def, FormFont{});
    ApplyFont(window_, font);
    const FormColor color = ColorOr(def, "Color", *FormColorFromName("clBtnFace"));
    ApplyBackground(window_, color);
    ApplyWindowStyle(model);

    window_.AddLayoutContainer(&window_, model.geometry.width, model.geometry.height);
    TRY(BuildChildren(def, window_, def.name, font, color));
    ApplyTabOrder();
    window_.LayoutAll();
    return {};
  }

 private:
  FormColor ColorOr(const FormObject& o, std::string_view path, FormColor fallback) {
    if (const FormValue* v = o.FindValue(path))
      if (auto c = FormColorFromValue(*v)) return *c;
    return fallback;
  }

  void ApplyFont(QWidget& w, const FormFont& font) {
    w.setFont(ToQFont(font));
    QPalette pal = w.palette();
    const QColor c = ToQColor(font.color, QApplication::palette());
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      pal.setColor(role, c);
    w.setPalette(pal);
  }

  void ApplyBackground(QWidget& w, const FormColor& color) {
    QPalette pal = w.palette();
    pal.setColor(QPalette::Window, ToQColor(color, QApplication::palette()));
    w.setPalette(pal);
    w.setAutoFillBackground(true);
  }

  void ApplyWindowStyle(const WindowModel& model) {
    const WindowStyle& s = model.style;
    Qt::WindowFlags flags = Qt::Dialog;
    if (s.border == BorderStyle::None) {
      flags |= Qt::FramelessWindowHint;
    } else {
      flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (s.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      if (s.maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
      if (s.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    }
    window_.setWindowFlags(flags);
    const QSize size(model.geometry.width, model.geometry.height);
    window_.resize(size);
    if (s.border != BorderStyle::Sizeable && !s.maximized) window_.setFixedSize(size);
    window_.setSizeGripEnabled(s.border == BorderStyle::Sizeable);
    if (s.maximized) window_.setWindowState(Qt::WindowMaximized);
    // Centred on the screen; the written position is only kept in the model.
    QPoint topLeft(model.geometry.left, model.geometry.top);
    if (QScreen* screen = QGuiApplication::primaryScreen())
      topLeft = screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2);
    window_.move(topLeft);
  }

  Status BuildChildren(const FormObject& parentDef, QWidget& container,
                       const std::string& parentName, const FormFont& font,
                       const FormColor& color) {
    auto* pages = dynamic_cast<QTabWidget*>(&container);
    for (const FormObject& child : parentDef.children) {
      QWidget* host = &container;
      if (pages) {
        // A page control holds tab sheets; anything else goes onto its current page.
        if (!Is(child, "TTabSheet") && pages->currentWidget()) host = pages->currentWidget();
      }
      TRY(BuildControl(child, *host, parentName, font, color, pages));
    }
    if (pages) {
      if (const std::string active = parentDef.IdentifierOr("ActivePage", ""); !active.empty()) {
        for (int i = 0; i < pages->count(); ++i)
          if (SameNameNoCase(pages->widget(i)->objectName().toStdString(), Cp1252ToUtf8(active)))
            pages->setCurrentIndex(i);
      }
    }
    return {};
  }

  Status BuildControl(const FormObject& def, QWidget& parent, const std::string& parentName,
                      const FormFont& parentFont, const FormColor& parentColor, QTabWidget* pages) {
    BuiltControl record;
    record.name = def.name;
    record.className = def.className;
    record.parentName = parentName;
    record.tag = def.IntegerOr("Tag", 0);
    record.definition = &def;
    record.geometry = {Coordinate(def, "Left", 0), Coordinate(def, "Top", 0),
                       Extent(def, "Width", 0), Extent(def, "Height", 0)};
    if (HasCaption(def)) record.caption = def.StringOr("Caption", "");
    if (HasText(def)) record.text = FormTextPropertyOf(def);

    if (Is(def, "TTimer")) {
      auto* timer = new QTimer(&window_);
      timer->setObjectName(FormTextToQString(def.name));
      timer->setInterval(
          static_cast<int>(std::clamp<int64_t>(def.IntegerOr("Interval", 1000), 0, INT32_MAX)));
      // Started by the window's show handling, which owns what a tick does.
      timer->setProperty("formEnabled", def.BoolOr("Enabled", true));
      record.timer = timer;
      window_.controls().push_back(std::move(record));
      return {};
    }

    const FormFont font = ResolveFormFont(def, parentFont);
    const FormColor color = ColorOr(def, "Color", parentColor);
    QWidget* w = TRY(CreateWidget(def, font, parent, record, pages));
    record.widget = w;
    // An image with AutoSize takes the size of its picture.
    if (Is(def, "TImage") && def.BoolOr("AutoSize", false))
      if (const auto* image = dynamic_cast<ImageWidget*>(w); image && !image->image().isNull()) {
        record.geometry.width = image->image().width();
        record.geometry.height = image->image().height();
      }
    w->setObjectName(FormTextToQString(def.name));
    ApplyFont(*w, font);
    if (const auto* label = dynamic_cast<QLabel*>(w); label && Is(def, "TLabel"))
      FitAutoSizeLabel(def, *label, record.geometry);
    if (def.FindValue("Color") && !Is(def, "TLabel")) ApplyBackground(*w, color);
    if (Is(def, "TLabel") && !def.BoolOr("Transparent", false) && def.FindValue("Color"))
      ApplyBackground(*w, color);
    w->setEnabled(def.BoolOr("Enabled", true));
    if (!def.BoolOr("Visible", true)) w->setVisible(false);
    if (def.BoolOr("ShowHint", false)) w->setToolTip(FormTextToQString(def.StringOr("Hint", "")));
    if (auto cursor = CursorFromName(def.IdentifierOr("Cursor", ""))) w->setCursor(*cursor);
    if (const FormValue* order = def.FindValue("TabOrder"))
      if (const auto* n = order->As<int64_t>()) tabOrders_[&parent].push_back({*n, w});

    if (!Is(def, "TTabSheet")) {
      w->setGeometry(record.geometry.left, record.geometry.top, record.geometry.width,
                     record.geometry.height);
      ChildLayout layout;
      layout.design = record.geometry;
      layout.align = FormAlignFromName(def.IdentifierOr("Align", "alNone"));
      if (const FormValue* anchors = def.FindValue("Anchors"))
        if (const auto* set = anchors->As<FormSet>())
          layout.anchors = FormAnchorsFromMembers(set->members);
      EnsureContainer(parent);
      window_.AddToContainer(&parent, w, layout);
    }
    window_.controls().push_back(std::move(record));

    if (!def.children.empty()) {
      EnsureContainer(*w);
      TRY(BuildChildren(def, *w, def.name, font, color));
    }
    return {};
  }

  // Makes `w` a layout container at its design size (the first time only).
  void EnsureContainer(QWidget& w) {
    if (containers_.insert(&w).second) {
      if (&w == &window_) return;
      QRect area = w.contentsRect();
      if (auto* pages = dynamic_cast<QTabWidget*>(w.parentWidget()->parentWidget())) {
        // A tab sheet is designed at the page control's size less its tabs and frame.
        area = QRect(0, 0, std::max(0, pages->width() - 8), std::max(0, pages->height() - 28));
      }
      window_.AddLayoutContainer(&w, area.width(), area.height());
    }
  }

  ErrorOr<QWidget*> CreateWidget(const FormObject& def, const FormFont& font, QWidget& parent,
                                 const BuiltControl& record, QTabWidget* pages) {
    const QString caption = FormTextToQString(record.caption.value_or(""));
    if (OwnControlMaker make = FindOwnControlMaker(def.className)) return make(def, font, &parent);
    if (Is(def, "TLabel")) {
      auto* label = new QLabel(StripAccelerators(caption), &parent);
      Qt::Alignment h = Qt::AlignLeft, v = Qt::AlignTop;
      const std::string a = def.IdentifierOr("Alignment", "taLeftJustify");
      if (SameNameNoCase(a, "taRightJustify")) h = Qt::AlignRight;
      if (SameNameNoCase(a, "taCenter")) h = Qt::AlignHCenter;
      const std::string l = def.IdentifierOr("Layout", "tlTop");
      if (SameNameNoCase(l, "tlCenter")) v = Qt::AlignVCenter;
      if (SameNameNoCase(l, "tlBottom")) v = Qt::AlignBottom;
      label->setAlignment(h | v);
      label->setWordWrap(def.BoolOr("WordWrap", false));
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    if (Is(def, "TPanel")) {
      auto* panel = new PanelWidget(&parent);
      panel->SetBevels(
          PanelBevelFromName(def.IdentifierOr("BevelOuter", "bvRaised"), PanelBevel::Raised),
          PanelBevelFromName(def.IdentifierOr("BevelInner", "bvNone"), PanelBevel::None),
          static_cast<int>(std::clamp<int64_t>(def.IntegerOr("BevelWidth", 1), 0, 100)));
      panel->SetCaption(caption);
      const int e = panel->BevelExtent();
      panel->setContentsMargins(e, e, e, e);
      return panel;
    }
    if (Is(def, "TImage")) {
      auto* image = new ImageWidget(&parent);
      image->SetPlacement(def.BoolOr("Center", false), def.BoolOr("Stretch", false),
                          def.BoolOr("Proportional", false));
      if (const auto* data = def.BinaryOf("Picture.Data")) {
        auto loaded = ImageOf(*data, def.BoolOr("Transparent", false));
        if (loaded.is_error()) return FormControlError(def, "Picture.Data", loaded.error());
        image->SetImage(loaded.release_value());
      }
      return image;
    }
    if (Is(def, "TBitBtn") || Is(def, "TButton")) {
      auto* button = new QPushButton(caption, &parent);
      if (const auto* data = def.BinaryOf("Glyph.Data")) {
        auto glyph = ImageOf(*data, true);
        if (glyph.is_error()) return FormControlError(def, "Glyph.Data", glyph.error());
        QImage all = glyph.release_value();
        const int count =
            static_cast<int>(std::clamp<int64_t>(def.IntegerOr("NumGlyphs", 1), 1, 4));
        if (!all.isNull()) {
          // The glyph strip holds up to four states side by side; the first is the normal one.
          const QImage first = all.copy(0, 0, all.width() / count, all.height());
          button->setIcon(QIcon(QPixmap::fromImage(first)));
          button->setIconSize(first.size());
        }
      }
      return button;
    }
    if (Is(def, "TEdit")) return new QLineEdit(FormTextToQString(*record.text), &parent);
    if (Is(def, "TCheckBox")) {
      auto* box = new QCheckBox(caption, &parent);
      box->setChecked(def.BoolOr("Checked", false));
      return box;
    }
    if (Is(def, "TPageControl")) {
      auto* tabs = new QTabWidget(&parent);
      const std::string pos = def.IdentifierOr("TabPosition", "tpTop");
      if (SameNameNoCase(pos, "tpBottom")) tabs->setTabPosition(QTabWidget::South);
      if (SameNameNoCase(pos, "tpLeft")) tabs->setTabPosition(QTabWidget::West);
      if (SameNameNoCase(pos, "tpRight")) tabs->setTabPosition(QTabWidget::East);
      tabs->setDocumentMode(!SameNameNoCase(def.IdentifierOr("Style", "tsTabs"), "tsTabs"));
      return tabs;
    }
    if (Is(def, "TTabSheet")) {
      auto* page = new QWidget();
      if (pages) {
        pages->addTab(page, caption);  // the tab widget takes ownership
        pages->setCurrentWidget(page);
      } else {
        page->setParent(&parent);
      }
      return page;
    }
    if (Is(def, "TShape")) {
      auto* shape = new ShapeWidget(&parent);
      ShapeKind kind = ShapeKind::Rectangle;
      const std::string s = def.IdentifierOr("Shape", "stRectangle");
      constexpr std::pair<std::string_view, ShapeKind> kShapes[] = {
          {"stSquare", ShapeKind::Square},
          {"stRoundRect", ShapeKind::RoundRect},
          {"stRoundSquare", ShapeKind::RoundSquare},
          {"stEllipse", ShapeKind::Ellipse},
          {"stCircle", ShapeKind::Circle}};
      for (const auto& [name, k] : kShapes)
        if (SameNameNoCase(name, s)) kind = k;
      const QPalette& pal = QApplication::palette();
      QBrush brush(ToQColor(ColorOr(def, "Brush.Color", *FormColorFromName("clWhite")), pal));
      if (SameNameNoCase(def.IdentifierOr("Brush.Style", "bsSolid"), "bsClear"))
        brush.setStyle(Qt::NoBrush);
      QPen pen(ToQColor(ColorOr(def, "Pen.Color", *FormColorFromName("clBlack")), pal));
      pen.setWidth(static_cast<int>(std::clamp<int64_t>(def.IntegerOr("Pen.Width", 1), 0, 100)));
      if (SameNameNoCase(def.IdentifierOr("Pen.Style", "psSolid"), "psClear"))
        pen.setStyle(Qt::NoPen);
      shape->SetShape(kind, brush, pen);
      return shape;
    }
    return Error::Make(ErrorCode::Unsupported,
                       "control " + def.name + ": class " + def.className + " cannot be built");
  }

  void ApplyTabOrder() {
    for (auto& [container, list] : tabOrders_) {
      std::stable_sort(list.begin(), list.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      for (size_t i = 1; i < list.size(); ++i)
        QWidget::setTabOrder(list[i - 1].second, list[i].second);
    }
  }

  DesignedWindow& window_;
  std::set<QWidget*> containers_;
  std::map<QWidget*, std::vector<std::pair<int64_t, QWidget*>>> tabOrders_;
};

}  // namespace

ErrorOr<std::unique_ptr<DesignedWindow>> BuildWindow(FormObject definition) {
  auto window = std::make_unique<DesignedWindow>(std::move(definition));
  Builder builder(*window);
  TRY(builder.Build());
  return window;
}

ErrorOr<std::unique_ptr<DesignedWindow>> BuildDesignedWindow(const FormCollection& forms,
                                                             std::string_view formName) {
  const std::string_view name = TrimControlsAndBlanks(formName);
  const FormDefinition* found = forms.FindForm(name);
  if (!found) {
    return Error::Make(ErrorCode::Corrupt, "no designed window named '" + Cp1252ToUtf8(name) + "'");
  }
  FormDefinition prepared = *found;  // preparing renames; the collection stays as loaded
  const std::string text = prepared.PrepareFormText();
  auto read = ReadFormText(text);
  if (read.is_error()) {
    return Error::Make(read.error().code,
                       "window " + Cp1252ToUtf8(prepared.name) + ": " + read.error().message);
  }
  return BuildWindow(read.release_value());
}

}  // namespace vec
