// The thumbnail grid: its layout, the thumbnails built from the list, the cells' pixels, the
// check boxes and titles, and what the mouse and the owner do with it.

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>

#include "configui/controls/ThumbnailGrid.h"
#include "picture/Picture.h"
#include "tests/configui/controls/ControlsTestSupport.h"

namespace vec {
namespace {

constexpr Pixel kRed = MakePixel(220, 20, 20);
constexpr Pixel kBlue = MakePixel(20, 20, 220);
constexpr Pixel kGreen = MakePixel(20, 200, 20);
constexpr Pixel kYellow = MakePixel(230, 230, 20);
constexpr Pixel kWhite = MakePixel(255, 255, 255);

// The grid's colour and the shades worked out by hand from it:
// ShadeColor(black, c, p) = c - (255 * p div 100) per channel, never below 0.
constexpr Pixel kColor = MakePixel(200, 180, 160);
constexpr Pixel kFramePen = MakePixel(149, 129, 109);       // 20: 51 darker
constexpr Pixel kFrameBrush = MakePixel(188, 168, 148);     // 5: 12 darker
constexpr Pixel kSelectedBrush = MakePixel(175, 155, 135);  // 10: 25 darker
constexpr Pixel kBoxPen = MakePixel(124, 104, 84);          // 30: 76 darker
constexpr Pixel kHighlight = MakePixel(0, 120, 215);
// ShadeColor(highlight, c, 100) = highlight + c - 255 per channel, never below 0.
constexpr Pixel kSelectedPen = MakePixel(0, 45, 120);

TEST(ThumbnailLayout, ColumnsAndRows) {
  struct Case {
    int32_t items, pictureWidth, pictureHeight;
    bool showTitle, multiRows;
    int32_t width;
    int32_t columnWidth, rowHeight, columns, rows;
  };
  const Case cases[] = {
      {7, 80, 60, false, true, 350, 100, 80, 3, 3},   // the remainder adds a row
      {6, 80, 60, false, true, 350, 100, 80, 3, 2},   // no remainder, no extra row
      {7, 80, 60, true, true, 350, 100, 110, 3, 3},   // titles add 30
      {7, 40, 90, false, true, 350, 60, 110, 5, 2},   // width and height kept apart
      {7, 80, 60, false, true, 99, 100, 80, 1, 7},    // never fewer than one column
      {7, 80, 60, false, false, 350, 100, 80, 7, 1},  // one row, a column per item
      {0, 80, 60, false, true, 350, 100, 80, 3, 1},   // an empty list keeps one row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.items << " items, " << c.pictureWidth << "x"
                                    << c.pictureHeight << ", width " << c.width);
    const ThumbnailLayout l = LayoutThumbnails(c.items, c.pictureWidth, c.pictureHeight,
                                               c.showTitle, c.multiRows, c.width);
    EXPECT_EQ(l.columnWidth, c.columnWidth);
    EXPECT_EQ(l.rowHeight, c.rowHeight);
    EXPECT_EQ(l.columns, c.columns);
    EXPECT_EQ(l.rows, c.rows);
  }
}

// Cell (1, 2) of an 80 x 60 grid with titles: left 200, top 110.
TEST(ThumbnailLayout, PartsOfACell) {
  const ThumbnailLayout l = LayoutThumbnails(9, 80, 60, true, true, 350);
  const Rect cell = l.CellRect(1, 2);
  EXPECT_EQ(cell, (Rect{200, 110, 300, 220}));
  EXPECT_EQ(l.IndexOf(1, 2), 5);
  EXPECT_EQ(l.FrameRect(cell, false), (Rect{210, 120, 300, 190}));
  EXPECT_EQ(l.FrameRect(cell, true), (Rect{211, 121, 300, 190}));
  EXPECT_EQ(l.ThumbnailOrigin(cell), (Point{215, 125}));
  EXPECT_EQ(l.CheckBoxOrigin(cell), (Point{213, 176}));
  EXPECT_EQ(l.TitleRect(cell), (Rect{210, 194, 300, 220}));
  EXPECT_EQ(l.CellRect(3, 2, 2, 0), (Rect{200, 110, 300, 220}));  // scrolled by two rows
}

// The check box area is 12 x 12 with both bounds included.
TEST(ThumbnailLayout, CheckBoxHitArea) {
  const ThumbnailLayout l = LayoutThumbnails(9, 80, 60, false, true, 350);
  const Rect cell = l.CellRect(0, 1);  // left 100, top 0; box from (113, 66) to (124, 77)
  struct Case {
    int32_t x, y;
    bool in;
  };
  for (const Case& c :
       {Case{113, 66, true}, Case{124, 77, true}, Case{118, 70, true}, Case{112, 70, false},
        Case{125, 70, false}, Case{118, 65, false}, Case{118, 78, false}}) {
    EXPECT_EQ(l.InCheckBox(cell, Point{c.x, c.y}), c.in) << c.x << "," << c.y;
  }
}

const std::map<char, Pixel> kBoxLegend{{'P', kBoxPen}, {'B', kColor}};

TEST(ThumbnailGridPainting, TickedCheckBox) {
  BlendBitmap bmp(16, 16);
  PaintCheckBox(bmp, 2, 3, true, kBoxPen, kColor);
  test::ExpectArt(
      bmp, 2, 3,
      {"PPPPPPPPPPP", "PBBBBBBBBBP", "PBBBBBBBPBP", "PBBBBBBPPBP", "PBPBBBPPBBP", "PBPPBPPBBBP",
       "PBBPPPBBBBP", "PBBPPPBBBBP", "PBBBBBBBBBP", "PBBBBBBBBBP", "PPPPPPPPPPP"},
      kBoxLegend);
  EXPECT_EQ(bmp.GetPixel(13, 3), 0u);  // nothing right of the box
  EXPECT_EQ(bmp.GetPixel(2, 14), 0u);  // nor below it
}

TEST(ThumbnailGridPainting, EmptyCheckBox) {
  BlendBitmap bmp(11, 11);
  PaintCheckBox(bmp, 0, 0, false, kBoxPen, kColor);
  std::vector<std::string> art(11, "PBBBBBBBBBP");
  art.front() = art.back() = "PPPPPPPPPPP";
  test::ExpectArt(bmp, 0, 0, art, kBoxLegend);
}

struct GridFixture {
  std::vector<BlendBitmap> images;
  std::vector<std::string> titles;
  std::vector<bool> ticked = std::vector<bool>(1001, false);
  ThumbnailGridView view;

