#include "configui/FormDefinitions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "base/Ini.h"
#include "base/TextLines.h"
#include "configui/FormNames.h"

namespace vec {
namespace {

// A definition file holds a few windows with their pictures as hexadecimal text; this is far
// beyond any real one and keeps a wrong path (a disk image, a device) from being slurped.
constexpr size_t kMaxDefinitionFileBytes = size_t{64} << 20;

Error MakeError(ErrorCode code, std::string message) {
  return Error::Make(code, std::move(message));
}

std::string Quoted(std::string_view text) {
  constexpr size_t kShown = 40;
  std::string out = "\"";
  out += text.substr(0, kShown);
  if (text.size() > kShown) out += "...";
  out += "\"";
  return out;
}

ErrorOr<std::string> ReadDefinitionFile(const std::string& path) {
  // Non-blocking so that a FIFO at the path cannot stall the start; only regular files pass.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return MakeError(ErrorCode::OpenFailed, "Cannot open the UI definition file \"" + path +
                                                "\": " + std::strerror(errno));
  }
  struct FdCloser {
    int fd;
    ~FdCloser() { close(fd); }
  } closer{fd};
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    return MakeError(ErrorCode::OpenFailed,
                     "The UI definition file \"" + path + "\" is not a regular file");
  }
  std::string text;
  char buffer[64 * 1024];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      return MakeError(ErrorCode::OpenFailed, "Cannot read the UI definition file \"" + path +
                                                  "\": " + std::strerror(errno));
    }
    if (n == 0) break;
    if (text.size() + static_cast<size_t>(n) > kMaxDefinitionFileBytes) {
      return MakeError(ErrorCode::TooLarge,
                       "The UI definition file \"" + path + "\" is larger than " +
                           std::to_string(kMaxDefinitionFileBytes >> 20) + " MiB");
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

// Walks the file's lines. `cursor` is the index of the line read last, as in the layout's
// description: each count is read from the line after it.
class DefinitionReader {
 public:
  DefinitionReader(std::vector<std::string>& lines, std::string_view source)
      : lines_(lines), source_(source) {}

  // The count on the next line; `what` names it in errors.
  ErrorOr<int32_t> NextCount(const std::string& what) {
    ++cursor_;
    if (cursor_ >= lines_.size()) {
      return Fail(ErrorCode::Truncated, cursor_, "the file ends where " + what + " was expected");
    }
    std::optional<int32_t> n = ParseIniInteger(lines_[cursor_]);
    if (!n) {
      return Fail(ErrorCode::Syntax, cursor_,
                  what + " " + Quoted(lines_[cursor_]) + " is not an integer");
    }
    return *n;
  }

  // A count of lines that follow: not negative and not beyond the last line.
  Status CheckBlock(int32_t count, const std::string& what) {
    if (count < 0) {
      return Fail(ErrorCode::BadSize, cursor_,
                  what + " is negative (" + std::to_string(count) + ")");
    }
    size_t remaining = lines_.size() - 1 - cursor_;
    if (static_cast<size_t>(count) > remaining) {
      return Fail(ErrorCode::Truncated, cursor_,
                  what + " (" + std::to_string(count) + " lines) runs past the end of the file (" +
                      std::to_string(remaining) + " lines follow)");
    }
    return {};
  }

  // Takes the next `count` lines, already checked by CheckBlock.
  std::vector<std::string> TakeLines(int32_t count) {
    auto first = lines_.begin() + static_cast<std::ptrdiff_t>(cursor_ + 1);
    std::vector<std::string> taken(first, first + count);
    cursor_ += static_cast<size_t>(count);
    return taken;
  }

  // The action text: the next `count` lines joined with CR LF, an empty line read as one
  // blank (so that trailing empty parameters keep their lines).
  std::string TakeActionText(int32_t count) {
    std::string text;
    for (int32_t k = 0; k < count; ++k) {
      std::string& line = lines_[++cursor_];
      if (line.empty()) line = " ";
      if (k > 0) text += "\r\n";
      text += line;
    }
    return text;
  }

  void Skip(int32_t count) { cursor_ += static_cast<size_t>(count); }
  size_t cursor() const { return cursor_; }

  Error Fail(ErrorCode code, size_t lineIndex, const std::string& what) const {
    return MakeError(
        code, std::string(source_) + ": line " + std::to_string(lineIndex + 1) + ": " + what);
  }

 private:
  std::vector<std::string>& lines_;
  std::string_view source_;
  size_t cursor_ = 0;
};

// Reads `formCount` forms and hands each to `add` (form lines, action text), then its
// three line counts to `count`.
template <class AddForm, class CountLines>
Status ReadForms(DefinitionReader& reader, int32_t formCount, const AddForm& add,
                 const CountLines& count) {
  for (int32_t f = 1; f <= formCount; ++f) {
    std::string form = "form " + std::to_string(f);
    int32_t formLines = TRY(reader.NextCount("the line count of " + form + "'s text"));
    TRY(reader.CheckBlock(formLines, "the text of " + form));
    if (formLines == 0) {
      return reader.Fail(ErrorCode::Corrupt, reader.cursor(),
                         form + " has no text; its first line must name the window");
    }
    std::vector<std::string> formText = reader.TakeLines(formLines);

    int32_t actionLines = TRY(reader.NextCount("the line count of " + form + "'s actions"));
    TRY(reader.CheckBlock(actionLines, "the action text of " + form));
    size_t actionCountLine = reader.cursor();
    std::string actionText = reader.TakeActionText(actionLines);

    Status added = add(std::move(formText), actionText);
    if (added.is_error()) {
      return reader.Fail(added.error().code, actionCountLine,
                         "the actions of " + form + ": " + added.error().message);
    }

    int32_t designerLines =
        TRY(reader.NextCount("the line count of " + form + "'s designer block"));
    TRY(reader.CheckBlock(designerLines, "the designer block of " + form));
    reader.Skip(designerLines);
    count(FormLineCounts{formLines, actionLines, designerLines});
  }
  return {};
}

unsigned char Upper(char c) {
  return UpperCp1252(static_cast<unsigned char>(c));
}

// The first characters of `line`, upper-cased, are `word` (given in upper case).
bool StartsWithUpper(std::string_view line, std::string_view word) {
  if (line.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    if (Upper(line[i]) != static_cast<unsigned char>(word[i])) return false;
  }
  return true;
}

// An event binding: "On" and then a character that upper-casing leaves alone ("OnClick",
// "On2", "On = x", a bare "On"), but not "Online".
bool IsEventLine(std::string_view line) {
  if (line.size() < 2 || line[0] != 'O' || line[1] != 'n') return false;
  return line.size() == 2 || Upper(line[2]) == static_cast<unsigned char>(line[2]);
}

}  // namespace

