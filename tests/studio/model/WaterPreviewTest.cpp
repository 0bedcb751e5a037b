#include <gtest/gtest.h>

#include <functional>

#include "studio/model/PictureDocument.h"
#include "studio/model/WaterPreview.h"
#include "tests/studio/StudioTestSupport.h"

namespace vec::studio {
namespace {

uint64_t Checksum(const BlendBitmap& frame) {
  uint64_t sum = 1469598103934665603ull;
  for (int32_t y = 0; y < frame.Height(); ++y)
    for (int32_t x = 0; x < frame.Width(); ++x)
      sum = (sum ^ frame.GetPixel(x, y)) * 1099511628211ull;
  return sum;
}

// Frames of the sample picture after `frames` steps, with `change` made to it first.
std::vector<uint64_t> Frames(int frames, const std::function<void(PictureDocument&)>& change) {
  auto d = PictureDocument::FromPictureFile(test::SampleFile());
  EXPECT_TRUE(d.ok());
  PictureDocument& doc = *d.value();
  // No weather, so that nothing random is drawn.
  doc.SetRecord({RecordKind::Weather}, WeatherSettings{});
  change(doc);
  WaterPreview preview;
  preview.Start(doc.Live());
  std::vector<uint64_t> out;
  for (int i = 0; i < frames; ++i) {
    preview.Advance(WaterPreview::kFrameMs);
    out.push_back(Checksum(preview.Frame()));
  }
  return out;
}

TEST(WaterPreviewTest, StepsGiveTheSameFramesOnEveryRunAndTheWaterMoves) {
  const auto none = [](PictureDocument&) {};
  const auto a = Frames(4, none), b = Frames(4, none);
  EXPECT_EQ(a, b);
  EXPECT_NE(a[0], a[3]);
}

TEST(WaterPreviewTest, AWaveChangeChangesTheFrames) {
  const auto none = [](PictureDocument&) {};
  const auto wider = [](PictureDocument& d) {
    WaveSet w = d.Stored().waves[0];
    w.Amplitude += 4;
    d.SetRecord({RecordKind::Wave, 0}, w);
  };
  // Area 3 is not in the mask: its wave set changes nothing.
  const auto absent = [](PictureDocument& d) {
    WaveSet w = d.Stored().waves[2];
    w.Amplitude += 4;
    d.SetRecord({RecordKind::Wave, 2}, w);
  };
  EXPECT_NE(Frames(3, wider), Frames(3, none));
  EXPECT_EQ(Frames(3, absent), Frames(3, none));
}

TEST(WaterPreviewTest, SpeedScalesThePhaseAndAPausedPreviewStaysPut) {
  auto d = PictureDocument::FromPictureFile(test::SampleFile());
  ASSERT_TRUE(d.ok());
  WaterPreview preview;
  preview.Start(d.value()->Live());
  preview.SetSpeed(200);
  preview.Advance(50);
  // PhaseStep 10 of area 1, backward: 10 x 50 / 50 x 200 / 100 = 20 degrees back.
  EXPECT_EQ(preview.Engine().Phase(0), -20);
  // Area 2 runs forward with PhaseStep 11.
  EXPECT_EQ(preview.Engine().Phase(1), 22);
  EXPECT_EQ(preview.Time(), 50u);
  preview.Restart();
  EXPECT_EQ(preview.Engine().Phase(0), 0);
  EXPECT_EQ(preview.Time(), 0u);
}

}  // namespace
}  // namespace vec::studio
