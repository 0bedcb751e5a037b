// Windows built from form texts, with real widgets off screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <chrono>
#include <cstdlib>

#include "configui/FormBuilder.h"
#include "tests/configui/window/FormTestApp.h"
#include "tests/support/TextFit.h"

namespace vec {
namespace {

QApplication& App() {
  return test::FormTestApp();
}

std::unique_ptr<DesignedWindow> Build(const std::string& text) {
  App();
  auto read = ReadFormText(text);
  EXPECT_TRUE(read.ok()) << (read.ok() ? "" : read.error().message);
  auto built = BuildWindow(read.release_value());
  EXPECT_TRUE(built.ok()) << (built.ok() ? "" : built.error().message);
  return built.ok() ? built.release_value() : nullptr;
}

QWidget* Widget(const DesignedWindow& w, const char* name) {
  const BuiltControl* c = w.FindControl(name);
  return c ? c->widget : nullptr;
}

// Catches a control parented to the window instead of its enclosing panel.
TEST(FormBuilder, ControlsHangUnderTheirEnclosingControl) {
  auto w = Build(
      "object W: TForm\n ClientWidth = 200\n ClientHeight = 100\n"
      " object P: TPanel\n  Left = 10\n  Top = 20\n  Width = 100\n  Height = 50\n"
      "  object L: TLabel\n   Left = 5\n   Top = 6\n   Width = 30\n   Height = 13\n"
      "   AutoSize = False\n   Caption = 'Sa&ve && go'\n  end\n end\nend\n");
  ASSERT_TRUE(w);
  QWidget* panel = Widget(*w, "P");
  auto* label = dynamic_cast<QLabel*>(Widget(*w, "L"));
  ASSERT_TRUE(panel && label);
  EXPECT_EQ(panel->parentWidget(), w.get());
  EXPECT_EQ(label->parentWidget(), panel);
  EXPECT_EQ(label->geometry(), QRect(5, 6, 30, 13));
  EXPECT_EQ(panel->geometry(), QRect(10, 20, 100, 50));
  EXPECT_EQ(label->text(), "Save & go");
  EXPECT_EQ(w->FindControl("L")->parentName, "P");
}

// Labels designed for a narrower font than the one shown. With AutoSize (the default) a
// label takes its text's size: it keeps its left edge, or its right edge when right-
// justified; a word-wrapped one keeps its designed width for breaking and grows downwards.
// Without AutoSize the designed size stays (and its text is cut). Catches AutoSize ignored,
// the right edge moved, and a wrapped label widened to one line.
TEST(FormBuilder, AutoSizedLabelsTakeTheSizeOfTheirText) {
  auto w = Build(
      "object W: TForm\n ClientWidth = 400\n ClientHeight = 200\n"
      " object Plain: TLabel\n  Left = 10\n  Top = 10\n  Width = 20\n  Height = 8\n"
      "  Caption = 'About this saver'\n end\n"
      " object Right: TLabel\n  Left = 300\n  Top = 40\n  Width = 20\n  Height = 8\n"
      "  Alignment = taRightJustify\n  Caption = 'About this saver'\n end\n"
      " object Wrapped: TLabel\n  Left = 10\n  Top = 70\n  Width = 90\n  Height = 8\n"
      "  WordWrap = True\n  Caption = 'one two three four five six'\n end\n"
      " object Fixed: TLabel\n  Left = 10\n  Top = 150\n  Width = 20\n  Height = 8\n"
      "  AutoSize = False\n  Caption = 'About this saver'\n end\nend\n");
  ASSERT_TRUE(w);
  const QFontMetrics metrics(Widget(*w, "Plain")->font());
  const int advance = metrics.horizontalAdvance("About this saver");
  ASSERT_GT(advance, 40);
  // The text's advance, give or take the pixel its bounding box rounds up to.
  const int text = Widget(*w, "Plain")->width();
  EXPECT_GE(text, advance);
  EXPECT_LE(text, advance + 1);
  EXPECT_EQ(Widget(*w, "Plain")->geometry(), QRect(10, 10, text, metrics.height()));
  EXPECT_EQ(Widget(*w, "Right")->geometry(), QRect(320 - text, 40, text, metrics.height()));
  const QRect wrapped = Widget(*w, "Wrapped")->geometry();
  EXPECT_EQ(wrapped.topLeft(), QPoint(10, 70));
  EXPECT_LE(wrapped.width(), 90);
  EXPECT_GE(wrapped.height(), 2 * metrics.lineSpacing());
  EXPECT_EQ(Widget(*w, "Fixed")->geometry(), QRect(10, 150, 20, 8));
  EXPECT_EQ(w->FindControl("Right")->geometry.left, 320 - text);

  const test::TextFitReport report = test::CheckTextsFit(*w);
  ASSERT_EQ(report.misfits.size(), 2u) << report.Describe();  // across and down
  EXPECT_EQ(report.misfits[0].where, "Fixed");
  EXPECT_TRUE(report.Measured("one two three four five six"));
}

// A top panel and a client panel follow a resize of a sizeable window.
TEST(FormBuilder, AlignmentFollowsTheWindowSize) {
  auto w = Build(
      "object W: TForm\n Sizeable = True\n ClientWidth = 400\n ClientHeight = 300\n"
      " object Body: TPanel\n  Align = alClient\n  Top = 40\n  Width = 400\n  Height = 260\n end\n"
      " object Head: TPanel\n  Align = alTop\n  Width = 400\n  Height = 40\n end\nend\n");
  ASSERT_TRUE(w);
  EXPECT_EQ(Widget(*w, "Head")->geometry(), QRect(0, 0, 400, 40));
  EXPECT_EQ(Widget(*w, "Body")->geometry(), QRect(0, 40, 400, 260));
  w->resize(500, 350);
  w->LayoutAll();
  EXPECT_EQ(Widget(*w, "Head")->geometry(), QRect(0, 0, 500, 40));
  EXPECT_EQ(Widget(*w, "Body")->geometry(), QRect(0, 40, 500, 310));
}

// Colours reach the palette with red and blue in place; the window's own default is the
// button face.
TEST(FormBuilder, ColoursAndFonts) {
  auto w = Build(
      "object W: TForm\n object P: TPanel\n  Color = 255\n  Font.Height = -20\n"
      "  Font.Style = [fsBold]\n end\nend\n");
  ASSERT_TRUE(w);
  QWidget* p = Widget(*w, "P");
  EXPECT_EQ(p->palette().color(QPalette::Window), QColor(255, 0, 0));
  EXPECT_EQ(p->font().pixelSize(), 20);
  EXPECT_TRUE(p->font().bold());
  EXPECT_EQ(w->font().pixelSize(), 11);
  EXPECT_EQ(w->size(), QSize(588, 478));
}

TEST(FormBuilder, MissingWindowIsAnErrorNamingIt) {
  App();
  FormCollection forms;
  ASSERT_TRUE(forms.AddForm("object Main: TForm\nend\n", "").ok());
  auto missing = BuildDesignedWindow(forms, "Other");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().message.find("Other"), std::string::npos);
  EXPECT_TRUE(BuildDesignedWindow(forms, " main\r\n").ok());
}

TEST(FormBuilder, DamagedPictureDataNamesTheControl) {
  auto read = ReadFormText(
      "object W: TForm\n object Img: TImage\n  Picture.Data = {07544269746D6170FF}\n end\nend\n");
  ASSERT_TRUE(read.ok());
  App();
  auto built = BuildWindow(read.release_value());
  ASSERT_FALSE(built.ok());
  EXPECT_NE(built.error().message.find("Img"), std::string::npos);
}

// Not a check: prints how long the demo's main window takes to read and build.
TEST(FormBuilder, DemoMainWindowBuildTime) {
  App();
  FormCollection forms;
  ASSERT_TRUE(forms.LoadDefinitions(std::string(VEC_TEST_DATA) + "/../../demo/VEGUI.veu").ok());
  constexpr int kRounds = 50;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kRounds; ++i) ASSERT_TRUE(BuildDesignedWindow(forms, "MainWindow").ok());
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  std::printf("MainWindow read and built in %lld us\n", static_cast<long long>(us / kRounds));
}

}  // namespace
}  // namespace vec