  GridFixture(int32_t items, bool showTitle = false) {
    view.layout = LayoutThumbnails(items, 80, 60, showTitle, true, 350);
    view.itemCount = items;
    view.showTitle = showTitle;
    view.images = &images;
    view.titles = &titles;
    view.ticked = &ticked;
    view.color = kColor;
    view.highlight = kHighlight;
    view.highlightText = kWhite;
    view.fontColor = MakePixel(0, 0, 0);
    view.font = QFont("DejaVu Sans", 8);
  }
};

// Five items in three columns; only item 0 has a thumbnail; item 3 (row 1, column 0) is
// selected. Every value is worked out from the cell rules by hand.
TEST(ThumbnailGridPainting, CellPixels) {
  GridFixture f(5);
  f.images.push_back(test::Quadrants(80, 60, kRed, kBlue, kGreen, kYellow));
  f.view.selectedRow = 1;
  f.view.selectedColumn = 0;
  BlendBitmap bmp(350, 250);
  PaintThumbnailGrid(f.view, bmp);
  struct Case {
    int32_t x, y;
    Pixel expected;
    const char* what;
  };
  const Case cases[] = {
      {0, 0, kColor, "cell fill"},
      {9, 9, kColor, "outside the frame"},
      {10, 10, kFramePen, "frame's top-left"},
      {99, 79, kFramePen, "frame's bottom-right: the cell's last pixel"},
      {99, 10, kFramePen, "frame's top-right"},
      {11, 11, kFrameBrush, "inside the frame"},
      {15, 15, kRed, "thumbnail's top-left"},
      {94, 15, kBlue, "thumbnail's top-right"},
      {15, 74, kGreen, "thumbnail's bottom-left"},
      {94, 74, kYellow, "thumbnail's bottom-right"},
      {14, 15, kFrameBrush, "left of the thumbnail"},
      {95, 74, kFrameBrush, "right of the thumbnail"},
      {15, 75, kFrameBrush, "below the thumbnail"},
      {110, 10, kFramePen, "item 1's frame"},
      {115, 15, kFrameBrush, "item 1 has no thumbnail"},
      {10, 90, kSelectedPen, "selected frame, outer pixel"},
      {11, 91, kSelectedPen, "selected frame, inner pixel"},
      {12, 92, kSelectedBrush, "inside the selected frame"},
      {99, 159, kSelectedPen, "selected frame's bottom-right"},
      {98, 158, kSelectedPen, "selected frame's bottom-right, inner pixel"},
      {97, 157, kSelectedBrush, "inside, bottom-right"},
      {210, 90, kColor, "item 5 does not exist: fill only"},
      {215, 95, kColor, "item 5: no thumbnail"},
      {320, 10, kColor, "right of the last column"},
      {10, 245, kColor, "below the last row"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bmp.GetPixel(c.x, c.y), c.expected) << c.what << " at " << c.x << "," << c.y;
  }
}

TEST(ThumbnailGridPainting, CheckBoxesFollowTheTickedFlagsAndTheSelection) {
  GridFixture f(5);
  f.view.showCheckBox = true;
  f.ticked[1] = true;
  f.view.selectedRow = 0;
  f.view.selectedColumn = 2;
  BlendBitmap bmp(350, 250);
  PaintThumbnailGrid(f.view, bmp);
  // Item 0: box at (13, 66), not ticked.
  EXPECT_EQ(bmp.GetPixel(13, 66), kBoxPen);
  EXPECT_EQ(bmp.GetPixel(13 + 8, 66 + 2), kColor);
  // Item 1: ticked.
  EXPECT_EQ(bmp.GetPixel(113 + 8, 66 + 2), kBoxPen);
  EXPECT_EQ(bmp.GetPixel(113 + 4, 66 + 7), kBoxPen);
  // Item 2 is selected: its box is outlined in the selection's pen.
  EXPECT_EQ(bmp.GetPixel(213, 66), kSelectedPen);
  EXPECT_EQ(bmp.GetPixel(214, 67), kColor);
  // Item 5 does not exist: no box.
  EXPECT_EQ(bmp.GetPixel(213, 146), kColor);
}

struct Ink {
  int32_t minX = 100000, maxX = -1, minY = 100000, maxY = -1;
  int64_t count = 0;
};
Ink InkIn(const BlendBitmap& bmp, const Rect& r, Pixel background) {
  Ink ink;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x)
      if (bmp.GetPixel(x, y) != background) {
        ink.minX = std::min(ink.minX, x), ink.maxX = std::max(ink.maxX, x);
        ink.minY = std::min(ink.minY, y), ink.maxY = std::max(ink.maxY, y);
        ++ink.count;
      }
  return ink;
}

