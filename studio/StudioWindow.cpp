#include "studio/StudioWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <cstring>

#include "audio/SoundEffectPlayer.h"
#include "base/SpeedTable.h"
#include "base/TextEncoding.h"
#include "package/FileSearch.h"
#include "picture/PictureJpegs.h"
#include "platform/SdlAudio.h"
#include "studio/AreaLegend.h"
#include "studio/ObjectsPanel.h"
#include "studio/PicturePanel.h"
#include "studio/PreviewPlayer.h"
#include "studio/SoundsPanel.h"
#include "studio/StudioFiles.h"
#include "studio/WavePanel.h"
#include "studio/WeatherPanel.h"
#include "studio/model/MaskImages.h"
#include "studio/model/MaskTools.h"
#include "studio/model/ObjectTexts.h"
#include "studio/model/PictureDocument.h"

namespace vec::studio {
namespace {

const char* const kOpenFilter =
    "Pictures and photos (*.vep *.jpg *.jpeg *.png *.bmp *.gif);;Picture files (*.vep);;"
    "Photos (*.jpg *.jpeg *.png *.bmp *.gif);;All files (*)";
const char* const kPictureFilter = "Picture files (*.vep)";
const char* const kMaskFilter = "Mask pictures (*.png *.bmp *.gif *.jpg *.jpeg)";
const char* const kRecentKey = "recentFiles";
constexpr int kNormalSpeedIndex = 10;  // 100 %

QString Text(const std::string& s) {
  return QString::fromStdString(s);
}

// Texts of the picture file are Windows-1252; the window shows them as Unicode.
QString FromStored(const std::string& s) {
  return QString::fromStdString(Cp1252ToUtf8(s));
}

std::string ToStored(const QString& s) {
  return Utf8ToCp1252(s.toStdString());
}

QImage ImageOf(const BottomUpBitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    std::memcpy(image.scanLine(y), bitmap.ScanLine(y), static_cast<size_t>(bitmap.Width()) * 4);
  return image;
}

}  // namespace

StudioWindow::StudioWindow(QWidget* parent)
    : QMainWindow(parent), dialogs_(std::make_unique<StudioDialogs>()) {
  setObjectName("StudioWindow");
  canvas_ = new MaskCanvas(this);
  setCentralWidget(canvas_);
  player_ = new PreviewPlayer(this);
  BuildActions();
  BuildMenus();
  BuildToolBars();
  BuildDocks();
  BuildStatusBar();

  connect(player_, &PreviewPlayer::frameReady, canvas_, &MaskCanvas::SetFrame);
  connect(player_, &PreviewPlayer::playingChanged, this,
          [this](bool playing) { findChild<QAction*>("actionPlay")->setChecked(playing); });
  connect(canvas_, &MaskCanvas::maskEdited, this, &StudioWindow::OnMaskEdited);
  connect(canvas_, &MaskCanvas::pointerMoved, this, &StudioWindow::OnPointerMoved);
  connect(canvas_, &MaskCanvas::zoomChanged, this,
          [this](double zoom) { zoom_->setText(QString("%1 %").arg(qRound(zoom * 100))); });

  QSettings settings;
  restoreGeometry(settings.value("window/geometry").toByteArray());
  restoreState(settings.value("window/state").toByteArray());
  if (settings.contains("canvas/strength"))
    strength_->setValue(settings.value("canvas/strength").toInt());
  if (settings.contains("canvas/brush"))
    brushSize_->setValue(settings.value("canvas/brush").toInt());
  UpdateTitle();
  UpdateActions();
}

StudioWindow::~StudioWindow() {
  soundPlayer_.reset();
  // The preview points into the picture: stop it before the picture goes.
  player_->Pause();
  canvas_->SetDocument(nullptr);
}

// ---- Actions, menus, tool bars ---------------------------------------------------------

QAction* StudioWindow::MakeAction(const QString& name, const QString& text, const QKeySequence& key,
                                  const QString& tip) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  if (!key.isEmpty()) action->setShortcut(key);
  action->setToolTip(
      key.isEmpty() ? tip : QString("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
  action->setStatusTip(tip);
  return action;
}

void StudioWindow::BuildActions() {
  connect(MakeAction("actionNewFromPhoto", tr("&New from Photo..."), QKeySequence::New,
                     tr("Make a new picture from a photo (JPEG, PNG, BMP or GIF)")),
          &QAction::triggered, this, &StudioWindow::OpenChosen);
  connect(MakeAction("actionOpen", tr("&Open..."), QKeySequence::Open,
                     tr("Open a picture file, or a photo to make a new picture from")),
          &QAction::triggered, this, &StudioWindow::OpenChosen);
  connect(MakeAction("actionSave", tr("&Save"), QKeySequence::Save, tr("Save the picture file")),
          &QAction::triggered, this, &StudioWindow::Save);
  connect(MakeAction("actionSaveAs", tr("Save &As..."), QKeySequence::SaveAs,
                     tr("Save the picture under another name")),
          &QAction::triggered, this, &StudioWindow::SaveAs);
  connect(MakeAction("actionImportMask", tr("&Import Mask..."), QKeySequence(tr("Ctrl+I")),
                     tr("Take the areas from a mask picture, each pixel as the nearest area "
                        "colour")),
          &QAction::triggered, this, &StudioWindow::ImportMask);
  connect(MakeAction("actionExportMask", tr("&Export Mask..."), QKeySequence(tr("Ctrl+E")),
                     tr("Write the areas as a picture in the four area colours")),
          &QAction::triggered, this, &StudioWindow::ExportMask);
  connect(MakeAction("actionQuit", tr("&Quit"), QKeySequence::Quit, tr("Close the studio")),
          &QAction::triggered, this, &QWidget::close);

  connect(MakeAction("actionUndo", tr("&Undo"), QKeySequence::Undo, tr("Undo the last change")),
          &QAction::triggered, this, [this] { UndoOrRedo(false); });
  connect(MakeAction("actionRedo", tr("&Redo"), QKeySequence::Redo, tr("Redo the change undone")),
          &QAction::triggered, this, [this] { UndoOrRedo(true); });

  connect(
      MakeAction("actionZoomIn", tr("Zoom &In"), QKeySequence::ZoomIn, tr("Zoom in (to 800 %)")),
      &QAction::triggered, canvas_, &MaskCanvas::ZoomIn);
  connect(MakeAction("actionZoomOut", tr("Zoom &Out"), QKeySequence::ZoomOut, tr("Zoom out")),
          &QAction::triggered, canvas_, &MaskCanvas::ZoomOut);
  connect(MakeAction("actionActualSize", tr("&Actual Size"), QKeySequence(tr("Ctrl+1")),
                     tr("One picture pixel to one screen pixel")),
          &QAction::triggered, this, [this] { canvas_->SetZoom(1.0); });
  connect(MakeAction("actionFit", tr("&Fit in Window"), QKeySequence(tr("Ctrl+0")),
                     tr("Show the whole picture")),
          &QAction::triggered, canvas_, &MaskCanvas::ZoomToFit);
  QAction* showMask = MakeAction("actionShowMask", tr("Show &Mask"), QKeySequence(tr("M")),
                                 tr("Show the areas over the photo"));
  showMask->setCheckable(true);
  showMask->setChecked(true);
  connect(showMask, &QAction::toggled, canvas_, &MaskCanvas::SetMaskShown);

  tools_ = new QActionGroup(this);
  const struct {
    const char* name;
    const char* text;
    const char* key;
    const char* tip;
    PaintTool tool;
  } tools[] = {
      {"actionBrush", "&Brush", "B", "Paint the chosen area with a round brush", PaintTool::Brush},
      {"actionEraser", "&Eraser", "E", "Take pixels out of every area", PaintTool::Eraser},
      {"actionFill", "&Fill", "F",
       "Fill the run of pixels of one area (or of none) under the "
       "pointer, up to the area's border",
       PaintTool::Fill},
      {"actionRectangle", "&Rectangle", "R", "Drag a rectangle of the chosen area",
       PaintTool::Rectangle},
      {"actionPolygon", "&Polygon", "L",
       "Click the corners of a polygon; double-click, Enter or "
       "the right button fills it, Esc drops it",
       PaintTool::Polygon},
      {"actionPlace", "Pla&ce Object", "O",
       "Put the object chosen in the Objects tab where it starts", PaintTool::Place},
  };
  for (const auto& t : tools) {
    QAction* a = MakeAction(t.name, tr(t.text), QKeySequence(t.key), tr(t.tip));
    a->setCheckable(true);
    a->setActionGroup(tools_);
    const PaintTool tool = t.tool;
    connect(a, &QAction::triggered, this, [this, tool] { ChooseTool(tool); });
  }
  findChild<QAction*>("actionBrush")->setChecked(true);

  areas_ = new QActionGroup(this);
  for (int area = 1; area <= 4; ++area) {
    QAction* a = MakeAction(QString("actionArea%1").arg(area), AreaName(area),
                            QKeySequence(QString::number(area)),
                            tr("Paint %1 and show its waves").arg(AreaName(area)));
    a->setCheckable(true);
    a->setActionGroup(areas_);
    connect(a, &QAction::triggered, this, [this, area] { ChooseArea(area); });
  }
  findChild<QAction*>("actionArea1")->setChecked(true);
  connect(MakeAction("actionBrushBigger", tr("Bigger Brush"), QKeySequence(tr("]")),
                     tr("Make the brush bigger")),
          &QAction::triggered, this, [this] {
            brushSize_->setValue(brushSize_->value() + std::max(1, brushSize_->value() / 5));
          });
  connect(MakeAction("actionBrushSmaller", tr("Smaller Brush"), QKeySequence(tr("[")),
                     tr("Make the brush smaller")),
          &QAction::triggered, this, [this] {
            brushSize_->setValue(brushSize_->value() - std::max(1, brushSize_->value() / 6));
          });

  QAction* play =
      MakeAction("actionPlay", tr("&Play"), QKeySequence(tr("P")), tr("Play or pause the water"));
  play->setCheckable(true);
  connect(play, &QAction::triggered, this, &StudioWindow::TogglePlay);
  connect(MakeAction("actionStep", tr("&Step One Frame"), QKeySequence(tr(".")),
                     tr("Move the paused water on by one frame")),
          &QAction::triggered, this, [this] {
            player_->Pause();
            player_->Step();
          });
  connect(MakeAction("actionAbout", tr("&About vecstudio"), {}, tr("About the studio")),
          &QAction::triggered, this, [this] {
            dialogs_->ShowAbout(this, tr("<p><b>vecstudio</b> makes water picture files for "
                                         "vecsaver: paint the water areas over a photo and tune "
                                         "their waves while the water moves.</p>"));
          });
}

void StudioWindow::BuildMenus() {
  auto action = [this](const char* name) { return findChild<QAction*>(name); };
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(action("actionNewFromPhoto"));
  file->addAction(action("actionOpen"));
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  recentMenu_->setObjectName("menuRecent");
  file->addAction(action("actionSave"));
  file->addAction(action("actionSaveAs"));
  file->addSeparator();
  file->addAction(action("actionImportMask"));
  file->addAction(action("actionExportMask"));
  file->addSeparator();
  file->addAction(action("actionQuit"));
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addAction(action("actionUndo"));
  edit->addAction(action("actionRedo"));
  QMenu* view = menuBar()->addMenu(tr("&View"));
  for (const char* name : {"actionZoomIn", "actionZoomOut", "actionActualSize", "actionFit"})
    view->addAction(action(name));
  view->addSeparator();
  view->addAction(action("actionShowMask"));
  QMenu* tools = menuBar()->addMenu(tr("&Tools"));
  tools->addActions(tools_->actions());
  tools->addSeparator();
  tools->addActions(areas_->actions());
  tools->addSeparator();
  tools->addAction(action("actionBrushBigger"));
  tools->addAction(action("actionBrushSmaller"));
  QMenu* preview = menuBar()->addMenu(tr("&Preview"));
  preview->addAction(action("actionPlay"));
  preview->addAction(action("actionStep"));
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(action("actionAbout"));
  RebuildRecentMenu();
}

void StudioWindow::BuildToolBars() {
  auto action = [this](const char* name) { return findChild<QAction*>(name); };
  QToolBar* file = addToolBar(tr("File"));
  file->setObjectName("FileToolBar");
  file->addAction(action("actionOpen"));
  file->addAction(action("actionSave"));
  file->addAction(action("actionUndo"));
  file->addAction(action("actionRedo"));
  QToolBar* preview = addToolBar(tr("Preview"));
  preview->setObjectName("PreviewToolBar");
  preview->addAction(action("actionPlay"));
  preview->addAction(action("actionStep"));
  speed_ = new QComboBox(preview);
  speed_->setObjectName("PreviewSpeed");
  for (int32_t s : SpeedTable) speed_->addItem(QString("%1 %").arg(s), s);
  speed_->setCurrentIndex(kNormalSpeedIndex);
  speed_->setToolTip(tr("Speed of the water, as the saver's speed setting"));
  connect(speed_, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this](int) { player_->SetSpeed(speed_->currentData().toInt()); });
  preview->addWidget(new QLabel(tr(" Speed "), preview));
  preview->addWidget(speed_);
  QToolBar* view = addToolBar(tr("View"));
  view->setObjectName("ViewToolBar");
  for (const char* name : {"actionZoomOut", "actionZoomIn", "actionFit", "actionShowMask"})
    view->addAction(action(name));
}

void StudioWindow::BuildDocks() {
  // Left: the areas and the painting tools.
  auto* paint = new QWidget;
  auto* paintLayout = new QVBoxLayout(paint);
  legend_ = new AreaLegend(paint);
  connect(legend_, &AreaLegend::areaChosen, this, &StudioWindow::ChooseArea);
  paintLayout->addWidget(legend_);
  auto* toolBar = new QToolBar(paint);
  toolBar->setObjectName("PaintTools");
  toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  toolBar->addActions(tools_->actions());
  paintLayout->addWidget(toolBar);
  auto* form = new QFormLayout;
  brushSize_ = new QSpinBox(paint);
  brushSize_->setObjectName("BrushSize");
  brushSize_->setRange(kMinBrushSize, kMaxBrushSize);
  brushSize_->setValue(canvas_->BrushSize());
  brushSize_->setSuffix(" px");
  brushSize_->setToolTip(tr("Diameter of the brush and the eraser in picture pixels ([ and ])"));
  connect(brushSize_, qOverload<int>(&QSpinBox::valueChanged), canvas_, &MaskCanvas::SetBrushSize);
  form->addRow(tr("Brush size"), brushSize_);
  strength_ = new QSlider(Qt::Horizontal, paint);
  strength_->setObjectName("MaskStrength");
  strength_->setRange(0, 100);
  strength_->setValue(canvas_->MaskStrength());
  strength_->setToolTip(tr("How strongly the areas' colours cover the photo"));
  connect(strength_, &QSlider::valueChanged, canvas_, &MaskCanvas::SetMaskStrength);
  form->addRow(tr("Mask strength"), strength_);
  paintLayout->addLayout(form);
  paintLayout->addStretch(1);
  auto* paintDock = new QDockWidget(tr("Areas"), this);
  paintDock->setObjectName("AreasDock");
  paintDock->setWidget(paint);
  addDockWidget(Qt::LeftDockWidgetArea, paintDock);

  // Right: what moves.
  auto* tabs = new QTabWidget;
  tabs->setObjectName("WaterTabs");
  wavePanel_ = new WavePanel(tabs);
  weatherPanel_ = new WeatherPanel(tabs);
  picturePanel_ = new PicturePanel(tabs);
  tabs->addTab(wavePanel_, tr("Waves"));
  tabs->addTab(weatherPanel_, tr("Weather"));
  tabs->addTab(picturePanel_, tr("Picture"));
  soundsPanel_ = new SoundsPanel(tabs);
  tabs->addTab(soundsPanel_, tr("Sounds"));
  connect(soundsPanel_, &SoundsPanel::slotEdited, this, &StudioWindow::OnSoundEdited);
  connect(soundsPanel_, &SoundsPanel::singleSoundEdited, this,
          [this](const QString& text, const QString& key) {
            OnTextEdited(RecordKind::SingleSound, text, key);
          });
  connect(soundsPanel_, &SoundsPanel::browseRequested, this, &StudioWindow::BrowseSound);
  connect(soundsPanel_, &SoundsPanel::playRequested, this, &StudioWindow::PlaySound);
  connect(soundsPanel_, &SoundsPanel::stopRequested, this, &StudioWindow::StopSounds);
  objectsPanel_ = new ObjectsPanel(tabs);
  tabs->addTab(objectsPanel_, tr("Objects"));
  connect(objectsPanel_, &ObjectsPanel::addRequested, this, &StudioWindow::AddObject);
  connect(objectsPanel_, &ObjectsPanel::removeRequested, this, [this](int section) {
    if (!document_) return;
    SetObjectsText(WithoutObject(document_->Stored().objects, section), QString(), true);
  });
  connect(objectsPanel_, &ObjectsPanel::keyEdited, this,
          [this](int section, const QString& key, int value, bool boolean, const QString& merge) {
            if (!document_) return;
            SetObjectsText(WithObjectKey(document_->Stored().objects, section, key.toStdString(),
                                         value, boolean),
                           merge, true);
          });
  connect(objectsPanel_, &ObjectsPanel::chosenChanged, this, &StudioWindow::ShowObjectMarkers);
  connect(canvas_, &MaskCanvas::placeRequested, this, [this](Point at) {
    const int section = objectsPanel_->ChosenSection();
    if (!document_ || section < 0) return;
    // The preview starts again when the drag ends, not at every move.
    SetObjectsText(WithObjectPlaced(document_->Stored().objects, section, at),
                   QString("place.%1").arg(placeGeneration_), false);
  });
  connect(canvas_, &MaskCanvas::placeFinished, this, [this] {
    ++placeGeneration_;
    player_->Restart();
  });
  connect(picturePanel_, &PicturePanel::titleEdited, this,
          [this](const QString& text, const QString& key) {
            OnTextEdited(RecordKind::Title, text, key);
          });
  connect(picturePanel_, &PicturePanel::authorEdited, this,
          [this](const QString& text, const QString& key) {
            OnTextEdited(RecordKind::Author, text, key);
          });
  connect(picturePanel_, &PicturePanel::makePreviewRequested, this, &StudioWindow::MakePreview);
  connect(picturePanel_, &PicturePanel::choosePreviewRequested, this, &StudioWindow::ChoosePreview);
  connect(wavePanel_, &WavePanel::waveEdited, this, &StudioWindow::OnWaveEdited);
  connect(weatherPanel_, &WeatherPanel::weatherEdited, this, &StudioWindow::OnWeatherEdited);
  auto* waterDock = new QDockWidget(tr("Water"), this);
  waterDock->setObjectName("WaterDock");
  waterDock->setWidget(tabs);
  addDockWidget(Qt::RightDockWidgetArea, waterDock);
}

void StudioWindow::BuildStatusBar() {
  position_ = new QLabel(this);
  position_->setObjectName("StatusPosition");
  zoom_ = new QLabel(this);
  zoom_->setObjectName("StatusZoom");
  frameRate_ = new QLabel(this);
  frameRate_->setObjectName("StatusFrameRate");
  statusBar()->addWidget(position_, 1);
  statusBar()->addPermanentWidget(frameRate_);
  statusBar()->addPermanentWidget(zoom_);
  auto* rate = new QTimer(this);
  rate->setInterval(1000);
  connect(rate, &QTimer::timeout, this, [this, last = int64_t{0}]() mutable {
    const int64_t frames = player_->FramesDrawn();
    frameRate_->setText(player_->Playing() ? tr("%1 frames/s").arg(frames - last) : QString());
    last = frames;
  });
  rate->start();
}

// ---- Files -----------------------------------------------------------------------------

void StudioWindow::OpenChosen() {
  const QString folder = filePath_.isEmpty() ? QString() : QFileInfo(filePath_).absolutePath();
  const QString path =
      dialogs_->OpenFileName(this, tr("Open a picture file or a photo"), folder, tr(kOpenFilter));
  if (!path.isEmpty()) OpenPath(path);
}

bool StudioWindow::OpenPath(const QString& path) {
  if (!MaybeSave()) return false;
  auto bytes = ReadFileBytes(path);
  if (!bytes) {
    ShowError(tr("Cannot read %1.").arg(path));
    return false;
  }
  const QString name = QFileInfo(path).fileName();
  if (IsPictureFile(bytes.value())) {
    auto document = PictureDocument::FromPictureFile(std::move(bytes.value()));
    if (!document) {
      ShowError(tr("%1 is not a picture file vecstudio can open:\n%2")
                    .arg(name, Text(document.error().message)));
      return false;
    }
    proposedPath_ = path;
    TakeDocument(document.release_value(), path, name);
    AddRecentFile(path);
    return true;
  }
  auto photo = DecodePhoto(bytes.value(), path);
  if (!photo) {
    ShowError(tr("Cannot make a picture from %1:\n%2").arg(name, Text(photo.error().message)));
    return false;
  }
  const QString title = QFileInfo(path).completeBaseName();
  auto document =
      PictureDocument::FromPhoto(std::move(bytes.value()), photo.value(), title.toStdString());
  if (!document) {
    ShowError(tr("Cannot make a picture from %1:\n%2").arg(name, Text(document.error().message)));
    return false;
  }
  // A new picture is saved beside its photo unless the author chooses otherwise.
  proposedPath_ = QFileInfo(path).absolutePath() + "/" + title + ".vep";
  TakeDocument(document.release_value(), QString(), title + ".vep");
  return true;
}

void StudioWindow::TakeDocument(std::unique_ptr<PictureDocument> document, const QString& path,
                                const QString& name) {
  player_->Pause();
  canvas_->SetDocument(nullptr);
  document_ = std::move(document);
  pointer_.reset();
  filePath_ = path;
  displayName_ = name;
  canvas_->SetDocument(document_.get());
  player_->SetSpeed(speed_->currentData().toInt());
  player_->Preview().SetImageFolder(QFile::encodeName(PictureFolder()).toStdString());
  player_->Start(document_->Live());
  ShowRecords();
  UpdateTitle();
  UpdateActions();
  player_->Play();
}

bool StudioWindow::Save() {
  if (!document_) return false;
  if (filePath_.isEmpty()) return SaveAs();
  return SaveTo(filePath_);
}

bool StudioWindow::SaveAs() {
  if (!document_) return false;
  const QString proposal = filePath_.isEmpty() ? proposedPath_ : filePath_;
  const QString path =
      dialogs_->SaveFileName(this, tr("Save the picture file"), proposal, tr(kPictureFilter));
  if (path.isEmpty()) return false;
  return SaveTo(path);
}

bool StudioWindow::SaveTo(const QString& path) {
  if (!document_) return false;
  std::vector<uint8_t> bytes = document_->FileBytes();
  if (Status written = WriteFileBytes(path, bytes); !written) {
    ShowError(Text(written.error().message));
    return false;
  }
  document_->MarkSaved(std::move(bytes));
  filePath_ = proposedPath_ = path;
  player_->Preview().SetImageFolder(QFile::encodeName(PictureFolder()).toStdString());
  displayName_ = QFileInfo(path).fileName();
  AddRecentFile(path);
  UpdateTitle();
  UpdateActions();
  statusBar()->showMessage(tr("Saved %1").arg(path), 4000);
  return true;
}

bool StudioWindow::MaybeSave() {
  if (!document_ || !document_->Modified()) return true;
  switch (dialogs_->AskToSave(this, displayName_)) {
    case QMessageBox::Save:
      return Save();
    case QMessageBox::Discard:
      return true;
    default:
      return false;
  }
}

void StudioWindow::closeEvent(QCloseEvent* event) {
  if (!MaybeSave()) {
    event->ignore();
    return;
  }
  player_->Pause();
  QSettings settings;
  settings.setValue("window/geometry", saveGeometry());
  settings.setValue("window/state", saveState());
  settings.setValue("canvas/strength", strength_->value());
  settings.setValue("canvas/brush", brushSize_->value());
  event->accept();
}

QStringList StudioWindow::RecentFiles() const {
  return QSettings().value(kRecentKey).toStringList();
}

void StudioWindow::AddRecentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  QStringList files = RecentFiles();
  files.removeAll(full);
  files.prepend(full);
  while (files.size() > kMaxRecentFiles) files.removeLast();
  QSettings().setValue(kRecentKey, files);
  RebuildRecentMenu();
}

