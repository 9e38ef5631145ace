#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <limits>

#include "BarTick.h"
#include "PixelProbe.h"
#include "progress/ViewerPainter.h"

namespace {

constexpr int kPaintWidth = 450;
constexpr int kPaintHeight = 200;
constexpr int kPaintBarTop = kPaintHeight - 60;
constexpr int kBarWidth = kPaintWidth - 40;

// A tick of a 450 x 200 window with nothing but the bar.
TTickState PaintTick(bool percentMode, double percent) {
    return BarTick(percentMode, percent, "Общее время: 0:01:25", "Отмена (Esc)");
}

struct TPainted {
    TViewerPainter Painter;
    double Drawn = 0;
};

std::unique_ptr<TPainted> Paint(const TTickState& state) {
    auto painted = std::make_unique<TPainted>();
    painted->Painter.DrawBackground(kPaintWidth, kPaintHeight);
    painted->Drawn = painted->Painter.DrawProgress(state);
    return painted;
}

// Row 3 of the bar lies inside the done part and above the percentage number.
int DonePixels(const QImage& frame) {
    return CountOther(frame, kPaintBarTop + 3, kBarLeft + 2, kBarLeft + kBarWidth - 2, kWhite);
}

TEST(ViewerColor, DecodesRgbSystemAndDefaultColours) {
    const std::pair<TColor, QRgb> cases[] = {
        {0x00FFFF00, 0xFF00FFFF},  // aqua: blue and green full
        {0x000000FF, 0xFFFF0000},  // red in the lowest byte
        {0x00FF0000, 0xFF0000FF},  // blue in the third byte
        {clBtnFace, 0xFFF0F0F0},  {0xFF000005, 0xFFFFFFFF},
        {0xFF0000FF, 0xFF000000},  // unknown system colour
    };
    for (const auto& [colour, rgb] : cases) {
        EXPECT_EQ(ViewerColor(colour, Qt::red).rgb(), rgb) << std::hex << colour;
    }
    EXPECT_EQ(ViewerColor(clDefault, Qt::red).rgb(), QColor(Qt::red).rgb());
}

TEST(DrawBackground, FaceInsideABlackOutlineWithTheTextBlockAt10And2) {
    TViewerPainter painter;
    std::vector<TViewerString> lines(1);
    lines[0].Text = "Строка";
    lines[0].FontName = "MS Sans Serif";
    lines[0].FontSize = 12;
    lines[0].Color = 0x000000FF;
    const int total = painter.MeasureStrings(lines, kPaintWidth, 0x00FF0000);  // blue block
    painter.DrawBackground(kPaintWidth, total + 70);
    const QImage& image = painter.Image(viBackground);
    EXPECT_EQ(image.size(), QSize(kPaintWidth, total + 70));
    EXPECT_EQ(Pixel(image, 0, 0), kBlack);
    EXPECT_EQ(Pixel(image, kPaintWidth - 1, total + 69), kBlack);
    EXPECT_EQ(Pixel(image, 1, 1), kFace);
    EXPECT_EQ(Pixel(image, 9, 2), kFace);
    EXPECT_EQ(Pixel(image, 10, 2), 0xFF0000FFu);
    EXPECT_EQ(Pixel(image, kPaintWidth - 11, 1 + total), 0xFF0000FFu);
    EXPECT_EQ(Pixel(image, kPaintWidth - 10, 1 + total), kFace);
    EXPECT_EQ(Pixel(image, 10, 2 + total), kFace);
}

TEST(MeasureStrings, StacksTheLinesAtTheBlockWidth) {
    TViewerPainter painter;
    std::vector<TViewerString> lines(3);
    lines[0].Text = "Первая";
    lines[0].FontSize = 14;
    lines[1].Text = "";  // an empty text takes no room
    lines[1].FontSize = 14;
    lines[2].Text = "Третья";
    lines[2].FontSize = 8;
    for (auto& line : lines) {
        line.FontName = "MS Sans Serif";
    }
    const int total = painter.MeasureStrings(lines, kPaintWidth, clBtnFace);
    EXPECT_GT(lines[0].Height, lines[2].Height);
    EXPECT_EQ(lines[1].Height, 0);
    EXPECT_EQ(total, lines[0].Height + lines[2].Height);
    EXPECT_EQ(painter.Image(viText).size(), QSize(kPaintWidth - 20, total));
}

TEST(MeasureStrings, WordWrapBreaksALongLineAndWithoutItTheLineIsCutAtTheEdges) {
    const std::string text(200, 'W');
    std::string words;
    for (int i = 0; i < 40; ++i) {
        words += "слово ";
    }
    TViewerPainter painter;
    std::vector<TViewerString> lines(3);
    lines[0].Text = "слово";
    lines[1].Text = words;
    lines[1].WordWrap = true;
    lines[2].Text = words;
    lines[2].Alignment = taCenter;
    for (auto& line : lines) {
        line.FontName = "MS Sans Serif";
        line.FontSize = 10;
    }
    painter.MeasureStrings(lines, kPaintWidth, clBtnFace);
    EXPECT_GE(lines[1].Height, 3 * lines[0].Height);
    EXPECT_EQ(lines[2].Height, lines[0].Height);
    // A centred line too long for the block overflows both edges: ink reaches both borders.
    const int top = lines[0].Height + lines[1].Height;
    const QImage& image = painter.Image(viText);
    const TRect ink = InkBox(image, TRect{0, top, image.width(), lines[2].Height});
    EXPECT_LE(ink.Left, 3);
    EXPECT_GE(ink.Right() - 1, image.width() - 4);
}

TEST(DrawProgress, PercentDrawsADonePartOfTruncatedWidth) {
    // bar width 410: done = trunc(406 * P / 100)
    const std::pair<double, int> cases[] = {{37.9, 153}, {0, 0},       {0.1, 0},  {0.5, 2},
                                            {50, 203},   {99.99, 405}, {100, 406}};
    for (const auto& [percent, done] : cases) {
        auto painted = Paint(PaintTick(true, percent));
        EXPECT_EQ(DonePixels(painted->Painter.Image(viWindow)), done) << percent;
        EXPECT_EQ(painted->Drawn, percent);
    }
}

TEST(DrawProgress, TheDonePartIsABarColouredRectangleWithABlackOutline) {
    auto painted = Paint(PaintTick(true, 37.9));
    const QImage& frame = painted->Painter.Image(viWindow);
    const int y = kPaintBarTop + 3;
    EXPECT_EQ(Pixel(frame, kBarLeft, y), kBlack);      // the bar's outline
    EXPECT_EQ(Pixel(frame, kBarLeft + 1, y), kWhite);  // the bar's face
    EXPECT_EQ(Pixel(frame, kBarLeft + 2, y), kBlack);  // the done part's outline
    EXPECT_EQ(Pixel(frame, kBarLeft + 3, y), kAqua);
    EXPECT_EQ(Pixel(frame, kBarLeft + 153, y), kAqua);
    EXPECT_EQ(Pixel(frame, kBarLeft + 154, y), kBlack);
    EXPECT_EQ(Pixel(frame, kBarLeft + 155, y), kWhite);
    EXPECT_EQ(Pixel(frame, kBarLeft + 3, kPaintBarTop + 2), kBlack);
    EXPECT_EQ(Pixel(frame, kBarLeft + 3, kPaintBarTop + 17), kBlack);
    EXPECT_EQ(Pixel(frame, kBarLeft + 3, kPaintBarTop + 18), kWhite);
    EXPECT_EQ(Pixel(frame, kBarLeft + 3, kPaintBarTop + 19), kBlack);
}

TEST(DrawProgress, PercentOutsideTheRangeIsClampedAndReturned) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::tuple<double, double, int> cases[] = {
        {150, 100, 406}, {100.5, 100, 406}, {-5, 0, 0}, {-0.0001, 0, 0}, {nan, 0, 0}};
    for (const auto& [percent, clamped, done] : cases) {
        auto painted = Paint(PaintTick(true, percent));
        EXPECT_EQ(painted->Drawn, clamped) << percent;
        EXPECT_EQ(DonePixels(painted->Painter.Image(viWindow)), done) << percent;
    }
}

