// `animate`: runs the animation of one picture file offline on a simulated clock and
// writes the frames, as numbered 32-bit BMP files in a folder or as an animated GIF.
//
//   vectool animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] [--keep-aspect]
//                   --out OUT
//
// The clock starts at 1,000,000 ms. Frame k (k = 1 .. S x F) is the output of the tick
// run after the clock has advanced k x (1000 div F) ms; before each tick the objects take
// one step for every 5 ms of simulated time passed, in list order, on this thread.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

#include "animation/uAnimEngine.h"
#include "base/Clock.h"
#include "base/Random.h"
#include "graphics/Bmp.h"
#include "picture/Project.h"
#include "tools/vectool/AnimateGif.h"
#include "tools/vectool/Command.h"

namespace vectool {
namespace {

constexpr uint32_t kClockStart = 1000000;
constexpr int64_t kMaxFrames = 100000;

bool ParseInt(const std::string& text, int64_t& out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && p == end;
}

bool ParseSize(const std::string& text, int32_t& w, int32_t& h) {
  const size_t x = text.find_first_of("xX");
  int64_t a = 0, b = 0;
  if (x == std::string::npos || !ParseInt(text.substr(0, x), a) || !ParseInt(text.substr(x + 1), b))
    return false;
  if (a < 1 || b < 1 || a > vec::kMaxImageDimension || b > vec::kMaxImageDimension) return false;
  w = static_cast<int32_t>(a);
  h = static_cast<int32_t>(b);
  return true;
}

bool EndsWithGif(const std::string& path) {
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".gif";
}

std::string FrameName(int64_t k) {
  char name[32];
  std::snprintf(name, sizeof name, "frame%04lld.bmp", static_cast<long long>(k));
  return name;
}

int RunAnimate(const Args& args) {
  const std::vector<std::string> files =
      Positionals(args, {"--size", "--seconds", "--fps", "--seed", "--out"});
  const std::string* size = Option(args, "--size");
  const std::string* seconds = Option(args, "--seconds");
  const std::string* out = Option(args, "--out");
  if (files.size() != 1 || !size || !seconds || !out)
    return Fail(
        "usage: animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] "
        "[--keep-aspect] --out OUT");
  const std::string outPath = *out;  // Option() may reuse its buffer
  int32_t width = 0, height = 0;
  if (!ParseSize(*size, width, height)) return Fail("bad --size: " + *size);
  int64_t secs = 0, fps = 30, seed = 0;
  if (!ParseInt(*seconds, secs) || secs < 0) return Fail("bad --seconds: " + *seconds);
  if (const std::string* f = Option(args, "--fps");
      f && (!ParseInt(*f, fps) || fps < 1 || fps > 1000))
    return Fail("bad --fps: " + *f);
  const std::string* seedText = Option(args, "--seed");
  if (seedText && !ParseInt(*seedText, seed)) return Fail("bad --seed: " + *seedText);
  const int64_t frames = secs * fps;
  if (frames > kMaxFrames) return Fail("too many frames (at most 100000)");

  vec::FakeClock clock(kClockStart);
  if (seedText) {
    vec::SetRandSeed(static_cast<uint32_t>(seed));
    vec::LockRandomize(true);
  }

  vec::TProject project;
  if (!project.LoadFromFile(files[0]))
    return Fail("cannot load " + files[0] +
                (project.LastError().empty() ? "" : ": " + project.LastError()));
  vec::ResizeProject(Flag(args, "--keep-aspect"), project, width, height);

  vec::TAnimEngine engine(&clock);
  engine.SetObjectsThreaded(false);
  engine.SetPackageFolder(std::filesystem::path(files[0]).parent_path().string());
  engine.SetProject(project);
  engine.SetWeather(false);
  engine.Start();
  engine.SetWeather(project.weather.Kind > 0);

  const bool gif = EndsWithGif(outPath);
  AnimateGifWriter gifWriter;
  if (gif) {
    const vec::TBitmap32& first = engine.Output();
    if (!gifWriter.Open(outPath, first.Width(), first.Height()))
      return Fail("cannot write " + outPath);
  } else {
    std::error_code ec;
    std::filesystem::create_directories(outPath, ec);
    if (!std::filesystem::is_directory(outPath)) return Fail("cannot make folder " + outPath);
  }

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
    const vec::TBitmap32& frame = engine.Output();
    if (gif) {
      if (!gifWriter.Add(frame, static_cast<int32_t>(frameMs)))
        return Fail("cannot write " + outPath);
    } else {
      const std::string path = (std::filesystem::path(outPath) / FrameName(k)).string();
      const vec::ImageStatus saved = vec::SaveBmp32(frame, path);
      if (!saved) return Fail("cannot write " + path + ": " + saved.error.message);
    }
  }
  if (gif && !gifWriter.Close()) return Fail("cannot write " + outPath);
  return 0;
}

const Registration registration{
    {"animate",
     "animate FILE.vep --size WxH --seconds S [--fps F] [--seed N] [--keep-aspect] --out OUT",
     RunAnimate}};

}  // namespace
}  // namespace vectool
