#include "configui/FormTextReader.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <utility>

#include "base/TextEncoding.h"
#include "configui/FormNames.h"

namespace vec {
namespace {

static_assert(std::is_same_v<
              std::variant_alternative_t<static_cast<size_t>(FormValueKind::Real), FormValue::Data>,
              double>);
static_assert(
    std::is_same_v<
        std::variant_alternative_t<static_cast<size_t>(FormValueKind::Collection), FormValue::Data>,
        FormCollectionValue>,
    "FormValueKind follows the order of FormValue::Data");

constexpr std::array<std::string_view, 19> kKnownClasses = {
    "TForm",     "TEdit",      "TfmVECOnfigWindow",
    "TLabel",    "TMyShape",   "TButton",
    "TMyButton", "TPanel",     "TShape",
    "TMyBevel",  "TBitBtn",    "TPageControl",
    "TImage",    "TVEPreview", "TVEThumbnail2",
    "TMyMemo",   "TCheckBox",  "TTabSheet",
    "TTimer"};

// Past this many digits a character code cannot be one (the largest is 1114111).
constexpr int kMaxCharCodeDigits = 7;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  return (c | 0x20) - 'a' + 10;
}
bool IsIdentStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
  return IsIdentStart(c) || IsDigit(c);
}
bool IsBlank(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= ' ';
}

// A character code in a string: up to 255 it is the byte itself (the text is Windows-1252);
// above, the tool wrote a Unicode character, which becomes its Windows-1252 byte or '?'.
void AppendCharCode(std::string& out, uint32_t code) {
  if (code <= 0xFF) {
    out += static_cast<char>(code);
    return;
  }
  std::string utf8;
  AppendUtf8(utf8, code);
  out += Utf8ToCp1252(utf8);
}

enum class TokenKind { End, Symbol, Integer, Real, String, Binary, Char };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;  // a symbol's name, a string's bytes, a number as written
  int64_t integer = 0;
  double real = 0;
  std::vector<uint8_t> bytes;
  char ch = 0;
  int line = 1;
  int column = 1;

  bool Is(char c) const { return kind == TokenKind::Char && ch == c; }
  bool IsSymbol(std::string_view word) const {
    return kind == TokenKind::Symbol && SameNameNoCase(text, word);
  }
};

Error ErrorAt(int line, int column, const std::string& what) {
  return Error::Make(ErrorCode::Syntax, "line " + std::to_string(line) + ", column " +
                                            std::to_string(column) + ": " + what);
}

std::string DescribeChar(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u > ' ' && u < 0x7F) return std::string("'") + c + "'";
  return "#" + std::to_string(u);
}

