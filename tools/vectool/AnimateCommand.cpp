// `animate`: runs the animation of one picture file offline on a simulated clock and
// writes the frames, as numbered 32-bit BMP files in a folder or as an animated GIF.
//
//   vectool animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] [--keep-aspect]
//                   --out OUT
//
// The clock starts at 1,000,000 ms. Frame k (k = 1 .. S x F) is the output of the tick
// run after the clock has advanced k x (1000 div F) ms; before each tick the objects take
// one step for every 5 ms of simulated time passed, in list order, on this thread.

#include <filesystem>
#include <string>

#include "animation/WaterEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "graphics/ImageFile.h"
#include "picture/Picture.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/FrameOutput.h"

namespace vectool {
namespace {

constexpr uint32_t kClockStart = 1000000;
constexpr int64_t kMaxFrames = 100000;

int RunAnimate(const Args& args) {
  const std::vector<std::string> files =
      Positionals(args, {"--size", "--seconds", "--fps", "--seed", "--out"});
  const std::optional<std::string> size = Option(args, "--size");
  const std::optional<std::string> seconds = Option(args, "--seconds");
  const std::optional<std::string> out = Option(args, "--out");
  if (files.size() != 1 || !size || !seconds || !out)
    return Fail(
        "usage: animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] "
        "[--keep-aspect] --out OUT");
  const std::string outPath = *out;
  int32_t width = 0, height = 0;
  if (!ParseSize(*size, vec::kMaxImageDimension, width, height))
    return Fail("bad --size: " + *size);
  int64_t secs = 0, fps = 30, seed = 0;
  if (!ParseWholeNumber(*seconds, secs) || secs < 0) return Fail("bad --seconds: " + *seconds);
  if (const std::optional<std::string> f = Option(args, "--fps");
      f && (!ParseWholeNumber(*f, fps) || fps < 1 || fps > 1000))
    return Fail("bad --fps: " + *f);
  const std::optional<std::string> seedText = Option(args, "--seed");
  if (seedText && !ParseWholeNumber(*seedText, seed)) return Fail("bad --seed: " + *seedText);
  const int64_t frames = secs * fps;
  if (frames > kMaxFrames) return Fail("too many frames (at most 100000)");

  vec::FakeClock clock(kClockStart);
  if (seedText) {
    vec::SetRandSeed(static_cast<uint32_t>(seed));
    vec::LockRandomize(true);
  }

  vec::Picture project;
  if (!project.LoadFromFile(files[0]))
    return Fail("cannot load " + files[0] +
                (project.LastError().empty() ? "" : ": " + project.LastError()));
  vec::ResizeProject(Flag(args, "--keep-aspect"), project, width, height);

  vec::WaterEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPackageFolder(std::filesystem::path(files[0]).parent_path().string());
  engine.SetProject(project);
  engine.SetWeather(false);
  engine.Start();
  engine.SetWeather(project.weather.Kind > 0);

  FrameOutput output;
  std::string error;
  if (!output.Open(outPath, engine.Output().Width(), engine.Output().Height(), fps, error))
    return Fail(error);

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
    if (!output.Add(engine.Output(), error)) return Fail(error);
  }
  if (!output.Close(error)) return Fail(error);
  return 0;
}

const Registration registration{
    {"animate",
     "animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] [--keep-aspect] --out OUT",
     RunAnimate}};

}  // namespace
}  // namespace vectool
