// vectool's commands for designed windows: forms (the definitions and the windows built
// from them, as JSON) and form-shot (a picture of one window as it first appears, with the
// saver's pictures in its grids and previews when a saver is given). Both build real
// widgets on Qt's off-screen platform unless another platform is chosen.

#include <QApplication>
#include <QPixmap>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "base/TextLines.h"
#include "configui/ConfigWindow.h"
#include "configui/FormBuilder.h"
#include "configui/FormNames.h"
#include "configui/Placeholders.h"
#include "package/FileUtil.h"
#include "package/Folders.h"
#include "package/Package.h"
#include "package/RuntimeFolder.h"
#include "tools/vectool/Command.h"
#include "tools/vectool/PackageJson.h"

namespace vectool {
namespace {

// The application object the widgets need, on the off-screen platform when none is set,
// with a runtime folder of its own when the session has none (so the toolkit neither
// complains about it nor leaves one behind).
class Widgets {
 public:
  Widgets() : runtime_("vectool-runtime") {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "vectool";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
  }

 private:
  vec::PrivateRuntimeFolder runtime_;  // outlives the application
  std::unique_ptr<QApplication> app_;
};

// The UI definition file to read: FILE when given, else the one the saver carries, which
// is extracted into a private folder removed again when this goes.
class DefinitionSource {
 public:
  ~DefinitionSource() {
    if (!folder_.empty()) vec::RemovePackage(folder_);
  }
  // `file` is the definition file named on the command line (may be empty), `package` the
  // saver given with --package.
  vec::Status Open(const std::string& file, const std::optional<std::string>& package) {
    if (!file.empty()) {
      path_ = file;
      if (!package) return {};
    } else if (!package) {
      return vec::Error::Make(vec::ErrorCode::OpenFailed, "no UI definition file given");
    }
    std::string tmpl = vec::SystemTempPath() + "vectool-XXXXXX";
    if (!mkdtemp(tmpl.data()))
      return vec::Error::Make(vec::ErrorCode::WriteFailed, "cannot create a temporary folder");
    folder_ = tmpl + "/";
    vec::ExtractReport report = vec::ExtractPackage(settings_, *package, folder_);
    if (report.error != vec::PackageError::None)
      return vec::Error::Make(vec::ErrorCode::NoMarker, *package + ": no package found");
    if (path_.empty()) path_ = settings_.UISetting.UIFile;
    return {};
  }
  const std::string& path() const { return path_; }
  // The saver's settings, its picture names resolved into the private folder; nullptr
  // without --package.
  vec::SaverSettings* settings() { return folder_.empty() ? nullptr : &settings_; }

 private:
  std::string folder_;
  std::string path_;
  vec::SaverSettings settings_;
};

// A window as it first opens for a user without settings of their own: placeholders filled
// from the saver, every grid listing its pictures all kept as favourites with the first one
// current, every preview showing the first picture, visibility from the tags. Nothing is
// written back.
class FirstAppearance {
 public:
  FirstAppearance(const vec::FormCollection& forms, vec::SaverSettings& settings,
                  vec::DesignedWindow& window) {
    context_.forms = &forms;
    context_.settings = &settings;
    context_.settingsAccess = true;  // an empty user file: all pictures ticked, index 0
    context_.userSettings = {};
    behaviour_ = std::make_unique<vec::ConfigWindow>(context_, window);
    behaviour_->FillPlaceholders();
    behaviour_->Prepare();
  }

