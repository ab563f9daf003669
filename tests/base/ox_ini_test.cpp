#include "base/ini/ox_ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/init/ox_base.h"
#include "base/text/ox_split_string.h"
#include "base/text/ox_unicode.h"
#include "base_test_support.h"
#include "support/code_page_text.h"
#include "support/temp_dir.h"

using namespace ox_base;

namespace {

const char kLauncherText[] =
    "[base]\nName = \"patch\"\n[base.memory]\nMemBreak    = 0\nLeakBreak   = false\nDumpMemLeak = false\n"
    "[base.log]\nConsole = false\nFile = false\nMultiFile = true\n[base.engine]\n";

// Sets the base code page for one test.
class CodePage {
 public:
  explicit CodePage(unsigned codePage) : m_saved(OxBase::Instance()->m_codePage) {
    OxBase::Instance()->m_codePage = codePage;
  }
  ~CodePage() { OxBase::Instance()->m_codePage = m_saved; }

 private:
  unsigned m_saved;
};

struct Item {
  int kind;
  std::string name;
  std::string value;
  int type;
};

bool Collect(int kind, const char* name, const char* value, int type, void* user) {
  static_cast<std::vector<Item>*>(user)->push_back({kind, name, value ? value : "<null>", type});
  return true;
}

bool Parses(const std::string& text) {
  OxIni ini;
  return ini.LoadText(text.c_str());
}

}  // namespace

TEST(OxIniParse, LauncherConfigurationText) {
  OxIni ini;
  ASSERT_TRUE(ini.LoadText(kLauncherText));
  EXPECT_EQ(ini.GetSourceName(), Gbk("字符串"));
  EXPECT_EQ(ini.GetCurrentSection(), nullptr);
  EXPECT_EQ(ini.GetSectionCount(), 4);
  std::vector<Item> items;
  EXPECT_TRUE(ini.Enumerate(Collect, &items));
  ASSERT_EQ(items.size(), 11u);
  EXPECT_EQ(items[1].name, "Name");
  EXPECT_EQ(items[1].value, "patch");
  EXPECT_EQ(items[1].type, OX_INI_STRING);
  EXPECT_EQ(items[3].type, OX_INI_INT);
  EXPECT_EQ(items[4].type, OX_INI_BOOL);
  EXPECT_EQ(items[10].kind, OX_INI_ITEM_SECTION);
  EXPECT_EQ(items[10].name, "base.engine");
  EXPECT_EQ(items[10].value, "<null>");
  bool multiFile = false;
  EXPECT_TRUE(ini.GetBool("BASE.LOG", "multifile", multiFile));
  EXPECT_TRUE(multiFile);
  EXPECT_NE(ini.FindSection("base.engine"), nullptr);
  EXPECT_EQ(ini.FindSection("base.engine")->FirstKey(), nullptr);

  CurrentTempDir dir;
  ASSERT_TRUE(ini.SaveFile("base.ini", false));
  EXPECT_EQ(ReadFile("base.ini"),
            "\n[base]\nName = \"patch\"\n\n[base.memory]\nMemBreak = 0\nLeakBreak = false\nDumpMemLeak = false\n"
            "\n[base.log]\nConsole = false\nFile = false\nMultiFile = true\n\n[base.engine]\n");
}

