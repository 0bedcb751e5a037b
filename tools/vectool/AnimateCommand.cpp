// `animate`: runs the animation of one picture file offline on a simulated clock and
// writes the frames, as numbered 32-bit BMP files in a folder or as an animated GIF or WebP.
//
//   vectool animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] [--keep-aspect]
//                   [--quality Q] --out OUT
//
// The clock starts at 1,000,000 ms. Frame k (k = 1 .. S x F) is the output of the tick
// run after the clock has advanced k x (1000 div F) ms; before each tick the objects take
// one step for every 5 ms of simulated time passed, in list order, on this thread.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "graphics/ImageFile.h"
#include "picture/Picture.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/FrameOutput.h"
#include "tools/vectool/ProgressLine.h"

namespace vectool {
namespace {

constexpr uint32_t kClockStart = 1000000;
constexpr int64_t kMaxFrames = 100000;

struct AnimateOptions {
  std::string file;
  std::string size;
  int64_t seconds = 0;
  int64_t fps = 30;
  std::optional<int64_t> seed;
  bool keepAspect = false;
  std::string out;
  std::optional<int> quality;
};

int RunAnimate(const AnimateOptions& o) {
  const std::string& outPath = o.out;
  int32_t width = 0, height = 0;
  if (!ParseSize(o.size, vec::kMaxImageDimension, width, height))
    return Fail("bad --size: " + o.size);
  const int64_t secs = o.seconds, fps = o.fps;
  const int64_t frames = secs * fps;
  if (frames > kMaxFrames) return Fail("too many frames (at most 100000)");

  vec::FakeClock clock(kClockStart);
  if (o.seed) {
    vec::SetRandSeed(static_cast<uint32_t>(*o.seed));
    vec::LockRandomize(true);
  }

  vec::Picture picture;
  if (!picture.LoadFromFile(o.file))
    return Fail("cannot load " + o.file +
                (picture.LastError().empty() ? "" : ": " + picture.LastError()));
  vec::FitPicture(o.keepAspect, picture, width, height);

  vec::WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPackageFolder(std::filesystem::path(o.file).parent_path().string());
  engine.SetPicture(picture);
  engine.SetWeather(false);
  engine.Start();
  engine.SetWeather(picture.weather.Kind > 0);

  FrameOutput output;
  if (vec::Status opened = output.Open(outPath, engine.Output().Width(), engine.Output().Height(),
                                       fps, AnimationSettings{o.quality});
      !opened)
    return Fail(opened.error().message);
  ProgressLine progress("animate", frames, "frames");

  const uint32_t frameMs = static_cast<uint32_t>(1000 / fps);
  uint64_t nextStep = uint64_t{kClockStart} + vec::anim::kStepIntervalMs;
  for (int64_t k = 1; k <= frames; ++k) {
    const uint64_t target = uint64_t{kClockStart} + static_cast<uint64_t>(k) * frameMs;
    for (; nextStep <= target; nextStep += vec::anim::kStepIntervalMs) {
      clock.Set(static_cast<uint32_t>(nextStep));
      engine.Objects().StepAll();
    }
    clock.Set(static_cast<uint32_t>(target));
    engine.Tick();
    if (vec::Status added = output.Add(engine.Output()); !added) {
      progress.Finish();  // the message gets a line of its own
      return Fail(added.error().message);
    }
    progress.Update(k, k);
  }
  progress.Finish();
  if (vec::Status closed = output.Close(); !closed) return Fail(closed.error().message);
  return 0;
}

}  // namespace

void AddAnimateCommand(Commands& commands) {
  auto o = std::make_shared<AnimateOptions>();
  CLI::App& animate = commands.Add(
      "animate", "play one picture file's animation offline into frames or an animated GIF or WebP",
      [o] { return RunAnimate(*o); });
  animate.add_option("FILE", o->file, "the picture file (.vep)")->required();
  animate.add_option("--size", o->size, "the output, W x H pixels")
      ->required()
      ->check(PictureSize(vec::kMaxImageDimension));
  animate.add_option("--seconds", o->seconds, "simulated seconds to play")
      ->required()
      ->transform(WholeNumber())
      ->check(CLI::Range(int64_t{1}, kMaxFrames));
  animate.add_option("--fps", o->fps, "frames per simulated second")
      ->transform(WholeNumber())
      ->check(CLI::Range(1, 1000));
  animate.add_option("--seed", o->seed, "a fixed seed for the random choices")
      ->transform(WholeNumber());
  animate.add_flag("--keep-aspect", o->keepAspect, "keep the picture's proportions");
  animate.add_option("--out", o->out, "a folder for numbered BMP frames, or a .gif or .webp file")
      ->required();
  AddQualityOption(animate, o->quality);
}

}  // namespace vectool