std::string FormNameFromFirstLine(std::string_view line) {
  std::string_view rest = line.size() > 7 ? line.substr(7) : std::string_view{};
  size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return {};
  return std::string(rest.substr(0, colon));
}

Status ActionList::LoadActions(std::string_view text) {
  actions_.clear();
  if (text.empty()) return {};
  std::vector<std::string> lines = SplitLines(text);  // a text that is not empty has a line
  std::optional<int32_t> count = ParseIniInteger(lines[0]);
  if (!count) {
    return MakeError(ErrorCode::Syntax,
                     "the action count " + Quoted(lines[0]) + " is not an integer");
  }
  if (*count <= 0) return {};
  size_t available = (lines.size() - 1) / 5;
  if (static_cast<size_t>(*count) > available) {
    return MakeError(ErrorCode::Truncated, std::to_string(*count) + " actions need " +
                                               std::to_string(5 * int64_t{*count}) +
                                               " lines after the count, but the action text has " +
                                               std::to_string(lines.size() - 1));
  }
  std::vector<Action> actions;
  actions.reserve(static_cast<size_t>(*count));
  for (int32_t k = 0; k < *count; ++k) {
    size_t first = 1 + 5 * static_cast<size_t>(k);
    std::optional<int32_t> kind = ParseIniInteger(lines[first + 1]);
    if (!kind) {
      return MakeError(ErrorCode::Syntax, "the kind " + Quoted(lines[first + 1]) + " of action " +
                                              std::to_string(k + 1) + " (" + Quoted(lines[first]) +
                                              ") is not an integer");
    }
    actions.push_back(Action{std::move(lines[first]), static_cast<uint8_t>(*kind),
                             std::move(lines[first + 2]), std::move(lines[first + 3]),
                             std::move(lines[first + 4])});
  }
  actions_ = std::move(actions);
  return {};
}

