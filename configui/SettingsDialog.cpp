#include "configui/SettingsDialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>

#include "base/Ini.h"
#include "base/SpeedTable.h"

namespace vec {
namespace {

constexpr int kDurationMin = 10;
constexpr int kDurationMax = 999;

// Qt's form of the music filter; OGG and FLAC are added because this platform plays them.
const char* const kMusicFilter = "Music Files (*.mp3 *.wma *.mid *.wav *.ogg *.flac)";

template <class W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(left, top, width, height);
  return widget;
}

QLabel* Caption(QWidget* parent, const char* text, int left, int top, int width = 105) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(left, top, width, 16);
  return label;
}

// A label that runs a handler when clicked, drawn as a link.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
      : QLabel(text, parent), onClick_(std::move(onClick)) {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setStyleSheet("color: blue");
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
      onClick_();
  }

 private:
  std::function<void()> onClick_;
};

// A drop-down list whose open list shows every entry whole. The closed box keeps its
// designed width, which the longest entries outgrow in fonts wider than the author's; some
// styles open the list only as wide as the box, so the list is made as wide as a box would
// have to be to show the longest entry. The closed box names its entry in full as its tool
// tip.
class WholeEntryComboBox : public QComboBox {
 public:
  explicit WholeEntryComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentTextChanged, this, &QWidget::setToolTip);
  }
  void showPopup() override {
    // Measured as the list opens, so the font, style and scale in force count.
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int i = 0; i < count(); ++i)
      widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize box = style()->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                QSize(widest, metrics.height()), this);
    view()->setMinimumWidth(std::max(box.width(), width()));
    QComboBox::showPopup();
  }
};

// The up-down beside the duration edit: steps the edit's number by one within its range.
// A text that is no number steps from the range's low end.
class UpDown : public QWidget {
 public:
  UpDown(QLineEdit* buddy, QWidget* parent) : QWidget(parent), buddy_(buddy) {
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setObjectName("up");
    down->setObjectName("down");
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    up->setGeometry(0, 0, 15, 10);
    down->setGeometry(0, 10, 15, 11);
    connect(up, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
  }
  void SetPosition(int value) {
    buddy_->setText(QString::number(std::clamp(value, kDurationMin, kDurationMax)));
  }
  void Step(int by) {
    auto n = ParseIniInteger(buddy_->text().toStdString());
    SetPosition(n ? *n + by : kDurationMin);
  }

 private:
  QLineEdit* buddy_;
};

}  // namespace

SettingsDialog::SettingsDialog(const ShowSettings& settings, SettingsAccess access, QWidget* parent)
    : QDialog(parent), access_(std::move(access)) {
  setObjectName("fmSettingWindow");
  setWindowTitle("Settings");
  setFixedSize(364, 297);
  QFont font("Tahoma");
  font.setPixelSize(11);
  setFont(font);

  auto* pages = Place(new QTabWidget(this), "PageControl1", 8, 8, 345, 249);
  auto* display = new QWidget;
  auto* music = new QWidget;
  display->setObjectName("TabSheet1");
  music->setObjectName("TabSheet2");
  pages->addTab(display, "Display Mode");
  pages->addTab(music, "Background Music");
  BuildDisplayPage(display);
  BuildMusicPage(music);

  ok_ = Place(new QPushButton("OK", this), "Button1", 198, 264, 75, 25);
  auto* cancel = Place(new QPushButton("Cancel", this), "Button2", 278, 264, 75, 25);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &SettingsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &SettingsDialog::reject);

  // Below the client area: never seen, but the transition choice still goes in and out.
  transition_ = Place(new QCheckBox("Enable Transition", this), "cbTransition", 22, 341, 150, 17);
  transition_->setChecked(true);
  auto* playMode = Place(new QGroupBox("Play Mode", this), "GroupBox1", 13, 334, 185, 57);
  auto* reset = new LinkLabel("Reset", playMode, [this] { ResetSpeed(); });
  Place(reset, "Label3", 10, 20, 40, 16);

  chooseFile_ = [this] {
    return QFileDialog::getOpenFileName(this, QString(), QString(), kMusicFilter);
  };
  report_ = [this](const QString& message) { QMessageBox::critical(this, windowTitle(), message); };

  DialogSettingsRead read = ReadDialogSettings(settings, access_);
  ok_->setEnabled(read.allowed);
  Fill(read.values);
}

void SettingsDialog::BuildDisplayPage(QWidget* page) {
  music_ = Place(new QCheckBox("Enable Music", page), "cbMusic", 29, 14, 105, 17);
  sound_ = Place(new QCheckBox("Enable Sound Effects", page), "cbSound", 142, 14, 150, 17);
  directX_ =
      Place(new QCheckBox("Use DirectX (Faster Animation)", page), "cbDirectX", 29, 40, 250, 17);

  Caption(page, "Direct X Quality", 29, 70);
  quality_ = Place(new WholeEntryComboBox(page), "cbImageQuality", 141, 67, 170, 21);
  quality_->addItems({"Highest (Slower)", "Normal ", "Low (Faster)"});
  quality_->setCurrentIndex(1);

  Caption(page, "Image Size", 29, 100);
  imageSize_ = Place(new WholeEntryComboBox(page), "cbImageSize", 141, 97, 170, 21);
  imageSize_->addItems({"Original Size", "Stretch-Full", "Stretch-Proportional"});

  Caption(page, "Show Image", 29, 130);
  showMode_ = Place(new WholeEntryComboBox(page), "cbShowImageMode", 141, 127, 190, 21);
  showMode_->addItems({"All images - Random", "All images - Sequential",
                       "User's favorite (checked images) - Random", "Single - Selected Image"});

  Caption(page, "Image Duration", 29, 160);
  duration_ = Place(new QLineEdit(page), "txtDuration", 140, 157, 40, 21);
  duration_->setMaxLength(3);
  auto* upDown = Place(new UpDown(duration_, page), "UpDown1", 180, 157, 15, 21);
  upDown->SetPosition(kDurationMin);
  Caption(page, "seconds", 200, 160, 60);

  Caption(page, "Animation Speed", 29, 192);
  speed_ = Place(new QSlider(Qt::Horizontal, page), "tbSpeed", 136, 189, 190, 25);
  speed_->setRange(0, static_cast<int>(SpeedTable.size()) - 1);
  speed_->setTickPosition(QSlider::NoTicks);
  speed_->setValue(10);
}

