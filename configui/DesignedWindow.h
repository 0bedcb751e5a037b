#pragma once
// A window built from a form text, with its controls. Besides the widgets it keeps a plain
// record of what was built (names, classes, parents, tags, design geometry, texts), so a
// window can be inspected and printed without a screen, and it re-applies alignment and
// anchors to every container whenever a container changes size.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "configui/FormLayout.h"
#include "configui/FormTextReader.h"
#include "configui/WindowStyle.h"

class QLabel;
class QTimer;

namespace vec {

struct BuiltControl {
  std::string name;        // Windows-1252, as written
  std::string className;   // "TLabel", "TMyButton", ...
  std::string parentName;  // the enclosing control, or the window's name
  int64_t tag = 0;
  // As designed (Left, Top, Width, Height); an image or label with AutoSize as it sized
  // itself to its picture or text.
  FormRect geometry;
  std::optional<std::string> caption;  // Windows-1252, for classes that carry one
  std::optional<std::string> text;
  const FormObject* definition = nullptr;  // owned by the window
  QWidget* widget = nullptr;               // parent-owned; nullptr for a timer
  QTimer* timer = nullptr;                 // for TTimer only
};

// A label with AutoSize (the toolkit's default, so designed labels mostly have it) takes
// the size of its text as shown, in the font it is shown in: its designed size fits the
// author's font, and a wider one (the Windows fonts are missing here) would cut the text.
// A right-justified label keeps its right edge; a word-wrapped one breaks its text at its
// present width and takes the lines' height. Changes `geometry` (the label's rectangle) for
// a label of `definition` with AutoSize; returns whether it did.
bool FitAutoSizeLabel(const FormObject& definition, const QLabel& label, FormRect& geometry);

struct WindowModel {
  std::string name;
  std::string caption;  // Windows-1252
  FormRect geometry;    // position and client size
  WindowStyle style;
};

class DesignedWindow : public QDialog {
 public:
  explicit DesignedWindow(FormObject definition, QWidget* parent = nullptr);
  ~DesignedWindow() override;

  const FormObject& definition() const { return *definition_; }
  const WindowModel& model() const { return model_; }
  WindowModel& model() { return model_; }
  const std::vector<BuiltControl>& controls() const { return controls_; }
  std::vector<BuiltControl>& controls() { return controls_; }
  const BuiltControl* FindControl(std::string_view name) const;

  // Registers a container (the window itself, a panel, a tab sheet) whose children are
  // laid out by alignment and anchors, designed at the given client size.
  void AddLayoutContainer(QWidget* container, int designWidth, int designHeight);
  void AddToContainer(QWidget* container, QWidget* child, const ChildLayout& layout);
  // Lays out every registered container at its present size.
  void LayoutAll();

  // A label with AutoSize sized again to its text, after the text changed (a placeholder
  // filled in): its rectangle and the one its container lays it out from.
  void RefitAutoSizeLabel(BuiltControl& control);

  // Shows or hides each control by bit 0 of its Tag, as designed windows do when shown;
  // tab sheets and timers are left alone.
  void ApplyTagVisibility();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // A designed window has no default or cancel button: Escape does not close it, and
  // Enter clicks only a push button that has the focus (which handles it itself).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Container {
    QWidget* widget = nullptr;
    int designWidth = 0;
    int designHeight = 0;
    std::vector<QWidget*> children;
    std::vector<ChildLayout> layouts;
  };
  void Layout(Container& container);

  std::unique_ptr<FormObject> definition_;
  WindowModel model_;
  std::vector<BuiltControl> controls_;
  std::vector<Container> containers_;
};

}  // namespace vec
