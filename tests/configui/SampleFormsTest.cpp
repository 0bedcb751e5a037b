// The hand-written samples in tests/data/forms: two window texts in the authoring tool's
// style with a picture of every kind, two damaged ones, and a UI definition file.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "configui/FormDefinitions.h"
#include "configui/FormTextReader.h"
#include "graphics/Bmp.h"
#include "graphics/Gif.h"

namespace vec {
namespace {

const std::string kForms = std::string(VEC_TEST_DATA) + "/forms/";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

FormObject ReadSample(const std::string& name) {
  auto read = ReadFormText(ReadFile(kForms + name));
  EXPECT_TRUE(read.ok()) << name << ": " << (read.ok() ? "" : read.error().message);
  return read.ok() ? read.release_value() : FormObject{};
}

PictureData Picture(const FormObject& window, std::string_view control, std::string_view path) {
  const FormObject* object = window.FindObject(control);
  const std::vector<uint8_t>* data = object ? object->BinaryOf(path) : nullptr;
  EXPECT_NE(data, nullptr) << control << "." << path;
  if (!data) return {};
  auto picture = DecodePictureData(*data);
  EXPECT_TRUE(picture.ok()) << control << "." << path << ": "
                            << (picture.ok() ? "" : picture.error().message);
  return picture.ok() ? picture.release_value() : PictureData{};
}

void CollectClasses(const FormObject& object, std::set<std::string>& classes) {
  classes.insert(object.className);
  for (const auto& child : object.children) CollectClasses(child, classes);
}

TEST(SampleForms, TheTwoWindowsHoldEveryClass) {
  std::set<std::string> classes;
  CollectClasses(ReadSample("main_window.txt"), classes);
  CollectClasses(ReadSample("about_window.txt"), classes);
  EXPECT_EQ(classes,
            (std::set<std::string>{
                "TForm", "TEdit", "TfmVECOnfigWindow", "TLabel", "TMyShape", "TButton", "TMyButton",
                "TPanel", "TShape", "TMyBevel", "TBitBtn", "TPageControl", "TImage", "TVEPreview",
                "TVEThumbnail2", "TMyMemo", "TCheckBox", "TTabSheet", "TTimer"}));
}

TEST(SampleForms, MainWindowProperties) {
  FormObject main = ReadSample("main_window.txt");
  EXPECT_EQ(main.name, "MainWindow");
  EXPECT_EQ(main.children.size(), 14u);
  EXPECT_EQ(main.StringOr("Caption", ""), "<ProductName> \x96 Settings");
  EXPECT_EQ(main.IntegerOr("Font.Height", 0), -11);
  EXPECT_EQ(main.FindValue("Font.Style")->As<FormSet>()->members.size(), 0u);
  EXPECT_EQ(main.FindValue("BorderIcons")->As<FormSet>()->members,
            (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
  EXPECT_TRUE(main.BoolOr("ShowButtons", false));
  EXPECT_FALSE(main.BoolOr("NoFrame", true));

  const FormObject* grid = main.FindObject("Thumbnails");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->IntegerOr("Color", 0), 0xF0E6DC);
  EXPECT_EQ(grid->IntegerOr("PictureHeight", 0), 60);
  EXPECT_EQ(grid->IdentifierOr("OnSelectItem", ""), "ThumbnailsSelectItem");

  const FormObject* memo = main.FindObject("memAbout");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->StringOr("Text", ""),
            "Sea Waves \xA9 2004\r\nMade with love \r\nPictures: 12 at 1.5 MB\r\n");
  const auto& lines = memo->FindValue("Lines.Strings")->As<FormList>()->items;
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(*lines[2].As<std::string>(), "");
  EXPECT_EQ(main.FindObject("edtName")->StringOr("Text", ""), "It's mine");
  EXPECT_EQ(main.FindObject("lblWebsite")->StringOr("Hint", ""), "Visit '<Website>'");
  EXPECT_EQ(main.FindObject("tmrBlink")->IntegerOr("Interval", 0), 750);
  EXPECT_FALSE(main.FindObject("tmrBlink")->BoolOr("Enabled", true));
  EXPECT_EQ(main.FindObject("pnlButtons")->children.size(), 2u);
  EXPECT_EQ(main.FindObject("tabName")->children[0].name, "edtName");
}

uint32_t Rgb(const BlendBitmap& bitmap, int x, int y) {
  return bitmap.GetPixel(x, y) & 0xFFFFFF;
}

TEST(SampleForms, PicturesOfEveryKindAreRealImages) {
  FormObject main = ReadSample("main_window.txt");

  PictureData bitmap = Picture(main, "Background", "Picture.Data");
  EXPECT_EQ(bitmap.kind, "TBitmap");
  ASSERT_EQ(bitmap.imageBytes.size(), 78u);  // 54-byte headers and two rows of 4 x 3 bytes
  auto bmp = DecodeBmp(bitmap.imageBytes.data(), bitmap.imageBytes.size());
  ASSERT_TRUE(bmp.ok()) << bmp.error().message;
  EXPECT_EQ(bmp->Width(), 4);
  EXPECT_EQ(bmp->Height(), 2);
  EXPECT_EQ(Rgb(bmp.value(), 0, 0), 0x000000u);  // top row: black, yellow, cyan, magenta
  EXPECT_EQ(Rgb(bmp.value(), 1, 0), 0xFFFF00u);
  EXPECT_EQ(Rgb(bmp.value(), 0, 1), 0xFF0000u);  // bottom row: red, green, blue, white
  EXPECT_EQ(Rgb(bmp.value(), 2, 1), 0x0000FFu);

  PictureData gif = Picture(main, "btnPrevious", "ButtonUp.Data");
  EXPECT_EQ(gif.format, PictureFormat::Gif);
  auto decoded = DecodeGif(gif.imageBytes.data(), gif.imageBytes.size());
  ASSERT_TRUE(decoded.ok()) << decoded.error().message;
  std::vector<BlendBitmap> frames = ComposeGifFrames(decoded.value());
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(Rgb(frames[0], 0, 0), 0xFF0000u);  // rows 0 1 2 3 and 3 2 1 0 of red, green,
  EXPECT_EQ(Rgb(frames[0], 1, 0), 0x00FF00u);  // blue, white
  EXPECT_EQ(Rgb(frames[0], 0, 1), 0xFFFFFFu);
  EXPECT_EQ(Rgb(frames[0], 3, 1), 0xFF0000u);

  PictureData png = Picture(main, "btnPrevious", "ButtonDown.Data");
  EXPECT_EQ(png.format, PictureFormat::Png);
  ASSERT_GE(png.imageBytes.size(), 24u);
  EXPECT_EQ(png.imageBytes[19], 2);  // IHDR width, big-endian at 16
  EXPECT_EQ(png.imageBytes[23], 2);  // and height at 20

  PictureData jpeg = Picture(main, "btnNext", "ButtonUp.Data");
  EXPECT_EQ(jpeg.kind, "TJPEGImage");
  std::string jpegFile = ReadFile(std::string(VEC_TEST_DATA) + "/images/picture64x40.jpg");
  EXPECT_EQ(std::string(jpeg.imageBytes.begin(), jpeg.imageBytes.end()), jpegFile);

  EXPECT_TRUE(Picture(main, "btnNext", "ButtonOver.Data").empty());

  PictureData glyph = Picture(main, "btnSettings", "Glyph.Data");
  EXPECT_EQ(glyph.kind, "");
  EXPECT_EQ(glyph.format, PictureFormat::Bitmap);
  auto glyphBmp = DecodeBmp(glyph.imageBytes.data(), glyph.imageBytes.size());
  ASSERT_TRUE(glyphBmp.ok()) << glyphBmp.error().message;
  EXPECT_EQ(glyphBmp->Width(), 8);
  EXPECT_EQ(glyphBmp->Height(), 4);
  EXPECT_EQ(Rgb(glyphBmp.value(), 1, 3),
            0xC0C0C0u);  // bottom row 77 37 77 87: silver, silver, olive
  EXPECT_EQ(Rgb(glyphBmp.value(), 2, 3), 0x808000u);
  EXPECT_EQ(Rgb(glyphBmp.value(), 1, 0), 0x808000u);  // top row 73 33 78 88
  EXPECT_EQ(Rgb(glyphBmp.value(), 5, 0), 0x808080u);
  EXPECT_EQ(main.FindObject("btnSettings")->IntegerOr("NumGlyphs", 1), 2);
}

TEST(SampleForms, AboutWindowInheritsAndKeepsUnusedProperties) {
  FormObject about = ReadSample("about_window.txt");
  EXPECT_EQ(about.blockKind, FormBlockKind::Inherited);
  EXPECT_DOUBLE_EQ(*about.FindValue("FadeSeconds")->As<double>(), 1.5);
  const auto& hotspots = about.FindValue("Hotspots")->As<FormCollectionValue>()->items;
  ASSERT_EQ(hotspots.size(), 2u);
  const auto& bounds = hotspots[0].properties[0].value.As<FormList>()->items;
  ASSERT_EQ(bounds.size(), 4u);
  EXPECT_EQ(*bounds[2].As<int64_t>(), 110);
  EXPECT_EQ(*hotspots[1].properties[1].value.As<std::string>(), "");

  const FormObject* panel = about.FindObject("pnlBack");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->blockKind, FormBlockKind::Inherited);
  EXPECT_EQ(panel->FindValue("DesignSize")->As<FormList>()->items.size(), 2u);
  EXPECT_EQ(panel->FindObject("lblVersion")->StringOr("Caption", ""),
            "Version 2.0 \x96 \xDF"
            "eta \x80"
            "5");
  ASSERT_EQ(panel->children.size(), 2u);
  EXPECT_EQ(panel->children[1].name, "");
  EXPECT_EQ(panel->children[1].className, "TShape");
}

TEST(SampleForms, DamagedTextsFailWithTheirPlace) {
  auto unknown = ReadFormText(ReadFile(kForms + "unknown_class.txt"));
  ASSERT_TRUE(unknown.is_error());
  EXPECT_EQ(unknown.error().message,
            "line 3, column 23: class TListBox is not one a designed window may hold");
  auto cut = ReadFormText(ReadFile(kForms + "cut_short.txt"));
  ASSERT_TRUE(cut.is_error());
  EXPECT_EQ(cut.error().message, "line 6, column 1: the text ends inside the block of line 1");
}

TEST(SampleDefinitions, LoadsBothWindowsWithTheirActions) {
  FormCollection forms;
  Status status = forms.LoadDefinitions(kForms + "VEGUI.veu");
  ASSERT_TRUE(status.ok()) << status.error().message;
  ASSERT_EQ(forms.size(), 2u);

  const FormDefinition* main = forms.FindForm("MainWindow");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->lines.size(), 81u);
  ASSERT_EQ(main->actions.size(), 5u);
  const Action* website = main->actions.FindAction("lblWebsite");
  ASSERT_NE(website, nullptr);
  EXPECT_EQ(website->kind, 0);
  EXPECT_EQ(website->param1, "<Website>");
  const Action* about = main->actions.FindAction("BTNABOUT");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->kind, 1);
  EXPECT_EQ(about->param3, " ");  // an empty line in the file
  EXPECT_EQ(main->actions.FindAction("Preview")->kind, 4);
  EXPECT_EQ(main->actions.FindAction("Thumbnails"), nullptr);

  // "Show window" hands its parameter over with a line break after it.
  const FormDefinition* aboutForm = forms.FindForm(about->param1 + "\r\n");
  ASSERT_NE(aboutForm, nullptr);
  EXPECT_EQ(aboutForm->name, "AboutWindow");
  ASSERT_EQ(aboutForm->actions.size(), 1u);
  EXPECT_EQ(aboutForm->actions.FindAction("btnOk")->kind, 6);
}