void StudioWindow::RebuildRecentMenu() {
  recentMenu_->clear();
  const QStringList files = RecentFiles();
  for (int i = 0; i < files.size(); ++i) {
    QAction* a =
        recentMenu_->addAction(QString("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
    a->setToolTip(files[i]);
    a->setStatusTip(files[i]);
    const QString path = files[i];
    connect(a, &QAction::triggered, this, [this, path] { OpenPath(path); });
  }
  if (!files.isEmpty()) {
    recentMenu_->addSeparator();
    connect(recentMenu_->addAction(tr("Clear the List")), &QAction::triggered, this, [this] {
      QSettings().remove(kRecentKey);
      RebuildRecentMenu();
    });
  }
  recentMenu_->setEnabled(!files.isEmpty());
}

void StudioWindow::ImportMask() {
  if (!document_) return;
  const QString path =
      dialogs_->OpenFileName(this, tr("Import a mask picture"), QString(), tr(kMaskFilter));
  if (path.isEmpty()) return;
  auto bytes = ReadFileBytes(path);
  auto picture = bytes ? DecodePhoto(bytes.value(), path) : ErrorOr<BlendBitmap>(bytes.error());
  if (!picture) {
    ShowError(tr("Cannot import the mask:\n%1").arg(Text(picture.error().message)));
    return;
  }
  const AreaMask imported =
      MaskFromPicture(picture.value(), document_->Width(), document_->Height());
  MaskEdit edit = document_->BeginMaskEdit();
  edit.Keep({0, 0, document_->Width(), document_->Height()});
  document_->Mask() = imported;
  const Rect changed = document_->CommitMaskEdit(edit);
  canvas_->RefreshMask(changed);
  OnMaskEdited(changed);
}

void StudioWindow::ExportMask() {
  if (!document_) return;
  QString proposal = filePath_.isEmpty() ? proposedPath_ : filePath_;
  proposal = QFileInfo(proposal).absolutePath() + "/" + QFileInfo(proposal).completeBaseName() +
             "-mask.png";
  const QString path = dialogs_->SaveFileName(this, tr("Export the mask"), proposal,
                                              tr("PNG pictures (*.png);;BMP pictures (*.bmp)"));
  if (path.isEmpty()) return;
  if (Status written = WriteImageFile(path, MaskPicture(document_->Mask())); !written)
    ShowError(Text(written.error().message));
}

void StudioWindow::ShowError(const QString& text) {
  dialogs_->ShowError(this, text);
}

// ---- Editing ---------------------------------------------------------------------------

void StudioWindow::ShowRecords() {
  if (!document_) return;
  wavePanel_->Show(legend_->Area(),
                   document_->Stored().waves[static_cast<size_t>(legend_->Area() - 1)]);
  weatherPanel_->Show(document_->Stored().weather);
  picturePanel_->Show(FromStored(document_->Stored().Title), FromStored(document_->Stored().Author),
                      ImageOf(document_->Live().preview));
  std::array<QString, kSoundSlotCount> names;
  for (size_t i = 0; i < names.size(); ++i)
    names[i] = FromStored(document_->Stored().soundSlots[i].FileName);
  soundsPanel_->Show(document_->Stored().soundSlots, names,
                     FromStored(document_->Stored().singleSound));
  objectsPanel_->Show(ObjectsOf(document_->Stored().objects));
  ShowObjectMarkers();
}

void StudioWindow::ShowObjectMarkers() {
  if (!document_) return;
  std::vector<Point> centres;
  int chosen = -1;
  for (const ObjectKeys& o : ObjectsOf(document_->Stored().objects)) {
    if (o.sectionNumber == objectsPanel_->ChosenSection())
      chosen = static_cast<int>(centres.size());
    centres.push_back({o.PosLeft, o.PosTop});
  }
  canvas_->SetObjectMarkers(std::move(centres), chosen);
}

void StudioWindow::SetObjectsText(const std::string& text, const QString& mergeKey, bool restart) {
  document_->SetRecord({RecordKind::Objects}, text, mergeKey.toStdString());
  if (restart) player_->Restart();
  ShowRecords();
  AfterRecordEdit();
}

void StudioWindow::AddObject(ObjectType type) {
  if (!document_) return;
  const QString path = dialogs_->OpenFileName(
      this, type == ObjectType::Gif ? tr("Add an animated GIF") : tr("Add a picture"),
      PictureFolder(),
      type == ObjectType::Gif ? tr("Animated GIFs (*.gif)")
                              : tr("Pictures (*.bmp *.jpg *.jpeg *.gif)"));
  if (path.isEmpty()) return;
  // An image beside the picture file is named by its file name, as a saver's package keeps
  // it; one elsewhere by its whole path, which the show tries first.
  const QFileInfo file(path);
  const QString stored = file.absolutePath() == QFileInfo(PictureFolder()).absoluteFilePath()
                             ? file.fileName()
                             : file.absoluteFilePath();
  int32_t section = 0;
  const std::string text =
      WithNewObject(document_->Stored().objects, type, ToStored(stored),
                    {document_->Width() / 2, document_->Height() / 2}, section);
  SetObjectsText(text, QString(), true);
  objectsPanel_->Choose(section);
}

QString StudioWindow::PictureFolder() const {
  return QFileInfo(proposedPath_).absolutePath();
}

void StudioWindow::OnSoundEdited(int slot, SoundSlot value, const QString& name,
                                 const QString& mergeKey) {
  if (!document_) return;
  value.FileName = ToStored(name);
  document_->SetRecord({RecordKind::SoundSlot, slot}, value, mergeKey.toStdString());
  AfterRecordEdit();
}

void StudioWindow::BrowseSound(int slot) {
  if (!document_) return;
  const QString path = dialogs_->OpenFileName(
      this, tr("Choose sound %1").arg(slot + 1), PictureFolder(),
      tr("Sounds (*.wav *.ogg *.mp3 *.flac *.mid *.midi *.wma *.m4a);;All files (*)"));
  if (path.isEmpty()) return;
  chosenSounds_[static_cast<size_t>(slot)] = path;
  // The picture names the file only: the saver's package brings it along, and the show
  // looks for it by that name.
  SoundSlot value = document_->Stored().soundSlots[static_cast<size_t>(slot)];
  value.FileName = ToStored(QFileInfo(path).fileName());
  document_->SetRecord({RecordKind::SoundSlot, slot}, value);
  ShowRecords();
  AfterRecordEdit();
}

void StudioWindow::SetSoundDevice(std::unique_ptr<ISoundDevice> device) {
  soundPlayer_.reset();
  soundDevice_ = std::move(device);
}

void StudioWindow::PlaySound(int slot) {
  if (!document_) return;
  const SoundSlot& s = document_->Stored().soundSlots[static_cast<size_t>(slot)];
  if (s.FileName.empty()) return;
  std::string path;
  const QString& chosen = chosenSounds_[static_cast<size_t>(slot)];
  if (!chosen.isEmpty() && ToStored(QFileInfo(chosen).fileName()) == s.FileName)
    path = QFile::encodeName(chosen).toStdString();
  else
    path = FindSoundFile(s.FileName, {QFile::encodeName(PictureFolder()).toStdString() + "/",
                                      SharedLibrarySubfolder("sounds/"), ""});
  if (path.empty())
    return ShowError(tr("Cannot find the sound \"%1\" beside the picture file or in the shared "
                        "sounds folder.")
                         .arg(FromStored(s.FileName)));
  if (!soundDevice_) soundDevice_ = std::make_unique<SdlAudio>();
  if (!soundPlayer_) soundPlayer_ = std::make_unique<SoundEffectPlayer>(*soundDevice_);
  soundPlayer_->StopAll();
  if (!soundPlayer_->Add(slot, path))
    return ShowError(tr("Cannot play %1.").arg(QString::fromStdString(path)));
  // A looping sound loops here too, until Stop All or another sound.
  soundPlayer_->Play(slot, s.PlayMode == kPlayLoop);
}

void StudioWindow::StopSounds() {
  if (soundPlayer_) soundPlayer_->StopAll();
}

void StudioWindow::AfterRecordEdit() {
  UpdateTitle();
  UpdateActions();
}

void StudioWindow::OnTextEdited(RecordKind kind, const QString& text, const QString& mergeKey) {
  if (!document_) return;
  document_->SetRecord({kind}, ToStored(text), mergeKey.toStdString());
  AfterRecordEdit();
}

void StudioWindow::MakePreview() {
  if (!document_) return;
  BlendBitmap picture;
  picture.CopyFrom(document_->Live().image);
  auto jpeg = MakePreviewJpeg(picture, kDefaultPreviewWidth, kDefaultJpegQuality);
  if (!jpeg) return ShowError(Text(jpeg.error().message));
  document_->SetRecord({RecordKind::Preview}, jpeg.release_value());
  ShowRecords();
  AfterRecordEdit();
}

void StudioWindow::ChoosePreview() {
  if (!document_) return;
  const QString path =
      dialogs_->OpenFileName(this, tr("Choose the preview picture"), QString(), tr(kMaskFilter));
  if (path.isEmpty()) return;
  auto bytes = ReadFileBytes(path);
  auto picture = bytes ? DecodePhoto(bytes.value(), path) : ErrorOr<BlendBitmap>(bytes.error());
  if (!picture)
    return ShowError(tr("Cannot use %1 as the preview:\n%2")
                         .arg(QFileInfo(path).fileName(), Text(picture.error().message)));
  auto jpeg = StoredPictureJpeg(std::move(bytes.value()), picture.value(), kDefaultJpegQuality);
  if (!jpeg) return ShowError(Text(jpeg.error().message));
  document_->SetRecord({RecordKind::Preview}, jpeg.release_value());
  ShowRecords();
  AfterRecordEdit();
}

void StudioWindow::UndoOrRedo(bool redo) {
  if (!document_) return;
  const std::optional<DocumentChange> change = redo ? document_->Redo() : document_->Undo();
  if (!change) return;
  if (!change->mask.IsEmpty()) canvas_->RefreshMask(change->mask);
  ShowPointer();
  // The engine prepares the mask, the scatter, the mirror and the weather when it starts.
  if (!change->mask.IsEmpty() || (change->record && (change->record->kind == RecordKind::Wave ||
                                                     change->record->kind == RecordKind::Weather)))
    player_->Restart();
  ShowRecords();
  UpdateTitle();
  UpdateActions();
}

void StudioWindow::OnMaskEdited(const Rect& changed) {
  if (!changed.IsEmpty()) player_->Restart();
  ShowPointer();
  UpdateTitle();
  UpdateActions();
}

void StudioWindow::OnWaveEdited(int area, const WaveSet& wave, const QString& mergeKey) {
  if (!document_) return;
  const WaveSet before = document_->Stored().waves[static_cast<size_t>(area - 1)];
  document_->SetRecord({RecordKind::Wave, area - 1}, wave, mergeKey.toStdString());
  if (before.Scatter != wave.Scatter || before.Mirror != wave.Mirror) player_->Restart();
  UpdateTitle();
  UpdateActions();
}

void StudioWindow::OnWeatherEdited(const WeatherSettings& weather, const QString& mergeKey) {
  if (!document_) return;
  const WeatherSettings before = document_->Stored().weather;
  document_->SetRecord({RecordKind::Weather}, weather, mergeKey.toStdString());
  if (before.Kind != weather.Kind || before.Count != weather.Count) player_->Restart();
  UpdateTitle();
  UpdateActions();
}

void StudioWindow::ChooseArea(int area) {
  legend_->SetArea(area);
  canvas_->SetArea(area);
  if (QAction* a = findChild<QAction*>(QString("actionArea%1").arg(area))) a->setChecked(true);
  // Painting an area means the brush, not the eraser.
  if (canvas_->Tool() == PaintTool::Eraser) {
    findChild<QAction*>("actionBrush")->setChecked(true);
    ChooseTool(PaintTool::Brush);
  }
  ShowRecords();
}

void StudioWindow::ChooseTool(PaintTool tool) {
  canvas_->SetTool(tool);
}

void StudioWindow::TogglePlay() {
  if (player_->Playing())
    player_->Pause();
  else
    player_->Play();
}

void StudioWindow::OnPointerMoved(Point pixel, bool overPicture) {
  pointer_ = overPicture ? std::optional<Point>(pixel) : std::nullopt;
  ShowPointer();
}

void StudioWindow::ShowPointer() {
  if (!document_ || !pointer_) {
    position_->clear();
    return;
  }
  const uint8_t area = document_->Mask().At(pointer_->x, pointer_->y);
  position_->setText(tr("x %1, y %2 — %3")
                         .arg(pointer_->x)
                         .arg(pointer_->y)
                         .arg(area == 0 ? tr("no area") : AreaName(area)));
}

void StudioWindow::UpdateTitle() {
  if (!document_) {
    setWindowTitle(tr("vecstudio"));
    setWindowModified(false);
    return;
  }
  setWindowTitle(tr("%1[*] — vecstudio").arg(displayName_));
  setWindowModified(document_->Modified());
}

void StudioWindow::UpdateActions() {
  const bool open = document_ != nullptr;
  for (const char* name : {"actionSave", "actionSaveAs", "actionImportMask", "actionExportMask",
                           "actionPlay", "actionStep"})
    findChild<QAction*>(name)->setEnabled(open);
  findChild<QAction*>("actionUndo")->setEnabled(open && document_->History().CanUndo());
  findChild<QAction*>("actionRedo")->setEnabled(open && document_->History().CanRedo());
}

}  // namespace vec::studio
