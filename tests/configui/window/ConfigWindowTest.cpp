// A designed window's behaviour while it is open: placeholders, actions, the current
// picture, visibility from the tags and the user settings it writes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/Ini.h"
#include "configui/ConfigWindow.h"
#include "configui/DesignedWindow.h"
#include "configui/FormBuilder.h"
#include "configui/FormDefinitions.h"
#include "configui/controls/PicturePreview.h"
#include "configui/controls/ThumbnailGrid.h"
#include "graphics/BlendBitmap.h"
#include "graphics/Bmp.h"
#include "package/SaverSettings.h"
#include "tests/configui/window/FormTestApp.h"

namespace vec {
namespace {

// One window in the authoring tool's style: a panel and a page control each holding a label
// with a marker, buttons bound to actions of several kinds, and controls whose tags
// contradict their Visible lines.
std::string Definitions() {
  const std::vector<std::string> form = {
      "object Main: TForm",
      "  Caption = '<ScreensaverName> settings'",
      "  ClientWidth = 300",
      "  ClientHeight = 200",
      "  object Panel1: TPanel",
      "    Left = 0",
      "    Top = 0",
      "    Width = 150",
      "    Height = 60",
      "    Tag = 1",
      "    object OnPanel: TLabel",
      "      Caption = 'By <CompanyName>'",
      "      Tag = 1",
      "    end",
      "  end",
      "  object Pages: TPageControl",
      "    Left = 150",
      "    Width = 150",
      "    Height = 60",
      "    Tag = 1",
      "    object Sheet1: TTabSheet",
      "      Caption = 'One'",
      "      object OnSheet: TLabel",
      "        Caption = 'By <CompanyName>'",
      "        Tag = 1",
      "      end",
      "    end",
      "  end",
      "  object Hidden: TLabel",
      "    Caption = 'x'",
      "    Visible = True",
      "    Tag = 2",
      "  end",
      "  object Shown: TLabel",
      "    Caption = 'y'",
      "    Visible = False",
      "    Tag = 1",
      "  end",
      "  object Link: TLabel",
      "    Caption = '<Website>'",
      "    Tag = 1",
      "  end",
      "  object Plain: TButton",
      "    Caption = 'Plain'",
      "    Tag = 1",
      "  end",
      "end",
  };
  const std::vector<std::string> actions = {
      "7", "Link", "0",     "<Website>", " ",    " ", "Next", "2",    " ", " ",     " ", "Prev",
      "3", " ",    " ",     " ",         "Prev", "2", " ",    " ",    " ", "Plain", "6", " ",
      " ", " ",    "Seven", "7",         " ",    " ", " ",    "Wall", "9", " ",     " ", " "};
  std::string text = "1\r\n" + std::to_string(form.size()) + "\r\n";
  for (const auto& l : form) text += l + "\r\n";
  text += std::to_string(actions.size()) + "\r\n";
  for (const auto& l : actions) text += l + "\r\n";
  return text + "1\r\nDummy\r\n";
}

struct Rig {
  FormCollection forms;
  SaverSettings settings;
  ConfigWindowContext context;
  std::unique_ptr<DesignedWindow> window;
  std::unique_ptr<ConfigWindow> behaviour;
  std::vector<std::string> opened, wallpapers, previews;
  bool answer = false;
  std::string userFile;