void SettingsDialog::BuildMusicPage(QWidget* page) {
  customMusic_ = Place(new QCheckBox("Use Custom Music", page), "cbCustomMusic", 7, 7, 125, 17);
  shuffle_ = Place(new QCheckBox("Shuffle Playlist", page), "cbShuffleMusic", 137, 7, 125, 17);
  musicList_ = Place(new QTableWidget(0, 1, page), "lstMusic", 7, 32, 324, 157);
  musicList_->setHorizontalHeaderLabels({"File"});
  musicList_->horizontalHeader()->setStretchLastSection(true);
  musicList_->verticalHeader()->hide();
  musicList_->setShowGrid(true);
  musicList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  musicList_->setSelectionMode(QAbstractItemView::SingleSelection);
  musicList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* add = Place(new QPushButton("Add", page), "Button3", 8, 195, 40, 25);
  auto* remove = Place(new QPushButton("Remove", page), "Button4", 50, 195, 60, 25);
  connect(add, &QPushButton::clicked, this, &SettingsDialog::AddMusic);
  connect(remove, &QPushButton::clicked, this, &SettingsDialog::RemoveMusic);
}

void SettingsDialog::Fill(const DialogSettings& v) {
  imageSize_->setCurrentIndex(v.ImageSize);
  showMode_->setCurrentIndex(v.ImageMode);
  speed_->setValue(v.SpeedIndex);
  sound_->setChecked(v.Sound);
  music_->setChecked(v.Music);
  transition_->setChecked(v.Transition);
  directX_->setChecked(v.DirectX);
  quality_->setCurrentIndex(v.DirectXQuality);
  findChild<UpDown*>("UpDown1")->SetPosition(v.Duration);
  customMusic_->setChecked(v.CustomMusic);
  shuffle_->setChecked(v.ShuffleMusic);
  musicList_->setRowCount(0);
  for (const std::string& path : v.MusicList) {
    const int row = musicList_->rowCount();
    musicList_->insertRow(row);
    musicList_->setItem(row, 0, new QTableWidgetItem(QFile::decodeName(path.c_str())));
  }
}

ErrorOr<DialogSettings> SettingsDialog::ChosenValues() const {
  auto duration = ParseIniInteger(duration_->text().toStdString());
  if (!duration)
    return Error::Make(ErrorCode::Syntax,
                       "\"" + duration_->text().toStdString() +
                           "\" is not a number of seconds. Please enter a duration from " +
                           std::to_string(kDurationMin) + " to " + std::to_string(kDurationMax) +
                           ".");
  DialogSettings v;
  v.SpeedIndex = speed_->value();
  // The number as typed: only the arrows keep to the up-down's range.
  v.Duration = *duration;
  v.DirectXQuality = quality_->currentIndex();
  v.ImageMode = showMode_->currentIndex();
  v.ImageSize = imageSize_->currentIndex();
  v.Sound = sound_->isChecked();
  v.Music = music_->isChecked();
  v.Transition = transition_->isChecked();
  v.DirectX = directX_->isChecked();
  v.CustomMusic = customMusic_->isChecked();
  v.ShuffleMusic = shuffle_->isChecked();
  for (int row = 0; row < musicList_->rowCount(); ++row)
    v.MusicList.push_back(QFile::encodeName(musicList_->item(row, 0)->text()).toStdString());
  return v;
}

void SettingsDialog::AddMusic() {
  const QString file = chooseFile_();
  if (file.isEmpty()) return;
  if (!IsStorableMusicPath(QFile::encodeName(file).toStdString())) {
    Report("The name of \"" + file +
           "\" cannot be kept in the settings file (it holds \"=\" or a line break, or begins "
           "with \";\" or \"[\"). Please rename the file or choose another one.");
    return;
  }
  const int row = musicList_->rowCount();
  musicList_->insertRow(row);
  musicList_->setItem(row, 0, new QTableWidgetItem(file));
}

void SettingsDialog::RemoveMusic() {
  const QList<QTableWidgetItem*> selected = musicList_->selectedItems();
  if (selected.isEmpty()) return;
  musicList_->removeRow(selected.front()->row());
}

void SettingsDialog::ResetSpeed() {
  speed_->setValue(10);
}

void SettingsDialog::Report(const QString& message) {
  lastError_ = message;
  report_(message);
}

void SettingsDialog::accept() {
  if (!ok_->isEnabled()) return;
  ErrorOr<DialogSettings> values = ChosenValues();
  if (!values) {
    Report(QString::fromStdString(values.error().message));
    duration_->setFocus();
    return;
  }
  if (Status written = WriteDialogSettings(*values, access_); !written) {
    Report(QString::fromStdString(written.error().message));
    return;
  }
  lastError_.clear();
  QDialog::accept();
}

bool RunSettingsDialog(QWidget* parent, const ShowSettings& settings,
                       const SettingsAccess& access) {
  SettingsDialog dialog(settings, access, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace vec
