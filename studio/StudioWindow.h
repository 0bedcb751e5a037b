#pragma once
// The studio's main window: the picture being painted in the middle, the areas and tools
// on the left, the wave and weather settings on the right, the preview's controls on top.
// Every command is an action with its shortcut in the menus; the window keeps its layout
// and the recent files between runs.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

#include "graphics/Geometry.h"
#include "picture/ObjectKeys.h"
#include "picture/SoundSlot.h"
#include "picture/WaveSet.h"
#include "picture/WeatherSettings.h"
#include "studio/MaskCanvas.h"
#include "studio/StudioDialogs.h"
#include "studio/model/Records.h"

class QActionGroup;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace vec {
class ISoundDevice;
class SoundEffectPlayer;
}  // namespace vec

namespace vec::studio {

class AreaLegend;
class ObjectsPanel;
class SoundsPanel;
class PicturePanel;
class PictureDocument;
class PreviewPlayer;
class WavePanel;
class WeatherPanel;
struct DocumentChange;

class StudioWindow : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kMaxRecentFiles = 8;

  explicit StudioWindow(QWidget* parent = nullptr);
  ~StudioWindow() override;

  // Opens a picture file, or makes a new picture from a photo; false (after telling the
  // user why) when it cannot. The current picture's changes are asked about first.
  bool OpenPath(const QString& path);
  // Saves to the picture's file, or asks for one; false when nothing was saved.
  bool Save();
  bool SaveAs();
  bool SaveTo(const QString& path);

  void SetDialogs(std::unique_ptr<StudioDialogs> dialogs) { dialogs_ = std::move(dialogs); }
  // The sound output the Play buttons use (SDL's, made on the first play, when none is set).
  void SetSoundDevice(std::unique_ptr<ISoundDevice> device);

  PictureDocument* Document() const { return document_.get(); }
  const QString& FilePath() const { return filePath_; }
  MaskCanvas* Canvas() const { return canvas_; }
  PreviewPlayer* Player() const { return player_; }
  AreaLegend* Legend() const { return legend_; }
  WavePanel* Waves() const { return wavePanel_; }
  WeatherPanel* Weather() const { return weatherPanel_; }
  PicturePanel* PictureTexts() const { return picturePanel_; }
  SoundsPanel* Sounds() const { return soundsPanel_; }
  ObjectsPanel* Objects() const { return objectsPanel_; }
  QStringList RecentFiles() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildActions();
  void BuildMenus();
  void BuildToolBars();
  void BuildDocks();
  void BuildStatusBar();
  QAction* MakeAction(const QString& name, const QString& text, const QKeySequence& key,
                      const QString& tip);

  bool MaybeSave();
  void TakeDocument(std::unique_ptr<PictureDocument> document, const QString& path,
                    const QString& name);
  void ShowRecords();
  void UpdateTitle();
  void UpdateActions();
  void AddRecentFile(const QString& path);
  void RebuildRecentMenu();
  void ShowError(const QString& text);

  void OpenChosen();
  void ImportMask();
  void ExportMask();
  void UndoOrRedo(bool redo);
  void ChooseArea(int area);
  void ChooseTool(PaintTool tool);
  void OnMaskEdited(const Rect& changed);
  void OnWaveEdited(int area, const WaveSet& wave, const QString& mergeKey);
  void OnWeatherEdited(const WeatherSettings& weather, const QString& mergeKey);
  void OnPointerMoved(Point pixel, bool overPicture);
  void OnTextEdited(RecordKind kind, const QString& text, const QString& mergeKey);
  void MakePreview();
  void ChoosePreview();
  void AfterRecordEdit();
  void OnSoundEdited(int slot, SoundSlot value, const QString& name, const QString& mergeKey);
  void BrowseSound(int slot);
  void PlaySound(int slot);
  void StopSounds();
  QString PictureFolder() const;
  void SetObjectsText(const std::string& text, const QString& mergeKey, bool restart);
  void AddObject(ObjectType type);
  void ShowObjectMarkers();
  void ShowPointer();
  void TogglePlay();

  std::unique_ptr<PictureDocument> document_;
  QString filePath_;     // empty for a picture not saved yet
  QString displayName_;  // shown in the title
  // Where the picture is saved when the author chooses nothing else (its file, or its
  // photo's folder); objects and sounds are looked for beside it.
  QString proposedPath_;
  std::unique_ptr<StudioDialogs> dialogs_;

  MaskCanvas* canvas_ = nullptr;
  AreaLegend* legend_ = nullptr;
  WavePanel* wavePanel_ = nullptr;
  WeatherPanel* weatherPanel_ = nullptr;
  PicturePanel* picturePanel_ = nullptr;
  SoundsPanel* soundsPanel_ = nullptr;
  ObjectsPanel* objectsPanel_ = nullptr;
  int placeGeneration_ = 0;
  // The sound player goes before the device it plays through.
  std::unique_ptr<ISoundDevice> soundDevice_;
  std::unique_ptr<SoundEffectPlayer> soundPlayer_;
  // The files chosen for the slots in this session, played in place of a search by name.
  std::array<QString, kSoundSlotCount> chosenSounds_;
  PreviewPlayer* player_ = nullptr;
  QSpinBox* brushSize_ = nullptr;
  QSlider* strength_ = nullptr;
  QComboBox* speed_ = nullptr;
  QLabel* position_ = nullptr;
  QLabel* zoom_ = nullptr;
  QLabel* frameRate_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QActionGroup* tools_ = nullptr;
  QActionGroup* areas_ = nullptr;
  std::optional<Point> pointer_;  // the picture pixel under the pointer, for the status line
};

}  // namespace vec::studio