TEST(DrawProgress, PercentageNumberIsCentredOnTheBarAndOnlyWhenSwitchedOn) {
    const TRect numberArea{kBarLeft + 1, kPaintBarTop + 4, kBarWidth - 2, 14};
    TTickState state = PaintTick(true, 0);
    EXPECT_TRUE(InkBox(Paint(state)->Painter.Image(viWindow), numberArea).IsEmpty());

    state.ShowPercentText = true;
    // Looked for right of the done part's outline and inside its top and bottom edges.
    const std::tuple<double, const char*, int> cases[] = {
        {0, "0 %", 1}, {37.9, "37 %", 155}, {150, "100 %", 3}};
    for (const auto& [percent, text, from] : cases) {
        state.Percent = percent;
        auto painted = Paint(state);
        const QImage& frame = painted->Painter.Image(viWindow);
        const TRect ink = InkBox(frame, TRect{kBarLeft + from, kPaintBarTop + 3, 406 - from, 14});
        ASSERT_FALSE(ink.IsEmpty()) << percent;
        const QFontMetrics metrics(ViewerFont("MS Sans Serif", 8, fsBold));
        const int width = metrics.horizontalAdvance(QString::fromUtf8(text));
        const int left = kBarLeft + (kBarWidth - width) / 2;
        EXPECT_NEAR(ink.Left, left, 2) << text;
        EXPECT_NEAR(ink.Right() - 1, left + width - 1, 3) << text;
        EXPECT_GE(ink.Top, kPaintBarTop + 4) << text;
    }
}