std::string Describe(const Token& t) {
  switch (t.kind) {
    case TokenKind::End:
      return "the end of the text";
    case TokenKind::Symbol:
      return "'" + t.text + "'";
    case TokenKind::Integer:
    case TokenKind::Real:
      return "the number " + t.text;
    case TokenKind::String:
      return "a string";
    case TokenKind::Binary:
      return "binary data";
    case TokenKind::Char:
      return DescribeChar(t.ch);
  }
  return "?";
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  ErrorOr<Token> Next() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) Advance();
    Token t;
    t.line = line_;
    t.column = column_;
    if (pos_ >= text_.size()) return t;
    char c = text_[pos_];
    if (IsIdentStart(c)) return ReadSymbol(std::move(t));
    if (IsDigit(c) || c == '-') return ReadNumber(std::move(t));
    if (c == '$') return ReadHexNumber(std::move(t));
    if (c == '\'' || c == '#') return ReadString(std::move(t));
    if (c == '{') return ReadBinary(std::move(t));
    static constexpr std::string_view kPunctuation = "=:.,[]()<>+";
    if (kPunctuation.find(c) != std::string_view::npos) {
      Advance();
      t.kind = TokenKind::Char;
      t.ch = c;
      return t;
    }
    return ErrorAt(line_, column_, "unexpected character " + DescribeChar(c));
  }

 private:
  char Peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  bool AtEnd() const { return pos_ >= text_.size(); }

  // Moves one byte on, counting lines: LF, CR LF and a bare CR each end one line.
  void Advance() {
    char c = text_[pos_++];
    if (c == '\n' || (c == '\r' && Peek() != '\n')) {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
  }

  ErrorOr<Token> ReadSymbol(Token t) {
    size_t start = pos_;
    while (!AtEnd() && IsIdentChar(Peek())) Advance();
    t.kind = TokenKind::Symbol;
    t.text = std::string(text_.substr(start, pos_ - start));
    return t;
  }

  // A decimal integer, or a real when '.', an exponent or a type suffix follows the digits.
  // The run is taken as the authoring tool's parser takes it and must then read whole.
  ErrorOr<Token> ReadNumber(Token t) {
    size_t start = pos_;
    Advance();
    while (IsDigit(Peek())) Advance();
    bool real = false;
    while (!AtEnd() && (IsDigit(Peek()) || Peek() == '.' || Peek() == 'e' || Peek() == 'E' ||
                        Peek() == '+' || Peek() == '-')) {
      real = true;
      Advance();
    }
    std::string_view digits = text_.substr(start, pos_ - start);
    // Type suffixes: c currency, d date, s single, f extended.
    static constexpr std::string_view kSuffixes = "cCdDsSfF";
    if (!AtEnd() && kSuffixes.find(Peek()) != std::string_view::npos && !IsIdentChar(Peek(1))) {
      real = true;
      Advance();
    }
    t.text = std::string(text_.substr(start, pos_ - start));
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    if (digits == "-") return ErrorAt(t.line, t.column, "digits expected after '-'");
    if (real) {
      t.kind = TokenKind::Real;
      auto [end, ec] = std::from_chars(first, last, t.real);
      if (ec != std::errc() || end != last) {
        return ErrorAt(t.line, t.column, "'" + t.text + "' is not a number");
      }
      return t;
    }
    t.kind = TokenKind::Integer;
    auto [end, ec] = std::from_chars(first, last, t.integer);
    if (ec != std::errc() || end != last) {
      return ErrorAt(t.line, t.column, "the integer " + t.text + " is out of range");
    }
    return t;
  }

  ErrorOr<Token> ReadHexNumber(Token t) {
    size_t start = pos_;
    Advance();
    uint64_t value = 0;
    int digits = 0;
    while (IsHexDigit(Peek())) {
      if (++digits > 16) return ErrorAt(t.line, t.column, "the hexadecimal number is too long");
      value = value << 4 | static_cast<uint64_t>(HexValue(Peek()));
      Advance();
    }
    if (digits == 0) return ErrorAt(t.line, t.column, "hexadecimal digits expected after '$'");
    t.kind = TokenKind::Integer;
    t.integer = static_cast<int64_t>(value);
    t.text = std::string(text_.substr(start, pos_ - start));
    return t;
  }

  // Quoted pieces and #nnn character codes written together form one string.
  ErrorOr<Token> ReadString(Token t) {
    t.kind = TokenKind::String;
    for (;;) {
      if (Peek() == '\'') {
        int line = line_, column = column_;
        Advance();
        for (;;) {
          if (AtEnd() || Peek() == '\r' || Peek() == '\n') {
            return ErrorAt(line, column, "the string is not closed on its line");
          }
          if (Peek() == '\'') {
            Advance();
            if (Peek() != '\'') break;
          }
          t.text += Peek();
          Advance();
        }
      } else if (Peek() == '#') {
        int column = column_;
        Advance();
        uint32_t code = 0;
        int digits = 0;
        while (IsDigit(Peek())) {
          if (++digits > kMaxCharCodeDigits) break;
          code = code * 10 + static_cast<uint32_t>(Peek() - '0');
          Advance();
        }
        if (digits == 0) return ErrorAt(line_, column, "a character code must follow '#'");
        if (digits > kMaxCharCodeDigits || code > 0x10FFFF) {
          return ErrorAt(line_, column, "the character code is out of range");
        }
        AppendCharCode(t.text, code);
      } else {
        return t;
      }
    }
  }

  // {hex pairs}, blanks and line breaks allowed between pairs.
  ErrorOr<Token> ReadBinary(Token t) {
    Advance();
    t.kind = TokenKind::Binary;
    for (;;) {
      while (!AtEnd() && IsBlank(Peek())) Advance();
      if (AtEnd()) return ErrorAt(t.line, t.column, "the binary data is not closed with '}'");
      if (Peek() == '}') {
        Advance();
        return t;
      }
      if (!IsHexDigit(Peek()) || !IsHexDigit(Peek(1))) {
        char bad = IsHexDigit(Peek()) ? Peek(1) : Peek();
        int column = IsHexDigit(Peek()) ? column_ + 1 : column_;
        return ErrorAt(line_, column,
                       "binary data holds pairs of hexadecimal digits, not " + DescribeChar(bad));
      }
      t.bytes.push_back(static_cast<uint8_t>(HexValue(Peek()) << 4 | HexValue(Peek(1))));
      Advance();
      Advance();
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  int column_ = 1;
};

bool IsBlockKeyword(const Token& t) {
  return t.IsSymbol("object") || t.IsSymbol("inherited") || t.IsSymbol("inline");
}

class Parser {
 public:
  explicit Parser(std::string_view text) : lexer_(text) {}

  ErrorOr<FormObject> ReadRoot() {
    TRY(Advance());
    FormObject root = TRY(ReadObject(1));
    if (token_.kind != TokenKind::End) {
      return Fail("only blanks may follow the last 'end', not " + Describe(token_));
    }
    return root;
  }

 private:
  Status Advance() {
    token_ = TRY(lexer_.Next());
    return {};
  }

  Error Fail(const std::string& what) const { return ErrorAt(token_.line, token_.column, what); }

  Status ExpectChar(char c, const char* context) {
    if (!token_.Is(c)) {
      return Fail(std::string("'") + c + "' expected " + context + ", not " + Describe(token_));
    }
    return Advance();
  }

  ErrorOr<std::string> ExpectSymbol(const char* what) {
    if (token_.kind != TokenKind::Symbol)
      return Fail(std::string(what) + " expected, not " + Describe(token_));
    std::string name = std::move(token_.text);
    TRY(Advance());
    return name;
  }

  Status CheckDepth(int depth) const {
    if (depth > kMaxFormNesting) {
      return Fail("objects and values nest deeper than " + std::to_string(kMaxFormNesting) +
                  " levels");
    }
    return {};
  }

  // "[n]" after a class name or an item: the position of an inherited child; not needed.
  Status SkipOrderIndex() {
    if (!token_.Is('[')) return {};
    TRY(Advance());
    if (token_.kind != TokenKind::Integer)
      return Fail("an index expected, not " + Describe(token_));
    TRY(Advance());
    return ExpectChar(']', "after the index");
  }

  ErrorOr<FormObject> ReadObject(int depth) {
    TRY(CheckDepth(depth));
    FormObject object;
    object.line = token_.line;
    if (token_.IsSymbol("object")) {
      object.blockKind = FormBlockKind::Object;
    } else if (token_.IsSymbol("inherited")) {
      object.blockKind = FormBlockKind::Inherited;
    } else if (token_.IsSymbol("inline")) {
      object.blockKind = FormBlockKind::Inline;
    } else {
      return Fail("'object' expected, not " + Describe(token_));
    }
    TRY(Advance());
    int classLine = token_.line, classColumn = token_.column;
    std::string first = TRY(ExpectSymbol("a name or a class name"));
    if (token_.Is(':')) {
      TRY(Advance());
      classLine = token_.line;
      classColumn = token_.column;
      object.name = std::move(first);
      object.className = TRY(ExpectSymbol("a class name"));
    } else {
      object.className = std::move(first);
    }
    if (!IsKnownFormClass(object.className)) {
      return ErrorAt(classLine, classColumn,
                     "class " + object.className + " is not one a designed window may hold");
    }
    TRY(SkipOrderIndex());

    while (token_.kind == TokenKind::Symbol && !IsBlockKeyword(token_) && !token_.IsSymbol("end")) {
      object.properties.push_back(TRY(ReadProperty(depth)));
    }
    while (IsBlockKeyword(token_)) object.children.push_back(TRY(ReadObject(depth + 1)));
    if (token_.IsSymbol("end")) {
      TRY(Advance());
      return object;
    }
    if (token_.kind == TokenKind::End) {
      return Fail("the text ends inside the block of line " + std::to_string(object.line));
    }
    if (token_.kind == TokenKind::Symbol) {
      return Fail("property " + token_.text + " follows a nested object; properties come first");
    }
    return Fail("a property, 'object' or 'end' expected, not " + Describe(token_));
  }

  ErrorOr<FormProperty> ReadProperty(int depth) {
    FormProperty property;
    property.line = token_.line;
    property.path = TRY(ExpectSymbol("a property name"));
    while (token_.Is('.')) {
      TRY(Advance());
      property.path += '.';
      property.path += TRY(ExpectSymbol("a property name after '.'"));
    }
    TRY(ExpectChar('=', ("after " + property.path).c_str()));
    property.value = TRY(ReadValue(depth));
    return property;
  }

  ErrorOr<FormValue> ReadValue(int depth) {
    TRY(CheckDepth(depth));
    FormValue value;
    switch (token_.kind) {
      case TokenKind::Integer:
        value.data = token_.integer;
        break;
      case TokenKind::Real:
        value.data = token_.real;
        break;
      case TokenKind::Binary:
        value.data = FormBinary{std::move(token_.bytes)};
        break;
      case TokenKind::String:
        return ReadStringValue();
      case TokenKind::Symbol:
        return ReadIdentifier();
      case TokenKind::Char:
        if (token_.Is('[')) return ReadSet();
        if (token_.Is('(')) return ReadList(depth);
        if (token_.Is('<')) return ReadCollection(depth);
        [[fallthrough]];
      case TokenKind::End:
        return Fail("a value expected, not " + Describe(token_));
    }
    TRY(Advance());
    return value;
  }

  // Pieces joined with '+', which may stand at the end of a line.
  ErrorOr<FormValue> ReadStringValue() {
    std::string text = std::move(token_.text);
    TRY(Advance());
    while (token_.Is('+')) {
      TRY(Advance());
      if (token_.kind != TokenKind::String)
        return Fail("a string expected after '+', not " + Describe(token_));
      text += token_.text;
      TRY(Advance());
    }
    return FormValue{std::move(text)};
  }

  ErrorOr<FormValue> ReadIdentifier() {
    std::string name = std::move(token_.text);
    TRY(Advance());
    while (token_.Is('.')) {
      TRY(Advance());
      name += '.';
      name += TRY(ExpectSymbol("a name after '.'"));
    }
    return FormValue{FormIdentifier{std::move(name)}};
  }

  ErrorOr<FormValue> ReadSet() {
    TRY(Advance());
    FormSet set;
    if (!token_.Is(']')) {
      for (;;) {
        if (token_.kind != TokenKind::Symbol && token_.kind != TokenKind::Integer) {
          return Fail("a set member expected, not " + Describe(token_));
        }
        set.members.push_back(std::move(token_.text));
        TRY(Advance());
        if (token_.Is(']')) break;
        TRY(ExpectChar(',', "between set members"));
      }
    }
    TRY(Advance());
    return FormValue{std::move(set)};
  }

  ErrorOr<FormValue> ReadList(int depth) {
    int line = token_.line;
    TRY(Advance());
    FormList list;
    while (!token_.Is(')')) {
      if (token_.kind == TokenKind::End) {
        return Fail("the list opened on line " + std::to_string(line) + " is not closed");
      }
      list.items.push_back(TRY(ReadValue(depth + 1)));
    }
    TRY(Advance());
    return FormValue{std::move(list)};
  }

  ErrorOr<FormValue> ReadCollection(int depth) {
    TRY(Advance());
    FormCollectionValue collection;
    while (!token_.Is('>')) {
      if (!token_.IsSymbol("item")) return Fail("'item' or '>' expected, not " + Describe(token_));
      TRY(Advance());
      TRY(SkipOrderIndex());
      FormCollectionItem item;
      while (!token_.IsSymbol("end")) {
        if (token_.kind != TokenKind::Symbol) {
          return Fail("a property or 'end' expected in the item, not " + Describe(token_));
        }
        item.properties.push_back(TRY(ReadProperty(depth + 1)));
      }
      TRY(Advance());
      collection.items.push_back(std::move(item));
    }
    TRY(Advance());
    return FormValue{std::move(collection)};
  }

  Lexer lexer_;
  Token token_;
};

// --- Picture data -------------------------------------------------------------------------

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

using Bytes = std::basic_string_view<uint8_t>;

bool StartsWith(Bytes data, std::initializer_list<uint8_t> prefix) {
  return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// Whether `data` starts the way a file of that format starts.
bool LooksLike(PictureFormat format, Bytes data) {
  switch (format) {
    case PictureFormat::Bitmap:
      return StartsWith(data, {'B', 'M'});
    case PictureFormat::Jpeg:
      return StartsWith(data, {0xFF, 0xD8});
    case PictureFormat::Gif:
      return StartsWith(data, {'G', 'I', 'F', '8'});
    case PictureFormat::Png:
      return StartsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    case PictureFormat::Icon:
      return StartsWith(data, {0, 0, 1, 0});
    case PictureFormat::Metafile:
      // Placeable metafile, enhanced metafile (header record with " EMF"), plain metafile.
      return StartsWith(data, {0xD7, 0xCD, 0xC6, 0x9A}) ||
             (StartsWith(data, {1, 0, 0, 0}) && data.size() >= 44 &&
              StartsWith(data.substr(40), {' ', 'E', 'M', 'F'})) ||
             StartsWith(data, {1, 0, 9, 0}) || StartsWith(data, {2, 0, 9, 0});
    case PictureFormat::None:
      return false;
  }
  return false;
}

struct PictureClass {
  std::string_view name;
  PictureFormat format;
};

constexpr PictureClass kPictureClasses[] = {
    {"TBitmap", PictureFormat::Bitmap},     {"TJPEGImage", PictureFormat::Jpeg},
    {"TGIFImage", PictureFormat::Gif},      {"TPngImage", PictureFormat::Png},
    {"TPNGObject", PictureFormat::Png},     {"TIcon", PictureFormat::Icon},
    {"TMetafile", PictureFormat::Metafile},
};

std::string_view FormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Bitmap:
      return "BMP";
    case PictureFormat::Jpeg:
      return "JPEG";
    case PictureFormat::Gif:
      return "GIF";
    case PictureFormat::Png:
      return "PNG";
    case PictureFormat::Icon:
      return "icon";
    case PictureFormat::Metafile:
      return "metafile";
    case PictureFormat::None:
      break;
  }
  return "picture";
}

// The image file inside one picture kind's stream. Bitmaps and JPEG images store a 32-bit
// size before the file; GIF, PNG and icon files are stored as they are. Both forms are
// taken for every kind, told apart by the file's first bytes. A metafile's size may count
// its own four bytes.
ErrorOr<Bytes> ImageFileIn(PictureFormat format, std::string_view kind, Bytes stream) {
  if (stream.empty() || LooksLike(format, stream)) return stream;
  std::string who = "the " + std::string(kind) + " picture data";
  if (stream.size() < 4) {
    return Error::Make(ErrorCode::Truncated, who + " ends inside its size");
  }
  uint64_t size = Le32(stream.data());
  uint64_t available = stream.size() - 4;
  if (size == 0 || (format == PictureFormat::Metafile && size <= 4)) return Bytes{};
  if (size > available && format == PictureFormat::Metafile && size - 4 <= available) size -= 4;
  if (size > available) {
    return Error::Make(ErrorCode::Truncated, who + " declares " + std::to_string(size) +
                                                 " bytes, but " + std::to_string(available) +
                                                 " follow");
  }
  Bytes file = stream.substr(4, size);
  if (!LooksLike(format, file)) {
    return Error::Make(ErrorCode::Corrupt,
                       who + " does not hold a " + std::string(FormatName(format)) + " file");
  }
  return file;
}

PictureData MakePicture(std::string kind, PictureFormat format, Bytes file) {
  PictureData picture;
  picture.kind = std::move(kind);
  picture.format = file.empty() ? PictureFormat::None : format;
  picture.imageBytes.assign(file.begin(), file.end());
  return picture;
}

}  // namespace