int64_t CountColor(const BlendBitmap& bmp, const Rect& r, Pixel color) {
  int64_t n = 0;
  for (int32_t y = r.top; y < r.bottom; ++y)
    for (int32_t x = r.left; x < r.right; ++x) n += bmp.GetPixel(x, y) == color;
  return n;
}

// Titles sit in (L+10, T+PH+24)-(R, B), centred; the selected one on the highlight colour.
TEST(ThumbnailGridPainting, TitlesAreCentredAndSelectedOnesHighlighted) {
  test::App();
  GridFixture f(2, true);
  f.titles = {"Wi", "Wi"};
  f.view.selectedRow = 0;
  f.view.selectedColumn = 1;
  BlendBitmap bmp(350, 250);
  PaintThumbnailGrid(f.view, bmp);
  const Rect title0{10, 84, 100, 110}, title1{110, 84, 200, 110};
  const Ink ink = InkIn(bmp, title0, kColor);
  ASSERT_GT(ink.count, 0);
  EXPECT_NEAR((ink.minX + ink.maxX) / 2.0, 55.0, 3.0);  // the rectangle's middle
  EXPECT_LT(ink.minY, 84 + 10);                         // from the top, not the middle
  EXPECT_EQ(CountColor(bmp, title0, kHighlight), 0);
  EXPECT_GT(CountColor(bmp, title1, kHighlight), 20);
  EXPECT_EQ(CountColor(bmp, Rect{0, 0, 350, 84}, kHighlight), 0);
}

