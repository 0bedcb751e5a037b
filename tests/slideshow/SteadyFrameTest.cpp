// The show's steady state: once a picture is up, a frame (the engine's tick and the present)
// and a transition take nothing from the heap; the buffers of the first ones are kept and
// reused.

#include <gtest/gtest.h>

#include "slideshow/ShowAdapters.h"
#include "tests/slideshow/ShowFakes.h"
#include "tests/support/AllocationProbe.h"

namespace vec {
namespace {

using testing::FakePictureFile;
using testing::ShowRig;
using testing::TaggedBlendBitmap;

// Picture files with water in the lower half, waves and rain, so every tick of the real
// engine moves water and weather.
class WaterFiles final : public testing::FakeFiles {
 public:
  bool LoadPicture(const std::string& path, Picture& picture) override {
    if (!FakeFiles::LoadPicture(path, picture)) return false;
    const int32_t w = picture.image.Width(), h = picture.image.Height();
    picture.mask = AreaMask(w, h);
    for (int32_t y = h / 2; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) picture.mask.Set(x, y, 1);
    WaveSet& wave = picture.waveSets[0];
    wave.Amplitude = 6;
    wave.Cycles = 30;
    wave.PhaseStep = 8;
    wave.Forward = 1;
    wave.Horizontal = 1;
    wave.Vertical = 1;
    wave.Period = 360;
    picture.weather = {kWeatherRain, 120, 10, 80, 20, 6};
    picture.loaded = true;
    return true;
  }
};

// Catches a frame, output or present buffer made anew on every frame instead of kept (a
// bitmap built per tick, a size set on every present, a temporary copy of the frame).
TEST(SteadyFrames, TakeNoMemoryFromTheHeap) {
  struct Case {
    const char* name;
    bool still;
    bool direct;
  };
  const Case cases[] = {
      {"project, screen-sized output", false, false},
      {"project, direct output", false, true},
      {"still picture", true, false},
  };
  for (const Case& c : cases) {
    ShowRig rig(480, 270);
    WaterFiles files;
    if (c.still) {
      files.stills["/run/a.jpg"] = TaggedBlendBitmap(1, 200, 150);
      rig.settings.FileNames = {"/run/a.jpg"};
    } else {
      files.pictures["/run/a.vep"] = FakePictureFile{320, 180, 1, {}};
      rig.settings.FileNames = {"/run/a.vep"};
    }
    rig.settings.Checked = {"TRUE"};
    rig.settings.DirectX = c.direct;
    EngineAdapter engine(rig.clock, "/nonexistent/", /*threadedObjects=*/false);
    SlideshowServices services = rig.Services();
    services.files = &files;
    services.engine = &engine;
    Slideshow form(rig.settings, std::move(services));
    form.Start();
    for (int i = 0; i < 5; ++i) form.Tick();
    const int64_t presents = rig.display.PresentCount();
    {
      test::AllocationProbe probe;
      for (int i = 0; i < 40; ++i) form.Tick();
      EXPECT_EQ(probe.Allocations(), 0u) << c.name;
    }
    // The frames really ran (a tick that threw would be swallowed by the show).
    EXPECT_EQ(rig.display.PresentCount() - presents, 40) << c.name;
  }
}

void DrawNothing(const EffectFrame&, const EffectArgs&) {}

// On a screen of 60 frames a second a transition of 1500 ms with frames of 2 ms draws 90
// frames and lasts 1500 ms, not the 500 frames the first frame's cost alone would give; a
// display that shows every frame (memory, offline rendering) keeps that count. Catches the
// show not handing the screen's rate to the transition.
TEST(SteadyFrames, TransitionsKeepToTheScreensRate) {
  for (const int32_t rate : {60, 0}) {
    ShowRig rig(480, 270);
    rig.AddStill("/run/a.bmp", TaggedBlendBitmap(1, 480, 270));
    rig.display.framesShown = rate;
    rig.display.clockToAdvance = &rig.clock;
    rig.display.presentCost = 2;
    Slideshow form(rig.settings, rig.Services(DrawNothing));
    form.Start();
    const uint32_t start = rig.clock.Ticks();
    ASSERT_EQ(form.RunTransition(1500), TransitionDriver::Result::Done);
    EXPECT_EQ(form.LastTransitionSteps(), rate ? 90 : 500) << rate;
    if (rate) {
      EXPECT_EQ(rig.clock.Ticks() - start, 1500u);
    }
  }
}

// Catches the transition's three buffers (old, new and work picture) made anew for every
// transition instead of resized, a capture that reallocates its target, and a list built for
// the engine's frame drawn into every step of a picture's transition.
TEST(SteadyFrames, ASecondTransitionReusesTheBuffers) {
  for (const bool still : {true, false}) {
    ShowRig rig(480, 270);
    if (still)
      rig.AddStill("/run/a.bmp", TaggedBlendBitmap(1, 480, 270));
    else
      rig.AddPicture("/run/a.vep", FakePictureFile{400, 200, 1, {}});
    Slideshow form(rig.settings, rig.Services(DrawNothing));
    form.Start();
    form.DrawFrame();
    ASSERT_EQ(form.RunTransition(200), TransitionDriver::Result::Done);
    test::AllocationProbe probe;
    ASSERT_EQ(form.RunTransition(200), TransitionDriver::Result::Done);
    EXPECT_EQ(probe.Allocations(), 0u) << (still ? "still" : "project");
    EXPECT_GT(form.LastTransitionSteps(), 0) << (still ? "still" : "project");
  }
}

}  // namespace
}  // namespace vec
