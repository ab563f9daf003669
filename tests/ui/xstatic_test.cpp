#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"
#include "ui/dialog_controls.h"
#include "ui/memory_canvas.h"
#include "ui/recording_surface.h"
#include "ui/text_layout.h"

namespace {

using platform::Rgb;
using testing_canvas::kGlyphWidth;
using testing_canvas::MemoryCanvas;
using testing_canvas::RecordingSurface;

const ui::TextMeasure kMeasure = [](const std::string& s) { return static_cast<int>(s.size()) * kGlyphWidth; };

std::vector<std::string> Wrap(const std::string& text, int characters) {
  return ui::WrapLines(text, characters * kGlyphWidth, kMeasure);
}

using Lines = std::vector<std::string>;

TEST(WrapLines, CutsAtTheLastSpaceThatFitsOrBeforeTheCharacterThatDoesNot) {
  EXPECT_EQ(Wrap("hello world", 8), (Lines{"hello", "world"}));
  EXPECT_EQ(Wrap("abcdefghij", 4), (Lines{"abcd", "efgh", "ij"}));
  // A line ending in a space is taken whole; the next starts after it.
  EXPECT_EQ(Wrap("abc defgh", 4), (Lines{"abc ", "defg", "h"}));
  // The space rule looks at the line without the character that did not fit.
  EXPECT_EQ(Wrap("a bc de", 4), (Lines{"a", "bc", "de"}));
  EXPECT_EQ(Wrap("fits", 4), (Lines{"fits"}));
  EXPECT_EQ(Wrap("", 4), Lines{});
  // Narrower than one character: one character per line, never stuck.
  EXPECT_EQ(Wrap("abc", 0), (Lines{"a", "b", "c"}));
}

TEST(WrapLines, CarriageReturnLineFeedPairsEndLinesInEitherOrder) {
  EXPECT_EQ(Wrap("ab\r\ncd", 20), (Lines{"ab", "cd"}));
  EXPECT_EQ(Wrap("ab\n\rcd", 20), (Lines{"ab", "cd"}));
  EXPECT_EQ(Wrap("ab\r\n", 20), (Lines{"ab"}));
  EXPECT_EQ(Wrap("ab\r\n\r\ncd", 20), (Lines{"ab", "", "cd"}));
  // Lone or doubled breaks stay inside the line.
  EXPECT_EQ(Wrap("ab\rcd", 20), (Lines{"ab\rcd"}));
  EXPECT_EQ(Wrap("ab\n\ncd", 20), (Lines{"ab\n\ncd"}));
  EXPECT_EQ(Wrap("ab\r\r\ncd", 20), (Lines{"ab\r", "cd"}));
  // A lone break followed by text is not paired with a later one.
  EXPECT_EQ(Wrap("a\rb\nc", 20), (Lines{"a\rb\nc"}));
}

TEST(WrapLines, DoubleByteCharactersAreNeverSplit) {
  // "正在下载" in GBK: four characters of two bytes each.
  const std::string text = "\xd5\xfd\xd4\xda\xcf\xc2\xd4\xd8";
  EXPECT_EQ(Wrap(text, 5), (Lines{"\xd5\xfd\xd4\xda", "\xcf\xc2\xd4\xd8"}));
  EXPECT_EQ(Wrap(text, 1), (Lines{"\xd5\xfd", "\xd4\xda", "\xcf\xc2", "\xd4\xd8"}));
}

TEST(TextFlags, StyleBitsGiveAlignmentPrefixAndEllipsis) {
  const ui::LabelTextFlags plain = ui::TextFlagsFromStyle(0x50000000);
  EXPECT_EQ(plain.align, platform::TextAlign::Left);
  EXPECT_FALSE(plain.noPrefix || plain.endEllipsis || plain.verticalCentre);
  EXPECT_EQ(ui::TextFlagsFromStyle(0x1).align, platform::TextAlign::Centre);
  EXPECT_EQ(ui::TextFlagsFromStyle(0x2).align, platform::TextAlign::Right);
  EXPECT_TRUE(ui::TextFlagsFromStyle(0x200).verticalCentre);
  EXPECT_TRUE(ui::TextFlagsFromStyle(0x8000).wordEllipsis);

  EXPECT_EQ(ui::ShownLine("a&b&&c", plain, 100, kMeasure), "ab&c");
  EXPECT_EQ(ui::ShownLine("a&b", ui::TextFlagsFromStyle(0x80), 100, kMeasure), "a&b");
  EXPECT_EQ(ui::ShownLine("a\tb", plain, 100, kMeasure), "a       b");
  EXPECT_EQ(ui::ShownLine("abcdefghij", ui::TextFlagsFromStyle(0x4000), 7 * kGlyphWidth, kMeasure), "abcd...");
  EXPECT_EQ(ui::ShownLine("c:\\games\\wugang\\client.exe", ui::TextFlagsFromStyle(0x8000), 16 * kGlyphWidth,
                          kMeasure),
            "c:...\\client.exe");
}

class LabelTest : public ::testing::Test {
 protected:
  LabelTest() : controls_(*res::FindDialogTemplate(res::kMainDialogTemplate), surface_) {
    status_ = controls_.Label(1007);
    status_->SetTextColour(Rgb(255, 255, 255));
    status_->SetTransparent(true);
    status_->SetFontParams("\xcb\xce\xcc\xe5", 13, 80, true);
  }

