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
#include "tools/vectool/Command.h"
#include "tools/vectool/PackageJson.h"

namespace vectool {
namespace {

// The application object the widgets need, on the off-screen platform when none is set.
std::unique_ptr<QApplication> StartWidgets() {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "vectool";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}

// The UI definition file to read: FILE when given, else the one the saver carries, which
// is extracted into a private folder removed again when this goes.
class DefinitionSource {
 public:
  ~DefinitionSource() {
    if (!folder_.empty()) vec::RemovePackage(folder_);
  }
  // On failure returns false with `error` set.
  bool Open(const Args& args, const std::vector<std::string>& positional, size_t fileIndex,
            std::string& error) {
    const std::optional<std::string> package = Option(args, "--package");
    if (positional.size() > fileIndex) {
      path_ = positional[fileIndex];
      if (!package) return true;
    } else if (!package) {
      error = "no UI definition file given";
      return false;
    }
    std::string tmpl = vec::SystemTempPath() + "vectool-XXXXXX";
    if (!mkdtemp(tmpl.data())) {
      error = "cannot create a temporary folder";
      return false;
    }
    folder_ = tmpl + "/";
    vec::ExtractReport report = vec::ExtractPackage(project_, *package, folder_);
    if (report.error != vec::PackageError::None) {
      error = *package + ": no package found";
      return false;
    }
    if (path_.empty()) path_ = project_.UISetting.UIFile;
    return true;
  }
  const std::string& path() const { return path_; }
  // The saver's settings, its picture names resolved into the private folder; nullptr
  // without --package.
  vec::SaverSettings* project() { return folder_.empty() ? nullptr : &project_; }

 private:
  std::string folder_;
  std::string path_;
  vec::SaverSettings project_;
};

// A window as it first opens for a user without settings of their own: placeholders filled
// from the saver, every grid listing its pictures all kept as favourites with the first one
// current, every preview showing the first picture, visibility from the tags. Nothing is
// written back.
class FirstAppearance {
 public:
  FirstAppearance(const vec::FormCollection& forms, vec::SaverSettings& project,
                  vec::DesignedWindow& window) {
    context_.forms = &forms;
    context_.project = &project;
    context_.settingsAccess = true;  // an empty user file: all pictures ticked, index 0
    context_.userSettingsPath.clear();
    behaviour_ = std::make_unique<vec::ConfigWindow>(context_, window);
    behaviour_->FillPlaceholders();
    behaviour_->Prepare();
  }

