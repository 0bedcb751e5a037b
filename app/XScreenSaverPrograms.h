#pragma once
// The "programs:" resource of an XScreenSaver settings file (~/.xscreensaver). The resource is
// one X resource continued over several lines: every line but its last ends in a backslash,
// and the two characters "\n" separate its entries. Each entry is
// "[-] [visual:] ["label"] command". The file is kept as its lines so that an edit changes
// only the lines it must and can be undone exactly.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vec {

struct ProgramEntry {
  bool enabled = true;  // a leading '-' turns an entry off
  std::string visual;   // "GL" for "GL:", else empty
  std::string label;    // the quoted label, else empty
  std::string command;  // the shell command
  // The first word of the command: the program it runs.
  std::string Program() const;
};

// One entry's text; nullopt when it is blank.
std::optional<ProgramEntry> ParseProgramEntry(std::string_view text);

// What adding an entry changed, so that removing it can restore the lines it touched.
struct ProgramsEdit {
  std::string addedLine;           // the new line holding the entry
  std::string lineBefore;          // the resource's former last line, as it was...
  std::string lineAfter;           // ...and as the edit left it (continued)
  bool addedResource = false;      // the file had no programs resource: a header line was added
  bool addedFinalNewline = false;  // the file did not end in a line break before the edit
};

class XScreenSaverFile {
 public:
  explicit XScreenSaverFile(std::string_view text);
  std::string Text() const;

  // Line indices [first, last] of the programs resource; nullopt when the file has none.
  struct Span {
    size_t first = 0;
    size_t last = 0;
  };
  std::optional<Span> ProgramsSpan() const;
  // The entries of the resource's value, blank ones left out.
  std::vector<ProgramEntry> Programs() const;
  // Whether an entry (on or off) runs `program`.
  bool ListsProgram(std::string_view program) const;

  // Adds `entry` (e.g. "\"Label\"  /path/saver -root") as a new last line of the resource,
  // continuing the line before it; a file without the resource gets one at its end.
  ProgramsEdit AddProgram(std::string_view entry);
  // Removes the line an AddProgram made (found by its text, else as the one line whose entry
  // runs `program`) and gives the line before it back its former text; when that line has
  // changed since, it only loses its continuation so the resource stays valid. False when
  // no such line is found.
  bool RemoveProgram(const ProgramsEdit& edit, std::string_view program);

 private:
  bool Continues(size_t line) const;
  std::vector<std::string> lines_;  // split at '\n'; a final line break leaves an empty last one
};

// The settings file written when the user has none: a quiet start with one saver selected.
std::string DefaultXScreenSaverText();

}  // namespace vec