TEST(SampleDefinitions, PreparedTextsReadAsTheRuntimeWindow) {
  FormCollection forms;
  ASSERT_TRUE(forms.LoadDefinitions(kForms + "VEGUI.veu").ok());

  std::string mainText = forms.FindForm("MainWindow")->PrepareFormText();
  EXPECT_TRUE(mainText.starts_with("object MainWindow: TfmVEConfigWindow\r\n"));
  auto main = ReadFormText(mainText);
  ASSERT_TRUE(main.ok()) << main.error().message;
  EXPECT_EQ(main->FindProperty("BorderIcons"), nullptr);
  EXPECT_EQ(main->FindProperty("FormStyle"), nullptr);
  EXPECT_EQ(main->FindProperty("Visible"), nullptr);  // the window's own goes
  EXPECT_EQ(main->FindProperty("OnShow"), nullptr);
  const FormObject* grid = main->FindObject("Thumbnails");
  EXPECT_TRUE(grid->BoolOr("Visible", false));  // a control's later one stays
  EXPECT_EQ(grid->FindProperty("BorderStyle"), nullptr);
  const FormObject* website = main->FindObject("lblWebsite");
  EXPECT_TRUE(website->BoolOr("Online", false));
  EXPECT_EQ(website->FindProperty("OnClick"), nullptr);

  auto about = ReadFormText(forms.FindForm("aboutwindow")->PrepareFormText());
  ASSERT_TRUE(about.ok()) << about.error().message;
  EXPECT_EQ(about->className, "TfmVEConfigWindow");
  EXPECT_TRUE(about->BoolOr("NoFrame", false));
  // No Visible of the window's own: the panel's is the first and goes.
  EXPECT_EQ(about->FindObject("pnlBack")->FindProperty("Visible"), nullptr);
  const FormObject* copyright = about->FindObject("lblCopyright");
  EXPECT_TRUE(copyright->BoolOr("Visible", false));
  EXPECT_EQ(copyright->FindProperty("On2"), nullptr);
  EXPECT_EQ(copyright->StringOr("Caption", ""), "\xA9 2004 Sea Pictures");
  EXPECT_EQ(about->FindObject("btnOk")->FindProperty("OnMouseDown"), nullptr);
}

}  // namespace
}  // namespace vec
