#include "progress/ViewerFrame.h"

#include <algorithm>
#include <cstdio>

int PointsToPixels(int points, int dpi) {
    // MulDiv(points, dpi, 72): rounds half away from zero.
    const long long scaled = static_cast<long long>(points) * dpi;
    const long long half = scaled >= 0 ? 36 : -36;
    return static_cast<int>((scaled + half) / 72);
}

std::string FormatElapsed(std::chrono::nanoseconds elapsed) {
    long long seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
    if (seconds < 0) {
        seconds = 0;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string FormatElapsedLine(const std::string& format, const std::string& text) {
    std::string line = format;
    const std::size_t at = line.find("%s");
    if (at != std::string::npos) {
        line.replace(at, 2, text);
    }
    return line;
}

TTextBlockLayout LayoutTextBlock(std::vector<TViewerString>& lines, int width, TColor backColor,
                                 ITextMeasurer& measurer, TViewerScale scale) {
    TTextBlockLayout layout;
    layout.BackColor = backColor == clDefault ? clBtnFace : backColor;
    const int w = std::max(width - 2 * scale(kTextLeft), 0);
    int total = 0;
    for (TViewerString& line : lines) {
        TViewerFont font{line.FontName, line.FontSize, line.FontStyle, scale.Dpi};
        line.Height =
            line.Text.empty() ? 0 : measurer.TextHeight(font, line.Text, w, line.WordWrap);
        layout.Lines.push_back(TRect{0, total, w, line.Height});
        layout.Fonts.push_back(std::move(font));
        layout.Colors.push_back(line.Color == clDefault ? clBlack : line.Color);
        total += line.Height;
    }
    layout.Total = std::min(total, kViewerMaxSize);
    if (layout.Total > 0 && w > 0) {
        layout.Block = TRect{scale(kTextLeft), scale(kTextTop), w, layout.Total};
    }
    return layout;
}

TProgressFrame LayoutProgress(const TTickState& state, int width, int height,
                              ITextMeasurer& measurer, TViewerScale scale) {
    TProgressFrame frame;
    const int barLeft = scale(kBarLeft);
    const int barHeight = scale(kBarHeight);
    const int inset = scale(kBarInset);
    const int block = scale(kMarqueeBlock);
    const int barWidth = std::max(width - 2 * barLeft, 1);
    frame.Bar = TRect{barLeft, height - scale(kBarFromBottom), barWidth, barHeight};
    frame.FillColor = state.BarColor == clDefault ? clBlack : state.BarColor;
    const int fillTop = frame.Bar.Top + inset;
    const int fillHeight = barHeight - 2 * inset;

    double percent = state.Percent;
    if (state.PercentMode) {
        if (percent > 100) {
            percent = 100;
        } else if (!(percent >= 0)) {  // negative or not a number
            percent = 0;
        }
        const int done = static_cast<int>((barWidth - 2 * inset) * percent / 100);
        frame.Filled = TRect{frame.Bar.Left + inset, fillTop, done, fillHeight};
        if (state.ShowPercentText) {
            TPlacedText& text = frame.PercentText;
            text.Visible = true;
            text.Text = std::to_string(static_cast<int>(percent)) + " %";
            text.Font = TViewerFont{kUiFontName, kUiFontSize, fsBold, scale.Dpi};
            const int advance = measurer.TextWidth(text.Font, text.Text);
            text.Box = TRect{frame.Bar.Left + (barWidth - advance) / 2,
                             frame.Bar.Top + scale(kPercentTextTop), advance,
                             measurer.TextHeight(text.Font, text.Text, 0, false)};
        }
    } else {
        percent += scale(kMarqueeStep);
        // Also a NaN or a value beyond int that the owner wrote: it must not reach the cast below.
        if (percent > barWidth || !(percent > -1e9)) {
            percent = -block;
        }
        frame.Filled =
            TRect{frame.Bar.Left + static_cast<int>(percent), fillTop, block, fillHeight};
    }
    frame.Percent = percent;

    if (state.ShowElapsedTime) {
        TPlacedText& text = frame.ElapsedText;
        text.Visible = true;
        text.Text = state.ElapsedText;
        text.Font = TViewerFont{kUiFontName, kUiFontSize, 0, scale.Dpi};
        const int advance = measurer.TextWidth(text.Font, text.Text);
        // Beside the button it starts at the bar's left; alone it ends at the bar's right.
        const int left = state.CancelVisible ? barLeft : width - advance - barLeft;
        text.Box = TRect{left, height - scale(kElapsedFromBottom), advance,
                         measurer.TextHeight(text.Font, text.Text, 0, false)};
    }

    frame.CancelVisible = state.CancelVisible;
    frame.CancelButton = CancelButtonRect(width, height, scale);
    frame.CancelCaption = state.CancelCaption;
    frame.CancelFont = TViewerFont{kUiFontName, kUiFontSize, 0, scale.Dpi};
    return frame;
}
