#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/TextLines.h"
#include "configui/FormDefinitions.h"

namespace vec {
namespace {

using Lines = std::vector<std::string>;

// Joins lines with CR LF after each, as the authoring tool writes its files.
std::string Crlf(const Lines& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

bool Contains(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

TEST(SplitLines, EveryKindOfLineBreakEndsOneLine) {
  struct Case {
    const char* text;
    Lines want;
  } cases[] = {
      {"a\r\nb", {"a", "b"}},
      {"a\rb", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\r\n", {"a"}},
      {"a\n\n", {"a", ""}},
      {"\r\n", {""}},
      {"", {}},
      {"a\r\r\nb", {"a", "", "b"}},  // CR, then CR LF
      {"a\n\rb", {"a", "", "b"}},    // LF then CR: two breaks
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.want) << c.text;
}

TEST(FormNameFromFirstLine, TextAfterSevenCharactersUpToTheFirstColon) {
  struct Case {
    const char* line;
    const char* want;
  } cases[] = {
      {"object MainWindow: TfmVEFormParent", "MainWindow"},
      {"object X:TForm", "X"},
      {"object A: B: C", "A"},
      {"object TForm1", ""},                 // no colon: no name
      {"inherited Main: TForm", "ed Main"},  // seven characters, whatever they are
      {"object", ""},
      {"  object Main: TForm", "t Main"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormNameFromFirstLine(c.line), c.want) << c.line;
}

TEST(LoadActions, KindIsTheLowByteOfTheInteger) {
  struct Case {
    const char* kindLine;
    uint8_t want;
  } cases[] = {{"0", 0},    {"9", 9},   {"256", 0}, {"300", 44},
               {"-1", 255}, {" 7 ", 7}, {"+5", 5},  {"-2147483648", 0}};
  for (const auto& c : cases) {
    ActionList list;
    ASSERT_TRUE(list.LoadActions("1\r\nbtn\r\n" + std::string(c.kindLine) + "\r\na\r\nb\r\nc").ok())
        << c.kindLine;
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.actions()[0].kind, c.want) << c.kindLine;
  }
}

TEST(LoadActions, FieldsInGroupsOfFive) {
  ActionList list;
  ASSERT_TRUE(list.LoadActions("2\r\nlblWebsite\r\n0\r\n<Website>\r\n \r\n \r\n"
                               "btnAbout\r\n1\r\nAboutWindow\r\np2\r\np3")
                  .ok());
  ASSERT_EQ(list.size(), 2u);
  const Action& about = list.actions()[1];
  EXPECT_EQ(about.controlName, "btnAbout");
  EXPECT_EQ(about.kind, 1);
  EXPECT_EQ(about.param1, "AboutWindow");
  EXPECT_EQ(about.param2, "p2");
  EXPECT_EQ(about.param3, "p3");
  EXPECT_EQ(list.actions()[0].param1, "<Website>");
  EXPECT_EQ(list.actions()[0].param3, " ");
}

TEST(LoadActions, EmptyTextAndCountsOfZeroOrLessGiveNoActions) {
  for (const char* text : {"", "0", "-3\r\nbtn\r\n1\r\n \r\n \r\n ", "0\r\nleft over"}) {
    ActionList list;
    EXPECT_TRUE(list.LoadActions(text).ok()) << text;
    EXPECT_TRUE(list.empty()) << text;
  }
}

TEST(LoadActions, FailuresAreErrorsAndLeaveTheListEmpty) {
  struct Case {
    const char* text;
    ErrorCode code;
    const char* mentions;
  } cases[] = {
      {"x", ErrorCode::Syntax, "action count \"x\""},
      {" ", ErrorCode::Syntax, "action count"},
      {"1\r\nbtn\r\nabc\r\n \r\n \r\n ", ErrorCode::Syntax, "kind \"abc\" of action 1"},
      {"1\r\nbtn\r\n1.5\r\n \r\n \r\n ", ErrorCode::Syntax, "kind \"1.5\""},
      {"1\r\nbtn\r\n$10\r\n \r\n \r\n ", ErrorCode::Syntax, "kind \"$10\""},
      {"1\r\nbtn\r\n4294967296\r\n \r\n \r\n ", ErrorCode::Syntax, "not an integer"},
      {"2\r\na\r\n1\r\n \r\n \r\n \r\nb\r\n2\r\n \r\n ", ErrorCode::Truncated, "2 actions need 10"},
      // An empty last parameter joined without its line break is no line at all: one short.
      {"1\r\nbtn\r\n1\r\nMain\r\n \r\n", ErrorCode::Truncated, "has 4"},
  };
  for (const auto& c : cases) {
    ActionList list;
    ASSERT_TRUE(list.LoadActions("1\r\nold\r\n1\r\n \r\n \r\n ").ok());
    Status status = list.LoadActions(c.text);
    ASSERT_TRUE(status.is_error()) << c.text;
    EXPECT_EQ(status.error().code, c.code) << c.text;
    EXPECT_TRUE(Contains(status.error().message, c.mentions)) << status.error().message;
    EXPECT_TRUE(list.empty()) << c.text;
  }
}

TEST(FindAction, IgnoresCaseAndTheFirstWins) {
  ActionList list;
  ASSERT_TRUE(list.LoadActions("3\r\nbtnNext\r\n2\r\n \r\n \r\n \r\nBTNNEXT\r\n3\r\n \r\n \r\n \r\n"
                               "lbl\xC9t\xE9\r\n6\r\n \r\n \r\n ")
                  .ok());
  ASSERT_NE(list.FindAction("btnnext"), nullptr);
  EXPECT_EQ(list.FindAction("btnnext")->kind, 2);
  EXPECT_EQ(list.FindAction("LBL\xC9T\xC9")->kind, 6);  // accented letters fold too
  EXPECT_EQ(list.FindAction("btnNext "), nullptr);      // the sender's name is taken as it is
  EXPECT_EQ(list.FindAction("btnPrev"), nullptr);
}

// A minimal definition file around the given entries (each already a list of lines).
std::string DefinitionFile(const std::vector<Lines>& entries) {
  Lines lines{std::to_string(entries.size())};
  for (const auto& e : entries) lines.insert(lines.end(), e.begin(), e.end());
  return Crlf(lines);
}

Lines Entry(const Lines& form, const Lines& actions, const Lines& designer = {"Dummy"}) {
  Lines lines{std::to_string(form.size())};
  lines.insert(lines.end(), form.begin(), form.end());
  lines.push_back(std::to_string(actions.size()));
  lines.insert(lines.end(), actions.begin(), actions.end());
  lines.push_back(std::to_string(designer.size()));
  lines.insert(lines.end(), designer.begin(), designer.end());
  return lines;
}

const Lines kMainForm = {"object MainWindow: TfmVEFormParent", "  Caption = 'Sea'", "end"};
const Lines kAboutForm = {"object AboutWindow: TfmVEFormParent", "end"};

TEST(LoadDefinitions, ReadsFormsActionsAndSkipsTheDesignerBlock) {
  // The designer block holds lines that would read as counts if it were not skipped whole.
  std::string file =
      DefinitionFile({Entry(kMainForm, {"1", "btnNext", "2", "", " ", ""}, {"3", "x", "y"}),
                      Entry(kAboutForm, {}, {})});
  FormCollection forms;
  ASSERT_TRUE(forms.LoadDefinitionsFromText(file).ok());
  ASSERT_EQ(forms.size(), 2u);
  const FormDefinition& main = forms.forms()[0];
  EXPECT_EQ(main.name, "MainWindow");
  EXPECT_EQ(main.lines, kMainForm);
  ASSERT_EQ(main.actions.size(), 1u);
  // Empty parameter lines read as one blank, the last one included.
  EXPECT_EQ(main.actions.actions()[0].param1, " ");
  EXPECT_EQ(main.actions.actions()[0].param3, " ");
  EXPECT_EQ(forms.forms()[1].name, "AboutWindow");
  EXPECT_TRUE(forms.forms()[1].actions.empty());
}

TEST(LoadDefinitions, FormCountOfZeroOrLessGivesNoForms) {
  for (const char* text : {"0\r\n", "-1\r\n5\r\nleft over\r\n", " 0 "}) {
    FormCollection forms;
    EXPECT_TRUE(forms.LoadDefinitionsFromText(text).ok()) << text;
    EXPECT_TRUE(forms.empty());
    EXPECT_EQ(forms.FindForm("MainWindow"), nullptr);
  }
}

TEST(LoadDefinitions, DamagedFilesGiveErrorsNamingTheLine) {
  struct Case {
    const char* name;
    std::string text;
    ErrorCode code;
    const char* mentions;
  } cases[] = {
      {"Empty", "", ErrorCode::Truncated, "is empty"},
      {"FormCountNotInteger", Crlf({"two"}), ErrorCode::Syntax, "line 1: the form count \"two\""},
      {"FormLinesNotInteger", Crlf({"1", "3x"}), ErrorCode::Syntax,
       "line 2: the line count of form 1's text \"3x\""},
      {"ActionLinesNotInteger", Crlf({"1", "1", "object A: T", "many"}), ErrorCode::Syntax,
       "line 4:"},
      {"DesignerLinesNotInteger", Crlf({"1", "1", "object A: T", "0", "?"}), ErrorCode::Syntax,
       "line 5:"},
      {"MissingFormCount", Crlf({"2", "1", "object A: T", "0", "0"}), ErrorCode::Truncated,
       "line 6: the file ends where the line count of form 2's text"},
      {"MissingActionCount", Crlf({"1", "1", "object A: T"}), ErrorCode::Truncated, "line 4:"},
      {"FormTextPastEnd", Crlf({"1", "5", "object A: T", "end"}), ErrorCode::Truncated,
       "line 2: the text of form 1 (5 lines) runs past the end of the file (2 lines follow)"},
      {"ActionsPastEnd", Crlf({"1", "1", "object A: T", "6", "1", "b"}), ErrorCode::Truncated,
       "line 4:"},
      {"DesignerPastEnd", Crlf({"1", "1", "object A: T", "0", "2", "Dummy"}), ErrorCode::Truncated,
       "line 5:"},
      {"HugeCountAllocatesNothing", Crlf({"1", "2147483647", "x"}), ErrorCode::Truncated,
       "runs past"},
      {"NegativeFormLines", Crlf({"1", "-1", "0", "0"}), ErrorCode::BadSize, "negative"},
      {"NegativeDesignerLines", Crlf({"1", "1", "object A: T", "0", "-2"}), ErrorCode::BadSize,
       "line 5:"},
      {"NoFormText", Crlf({"1", "0", "0", "0"}), ErrorCode::Corrupt, "form 1 has no text"},
      {"BadActionKind", Crlf({"1", "1", "object A: T", "6", "1", "btn", "x", "", "", ""}),
       ErrorCode::Syntax, "line 4: the actions of form 1: the kind \"x\" of action 1"},
  };
  for (const auto& c : cases) {
    FormCollection forms;
    ASSERT_TRUE(forms.AddForm("object Held: TForm", "").ok());
    Status status = forms.LoadDefinitionsFromText(c.text, "VEGUI.veu");
    ASSERT_TRUE(status.is_error()) << c.name;
    EXPECT_EQ(status.error().code, c.code) << c.name;
    EXPECT_TRUE(Contains(status.error().message, "VEGUI.veu")) << c.name;
    EXPECT_TRUE(Contains(status.error().message, c.mentions))
        << c.name << ": " << status.error().message;
    EXPECT_TRUE(forms.empty()) << c.name;
  }
}

TEST(LoadDefinitions, FromAFileDiscardsWhatWasHeld) {
  std::string folder = std::filesystem::temp_directory_path() / "vec-forms-XXXXXX";
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  std::string path = folder + "/VEGUI.veu";
  std::ofstream(path, std::ios::binary) << DefinitionFile({Entry(kAboutForm, {"0"})});

  FormCollection forms;
  ASSERT_TRUE(forms.AddForm("object Held: TForm", "").ok());
  ASSERT_TRUE(forms.LoadDefinitions(path).ok());
  ASSERT_EQ(forms.size(), 1u);
  EXPECT_EQ(forms.forms()[0].name, "AboutWindow");

  Status missing = forms.LoadDefinitions(std::string(folder) + "/missing.veu");
  ASSERT_TRUE(missing.is_error());
  EXPECT_EQ(missing.error().code, ErrorCode::OpenFailed);
  EXPECT_TRUE(Contains(missing.error().message, "missing.veu"));
  EXPECT_TRUE(forms.empty());

  Status folderPath = forms.LoadDefinitions(folder);
  ASSERT_TRUE(folderPath.is_error());
  EXPECT_EQ(folderPath.error().code, ErrorCode::OpenFailed);
  unlink(path.c_str());
  rmdir(folder.c_str());
}

TEST(FindForm, TrimsTheNameIgnoresCaseAndTheFirstWins) {
  FormCollection forms;
  ASSERT_TRUE(forms.AddForm("object MainWindow: TForm\r\nend", "").ok());
  ASSERT_TRUE(forms.AddForm("object MAINWINDOW: TForm\r\n  Tag = 2\r\nend", "").ok());
  ASSERT_TRUE(forms.AddForm("object About: TForm", "1\r\nbtnOk\r\n6\r\n \r\n \r\n ").ok());
  for (const char* name : {"MainWindow", "mainwindow", "  MainWindow\r\n", "\tMainWindow \n"}) {
    const FormDefinition* found = forms.FindForm(name);
    ASSERT_NE(found, nullptr) << name;
    EXPECT_EQ(found, &forms.forms()[0]) << name;
  }
  EXPECT_EQ(forms.FindForm("Main Window"), nullptr);
  EXPECT_EQ(forms.FindForm(""), nullptr);
  ASSERT_NE(forms.FindForm("ABOUT\r\n"), nullptr);
  EXPECT_EQ(forms.FindForm("about")->actions.FindAction("btnOk")->kind, 6);
}

TEST(AddForm, RefusesAnEmptyTextAndBadActions) {
  FormCollection forms;
  EXPECT_EQ(forms.AddForm("", "").error().code, ErrorCode::Corrupt);
  EXPECT_EQ(forms.AddForm("object A: TForm", "1\r\nb\r\nkind\r\n \r\n \r\n ").error().code,
            ErrorCode::Syntax);
  EXPECT_TRUE(forms.empty());
}

TEST(PrepareFormText, RulesForEachLine) {
  struct Case {
    const char* line;
    bool kept;
  } cases[] = {
      {"  OnClick = btnNextClick", false},
      {"Online = True", true},  // third character lower case
      {"On2 = 1", false},       // a digit upper-cases to itself
      {"On = x", false},        // so does a blank
      {"On=x", false},
      {"On", false},  // a line of only "On"
      {"On_Click = x", false},
      {"One = 1", true},
      {"onClick = x", true},  // "On" is matched with its case
      {"ONCLICK = x", true},
      {"\tOnShow = FormShow", false},  // tabs are trimmed like blanks
      {"BorderIcons = [biSystemMenu]", false},
      {"  borderstyle = bsNone", false},
      {"BorderWidth = 2", true},
      {"FormStyle = fsStayOnTop", false},
      {"FORMSTYLEX = 1", false},  // only the first nine characters count
      {"FormStyl = 1", true},
      {"Caption = 'Visible'", true},
      {"'OnClick' +", true},
  };
  for (const auto& c : cases) {
    FormDefinition form;
    form.lines = {"object W: TForm1", c.line, "end"};
    std::string want = "object W: TfmVEConfigWindow\r\n";
    if (c.kept) want += std::string(c.line) + "\r\n";
    want += "end\r\n";
    EXPECT_EQ(form.PrepareFormText(), want) << c.line;
  }
}

TEST(PrepareFormText, OnlyTheFirstVisibleLineGoesAndDeletionsDoNotSkipLines) {
  FormDefinition form;
  form.lines = {
      "object About: TfmVEFormParent", "  Caption = 'About'",
      "  OnShow = FormShow",  // two deleted lines in a row: both go
      "  OnClose = FormClose",         "  object pnl: TPanel",
      "    Visible = False",  // no Visible of the window's own: this one goes
      "    object lbl: TLabel",
      "      VISIBLE = True",  // kept, as is every later one
      "      OnClick = lblClick",      "      Visible = False", "    end", "  end", "end"};
  EXPECT_EQ(form.PrepareFormText(),
            "object About: TfmVEConfigWindow\r\n"
            "  Caption = 'About'\r\n"
            "  object pnl: TPanel\r\n"
            "    object lbl: TLabel\r\n"
            "      VISIBLE = True\r\n"
            "      Visible = False\r\n"
            "    end\r\n"
            "  end\r\n"
            "end\r\n");
}

TEST(PrepareFormText, TakesTheNameAgainFromTheFirstLine) {
  FormCollection forms;
  ASSERT_TRUE(forms.AddForm("object Main: TfmVEFormParent\r\nend", "").ok());
  FormDefinition* form = forms.FindForm("Main");
  ASSERT_NE(form, nullptr);
  form->lines[0] = "object Renamed:TForm1";
  EXPECT_EQ(form->PrepareFormText(), "object Renamed: TfmVEConfigWindow\r\nend\r\n");
  EXPECT_EQ(form->name, "Renamed");
  // The stored text itself is left as it was.
  EXPECT_EQ(form->lines[0], "object Renamed:TForm1");
}

}  // namespace
}  // namespace vec