bool IsKnownFormClass(std::string_view className) {
  for (std::string_view known : kKnownClasses) {
    if (SameNameNoCase(known, className)) return true;
  }
  return false;
}

ErrorOr<FormObject> ReadFormText(std::string_view text) {
  if (text.size() > kMaxFormTextBytes) {
    return Error::Make(ErrorCode::TooLarge, "the form text is larger than " +
                                                std::to_string(kMaxFormTextBytes >> 20) + " MiB");
  }
  return Parser(text).ReadRoot();
}

const FormProperty* FormObject::FindProperty(std::string_view path) const {
  for (auto it = properties.rbegin(); it != properties.rend(); ++it) {
    if (SameNameNoCase(it->path, path)) return &*it;
  }
  return nullptr;
}

const FormValue* FormObject::FindValue(std::string_view path) const {
  const FormProperty* property = FindProperty(path);
  return property ? &property->value : nullptr;
}

int64_t FormObject::IntegerOr(std::string_view path, int64_t fallback) const {
  const FormValue* value = FindValue(path);
  const int64_t* integer = value ? value->As<int64_t>() : nullptr;
  return integer ? *integer : fallback;
}

bool FormObject::BoolOr(std::string_view path, bool fallback) const {
  const FormValue* value = FindValue(path);
  const FormIdentifier* identifier = value ? value->As<FormIdentifier>() : nullptr;
  if (!identifier) return fallback;
  if (SameNameNoCase(identifier->name, "True")) return true;
  if (SameNameNoCase(identifier->name, "False")) return false;
  return fallback;
}