TEST(OxIniParse, ValueKindsAndCanonicalTexts) {
  OxIni ini;
  ASSERT_TRUE(ini.LoadText("[s]\nneg = -12\nfl = 1.25\nhx = 0x1F\nlead = 007\nff=0xff\nminus = - 3.5\n"
                           "word = TRUE\nish = trueish\nq = \"two words\"\nesc = \"a\\\"b\"\n"
                           "tab = a\tb\nt = true;c\nf=false//c\nnl\n=\n\"multi\nline\"\nnone = 0x\n"
                           "big = 0x123456789\n"));
  int32_t value = 0;
  EXPECT_TRUE(ini.GetInt("s", "neg", value));
  EXPECT_EQ(value, -12);
  EXPECT_EQ(ini.GetText("s", "fl"), "1.250000");
  EXPECT_EQ(ini.GetCurrentKey()->type, OX_INI_FLOAT);
  EXPECT_EQ(ini.GetText("s", "hx"), "0x1F");
  EXPECT_TRUE(ini.GetInt("s", "hx", value));
  EXPECT_EQ(value, 31);
  EXPECT_EQ(ini.GetText("s", "lead"), "7");
  EXPECT_EQ(ini.GetText("s", "ff"), "0xFF");
  EXPECT_EQ(ini.GetText("s", "minus"), "-3.500000");
  EXPECT_TRUE(ini.GetInt("s", "minus", value));
  EXPECT_EQ(value, -3);
  bool flag = false;
  EXPECT_TRUE(ini.GetBool("s", "word", flag));
  EXPECT_TRUE(flag);
  EXPECT_EQ(ini.GetCurrentKey()->type, OX_INI_STRING);
  EXPECT_EQ(ini.GetText("s", "ish"), "trueish");
  EXPECT_EQ(ini.GetCurrentKey()->type, OX_INI_STRING);
  EXPECT_EQ(ini.GetText("s", "q"), "two words");
  EXPECT_EQ(ini.GetText("s", "esc"), "a\\\"b") << "escapes stay as written";
  EXPECT_EQ(ini.GetText("s", "tab"), "a\tb");
  EXPECT_EQ(ini.GetText("s", "t"), "true");
  EXPECT_EQ(ini.GetCurrentKey()->type, OX_INI_BOOL);
  EXPECT_EQ(ini.GetText("s", "f"), "false");
  EXPECT_EQ(ini.GetText("s", "nl"), "multi\nline");
  EXPECT_EQ(ini.GetText("s", "none"), "0x0");
  EXPECT_EQ(ini.GetText("s", "big"), "0x23456789") << "higher digits are lost";
  EXPECT_EQ(ini.GetString("s", "missing"), nullptr);
  EXPECT_EQ(ini.GetText("s", "missing"), "");
  value = 99;
  EXPECT_FALSE(ini.GetInt("s", "missing", value));
  EXPECT_EQ(value, 99);
}

TEST(OxIniParse, SyntaxErrorsFailAndKeepWhatCameBefore) {
  EXPECT_FALSE(Parses("key = 1\n[s]\n")) << "key before any section";
  EXPECT_FALSE(Parses("[s]\nKey = 1\nkey = 2\n")) << "duplicate key, any case";
  EXPECT_FALSE(Parses("[s]\na = two words\n"));
  EXPECT_FALSE(Parses("[s]\na = 12abc\n"));
  EXPECT_FALSE(Parses("[s]\na = \"open\n"));
  EXPECT_FALSE(Parses("[s\n"));
  EXPECT_FALSE(Parses("[s] x\n"));
  EXPECT_FALSE(Parses("[s]\n.a = 1\n"));
  EXPECT_FALSE(Parses("[s]\na = /b\n"));
  EXPECT_FALSE(Parses("[s]\na 1\n"));
  EXPECT_FALSE(Parses("[s]\na =   "));
  EXPECT_FALSE(Parses("[s]\na = b\\"));
  EXPECT_FALSE(Parses("[s]\na = " + Gbk("中文") + "\n")) << "unquoted Chinese";
  EXPECT_TRUE(Parses("")) << "an empty text is a complete document";
  EXPECT_TRUE(Parses("; c\n# c\n// c\n[s] ; c\na = 1 # c\n"));

  OxIni ini;
  EXPECT_FALSE(ini.LoadText("[s]\na = 1\nb = ?\nc = 3\n"));
  EXPECT_EQ(ini.GetText("s", "a"), "1");
  EXPECT_EQ(ini.GetString("s", "c"), nullptr);
  EXPECT_EQ(ini.GetError(), "") << "a parse error leaves the error text alone";
}

