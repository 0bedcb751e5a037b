// Alignment and anchors of the controls of one container.

#include <gtest/gtest.h>

#include "configui/FormLayout.h"
#include "configui/FormTextReader.h"
#include "configui/WindowStyle.h"

namespace vec {
namespace {

ChildLayout Aligned(FormAlign align, FormRect design) {
  ChildLayout c;
  c.design = design;
  c.align = align;
  return c;
}

// A top panel and a client panel in a window designed 400 x 300 and resized to 500 x 350:
// the top panel keeps its height and spans the width, the client panel takes the rest.
// Catches client placed before top (it would cover the whole window), a swapped axis.
TEST(FormLayout, TopThenClientInAResizedWindow) {
  std::vector<ChildLayout> children = {
      Aligned(FormAlign::Client, {0, 40, 400, 260}),
      Aligned(FormAlign::Top, {0, 0, 400, 40}),
  };
  auto rects = LayoutChildren(children, 400, 300, 500, 350);
  EXPECT_EQ(rects[1], (FormRect{0, 0, 500, 40}));
  EXPECT_EQ(rects[0], (FormRect{0, 40, 500, 310}));
}

// The toolkit's order: top, bottom, left, right, client. Tops stack by design position,
// bottoms from the bottom edge up, left and right take the height that is left.
TEST(FormLayout, EveryEdgeInTheToolkitsOrder) {
  std::vector<ChildLayout> children = {
      Aligned(FormAlign::Right, {350, 0, 50, 10}),
      Aligned(FormAlign::Left, {0, 0, 30, 10}),
      Aligned(FormAlign::Bottom, {0, 280, 400, 20}),
      Aligned(FormAlign::Top, {0, 20, 400, 15}),  // second from the top
      Aligned(FormAlign::Top, {0, 0, 400, 20}),
      Aligned(FormAlign::Client, {0, 0, 1, 1}),
  };
  auto rects = LayoutChildren(children, 400, 300, 400, 300);
  EXPECT_EQ(rects[4], (FormRect{0, 0, 400, 20}));
  EXPECT_EQ(rects[3], (FormRect{0, 20, 400, 15}));
  EXPECT_EQ(rects[2], (FormRect{0, 280, 400, 20}));
  EXPECT_EQ(rects[1], (FormRect{0, 35, 30, 245}));
  EXPECT_EQ(rects[0], (FormRect{350, 35, 50, 245}));
  EXPECT_EQ(rects[5], (FormRect{30, 35, 320, 245}));
}

TEST(FormLayout, HiddenAlignedControlsTakeNoRoom) {
  std::vector<ChildLayout> children = {
      Aligned(FormAlign::Top, {0, 0, 100, 30}),
      Aligned(FormAlign::Client, {0, 0, 100, 70}),
  };
  children[0].visible = false;
  auto rects = LayoutChildren(children, 100, 100, 100, 100);
  EXPECT_EQ(rects[1], (FormRect{0, 0, 100, 100}));
}

struct AnchorCase {
  const char* what;
  FormAnchors anchors;
  FormRect expected;
};

// A 20 x 10 control at (10, 20) in a container designed 100 x 100, resized to 150 x 120.
// Catches the far anchor moving instead of stretching with both anchors, and x and y
// swapped.
TEST(FormLayout, AnchorsOnResize) {
  const AnchorCase cases[] = {
      {"left top", {true, true, false, false}, {10, 20, 20, 10}},
      {"right bottom", {false, false, true, true}, {60, 40, 20, 10}},
      {"left right", {true, true, true, false}, {10, 20, 70, 10}},
      {"top bottom", {true, true, false, true}, {10, 20, 20, 30}},
      // No anchor on an axis keeps the centre at the same fraction: x centre 20 of 100
      // becomes 30 of 150; y centre 25 of 100 becomes 30 of 120.
      {"none", {false, false, false, false}, {20, 25, 20, 10}},
  };
  for (const auto& c : cases) {
    ChildLayout child;
    child.design = {10, 20, 20, 10};
    child.anchors = c.anchors;
    auto rects = LayoutChildren({child}, 100, 100, 150, 120);
    EXPECT_EQ(rects[0], c.expected) << c.what;
  }
}

TEST(FormLayout, NamesAndAnchorMembers) {
  EXPECT_EQ(FormAlignFromName("alClient"), FormAlign::Client);
  EXPECT_EQ(FormAlignFromName("ALBOTTOM"), FormAlign::Bottom);
  EXPECT_EQ(FormAlignFromName("alWhatever"), FormAlign::None);
  EXPECT_EQ(FormAnchorsFromMembers({"akRight", "akBottom"}),
            (FormAnchors{false, false, true, true}));
}

struct StyleCase {
  const char* text;
  BorderStyle border;
  bool systemMenu, maximize, minimize, maximized;
};

// NoFrame wins over Sizeable; the BorderStyle the authoring tool wrote is not consulted.
TEST(WindowStyle, SwitchesDecideTheFrame) {
  const StyleCase cases[] = {
      {"", BorderStyle::Single, false, false, false, false},
      {"BorderStyle = bsSizeable\n", BorderStyle::Single, false, false, false, false},
      {"Sizeable = True\n", BorderStyle::Sizeable, false, false, false, false},
      {"NoFrame = True\nSizeable = True\n", BorderStyle::None, false, false, false, false},
      {"ShowButtons = True\nMinimizeButton = True\n", BorderStyle::Single, true, false, true,
       false},
      {"MaximizeButton = True\nMaximizeOnShow = True\n", BorderStyle::Single, false, true, false,
       true},
  };
  for (const auto& c : cases) {
    auto read = ReadFormText(std::string("object W: TForm\n") + c.text + "end\n");
    ASSERT_TRUE(read.ok()) << c.text;
    WindowStyle s = WindowStyleOf(read.value());
    EXPECT_EQ(s.border, c.border) << c.text;
    EXPECT_EQ(s.systemMenu, c.systemMenu) << c.text;
    EXPECT_EQ(s.maximizeButton, c.maximize) << c.text;
    EXPECT_EQ(s.minimizeButton, c.minimize) << c.text;
    EXPECT_EQ(s.maximized, c.maximized) << c.text;
  }
  EXPECT_EQ(BorderStyleName(BorderStyle::None), "none");
  EXPECT_EQ(BorderStyleName(BorderStyle::Sizeable), "sizeable");
}

}  // namespace
}  // namespace vec
