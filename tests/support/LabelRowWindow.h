#pragma once
// The UI definition text of a test's configuration window: one "MainWindow" of the given
// size (as large as the screen, so it lies at 0, 0 without a window manager) on white, with
// a row of 100 x 40 labels from the left edge, each bound to an action kind.

#include <string>
#include <utility>
#include <vector>

namespace vec::testing {

// `labels`: the control's name and its action kind ("Next picture" is 2, "Close window" 6,
// ...), left to right.
inline std::string LabelRowWindow(const std::vector<std::pair<std::string, int>>& labels,
                                  const std::string& caption = "<ScreensaverName>", int width = 640,
                                  int height = 480) {
  std::vector<std::string> form = {"object MainWindow: TForm", "  Caption = '" + caption + "'",
                                   "  ClientWidth = " + std::to_string(width),
                                   "  ClientHeight = " + std::to_string(height),
                                   "  Color = clWhite"};
  for (size_t i = 0; i < labels.size(); ++i)
    for (const std::string& l :
         {"  object " + labels[i].first + ": TLabel", "    Left = " + std::to_string(i * 100),
          std::string("    Top = 0"), std::string("    Width = 100"),
          std::string("    Height = 40"), std::string("    AutoSize = False"),
          std::string("    Caption = 'Go'"), std::string("    Tag = 1"), std::string("  end")})
      form.push_back(l);
  form.push_back("end");
  std::vector<std::string> actions = {std::to_string(labels.size())};
  for (const auto& [name, kind] : labels)
    for (const std::string& l :
         {name, std::to_string(kind), std::string(" "), std::string(" "), std::string(" ")})
      actions.push_back(l);
  std::string text = "1\r\n" + std::to_string(form.size()) + "\r\n";
  for (const auto& l : form) text += l + "\r\n";
  text += std::to_string(actions.size()) + "\r\n";
  for (const auto& l : actions) text += l + "\r\n";
  return text + "1\r\nDummy\r\n";
}

}  // namespace vec::testing