TEST(OxIniParse, SectionHeaders) {
  OxIni ini;
  ASSERT_TRUE(ini.LoadText("[  a b.c=d  ]\nx = 1\n[]\ny = 2\n[A B.C=D]\nz = 3\n"));
  EXPECT_EQ(ini.GetSectionCount(), 2);
  EXPECT_EQ(ini.GetText("a b.c=d", "z"), "3") << "a repeated header continues the section";
  EXPECT_EQ(ini.FindSection("a B.c=D")->GetName(), "a b.c=d");
  EXPECT_EQ(ini.GetText("", "y"), "2");
  EXPECT_EQ(ini.FindSection("nothing"), nullptr);
  EXPECT_EQ(ini.GetCurrentSection(), nullptr) << "a failed search clears the current section";
  EXPECT_FALSE(ini.FindKey(nullptr, "x"));
}

TEST(OxIniParse, MultiByteUnitsFollowTheCodePage) {
  // 乗 ends in 0x5C ("\") and 乚 in 0x5D ("]") in GBK.
  std::string text = "[" + Gbk("区乚") + "]\nv = \"" + Gbk("雾港乗") + "\"\n";
  {
    CodePage gbk(936);
    OxIni ini;
    ASSERT_TRUE(ini.LoadText(text.c_str()));
    EXPECT_EQ(ini.GetText(Gbk("区乚").c_str(), "v"), Gbk("雾港乗"));
  }
  {
    CodePage latin(1252);
    EXPECT_FALSE(Parses(text)) << "single bytes: the trail bytes end the name";
  }
  {
    CodePage utf8(65001);
    OxIni ini;
    ASSERT_TRUE(ini.LoadText("[\xE5\x8C\xBA]\nv = \"\xE9\x9B\xBE\"\n"));
    EXPECT_EQ(ini.GetText("\xE5\x8C\xBA", "v"), "\xE9\x9B\xBE");
    EXPECT_FALSE(Parses("[s]\nv = \"\xE9\x9B")) << "a cut character is an error";
  }
}

TEST(OxIniFile, GbkGameIniRoundTripsByteForByte) {
  CurrentTempDir dir;
  CodePage gbk(936);
  std::string original = "\n[farLaunch]\nAraeName = \"" + Gbk("电信一区乗") + "\"\nForceUpdateVersion = 1\n" +
                         "\n[" + Gbk("设置") + "]\nVolume = 0x1F\nRate = 1.500000\nFull = false\n";
  WriteFile("rh_game.ini", original);
  OxIni ini;
  ASSERT_TRUE(ini.LoadFile("rh_game.ini"));
  EXPECT_EQ(ini.GetSourceName(), "rh_game.ini");
  EXPECT_EQ(ini.GetText("farLaunch", "AraeName"), Gbk("电信一区乗"));
  ASSERT_TRUE(ini.SaveFile("rh_game.ini", false));
  EXPECT_EQ(ReadFile("rh_game.ini"), original);

  ASSERT_TRUE(ini.AddSection("farLaunch") == false);
  EXPECT_TRUE(ini.SetInt("farLaunch", "ForceUpdateVersion", 0, false));
  EXPECT_TRUE(ini.SaveFile(".\\rh_game.ini", false));
  EXPECT_NE(ReadFile("rh_game.ini").find("ForceUpdateVersion = 0\n"), std::string::npos);
}

TEST(OxIniFile, LoadFailuresAndByteOrderMark) {
  CurrentTempDir dir;
  OxIni ini;
  EXPECT_FALSE(ini.LoadFile("missing.ini"));
  EXPECT_EQ(ini.GetError(), "missing.ini" + Gbk("文件找不到或者打不开。"));
  WriteFile("bom.ini", "\xEF\xBB\xBF[s]\na = 1\n");
  EXPECT_TRUE(ini.LoadFile("bom.ini"));
  EXPECT_EQ(ini.GetText("s", "a"), "1");
  EXPECT_EQ(ini.GetError(), "missing.ini" + Gbk("文件找不到或者打不开。")) << "never cleared by a load";
  WriteFile("bad.ini", "[s]\na = 1\nb = ?\n");
  EXPECT_FALSE(ini.LoadFile("bad.ini"));
  EXPECT_EQ(ini.GetSourceName(), "bad.ini");
  EXPECT_EQ(ini.GetText("s", "a"), "1");
}