 private:
  vec::ConfigWindowContext context_;
  std::unique_ptr<vec::ConfigWindow> behaviour_;
};

void WriteLines(Json& j, const std::string& text) {
  j.BeginArray();
  for (const auto& line : vec::SplitLines(text)) j.String(line);
  j.EndArray();
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
void WriteWindow(Json& j, const vec::DesignedWindow& window, const vec::FormDefinition* form) {
  const vec::WindowModel& m = window.model();
  j.Key("window").BeginObject();
  j.Key("caption").String(m.caption);
  j.Key("width").Number(m.geometry.width);
  j.Key("height").Number(m.geometry.height);
  j.Key("borderStyle").String(vec::BorderStyleName(m.style.border));
  j.Key("borderIcons").BeginArray();
  if (m.style.systemMenu) j.String("systemMenu");
  if (m.style.maximizeButton) j.String("maximize");
  if (m.style.minimizeButton) j.String("minimize");
  j.EndArray();
  j.Key("maximized").Bool(m.style.maximized);
  j.EndObject();
  j.Key("controls").BeginArray();
  for (const vec::BuiltControl& c : window.controls()) {
    j.BeginObject();
    j.Key("name").String(c.name);
    j.Key("class").String(c.className);
    j.Key("parent").String(c.parentName);
    j.Key("tag").Number(c.tag);
    j.Key("left").Number(c.geometry.left);
    j.Key("top").Number(c.geometry.top);
    j.Key("width").Number(c.geometry.width);
    j.Key("height").Number(c.geometry.height);
    if (c.caption) j.Key("caption").String(*c.caption);
    if (c.text) j.Key("text").String(*c.text);
    if (form) {
      j.Key("visible").Bool(c.widget ? !c.widget->isHidden() : false);
      j.Key("action");
      if (auto action = ActionOf(c, *form))
        j.Number(static_cast<int64_t>(*action));
      else
        j.Null();
    }
    j.EndObject();
  }
  j.EndArray();
}

void WriteForm(Json& j, const vec::FormCollection& forms, const vec::FormDefinition& form,
               vec::SaverSettings* project) {
  j.BeginObject();
  j.Key("name").String(form.name);
  j.Key("formLines").Number(form.lineCounts.form);
  j.Key("actionLines").Number(form.lineCounts.action);
  j.Key("designerLines").Number(form.lineCounts.designer);
  j.Key("actions").BeginArray();
  for (const vec::Action& a : form.actions.actions()) {
    j.BeginObject();
    j.Key("ControlName").String(a.controlName);
    j.Key("Kind").Number(a.kind);
    j.Key("Param1").String(a.param1);
    j.Key("Param2").String(a.param2);
    j.Key("Param3").String(a.param3);
    if (project) {
      const vec::PlaceholderValues values{project->Setting.ProductName, project->Setting.Publisher,
                                          project->Setting.Website};
      j.Key("prepared").BeginObject();
      j.Key("Param1").String(vec::PrepareActionParameter(a.param1, values));
      j.Key("Param2").String(vec::PrepareActionParameter(a.param2, values));
      j.Key("Param3").String(vec::PrepareActionParameter(a.param3, values));
      j.EndObject();
    }
    j.EndObject();
  }
  j.EndArray();
  vec::FormDefinition copy = form;
  j.Key("preparedText");
  WriteLines(j, copy.PrepareFormText());
  auto built = vec::BuildDesignedWindow(forms, form.name);
  j.Key("built").Bool(built.ok());
  j.Key("buildError");
  if (built.ok()) {
    j.Null();
    if (project) {
      FirstAppearance first(forms, *project, *built.value());
      WriteWindow(j, *built.value(), &form);
    } else {
      WriteWindow(j, *built.value(), nullptr);
    }
  } else {
    j.String(built.error().message);
  }
  j.EndObject();
}

int RunForms(const Args& args) {
  auto pos = Positionals(args, {"--package"});
  if (!Flag(args, "--json")) return Fail("usage: forms --json FILE.veu [--package SAVER]");
  std::string error;
  DefinitionSource source;
  if (!source.Open(args, pos, 0, error)) return Fail(error);
  auto app = StartWidgets();

  vec::FormCollection forms;
  vec::Status loaded = forms.LoadDefinitions(source.path());
  Json j;
  j.BeginObject();
  j.Key("loaded").Bool(loaded.ok());
  j.Key("error");
  if (loaded.ok())
    j.Null();
  else
    j.String(loaded.error().message);
  j.Key("forms").BeginArray();
  for (const vec::FormDefinition& form : forms.forms()) WriteForm(j, forms, form, source.project());
  j.EndArray();
  j.EndObject();
  std::cout << j.Text() << "\n";
  return 0;
}

int RunFormShot(const Args& args) {
  auto pos = Positionals(args, {"--package", "--out"});
  const std::optional<std::string> out = Option(args, "--out");
  const char* usage = "usage: form-shot FILE.veu NAME [--package SAVER] --out OUT.png";
  if (!out || pos.empty()) return Fail(usage);
  // With a package alone the one positional is the window's name.
  const bool fileGiven = pos.size() >= 2;
  if (!fileGiven && !Option(args, "--package")) return Fail(usage);
  const std::string name = fileGiven ? pos[1] : pos[0];
  std::string error;
  DefinitionSource source;
  if (!source.Open(args, fileGiven ? pos : std::vector<std::string>{}, 0, error))
    return Fail(error);
  auto app = StartWidgets();

  vec::FormCollection forms;
  vec::Status loaded = forms.LoadDefinitions(source.path());
  if (loaded.is_error()) return Fail(loaded.error().message);
  auto built = vec::BuildDesignedWindow(forms, name);
  if (built.is_error()) return Fail(built.error().message);
  vec::DesignedWindow& window = *built.value();
  std::unique_ptr<FirstAppearance> first;
  if (vec::SaverSettings* project = source.project())
    first = std::make_unique<FirstAppearance>(forms, *project, window);
  else
    window.ApplyTagVisibility();
  window.show();
  QApplication::processEvents();
  if (!window.grab().save(QString::fromStdString(*out), "PNG")) return Fail("cannot write " + *out);
  return 0;
}

const Registration kForms{{"forms",
                           "forms --json FILE.veu [--package SAVER]   the designed windows of "
                           "a UI definition file and what is built from them",
                           RunForms}};
const Registration kFormShot{{"form-shot",
                              "form-shot FILE.veu NAME [--package SAVER] --out OUT.png   a "
                              "picture of a designed window as it first appears",
                              RunFormShot}};

}  // namespace
}  // namespace vectool
