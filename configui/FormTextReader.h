#pragma once
// Reader for the object-text format in which the authoring tool writes a window and its
// controls, producing a tree that the window builder walks:
//
//   object MainWindow: TfmVECOnfigWindow
//     Caption = 'Sea '#39'98'#39 +
//       ' settings'
//     Font.Style = [fsBold]
//     object Image1: TImage
//       Picture.Data = {07544269746D6170...}
//     end
//   end
//
// Texts stay Windows-1252 bytes. Every property is kept, in text order, whether or not the
// builder will use it. Only the classes a designed window may hold are accepted.
//
// Limits against hostile text: the input is at most kMaxFormTextBytes long, blocks, lists
// and collections nest at most kMaxFormNesting deep, and every token consumes input, so
// the tree can never be larger than a small multiple of the text.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/Result.h"

namespace vec {

constexpr size_t kMaxFormTextBytes = size_t{64} << 20;
constexpr int kMaxFormNesting = 64;

struct FormValue;
struct FormProperty;

// A bare name: True, False, clBtnFace, alClient, and dotted references such as Form1.Edit1.
struct FormIdentifier {
  std::string name;
  bool operator==(const FormIdentifier&) const = default;
};

// [biMinimize, biMaximize]; members as written (identifiers, or the digits of a number).
struct FormSet {
  std::vector<std::string> members;
  bool operator==(const FormSet&) const = default;
};

// ('Highest (Slower)' 'Normal ' 'Low (Faster)')
struct FormList {
  std::vector<FormValue> items;
};

// {07544269746D6170...}
struct FormBinary {
  std::vector<uint8_t> bytes;
  bool operator==(const FormBinary&) const = default;
};

// One `item ... end` of a collection.
struct FormCollectionItem {
  std::vector<FormProperty> properties;
};

// <item ... end item ... end>
struct FormCollectionValue {
  std::vector<FormCollectionItem> items;
};

enum class FormValueKind { Integer, Real, String, Identifier, Set, List, Binary, Collection };

struct FormValue {
  // Integers are 64-bit; $-hexadecimal ones read as unsigned ($FFFFFFFF is 4294967295).
  using Data = std::variant<int64_t, double, std::string, FormIdentifier, FormSet, FormList,
                            FormBinary, FormCollectionValue>;
  Data data;

  FormValueKind kind() const { return static_cast<FormValueKind>(data.index()); }
  template <class T>
  const T* As() const {
    return std::get_if<T>(&data);
  }
};

struct FormProperty {
  std::string path;  // dotted, as written: "Font.Style", "Picture.Data"
  FormValue value;
  int line = 0;
};

enum class FormBlockKind { Object, Inherited, Inline };

struct FormObject {
  FormBlockKind blockKind = FormBlockKind::Object;
  std::string className;                 // as written
  std::string name;                      // empty for an unnamed block ("object TFont")
  std::vector<FormProperty> properties;  // in text order
  std::vector<FormObject> children;      // in text order
  int line = 0;                          // of the block's first line, from 1

  // A property by its dotted path, ignoring case. The builder assigns properties in text
  // order, so of a property written twice the later value is the one in force: that is the
  // one returned. nullptr when absent.
  const FormProperty* FindProperty(std::string_view path) const;
  const FormValue* FindValue(std::string_view path) const;

  // Typed reads with a default for an absent property or one of another kind.
  int64_t IntegerOr(std::string_view path, int64_t fallback) const;
  bool BoolOr(std::string_view path, bool fallback) const;  // identifiers True / False
  std::string StringOr(std::string_view path, std::string_view fallback) const;
  std::string IdentifierOr(std::string_view path, std::string_view fallback) const;
  // The bytes of a binary property, or nullptr.
  const std::vector<uint8_t>* BinaryOf(std::string_view path) const;

  // This object or the first one below it, depth first, with that name (ignoring case).
  const FormObject* FindObject(std::string_view name) const;
};

// The classes a designed window may be built from.
bool IsKnownFormClass(std::string_view className);

// Reads one object block (with its nested blocks); only blanks may follow it. Errors carry
// "line L, column C" of the offending place (from 1) in their message.
ErrorOr<FormObject> ReadFormText(std::string_view text);

// What a picture property's Data holds: the kind of picture by its class name, and the
// bytes of the image file inside (a BMP, JPEG, GIF, PNG, icon or metafile file).
enum class PictureFormat { None, Bitmap, Jpeg, Gif, Png, Icon, Metafile };

struct PictureData {
  std::string kind;  // the class name as stored ("TBitmap", "TJPEGImage"); empty for a
                     // bitmap stored without one (Glyph.Data)
  PictureFormat format = PictureFormat::None;
  std::vector<uint8_t> imageBytes;  // empty: no picture

  bool empty() const { return imageBytes.empty(); }
};

// Decodes the Data of a picture property (Picture.Data, ButtonUp.Data, ...): a class name
// preceded by its length byte, then the picture's stream. Also takes the Data of a bitmap
// property (Glyph.Data), which is the bitmap's stream alone: a 32-bit size and a BMP file.
// An empty class name, an unknown class or a zero size give an empty picture; data that is
// cut short or does not hold the picture its class names is an error.
ErrorOr<PictureData> DecodePictureData(const std::vector<uint8_t>& data);

}  // namespace vec
