// The naming rules a release's files must meet: each name Windows or the
// launcher's code page cannot hold as a file of its own gets one line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/site/release_names.h"

TEST(ReleaseNames, EachRefusedNameGetsOneLineSaying) {
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> problems;
  };
  const std::vector<Case> cases = {
      {{"client.exe", "data/中文/说明.txt", "Data/map.dat", "data/x.pak", "console/a", "icon.png", "COM10", "lpt",
        "a.b.c", ".hidden", "nul-free.txt", "données.txt"},
       {}},
      {{"data/😀.txt"}, {"data/😀.txt: has no form in the launcher's code page (GBK)"}},
      {{"Data.pak", "data.pak", "DATA.PAK"},
       {"data.pak: differs from Data.pak only in letter case: one file on Windows",
        "DATA.PAK: differs from Data.pak only in letter case: one file on Windows"}},
      {{"maps", "Maps/a.dat"}, {"maps: differs from the folder Maps only in letter case: one name on Windows"}},
      {{"CON", "data/aux.txt", "Nul.tar.gz", "x/com1", "LPT9.log", "prn .txt"},
       {"CON: \"CON\" is a device name on Windows", "data/aux.txt: \"aux.txt\" is a device name on Windows",
        "Nul.tar.gz: \"Nul.tar.gz\" is a device name on Windows", "x/com1: \"com1\" is a device name on Windows",
        "LPT9.log: \"LPT9.log\" is a device name on Windows",
        "prn .txt: \"prn .txt\" is a device name on Windows"}},
      {{"farLaunch.exe.", "publisher.pub ", "data./x"},
       {"farLaunch.exe.: \"farLaunch.exe.\" ends in a dot or a space, which Windows drops: another name for the "
        "same file",
        "publisher.pub : \"publisher.pub \" ends in a dot or a space, which Windows drops: another name for the "
        "same file",
        "data./x: \"data.\" ends in a dot or a space, which Windows drops: another name for the same file"}},
      {{"C:x", "a*b", "q?", "say\"hi\"", "<x>", "a|b", "tab\tname", "data/line\nbreak"},
       {"C:x: \"C:x\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "a*b: \"a*b\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "q?: \"q?\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "say\"hi\": \"say\"hi\"\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "<x>: \"<x>\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "a|b: \"a|b\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "tab\tname: \"tab\tname\" holds a character Windows refuses in names (:*?\"<>| or a control character)",
        "data/line\nbreak: \"line\nbreak\" holds a character Windows refuses in names (:*?\"<>| or a control "
        "character)"}},
      {{"a//b", "/a"},
       {"a//b: \"\" holds an empty folder or file name", "/a: \"\" holds an empty folder or file name"}},
  };
  for (const Case& names : cases) {
    EXPECT_EQ(ReleaseNameProblems(names.names), names.problems) << ::testing::PrintToString(names.names);
  }
}
