#include <gtest/gtest.h>

#include "frontends/console/html_charset.h"
#include "frontends/console/html_visible_text.h"

namespace frontends::console {
namespace {

// A news page as the publisher's site serves it: head, inline scripts and
// styles, comments, a table and the launcher's request markers.
const char* const kNewsPage = R"(<!DOCTYPE html>
<html>
<head>
  <meta charset="utf-8">
  <title>Login page title</title>
  <style>body { color: red; } .hidden:before { content: "style text"; }</style>
  <script type="text/javascript">
    var s = "<p>not text</p>"; if (a < b && c > d) { document.write("script text"); }
  </script>
</head>
<body>
  <!-- a comment <p>with markup</p> -->
  <div id="news">
    <h1>Server   news</h1>
    <p>Patch 1.2 is   out.<br>Enjoy&nbsp;it!</p>
    <SCRIPT>alert("upper-case script")</SCRIPT>
    <ul><li>first</li><li>second &amp; third</li></ul>
  </div>
  <table><tr><td>a</td><td>b</td></tr><tr><td>c</td><td>d</td></tr></table>
  <noscript>enable scripts</noscript>
  <span>RunClient[[user;;1;2;North;10.0.0.1;7000;pay;s;q;10.0.0.2;url;3]]</span>
</body>
</html>
)";

TEST(VisibleTextOfHtml, LeavesOutScriptsStylesCommentsAndHead) {
  std::string text = VisibleTextOfHtml(kNewsPage);
  EXPECT_EQ(text,
            "Server news\n"
            "Patch 1.2 is out.\n"
            "Enjoy it!\n"
            "first\n"
            "second & third\n"
            "a\tb\n"
            "c\td\n"
            "RunClient[[user;;1;2;North;10.0.0.1;7000;pay;s;q;10.0.0.2;url;3]]");
  for (const char* hidden : {"title", "color", "style text", "not text", "script text", "comment", "with markup",
                             "upper-case", "enable scripts"}) {
    EXPECT_EQ(text.find(hidden), std::string::npos) << hidden;
  }
}

TEST(VisibleTextOfHtml, DecodesCharacterReferences) {
  EXPECT_EQ(VisibleTextOfHtml("<p>&lt;b&gt; &quot;q&quot; &apos;a&apos; &amp;amp;</p>"), "<b> \"q\" 'a' &amp;");
  // Decimal and hexadecimal references, with and without the ";".
  EXPECT_EQ(VisibleTextOfHtml("&#20013;&#x6587;&#X4E2D;&#65"), "\xE4\xB8\xAD\xE6\x96\x87\xE4\xB8\xAD" "A");
  // &nbsp; is a space that white-space collapsing keeps.
  EXPECT_EQ(VisibleTextOfHtml("a&nbsp;&nbsp;b   c"), "a  b c");
  // Unknown names and bare ampersands stay as written.
  EXPECT_EQ(VisibleTextOfHtml("AT&T &unknown; &#; &"), "AT&T &unknown; &#; &");
  // Code points that are not characters become U+FFFD instead of bad UTF-8.
  EXPECT_EQ(VisibleTextOfHtml("&#0;&#xD800;&#99999999999999999999;"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(VisibleTextOfHtml, KeepsPreformattedTextAndLineBreaks) {
  EXPECT_EQ(VisibleTextOfHtml("<pre>\n  two  spaces\nnext</pre>after"), "  two  spaces\nnext\nafter");
  EXPECT_EQ(VisibleTextOfHtml("one<br>two<br/><br>four"), "one\ntwo\n\nfour");
}

TEST(VisibleTextOfHtml, SurvivesMalformedMarkup) {
  // An unterminated comment hides the rest; a tag cut off at the end is
  // dropped; a lone "<" is text; an unclosed script hides the rest.
  EXPECT_EQ(VisibleTextOfHtml("shown<!-- never closed <p>hidden"), "shown");
  EXPECT_EQ(VisibleTextOfHtml("shown<div class=\"x"), "shown");
  EXPECT_EQ(VisibleTextOfHtml("1 < 2 and 3 <> 4"), "1 < 2 and 3 <> 4");
  EXPECT_EQ(VisibleTextOfHtml("shown<script>hidden"), "shown");
  // A head that is never closed ends where the body starts.
  EXPECT_EQ(VisibleTextOfHtml("<head><title>t</title><body>body text"), "body text");
  EXPECT_EQ(VisibleTextOfHtml(""), "");
  EXPECT_EQ(VisibleTextOfHtml("</ p><!x><?php ?></>text"), "text");
}

TEST(HtmlCodePage, FollowsMarkTransportMetaThenContent) {
  const std::string gbkPage = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
                              "</head><body>\xD6\xD0\xCE\xC4</body></html>";
  EXPECT_EQ(HtmlCodePage(gbkPage, "", 65001), 936u);
  EXPECT_EQ(HtmlCodePage("<meta charset='GBK'>", "", 65001), 936u);
  // The server's Content-Type outranks the page, a byte-order mark both.
  EXPECT_EQ(HtmlCodePage(gbkPage, "text/html; charset=UTF-8", 936), 65001u);
  EXPECT_EQ(HtmlCodePage("\xEF\xBB\xBF<meta charset=gbk>", "text/html; charset=gbk", 936), 65001u);
  // A <meta> in the body is not a declaration.
  EXPECT_EQ(HtmlCodePage("<body><meta charset=gbk>text", "", 1252), 65001u);
  // Undeclared: UTF-8 when the bytes are UTF-8, else the launcher's page.
  EXPECT_EQ(HtmlCodePage("\xE4\xB8\xAD", "text/html", 936), 65001u);
  EXPECT_EQ(HtmlCodePage("\xD6\xD0", "text/html", 936), 936u);
  EXPECT_EQ(HtmlCodePage("\xD6\xD0", "text/html; charset=klingon", 936), 936u);
  EXPECT_EQ(CodePageOfCharset(" \"Big5\" "), 950u);
}

}  // namespace
}  // namespace frontends::console
