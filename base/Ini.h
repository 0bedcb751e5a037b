#pragma once
// An in-memory INI document with the platform's profile-file semantics:
// section and key names compare case-insensitively, the first match wins,
// blanks around names and values are trimmed, a value wrapped in a pair of
// matching quotes loses them. Saving keeps every line that was not changed
// exactly as it was read.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vec {

// Decimal integer with an optional sign and nothing else (after trimming).
// Anything else, or a value outside 32 bits, is "missing".
std::optional<int32_t> ParseIniInteger(std::string_view text);

class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument FromText(std::string_view text);
  // A missing or unreadable file gives an empty document.
  static IniDocument FromFile(const std::string& path);

  std::string ToText() const;
  bool SaveToFile(const std::string& path) const;

  bool HasSection(std::string_view section) const;
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  // Key names of a section in file order (empty when the section is missing).
  std::vector<std::string> SectionKeys(std::string_view section) const;
  // The keys of a section in file order, each with the value a read of that key gives (the
  // first line of that name with a value; none when no line of that name has one). One pass
  // over the section, where a read per key would make long lists quadratic.
  struct KeyValue {
    std::string key;
    std::optional<std::string> value;
  };
  std::vector<KeyValue> SectionEntries(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void EraseSection(std::string_view section);
  // Adds "key=value" after the last key of the section (created when missing) without
  // replacing a key of the same name: for lists whose keys differ only in case.
  void AppendKey(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct Line {
    std::string raw;  // as read (without the line break)
    bool header = false;
  };
  static Line MakeLine(std::string raw);
  // Rebuilds firstSection_ after lines were added, changed or removed.
  void Reindex();
  // Index of the first line of the first section with this name, or npos.
  size_t FindSection(std::string_view section) const;
  // End (exclusive) of the section body that starts after header line `header`.
  size_t SectionEnd(size_t header) const;
  size_t FindKey(size_t header, std::string_view key) const;
  // Calls visit(line, key, value) for each line of the section body after `header` that is
  // not a comment, in order, until visit returns false. `value` is empty for a line without
  // "=".
  template <typename Visit>
  void ForEachKeyLine(size_t header, Visit visit) const;
  // Sets the key's first line when `replace` and it exists; otherwise adds a line at the end
  // of the section (made when missing).
  void WriteKey(std::string_view section, std::string_view key, std::string_view value,
                bool replace);
  void AppendLine(size_t header, std::string line);

  std::vector<Line> lines_;
  // Lower-case section name -> its first header line: a read looks a section up without
  // scanning the document (objects texts hold thousands of sections).
  std::unordered_map<std::string, size_t> firstSection_;
  std::string eol_ = "\r\n";
};

bool EqualsNoCase(std::string_view a, std::string_view b);
// `s` with A-Z made a-z: two texts are EqualsNoCase exactly when these are equal.
std::string LowerAscii(std::string_view s);
std::string_view TrimBlanks(std::string_view s);

}  // namespace vec