const Action* ActionList::FindAction(std::string_view controlName) const {
  for (const Action& action : actions_) {
    if (SameNameNoCase(action.controlName, controlName)) return &action;
  }
  return nullptr;
}

std::string FormDefinition::PrepareFormText() {
  if (lines.empty()) return {};
  name = FormNameFromFirstLine(lines[0]);
  std::string text = "object " + name + ": TfmVEConfigWindow\r\n";
  // Deleting a line moves the next one under the index, so the walk looks at every line of
  // the text exactly once; one pass that copies the kept lines does the same.
  bool visibleDeleted = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string_view line = TrimControlsAndBlanks(lines[i]);
    bool drop = false;
    if (IsEventLine(line) || StartsWithUpper(line, "BORDERICONS") ||
        StartsWithUpper(line, "BORDERSTYLE") || StartsWithUpper(line, "FORMSTYLE")) {
      drop = true;
    } else if (StartsWithUpper(line, "VISIBLE") && !visibleDeleted) {
      drop = true;
      visibleDeleted = true;
    }
    if (drop) continue;
    text += lines[i];
    text += "\r\n";
  }
  return text;
}

Status FormCollection::LoadDefinitions(const std::string& path) {
  forms_.clear();
  std::string text = TRY(ReadDefinitionFile(path));
  return LoadDefinitionsFromText(text, "UI definition file \"" + path + "\"");
}

Status FormCollection::LoadDefinitionsFromText(std::string_view text, std::string_view source) {
  forms_.clear();
  std::vector<std::string> lines = SplitLines(text);
  if (lines.empty()) {
    return MakeError(
        ErrorCode::Truncated,
        std::string(source) + " is empty: its first line must hold the number of forms");
  }
  std::optional<int32_t> formCount = ParseIniInteger(lines[0]);
  if (!formCount) {
    return MakeError(ErrorCode::Syntax, std::string(source) + ": line 1: the form count " +
                                            Quoted(lines[0]) + " is not an integer");
  }
  DefinitionReader reader(lines, source);
  Status status = ReadForms(
      reader, *formCount,
      [this](std::vector<std::string> formLines, std::string_view actionText) {
        return AddFormLines(std::move(formLines), actionText);
      },
      [this](FormLineCounts counts) { forms_.back().lineCounts = counts; });
  if (status.is_error()) forms_.clear();
  return status;
}

Status FormCollection::AddForm(std::string_view formText, std::string_view actionText) {
  return AddFormLines(SplitLines(formText), actionText);
}

Status FormCollection::AddFormLines(std::vector<std::string> lines, std::string_view actionText) {
  if (lines.empty()) {
    return MakeError(ErrorCode::Corrupt,
                     "the form text is empty; its first line must name the window");
  }
  FormDefinition form;
  TRY(form.actions.LoadActions(actionText));
  form.name = FormNameFromFirstLine(lines[0]);
  form.lines = std::move(lines);
  forms_.push_back(std::move(form));
  return {};
}

const FormDefinition* FormCollection::FindForm(std::string_view name) const {
  name = TrimControlsAndBlanks(name);
  for (const FormDefinition& form : forms_) {
    if (SameNameNoCase(form.name, name)) return &form;
  }
  return nullptr;
}

FormDefinition* FormCollection::FindForm(std::string_view name) {
  return const_cast<FormDefinition*>(std::as_const(*this).FindForm(name));
}

}  // namespace vec