std::string FormObject::StringOr(std::string_view path, std::string_view fallback) const {
  const FormValue* value = FindValue(path);
  const std::string* text = value ? value->As<std::string>() : nullptr;
  return text ? *text : std::string(fallback);
}

std::string FormObject::IdentifierOr(std::string_view path, std::string_view fallback) const {
  const FormValue* value = FindValue(path);
  const FormIdentifier* identifier = value ? value->As<FormIdentifier>() : nullptr;
  return identifier ? identifier->name : std::string(fallback);
}

const std::vector<uint8_t>* FormObject::BinaryOf(std::string_view path) const {
  const FormValue* value = FindValue(path);
  const FormBinary* binary = value ? value->As<FormBinary>() : nullptr;
  return binary ? &binary->bytes : nullptr;
}

const FormObject* FormObject::FindObject(std::string_view wanted) const {
  if (SameNameNoCase(name, wanted)) return this;
  for (const FormObject& child : children) {
    if (const FormObject* found = child.FindObject(wanted)) return found;
  }
  return nullptr;
}

ErrorOr<PictureData> DecodePictureData(const std::vector<uint8_t>& data) {
  Bytes bytes(data.data(), data.size());
  if (bytes.empty()) return PictureData{};

  // A bitmap property: the size, then the BMP file. A class name cannot be mistaken for it:
  // its letters would make the size far larger than the data.
  if (bytes.size() >= 6) {
    uint64_t size = Le32(bytes.data());
    Bytes file = bytes.substr(4);
    if (size >= 2 && size <= file.size() && LooksLike(PictureFormat::Bitmap, file)) {
      return MakePicture("", PictureFormat::Bitmap, file.substr(0, size));
    }
  }

  size_t nameLength = bytes[0];
  if (nameLength + 1 > bytes.size()) {
    return Error::Make(ErrorCode::Truncated, "the picture data ends inside its class name");
  }
  Bytes nameBytes = bytes.substr(1, nameLength);
  if (nameLength == 0) return PictureData{};
  bool identifier = IsIdentStart(static_cast<char>(nameBytes[0]));
  for (uint8_t c : nameBytes) identifier = identifier && IsIdentChar(static_cast<char>(c));
  if (!identifier) {
    return Error::Make(ErrorCode::Corrupt,
                       "the picture data starts with neither a class name nor a bitmap size");
  }
  std::string kind(nameBytes.begin(), nameBytes.end());
  for (const PictureClass& known : kPictureClasses) {
    if (!SameNameNoCase(known.name, kind)) continue;
    Bytes file = TRY(ImageFileIn(known.format, kind, bytes.substr(1 + nameLength)));
    return MakePicture(std::move(kind), known.format, file);
  }
  // A kind this runtime cannot show: the control stays empty, as with no picture.
  return MakePicture(std::move(kind), PictureFormat::None, Bytes{});
}

}  // namespace vec
