// The six own controls built from form texts: every property a form text may carry reaches
// the real widget's setter, with hand-made pictures and hand-worked colours.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "configui/FormBuilder.h"
#include "configui/controls/BevelControl.h"
#include "configui/controls/ImageButton.h"
#include "configui/controls/MemoControl.h"
#include "configui/controls/PicturePreview.h"
#include "configui/controls/ShapeControl.h"
#include "configui/controls/ThumbnailGrid.h"
#include "tests/configui/window/FormTestApp.h"

namespace vec {
namespace {

QApplication& App() {
  return test::FormTestApp();
}

std::unique_ptr<DesignedWindow> Build(const std::string& text) {
  App();
  auto read = ReadFormText(text);
  EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().message);
  if (!read.ok()) return nullptr;
  auto built = BuildWindow(read.release_value());
  EXPECT_TRUE(built.ok()) << (built.ok() ? "" : built.error().message);
  return built.ok() ? built.release_value() : nullptr;
}

template <class W>
W* Control(const DesignedWindow& w, const char* name) {
  const BuiltControl* c = w.FindControl(name);
  return c ? dynamic_cast<W*>(c->widget) : nullptr;
}

void Le32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Le16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A 24-bit bottom-up BMP file written out field by field; `rows` run top to bottom, each
// pixel as 0xRRGGBB.
std::vector<uint8_t> Bmp24(const std::vector<std::vector<uint32_t>>& rows) {
  const uint32_t width = static_cast<uint32_t>(rows[0].size());
  const uint32_t height = static_cast<uint32_t>(rows.size());
  const uint32_t stride = (width * 3 + 3) / 4 * 4;
  std::vector<uint8_t> f = {'B', 'M'};
  Le32(f, 54 + stride * height);
  Le32(f, 0);
  Le32(f, 54);
  Le32(f, 40);
  Le32(f, width);
  Le32(f, height);
  Le16(f, 1);
  Le16(f, 24);
  for (int i = 0; i < 6; ++i) Le32(f, i == 1 ? stride * height : 0);
  for (uint32_t y = height; y-- > 0;) {
    for (uint32_t rgb : rows[y]) {
      f.push_back(static_cast<uint8_t>(rgb));        // blue
      f.push_back(static_cast<uint8_t>(rgb >> 8));   // green
      f.push_back(static_cast<uint8_t>(rgb >> 16));  // red
    }
    for (uint32_t pad = width * 3; pad < stride; ++pad) f.push_back(0);
  }
  return f;
}

// A picture property's Data as a form text writes it: "TBitmap" with its length byte, the
// bitmap's size, the BMP file, all in hexadecimal between braces.
std::string PictureDataText(const std::vector<uint8_t>& bmp) {
  std::vector<uint8_t> data = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
  Le32(data, static_cast<uint32_t>(bmp.size()));
  data.insert(data.end(), bmp.begin(), bmp.end());
  std::string text = "{";
  char hex[3];
  for (uint8_t b : data) {
    std::snprintf(hex, sizeof hex, "%02X", b);
    text += hex;
  }
  return text + "}";
}

std::string Window(const std::string& controls) {
  return "object W: TForm\n ClientWidth = 400\n ClientHeight = 300\n Font.Color = clRed\n" +
         controls + "end\n";
}

// Each picture has a size of its own, so a picture read into another state's setter shows;
// the up picture's corner colours catch swapped colour bytes and a flipped row order.
TEST(OwnControls, ImageButtonPicturesReachTheirStates) {
  const std::string up =
      PictureDataText(Bmp24({{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0x123456}}));
  const std::string down = PictureDataText(Bmp24({{0x00FF00}}));
  const std::string over = PictureDataText(Bmp24({{0x0000FF, 0x0000FF}}));
  const std::string disable = PictureDataText(Bmp24({{0x808080}, {0x808080}}));
  auto w =
      Build(Window(" object B: TMyButton\n  Left = 10\n  Top = 20\n  Width = 84\n"
                   "  Height = 24\n  ButtonUp.Data = " +
                   up + "\n  ButtonDown.Data = " + down + "\n  ButtonOver.Data = " + over +
                   "\n  ButtonDisable.Data = " + disable + "\n end\n"));
  ASSERT_TRUE(w);
  auto* b = Control<ImageButton>(*w, "B");
  ASSERT_NE(b, nullptr);
  const ImageButtonProperties& p = b->properties();
  ASSERT_EQ(p.buttonUp.Width(), 3);
  ASSERT_EQ(p.buttonUp.Height(), 2);
  EXPECT_EQ(p.buttonUp.GetPixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p.buttonUp.GetPixel(2, 0), 0xFF0000FFu);
  EXPECT_EQ(p.buttonUp.GetPixel(2, 1), 0xFF123456u);
  EXPECT_EQ(p.buttonDown.Width(), 1);
  EXPECT_EQ(p.buttonDown.Height(), 1);
  EXPECT_EQ(p.buttonDown.GetPixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(p.buttonOver.Width(), 2);
  EXPECT_EQ(p.buttonOver.Height(), 1);
  EXPECT_EQ(p.buttonDisable.Width(), 1);
  EXPECT_EQ(p.buttonDisable.Height(), 2);
  // Defaults of a button that names none of its switches.
  EXPECT_TRUE(p.autoSize);
  EXPECT_TRUE(p.transparent);
  EXPECT_FALSE(p.showCaption);
  EXPECT_FALSE(p.allowDown);
  // AutoSize takes the up picture's size when the button paints.
  w->show();
  QApplication::processEvents();
  b->repaint();
  EXPECT_EQ(b->geometry(), QRect(10, 20, 3, 2));
}

// Catches a caption left in Windows-1252, a switch read into the wrong setter, and the
// font's colour taken from the window rather than the button's own Font.Color ($00BBGGRR).
TEST(OwnControls, ImageButtonSwitchesCaptionAndFont) {
  auto w = Build(
      Window(" object A: TMyButton\n  Width = 84\n  Height = 24\n  Caption = 'Caf'#233' &Go'\n"
             "  ShowCaption = True\n  AutoSize = False\n  Transparent = False\n"
             "  Font.Color = $00FF8000\n  Font.Height = -15\n  Font.Style = [fsItalic]\n end\n"
             " object Inherits: TMyButton\n  Width = 50\n  Height = 20\n end\n"));
  ASSERT_TRUE(w);
  auto* a = Control<ImageButton>(*w, "A");
  auto* inherits = Control<ImageButton>(*w, "Inherits");
  ASSERT_TRUE(a && inherits);
  const ImageButtonProperties& p = a->properties();
  EXPECT_EQ(p.caption, QString::fromUtf8("Caf\u00e9 &Go"));
  EXPECT_TRUE(p.showCaption);
  EXPECT_FALSE(p.autoSize);
  EXPECT_FALSE(p.transparent);
  EXPECT_EQ(p.fontColor, 0xFF0080FFu);
  EXPECT_EQ(p.font.pixelSize(), 15);
  EXPECT_TRUE(p.font.italic());
  EXPECT_EQ(inherits->properties().fontColor, 0xFFFF0000u);
  EXPECT_EQ(inherits->properties().font.pixelSize(), 11);
  w->show();
  QApplication::processEvents();
  EXPECT_EQ(a->size(), QSize(84, 24));  // AutoSize off keeps the written size
}

// Down holds only while AllowDown does, so the order the two are written in decides it.
TEST(OwnControls, ImageButtonDownFollowsAllowDownInTextOrder) {
  struct Row {
    const char* name;
    const char* properties;
    bool allowDown;
    bool down;
  };
  const Row rows[] = {
      {"AllowThenDown", "AllowDown = True\n  Down = True\n", true, true},
      {"DownThenAllow", "Down = True\n  AllowDown = True\n", true, false},
      {"DownAlone", "Down = True\n", false, false},
      {"AllowedUp", "AllowDown = True\n  Down = False\n", true, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    auto w = Build(Window(std::string(" object B: TMyButton\n  ") + r.properties + " end\n"));
    ASSERT_TRUE(w);
    auto* b = Control<ImageButton>(*w, "B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->allowDown(), r.allowDown);
    EXPECT_EQ(b->isDown(), r.down);
  }
}

TEST(OwnControls, DamagedButtonPictureNamesControlAndProperty) {
  App();
  auto read = ReadFormText(
      Window(" object Btn: TMyButton\n  ButtonOver.Data = {07544269746D6170FF}\n end\n"));
  ASSERT_TRUE(read.ok());
  auto built = BuildWindow(read.release_value());
  ASSERT_FALSE(built.ok());
  EXPECT_NE(built.error().message.find("Btn"), std::string::npos);
  EXPECT_NE(built.error().message.find("ButtonOver.Data"), std::string::npos);
}

// A grid of 250 pixels with 60 x 40 pictures: cells of 80 x 60 (90 with titles), three to
// a row; one row when MultiRows is off. Colour $00563412 is red 12, green 34, blue 56.
TEST(OwnControls, ThumbnailGridPropertiesDecideItsLayout) {
  auto w = Build(
      Window(" object G: TVEThumbnail2\n  Width = 250\n  Height = 200\n  PictureWidth = 60\n"
             "  PictureHeight = 40\n  ShowCheckBox = True\n  Color = $00563412\n  Ctl3D = False\n"
             "  BorderStyle = bsNone\n  Font.Color = clBlue\n end\n"
             " object T: TVEThumbnail2\n  Width = 250\n  Height = 200\n  PictureWidth = 60\n"
             "  PictureHeight = 40\n  ShowTitle = True\n  MultiRows = False\n end\n"));
  ASSERT_TRUE(w);
  auto* g = Control<ThumbnailGrid>(*w, "G");
  auto* t = Control<ThumbnailGrid>(*w, "T");
  ASSERT_TRUE(g && t);
  const std::vector<std::string> seven = {"a.jpg", "b.jpg", "c.jpg", "d.jpg",
                                          "e.jpg", "f.jpg", "g.jpg"};
  g->setItems(seven);
  t->setItems(seven);

  EXPECT_EQ(g->pictureWidth(), 60);
  EXPECT_EQ(g->pictureHeight(), 40);
  EXPECT_EQ(g->layout().columnWidth, 80);
  EXPECT_EQ(g->layout().rowHeight, 60);
  EXPECT_EQ(g->layout().columns, 3);
  EXPECT_EQ(g->layout().rows, 3);
  EXPECT_TRUE(g->showCheckBox());
  EXPECT_FALSE(g->showTitle());
  EXPECT_TRUE(g->multiRows());
  EXPECT_EQ(g->color(), 0xFF123456u);
  EXPECT_EQ(g->fontColor(), 0xFF0000FFu);
  EXPECT_FALSE(g->ctl3D());
  EXPECT_EQ(g->borderStyle(), FrameBorder::None);
  EXPECT_EQ(g->render().GetPixel(1, 1), 0xFF123456u);

  EXPECT_EQ(t->layout().rowHeight, 90);
  EXPECT_EQ(t->layout().columns, 7);
  EXPECT_EQ(t->layout().rows, 1);
  EXPECT_TRUE(t->showTitle());
  EXPECT_FALSE(t->showCheckBox());
  EXPECT_FALSE(t->multiRows());
  EXPECT_TRUE(t->ctl3D());
  EXPECT_EQ(t->borderStyle(), FrameBorder::Single);
  EXPECT_EQ(t->fontColor(), 0xFFFF0000u);  // the window's font colour, inherited
}

// The memo's text is every line followed by CR LF, Windows-1252 converted; Text wins over
// Lines when both are written.
TEST(OwnControls, MemoTextAndSwitches) {
  auto w = Build(Window(
      " object M: TMyMemo\n  Width = 100\n  Height = 60\n  Lines.Strings = (\n"
      "    'first'\n    ''\n    'na'#239've')\n  WordWrap = False\n  ReadOnly = True\n"
      "  ScrollBars = ssVertical\n  Color = clYellow\n  BorderStyle = bsNone\n end\n"
      " object N: TMyMemo\n  Text = 'one'#13#10'two'\n  Lines.Strings = ('ignored')\n end\n"));
  ASSERT_TRUE(w);
  auto* m = Control<MemoControl>(*w, "M");
  auto* n = Control<MemoControl>(*w, "N");
  ASSERT_TRUE(m && n);
  EXPECT_EQ(m->text(), QString::fromUtf8("first\r\n\r\nna\u00efve\r\n"));
  EXPECT_EQ(m->lines().size(), 3);
  EXPECT_EQ(m->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(m->isReadOnly());
  EXPECT_EQ(m->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(m->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(m->palette().color(QPalette::Base), QColor(255, 255, 0));
  EXPECT_EQ(m->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(m->borderStyle(), FrameBorder::None);

  EXPECT_EQ(n->text(), "one\r\ntwo\r\n");
  EXPECT_EQ(n->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_FALSE(n->isReadOnly());
  EXPECT_EQ(n->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(n->borderStyle(), FrameBorder::Single);
}

// Brush and pen colours kept apart and in byte order; the pen width and both styles read.
TEST(OwnControls, ShapeAndBevel) {
  auto w = Build(
      Window(" object S: TMyShape\n  Width = 40\n  Height = 30\n  Shape = stRoundSquare\n"
             "  Brush.Color = $00CC8844\n  Brush.Style = bsDiagCross\n  Pen.Color = $00332211\n"
             "  Pen.Width = 3\n end\n"
             " object Plain: TMyShape\n end\n"
             " object V: TMyBevel\n  Width = 40\n  Height = 30\n  Shape = bsTopLine\n"
             "  Style = bsRaised\n end\n"
             " object DefaultBevel: TMyBevel\n end\n"));
  ASSERT_TRUE(w);
  auto* s = Control<ShapeControl>(*w, "S");
  auto* plain = Control<ShapeControl>(*w, "Plain");
  auto* v = Control<BevelControl>(*w, "V");
  auto* dv = Control<BevelControl>(*w, "DefaultBevel");
  ASSERT_TRUE(s && plain && v && dv);
  EXPECT_EQ(s->shape(), ShapeKind::RoundSquare);
  EXPECT_EQ(s->brushColor(), 0xFF4488CCu);
  EXPECT_EQ(s->brushStyle(), BrushStyle::DiagCross);
  EXPECT_EQ(s->penColor(), 0xFF112233u);
  EXPECT_EQ(s->penWidth(), 3);
  EXPECT_EQ(plain->shape(), ShapeKind::Rectangle);
  EXPECT_EQ(plain->brushColor(), 0xFFFFFFFFu);
  EXPECT_EQ(plain->brushStyle(), BrushStyle::Solid);
  EXPECT_EQ(plain->penColor(), 0xFF000000u);
  EXPECT_EQ(plain->penWidth(), 1);
  EXPECT_EQ(v->shape(), BevelShape::TopLine);
  EXPECT_EQ(v->style(), BevelStyle::Raised);
  EXPECT_EQ(dv->shape(), BevelShape::Box);
  EXPECT_EQ(dv->style(), BevelStyle::Lowered);
}

// An image with AutoSize takes its picture's size (3 x 2 here, a different ratio from the
// designed 50 x 40); without it the designed size stays. Catches AutoSize ignored or the
// axes swapped.
TEST(OwnControls, ImageAutoSizeTakesThePicturesSize) {
  const std::string picture = PictureDataText(Bmp24({{0xFF0000, 0x00FF00, 0x0000FF}, {1, 2, 3}}));
  auto w =
      Build(Window(" object Sized: TImage\n  Width = 50\n  Height = 40\n  AutoSize = True\n"
                   "  Picture.Data = " +
                   picture +
                   "\n end\n"
                   " object Fixed: TImage\n  Width = 50\n  Height = 40\n"
                   "  Picture.Data = " +
                   picture + "\n end\n"));
  ASSERT_TRUE(w);
  EXPECT_EQ(Control<QWidget>(*w, "Sized")->size(), QSize(3, 2));
  EXPECT_EQ(Control<QWidget>(*w, "Fixed")->size(), QSize(50, 40));
}

// The preview starts empty, keeps its hint, and shows it only with ShowHint.
TEST(OwnControls, PreviewHint) {
  auto w = Build(
      Window(" object P: TVEPreview\n  Width = 100\n  Height = 80\n  Hint = 'Click to preview'\n"
             "  ShowHint = True\n end\n"
             " object Q: TVEPreview\n  Hint = 'hidden'\n end\n"));
  ASSERT_TRUE(w);
  auto* p = Control<PicturePreview>(*w, "P");
  auto* q = Control<PicturePreview>(*w, "Q");
  ASSERT_TRUE(p && q);
  EXPECT_EQ(p->toolTip(), "Click to preview");
  EXPECT_TRUE(p->picture().Empty());
  EXPECT_EQ(q->toolTip(), "");
}

}  // namespace
}  // namespace vec
