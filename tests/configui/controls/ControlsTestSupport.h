#pragma once
// What the controls' tests share: one application on the offscreen platform, a private
// folder for the files they write, small pictures, and pixel art for hand-drawn expectations.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "graphics/Jpeg.h"
#include "picture/PictureWriter.h"
#include "tests/support/OffscreenApp.h"

namespace vec::test {

// The widgets need an application; it runs on the offscreen platform so no display is used.
inline QApplication& App() {
  return OffscreenApp();
}

// A fixture whose widgets are members: the application exists before they are built.
class WidgetTest : public testing::Test {
 protected:
  WidgetTest() { App(); }
};

// A fresh folder under the temporary path, removed with its files at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    const char* base = getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != 0 ? base : "/tmp") + "/vec_controls_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back(0);
    if (mkdtemp(buf.data()) != nullptr) path_ = std::string(buf.data()) + "/";
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

inline BlendBitmap Solid(int32_t w, int32_t h, Pixel color) {
  BlendBitmap b(w, h);
  b.Clear(color);
  return b;
}

// Four quadrants: top-left, top-right, bottom-left, bottom-right (so both axes and both
// flips are visible).
inline BlendBitmap Quadrants(int32_t w, int32_t h, Pixel tl, Pixel tr, Pixel bl, Pixel br) {
  BlendBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, y < h / 2 ? (x < w / 2 ? tl : tr) : (x < w / 2 ? bl : br));
  return b;
}

// A picture file with its title, preview and picture (both stored as JPEG) and an empty mask.
inline std::vector<uint8_t> MakePictureFile(const std::string& title, const BlendBitmap& preview,
                                            const BlendBitmap& picture) {
  PictureFileContent c;
  c.Title = title;
  c.Author = "Tester";
  c.previewJpeg = EncodeJpeg(preview, 95).value();
  c.pictureJpeg = EncodeJpeg(picture, 95).value();
  c.maskValues = {picture.Width(), picture.Height(), picture.Width() * picture.Height() * 10};
  return WritePictureFile(c);
}

// Pixel art: one string per row, one character per pixel, looked up in `legend`; '?' skips
// the pixel. Reports every pixel that differs, with its position.
inline void ExpectArt(const BlendBitmap& bmp, int32_t x0, int32_t y0,
                      const std::vector<std::string>& rows, const std::map<char, Pixel>& legend) {
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      const char c = rows[y][x];
      if (c == '?') continue;
      const auto px = x0 + static_cast<int32_t>(x), py = y0 + static_cast<int32_t>(y);
      ASSERT_TRUE(px >= 0 && py >= 0 && px < bmp.Width() && py < bmp.Height());
      EXPECT_EQ(bmp.GetPixel(px, py), legend.at(c))
          << "pixel (" << px << ", " << py << ") should be '" << c << "'";
    }
  }
}

// Within `tolerance` on every colour byte (for decoded JPEG and resampled pixels).
inline bool Near(Pixel a, Pixel b, int tolerance = 8) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d > tolerance || d < -tolerance) return false;
  }
  return true;
}

// A mouse event of `type` at `pos`: presses and double clicks hold `button`, a release
// lets it go, a move carries the buttons in `held`.
inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos,
                      Qt::MouseButton button = Qt::LeftButton, Qt::MouseButtons held = {}) {
  Qt::MouseButtons buttons = held;
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) buttons = button;
  if (type == QEvent::MouseButtonRelease) buttons = {};
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)),
                type == QEvent::MouseMove ? Qt::NoButton : button, buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

}  // namespace vec::test
