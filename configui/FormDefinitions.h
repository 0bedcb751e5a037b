#pragma once
// The saver's designed windows as the package carries them (VEGUI.veu): for each window its
// form text in the authoring tool's object-text format and the actions bound to its
// controls. The texts stay Windows-1252 bytes; conversion to UTF-8 happens at the widgets.
//
// File layout, one item per line (CR LF, a bare CR or a bare LF ends a line):
//   N                       number of forms (0 or less: none)
//   then N times:
//     L1, L1 lines          the form text
//     L2, L2 lines          the action text: K, then K groups of five lines
//                           (control name, kind, three parameters)
//     L3, L3 lines          a block the authoring tool keeps for itself; skipped
//
// Counts are read with ParseIniInteger: an optional sign and decimal digits, blanks around
// them allowed, 32 bits. Anything else is an error, as is a count that runs past the end
// of the file; nothing is allocated for a count before the lines it claims are known to be
// there, so a damaged count cannot make the loader allocate beyond what the file holds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Result.h"

namespace vec {

struct Action {
  std::string controlName;
  // The low byte of the kind written in the file: 256 reads 0, -1 reads 255.
  uint8_t kind = 0;
  std::string param1;
  std::string param2;
  std::string param3;
};

// The actions of one window, in file order. Names compare without regard to case and the
// first action for a name wins.
class ActionList {
 public:
  // Replaces the list with the actions of `text` (lines as above). An empty text gives an
  // empty list; a negative count gives none. On an error the list is left empty.
  Status LoadActions(std::string_view text);
  const Action* FindAction(std::string_view controlName) const;

  const std::vector<Action>& actions() const { return actions_; }
  size_t size() const { return actions_.size(); }
  bool empty() const { return actions_.empty(); }

 private:
  std::vector<Action> actions_;
};

// The three line counts a form entry of the file declares; all 0 for a form added from
// texts.
struct FormLineCounts {
  int32_t form = 0;
  int32_t action = 0;
  int32_t designer = 0;
};

struct FormDefinition {
  std::string name;
  std::vector<std::string> lines;
  ActionList actions;
  FormLineCounts lineCounts;

  // The form text rewritten so that it reads as one of the runtime's own windows: the first
  // line becomes "object NAME: TfmVEConfigWindow", and every event binding, every
  // BorderIcons, BorderStyle and FormStyle line and the first Visible line are dropped.
  // Lines end in CR LF. Sets `name` again from the first line.
  std::string PrepareFormText();
};

// The window name in a form text's first line: what follows its first seven characters
// ("object ") up to the first colon; empty when there is no colon.
std::string FormNameFromFirstLine(std::string_view line);

class FormCollection {
 public:
  // Discards every form held, then reads the file. On an error the collection is left
  // empty and the error names the file and the line.
  Status LoadDefinitions(const std::string& path);
  // The same from the file's text; `source` names it in error messages.
  Status LoadDefinitionsFromText(std::string_view text, std::string_view source = "UI definitions");

  // Appends a form made of `formText` (split into lines) and `actionText`. Its name comes
  // from the first line; a form text without any line is refused.
  Status AddForm(std::string_view formText, std::string_view actionText);

  // The first form of that name (ignoring case, and blanks and line breaks around `name`),
  // or nullptr.
  const FormDefinition* FindForm(std::string_view name) const;
  FormDefinition* FindForm(std::string_view name);

  const std::vector<FormDefinition>& forms() const { return forms_; }
  size_t size() const { return forms_.size(); }
  bool empty() const { return forms_.empty(); }
  void Clear() { forms_.clear(); }

 private:
  Status AddFormLines(std::vector<std::string> lines, std::string_view actionText);

  std::vector<FormDefinition> forms_;
};

}  // namespace vec