TEST(DrawProgress, MarqueeMovesTenPixelsPerTickAndReentersAtMinus40) {
    const std::tuple<double, double, std::optional<std::pair<int, int>>> cases[] = {
        {0, 10, std::pair{10 + 1, 10 + 38}},  // a new viewer's block: first position 10
        {-40, -30, std::pair{0, 8}},          // entering from the left
        {360, 370, std::pair{371, 408}},      //
        {395, 405, std::pair{406, 409}},      // leaving at the right (cut by the bar)
        {400, 410, std::nullopt},             // at the edge: not yet past it
        {401, -40, std::nullopt},             // past it: starts over, hidden left
        {std::nan(""), -40, std::nullopt},    // an owner's value no int can hold starts over
        {-1e300, -40, std::nullopt},          //
    };
    for (const auto& [before, after, aqua] : cases) {
        auto painted = Paint(PaintTick(false, before));
        EXPECT_EQ(painted->Drawn, after) << before;
        auto run = ColourRun(painted->Painter.Image(viBar), 3, kAqua);
        EXPECT_EQ(run, aqua) << before;
    }
}

TEST(DrawProgress, ElapsedLineEndsTwentyBeforeTheRightEdgeOrStartsAtTwentyBesideTheButton) {
    const TRect band{1, kPaintHeight - 25, kPaintWidth - 2, 14};
    const TRect leftOfButton{1, kPaintHeight - 25, kPaintWidth - 121, 14};
    TTickState state = PaintTick(true, 10);
    EXPECT_TRUE(InkBox(Paint(state)->Painter.Image(viWindow), band).IsEmpty());

    state.ShowElapsedTime = true;
    const QFontMetrics metrics(ViewerFont("MS Sans Serif", 8, 0));
    const int width = metrics.horizontalAdvance(QString::fromUtf8(state.ElapsedText));
    TRect ink = InkBox(Paint(state)->Painter.Image(viWindow), band);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_NEAR(ink.Right() - 1, kPaintWidth - 20 - 1, 2);
    EXPECT_NEAR(ink.Left, kPaintWidth - 20 - width, 2);
    EXPECT_GE(ink.Top, kPaintHeight - 25);

    state.CancelVisible = true;
    ink = InkBox(Paint(state)->Painter.Image(viWindow), leftOfButton);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_NEAR(ink.Left, 20, 2);
    EXPECT_NEAR(ink.Right() - 1, 20 + width - 1, 2);
}

TEST(DrawProgress, CancelButtonIsA100By25ButtonAtWidthMinus120HeightMinus30) {
    TTickState state = PaintTick(true, 10);
    const QRect button(kPaintWidth - 120, kPaintHeight - 30, 100, 25);
    auto hidden = Paint(state);
    EXPECT_EQ(Pixel(hidden->Painter.Image(viWindow), button.left(), button.top()), kFace);
    EXPECT_TRUE(
        InkBox(hidden->Painter.Image(viWindow), TRect{button.x(), button.y(), 100, 25}).IsEmpty());

    state.CancelVisible = true;
    auto shown = Paint(state);
    const QImage& frame = shown->Painter.Image(viWindow);
    EXPECT_EQ(Pixel(frame, button.left(), button.top()), kWhite);           // lit edge
    EXPECT_EQ(Pixel(frame, button.right(), button.bottom()), 0xFF696969u);  // dark edge
    EXPECT_EQ(Pixel(frame, button.left() - 1, button.top()), kFace);
    EXPECT_EQ(Pixel(frame, button.right() + 1, button.bottom()), kFace);
    // The caption sits inside, centred.
    const TRect ink = InkBox(frame, TRect{button.x() + 2, button.y() + 2, 100 - 4, 25 - 4});
    const QRect caption(ink.Left, ink.Top, ink.Width, ink.Height);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_NEAR(caption.center().x(), button.center().x(), 3);
    EXPECT_NEAR(caption.center().y(), button.center().y(), 3);
}

}  // namespace

namespace {

TEST(ViewerFont, MsSansSerifIsDrawnWithTahomaWhenItIsInstalled) {
    if (!QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
        GTEST_SKIP() << "Tahoma is not installed";
    }
    EXPECT_EQ(QFontInfo(ViewerFont("MS Sans Serif", 8, 0)).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(QFontInfo(ViewerFont("Tahoma", 8, fsBold)).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(QFontInfo(ViewerFont("MS Sans Serif", 14, 0)).pixelSize(), 19);
}

int InkOf(TFontStyles style) {
    QImage image(200, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(ViewerFont("MS Sans Serif", 12, style));
    painter.setPen(Qt::black);
    painter.drawText(2, 22, QStringLiteral("ЛАРМИС Wij"));
    painter.end();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        ink += image.width() - CountOther(image, y, 0, image.width(), kBlack);
    }
    return ink;
}

TEST(ViewerFont, BoldLinesAreDrawnVisiblyHeavier) {
    EXPECT_GT(InkOf(fsBold), InkOf(0) * 13 / 10);
}

}  // namespace
