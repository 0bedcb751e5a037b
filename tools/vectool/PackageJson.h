#pragma once
// A small streaming JSON writer for the package commands: two-space indentation, keys in the
// order written, stored Windows-1252 texts converted to UTF-8.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/TextEncoding.h"

namespace vectool {

class Json {
 public:
  Json& BeginObject() { return Open('{'); }
  Json& EndObject() { return Close('}'); }
  Json& BeginArray() { return Open('['); }
  Json& EndArray() { return Close(']'); }
  Json& Key(std::string_view k) {
    Separate();
    Quote(k);
    out_ += ": ";
    afterKey_ = true;
    return *this;
  }
  Json& String(std::string_view s) {
    Separate();
    Quote(vec::Cp1252ToUtf8(s));
    return *this;
  }
  Json& Number(int64_t n) { return Raw(std::to_string(n)); }
  Json& Bool(bool b) { return Raw(b ? "true" : "false"); }
  Json& Null() { return Raw("null"); }
  const std::string& Text() const { return out_; }

 private:
  Json& Raw(std::string_view text) {
    Separate();
    out_ += text;
    return *this;
  }
  Json& Open(char c) {
    Separate();
    out_ += c;
    counts_.push_back(0);
    return *this;
  }
  Json& Close(char c) {
    bool empty = counts_.back() == 0;
    counts_.pop_back();
    if (!empty) NewLine();
    out_ += c;
    return *this;
  }
  // Before a value or key: a comma and a new line inside containers; nothing after a key.
  void Separate() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (counts_.empty()) return;
    if (counts_.back()++ > 0) out_ += ',';
    NewLine();
  }
  void NewLine() {
    out_ += '\n';
    out_.append(2 * counts_.size(), ' ');
  }
  void Quote(std::string_view s) {
    out_ += '"';
    for (unsigned char c : s) {
      switch (c) {
        case '"':
          out_ += "\\\"";
          break;
        case '\\':
          out_ += "\\\\";
          break;
        case '\n':
          out_ += "\\n";
          break;
        case '\r':
          out_ += "\\r";
          break;
        case '\t':
          out_ += "\\t";
          break;
        default:
          if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out_ += buf;
          } else {
            out_ += static_cast<char>(c);
          }
      }
    }
    out_ += '"';
  }

  std::string out_;
  std::vector<int> counts_;  // values written so far in each open container
  bool afterKey_ = false;
};

}  // namespace vectool
