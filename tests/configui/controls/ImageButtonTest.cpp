// The image button: which image shows when, the push-button fallbacks, AutoSize, the
// latched Down state, the caption's place, the repeat timing and the accelerator key.

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QTest>

#include "configui/controls/ImageButton.h"
#include "tests/configui/controls/ControlsTestSupport.h"

namespace vec {
namespace {

constexpr Pixel kUp = MakePixel(200, 0, 0);
constexpr Pixel kDown = MakePixel(0, 200, 0);
constexpr Pixel kOver = MakePixel(0, 0, 200);
constexpr Pixel kDisabled = MakePixel(90, 90, 90);

// Distinct colours per edge so that a swapped pair shows.
SystemColors TestColors() {
  SystemColors c;
  c.buttonFace = MakePixel(240, 240, 240);
  c.buttonHighlight = MakePixel(255, 255, 255);
  c.buttonLight = MakePixel(227, 227, 227);
  c.buttonShadow = MakePixel(160, 160, 160);
  c.buttonDarkShadow = MakePixel(105, 105, 105);
  return c;
}

const std::map<char, Pixel> kEdges{{'H', MakePixel(255, 255, 255)}, {'L', MakePixel(227, 227, 227)},
                                   {'S', MakePixel(160, 160, 160)}, {'D', MakePixel(105, 105, 105)},
                                   {'F', MakePixel(240, 240, 240)}, {'.', 0}};

TEST(ImageButton, StateChoice) {
  struct Case {
    bool in, pressed, down;
    ButtonVisual expected;
  };
  const Case cases[] = {
      {false, false, false, ButtonVisual::Up},  {true, false, false, ButtonVisual::Over},
      {true, true, false, ButtonVisual::Down},  {false, true, false, ButtonVisual::Up},
      {false, false, true, ButtonVisual::Down}, {false, true, true, ButtonVisual::Down},
      {true, true, true, ButtonVisual::Down},   {true, false, true, ButtonVisual::Over},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseButtonVisual(c.in, c.pressed, c.down), c.expected)
        << "in " << c.in << " pressed " << c.pressed << " down " << c.down;
  }
}

// (width - text) / 2 truncating toward zero: 35.5 gives 35 where rounding would give 36, and
// -1.5 gives -1 where flooring would give -2.
TEST(ImageButton, CaptionIsCentredWithTruncatingDivision) {
  struct Case {
    int32_t w, h, tw, th;
    Point expected;
  };
  const Case cases[] = {
      {100, 40, 30, 13, {35, 13}}, {101, 41, 30, 14, {35, 13}}, {7, 5, 10, 8, {-1, -1}},
      {10, 3, 15, 10, {-2, -3}},   {20, 20, 20, 20, {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CaptionOrigin(c.w, c.h, c.tw, c.th), c.expected)
        << c.w << "x" << c.h << " text " << c.tw << "x" << c.th;
  }
}

// Which image each state shows, and what stands in for a missing one.
TEST(ImageButton, ImagesAndTheirFallbacks) {
  test::App();
  struct Case {
    bool up, down, over, disabled;
    bool enabled;
    ButtonVisual visual;
    Pixel expected;  // 0: a system frame
  };
  const Case cases[] = {
      {true, true, true, true, true, ButtonVisual::Up, kUp},
      {true, true, true, true, true, ButtonVisual::Down, kDown},
      {true, true, true, true, true, ButtonVisual::Over, kOver},
      {true, true, true, true, false, ButtonVisual::Over, kDisabled},
      {true, false, false, false, true, ButtonVisual::Down, kUp},
      {true, false, false, false, true, ButtonVisual::Over, kUp},
      {false, true, true, false, true, ButtonVisual::Down, kDown},
      {false, false, true, false, true, ButtonVisual::Over, kOver},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "up " << c.up << " down " << c.down << " over " << c.over << " disabled "
                 << c.disabled << " visual " << static_cast<int>(c.visual));
    ImageButtonProperties p;
    p.transparent = false;
    if (c.up) p.buttonUp = test::Solid(4, 3, kUp);
    if (c.down) p.buttonDown = test::Solid(4, 3, kDown);
    if (c.over) p.buttonOver = test::Solid(4, 3, kOver);
    if (c.disabled) p.buttonDisable = test::Solid(4, 3, kDisabled);
    BlendBitmap out(4, 3);
    PaintImageButton(p, c.enabled, c.visual, TestColors(), out);
    EXPECT_EQ(out.GetPixel(0, 0), c.expected);
    EXPECT_EQ(out.GetPixel(3, 2), c.expected);
  }
}

// Without images: a raised push button (white and light top-left, dark and shadow
// bottom-right, face inside) for up, over and disabled; only a sunken outer edge while down.
TEST(ImageButton, SystemPushButtonWithoutImages) {
  ImageButtonProperties p;
  p.caption = "X";  // not shown: ShowCaption is off
  const std::vector<std::string> raised{
      "HHHHHD", "HLLLSD", "HLFFSD", "HSSSSD", "DDDDDD",
  };
  for (const auto& [enabled, visual] :
       {std::pair{true, ButtonVisual::Up}, std::pair{true, ButtonVisual::Over},
        std::pair{false, ButtonVisual::Down}}) {
    SCOPED_TRACE(testing::Message() << enabled << " " << static_cast<int>(visual));
    BlendBitmap out(6, 5);
    PaintImageButton(p, enabled, visual, TestColors(), out);
    test::ExpectArt(out, 0, 0, raised, kEdges);
  }
  BlendBitmap out(6, 5);
  PaintImageButton(p, true, ButtonVisual::Down, TestColors(), out);
  test::ExpectArt(out, 0, 0, {"SSSSSH", "S....H", "S....H", "S....H", "HHHHHH"}, kEdges);
}

// A disabled button shows no caption; an enabled one shows it only with ShowCaption.
TEST(ImageButton, CaptionDrawnInsideItsCentredBox) {
  test::App();
  ImageButtonProperties p;
  p.buttonUp = test::Solid(81, 31, kUp);
  p.transparent = false;
  p.caption = "Wg";
  p.font = QFont("DejaVu Sans", 12);
  p.fontColor = MakePixel(0, 0, 0);
  const QFontMetrics m(p.font);
  const Point o = CaptionOrigin(81, 31, m.horizontalAdvance(p.caption), m.height());
  struct Case {
    bool show, enabled;
    bool expectText;
  };
  for (const Case& c :
       {Case{true, true, true}, Case{false, true, false}, Case{true, false, false}}) {
    SCOPED_TRACE(testing::Message() << "show " << c.show << " enabled " << c.enabled);
    p.showCaption = c.show;
    p.buttonDisable = test::Solid(81, 31, kUp);
    BlendBitmap out(81, 31);
    PaintImageButton(p, c.enabled, ButtonVisual::Up, TestColors(), out);
    int32_t minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (int32_t y = 0; y < 31; ++y)
      for (int32_t x = 0; x < 81; ++x)
        if (out.GetPixel(x, y) != kUp) {
          minX = std::min(minX, x), maxX = std::max(maxX, x);
          minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    if (!c.expectText) {
      EXPECT_EQ(maxX, -1);
      continue;
    }
    ASSERT_GE(maxX, 0);
    EXPECT_GE(minX, o.x);
    EXPECT_LT(maxX, o.x + m.horizontalAdvance(p.caption));
    EXPECT_GE(minY, o.y);
    EXPECT_LT(maxY, o.y + m.height());
    // The ink is roughly centred; a caption placed at (0, 0) would fail this.
    EXPECT_NEAR((minX + maxX) / 2.0, 40.0, 4.0);
  }
}

TEST(ImageButton, AutoSizeFollowsTheUpImageAtEveryPaint) {
  test::App();
  ImageButton button;
  button.resize(100, 50);
  button.setUpImage(test::Solid(30, 20, kUp));
  EXPECT_EQ(button.size(), QSize(30, 20));
  button.resize(60, 60);
  button.grab();  // paints
  EXPECT_EQ(button.size(), QSize(30, 20));

  button.setAutoSize(false);
  button.resize(60, 60);
  button.grab();
  EXPECT_EQ(button.size(), QSize(60, 60));

  ImageButton noImage;
  noImage.resize(70, 25);
  noImage.grab();
  EXPECT_EQ(noImage.size(), QSize(70, 25));
}

TEST(ImageButton, AllowDownLatchesAndClearingItReleases) {
  test::App();
  ImageButton button;
  button.setAutoSize(false);
  button.resize(40, 20);
  button.setDown(true);  // ignored while AllowDown is off
  EXPECT_FALSE(button.isDown());
  QSignalSpy clicks(&button, &ClickableWidget::clicked);

  button.setAllowDown(true);
  for (bool expected : {true, false, true}) {
    test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
    test::SendMouse(&button, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_EQ(button.isDown(), expected);
  }
  EXPECT_EQ(clicks.count(), 3);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button, &leave);
  EXPECT_EQ(button.visual(), ButtonVisual::Down);
  button.setAllowDown(false);
  EXPECT_FALSE(button.isDown());
  EXPECT_EQ(button.visual(), ButtonVisual::Up);
}

TEST(ImageButton, ReleaseOutsideIsNoClickAndShowsUpWhileDraggedOut) {
  test::App();
  ImageButton button;
  button.setAutoSize(false);
  button.resize(40, 20);
  QSignalSpy clicks(&button, &ClickableWidget::clicked);
  test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
  EXPECT_EQ(button.visual(), ButtonVisual::Down);
  test::SendMouse(&button, QEvent::MouseMove, {50, 5}, Qt::NoButton, Qt::LeftButton);
  EXPECT_FALSE(button.mouseInControl());
  EXPECT_EQ(button.visual(), ButtonVisual::Up);
  test::SendMouse(&button, QEvent::MouseButtonRelease, {50, 5});
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_FALSE(button.pressed());
}

// The repeats while held: at the press, 500 ms later, then every 50 ms; none while outside;
// the 50 ms rhythm again from re-entering; none after the release.
class ButtonRepeat : public test::WidgetTest {
 protected:
  void SetUp() override {
    test::App();
    button.setClock(&clock);
    button.setAutoSize(false);
    button.resize(40, 20);
  }
  // Moves the clock to `ms` after the press and lets the repeat timer look.
  int FiresAt(uint32_t ms) {
    const int before = static_cast<int>(spy.count());
    clock.Set(start + ms);
    button.pollRepeat();
    return static_cast<int>(spy.count()) - before;
  }
  void Enter() {
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &e);
  }
  void Leave() {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(&button, &e);
  }

  uint32_t start = 1000000;
  FakeClock clock{start};
  ImageButton button;
  QSignalSpy spy{&button, &ImageButton::mousePressed};
};

TEST_F(ButtonRepeat, FiresAtOnceThenAfter500ThenEvery50) {
  test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
  ASSERT_EQ(spy.count(), 1);
  EXPECT_FALSE(spy.at(0).at(0).toBool());  // the press itself
  EXPECT_EQ(FiresAt(499), 0);
  EXPECT_EQ(FiresAt(500), 1);
  EXPECT_TRUE(spy.at(1).at(0).toBool());  // a repeat
  EXPECT_EQ(FiresAt(549), 0);
  EXPECT_EQ(FiresAt(550), 1);
  EXPECT_EQ(FiresAt(599), 0);
  EXPECT_EQ(FiresAt(600), 1);
  Leave();
  EXPECT_EQ(FiresAt(700), 0);
  EXPECT_EQ(FiresAt(1000), 0);
  Enter();
  EXPECT_EQ(FiresAt(1049), 0);
  EXPECT_EQ(FiresAt(1050), 1);
  EXPECT_EQ(FiresAt(1100), 1);
  test::SendMouse(&button, QEvent::MouseButtonRelease, {5, 5});
  EXPECT_EQ(FiresAt(5000), 0);
}

// Leaving before the first repeat keeps the long first delay, counted from re-entering.
TEST_F(ButtonRepeat, ReenteringBeforeTheFirstRepeatWaits500) {
  test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
  test::SendMouse(&button, QEvent::MouseMove, {-3, 5}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(FiresAt(600), 0);
  test::SendMouse(&button, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(FiresAt(1099), 0);
  EXPECT_EQ(FiresAt(1100), 1);
  EXPECT_EQ(FiresAt(1150), 1);
}

// A late look fires once, not once per missed interval, and the next repeat counts from it.
TEST_F(ButtonRepeat, ALateTickDoesNotCatchUp) {
  test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
  EXPECT_EQ(FiresAt(1200), 1);
  EXPECT_EQ(FiresAt(1249), 0);
  EXPECT_EQ(FiresAt(1250), 1);
}

// Disabled or hidden while held, the button gets no release: the repeats end there.
TEST_F(ButtonRepeat, DisablingOrHidingWhileHeldEndsTheRepeats) {
  test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
  EXPECT_EQ(FiresAt(500), 1);
  button.setEnabled(false);
  EXPECT_FALSE(button.pressed());
  EXPECT_EQ(FiresAt(550), 0);
  EXPECT_EQ(FiresAt(5000), 0);

  button.setEnabled(true);
  button.show();
  test::SendMouse(&button, QEvent::MouseButtonPress, {5, 5});
  EXPECT_EQ(FiresAt(5500), 1);
  button.hide();
  EXPECT_EQ(FiresAt(5550), 0);
  EXPECT_EQ(FiresAt(9000), 0);
}

TEST(ButtonRepeatClock, WrapsAroundTheTickCounter) {
  AutoRepeat r;
  const uint32_t start = 0xFFFFFF00u;
  r.Start(start);
  EXPECT_FALSE(r.Poll(start + 499));  // wrapped past zero
  EXPECT_EQ(r.Remaining(start + 499), 1u);
  EXPECT_TRUE(r.Poll(start + 500));
  EXPECT_EQ(r.Remaining(start + 510), 40u);
  r.Stop();
  EXPECT_FALSE(r.Poll(start + 1000));
}

TEST(ImageButton, AcceleratorLetter) {
  struct Case {
    const char* caption;
    char16_t expected;  // 0: none
  };
  const Case cases[] = {{"&Next", u'N'}, {"Save &as", u'A'}, {"R&&D", 0},
                        {"R&&&D", u'D'}, {"End&", 0},        {"", 0},
                        {"a&b&c", u'B'}};
  for (const Case& c : cases) {
    const QChar got = AcceleratorOf(QString::fromUtf8(c.caption));
    EXPECT_EQ(got.unicode(), c.expected) << c.caption;
  }
}

TEST(ImageButton, AltAndTheAcceleratorClicksAnEnabledButton) {
  test::App();
  QWidget window;
  window.resize(200, 100);
  ImageButton button(&window);
  button.setCaption("&Next");
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QSignalSpy clicks(&button, &ClickableWidget::clicked);
  QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);
  button.setEnabled(false);
  QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);
  button.setEnabled(true);
  button.setCaption("&Back");
  QTest::keyClick(&window, Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);
  QTest::keyClick(&window, Qt::Key_B, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 2);
}

}  // namespace
}  // namespace vec