  MemoryCanvas Painted() {
    MemoryCanvas canvas(1034, 686);
    controls_.Paint(canvas, {0, 0, 1034, 686});
    return canvas;
  }

  RecordingSurface surface_;
  ui::DialogControls controls_;
  ui::CxStatic* status_;
};

TEST_F(LabelTest, TransparentLabelHasTheWindowRepaintUnderItFirst) {
  surface_.repaintedNow.clear();
  status_->SetText("abc");
  ASSERT_EQ(surface_.repaintedNow.size(), 1u);
  EXPECT_EQ(surface_.repaintedNow[0], (platform::Rect{429, 541, 641, 558}));
  EXPECT_EQ(status_->Text(), "abc");

  ui::CxStatic& version = *controls_.Label(2024);
  surface_.repaintedNow.clear();
  surface_.invalidated.clear();
  version.SetText("v");
  EXPECT_TRUE(surface_.repaintedNow.empty());
  EXPECT_EQ(surface_.invalidated, std::vector<platform::Rect>{(platform::Rect{809, 625, 975, 640})});
}

TEST_F(LabelTest, DrawsOverTheBackgroundAndWrappedTextIsCutAtTheBottomEdge) {
  // 210 pixels hold 35 glyphs: the second line starts at row 13 of 15.
  status_->SetText(std::string(30, 'x') + " " + std::string(30, 'y'));
  const MemoryCanvas canvas = Painted();
  const platform::Colour white = Rgb(255, 255, 255);
  EXPECT_EQ(canvas.At(430, 542), white);         // first line
  EXPECT_EQ(canvas.At(430, 542 + 14), white);    // second line, last row
  EXPECT_NE(canvas.At(430, 542 + 15), white);    // nothing below the label
  EXPECT_NE(canvas.At(430, 542 + 20), white);
  // Between glyphs the window background shows through.
  const MemoryCanvas background = [&] {
    RecordingSurface s;
    ui::DialogControls bare(*res::FindDialogTemplate(res::kMainDialogTemplate), s);
    MemoryCanvas c(1034, 686);
    bare.Paint(c, {0, 0, 1034, 686});
    return c;
  }();
  EXPECT_EQ(canvas.At(430 + kGlyphWidth - 1, 545), background.At(430 + kGlyphWidth - 1, 545));
  EXPECT_EQ(canvas.At(635, 545), background.At(635, 545));
}

TEST_F(LabelTest, RepeatedTextsLeaveNoTraceOfEarlierOnes) {
  status_->SetText("wwwwwwwwwwwwwwwwwwww");
  MemoryCanvas canvas = Painted();
  status_->SetText("i");
  // The window repaints the area: background first, then the label.
  controls_.Paint(canvas, surface_.repaintedNow.back());
  EXPECT_EQ(canvas.At(430, 545), Rgb(255, 255, 255));
  EXPECT_NE(canvas.At(440, 545), Rgb(255, 255, 255));
}

TEST_F(LabelTest, DroppedBmpFileShowsUnderTheTextWithWhiteSeeThrough) {
  const TempDir temp;
  const std::filesystem::path& dir = temp.Path();
  // A 2x1 picture: red, white; stretched over the label without its last
  // row and column, so the left column (red) covers everything.
  const unsigned char bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
                               0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  const auto write = [&](const std::string& name) {
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
    return (dir / name).string();
  };
  const std::string upper = write("skin.BMP");
  const std::string other = write("skin.png");
  ui::CxStatic& version = *controls_.Label(2024);

  version.OnDropFiles({other});
  EXPECT_NE(Painted().At(812, 630), Rgb(255, 0, 0));
  version.OnDropFiles({upper, upper});
  EXPECT_NE(Painted().At(812, 630), Rgb(255, 0, 0));
  controls_.DropFiles(812, 630, {(dir / "missing.bmp").string()});
  EXPECT_NE(Painted().At(812, 630), Rgb(255, 0, 0));
  controls_.DropFiles(812, 630, {upper});
  EXPECT_EQ(Painted().At(812, 630), Rgb(255, 0, 0));
  EXPECT_EQ(Painted().At(970, 638), Rgb(255, 0, 0));
}

TEST_F(LabelTest, VerticalCentringAndRightAlignmentFollowTheStyle) {
  RecordingSurface surface;
  res::DialogTemplate dialog{0, "f", 9, 100, 100, {}};
  dialog.items.push_back({1, res::ControlKind::Label, 0x50000000 | 0x200 | 0x2, {0, 0, 60, 40}, 0});
  ui::DialogControls controls(dialog, surface);
  ui::CxStatic& label = *controls.Label(1);
  label.SetFontParams("f", 10, 400, true);
  label.SetTextColour(Rgb(1, 1, 1));
  label.SetText("ab");
  MemoryCanvas canvas(100, 100);
  controls.Paint(canvas, {0, 0, 100, 100});
  EXPECT_EQ(canvas.At(59 - 1, 15), Rgb(1, 1, 1));  // right aligned, centred rows 15..24
  EXPECT_EQ(canvas.At(50, 24), Rgb(1, 1, 1));
  EXPECT_NE(canvas.At(50, 14), Rgb(1, 1, 1));
  EXPECT_NE(canvas.At(50, 25), Rgb(1, 1, 1));
  EXPECT_NE(canvas.At(40, 20), Rgb(1, 1, 1));
}

}  // namespace
