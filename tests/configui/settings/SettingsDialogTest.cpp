// The Settings dialog with real widgets off screen: what it shows, and what OK writes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <memory>

#include "base/Ini.h"
#include "configui/SettingsDialog.h"
#include "tests/configui/settings/TestFolders.h"
#include "tests/support/OffscreenApp.h"
#include "tests/support/TextFit.h"

namespace vec {
namespace {

using test::ReadText;
using test::ScratchFolder;
using test::WriteText;

class SettingsDialogTest : public testing::Test {
 protected:
  SettingsDialogTest() { test::OffscreenApp(); }

  std::unique_ptr<SettingsDialog> Open(bool allowed = true) {
    auto d = std::make_unique<SettingsDialog>(settings_, SettingsAccess{allowed, {file(), ""}});
    d->SetErrorReporter([this](const QString& m) { errors_.push_back(m.toStdString()); });
    return d;
  }
  std::string file() const { return dir_ / "Sea.ini"; }

  template <class W>
  static W* Child(SettingsDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static void Click(QWidget* w) {
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
  }
  static void PressOk(SettingsDialog& d) { Child<QPushButton>(d, "Button1")->click(); }

  ShowSettings settings_;
  ScratchFolder dir_;
  std::vector<std::string> errors_;
};

// Catches captions, list texts (the trailing blank of "Normal "), ranges or the client size
// differing from the dialog's layout, and the hidden controls placed inside the visible area.
TEST_F(SettingsDialogTest, ControlsTextsAndGeometry) {
  auto d = Open();
  EXPECT_EQ(d->windowTitle(), "Settings");
  EXPECT_EQ(d->size(), QSize(364, 297));
  auto* pages = Child<QTabWidget>(*d, "PageControl1");
  ASSERT_EQ(pages->count(), 2);
  EXPECT_EQ(pages->tabText(0), "Display Mode");
  EXPECT_EQ(pages->tabText(1), "Background Music");
  EXPECT_EQ(pages->geometry(), QRect(8, 8, 345, 249));
  auto items = [](QComboBox* c) {
    QStringList l;
    for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
    return l;
  };
  EXPECT_EQ(items(Child<QComboBox>(*d, "cbImageQuality")),
            QStringList({"Highest (Slower)", "Normal ", "Low (Faster)"}));
  EXPECT_EQ(items(Child<QComboBox>(*d, "cbImageSize")),
            QStringList({"Original Size", "Stretch-Full", "Stretch-Proportional"}));
  EXPECT_EQ(items(Child<QComboBox>(*d, "cbShowImageMode")),
            QStringList({"All images - Random", "All images - Sequential",
                         "User's favorite (checked images) - Random", "Single - Selected Image"}));
  EXPECT_EQ(Child<QCheckBox>(*d, "cbDirectX")->text(), "Use DirectX (Faster Animation)");
  EXPECT_EQ(Child<QCheckBox>(*d, "cbMusic")->pos(), QPoint(29, 14));
  EXPECT_EQ(Child<QSlider>(*d, "tbSpeed")->maximum(), 20);
  EXPECT_EQ(Child<QSlider>(*d, "tbSpeed")->tickPosition(), QSlider::NoTicks);
  EXPECT_EQ(Child<QLineEdit>(*d, "txtDuration")->maxLength(), 3);
  EXPECT_EQ(Child<QTableWidget>(*d, "lstMusic")->horizontalHeaderItem(0)->text(), "File");
  EXPECT_EQ(Child<QPushButton>(*d, "Button1")->pos(), QPoint(198, 264));
  EXPECT_EQ(Child<QPushButton>(*d, "Button2")->text(), "Cancel");
  EXPECT_EQ(Child<QCheckBox>(*d, "cbTransition")->pos(), QPoint(22, 341));
  EXPECT_EQ(Child<QGroupBox>(*d, "GroupBox1")->pos(), QPoint(13, 334));
  EXPECT_EQ(Child<QLabel>(*d, "Label3")->text(), "Reset");
}

// Every text the dialog shows is whole in the fonts this machine has: captions, check boxes,
// buttons, tabs, the list header, and each entry of the three drop-down lists as they open
// (the boxes keep their designed width when closed). Both styles Qt always has are tried:
// Fusion opens a list as wide as its entries need, Windows only as wide as its box. Catches
// an open list no wider than its closed box, which cuts "User's favorite (checked images) -
// Random".
TEST_F(SettingsDialogTest, EveryTextShowsWholeAndTheOpenListsShowEveryEntry) {
  const QString before = QApplication::style()->name();
  for (const char* style : {"Fusion", "Windows"}) {
    SCOPED_TRACE(style);
    QApplication::setStyle(QStyleFactory::create(style));
    auto d = Open();
    const test::TextFitReport report = test::CheckTextsFit(*d);
    EXPECT_TRUE(report.misfits.empty()) << report.Describe();
    for (const char* text :
         {"User's favorite (checked images) - Random", "Stretch-Proportional", "Highest (Slower)",
          "Use DirectX (Faster Animation)", "Animation Speed", "Background Music",
          "Shuffle Playlist", "File", "Remove", "Cancel"})
      EXPECT_TRUE(report.Measured(text)) << text;
    // Below the client area: not seen, so not measured.
    EXPECT_FALSE(report.Measured("Enable Transition"));
    EXPECT_EQ(d->size(), QSize(364, 297));
    auto* mode = Child<QComboBox>(*d, "cbShowImageMode");
    EXPECT_EQ(mode->geometry(), QRect(141, 127, 190, 21));
    mode->setCurrentIndex(2);
    EXPECT_EQ(mode->toolTip().toStdString(), "User's favorite (checked images) - Random");
  }
  QApplication::setStyle(QStyleFactory::create(before));
}

// Catches the dialog starting from its own presets instead of the settings, and custom music
// or shuffle taken from the saver's settings.
TEST_F(SettingsDialogTest, NoUserFileShowsTheSaverDefaults) {
  settings_.Stretch = true;
  settings_.Proportional = true;
  settings_.ShowImageMode = 1;
  settings_.Speed = 100;
  settings_.Duration = 40;
  settings_.Transition = false;
  settings_.DirectXQuality = 2;
  auto d = Open();
  EXPECT_EQ(Child<QComboBox>(*d, "cbImageSize")->currentIndex(), 2);
  EXPECT_EQ(Child<QComboBox>(*d, "cbShowImageMode")->currentIndex(), 1);
  EXPECT_EQ(Child<QSlider>(*d, "tbSpeed")->value(), 10);
  EXPECT_EQ(Child<QLineEdit>(*d, "txtDuration")->text(), "40");
  EXPECT_FALSE(Child<QCheckBox>(*d, "cbTransition")->isChecked());
  EXPECT_EQ(Child<QComboBox>(*d, "cbImageQuality")->currentIndex(), 2);
  EXPECT_FALSE(Child<QCheckBox>(*d, "cbCustomMusic")->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(*d, "cbShuffleMusic")->isChecked());
  EXPECT_TRUE(Child<QPushButton>(*d, "Button1")->isEnabled());
}

// Catches the duration shown outside the up-down's range.
TEST_F(SettingsDialogTest, DurationHeldToTheUpDownRange) {
  const std::pair<const char*, const char*> rows[] = {
      {"5", "10"}, {"1500", "999"}, {"10", "10"}, {"999", "999"}, {"-3", "10"}};
  for (auto [stored, shown] : rows) {
    WriteText(file(), std::string("[Setting]\nDuration=") + stored + "\n");
    auto d = Open();
    EXPECT_EQ(Child<QLineEdit>(*d, "txtDuration")->text().toStdString(), shown) << stored;
  }
}

// Catches the up-down stepping past its ends or failing on a text that is no number.
TEST_F(SettingsDialogTest, UpDownStepsWithinItsRange) {
  auto d = Open();
  auto* edit = Child<QLineEdit>(*d, "txtDuration");
  QWidget* upDown = Child<QWidget>(*d, "UpDown1");
  auto* up = upDown->findChild<QToolButton*>("up");
  auto* down = upDown->findChild<QToolButton*>("down");
  edit->setText("998");
  up->click();
  up->click();
  EXPECT_EQ(edit->text(), "999");
  edit->setText("11");
  down->click();
  down->click();
  EXPECT_EQ(edit->text(), "10");
  edit->setText("ab");
  up->click();
  EXPECT_EQ(edit->text(), "10");
}

// Catches a speed matching no table value leaving the track bar at an end.
TEST_F(SettingsDialogTest, AnUnlistedSaverSpeedStartsAtTheNearestValue) {
  settings_.Speed = 130;  // between 120 (11) and 140 (12): the tie goes to the lower
  EXPECT_EQ(Child<QSlider>(*Open(), "tbSpeed")->value(), 11);
  settings_.Speed = 470;
  EXPECT_EQ(Child<QSlider>(*Open(), "tbSpeed")->value(), 19);
}

// Catches control values written to the wrong keys, the speed written as a percentage, the
// hidden transition box ignored, and the music rows lost or reordered.
TEST_F(SettingsDialogTest, OkWritesWhatTheControlsShow) {
  WriteText(file(), "[Setting]\nIndex=3\n[MusicList]\n/m/old.mp3=\n");
  auto d = Open();
  Child<QComboBox>(*d, "cbImageSize")->setCurrentIndex(0);
  Child<QComboBox>(*d, "cbShowImageMode")->setCurrentIndex(2);
  Child<QSlider>(*d, "tbSpeed")->setValue(15);
  Child<QCheckBox>(*d, "cbSound")->setChecked(false);
  Child<QCheckBox>(*d, "cbMusic")->setChecked(true);
  Child<QCheckBox>(*d, "cbTransition")->setChecked(false);
  Child<QLineEdit>(*d, "txtDuration")->setText("120");
  Child<QCheckBox>(*d, "cbDirectX")->setChecked(true);
  Child<QComboBox>(*d, "cbImageQuality")->setCurrentIndex(0);
  Child<QCheckBox>(*d, "cbCustomMusic")->setChecked(true);
  Child<QCheckBox>(*d, "cbShuffleMusic")->setChecked(false);
  d->SetFileChooser([] { return QString("/m/new song.ogg"); });
  Child<QPushButton>(*d, "Button3")->click();
  PressOk(*d);
  EXPECT_EQ(d->result(), QDialog::Accepted);
  EXPECT_TRUE(errors_.empty());
  EXPECT_EQ(ReadText(file()),
            "[Setting]\nIndex=3\nImageSize=0\nImageMode=2\nSpeed=15\nSound=0\nMusic=1\n"
            "Transition=0\nDuration=120\nDirectX=1\nDirectXQuality=0\nCustomMusic=1\n"
            "ShuffleMusic=0\n[MusicList]\n/m/old.mp3=\n/m/new song.ogg=\n");
}

// Values outside the controls' ranges: the track bar shows its nearest end and a list shows
// no entry, and OK writes what they show (20 and -1); a typed duration outside the up-down's
// range is written as typed. Catches values clamped to a list, or a typed duration clamped.
TEST_F(SettingsDialogTest, OkWritesOutOfRangeValuesAsTheControlsShowThem) {
  WriteText(file(), "[Setting]\nImageSize=7\nImageMode=-2\nSpeed=25\nDirectXQuality=3\n");
  auto d = Open();
  EXPECT_EQ(Child<QSlider>(*d, "tbSpeed")->value(), 20);
  EXPECT_EQ(Child<QComboBox>(*d, "cbImageSize")->currentIndex(), -1);
  Child<QLineEdit>(*d, "txtDuration")->setText("5");
  PressOk(*d);
  EXPECT_EQ(d->result(), QDialog::Accepted);
  const std::string text = ReadText(file());
  for (const char* line :
       {"ImageSize=-1\n", "ImageMode=-1\n", "Speed=20\n", "Duration=5\n", "DirectXQuality=-1\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;
}

// Catches a cleared duration written as 0 or as the old value, and the dialog closing.
TEST_F(SettingsDialogTest, ADurationThatIsNoNumberIsRefused) {
  for (const char* text : {"", "1x", "a"}) {
    auto d = Open();
    Child<QLineEdit>(*d, "txtDuration")->setText(text);
    errors_.clear();
    PressOk(*d);
    EXPECT_NE(d->result(), QDialog::Accepted) << text;
    ASSERT_EQ(errors_.size(), 1u) << text;
    EXPECT_NE(errors_[0].find("not a number"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file())) << text;
  }
}

// Catches OK usable, or a file written, when this run may not touch the user settings.
TEST_F(SettingsDialogTest, WithoutAccessOkIsDisabledAndNothingIsWritten) {
  WriteText(dir_ / "Sea.ini", "[Setting]\nDuration=500\n");
  auto d = Open(false);
  EXPECT_FALSE(Child<QPushButton>(*d, "Button1")->isEnabled());
  EXPECT_EQ(Child<QLineEdit>(*d, "txtDuration")->text(), "30");
  d->accept();
  EXPECT_NE(d->result(), QDialog::Accepted);
  EXPECT_EQ(ReadText(file()), "[Setting]\nDuration=500\n");
}

// Catches Cancel writing the values.
TEST_F(SettingsDialogTest, CancelWritesNothing) {
  auto d = Open();
  Child<QLineEdit>(*d, "txtDuration")->setText("77");
  Child<QPushButton>(*d, "Button2")->click();
  EXPECT_EQ(d->result(), QDialog::Rejected);
  EXPECT_FALSE(std::filesystem::exists(file()));
}

// Catches a file added twice stored twice, and a name that would break the file accepted.
TEST_F(SettingsDialogTest, AddTwiceStoresOnceAndRefusesBadNames) {
  auto d = Open();
  QString next = "/m/a.mp3";
  d->SetFileChooser([&] { return next; });
  auto* add = Child<QPushButton>(*d, "Button3");
  add->click();
  add->click();
  next = "/m/x=y.mp3";
  add->click();
  next = "";
  add->click();
  EXPECT_EQ(Child<QTableWidget>(*d, "lstMusic")->rowCount(), 2);
  EXPECT_EQ(errors_.size(), 1u);
  PressOk(*d);
  EXPECT_EQ(IniDocument::FromFile(file()).SectionKeys("MusicList"),
            std::vector<std::string>{"/m/a.mp3"});
}

// Catches "Remove" deleting a row when none is selected, or the wrong row.
TEST_F(SettingsDialogTest, RemoveDeletesTheSelectedRowOnly) {
  WriteText(file(), "[MusicList]\n/m/1.mp3=\n/m/2.mp3=\n/m/3.mp3=\n");
  auto d = Open();
  auto* list = Child<QTableWidget>(*d, "lstMusic");
  auto* remove = Child<QPushButton>(*d, "Button4");
  ASSERT_EQ(list->rowCount(), 3);
  list->clearSelection();
  remove->click();
  EXPECT_EQ(list->rowCount(), 3);
  list->selectRow(1);
  remove->click();
  ASSERT_EQ(list->rowCount(), 2);
  EXPECT_EQ(list->item(0, 0)->text(), "/m/1.mp3");
  EXPECT_EQ(list->item(1, 0)->text(), "/m/3.mp3");
}

// Catches "Reset" setting another position than 10.
TEST_F(SettingsDialogTest, ResetLinkPutsTheSpeedBackToTen) {
  WriteText(file(), "[Setting]\nSpeed=2\n");
  auto d = Open();
  auto* speed = Child<QSlider>(*d, "tbSpeed");
  EXPECT_EQ(speed->value(), 2);
  Click(Child<QLabel>(*d, "Label3"));
  EXPECT_EQ(speed->value(), 10);
}

// Catches a failed write closing the dialog as if the values were kept.
TEST_F(SettingsDialogTest, AFailedWriteKeepsTheDialogOpen) {
  std::filesystem::create_directory(file());
  auto d = Open();
  PressOk(*d);
  EXPECT_NE(d->result(), QDialog::Accepted);
  EXPECT_EQ(errors_.size(), 1u);
}

}  // namespace
}  // namespace vec
