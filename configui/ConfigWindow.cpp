#include "configui/ConfigWindow.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "base/Ini.h"
#include "configui/ConfigWindowSettings.h"
#include "configui/DesignedWindow.h"
#include "configui/FormBuilder.h"
#include "configui/FormDefinitions.h"
#include "configui/FormNames.h"
#include "configui/FormQt.h"
#include "configui/controls/ClickableWidget.h"
#include "configui/controls/ImageButton.h"
#include "configui/controls/MemoControl.h"
#include "configui/controls/PicturePreview.h"
#include "configui/controls/ThumbnailGrid.h"
#include "package/SaverSettings.h"

namespace vec {
namespace {

bool Is(const BuiltControl& c, std::string_view className) {
  return SameNameNoCase(c.className, className);
}

// Action kinds.
enum class ActionKind : uint8_t {
  OpenUrl = 0,
  ShowWindow = 1,
  NextPicture = 2,
  PreviousPicture = 3,
  PreviewPicture = 4,
  OpenSettings = 5,
  CloseWindow = 6,
  SetWallpaper = 9,
};

// The address handed to the desktop: the prepared parameter without its line breaks.
std::string FirstLine(const std::string& prepared) {
  const size_t end = prepared.find_first_of("\r\n");
  return end == std::string::npos ? prepared : prepared.substr(0, end);
}

// The user's file as it stands; one that cannot be read starts the window as a missing one.
IniDocument ReadUserFile(const ConfigWindowContext& context) {
  ErrorOr<IniDocument> user = ReadUserSettings(context.userSettings);
  return user.ok() ? user.release_value() : IniDocument();
}

}  // namespace

bool IsBindableClass(std::string_view className) {
  for (std::string_view c :
       {"TLabel", "TMyShape", "TPanel", "TMyBevel", "TImage", "TVEPreview", "TBitBtn", "TMyButton"})
    if (SameNameNoCase(c, className)) return true;
  return false;
}

ConfigWindow::ConfigWindow(ConfigWindowContext& context, DesignedWindow& window)
    : context_(context), window_(window) {}

PlaceholderValues ConfigWindow::Placeholders() const {
  const ShowSettings& s = context_.settings->Setting;
  return {s.ProductName, s.Publisher, s.Website};
}

int32_t ConfigWindow::PictureCount() const {
  return static_cast<int32_t>(context_.settings->FileList.FileNames.size());
}

void ConfigWindow::FillPlaceholders() {
  const PlaceholderValues values = Placeholders();
  WindowModel& model = window_.model();
  model.caption = ReplacePlaceholders(model.caption, values);
  window_.setWindowTitle(FormTextToQString(model.caption));

  // Which controls are visited: those on the window, and on panels that are visited.
  std::vector<std::pair<std::string, bool>> visited{{model.name, true}};
  auto isVisited = [&visited](const std::string& name) {
    for (const auto& [n, v] : visited)
      if (SameNameNoCase(n, name)) return v;
    return false;
  };
  for (BuiltControl& c : window_.controls()) {
    const bool onVisited = isVisited(c.parentName);
    visited.emplace_back(c.name, onVisited && Is(c, "TPanel"));
    if (!onVisited) continue;
    if (Is(c, "TMyMemo") && c.text) {
      c.text = ReplacePlaceholders(*c.text, values);
      if (auto* memo = dynamic_cast<MemoControl*>(c.widget))
        memo->setText(FormTextToQString(*c.text));
      continue;
    }
    if (!c.caption || !(Is(c, "TLabel") || Is(c, "TBitBtn") || Is(c, "TMyButton"))) continue;
    c.caption = ReplacePlaceholders(*c.caption, values);
    const QString text = FormTextToQString(*c.caption);
    if (auto* label = dynamic_cast<QLabel*>(c.widget)) {
      label->setText(StripAccelerators(text));
      window_.RefitAutoSizeLabel(c);
    } else if (auto* image = dynamic_cast<ImageButton*>(c.widget))
      image->setCaption(text);
    else if (auto* button = dynamic_cast<QAbstractButton*>(c.widget))
      button->setText(text);
  }
}

void ConfigWindow::Prepare() {
  if (context_.settingsAccess)
    currentIndex_ = ReadStartIndex(ReadUserFile(context_), PictureCount());
  for (BuiltControl& control : window_.controls()) {
    try {
      PrepareControl(control);
    } catch (const std::exception&) {
      // One control that cannot be prepared (a picture that cannot be read) does not keep
      // the others or the window from showing.
    }
  }
  window_.ApplyTagVisibility();
  SelectPicture(currentIndex_);
}

void ConfigWindow::PrepareControl(BuiltControl& control) {
  QWidget* widget = control.widget;
  if (widget == nullptr) return;
  if (auto* edit = dynamic_cast<QLineEdit*>(widget); edit && Is(control, "TEdit"))
    edit->setReadOnly(false);
  if (IsBindableClass(control.className)) BindClick(widget, control.name);
  if (Is(control, "TPageControl")) widget->update();
  const auto& files = context_.settings->FileList.FileNames;
  if (auto* grid = dynamic_cast<ThumbnailGrid*>(widget)) {
    grid->setItems(files);
    if (context_.settingsAccess) {
      const std::vector<bool> ticked = ReadFavourites(ReadUserFile(context_), PictureCount());
      for (size_t i = 0; i < ticked.size(); ++i)
        grid->setTicked(static_cast<int32_t>(i), ticked[i]);
    }
    QObject::connect(grid, &ThumbnailGrid::selectItem, this,
                     [this](int index) { SelectPicture(index); });
    grid->viewport()->update();
    grid->selectCell(currentIndex_);
  }
  if (auto* preview = dynamic_cast<PicturePreview*>(widget); preview && !files.empty())
    preview->loadPicture(files.front());
}

void ConfigWindow::SelectPicture(int32_t index) {
  currentIndex_ = ClampPictureIndex(index, PictureCount());
  if (PictureCount() == 0) return;
  const std::string& file =
      context_.settings->FileList.FileNames[static_cast<size_t>(currentIndex_)];
  for (BuiltControl& c : window_.controls())
    if (auto* preview = dynamic_cast<PicturePreview*>(c.widget)) {
      preview->loadPicture(file);
      preview->update();
    }
}

void ConfigWindow::ExecuteAction(const std::string& controlName) {
  if (context_.forms == nullptr) return;
  const FormDefinition* definition = context_.forms->FindForm(window_.model().name);
  if (definition == nullptr) return;
  const Action* action = definition->actions.FindAction(controlName);
  if (action == nullptr) return;
  const PlaceholderValues values = Placeholders();
  const std::string param1 = PrepareActionParameter(action->param1, values);
  const ConfigWindowServices& services = context_.services;
  const auto& files = context_.settings->FileList.FileNames;
  switch (static_cast<ActionKind>(action->kind)) {
    case ActionKind::OpenUrl: {
      const std::string address = FirstLine(param1);
      if (!address.empty() && services.openUrl) services.openUrl(address);
      break;
    }
    case ActionKind::ShowWindow:
      if (Status shown = ShowDesignedForm(context_, param1, &window_); !shown.ok())
        if (services.showError) services.showError(&window_, shown.error().message);
      break;
    case ActionKind::NextPicture:
      SelectPicture(currentIndex_ + 1);
      break;
    case ActionKind::PreviousPicture:
      SelectPicture(currentIndex_ - 1);
      break;
    case ActionKind::PreviewPicture:
      if (!files.empty() && services.previewPicture)
        services.previewPicture(files[static_cast<size_t>(currentIndex_)]);
      break;
    case ActionKind::OpenSettings:
      if (services.openSettings) services.openSettings(&window_);
      break;
    case ActionKind::CloseWindow:
      window_.close();
      break;
    case ActionKind::SetWallpaper:
      if (!services.confirm || !services.confirm(&window_, std::string(kWallpaperQuestion))) break;
      if (files.empty()) {
        if (services.showError)
          services.showError(&window_, "There is no picture to set as wallpaper.");
        break;
      }
      if (services.setWallpaper)
        services.setWallpaper(&window_, files[static_cast<size_t>(currentIndex_)]);
      break;
    default:  // 7, 8 and anything above 9 do nothing
      break;
  }
}

void ConfigWindow::Finish() {
  if (!context_.settingsAccess) return;
  // The favourites of the last grid of the window are the ones kept.
  std::optional<std::vector<bool>> favourites;
  for (const BuiltControl& c : window_.controls())
    if (auto* grid = dynamic_cast<ThumbnailGrid*>(c.widget)) {
      favourites.emplace(static_cast<size_t>(PictureCount()));
      for (size_t i = 0; i < favourites->size(); ++i)
        (*favourites)[i] = grid->ticked(static_cast<int32_t>(i));
    }
  const Status saved = UpdateUserSettings(context_.userSettings, [&](IniDocument& user) {
    WriteCurrentIndex(user, currentIndex_);
    if (favourites) WriteFavourites(user, *favourites);
  });
  // The window closes whatever happens to its settings; the user hears why they were not kept.
  if (!saved.ok() && context_.services.showError)
    context_.services.showError(&window_, "The settings could not be saved to \"" +
                                              context_.userSettings.file + "\".\r\n" +
                                              saved.error().message);
}

void ConfigWindow::BindClick(QWidget* widget, const std::string& name) {
  widget->setProperty("actionControl", QString::fromStdString(name));
  // Controls with a click of their own (image buttons, shapes, bevels, previews, push
  // buttons) report it, from the mouse or the keyboard; labels, images and panels are
  // watched for the press and release below.
  if (auto* clickable = qobject_cast<ClickableWidget*>(widget)) {
    QObject::connect(clickable, &ClickableWidget::clicked, this,
                     [this, name] { RunActionLater(name); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QObject::connect(button, &QAbstractButton::clicked, this,
                     [this, name] { RunActionLater(name); });
  } else {
    widget->installEventFilter(this);
  }
}

void ConfigWindow::RunActionLater(const std::string& name) {
  QTimer::singleShot(0, this, [this, name] { ExecuteAction(name); });
}

bool ConfigWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseButtonRelease)
    return QObject::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  auto* mouse = static_cast<QMouseEvent*>(event);
  // A disabled control takes no click; Qt hands the event on to the control around it.
  if (widget == nullptr || !widget->isEnabled() || mouse->button() != Qt::LeftButton)
    return QObject::eventFilter(watched, event);
  // A click is a left press and release over the control; the second press of a double
  // click is no click. The event stops here: a panel around the control must not take
  // the same click as its own.
  if (type == QEvent::MouseButtonPress) {
    pressed_ = watched;
  } else if (type == QEvent::MouseButtonDblClick) {
    pressed_ = nullptr;
  } else {
    const bool clicked =
        pressed_ == watched && widget->rect().contains(mouse->position().toPoint());
    pressed_ = nullptr;
    if (clicked) RunActionLater(widget->property("actionControl").toString().toStdString());
  }
  event->accept();
  return true;
}

Status ShowDesignedForm(ConfigWindowContext& context, std::string_view formName, QWidget* parent) {
  if (context.forms == nullptr || context.settings == nullptr)
    return Error::Make(ErrorCode::Corrupt, "No user-interface definition is loaded.");
  std::unique_ptr<DesignedWindow> window =
      TRY(BuildDesignedWindow(*context.forms, std::string(formName)));
  if (parent != nullptr) window->setParent(parent, window->windowFlags());
  ConfigWindow behaviour(context, *window);
  behaviour.FillPlaceholders();
  if (context.settingsAccess && context.services.applyUserChoices)
    context.services.applyUserChoices(*context.settings);
  behaviour.Prepare();
  window->exec();
  behaviour.Finish();
  return {};
}

}  // namespace vec
