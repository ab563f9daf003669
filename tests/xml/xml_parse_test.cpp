#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "xml/base64.h"
#include "xml/xml_file.h"
#include "xml/xml_outline.h"

namespace {

struct Parsed {
  bool loaded;
  std::string tree;
};

// Loads plain XML text and pictures the root's children.
Parsed ParsePlain(const std::string& text) {
  CXMLFile document;
  const bool loaded = document.LoadText(text, true);
  const std::string root = Outline(document.Root());
  // Drop the "XML:ROOT(" ... ")" frame.
  return {loaded, root.substr(9, root.size() - 10)};
}

}  // namespace

TEST(XmlParse, ElementsAttributesAndTextNodes) {
  EXPECT_EQ(ParsePlain("<a>x</a>").tree, "a(\"x\")");
  EXPECT_TRUE(ParsePlain("<a>x</a>").loaded);
  // An element's own attributes come first; the end of its opening tag
  // leaves an empty text.
  EXPECT_EQ(ParsePlain("<a k=\"v\"></a>").tree, "a(@k=v \"\")");
  EXPECT_EQ(ParsePlain("<a k=\"v\"><b>1</b><c>2</c></a>").tree, "a(@k=v b(\"1\") c(\"2\"))");
  // Text is kept as it stands, without trimming or entity decoding.
  EXPECT_EQ(ParsePlain("<a> x &amp;\n</a>").tree, "a(\" x &amp;\n\")");
  // Mixed content keeps only the elements.
  EXPECT_EQ(ParsePlain("<a>x<b>y</b>z</a>").tree, "a(b(\"y\"))");
  // Without any "<" the text runs from after the last ">".
  EXPECT_EQ(ParsePlain("just > text").tree, "\" text\"");
  EXPECT_TRUE(ParsePlain("just text").loaded);
}

TEST(XmlParse, TheAttributeRule) {
  // A space before "=" ends the name before it starts.
  EXPECT_EQ(ParsePlain("<a k = \"v\"></a>").tree, "a(@=v \"\")");
  EXPECT_EQ(ParsePlain("<a k= \"v\"></a>").tree, "a(@k=v \"\")");
  // The quotes around a value need not match.
  EXPECT_EQ(ParsePlain("<a k='v\"></a>").tree, "a(@k=v \"\")");
  // An "=" inside a value starts a new attribute that replaces the pending one.
  EXPECT_EQ(ParsePlain("<a k=\"x=y\" m=\"z\"></a>").tree, "a(@m=z \"\")");
  // An unterminated value makes no attribute.
  EXPECT_EQ(ParsePlain("<a k=\"v></a>").tree, "a(\"\")");
  // After "!" a space no longer ends the tag name: the element opens at ">",
  // and the attribute before it belongs to the level above.
  EXPECT_EQ(ParsePlain("<a!x k=\"v\">y</a>").tree, "@k=v a(\"y\")");
  // Attributes of the declaration become attributes of the root.
  EXPECT_EQ(ParsePlain("<?xml version=\"1.0\"?>\n<a>x</a>").tree, "@version=1.0 a(\"x\")");
}

TEST(XmlParse, MarkupWithoutACompleteChildFailsTheLoad) {
  // Declarations and comments make no element, but inside an element they
  // are markup without a child.
  EXPECT_TRUE(ParsePlain("<!-- c --><a>x</a>").loaded);
  const Parsed comment = ParsePlain("<a><!-- c --></a>");
  EXPECT_FALSE(comment.loaded);
  EXPECT_EQ(comment.tree, "a()");
  // Self-closing tags are not part of the dialect: "a/" waits for "</a/>".
  EXPECT_FALSE(ParsePlain("<a/>").loaded);
  // The outer element ends at the first "</a>", leaving an unclosed one.
  EXPECT_FALSE(ParsePlain("<a><a>x</a></a>").loaded);
  // A failure deep down reaches the top.
  EXPECT_FALSE(ParsePlain("<a><b><c><d/></c></b></a>").loaded);
  // Only the space separates: a tab belongs to the name.
  EXPECT_EQ(ParsePlain("<a\tb>x</a\tb>").tree, "a\tb(\"x\")");
  EXPECT_FALSE(ParsePlain("<a\tb>x</a>").loaded);
}

TEST(XmlParse, CapacitiesAreNeverExceeded) {
  const std::string name254(254, 'n');
  const std::string name255(255, 'n');
  EXPECT_TRUE(ParsePlain("<" + name254 + ">x</" + name254 + ">").loaded);
  EXPECT_FALSE(ParsePlain("<" + name255 + ">x</" + name255 + ">").loaded);
  EXPECT_FALSE(ParsePlain("<a>x</" + std::string(300, 'a') + ">").loaded);

  const std::string key255(255, 'k');
  EXPECT_EQ(ParsePlain("<a " + key255 + "=\"v\"></a>").tree, "a(@" + key255 + "=v \"\")");
  EXPECT_FALSE(ParsePlain("<a " + key255 + "k=\"v\"></a>").loaded);

  const std::string value511(511, 'v');
  EXPECT_EQ(ParsePlain("<a k=\"" + value511 + "\"></a>").tree, "a(@k=" + value511 + " \"\")");
  EXPECT_FALSE(ParsePlain("<a k=\"" + value511 + "v\"></a>").loaded);

  // Nesting is bounded too.
  std::string open, close;
  for (int depth = 0; depth < CXMLFile::kMaxNestingDepth + 2; ++depth) {
    open += "<e" + std::to_string(depth) + ">";
    close = "</e" + std::to_string(depth) + ">" + close;
  }
  EXPECT_FALSE(ParsePlain(open + "x" + close).loaded);
}

TEST(XmlParse, LoadReadsTheStoredFormFromDisk) {
  TempDir dir;
  CXMLFile document;
  EXPECT_FALSE(document.Load(dir.File("missing.xml"), false));
  EXPECT_EQ(document.Root(), nullptr);
  EXPECT_FALSE(document.Load(dir.Write("empty.xml", ""), false));

  ASSERT_TRUE(document.Load(dir.Write("stored.xml", Base64Encode("<a>x</a>")), false));
  EXPECT_EQ(Outline(document.Root()), "XML:ROOT(a(\"x\"))");

  // As the base64 tool writes it: wrapped, with a final line break.
  const std::string stored = Base64Encode("<a k=\"" + std::string(100, 'v') + "\">x</a>");
  ASSERT_TRUE(document.Load(dir.Write("wrapped.xml", stored.substr(0, 76) + "\n" + stored.substr(76) + "\n"), false));
  EXPECT_EQ(Outline(document.Root()), "XML:ROOT(a(@k=" + std::string(100, 'v') + " \"x\"))");
  // Text that is not Base64 holds no document; neither do blanks alone.
  EXPECT_FALSE(document.Load(dir.Write("plain-by-mistake.xml", "<a>x</a>"), false));
  EXPECT_EQ(document.Root(), nullptr);
  EXPECT_FALSE(document.Load(dir.Write("blank.xml", "\n"), false));

  // A second load replaces the first; a failed one leaves no tree behind.
  ASSERT_TRUE(document.Load(dir.Write("plain.xml", "<b>y</b>"), true));
  EXPECT_EQ(Outline(document.Root()), "XML:ROOT(b(\"y\"))");
  EXPECT_FALSE(document.Load(dir.File("missing.xml"), true));
  EXPECT_EQ(document.Root(), nullptr);
}