TEST(OxIniFile, MacrosAreExpandedFromTheLookup) {
  CurrentTempDir dir;
  static auto lookup = [](const char* name) -> const char* {
    if (std::string(name) == "cfg_Server") return "10.0.0.1";
    if (std::string(name) == "Server") return "plain";
    return nullptr;
  };
  WriteFile("m.ini", "[s]\nhost = \"$L:Server$\"\n");
  OxIni ini;
  ASSERT_TRUE(ini.LoadFile("m.ini", lookup, "cfg"));
  EXPECT_EQ(ini.GetText("s", "host"), "10.0.0.1");
  ASSERT_TRUE(ini.LoadFile("m.ini", lookup));
  EXPECT_EQ(ini.GetText("s", "host"), "plain");
  WriteFile("u.ini", "[s]\nhost = \"$L:Unknown$\"\n");
  ASSERT_TRUE(ini.LoadFile("u.ini", lookup));
  EXPECT_EQ(ini.GetText("s", "host"), "$L:Unknown$") << "a failed expansion parses the text as read";
  ASSERT_TRUE(ini.LoadFile("m.ini", lookup, "a_prefix_much_longer_than_20"));
  EXPECT_EQ(ini.GetText("s", "host"), "$L:Server$");
}

TEST(OxIniFile, SavingWritesWholeLinesAndNeverTruncates) {
  CurrentTempDir dir;
  OxIni ini;
  std::string longKey(600, 'k');
  std::string longValue(900, 'v');
  ini.AddSection("s");
  ini.AddString(nullptr, longKey.c_str(), longValue.c_str());
  ini.AddSection("");
  ini.AddInt(nullptr, "x", 1);
  ASSERT_TRUE(ini.SaveFile("long.ini", false));
  // A section without a name keeps its header: its keys stay its own.
  EXPECT_EQ(ReadFile("long.ini"), "\n[s]\n" + longKey + " = \"" + longValue + "\"\n\n[]\nx = 1\n");
  OxIni again;
  ASSERT_TRUE(again.LoadFile("long.ini"));
  EXPECT_EQ(again.GetText("s", longKey.c_str()), longValue);
  EXPECT_EQ(again.GetText("", "x"), "1");
  EXPECT_EQ(again.GetString("s", "x"), nullptr);

  WriteFile("ro.ini", "[keep]\n");
  ::chmod("ro.ini", 0444);
  EXPECT_FALSE(ini.SaveFile("ro.ini", false));
  EXPECT_EQ(ReadFile("ro.ini"), "[keep]\n");
  EXPECT_TRUE(ini.SaveFile("ro.ini", true));
  EXPECT_NE(ReadFile("ro.ini"), "[keep]\n");

  std::filesystem::create_directory("dir.ini");
  EXPECT_FALSE(ini.SaveFile("dir.ini", false)) << "cannot replace a directory";
  EXPECT_TRUE(std::filesystem::is_directory("dir.ini"));

  OxIni empty;
  WriteFile("empty.ini", "[old]\n");
  EXPECT_FALSE(empty.SaveFile("empty.ini", false)) << "no sections: the walk reports false";
  EXPECT_EQ(ReadFile("empty.ini"), "") << "and the file is written empty";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 4)
      << "no temporary file stays behind";
}

