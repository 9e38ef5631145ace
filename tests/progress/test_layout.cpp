#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "BarTick.h"
#include "progress/ViewerFrame.h"
#include "progress/ViewerLayout.h"

// The layout without a window toolkit: text sizes come from a measurer with fixed metrics, so
// every position below is exact and the same on any platform.

namespace {

// Every character is 6 pixels wide (7 in bold); a line is the size in points + 5 high. Wrapping
// breaks at spaces, as many words to a line as fit.
class TFixedMeasurer final : public ITextMeasurer {
  public:
    int TextWidth(const TViewerFont& font, const std::string& text) override {
        return static_cast<int>(text.size()) * CharWidth(font);
    }
    int TextHeight(const TViewerFont& font, const std::string& text, int width,
                   bool wordWrap) override {
        Widths.push_back(width);
        const int lineHeight = font.Points + 5;
        if (!wordWrap) {
            return lineHeight;
        }
        const int perLine = std::max(width / CharWidth(font), 1);
        int lines = 1;
        int used = 0;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find(' ', at);
            if (end == std::string::npos) {
                end = text.size();
            }
            const int word = static_cast<int>(end - at);
            const int needed = used == 0 ? word : used + 1 + word;
            if (used > 0 && needed > perLine) {
                ++lines;
                used = word;
            } else {
                used = needed;
            }
            at = end + 1;
        }
        return lines * lineHeight;
    }

    std::vector<int> Widths;  // the widths asked for, in order

  private:
    static int CharWidth(const TViewerFont& font) { return (font.Style & fsBold) != 0 ? 7 : 6; }
};

constexpr int kWidth = 450;
constexpr int kHeight = 200;
constexpr int kBarTop = kHeight - 60;

TTickState Tick(bool percentMode, double percent) {
    return BarTick(percentMode, percent, "Elapsed 0:01:25", "Cancel (Esc)");
}

TProgressFrame Layout(const TTickState& state, int width = kWidth, int height = kHeight) {
    TFixedMeasurer measurer;
    return LayoutProgress(state, width, height, measurer);
}

TEST(PointsToPixels, RoundsAt96DotsPerInch) {
    const std::pair<int, int> cases[] = {{8, 11},  {9, 12}, {10, 13}, {12, 16},
                                         {14, 19}, {0, 0},  {-8, -11}};
    for (const auto& [points, pixels] : cases) {
        EXPECT_EQ(PointsToPixels(points), pixels) << points << " pt";
    }
}

