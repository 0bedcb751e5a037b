#include "studio/SoundsPanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace vec::studio {
namespace {

constexpr int kLongestInterval = 3600;  // seconds a control offers

}  // namespace

SoundsPanel::SoundsPanel(QWidget* parent) : QWidget(parent) {
  setObjectName("SoundsPanel");
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(tr("File"), this), 0, 1);
  grid->addWidget(new QLabel(tr("Plays"), this), 0, 3);
  grid->addWidget(new QLabel(tr("Seconds"), this), 0, 4, 1, 2);
  for (int i = 0; i < kSoundSlotCount; ++i) {
    const int r = i + 1;
    Row& row = rows_[static_cast<size_t>(i)];
    grid->addWidget(new QLabel(QString::number(r), this), r, 0);
    row.name = new QLineEdit(this);
    row.name->setObjectName(QString("SoundFile%1").arg(r));
    row.name->setMaxLength(255);
    row.name->setToolTip(
        tr("The sound file (WAV, OGG, MP3, FLAC, ...), looked for beside the "
           "picture file and in the shared sounds folder; a saver's package "
           "brings it along. Slots after the first empty one do not play."));
    auto* browse = new QToolButton(this);
    browse->setObjectName(QString("SoundBrowse%1").arg(r));
    browse->setText("...");
    browse->setToolTip(tr("Choose the sound file"));
    row.mode = new QComboBox(this);
    row.mode->setObjectName(QString("SoundMode%1").arg(r));
    row.mode->setToolTip(
        tr("Loop: for as long as the picture shows. Random pause: once, again "
           "and again after a pause between the two numbers of seconds. "
           "Interval: once every first number of seconds."));
    row.min = new QSpinBox(this);
    row.min->setObjectName(QString("SoundMin%1").arg(r));
    row.min->setToolTip(tr("Seconds: the shortest pause, or the interval"));
    row.max = new QSpinBox(this);
    row.max->setObjectName(QString("SoundMax%1").arg(r));
    row.max->setToolTip(tr("Seconds: the longest pause (random pause only)"));
    for (QSpinBox* box : {row.min, row.max}) {
      box->setRange(0, kLongestInterval);
      box->setKeyboardTracking(false);
    }
    auto* play = new QToolButton(this);
    play->setObjectName(QString("SoundPlay%1").arg(r));
    play->setText(tr("Play"));
    play->setToolTip(tr("Play the sound as the show plays it"));
    grid->addWidget(row.name, r, 1);
    grid->addWidget(browse, r, 2);
    grid->addWidget(row.mode, r, 3);
    grid->addWidget(row.min, r, 4);
    grid->addWidget(row.max, r, 5);
    grid->addWidget(play, r, 6);
    ShowMode(i, kPlayLoop);

    connect(row.name, &QLineEdit::textEdited, this, [this, i] { Edited(i); });
    connect(row.name, &QLineEdit::editingFinished, this, [this] { ++generation_; });
    connect(row.mode, qOverload<int>(&QComboBox::activated), this, [this, i] {
      Edited(i);
      ++generation_;
    });
    for (QSpinBox* box : {row.min, row.max})
      connect(box, qOverload<int>(&QSpinBox::valueChanged), this, [this, i] { Edited(i); });
    connect(browse, &QToolButton::clicked, this, [this, i] { emit browseRequested(i); });
    connect(play, &QToolButton::clicked, this, [this, i] { emit playRequested(i); });
  }
  single_ = new QLineEdit(this);
  single_->setObjectName("SingleSound");
  single_->setToolTip(
      tr("The extra sound older picture files keep: it loops in the first empty "
         "slot. \"<NO SOUND>\" or nothing: none."));
  connect(single_, &QLineEdit::textEdited, this, [this](const QString& text) {
    emit singleSoundEdited(text, QString("single.%1").arg(generation_));
  });
  connect(single_, &QLineEdit::editingFinished, this, [this] { ++generation_; });
  auto* stop = new QPushButton(tr("Stop All"), this);
  stop->setObjectName("SoundStop");
  stop->setToolTip(tr("Stop every sound playing"));
  connect(stop, &QPushButton::clicked, this, &SoundsPanel::stopRequested);

  auto* singleLine = new QHBoxLayout;
  singleLine->addWidget(new QLabel(tr("Single sound"), this));
  singleLine->addWidget(single_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(singleLine);
  layout->addWidget(stop, 0, Qt::AlignLeft);
  layout->addStretch(1);
}

void SoundsPanel::ShowMode(int slot, int32_t mode) {
  QComboBox* list = rows_[static_cast<size_t>(slot)].mode;
  const QSignalBlocker block(list);
  list->clear();
  list->addItem(tr("Loop"), kPlayLoop);
  list->addItem(tr("Random pause"), kPlayRandomPause);
  list->addItem(tr("Interval"), kPlayFixedInterval);
  // A mode the show does not know is shown as it stands and kept until another is chosen.
  if (list->findData(mode) < 0) list->addItem(tr("%1 (unknown)").arg(mode), mode);
  list->setCurrentIndex(list->findData(mode));
}

void SoundsPanel::Show(const std::array<SoundSlot, kSoundSlotCount>& records,
                       const std::array<QString, kSoundSlotCount>& names,
                       const QString& singleSound) {
  slots_ = records;
  for (int i = 0; i < kSoundSlotCount; ++i) {
    const Row& row = rows_[static_cast<size_t>(i)];
    const SoundSlot& s = records[static_cast<size_t>(i)];
    if (row.name->text() != names[static_cast<size_t>(i)])
      row.name->setText(names[static_cast<size_t>(i)]);
    ShowMode(i, s.PlayMode);
    for (const auto& [box, value] :
         {std::pair{row.min, s.IntervalMin}, std::pair{row.max, s.IntervalMax}}) {
      const QSignalBlocker block(box);
      box->setRange(std::min(0, value), std::max(kLongestInterval, value));
      box->setValue(value);
    }
  }
  if (single_->text() != singleSound) single_->setText(singleSound);
}

void SoundsPanel::Edited(int slot) {
  const Row& row = rows_[static_cast<size_t>(slot)];
  SoundSlot& s = slots_[static_cast<size_t>(slot)];
  s.PlayMode = row.mode->currentData().toInt();
  s.IntervalMin = row.min->value();
  s.IntervalMax = row.max->value();
  emit slotEdited(slot, s, row.name->text(), QString("sound%1.%2").arg(slot).arg(generation_));
}

}  // namespace vec::studio
