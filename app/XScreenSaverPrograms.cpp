#include "app/XScreenSaverPrograms.h"

namespace vec {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kResourceName = "programs";
constexpr std::string_view kAddedHeader = "programs:\t\\";

std::string_view TrimBlanks(std::string_view s) {
  size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(kBlanks);
  return s.substr(b, e - b + 1);
}

// An odd number of trailing backslashes continues the resource on the next line; an even
// number is escaped backslashes.
bool EndsInContinuation(std::string_view line) {
  size_t n = 0;
  while (n < line.size() && line[line.size() - 1 - n] == '\\') ++n;
  return n % 2 == 1;
}

// The position just behind "programs:" when the line starts the resource.
std::optional<size_t> ValueStart(std::string_view line) {
  size_t p = line.find_first_not_of(kBlanks);
  if (p == std::string_view::npos || line.substr(p, kResourceName.size()) != kResourceName)
    return std::nullopt;
  p = line.find_first_not_of(kBlanks, p + kResourceName.size());
  if (p == std::string_view::npos || line[p] != ':') return std::nullopt;
  return p + 1;
}

// The part of a line that belongs to the resource value: behind the header's colon, without
// the continuation backslash.
std::string_view ValuePart(std::string_view line, bool header) {
  if (header) line.remove_prefix(*ValueStart(line));
  if (EndsInContinuation(line)) line.remove_suffix(1);
  return line;
}

bool EndsWithNewlineEscape(std::string_view value) {
  value = TrimBlanks(value);
  return value.size() >= 2 && value.substr(value.size() - 2) == "\\n";
}

std::vector<std::string> SplitEntries(std::string_view value) {
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t i = 0; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && value[i + 1] == 'n') {
      out.emplace_back(value.substr(start, i - start));
      start = i + 2;
      ++i;
    } else if (value[i] == '\\') {
      ++i;  // an escaped character, such as "\\"
    }
  }
  out.emplace_back(value.substr(start));
  return out;
}

}  // namespace

std::string ProgramEntry::Program() const {
  std::string_view c = TrimBlanks(command);
  return std::string(c.substr(0, c.find_first_of(kBlanks)));
}

std::optional<ProgramEntry> ParseProgramEntry(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  if (s.empty()) return std::nullopt;
  ProgramEntry e;
  if (s[0] == '-') {
    e.enabled = false;
    s = TrimBlanks(s.substr(1));
  }
  // "visual:" is a first word that ends in a colon.
  size_t word = s.find_first_of(" \t\"");
  std::string_view first = s.substr(0, word);
  if (first.size() > 1 && first.back() == ':') {
    e.visual = std::string(first.substr(0, first.size() - 1));
    s = TrimBlanks(s.substr(first.size()));
  }
  if (!s.empty() && s[0] == '"') {
    size_t close = s.find('"', 1);
    if (close != std::string_view::npos) {
      e.label = std::string(s.substr(1, close - 1));
      s = TrimBlanks(s.substr(close + 1));
    }
  }
  e.command = std::string(s);
  if (e.command.empty()) return std::nullopt;
  return e;
}

XScreenSaverFile::XScreenSaverFile(std::string_view text) {
  size_t start = 0;
  for (;;) {
    size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) {
      lines_.emplace_back(text.substr(start));
      break;
    }
    lines_.emplace_back(text.substr(start, nl - start));
    start = nl + 1;
  }
}

std::string XScreenSaverFile::Text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += '\n';
    out += lines_[i];
  }
  return out;
}

bool XScreenSaverFile::Continues(size_t line) const {
  return EndsInContinuation(lines_[line]);
}

std::optional<XScreenSaverFile::Span> XScreenSaverFile::ProgramsSpan() const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!ValueStart(lines_[i])) continue;
    Span span{i, i};
    while (span.last + 1 < lines_.size() && Continues(span.last)) ++span.last;
    return span;
  }
  return std::nullopt;
}

std::vector<ProgramEntry> XScreenSaverFile::Programs() const {
  std::vector<ProgramEntry> out;
  auto span = ProgramsSpan();
  if (!span) return out;
  std::string value;
  for (size_t i = span->first; i <= span->last; ++i)
    value += ValuePart(lines_[i], i == span->first);
  for (const std::string& text : SplitEntries(value))
    if (auto e = ParseProgramEntry(text)) out.push_back(std::move(*e));
  return out;
}

bool XScreenSaverFile::ListsProgram(std::string_view program) const {
  for (const ProgramEntry& e : Programs())
    if (e.Program() == program) return true;
  return false;
}

ProgramsEdit XScreenSaverFile::AddProgram(std::string_view entry) {
  ProgramsEdit edit;
  edit.addedLine = "\t\t" + std::string(entry) + " \\n";
  auto span = ProgramsSpan();
  if (!span) {
    // A new resource at the end of the file, ahead of the final line break.
    edit.addedResource = true;
    if (!lines_.back().empty()) {
      edit.addedFinalNewline = true;
      lines_.emplace_back();
    }
    lines_.insert(lines_.end() - 1, {std::string(kAddedHeader), edit.addedLine});
    return edit;
  }
  std::string& last = lines_[span->last];
  edit.lineBefore = last;
  std::string_view value = ValuePart(last, span->first == span->last);
  // The entry must start a new entry of the value: the line before ends in "\n" or holds
  // none (the bare header).
  if (TrimBlanks(value).empty() || EndsWithNewlineEscape(value))
    last += "\\";
  else
    last += " \\n\\";
  edit.lineAfter = last;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(span->last) + 1, edit.addedLine);
  return edit;
}

bool XScreenSaverFile::RemoveProgram(const ProgramsEdit& edit, std::string_view program) {
  auto span = ProgramsSpan();
  if (!span) return false;
  std::optional<size_t> found;
  for (size_t i = span->first + 1; i <= span->last && !found; ++i)
    if (lines_[i] == edit.addedLine) found = i;
  // The file may have been rewritten since: look for the one line that runs the program.
  for (size_t i = span->first + 1; i <= span->last && !found; ++i) {
    std::vector<std::string> entries = SplitEntries(ValuePart(lines_[i], false));
    size_t nonBlank = 0;
    bool runs = false;
    for (const std::string& text : entries) {
      if (auto e = ParseProgramEntry(text)) {
        ++nonBlank;
        runs = runs || e->Program() == program;
      }
    }
    if (nonBlank == 1 && runs) found = i;
  }
  if (!found) return false;
  const size_t i = *found;
  const bool wasLast = i == span->last;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  std::string& before = lines_[i - 1];
  if (!wasLast) return true;
  if (edit.addedResource && i - 1 == span->first && before == kAddedHeader) {
    // The resource was ours alone: the header goes too.
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i - 1));
    if (edit.addedFinalNewline && lines_.size() > 1 && lines_.back().empty()) lines_.pop_back();
  } else if (!edit.lineAfter.empty() && before == edit.lineAfter) {
    before = edit.lineBefore;
  } else if (EndsInContinuation(before)) {
    before.pop_back();
  }
  return true;
}

std::string DefaultXScreenSaverText() {
  return "# XScreenSaver settings, written by vecsaver --install.\n"
         "timeout:\t0:10:00\n"
         "cycle:\t\t0:10:00\n"
         "lock:\t\tFalse\n"
         "mode:\t\tone\n"
         "selected:\t0\n";
}

}  // namespace vec