TEST(FormatElapsed, HoursWithoutLeadingZeroMinutesAndSecondsWithTwoDigits) {
    using std::chrono::milliseconds;
    const std::pair<long long, const char*> cases[] = {
        {0, "0:00:00"},           {85'000, "0:01:25"},    {85'999, "0:01:25"},
        {3'599'999, "0:59:59"},   {3'600'000, "1:00:00"}, {36'000'000, "10:00:00"},
        {90'000'000, "25:00:00"}, {-5'000, "0:00:00"},
    };
    for (const auto& [ms, text] : cases) {
        EXPECT_EQ(FormatElapsed(milliseconds(ms)), text) << ms << " ms";
    }
}

TEST(FormatElapsedLine, PutsTheTimeInPlaceOfTheFirstPercentS) {
    EXPECT_EQ(FormatElapsedLine("Общее время: %s", "0:01:25"), "Общее время: 0:01:25");
    EXPECT_EQ(FormatElapsedLine("%s / %s", "1:00:00"), "1:00:00 / %s");
    EXPECT_EQ(FormatElapsedLine("Время", "1:00:00"), "Время");
}

TEST(LayoutProgress, TheBarLies20FromTheSidesAnd60AboveTheBottom) {
    const std::tuple<int, int, TRect> cases[] = {
        {450, 200, TRect{20, 140, 410, 20}},
        {225, 70, TRect{20, 10, 185, 20}},
        {30, 70, TRect{20, 10, 1, 20}},  // narrower than its margins: one pixel wide
    };
    for (const auto& [width, height, bar] : cases) {
        EXPECT_EQ(Layout(Tick(true, 50), width, height).Bar, bar) << width << " x " << height;
    }
}

// At another resolution every size of the design is scaled, rounded half away from zero; at 96
// nothing moves.
TEST(LayoutProgress, ScalesTheDesignsSizesWithTheResolution) {
    const std::tuple<int, TRect, TRect, TRect> cases[] = {
        {96, {20, 140, 410, 20}, {22, 142, 203, 16}, {330, 170, 100, 25}},
        {120, {25, 125, 400, 25}, {28, 128, 197, 19}, {300, 162, 125, 31}},
        {144, {30, 110, 390, 30}, {33, 113, 192, 24}, {270, 155, 150, 38}},
        {192, {40, 80, 370, 40}, {44, 84, 181, 32}, {210, 140, 200, 50}},
    };
    for (const auto& [dpi, bar, filled, button] : cases) {
        TFixedMeasurer measurer;
        const TProgressFrame frame =
            LayoutProgress(Tick(true, 50), kWidth, kHeight, measurer, TViewerScale{dpi});
        EXPECT_EQ(frame.Bar, bar) << dpi;
        EXPECT_EQ(frame.Filled, filled) << dpi;
        EXPECT_EQ(frame.CancelButton, button) << dpi;
    }
}

TEST(LayoutProgress, PercentFillsATruncatedShareOfTheBarInsideItsInset) {
    // bar width 410: done = trunc(406 * P / 100); at 225, bar 185: done = trunc(181 * P / 100)
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<int, double, double, int> cases[] = {
        {450, 37.9, 37.9, 153}, {450, 60, 60, 243},   {450, 0, 0, 0},
        {450, 0.5, 0.5, 2},     {450, 100, 100, 406}, {450, 150, 100, 406},
        {450, -5, 0, 0},        {450, nan, 0, 0},     {225, 60, 60, 108},
    };
    for (const auto& [width, percent, drawn, done] : cases) {
        const TProgressFrame frame = Layout(Tick(true, percent), width);
        EXPECT_EQ(frame.Filled, (TRect{22, kBarTop + 2, done, 16})) << width << " " << percent;
        EXPECT_EQ(frame.Percent, drawn) << percent;
    }
}

TEST(LayoutProgress, BarColourFillsTheDonePartAndDefaultMeansBlack) {
    TTickState state = Tick(true, 10);
    EXPECT_EQ(Layout(state).FillColor, kDefaultBarColor);
    state.BarColor = 0x000000FF;
    EXPECT_EQ(Layout(state).FillColor, 0x000000FFu);
    state.BarColor = clDefault;
    EXPECT_EQ(Layout(state).FillColor, clBlack);
}

TEST(LayoutProgress, MarqueeBlockMovesTenPerTickAndStartsOverPastTheBarsEnd) {
    const std::tuple<int, double, double> cases[] = {
        {450, 0, 10},
        {450, -40, -30},
        {450, 395, 405},
        {450, 400, 410},  // at the edge: not yet past it
        {450, 401, -40},  // past it: starts over, hidden left
        {450, std::nan(""), -40},
        {450, -1e300, -40},
        {225, 175, 185},
        {225, 176, -40},
    };
    for (const auto& [width, before, after] : cases) {
        const TProgressFrame frame = Layout(Tick(false, before), width);
        EXPECT_EQ(frame.Percent, after) << width << " " << before;
        EXPECT_EQ(frame.Filled, (TRect{20 + static_cast<int>(after), kBarTop + 2, 40, 16}))
            << width << " " << before;
        EXPECT_FALSE(frame.PercentText.Visible);
    }
}

TEST(LayoutProgress, PercentageNumberIsBoldTruncatedAndCentredOnTheBar) {
    TTickState state = Tick(true, 37.9);
    EXPECT_FALSE(Layout(state).PercentText.Visible);
    state.ShowPercentText = true;
    const std::tuple<double, const char*> cases[] = {{0, "0 %"}, {37.9, "37 %"}, {150, "100 %"}};
    for (const auto& [percent, text] : cases) {
        state.Percent = percent;
        const TPlacedText number = Layout(state).PercentText;
        ASSERT_TRUE(number.Visible) << percent;
        EXPECT_EQ(number.Text, text);
        EXPECT_EQ(number.Font, (TViewerFont{kUiFontName, kUiFontSize, fsBold}));
        const int width = 7 * static_cast<int>(std::string(text).size());
        EXPECT_EQ(number.Box, (TRect{20 + (410 - width) / 2, kBarTop + 4, width, 13})) << text;
    }
}

TEST(LayoutProgress, ElapsedLineEndsTwentyBeforeTheRightEdgeOrStartsAtTwentyBesideTheButton) {
    TTickState state = Tick(true, 10);
    EXPECT_FALSE(Layout(state).ElapsedText.Visible);
    state.ShowElapsedTime = true;
    const int width = 6 * static_cast<int>(state.ElapsedText.size());
    const std::tuple<int, bool, int> cases[] = {
        {450, false, 450 - 20 - width}, {450, true, 20}, {300, false, 300 - 20 - width}};
    for (const auto& [windowWidth, cancel, left] : cases) {
        state.CancelVisible = cancel;
        const TPlacedText line = Layout(state, windowWidth).ElapsedText;
        ASSERT_TRUE(line.Visible);
        EXPECT_EQ(line.Text, state.ElapsedText);
        EXPECT_EQ(line.Font, (TViewerFont{kUiFontName, kUiFontSize, 0}));
        EXPECT_EQ(line.Box, (TRect{left, kHeight - 25, width, 13})) << windowWidth << cancel;
    }
}

TEST(LayoutProgress, CancelButtonIs100By25At120FromTheRightAnd30FromTheBottom) {
    TTickState state = Tick(true, 10);
    EXPECT_FALSE(Layout(state).CancelVisible);
    state.CancelVisible = true;
    const TProgressFrame frame = Layout(state);
    EXPECT_TRUE(frame.CancelVisible);
    EXPECT_EQ(frame.CancelButton, (TRect{330, 170, 100, 25}));
    EXPECT_EQ(frame.CancelCaption, "Cancel (Esc)");
    EXPECT_EQ(CancelButtonRect(225, 70), (TRect{105, 40, 100, 25}));
}

TEST(CancelButtonRect, TakesClicksOnItsOwnPixelsOnly) {
    const TRect button = CancelButtonRect(kWidth, kHeight);
    const std::tuple<int, int, bool> cases[] = {
        {330, 170, true},  {429, 194, true},  {329, 170, false},
        {430, 180, false}, {400, 169, false}, {400, 195, false},
    };
    for (const auto& [x, y, inside] : cases) {
        EXPECT_EQ(button.Contains(x, y), inside) << x << ", " << y;
    }
}

TEST(PlaceViewerWindow, CentresOnTheAreasWidthAndSits100AboveItsBottom) {
    const std::tuple<TWorkArea, int, int, TRect> cases[] = {
        {TWorkArea{0, 0, 1280, 800}, 450, 70, TRect{415, 630, 450, 70}},
        {TWorkArea{0, 0, 1280, 800}, 450, 120, TRect{415, 580, 450, 120}},
        // The area's left edge is not added.
        {TWorkArea{100, 0, 1380, 800}, 450, 70, TRect{415, 630, 450, 70}},
    };
    for (const auto& [area, width, height, place] : cases) {
        EXPECT_EQ(PlaceViewerWindow(area, width, height), place) << area.Left << " " << height;
    }
}

std::vector<TViewerString> Lines(std::initializer_list<std::pair<const char*, bool>> texts) {
    std::vector<TViewerString> lines;
    for (const auto& [text, wrap] : texts) {
        TViewerString line;
        line.Text = text;
        line.WordWrap = wrap;
        line.FontName = kUiFontName;
        line.FontSize = 10;
        lines.push_back(line);
    }
    return lines;
}

TEST(LayoutTextBlock, StacksTheLinesAtTheBlockWidthAndEmptyTextsTakeNoRoom) {
    TFixedMeasurer measurer;
    auto lines = Lines({{"one", false}, {"", false}, {"three", false}});
    lines[2].FontSize = 14;
    const TTextBlockLayout layout = LayoutTextBlock(lines, kWidth, clBtnFace, measurer);
    EXPECT_EQ(measurer.Widths, (std::vector<int>{430, 430}));  // the empty line is not measured
    EXPECT_EQ(lines[0].Height, 15);
    EXPECT_EQ(lines[1].Height, 0);
    EXPECT_EQ(lines[2].Height, 19);
    EXPECT_EQ(layout.Total, 34);
    EXPECT_EQ(layout.Block, (TRect{10, 2, 430, 34}));
    ASSERT_EQ(layout.Lines.size(), 3u);
    EXPECT_EQ(layout.Lines[0], (TRect{0, 0, 430, 15}));
    EXPECT_TRUE(layout.Lines[1].IsEmpty());
    EXPECT_EQ(layout.Lines[2], (TRect{0, 15, 430, 19}));
    EXPECT_EQ(layout.Fonts[2], (TViewerFont{kUiFontName, 14, 0}));
}

TEST(LayoutTextBlock, WordWrapGrowsTheHeightAndANarrowerWindowGrowsItMore) {
    std::string words;
    for (int i = 0; i < 40; ++i) {
        words += "word ";
    }
    // 40 five-character words ("word" and a space) at 6 pixels a character.
    const std::tuple<int, bool, int> cases[] = {
        {450, false, 1},  // 430 / 6 = 71 characters a line: 14 words
        {450, true, 3},
        {225, true, 6},  // 205 / 6 = 34 characters: 7 words
    };
    for (const auto& [width, wrap, rows] : cases) {
        TFixedMeasurer measurer;
        auto lines = Lines({{words.c_str(), wrap}});
        const TTextBlockLayout layout = LayoutTextBlock(lines, width, clBtnFace, measurer);
        EXPECT_EQ(lines[0].Height, rows * 15) << width << " " << wrap;
        EXPECT_EQ(layout.Block.Height, rows * 15);
    }
}

TEST(LayoutTextBlock, DefaultColoursResolveToBlackTextOnTheButtonFace) {
    TFixedMeasurer measurer;
    auto lines = Lines({{"a", false}, {"b", false}});
    lines[0].Color = clDefault;
    lines[1].Color = 0x000000FF;
    EXPECT_EQ(LayoutTextBlock(lines, kWidth, clDefault, measurer).BackColor, clBtnFace);
    const TTextBlockLayout layout = LayoutTextBlock(lines, kWidth, 0x00FF0000, measurer);
    EXPECT_EQ(layout.BackColor, 0x00FF0000u);
    EXPECT_EQ(layout.Colors, (std::vector<TColor>{clBlack, 0x000000FF}));
}

TEST(LayoutTextBlock, NothingToShowLeavesTheBlockEmptyAndAHugeBlockIsCapped) {
    TFixedMeasurer measurer;
    auto empty = Lines({{"", false}});
    EXPECT_TRUE(LayoutTextBlock(empty, kWidth, clBtnFace, measurer).Block.IsEmpty());
    auto narrow = Lines({{"text", false}});
    const TTextBlockLayout none = LayoutTextBlock(narrow, 20, clBtnFace, measurer);
    EXPECT_TRUE(none.Block.IsEmpty());  // no room between the margins
    EXPECT_EQ(none.Total, 15);

    auto huge = Lines({{"big", false}, {"big", false}});
    huge[0].FontSize = 20000;
    huge[1].FontSize = 20000;
    const TTextBlockLayout capped = LayoutTextBlock(huge, kWidth, clBtnFace, measurer);
    EXPECT_EQ(capped.Total, kViewerMaxSize);
    EXPECT_EQ(capped.Block.Height, kViewerMaxSize);
}

}  // namespace