TEST(ThumbnailGridPainting, LongTitlesWrapBetweenWordsAndStayInTheirCell) {
  test::App();
  GridFixture f(1, true);
  f.titles = {"Harbour at dawn with boats"};
  BlendBitmap bmp(350, 250);
  PaintThumbnailGrid(f.view, bmp);
  const QFontMetrics metrics(f.view.font);
  ASSERT_GT(metrics.horizontalAdvance("Harbour at dawn with boats"), 90);
  const Ink ink = InkIn(bmp, Rect{10, 84, 100, 110}, kColor);
  EXPECT_GT(ink.maxY - ink.minY, metrics.height());                // more than one line
  EXPECT_EQ(InkIn(bmp, Rect{0, 110, 350, 250}, kColor).count, 0);  // clipped to the cell
  EXPECT_EQ(InkIn(bmp, Rect{100, 0, 350, 110}, kColor).count, 0);
}

class ThumbnailFiles : public test::WidgetTest {
 protected:
  void SetUp() override { test::App(); }
  std::string Bmp(const std::string& name, Pixel color) {
    const std::string path = dir / name;
    EXPECT_TRUE(SaveBmp32(test::Solid(40, 30, color), path).ok());
    return path;
  }
  test::TempFolder dir;
};

// Missing files and other kinds add nothing: the later thumbnails move toward the start, and
// the last cells of the list show a frame without a thumbnail.
TEST_F(ThumbnailFiles, MissingItemsMoveLaterThumbnailsUp) {
  const std::string a = Bmp("a.bmp", kRed);
  const std::string c = Bmp("c.bmp", kBlue);
  test::WriteBytes(dir / "notes.txt", {'h', 'i'});
  ThumbnailGrid grid;
  grid.setColor(kColor);
  grid.setPictureWidth(40);
  grid.setPictureHeight(30);
  grid.setItems({a, dir / "missing.bmp", c, dir / "notes.txt"});
  grid.show();
  ASSERT_EQ(grid.thumbnails().images.size(), 2u);
  EXPECT_EQ(grid.thumbnails().titles, (std::vector<std::string>{"a.bmp", "c.bmp"}));
  const BlendBitmap frame = grid.render();
  // Cells are 60 x 50; thumbnails at (L + 15, 15).
  EXPECT_EQ(frame.GetPixel(15, 15), kRed);
  EXPECT_EQ(frame.GetPixel(75, 15), kBlue);         // item 2's picture in cell 1
  EXPECT_EQ(frame.GetPixel(135, 15), kFrameBrush);  // cell 2: frame, no thumbnail
  EXPECT_EQ(frame.GetPixel(195, 15), kFrameBrush);  // cell 3 likewise
  EXPECT_EQ(frame.GetPixel(255, 15), kColor);       // no fifth item
}