TEST(OxIniFile, WhatTheParserAcceptsIsSavedSoThatItReadsBackTheSame) {
  CurrentTempDir dir;
  CodePage gbk(936);
  // A bare value may hold a double quote, which quotes cannot; floats are
  // kept as the nearest float of their text, so their "%f" text reads back.
  const std::string text = "[farLaunch]\nAraeName = Harbour\"East\nPath = c:\\games\\\"x\"\nTab = a\tb\n"
                           "Q = \"say \\\"hi\\\"\"\nF = 0.999999\nG = 3.000001\nBig = 99999999999.5\nTiny = -0.0000001\n"
                           "[]\nNameless = 1\n[" + Gbk("区乚") + "]\nV = \"" + Gbk("港乗") + "\"\n";
  WriteFile("rh_game.ini", text);
  OxIni ini;
  ASSERT_TRUE(ini.LoadFile("rh_game.ini"));
  std::vector<Item> before;
  ini.Enumerate(Collect, &before);
  ASSERT_TRUE(ini.SaveFile("rh_game.ini", false));
  EXPECT_NE(ReadFile("rh_game.ini").find("\nAraeName = Harbour\"East\n"), std::string::npos) << ReadFile("rh_game.ini");

  OxIni reread;
  ASSERT_TRUE(reread.LoadFile("rh_game.ini")) << ReadFile("rh_game.ini");
  std::vector<Item> after;
  reread.Enumerate(Collect, &after);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].kind, before[i].kind) << i;
    EXPECT_EQ(after[i].name, before[i].name) << i;
    EXPECT_EQ(after[i].value, before[i].value) << i;
    EXPECT_EQ(after[i].type, before[i].type) << i;
  }
  EXPECT_EQ(reread.GetText("farLaunch", "AraeName"), "Harbour\"East");
  EXPECT_EQ(reread.GetText("farLaunch", "F"), "0.999999");
  EXPECT_EQ(reread.GetText("farLaunch", "Big"), "99999997952.000000") << "the nearest float, not a wrapped integer";
}

TEST(OxIniFile, AValueThatCannotBeWrittenFaithfullyFailsTheSaveAndKeepsTheFile) {
  CurrentTempDir dir;
  ox_test::BaseLogCapture capture;
  WriteFile("rh_game.ini", "[farLaunch]\nAraeName = north\n");
  for (const char* value : {"two \"words\"", "ends in \\"}) {
    OxIni ini;
    ASSERT_TRUE(ini.LoadFile("rh_game.ini"));
    ini.FindKey("farLaunch", "AraeName");
    ini.GetCurrentKey()->value = value;
    EXPECT_FALSE(ini.SaveFile("rh_game.ini", true)) << value;
    EXPECT_EQ(ReadFile("rh_game.ini"), "[farLaunch]\nAraeName = north\n") << value;
  }
  EXPECT_EQ(capture.Messages().back(), "OxIni: [farLaunch] AraeName cannot be written so that it reads back the same\n");
  OxIni names;
  names.AddSection("a]b");
  EXPECT_FALSE(names.SaveFile("rh_game.ini", false)) << "a section name the parser would cut";
  names.AddSection("s");
  names.AddInt("s", "two words", 1);
  std::string text;
  EXPECT_FALSE(names.SaveText(text)) << "a key name the parser cannot take";
  EXPECT_EQ(ReadFile("rh_game.ini"), "[farLaunch]\nAraeName = north\n");
}

TEST(OxIniEdit, AddingSettingAndEnumerating) {
  OxIni ini;
  EXPECT_FALSE(ini.AddInt("s", "k", 1)) << "no such section";
  EXPECT_FALSE(ini.AddInt(nullptr, "k", 1)) << "no current section";
  EXPECT_TRUE(ini.AddSection("s"));
  EXPECT_FALSE(ini.AddSection("S"));
  EXPECT_TRUE(ini.AddString(nullptr, "str", "x"));
  EXPECT_FALSE(ini.AddString("s", "STR", "y"));
  EXPECT_EQ(ini.GetText("s", "str"), "x");
  EXPECT_TRUE(ini.AddHex("s", "h", 0xABCu));
  EXPECT_TRUE(ini.AddFloat("s", "f", 0.5f));
  EXPECT_TRUE(ini.AddBool("s", "b", true));
  EXPECT_EQ(ini.GetText("s", "h"), "0xABC");
  EXPECT_EQ(ini.GetText("s", "f"), "0.500000");

  EXPECT_TRUE(ini.SetInt("s", "str", 42, false));
  EXPECT_EQ(ini.GetCurrentKey()->type, OX_INI_INT);
  EXPECT_EQ(ini.GetText("s", "str"), "42");
  EXPECT_FALSE(ini.SetInt("s", "new", 1, false));
  EXPECT_EQ(ini.GetString("s", "new"), nullptr);
  EXPECT_TRUE(ini.SetInt("t", "new", -1, true));
  EXPECT_EQ(ini.GetText("t", "new"), "-1");

  OxIniSection* section = ini.FindSection("s");
  EXPECT_EQ(section->NextKey(), nullptr) << "walk not started";
  std::vector<std::string> names;
  for (OxIniKey* key = section->FirstKey(); key; key = section->NextKey()) names.push_back(key->name);
  EXPECT_EQ(names, (std::vector<std::string>{"str", "h", "f", "b"}));

  std::vector<Item> items;
  auto stopAtKey = [](int kind, const char*, const char*, int, void* user) {
    static_cast<std::vector<Item>*>(user)->push_back({kind, "", "", 0});
    return kind == OX_INI_ITEM_SECTION;
  };
  EXPECT_FALSE(ini.Enumerate(stopAtKey, &items));
  EXPECT_EQ(items.size(), 2u);
  EXPECT_FALSE(ini.Enumerate(nullptr, nullptr)) << "the default OnItem stops the walk";
  EXPECT_TRUE(ini.Enumerate(Collect, &items));
  EXPECT_EQ(ini.GetCurrentSection(), nullptr);
  EXPECT_EQ(ini.GetCurrentKey(), nullptr);
  ini.Clear();
  EXPECT_EQ(ini.GetSectionCount(), 0);
}

