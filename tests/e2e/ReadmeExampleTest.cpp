// The worked example of README.md ("Make a saver of your own") run word for word: its shell
// blocks, in an empty folder holding the photos and the sound it starts from, with the
// programs of this build on PATH and a HOME of its own, so that installing writes only
// there. Then the saver it made is taken apart again to see that everything is in it.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "graphics/BlendBitmap.h"
#include "graphics/Jpeg.h"

namespace vec {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The ```sh blocks of the README section with this heading, in order, joined.
std::string ShellOfSection(const std::string& readme, const std::string& heading) {
  const size_t start = readme.find("\n## " + heading + "\n");
  if (start == std::string::npos) return {};
  const size_t end = readme.find("\n## ", start + 1);
  const std::string section = readme.substr(start, end == std::string::npos ? end : end - start);
  std::string script;
  const std::regex block("\n```sh\n([\\s\\S]*?)\n```");
  for (std::sregex_iterator i(section.begin(), section.end(), block), e; i != e; ++i)
    script += (*i)[1].str() + "\n";
  return script;
}

// A mono 16-bit WAV of a short tone.
std::string ToneWav() {
  std::string samples;
  for (int i = 0; i < 800; ++i) {
    const auto v = static_cast<int16_t>(std::lround(8000 * std::sin(i * 0.3)));
    samples += static_cast<char>(v & 0xFF);
    samples += static_cast<char>((v >> 8) & 0xFF);
  }
  auto le = [](uint32_t v, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
  };
  const auto size = static_cast<uint32_t>(samples.size());
  return "RIFF" + le(36 + size, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) +
         le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(size, 4) + samples;
}

// What the example starts from: a photo with its water mask (tests/data), a second photo
// (a gradient, made here) and a sound.
void MakeInputs(const fs::path& dir) {
  fs::create_directories(dir / "photos");
  fs::create_directories(dir / "sounds");
  const fs::path images = fs::path(VEC_TEST_DATA) / "images";
  fs::copy_file(images / "picture64x40.jpg", dir / "photos/harbour.jpg");
  fs::copy_file(images / "mask64x40.bmp", dir / "photos/harbour-water.bmp");
  BlendBitmap hills(48, 30);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 48; ++x)
      hills.SetPixel(x, y,
                     MakePixel(static_cast<uint8_t>(x * 5), static_cast<uint8_t>(150 - y * 3),
                               static_cast<uint8_t>(60)));
  const ErrorOr<std::vector<uint8_t>> jpeg = EncodeJpeg(hills);
  ASSERT_TRUE(jpeg.ok());
  WriteText(dir / "photos/hills.jpg", std::string(jpeg->begin(), jpeg->end()));
  WriteText(dir / "sounds/waves.wav", ToneWav());
}

class ReadmeExample : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = fs::temp_directory_path() / "vec-readme-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    root_ = tmpl;
    work_ = root_ / "work";
    home_ = root_ / "home";
    fs::create_directories(work_);
    fs::create_directories(home_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // Runs `command` in the work folder with only PATH (this build's programs first), HOME
  // and the off-screen Qt platform set; returns the exit status, with what it printed.
  int Run(const std::string& command, std::string& out, std::string& err) const {
    const std::string path = fs::path(VECTOOL_PATH).parent_path().string() + ":" +
                             fs::path(VECSAVER_PATH).parent_path().string() + ":/usr/bin:/bin";
    const std::string line = "cd '" + work_.string() + "' && env -i PATH='" + path + "' HOME='" +
                             home_.string() + "' QT_QPA_PLATFORM=offscreen " + command + " >'" +
                             (root_ / "out").string() + "' 2>'" + (root_ / "err").string() + "'";
    const int status = std::system(line.c_str());
    out = ReadText(root_ / "out");
    err = ReadText(root_ / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  Json RunJson(const std::string& command) const {
    std::string out, err;
    EXPECT_EQ(Run(command, out, err), 0) << err;
    return Json::parse(out, nullptr, /*allow_exceptions=*/false);
  }

  fs::path root_, work_, home_;
};

// Catches a README command that does not work as written (a wrong option, a missing step),
// and a saver that lacks what the example put in: the pictures, the water, the sound, the
// designed window; and an install that writes anywhere but the HOME it was given.
TEST_F(ReadmeExample, MakeASaverOfYourOwnRunsAsWritten) {
  const std::string script =
      ShellOfSection(ReadText(fs::path(VEC_README)), "Make a saver of your own");
  ASSERT_NE(script.find("vectool pack"), std::string::npos) << "no shell block found";
  WriteText(root_ / "example.sh", script);
  MakeInputs(work_);

  std::string out, err;
  ASSERT_EQ(Run("bash -e '" + (root_ / "example.sh").string() + "'", out, err), 0) << out << err;

  const fs::path saver = work_ / "Harbour.scr";
  ASSERT_TRUE(fs::is_regular_file(saver));
  EXPECT_NE(access(saver.c_str(), X_OK), -1) << "the saver is not a program";

  // The pictures and the sound in the package, the pictures in the play list, the designed
  // windows as a record of their own.
  const Json info = RunJson("vectool info Harbour.scr");
  ASSERT_TRUE(info.is_object()) << "info gave no JSON";
  std::set<std::string> files;
  for (const Json& f : info["files"]) files.insert(f["name"].get<std::string>());
  EXPECT_EQ(files, (std::set<std::string>{"Harbour.vep", "hills.jpg", "waves.wav"}));
  EXPECT_EQ(info["fileList"]["FileNames"], Json({"Harbour.vep", "hills.jpg"}));
  EXPECT_EQ(info["settings"]["ProductName"], "My Harbour");
  EXPECT_EQ(info["UIFile"], "VEGUI.veu");
  bool hasForms = false;
  for (const Json& r : info["records"])
    hasForms |= r["name"] == "VEGUI.veu" && r["size"].get<int64_t>() > 0;
  EXPECT_TRUE(hasForms);

  // The water and the sound, read from the picture file as the saver carries it.
  ASSERT_EQ(Run("vectool extract Harbour.scr unpacked", out, err), 0) << err;
  const Json picture = RunJson("vectool info --json unpacked/Harbour.vep");
  ASSERT_TRUE(picture.is_object());
  EXPECT_EQ(picture["waves"][0]["Amplitude"], 4);
  EXPECT_GT(picture["mask"]["counts"][1].get<int64_t>(), 0) << "no pixel in water area 1";
  EXPECT_EQ(picture["sounds"][0]["FileName"], "waves.wav");

  // The designed window the saver opens, built from what the saver carries.
  const Json forms = RunJson("vectool forms --json --package Harbour.scr");
  ASSERT_TRUE(forms.is_object());
  ASSERT_EQ(forms["forms"].size(), 1U);
  EXPECT_EQ(forms["forms"][0]["name"], "MainWindow");
  EXPECT_EQ(forms["forms"][0]["built"], true);
  EXPECT_EQ(forms["forms"][0]["actions"].size(), 2U);

  // The install, under the HOME of the run.
  const fs::path installed = home_ / ".local/share/vecsaver/savers/Harbour.scr";
  EXPECT_TRUE(fs::is_regular_file(installed));
  EXPECT_NE(ReadText(home_ / ".xscreensaver").find(installed.string()), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(
      home_ / ".local/share/applications/screensavers/vecsaver-Harbour.desktop"));
  EXPECT_TRUE(fs::exists(home_ / ".local/share/vecsaver/installed"));
}

}  // namespace
}  // namespace vec