TEST_F(ThumbnailFiles, PictureFilesGiveTheirPreviewAndTitle) {
  const std::string vep = dir / "harbour.vep";
  // The preview (not the picture) is shown; the title is converted from Windows-1252.
  test::WriteBytes(
      vep, test::MakePictureFile("Caf\xe9", test::Quadrants(40, 30, kRed, kBlue, kGreen, kYellow),
                                 test::Solid(64, 48, kWhite)));
  ThumbnailGrid grid;
  grid.setPictureWidth(40);
  grid.setPictureHeight(30);
  grid.setItems({vep});
  ASSERT_EQ(grid.thumbnails().images.size(), 1u);
  EXPECT_EQ(grid.thumbnails().titles[0], "Caf\xc3\xa9");
  const BlendBitmap& t = grid.thumbnails().images[0];
  ASSERT_EQ(t.Width(), 40);
  ASSERT_EQ(t.Height(), 30);
  EXPECT_TRUE(test::Near(t.GetPixel(2, 2), kRed)) << std::hex << t.GetPixel(2, 2);
  EXPECT_TRUE(test::Near(t.GetPixel(37, 2), kBlue)) << std::hex << t.GetPixel(37, 2);
  EXPECT_TRUE(test::Near(t.GetPixel(2, 27), kGreen)) << std::hex << t.GetPixel(2, 27);
  EXPECT_TRUE(test::Near(t.GetPixel(37, 27), kYellow)) << std::hex << t.GetPixel(37, 27);
}

// The thumbnails are resampled to the picture size, whatever the file's own size.
TEST_F(ThumbnailFiles, ImagesAreStretchedToThePictureSize) {
  const std::string path = dir / "q.bmp";
  ASSERT_TRUE(SaveBmp32(test::Quadrants(200, 40, kRed, kBlue, kGreen, kYellow), path).ok());
  ThumbnailGrid grid;
  grid.setPictureWidth(20);
  grid.setPictureHeight(50);
  grid.setItems({path});
  const BlendBitmap& t = grid.thumbnails().images.at(0);
  ASSERT_EQ(t.Width(), 20);
  ASSERT_EQ(t.Height(), 50);
  EXPECT_EQ(t.GetPixel(1, 1), kRed);
  EXPECT_EQ(t.GetPixel(18, 1), kBlue);
  EXPECT_EQ(t.GetPixel(1, 48), kGreen);
  EXPECT_EQ(t.GetPixel(18, 48), kYellow);
}

TEST_F(ThumbnailFiles, NamesAreMatchedIgnoringCase) {
  Bmp("photo.bmp", kRed);
  ThumbnailGrid grid;
  grid.setItems({dir / "PHOTO.BMP"});
  ASSERT_EQ(grid.thumbnails().images.size(), 1u);
  EXPECT_EQ(grid.thumbnails().titles[0], "PHOTO.BMP");
}

class RecordingMessages : public IPictureMessages {
 public:
  void ShowError(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

// A file that exists but cannot be read keeps its place with a white thumbnail; a broken
// picture file is also reported.
TEST_F(ThumbnailFiles, UnreadableFilesKeepTheirPlace) {
  const std::string badVep = dir / "bad.vep";
  const std::string badBmp = dir / "bad.bmp";
  test::WriteBytes(badVep, {'N', 'O', 'T', 'A', 'P', 'I', 'C', 'T', 'U', 'R', 'E'});
  test::WriteBytes(badBmp, {'B', 'M', 1, 2, 3});
  const std::string good = Bmp("good.bmp", kBlue);
  RecordingMessages messages;
  ThumbnailGrid grid;
  grid.setMessages(&messages);
  grid.setPictureWidth(40);
  grid.setPictureHeight(30);
  grid.setItems({badVep, badBmp, good});
  ASSERT_EQ(grid.thumbnails().images.size(), 3u);
  EXPECT_EQ(grid.thumbnails().titles, (std::vector<std::string>{"", "bad.bmp", "good.bmp"}));
  EXPECT_EQ(grid.thumbnails().images[0].GetPixel(20, 15), kWhite);
  EXPECT_EQ(grid.thumbnails().images[1].GetPixel(20, 15), kWhite);
  EXPECT_EQ(grid.thumbnails().images[2].GetPixel(20, 15), kBlue);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].rfind("File: " + badVep + "\r\n", 0), 0u) << messages.shown[0];
}