TEST(OxIniEdit, TypedReadsFollowTheStoredType) {
  OxIni ini;
  ASSERT_TRUE(ini.LoadText("[s]\nb = false\ni = 0\nh = 0x0\nf = 0.0\nf2 = 3.99\ns1 = \"12x\"\ns2 = \"True\"\n"
                           "s3 = \"0\"\ns4 = \"yes\"\n"));
  bool flag = true;
  int32_t value = -1;
  EXPECT_TRUE(ini.GetBool("s", "b", flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(ini.GetBool("s", "i", flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(ini.GetBool("s", "h", flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(ini.GetBool("s", "f", flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(ini.GetInt("s", "f2", value));
  EXPECT_EQ(value, 3);
  EXPECT_TRUE(ini.GetInt("s", "s1", value));
  EXPECT_EQ(value, 12);
  EXPECT_TRUE(ini.GetBool("s", "s1", flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(ini.GetBool("s", "s2", flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(ini.GetBool("s", "s3", flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(ini.GetBool("s", "s4", flag));
  EXPECT_FALSE(flag);
  EXPECT_TRUE(ini.GetInt("s", "s4", value));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(ini.GetInt("s", "b", value));
  EXPECT_EQ(value, 0);
}

TEST(OxIniError, FormatErrorComposesTheReport) {
  OxIni ini;
  std::string head = Gbk("处理INI 'a.ini' 时出错。第 3 行，位置：7\n    ");
  EXPECT_EQ(ini.FormatError("a.ini", "msg", 3, 7, nullptr, 0), head + "msg");
  EXPECT_EQ(ini.FormatError("a.ini", "msg", 3, 7, "x = ?", 4), head + "x = ?\n    ----^\nmsg");
  EXPECT_EQ(ini.FormatError("a.ini", "m", 3, 7, "t", 120), head + "t\n    ----------^\nm");
  EXPECT_EQ(ini.GetError(), head + "t\n    ----------^\nm");
}

TEST(SplitString, PiecesAndEmptyPieces) {
  std::vector<std::string> out = {"kept"};
  EXPECT_EQ(SplitString("a,,b", ",", out, false), 3);
  EXPECT_EQ(out, (std::vector<std::string>{"kept", "a", "", "b"}));
  out.clear();
  EXPECT_EQ(SplitString("a,,b", ",", out, true), 2);
  EXPECT_EQ(out, (std::vector<std::string>{"a", "b"}));
  out.clear();
  EXPECT_EQ(SplitString("a,b,", ",", out, false), 2);
  EXPECT_EQ(SplitString(",x", ",;", out, false), 2);
  EXPECT_EQ(out, (std::vector<std::string>{"a", "b", "", "x"}));
  out.clear();
  EXPECT_EQ(SplitString("", ",", out, false), 1);
  EXPECT_EQ(SplitString("", ",", out, true), 0);
  EXPECT_EQ(out, std::vector<std::string>{""});
}
