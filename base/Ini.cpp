#include "base/Ini.h"

#include <charconv>
#include <fstream>
#include <limits>
#include <sstream>
#include <unordered_map>

namespace vec {
namespace {

constexpr size_t npos = static_cast<size_t>(-1);

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// "[name]" -> name (trimmed); nullopt when the line is no section header.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = TrimBlanks(line);
  return !line.empty() && line.front() == ';';
}

// Splits "key = value"; a line without '=' has no value.
void SplitKeyValue(std::string_view line, std::string_view& key,
                   std::optional<std::string_view>& value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    key = TrimBlanks(line);
    value.reset();
  } else {
    key = TrimBlanks(line.substr(0, eq));
    value = TrimBlanks(line.substr(eq + 1));
  }
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return std::string(v.substr(1, v.size() - 2));
  return std::string(v);
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::optional<int32_t> ParseIniInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (text.empty()) return std::nullopt;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) return std::nullopt;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(v);
}

IniDocument IniDocument::FromText(std::string_view text) {
  IniDocument doc;
  bool saw_crlf = false, saw_lf = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    std::string_view line =
        nl == std::string_view::npos ? text.substr(start) : text.substr(start, nl - start);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
      saw_crlf = true;
    } else if (nl != std::string_view::npos) {
      saw_lf = true;
    }
    doc.lines_.push_back(MakeLine(std::string(line)));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  if (saw_lf && !saw_crlf) doc.eol_ = "\n";
  doc.Reindex();
  return doc;
}

IniDocument::Line IniDocument::MakeLine(std::string raw) {
  const bool header = SectionName(raw).has_value();
  return Line{std::move(raw), header};
}

void IniDocument::Reindex() {
  firstSection_.clear();
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].header) firstSection_.try_emplace(LowerAscii(*SectionName(lines_[i].raw)), i);
}

IniDocument IniDocument::FromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::ostringstream ss;
  ss << in.rdbuf();
  return FromText(ss.str());
}

std::string IniDocument::ToText() const {
  std::string out;
  for (const Line& l : lines_) {
    out += l.raw;
    out += eol_;
  }
  return out;
}

bool IniDocument::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  std::string text = ToText();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

size_t IniDocument::FindSection(std::string_view section) const {
  auto hit = firstSection_.find(LowerAscii(TrimBlanks(section)));
  return hit == firstSection_.end() ? npos : hit->second;
}

size_t IniDocument::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && !lines_[i].header) ++i;
  return i;
}

template <typename Visit>
void IniDocument::ForEachKeyLine(size_t header, Visit visit) const {
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (IsComment(lines_[i].raw)) continue;
    std::string_view k;
    std::optional<std::string_view> v;
    SplitKeyValue(lines_[i].raw, k, v);
    if (!visit(i, k, v)) return;
  }
}

size_t IniDocument::FindKey(size_t header, std::string_view key) const {
  key = TrimBlanks(key);
  size_t found = npos;
  ForEachKeyLine(header, [&](size_t i, std::string_view k, std::optional<std::string_view> v) {
    if (!v || !EqualsNoCase(k, key)) return true;
    found = i;
    return false;
  });
  return found;
}

bool IniDocument::HasSection(std::string_view section) const {
  return FindSection(section) != npos;
}

std::optional<std::string> IniDocument::Value(std::string_view section,
                                              std::string_view key) const {
  size_t header = FindSection(section);
  if (header == npos) return std::nullopt;
  size_t i = FindKey(header, key);
  if (i == npos) return std::nullopt;
  std::string_view k;
  std::optional<std::string_view> v;
  SplitKeyValue(lines_[i].raw, k, v);
  return Unquote(*v);
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    std::string_view def) const {
  auto v = Value(section, key);
  return v ? *v : std::string(def);
}

int32_t IniDocument::ReadInteger(std::string_view section, std::string_view key,
                                 int32_t def) const {
  auto v = Value(section, key);
  if (!v) return def;
  auto n = ParseIniInteger(*v);
  return n ? *n : def;
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::string> IniDocument::SectionKeys(std::string_view section) const {
  std::vector<std::string> keys;
  size_t header = FindSection(section);
  if (header == npos) return keys;
  ForEachKeyLine(header, [&](size_t, std::string_view k, std::optional<std::string_view>) {
    if (!k.empty()) keys.emplace_back(k);
    return true;
  });
  return keys;
}

std::vector<IniDocument::KeyValue> IniDocument::SectionEntries(std::string_view section) const {
  std::vector<KeyValue> entries;
  size_t header = FindSection(section);
  if (header == npos) return entries;
  std::unordered_map<std::string, std::string> firstValue;
  ForEachKeyLine(header, [&](size_t, std::string_view k, std::optional<std::string_view> v) {
    if (k.empty()) return true;
    if (v) firstValue.try_emplace(LowerAscii(k), Unquote(*v));
    entries.push_back({std::string(k), std::nullopt});
    return true;
  });
  for (KeyValue& e : entries) {
    if (auto it = firstValue.find(LowerAscii(e.key)); it != firstValue.end()) e.value = it->second;
  }
  return entries;
}

void IniDocument::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  WriteKey(section, key, value, /*replace=*/true);
}

void IniDocument::AppendKey(std::string_view section, std::string_view key,
                            std::string_view value) {
  WriteKey(section, key, value, /*replace=*/false);
}

void IniDocument::WriteKey(std::string_view section, std::string_view key, std::string_view value,
                           bool replace) {
  std::string line = std::string(TrimBlanks(key)) + "=" + std::string(value);
  size_t header = FindSection(section);
  if (header == npos) {
    lines_.push_back(MakeLine("[" + std::string(TrimBlanks(section)) + "]"));
    lines_.push_back(MakeLine(std::move(line)));
    Reindex();
    return;
  }
  if (replace) {
    if (size_t i = FindKey(header, key); i != npos) {
      lines_[i] = MakeLine(std::move(line));
      Reindex();
      return;
    }
  }
  AppendLine(header, std::move(line));
}

void IniDocument::AppendLine(size_t header, std::string line) {
  // Append after the last non-blank line of the section.
  size_t end = SectionEnd(header);
  size_t at = end;
  while (at > header + 1 && TrimBlanks(lines_[at - 1].raw).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), MakeLine(std::move(line)));
  Reindex();
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void IniDocument::EraseSection(std::string_view section) {
  for (;;) {
    size_t header = FindSection(section);
    if (header == npos) return;
    size_t end = SectionEnd(header);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    Reindex();
  }
}

}  // namespace vec