std::vector<std::string> Names(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("/nonexistent/p" + std::to_string(i) + ".bmp");
  return names;
}

TEST(ThumbnailGrid, TickedFlagsAndTheirCapacity) {
  test::App();
  ThumbnailGrid grid;
  for (int i : {0, 500, 1000}) EXPECT_FALSE(grid.ticked(i));
  grid.setTicked(1000, true);
  EXPECT_TRUE(grid.ticked(1000));
  grid.setTicked(1001, true);  // beyond a list of up to 1001 items: ignored
  EXPECT_FALSE(grid.ticked(1001));
  grid.setTicked(-1, true);
  EXPECT_FALSE(grid.ticked(-1));
  grid.setItems(Names(1200));  // a longer list gets flags for every item
  EXPECT_TRUE(grid.ticked(1000));
  grid.setTicked(1150, true);
  EXPECT_TRUE(grid.ticked(1150));
  grid.setItems(Names(3));  // a new list leaves the flags as the owner set them
  EXPECT_TRUE(grid.ticked(1000));
}

class GridMouse : public test::WidgetTest {
 protected:
  void SetUp() override {
    test::App();
    grid.setBorderStyle(FrameBorder::None);
    grid.resize(350, 250);
    grid.setShowCheckBox(true);
    grid.setItems(Names(7));  // 3 columns, 3 rows of 100 x 80
    grid.show();
  }
  void Press(QPoint p) { test::SendMouse(grid.viewport(), QEvent::MouseButtonPress, p); }
  void Move(QPoint p) { test::SendMouse(grid.viewport(), QEvent::MouseMove, p); }
  Qt::CursorShape Cursor() const { return grid.viewport()->cursor().shape(); }

  ThumbnailGrid grid;
  QSignalSpy selected{&grid, &ThumbnailGrid::selectItem};
};

// Item 4 is row 1, column 1: its box spans (113, 146) to (124, 157).
TEST_F(GridMouse, AClickOnTheBoxOfAnotherCellTogglesItAndSelectsTheCell) {
  Press({113, 146});
  EXPECT_TRUE(grid.ticked(4));
  EXPECT_EQ(grid.selectedRow(), 1);
  EXPECT_EQ(grid.selectedColumn(), 1);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.at(0).at(0).toInt(), 4);
  Press({124, 157});
  EXPECT_FALSE(grid.ticked(4));
  Press({125, 157});  // just outside the box: selects again without toggling
  EXPECT_FALSE(grid.ticked(4));
  EXPECT_EQ(selected.count(), 3);
  for (int i = 0; i < 7; ++i)
    if (i != 4) {
      EXPECT_FALSE(grid.ticked(i)) << i;
    }
}

TEST_F(GridMouse, TheHandCursorShowsOverTheBoxOnly) {
  Move({118, 150});
  EXPECT_EQ(Cursor(), Qt::PointingHandCursor);
  Move({130, 150});
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  Move({13, 66});
  EXPECT_EQ(Cursor(), Qt::PointingHandCursor);
  Move({113, 226});  // the box place of cell 7, which holds no item
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  grid.setShowCheckBox(false);
  Press({13, 66});
  EXPECT_FALSE(grid.ticked(0));
}

