#pragma once
// The picture's eight sound slots: each with its file, when it plays (looping while the
// picture shows, again and again after a random pause, or every so many seconds) and its
// seconds, and a button that plays it through the show's sound player; and the single sound
// older picture files keep apart from the slots.

#include <QWidget>
#include <array>

#include "picture/SoundSlot.h"

class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace vec::studio {

class SoundsPanel : public QWidget {
  Q_OBJECT

 public:
  explicit SoundsPanel(QWidget* parent = nullptr);

  // Shows the slots and the single sound (names already in Unicode) without reporting them.
  void Show(const std::array<SoundSlot, kSoundSlotCount>& records,
            const std::array<QString, kSoundSlotCount>& names, const QString& singleSound);

 signals:
  // A slot's record changed; its name is given apart, in Unicode.
  void slotEdited(int slot, vec::SoundSlot value, QString name, QString mergeKey);
  void singleSoundEdited(QString text, QString mergeKey);
  void browseRequested(int slot);
  void playRequested(int slot);
  void stopRequested();

 private:
  struct Row {
    QLineEdit* name;
    QComboBox* mode;
    QSpinBox* min;
    QSpinBox* max;
  };
  void Edited(int slot);
  void ShowMode(int slot, int32_t mode);

  std::array<Row, kSoundSlotCount> rows_{};
  std::array<SoundSlot, kSoundSlotCount> slots_{};
  QLineEdit* single_ = nullptr;
  int generation_ = 0;
};

}  // namespace vec::studio
