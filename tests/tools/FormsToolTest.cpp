// vectool forms --json and form-shot, run as a program on the demo saver's designed
// windows and on the sample definition files.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/ScratchFolder.h"

#ifdef VEC_DEMO_SAVER
#include <QImage>
#endif

#ifdef VECTOOL_HAS_FORMS
namespace vec {
namespace {

using nlohmann::json;

const std::string kDemoUi = std::string(VEC_TEST_DATA) + "/../../demo/VEGUI.veu";
const std::string kSampleUi = std::string(VEC_TEST_DATA) + "/forms/VEGUI.veu";

std::string Scratch(const std::string& name) {
  return testing::TestScratch() + name;
}

int RunVectool(const std::string& args, const std::string& outFile,
               const std::string& environment = "") {
  std::string cmd =
      environment + " " + std::string(VECTOOL_PATH) + " " + args + " >" + outFile + " 2>/dev/null";
  int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

json Forms(const std::string& file) {
  const std::string out = Scratch("out.json");
  EXPECT_EQ(RunVectool("forms --json " + file, out), 0);
  std::ifstream in(out);
  return json::parse(in, nullptr, false);
}

const json* Control(const json& form, const std::string& name) {
  for (const auto& c : form["controls"])
    if (c["name"] == name) return &c;
  return nullptr;
}

void WriteUi(const std::string& path, const std::vector<std::string>& formLines) {
  std::ofstream out(path, std::ios::binary);
  out << "1\r\n" << formLines.size() << "\r\n";
  for (const auto& l : formLines) out << l << "\r\n";
  out << "0\r\n1\r\nDummy\r\n";
}

// Catches lost line counts, actions in the wrong order or with the wrong kind, controls
// given the wrong parent, and Windows-1252 characters passed through unconverted.
TEST(FormsTool, DemoWindows) {
  json d = Forms(kDemoUi);
  ASSERT_FALSE(d.is_discarded());
  EXPECT_EQ(d["loaded"], true);
  EXPECT_TRUE(d["error"].is_null());
  ASSERT_EQ(d["forms"].size(), 2u);
  const json& main = d["forms"][0];
  EXPECT_EQ(main["name"], "MainWindow");
  EXPECT_EQ(main["formLines"], 118);
  EXPECT_EQ(main["actionLines"], 46);
  EXPECT_EQ(main["designerLines"], 1);
  std::vector<int> kinds;
  for (const auto& a : main["actions"]) kinds.push_back(a["Kind"]);
  EXPECT_EQ(kinds, (std::vector<int>{2, 3, 4, 5, 9, 6, 0, 1, 4}));
  EXPECT_EQ(main["actions"][8]["ControlName"], "Preview");
  EXPECT_EQ(main["actions"][6]["ControlName"], "lblWebsite");
  EXPECT_EQ(main["actions"][6]["Param1"], "<Website>");
  EXPECT_EQ(main["actions"][7]["Param1"], "About");
  EXPECT_EQ(main["actions"][0]["Param1"], " ");
  EXPECT_EQ(main["preparedText"][0], "object MainWindow: TfmVEConfigWindow");

  EXPECT_EQ(main["built"], true);
  EXPECT_TRUE(main["buildError"].is_null());
  const json& w = main["window"];
  EXPECT_EQ(w["caption"], "<ScreensaverName> \u2013 Settings");
  EXPECT_EQ(w["width"], 560);
  EXPECT_EQ(w["height"], 360);
  EXPECT_EQ(w["borderStyle"], "single");
  EXPECT_EQ(w["borderIcons"], json({"systemMenu", "minimize"}));
  EXPECT_EQ(w["maximized"], false);
  ASSERT_EQ(main["controls"].size(), 10u);
  EXPECT_EQ(main["controls"][0]["name"], "Thumbnails");
  EXPECT_EQ(main["controls"][0]["class"], "TVEThumbnail2");
  const json* next = Control(main, "btnNext");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ((*next)["parent"], "MainWindow");
  EXPECT_EQ((*next)["left"], 468);
  EXPECT_EQ((*next)["top"], 148);
  EXPECT_EQ((*next)["width"], 84);
  EXPECT_EQ((*next)["height"], 24);
  EXPECT_EQ((*next)["tag"], 1);
  EXPECT_EQ((*next)["caption"], "Next >");
  EXPECT_FALSE(Control(main, "Preview")->contains("caption"));
  EXPECT_EQ((*Control(main, "lblAbout"))["caption"], "About this saver\u2026");

  const json& about = d["forms"][1];
  EXPECT_EQ(about["name"], "About");
  EXPECT_EQ(about["window"]["borderStyle"], "none");
  EXPECT_EQ(about["window"]["borderIcons"], json::array());
  EXPECT_EQ((*Control(about, "lblCompany"))["caption"], "\u00A9 <CompanyName>");
  EXPECT_EQ((*Control(about, "pnlTop"))["parent"], "About");
  EXPECT_EQ((*Control(about, "lblName"))["parent"], "pnlTop");
  EXPECT_EQ((*Control(about, "lblName"))["caption"], "<ScreensaverName>");
}

TEST(FormsTool, SampleFileNestedParents) {
  json d = Forms(kSampleUi);
  ASSERT_EQ(d["forms"].size(), 2u);
  const json& about = d["forms"][1];
  EXPECT_EQ(about["name"], "AboutWindow");
  EXPECT_EQ(about["built"], true);
  const json* copyright = Control(about, "lblCopyright");
  ASSERT_NE(copyright, nullptr);
  EXPECT_EQ((*copyright)["parent"], "pnlBack");
  EXPECT_EQ((*copyright)["caption"], "\u00A9 2004 Sea Pictures");
  EXPECT_EQ((*Control(about, "btnOk"))["parent"], "pnlBack");
  EXPECT_EQ(d["forms"][0]["actions"].size(), 5u);
}

// The switches decide the frame, not the BorderStyle written beside them.
TEST(FormsTool, SizeableWindow) {
  const std::string ui = Scratch("sizeable.veu");
  WriteUi(ui, {"object Big: TForm", "  BorderStyle = bsSingle", "  Sizeable = True",
               "  MaximizeButton = True", "  MaximizeOnShow = True", "  ClientWidth = 300",
               "  ClientHeight = 200", "end"});
  json d = Forms(ui);
  const json& w = d["forms"][0]["window"];
  EXPECT_EQ(w["borderStyle"], "sizeable");
  EXPECT_EQ(w["borderIcons"], json({"maximize"}));
  EXPECT_EQ(w["maximized"], true);
  EXPECT_EQ(w["width"], 300);
}

// Without a size of its own the window takes the built-in 588 x 478.
TEST(FormsTool, BuiltInDefaults) {
  const std::string ui = Scratch("defaults.veu");
  WriteUi(ui, {"object Plain: TForm", "end"});
  json d = Forms(ui);
  EXPECT_EQ(d["forms"][0]["window"]["width"], 588);
  EXPECT_EQ(d["forms"][0]["window"]["height"], 478);
  EXPECT_EQ(d["forms"][0]["window"]["borderStyle"], "single");
}

TEST(FormsTool, UnreadableWindowsAndFilesAreReported) {
  const std::string ui = Scratch("unknown.veu");
  WriteUi(ui, {"object W: TForm", "  object X: TRichEdit", "  end", "end"});
  json d = Forms(ui);
  EXPECT_EQ(d["loaded"], true);
  EXPECT_EQ(d["forms"][0]["built"], false);
  EXPECT_NE(d["forms"][0]["buildError"].get<std::string>().find("TRichEdit"), std::string::npos);
  EXPECT_FALSE(d["forms"][0].contains("window"));

  const std::string bad = Scratch("bad.veu");
  std::ofstream(bad) << "two\r\n";
  json e = Forms(bad);
  EXPECT_EQ(e["loaded"], false);
  EXPECT_TRUE(e["error"].is_string());
  EXPECT_EQ(e["forms"], json::array());
}

uint32_t BigEndian(const std::string& s, size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
         (uint32_t(uint8_t(s[at + 2])) << 8) | uint8_t(s[at + 3]);
}

// The picture has the window's client size (width first in the PNG header).
TEST(FormsTool, FormShotWritesTheWindow) {
  const std::string png = Scratch("main.png");
  ASSERT_EQ(RunVectool("form-shot " + kDemoUi + " MainWindow --out " + png, Scratch("shot.txt")),
            0);
  std::ifstream in(png, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string s = bytes.str();
  ASSERT_GT(s.size(), 24u);
  EXPECT_EQ(s.substr(1, 3), "PNG");
  EXPECT_EQ(BigEndian(s, 16), 560u);
  EXPECT_EQ(BigEndian(s, 20), 360u);

  EXPECT_NE(RunVectool("form-shot " + kDemoUi + " Nowhere --out " + png, Scratch("shot.txt")), 0);
}

#ifdef VEC_DEMO_SAVER
// With the saver the preview shows its first picture and the grid its thumbnails; without
// it both stay empty. Catches pictures that never reach the window, a preview given no
// picture, and a private folder left behind.
TEST(FormsTool, FormShotShowsTheSaversPictures) {
  namespace fs = std::filesystem;
  const fs::path temp = Scratch("tmp");
  fs::remove_all(temp);
  fs::create_directories(temp);
  const std::string with = Scratch("with.png"), without = Scratch("without.png");
  ASSERT_EQ(
      RunVectool("form-shot " + kDemoUi + " MainWindow --out " + without, Scratch("shot.txt")), 0);
  ASSERT_EQ(
      RunVectool("form-shot " + kDemoUi + " MainWindow --package " VEC_DEMO_SAVER " --out " + with,
                 Scratch("shot.txt"), "TMPDIR=" + temp.string()),
      0);
  // The extracted saver is removed again (Qt may leave its runtime folder beside it).
  for (const auto& entry : fs::directory_iterator(temp))
    EXPECT_NE(entry.path().filename().string().rfind("vectool-", 0), 0u) << entry.path();
  fs::remove_all(temp);

  const QImage a(QString::fromStdString(with)), b(QString::fromStdString(without));
  ASSERT_EQ(a.size(), QSize(560, 360));
  ASSERT_EQ(b.size(), QSize(560, 360));
  EXPECT_NE(a, b);
  // The window's background between the grid (8..368) and the preview (376..552).
  const QRgb background = b.pixel(372, 4);
  // The centre of the preview (376, 8, 176 x 132).
  EXPECT_EQ(b.pixel(464, 74), background);
  EXPECT_NE(a.pixel(464, 74), background);
  // Inside the first cell's thumbnail: the grid sits at (8, 8) with a 2-pixel border, the
  // 80 x 60 thumbnail at (15, 15) of its 100-pixel cell.
  const QRgb gridColor = qRgb(0xF0, 0xF0, 0xF0);
  EXPECT_EQ(b.pixel(8 + 2 + 15 + 40, 8 + 2 + 15 + 30), gridColor);
  EXPECT_NE(a.pixel(8 + 2 + 15 + 40, 8 + 2 + 15 + 30), gridColor);
}

// With the saver the windows are as they open: the website marker in the link label filled
// from the saver's settings, each clickable control naming the action it runs (the grid is
// not clickable, whatever the action text says), and each action's parameters prepared
// with CR LF after every line. Catches placeholders left unfilled, an action index off by
// one, the grid bound like a button, and parameters handed over without their line break.
TEST(FormsTool, WithTheSaverWindowsAreAsTheyOpen) {
  const std::string out = Scratch("package.json");
  ASSERT_EQ(RunVectool("forms --json " + kDemoUi + " --package " VEC_DEMO_SAVER, out), 0);
  std::ifstream in(out);
  const json doc = json::parse(in, nullptr, false);
  ASSERT_FALSE(doc.is_discarded());
  const json& main = doc["forms"][0];
  EXPECT_EQ(main["window"]["caption"], "Demo Saver \u2013 Settings");
  const json* link = Control(main, "lblWebsite");
  const json* next = Control(main, "btnNext");
  const json* grid = Control(main, "Thumbnails");
  ASSERT_TRUE(link && next && grid);
  EXPECT_EQ((*link)["caption"], "https://example.org/vecsaver/");
  EXPECT_EQ((*next)["action"], 0);  // btnNext is the first action of the text
  EXPECT_EQ((*link)["action"], 6);
  EXPECT_TRUE((*grid)["action"].is_null());
  EXPECT_EQ((*next)["visible"], true);
  EXPECT_EQ(main["actions"][6]["prepared"]["Param1"], "https://example.org/vecsaver/\r\n");
  EXPECT_EQ(main["actions"][7]["prepared"]["Param1"], "About\r\n");
}
#endif  // VEC_DEMO_SAVER

}  // namespace
}  // namespace vec
#endif  // VECTOOL_HAS_FORMS