  explicit Rig(bool access = true) {
    test::FormTestApp();
    EXPECT_TRUE(forms.LoadDefinitionsFromText(Definitions(), "test").ok());
    settings.Setting.ProductName = "Bob's";
    settings.Setting.Publisher = "Cove";
    settings.Setting.Website = "http://cove.example/";
    settings.FileList.FileNames = {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"};
    userFile = ::testing::TempDir() + "configwindow_" + std::to_string(getpid()) + ".ini";
    std::filesystem::remove(userFile);
    context.forms = &forms;
    context.settings = &settings;
    context.settingsAccess = access;
    context.userSettings = {userFile, ""};
    context.services.openUrl = [this](const std::string& a) { opened.push_back(a); };
    context.services.confirm = [this](QWidget*, const std::string&) { return answer; };
    context.services.setWallpaper = [this](QWidget*, const std::string& p) {
      wallpapers.push_back(p);
    };
    context.services.previewPicture = [this](const std::string& p) { previews.push_back(p); };
    auto built = BuildDesignedWindow(forms, "Main");
    EXPECT_TRUE(built.ok()) << (built.ok() ? "" : built.error().message);
    window = built.release_value();
    behaviour = std::make_unique<ConfigWindow>(context, *window);
  }
  ~Rig() { std::filesystem::remove(userFile); }
  QLabel* Label(const char* name) {
    return dynamic_cast<QLabel*>(window->FindControl(name)->widget);
  }
};

// The caption and a label on a panel get the markers filled (apostrophe doubled); a label on
// a tab sheet keeps its text. Catches a walk that visits every control or none.
TEST(ConfigWindow, PlaceholdersOnTheWindowAndPanelsOnly) {
  Rig rig;
  rig.behaviour->FillPlaceholders();
  EXPECT_EQ(rig.window->windowTitle().toStdString(), "Bob''s settings");
  EXPECT_EQ(rig.Label("OnPanel")->text().toStdString(), "By Cove");
  EXPECT_EQ(rig.Label("OnSheet")->text().toStdString(), "By <CompanyName>");
  EXPECT_EQ(rig.Label("Link")->text().toStdString(), "http://cove.example/");
}

// A label sized to its text (AutoSize, the default) is sized again when a placeholder fills
// it, also when the window is laid out later. Catches the size of "<Website>" kept for the
// longer address, which cut it.
TEST(ConfigWindow, FilledLabelsTakeTheSizeOfTheirNewText) {
  Rig rig;
  QLabel* link = rig.Label("Link");
  const QFontMetrics metrics(link->font());
  // The text's advance, give or take the pixel its bounding box rounds up to.
  auto fitsTightly = [](int width, int advance) {
    return width >= advance && width <= advance + 1;
  };
  const int marker = metrics.horizontalAdvance("<Website>");
  const int address = metrics.horizontalAdvance("http://cove.example/");
  EXPECT_PRED2(fitsTightly, link->width(), marker);
  rig.behaviour->FillPlaceholders();
  EXPECT_PRED2(fitsTightly, link->width(), address);
  rig.window->LayoutAll();
  EXPECT_PRED2(fitsTightly, link->width(), address);
  EXPECT_PRED2(fitsTightly, rig.window->FindControl("Link")->geometry.width, address);
}

// Tag bit 0 decides visibility whatever Visible says.
TEST(ConfigWindow, TagsDecideVisibility) {
  Rig rig;
  rig.behaviour->Prepare();
  EXPECT_TRUE(rig.Label("Hidden")->isHidden());
  EXPECT_FALSE(rig.Label("Shown")->isHidden());
}

// Next on the last picture and Previous on the first keep the picture; the first of two
// actions of one control runs (Prev is bound to 3 before 2); kind 7 does nothing; the
// address goes out without its line break.
TEST(ConfigWindow, ActionsStepOpenAndClamp) {
  Rig rig;
  rig.behaviour->Prepare();
  EXPECT_EQ(rig.behaviour->CurrentIndex(), 0);
  rig.behaviour->ExecuteAction("Prev");
  EXPECT_EQ(rig.behaviour->CurrentIndex(), 0);
  rig.behaviour->ExecuteAction("Next");
  rig.behaviour->ExecuteAction("Next");
  rig.behaviour->ExecuteAction("Next");
  EXPECT_EQ(rig.behaviour->CurrentIndex(), 2);
  rig.behaviour->ExecuteAction("Prev");
  EXPECT_EQ(rig.behaviour->CurrentIndex(), 1);
  rig.behaviour->ExecuteAction("Seven");
  rig.behaviour->ExecuteAction("Nobody");
  EXPECT_EQ(rig.behaviour->CurrentIndex(), 1);
  rig.behaviour->ExecuteAction("Link");
  EXPECT_EQ(rig.opened, (std::vector<std::string>{"http://cove.example/"}));
}

// A plain button is not bound even when the action text names it; a label is.
TEST(ConfigWindow, OnlyTheBindableClassesGetTheClick) {
  Rig rig;
  rig.behaviour->Prepare();
  EXPECT_FALSE(rig.window->FindControl("Plain")->widget->property("actionControl").isValid());
  EXPECT_TRUE(rig.window->FindControl("Link")->widget->property("actionControl").isValid());
  EXPECT_FALSE(IsBindableClass("TButton"));
  EXPECT_TRUE(IsBindableClass("tmybutton"));
}

// The wallpaper is set only after a Yes, with the current picture.
TEST(ConfigWindow, WallpaperNeedsConfirmation) {
  Rig rig;
  rig.behaviour->Prepare();
  rig.behaviour->ExecuteAction("Wall");
  EXPECT_TRUE(rig.wallpapers.empty());
  rig.answer = true;
  rig.behaviour->ExecuteAction("Next");
  rig.behaviour->ExecuteAction("Wall");
  EXPECT_EQ(rig.wallpapers, (std::vector<std::string>{"/p/b.jpg"}));
}

// With settings access the index starts from the file and is written back at close; without
// it nothing is read or written.
TEST(ConfigWindow, IndexReadAtShowAndWrittenAtClose) {
  {
    Rig rig;
    ASSERT_TRUE(
        IniDocument::FromText("[Setting]\r\nIndex=3\r\nDuration=9\r\n").SaveToFile(rig.userFile));
    rig.behaviour->Prepare();
    EXPECT_EQ(rig.behaviour->CurrentIndex(), 2);  // 3 is kept, then clamped to the last
    rig.behaviour->ExecuteAction("Prev");
    rig.behaviour->Finish();
    const IniDocument saved = IniDocument::FromFile(rig.userFile);
    EXPECT_EQ(saved.ReadInteger("Setting", "Index", -1), 1);
    EXPECT_EQ(saved.ReadInteger("Setting", "Duration", -1), 9);
  }
  {
    Rig rig(false);
    ASSERT_TRUE(IniDocument::FromText("[Setting]\r\nIndex=2\r\n").SaveToFile(rig.userFile));
    rig.behaviour->Prepare();
    EXPECT_EQ(rig.behaviour->CurrentIndex(), 0);
    rig.behaviour->ExecuteAction("Next");
    rig.behaviour->Finish();
    EXPECT_EQ(IniDocument::FromFile(rig.userFile).ReadInteger("Setting", "Index", -1), 2);
  }
}

// Closing replaces the user's file whole or not at all. An existing file that cannot be read
// (here a folder where the file should be) is left as it is and the failure is reported,
// instead of being taken as empty and replaced by one holding only Index; a first save of a
// user who had only the file beside a saver they cannot write goes to their own file, keeps
// the keys of the file beside the saver, and leaves that file untouched. Catches the plain
// truncating save, a failure closing silently, and a user's first save losing the saver's
// settings.
TEST(ConfigWindow, CloseWritesTheFileWholeOrReportsWhy) {
  const std::string folder = ::testing::TempDir() + "closewrite_" + std::to_string(getpid()) + "/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder + "unreadable.ini");
  {
    Rig rig;
    std::vector<std::string> errors;
    rig.context.userSettings = {folder + "unreadable.ini", ""};
    rig.context.services.showError = [&](QWidget*, const std::string& m) { errors.push_back(m); };
    rig.behaviour->Prepare();
    rig.behaviour->ExecuteAction("Next");
    rig.behaviour->Finish();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("could not be saved to \"" + folder + "unreadable.ini\""),
              std::string::npos)
        << errors[0];
    EXPECT_TRUE(std::filesystem::is_directory(folder + "unreadable.ini"));
  }
  {
    Rig rig;
    const std::string beside = folder + "Sea.ini";
    const std::string own = folder + "config/vecsaver/Sea.ini";
    ASSERT_TRUE(
        IniDocument::FromText("[Setting]\r\nDuration=45\r\nIndex=0\r\n").SaveToFile(beside));
    rig.context.userSettings = {own, beside};
    rig.behaviour->Prepare();
    rig.behaviour->ExecuteAction("Next");
    rig.behaviour->Finish();
    const IniDocument saved = IniDocument::FromFile(own);
    EXPECT_EQ(saved.ReadInteger("Setting", "Index", -1), 1);
    EXPECT_EQ(saved.ReadInteger("Setting", "Duration", -1), 45);
    EXPECT_EQ(IniDocument::FromFile(beside).ReadInteger("Setting", "Index", -1), 0);
  }
  {
    // A write that fails part way (here the process's file size limit, as a full disk would)
    // leaves the old file whole and is reported; a truncating save left half a file.
    Rig rig;
    std::vector<std::string> errors;
    const std::string path = folder + "full.ini";
    const std::string old = "[Setting]\r\nDuration=45\r\n; " + std::string(60, 'x') + "\r\n";
    ASSERT_TRUE(IniDocument::FromText(old).SaveToFile(path));
    rig.context.userSettings = {path, ""};
    rig.context.services.showError = [&](QWidget*, const std::string& m) { errors.push_back(m); };
    rig.behaviour->Prepare();
    rig.behaviour->ExecuteAction("Next");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = old.size() + 4;
    const sighandler_t before = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    rig.behaviour->Finish();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, before);
    EXPECT_EQ(errors.size(), 1u);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
  }
  std::filesystem::remove_all(folder);
}

// Two grids over five real pictures: unticking pictures 1 and 3 in the first grid and 2 in
// the second writes only the second grid's choice ("2"), and a window opened afterwards
// shows exactly that picture unticked in both grids. Catches favourites written from the
// first grid, keys written for ticked pictures, and a reopened window ignoring the file.
TEST(ConfigWindow, FavouritesOfTheLastGridAreKeptAndReadBack) {
  test::FormTestApp();
  const std::string folder = ::testing::TempDir() + "grids_" + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(folder);
  SaverSettings settings;
  for (int i = 0; i < 5; ++i) {
    BlendBitmap bmp(8, 6);
    bmp.Clear(MakePixel(40 * i, 0, 0));
    const std::string file = folder + "p" + std::to_string(i) + ".bmp";
    ASSERT_TRUE(SaveBmp32(bmp, file).ok());
    settings.FileList.FileNames.push_back(file);
  }
  const std::string text =
      "1\r\n12\r\nobject Main: TForm\r\n  object G1: TVEThumbnail2\r\n    Width = 300\r\n"
      "    Height = 200\r\n    Tag = 1\r\n  end\r\n  object G2: TVEThumbnail2\r\n"
      "    Top = 200\r\n    Width = 300\r\n    Height = 200\r\n  end\r\nend\r\n"
      "0\r\n1\r\nDummy\r\n";
  FormCollection forms;
  ASSERT_TRUE(forms.LoadDefinitionsFromText(text, "test").ok());
  ConfigWindowContext context;
  context.forms = &forms;
  context.settings = &settings;
  context.settingsAccess = true;
  context.userSettings = {folder + "user.ini", ""};
  auto grid = [](DesignedWindow& w, const char* name) {
    return dynamic_cast<ThumbnailGrid*>(w.FindControl(name)->widget);
  };
  {
    auto window = BuildDesignedWindow(forms, "Main").release_value();
    ConfigWindow behaviour(context, *window);
    behaviour.Prepare();
    ThumbnailGrid* g1 = grid(*window, "G1");
    ThumbnailGrid* g2 = grid(*window, "G2");
    ASSERT_TRUE(g1 && g2);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(g1->ticked(i)) << i;  // no file yet: all kept
    g1->setTicked(1, false);
    g1->setTicked(3, false);
    g2->setTicked(2, false);
    behaviour.Finish();
  }
  EXPECT_EQ(IniDocument::FromFile(context.userSettings.file).SectionKeys("Files"),
            (std::vector<std::string>{"2"}));
  {
    auto window = BuildDesignedWindow(forms, "Main").release_value();
    ConfigWindow behaviour(context, *window);
    behaviour.Prepare();
    for (const char* name : {"G1", "G2"})
      for (int i = 0; i < 5; ++i) EXPECT_EQ(grid(*window, name)->ticked(i), i != 2) << name << i;
  }
  std::filesystem::remove_all(folder);
}

// "Next picture" and "Previous picture" move every preview along with the current picture
// (the first picture is shown at first). Catches previews left on the first picture.
TEST(ConfigWindow, PreviewsFollowTheCurrentPicture) {
  test::FormTestApp();
  const std::string folder = ::testing::TempDir() + "previews_" + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(folder);
  SaverSettings settings;
  for (int i = 0; i < 3; ++i) {
    BlendBitmap bmp(8, 6);
    bmp.Clear(MakePixel(0, 80 * i, 0));
    const std::string file = folder + "q" + std::to_string(i) + ".bmp";
    ASSERT_TRUE(SaveBmp32(bmp, file).ok());
    settings.FileList.FileNames.push_back(file);
  }
  const std::string text =
      "1\r\n7\r\nobject Main: TForm\r\n  object Pv: TVEPreview\r\n    Width = 40\r\n"
      "    Height = 30\r\n    Tag = 1\r\n  end\r\nend\r\n"
      "11\r\n2\r\nPv\r\n2\r\n \r\n \r\n \r\nGo\r\n3\r\n \r\n \r\n \r\n1\r\nDummy\r\n";
  FormCollection forms;
  ASSERT_TRUE(forms.LoadDefinitionsFromText(text, "test").ok());
  ConfigWindowContext context;
  context.forms = &forms;
  context.settings = &settings;
  auto window = BuildDesignedWindow(forms, "Main").release_value();
  ConfigWindow behaviour(context, *window);
  behaviour.Prepare();
  auto* preview = dynamic_cast<PicturePreview*>(window->FindControl("Pv")->widget);
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->fileName(), settings.FileList.FileNames[0]);
  behaviour.ExecuteAction("Pv");  // the preview itself is bound to "Next picture"
  EXPECT_EQ(preview->fileName(), settings.FileList.FileNames[1]);
  behaviour.ExecuteAction("Go");
  EXPECT_EQ(preview->fileName(), settings.FileList.FileNames[0]);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vec

namespace vec {
namespace {

// Clicks through the real widgets: a label, a shape and a button on or beside a panel that
// has an action of its own. Each click runs only the clicked control's action (a label
// without one does nothing, and the panel's runs only for a click on the panel itself); a
// double click is one click; a push button clicks from the keyboard; Escape and Enter do
// not close the window.
TEST(ConfigWindow, ClicksRunOnlyTheClickedControlsAction) {
  test::FormTestApp();
  const std::vector<std::string> form = {"object Main: TForm",
                                         "  ClientWidth = 300",
                                         "  ClientHeight = 200",
                                         "  object Box: TPanel",
                                         "    Left = 10",
                                         "    Top = 10",
                                         "    Width = 200",
                                         "    Height = 100",
                                         "    Tag = 1",
                                         "    object Step: TLabel",
                                         "      Left = 10",
                                         "      Top = 10",
                                         "      Width = 40",
                                         "      Height = 20",
                                         "      Caption = 'step'",
                                         "      Tag = 1",
                                         "    end",
                                         "    object Quiet: TLabel",
                                         "      Left = 100",
                                         "      Top = 10",
                                         "      Width = 40",
                                         "      Height = 20",
                                         "      Caption = 'quiet'",
                                         "      Tag = 1",
                                         "    end",
                                         "    object Dot: TMyShape",
                                         "      Left = 10",
                                         "      Top = 60",
                                         "      Width = 20",
                                         "      Height = 20",
                                         "      Tag = 1",
                                         "    end",
                                         "  end",
                                         "  object Back: TBitBtn",
                                         "    Left = 220",
                                         "    Top = 10",
                                         "    Width = 60",
                                         "    Height = 25",
                                         "    Caption = 'Back'",
                                         "    Tag = 1",
                                         "  end",
                                         "end"};
  const std::vector<std::string> actions = {"4", "Box", "0",    "box-url", " ",   " ", "Step",
                                            "2", " ",   " ",    " ",       "Dot", "2", " ",
                                            " ", " ",   "Back", "3",       " ",   " ", " "};
  std::string text = "1\r\n" + std::to_string(form.size()) + "\r\n";
  for (const auto& l : form) text += l + "\r\n";
  text += std::to_string(actions.size()) + "\r\n";
  for (const auto& l : actions) text += l + "\r\n";
  text += "1\r\nDummy\r\n";
  FormCollection forms;
  ASSERT_TRUE(forms.LoadDefinitionsFromText(text, "test").ok());
  SaverSettings settings;
  settings.FileList.FileNames = {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"};
  std::vector<std::string> opened;
  ConfigWindowContext context;
  context.forms = &forms;
  context.settings = &settings;
  context.services.openUrl = [&](const std::string& a) { opened.push_back(a); };
  auto window = BuildDesignedWindow(forms, "Main").release_value();
  int finished = 0;
  ConfigWindow behaviour(context, *window);
  behaviour.Prepare();
  QObject::connect(window.get(), &QDialog::finished, &behaviour, [&] { ++finished; });
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  auto widget = [&](const char* name) { return window->FindControl(name)->widget; };
  auto settle = [] { QCoreApplication::processEvents(); };

  QTest::mouseClick(widget("Step"), Qt::LeftButton, {}, QPoint(2, 2));
  settle();
  EXPECT_EQ(behaviour.CurrentIndex(), 1);
  EXPECT_TRUE(opened.empty()) << "the panel took the label's click";
  QTest::mouseClick(widget("Quiet"), Qt::LeftButton, {}, QPoint(2, 2));
  settle();
  EXPECT_EQ(behaviour.CurrentIndex(), 1);
  EXPECT_TRUE(opened.empty()) << "a label without an action passed its click to the panel";
  QTest::mouseClick(widget("Dot"), Qt::LeftButton, {}, QPoint(5, 5));
  settle();
  EXPECT_EQ(behaviour.CurrentIndex(), 2);
  EXPECT_TRUE(opened.empty());
  QTest::mouseClick(widget("Box"), Qt::LeftButton, {}, QPoint(190, 90));
  settle();
  EXPECT_EQ(opened, (std::vector<std::string>{"box-url"}));
  EXPECT_EQ(behaviour.CurrentIndex(), 2);

  // As Qt delivers a double click to widgets: press, release, double click, release.
  QTest::mousePress(widget("Step"), Qt::LeftButton, {}, QPoint(2, 2));
  QTest::mouseRelease(widget("Step"), Qt::LeftButton, {}, QPoint(2, 2));
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget("Step"), &second);
  QTest::mouseRelease(widget("Step"), Qt::LeftButton, {}, QPoint(2, 2));
  settle();
  EXPECT_EQ(behaviour.CurrentIndex(), 3) << "a double click is one click";

  widget("Back")->setFocus();
  QTest::keyClick(widget("Back"), Qt::Key_Space);
  settle();
  EXPECT_EQ(behaviour.CurrentIndex(), 2) << "the button's click from the keyboard";

  QTest::keyClick(window.get(), Qt::Key_Escape);
  QTest::keyClick(window.get(), Qt::Key_Return);
  settle();
  EXPECT_EQ(finished, 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(behaviour.CurrentIndex(), 2);
}

}  // namespace
}  // namespace vec
