#include <gtest/gtest.h>

#include "configui/FormTextReader.h"

namespace vec {
namespace {

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// The value of property P in a window holding only that property.
FormValue ValueOf(const std::string& valueText) {
  auto read = ReadFormText("object W: TForm\r\n  P = " + valueText + "\r\nend\r\n");
  EXPECT_TRUE(read.ok()) << valueText << ": " << (read.ok() ? "" : read.error().message);
  if (!read.ok() || read->properties.size() != 1) return FormValue{std::string("<unread>")};
  return read->properties[0].value;
}

TEST(FormTextValues, Integers) {
  struct Case {
    const char* text;
    int64_t want;
  } cases[] = {
      {"428", 428},
      {"-11", -11},
      {"$00F0E6DC", 0xF0E6DC},
      {"$ff", 255},                 // lower-case digits
      {"$FFFFFFFF", 4294967295LL},  // unsigned, not -1
      {"$8000000F", 0x8000000FLL},
      {"9223372036854775807", INT64_MAX},
      {"-9223372036854775808", INT64_MIN},
  };
  for (const auto& c : cases) {
    FormValue v = ValueOf(c.text);
    ASSERT_EQ(v.kind(), FormValueKind::Integer) << c.text;
    EXPECT_EQ(*v.As<int64_t>(), c.want) << c.text;
  }
}

TEST(FormTextValues, Reals) {
  struct Case {
    const char* text;
    double want;
  } cases[] = {{"1.5", 1.5}, {"-0.25", -0.25}, {"1.5E3", 1500}, {"2.5e-1", 0.25}, {"12s", 12}};
  for (const auto& c : cases) {
    FormValue v = ValueOf(c.text);
    ASSERT_EQ(v.kind(), FormValueKind::Real) << c.text;
    EXPECT_DOUBLE_EQ(*v.As<double>(), c.want) << c.text;
  }
}

TEST(FormTextValues, Strings) {
  struct Case {
    const char* text;
    std::string want;
  } cases[] = {
      {"'Sea Waves'", "Sea Waves"},
      {"''", ""},
      {"'It''s'", "It's"},
      {"''''", "'"},
      {"#39'x'#39", "'x'"},
      {"'a'#13#10'b'", "a\r\nb"},
      {"#65#066", "AB"},         // decimal, leading zeros allowed
      {"'caf\xE9'", "caf\xE9"},  // Windows-1252 bytes pass as they are
      {"#233", "\xE9"},
      {"#8364", "\x80"},  // a Unicode character becomes its Windows-1252 byte
      {"#8211", "\x96"},
      {"#1046", "?"},  // one that Windows-1252 lacks
      {"#0", std::string(1, '\0')},
      {"'Sea' +\r\n    ' Waves' + #33", "Sea Waves!"},
      {"\r\n    'first line ' +\r\n    'continued'", "first line continued"},
  };
  for (const auto& c : cases) {
    FormValue v = ValueOf(c.text);
    ASSERT_EQ(v.kind(), FormValueKind::String) << c.text;
    EXPECT_EQ(*v.As<std::string>(), c.want) << c.text;
  }
}

TEST(FormTextValues, IdentifiersAndSets) {
  EXPECT_EQ(ValueOf("clBtnFace").As<FormIdentifier>()->name, "clBtnFace");
  EXPECT_EQ(ValueOf("True").As<FormIdentifier>()->name, "True");
  EXPECT_EQ(ValueOf("Form1.Edit1").As<FormIdentifier>()->name, "Form1.Edit1");
  struct Case {
    const char* text;
    std::vector<std::string> want;
  } sets[] = {
      {"[]", {}},
      {"[fsBold]", {"fsBold"}},
      {"[biSystemMenu, biMinimize]", {"biSystemMenu", "biMinimize"}},
      {"[\r\n  akLeft,\r\n  akTop]", {"akLeft", "akTop"}},
      {"[0, 3]", {"0", "3"}},
  };
  for (const auto& c : sets) {
    FormValue v = ValueOf(c.text);
    ASSERT_EQ(v.kind(), FormValueKind::Set) << c.text;
    EXPECT_EQ(v.As<FormSet>()->members, c.want) << c.text;
  }
}

TEST(FormTextValues, Lists) {
  FormValue strings =
      ValueOf("(\r\n    'Highest (Slower)'\r\n    'Normal '\r\n    'Low (Faster)')");
  ASSERT_EQ(strings.kind(), FormValueKind::List);
  const auto& items = strings.As<FormList>()->items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(*items[1].As<std::string>(), "Normal ");
  EXPECT_EQ(*items[2].As<std::string>(), "Low (Faster)");

  EXPECT_TRUE(ValueOf("()").As<FormList>()->items.empty());
  FormValue mixed = ValueOf("(320 -1 ('x') clRed)");
  const auto& m = mixed.As<FormList>()->items;
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(*m[1].As<int64_t>(), -1);
  EXPECT_EQ(*m[2].As<FormList>()->items[0].As<std::string>(), "x");
  EXPECT_EQ(m[3].As<FormIdentifier>()->name, "clRed");
}

TEST(FormTextValues, Binary) {
  struct Case {
    const char* text;
    std::vector<uint8_t> want;
  } cases[] = {
      {"{}", {}},
      {"{0A0b}", {0x0A, 0x0B}},
      {"{\r\n      07544269746D6170\r\n      00000000}",
       {0x07, 'T', 'B', 'i', 't', 'm', 'a', 'p', 0, 0, 0, 0}},
      {"{ FF 00 }", {0xFF, 0x00}},
  };
  for (const auto& c : cases) {
    FormValue v = ValueOf(c.text);
    ASSERT_EQ(v.kind(), FormValueKind::Binary) << c.text;
    EXPECT_EQ(v.As<FormBinary>()->bytes, c.want) << c.text;
  }
}

TEST(FormTextValues, Collections) {
  FormValue v = ValueOf(
      "<\r\n    item\r\n      Width = 50\r\n      Text = 'Name'\r\n    end\r\n"
      "    item [2]\r\n    end\r\n    item\r\n      Bevel.Style = pbNone\r\n    end>");
  ASSERT_EQ(v.kind(), FormValueKind::Collection);
  const auto& items = v.As<FormCollectionValue>()->items;
  ASSERT_EQ(items.size(), 3u);
  ASSERT_EQ(items[0].properties.size(), 2u);
  EXPECT_EQ(items[0].properties[0].path, "Width");
  EXPECT_EQ(*items[0].properties[1].value.As<std::string>(), "Name");
  EXPECT_TRUE(items[1].properties.empty());
  EXPECT_EQ(items[2].properties[0].path, "Bevel.Style");
  EXPECT_TRUE(ValueOf("<>").As<FormCollectionValue>()->items.empty());
}

TEST(FormTextReader, BlocksNamesClassesAndOrder) {
  auto read = ReadFormText(
      "object MainWindow: TfmVECOnfigWindow\n"
      "  Caption = 'Main'\n"
      "  Font.Style = [fsBold]\n"
      "  OBJECT pnl: tpanel\n"
      "    inherited btn: TButton [1]\n"
      "    End\n"
      "    inline TTimer\n"
      "      Interval = 5\n"
      "    end\n"
      "  end\n"
      "  object TShape\n"
      "  end\n"
      "end\n");
  ASSERT_TRUE(read.ok()) << read.error().message;
  const FormObject& root = *read;
  EXPECT_EQ(root.name, "MainWindow");
  EXPECT_EQ(root.className, "TfmVECOnfigWindow");
  EXPECT_EQ(root.line, 1);
  ASSERT_EQ(root.properties.size(), 2u);
  EXPECT_EQ(root.properties[0].path, "Caption");
  EXPECT_EQ(root.properties[1].path, "Font.Style");
  EXPECT_EQ(root.properties[1].line, 3);
  ASSERT_EQ(root.children.size(), 2u);
  const FormObject& panel = root.children[0];
  EXPECT_EQ(panel.className, "tpanel");
  EXPECT_EQ(panel.line, 4);
  ASSERT_EQ(panel.children.size(), 2u);
  EXPECT_EQ(panel.children[0].blockKind, FormBlockKind::Inherited);
  EXPECT_EQ(panel.children[0].name, "btn");
  EXPECT_EQ(panel.children[1].blockKind, FormBlockKind::Inline);
  EXPECT_EQ(panel.children[1].name, "");
  EXPECT_EQ(panel.children[1].className, "TTimer");
  EXPECT_EQ(panel.children[1].IntegerOr("Interval", 0), 5);
  EXPECT_EQ(root.children[1].className, "TShape");
  EXPECT_EQ(root.children[1].line, 11);
}

TEST(FormTextReader, KnownClassesOnly) {
  for (const char* known : {"TForm",
                            "TEdit",
                            "TfmVECOnfigWindow",
                            "TLabel",
                            "TMyShape",
                            "TButton",
                            "TMyButton",
                            "TPanel",
                            "TShape",
                            "TMyBevel",
                            "TBitBtn",
                            "TPageControl",
                            "TImage",
                            "TVEPreview",
                            "TVEThumbnail2",
                            "TMyMemo",
                            "TCheckBox",
                            "TTabSheet",
                            "TTimer",
                            "TFMVECONFIGWINDOW",
                            "tlabel"}) {
    EXPECT_TRUE(IsKnownFormClass(known)) << known;
  }
  for (const char* unknown :
       {"TListBox", "TForm1", "TfmVEFormParent", "TBitBtn2", "TBit", "", "TVEThumbnail", "Label"}) {
    EXPECT_FALSE(IsKnownFormClass(unknown)) << unknown;
  }
}

TEST(FormTextReader, ErrorsGiveLineAndColumn) {
  struct Case {
    const char* name;
    std::string text;
    const char* where;
    const char* mentions;
  } cases[] = {
      {"UnknownClass", "object W: TForm\r\n  object lst: TListBox\r\n  end\r\nend",
       "line 2, column 15:", "TListBox"},
      {"UnknownRootClass", "object W: TForm1\r\nend", "line 1, column 11:", "TForm1"},
      {"UnclosedString", "object W: TForm\r\n  Caption = 'abc\r\nend",
       "line 2, column 13:", "not closed"},
      {"NothingAfterPlus", "object W: TForm\r\n  Caption = 'a' +\r\nend",
       "line 3, column 1:", "string expected after '+'"},
      {"OddHexDigits", "object W: TForm\r\n  P.Data = {ABC}\r\nend",
       "line 2, column 16:", "pairs of hexadecimal digits"},
      {"UnclosedBinary", "object W: TForm\r\n  P.Data = {0102\r\n",
       "line 2, column 12:", "not closed"},
      {"NoValue", "object W: TForm\r\n  Left = = 3\r\nend", "line 2, column 10:", "value expected"},
      {"NotANumber", "object W: TForm\n  Left = 1-2\nend", "line 2, column 10:", "not a number"},
      {"IntegerTooLarge", "object W: TForm\n  Left = 99999999999999999999\nend",
       "line 2, column 10:", "out of range"},
      {"HexTooLong", "object W: TForm\n  Color = $10000000000000000\nend",
       "line 2, column 11:", "too long"},
      {"BareDollar", "object W: TForm\n  Color = $\nend", "line 2, column 11:", "digits"},
      {"BareMinus", "object W: TForm\n  Left = -x\nend", "line 2, column 10:", "digits"},
      {"BareHash", "object W: TForm\n  Caption = #\nend", "line 2, column 13:", "character code"},
      {"CodeTooLarge", "object W: TForm\n  Caption = #1114112\nend",
       "line 2, column 13:", "out of range"},
      {"PropertyAfterChild", "object W: TForm\n  object b: TButton\n  end\n  Left = 1\nend",
       "line 4, column 3:", "properties come first"},
      {"MissingEnd", "object W: TForm\n  object b: TButton\n  end\n",
       "line 4, column 1:", "ends inside the block of line 1"},
      {"TextAfterEnd", "object W: TForm\nend\nobject X: TForm\nend",
       "line 3, column 1:", "only blanks may follow"},
      {"NotAnObject", "objekt W: TForm\nend", "line 1, column 1:", "'object' expected"},
      {"StrayCharacter", "object W: TForm\n  Left = 5;\nend", "line 2, column 11:", "';'"},
      {"NulByte", std::string("object W: TForm\n  Left = 5") + '\0' + "\nend",
       "line 2, column 11:", "#0"},
      {"SetWithoutComma", "object W: TForm\n  Anchors = [akLeft akTop]\nend",
       "line 2, column 21:", "','"},
      {"UnclosedList", "object W: TForm\n  Items.Strings = (\n    'a'\n",
       "line 4, column 1:", "list opened on line 2"},
      {"CollectionWithoutItem", "object W: TForm\n  Panels = <Width = 5>\nend",
       "line 2, column 13:", "'item'"},
      {"PathWithoutName", "object W: TForm\n  Font. = 5\nend",
       "line 2, column 9:", "property name after '.'"},
      // Lines counted with a bare CR and with CR LF alike.
      {"BareCrLines", "object W: TForm\r  Caption = 'x\rend", "line 2, column 13:", "not closed"},
      {"MixedBreaks", "object W: TForm\r\n\r  \n   Tag = ?\r\nend", "line 4, column 10:", "'?'"},
  };
  for (const auto& c : cases) {
    auto read = ReadFormText(c.text);
    ASSERT_TRUE(read.is_error()) << c.name;
    EXPECT_EQ(read.error().code, ErrorCode::Syntax) << c.name;
    EXPECT_TRUE(read.error().message.starts_with(c.where))
        << c.name << ": " << read.error().message;
    EXPECT_TRUE(Contains(read.error().message, c.mentions))
        << c.name << ": " << read.error().message;
  }
}

TEST(FormTextReader, NestingIsLimited) {
  auto objects = [](int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "object P" + std::to_string(i) + ": TPanel\n";
    for (int i = 0; i < depth; ++i) text += "end\n";
    return text;
  };
  EXPECT_TRUE(ReadFormText(objects(kMaxFormNesting)).ok());
  auto tooDeep = ReadFormText(objects(kMaxFormNesting + 1));
  ASSERT_TRUE(tooDeep.is_error());
  EXPECT_TRUE(
      Contains(tooDeep.error().message, "line 65, column 1: objects and values nest deeper"))
      << tooDeep.error().message;

  auto lists = [](int depth) {
    return "object W: TForm\n  P = " + std::string(depth, '(') + std::string(depth, ')') + "\nend";
  };
  EXPECT_TRUE(ReadFormText(lists(kMaxFormNesting)).ok());
  EXPECT_TRUE(ReadFormText(lists(kMaxFormNesting + 1)).is_error());
  // Far deeper than any stack would take: refused at the limit, not by a crash.
  EXPECT_TRUE(ReadFormText(lists(1000000)).is_error());
}

TEST(FormTextReader, RefusesTextsBeyondTheSizeLimit) {
  std::string huge(kMaxFormTextBytes + 1, ' ');
  auto read = ReadFormText(huge);
  ASSERT_TRUE(read.is_error());
  EXPECT_EQ(read.error().code, ErrorCode::TooLarge);
}

TEST(FormObject, LookupsIgnoreCaseAndTheLaterValueCounts) {
  auto read = ReadFormText(
      "object W: TForm\n"
      "  Caption = 'first'\n"
      "  Left = 10\n"
      "  caption = 'second'\n"
      "  Visible = False\n"
      "  AutoSize = true\n"
      "  Align = alClient\n"
      "  Glyph.Data = {0102}\n"
      "  object Inner: TPanel\n"
      "    object btnDeep: TButton\n"
      "    end\n"
      "  end\n"
      "end\n");
  ASSERT_TRUE(read.ok()) << read.error().message;
  const FormObject& w = *read;
  EXPECT_EQ(w.StringOr("CAPTION", "none"), "second");
  EXPECT_EQ(w.FindProperty("Caption")->line, 4);
  EXPECT_EQ(w.IntegerOr("left", 0), 10);
  EXPECT_EQ(w.IntegerOr("Top", 197), 197);    // absent
  EXPECT_EQ(w.IntegerOr("Caption", -1), -1);  // another kind
  EXPECT_EQ(w.StringOr("Left", "dflt"), "dflt");
  EXPECT_FALSE(w.BoolOr("Visible", true));
  EXPECT_TRUE(w.BoolOr("AutoSize", false));
  EXPECT_TRUE(w.BoolOr("Align", true));  // an identifier that is no Boolean
  EXPECT_FALSE(w.BoolOr("Align", false));
  EXPECT_EQ(w.IdentifierOr("align", ""), "alClient");
  EXPECT_EQ(w.IdentifierOr("Caption", "x"), "x");
  ASSERT_NE(w.BinaryOf("glyph.data"), nullptr);
  EXPECT_EQ(*w.BinaryOf("Glyph.Data"), (std::vector<uint8_t>{1, 2}));
  EXPECT_EQ(w.BinaryOf("Glyph"), nullptr);
  ASSERT_NE(w.FindObject("BTNDEEP"), nullptr);
  EXPECT_EQ(w.FindObject("btnDeep")->className, "TButton");
  EXPECT_EQ(w.FindObject("w"), &w);
  EXPECT_EQ(w.FindObject("Missing"), nullptr);
}

}  // namespace
}  // namespace vec