// Cell 7 lies past the last item (6): no box to toggle, and the index reported is 6.
TEST_F(GridMouse, CellsPastTheLastItemReportTheLastItem) {
  Press({113, 226});
  EXPECT_FALSE(grid.ticked(7));
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.at(0).at(0).toInt(), 6);
  EXPECT_EQ(grid.selectedRow(), 2);
  EXPECT_EQ(grid.selectedColumn(), 1);
}

// Index 5 in three columns is row 1, column 2 (not row 2, column 1); the owner's selection
// is reported only when it moves.
TEST_F(GridMouse, SelectingByIndex) {
  grid.selectCell(5);
  EXPECT_EQ(grid.selectedRow(), 1);
  EXPECT_EQ(grid.selectedColumn(), 2);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected.at(0).at(0).toInt(), 5);
  grid.selectCell(5);
  EXPECT_EQ(selected.count(), 1);
  grid.selectCell(0);
  EXPECT_EQ(selected.count(), 2);
  EXPECT_EQ(selected.at(1).at(0).toInt(), 0);
}

TEST_F(GridMouse, ArrowKeysMoveTheSelection) {
  struct Step {
    Qt::Key key;
    int row, column;
    int reported;  // -1: no report
  };
  const Step steps[] = {{Qt::Key_Right, 0, 1, 1}, {Qt::Key_Down, 1, 1, 4}, {Qt::Key_Down, 2, 1, 6},
                        {Qt::Key_Down, 2, 1, -1}, {Qt::Key_Left, 2, 0, 6}, {Qt::Key_Up, 1, 0, 3}};
  for (const Step& s : steps) {
    const auto before = selected.count();
    QKeyEvent e(QEvent::KeyPress, s.key, Qt::NoModifier);
    QApplication::sendEvent(&grid, &e);
    EXPECT_EQ(grid.selectedRow(), s.row);
    EXPECT_EQ(grid.selectedColumn(), s.column);
    if (s.reported < 0) {
      EXPECT_EQ(selected.count(), before);
    } else {
      ASSERT_EQ(selected.count(), before + 1);
      EXPECT_EQ(selected.last().at(0).toInt(), s.reported);
    }
  }
}

// Twenty items in rows of 80 pixels do not fit 250: the grid scrolls by rows to show the
// selection, and never sideways while it has several rows.
TEST(ThumbnailGrid, ScrollsByWholeRowsToTheSelection) {
  test::App();
  ThumbnailGrid grid;
  grid.setBorderStyle(FrameBorder::None);
  grid.resize(350, 250);
  grid.setItems(Names(20));
  grid.show();
  EXPECT_EQ(grid.layout().rows, 7);
  grid.selectCell(19);          // row 6
  EXPECT_EQ(grid.topRow(), 4);  // rows 4, 5 and 6 are the three that fit
  EXPECT_EQ(grid.verticalScrollBar()->value(), 4);
  EXPECT_EQ(grid.leftColumn(), 0);
  grid.verticalScrollBar()->setValue(1);
  EXPECT_EQ(grid.topRow(), 1);

  grid.setMultiRows(false);
  EXPECT_EQ(grid.layout().rows, 1);
  EXPECT_EQ(grid.layout().columns, 20);
  EXPECT_EQ(grid.topRow(), 0);
  grid.selectCell(10);
  EXPECT_EQ(grid.selectedRow(), 0);
  EXPECT_EQ(grid.selectedColumn(), 10);
  EXPECT_EQ(grid.leftColumn(), 8);  // columns 8, 9 and 10 fit 350
}

TEST(ThumbnailGrid, PictureSizesAreKeptWithinBounds) {
  test::App();
  ThumbnailGrid grid;
  grid.setPictureWidth(-5);
  grid.setPictureHeight(100000);
  EXPECT_EQ(grid.pictureWidth(), 1);
  EXPECT_EQ(grid.pictureHeight(), ThumbnailGrid::kMaxPictureSize);
}

}  // namespace
}  // namespace vec