 private:
  vec::ConfigWindowContext context_;
  std::unique_ptr<vec::ConfigWindow> behaviour_;
};

Json Lines(const std::string& text) {
  Json out = Json::array();
  for (const auto& line : vec::SplitLines(text)) out.push_back(Text(line));
  return out;
}

// The index of the action a click on `c` runs, when its class takes clicks and the form
// binds one to its name.
std::optional<size_t> ActionOf(const vec::BuiltControl& c, const vec::FormDefinition& form) {
  if (!vec::IsBindableClass(c.className)) return std::nullopt;
  const auto& actions = form.actions.actions();
  for (size_t i = 0; i < actions.size(); ++i)
    if (vec::SameNameNoCase(actions[i].controlName, c.name)) return i;
  return std::nullopt;
}

// `form` is given with a saver: the window is then as it opens (placeholders filled,
// visibility from the tags), and each control says whether it shows and what a click runs.
void AddWindow(Json& j, const vec::DesignedWindow& window, const vec::FormDefinition* form) {
  const vec::WindowModel& m = window.model();
  Json icons = Json::array();
  if (m.style.systemMenu) icons.push_back("systemMenu");
  if (m.style.maximizeButton) icons.push_back("maximize");
  if (m.style.minimizeButton) icons.push_back("minimize");
  j["window"] = {{"caption", Text(m.caption)},
                 {"width", m.geometry.width},
                 {"height", m.geometry.height},
                 {"borderStyle", Text(vec::BorderStyleName(m.style.border))},
                 {"borderIcons", std::move(icons)},
                 {"maximized", m.style.maximized}};
  Json controls = Json::array();
  for (const vec::BuiltControl& c : window.controls()) {
    Json control;
    control["name"] = Text(c.name);
    control["class"] = Text(c.className);
    control["parent"] = Text(c.parentName);
    control["tag"] = c.tag;
    control["left"] = c.geometry.left;
    control["top"] = c.geometry.top;
    control["width"] = c.geometry.width;
    control["height"] = c.geometry.height;
    if (c.caption) control["caption"] = Text(*c.caption);
    if (c.text) control["text"] = Text(*c.text);
    if (form) {
      control["visible"] = c.widget ? !c.widget->isHidden() : false;
      const std::optional<size_t> action = ActionOf(c, *form);
      control["action"] = action ? Json(static_cast<int64_t>(*action)) : Json(nullptr);
    }
    controls.push_back(std::move(control));
  }
  j["controls"] = std::move(controls);
}

Json FormJson(const vec::FormCollection& forms, const vec::FormDefinition& form,
              vec::SaverSettings* settings) {
  Json actions = Json::array();
  for (const vec::Action& a : form.actions.actions()) {
    Json action = {{"ControlName", Text(a.controlName)},
                   {"Kind", a.kind},
                   {"Param1", Text(a.param1)},
                   {"Param2", Text(a.param2)},
                   {"Param3", Text(a.param3)}};
    if (settings) {
      const vec::PlaceholderValues values{settings->Setting.ProductName,
                                          settings->Setting.Publisher, settings->Setting.Website};
      action["prepared"] = {{"Param1", Text(vec::PrepareActionParameter(a.param1, values))},
                            {"Param2", Text(vec::PrepareActionParameter(a.param2, values))},
                            {"Param3", Text(vec::PrepareActionParameter(a.param3, values))}};
    }
    actions.push_back(std::move(action));
  }
  vec::FormDefinition copy = form;
  Json j;
  j["name"] = Text(form.name);
  j["formLines"] = form.lineCounts.form;
  j["actionLines"] = form.lineCounts.action;
  j["designerLines"] = form.lineCounts.designer;
  j["actions"] = std::move(actions);
  j["preparedText"] = Lines(copy.PrepareFormText());
  auto built = vec::BuildDesignedWindow(forms, form.name);
  j["built"] = built.ok();
  if (built.ok()) {
    j["buildError"] = nullptr;
    if (settings) {
      FirstAppearance first(forms, *settings, *built.value());
      AddWindow(j, *built.value(), &form);
    } else {
      AddWindow(j, *built.value(), nullptr);
    }
  } else {
    j["buildError"] = Text(built.error().message);
  }
  return j;
}

struct FormsOptions {
  std::string file;
  std::optional<std::string> package;
};

int RunForms(const FormsOptions& o) {
  DefinitionSource source;
  if (vec::Status opened = source.Open(o.file, o.package); !opened)
    return Fail(opened.error().message);
  const Widgets widgets;

  vec::FormCollection forms;
  vec::Status loaded = forms.LoadDefinitions(source.path());
  Json list = Json::array();
  for (const vec::FormDefinition& form : forms.forms())
    list.push_back(FormJson(forms, form, source.settings()));
  Json j;
  j["loaded"] = loaded.ok();
  j["error"] = loaded.ok() ? Json(nullptr) : Text(loaded.error().message);
  j["forms"] = std::move(list);
  std::cout << Printed(j);
  return 0;
}

struct FormShotOptions {
  std::string first;   // the definition file, or the window's name when alone
  std::string second;  // the window's name after a definition file
  std::optional<std::string> package;
  std::string out;
};

int RunFormShot(const FormShotOptions& o) {
  // With a package alone the one positional is the window's name.
  const bool fileGiven = !o.second.empty();
  if (!fileGiven && !o.package)
    return Fail("form-shot needs FILE.veu NAME, or NAME with --package SAVER");
  const std::string& name = fileGiven ? o.second : o.first;
  DefinitionSource source;
  if (vec::Status opened = source.Open(fileGiven ? o.first : std::string(), o.package); !opened)
    return Fail(opened.error().message);
  const Widgets widgets;

  vec::FormCollection forms;
  vec::Status loaded = forms.LoadDefinitions(source.path());
  if (loaded.is_error()) return Fail(loaded.error().message);
  auto built = vec::BuildDesignedWindow(forms, name);
  if (built.is_error()) return Fail(built.error().message);
  vec::DesignedWindow& window = *built.value();
  std::unique_ptr<FirstAppearance> first;
  if (vec::SaverSettings* settings = source.settings())
    first = std::make_unique<FirstAppearance>(forms, *settings, window);
  else
    window.ApplyTagVisibility();
  window.show();
  QApplication::processEvents();
  if (!window.grab().save(QString::fromStdString(o.out), "PNG"))
    return Fail("cannot write " + o.out);
  return 0;
}

}  // namespace

void AddFormCommands(Commands& commands) {
  auto forms = std::make_shared<FormsOptions>();
  CLI::App& formsCommand = commands.Add(
      "forms", "the designed windows of a UI definition file and what is built from them",
      [forms] { return RunForms(*forms); });
  formsCommand.add_flag("--json")->description("JSON output (the only form)")->required();
  formsCommand.add_option("FILE", forms->file,
                          "the UI definition file (default: the one of --package)");
  formsCommand.add_option("--package", forms->package,
                          "the saver whose placeholders and pictures fill the windows");

  auto shot = std::make_shared<FormShotOptions>();
  CLI::App& shotCommand =
      commands.Add("form-shot", "a picture of a designed window as it first appears",
                   [shot] { return RunFormShot(*shot); });
  shotCommand
      .add_option(
          "FILE", shot->first,
          "the UI definition file (FILE.veu); the window's name when --package alone is given")
      ->required();
  shotCommand.add_option("NAME", shot->second, "the window's name");
  shotCommand.add_option("--package", shot->package,
                         "the saver whose placeholders and pictures fill the window");
  shotCommand.add_option("--out", shot->out, "the picture to write (OUT.png)")->required();
}

}  // namespace vectool
