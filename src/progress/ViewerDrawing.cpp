#include "progress/ViewerDrawing.h"

namespace {

constexpr TRgb kBlack = 0x000000;
constexpr TRgb kWhite = 0xFFFFFF;

TRgb ButtonFace() {
    return ColorToRgb(clBtnFace, 0xF0F0F0);
}

}  // namespace

TFramePixels TCanvasPainter::Frame() const {
    return Pixels(viWindow);
}

void TCanvasPainter::Outline(TViewerImage image, int l, int t, int r, int b, TRgb fill) {
    if (r <= l || b <= t) {
        return;
    }
    Fill(image, TRect{l, t, r - l, b - t}, kBlack);
    if (r - l > 2 && b - t > 2) {
        Fill(image, TRect{l + 1, t + 1, r - l - 2, b - t - 2}, fill);
    }
}

int TCanvasPainter::MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) {
    const TTextBlockLayout layout = LayoutTextBlock(lines, width, backColor, Measurer(), Scale);
    DrawTextBlock(layout, lines);
    return layout.Total;
}

void TCanvasPainter::DrawTextBlock(const TTextBlockLayout& layout,
                                   const std::vector<TViewerString>& lines) {
    Create(viText, layout.Block.Width, layout.Block.Height);
    if (IsNull(viText)) {
        return;
    }
    Fill(viText, TRect{0, 0, layout.Block.Width, layout.Block.Height},
         ColorToRgb(layout.BackColor, ButtonFace()));
    for (std::size_t i = 0; i < layout.Lines.size(); ++i) {
        if (!layout.Lines[i].IsEmpty()) {
            DrawLine(viText, layout.Lines[i], lines[i], layout.Fonts[i],
                     ColorToRgb(layout.Colors[i], kBlack));
        }
    }
}

void TCanvasPainter::DrawBackground(int width, int height) {
    Create(viWindow, width, height);
    Create(viBackground, width, height);
    if (IsNull(viWindow) || IsNull(viBackground)) {
        return;
    }
    Outline(viWindow, 0, 0, width, height, ButtonFace());
    Copy(viWindow, viBackground, 0, 0);
    if (!IsNull(viText)) {
        Copy(viText, viBackground, Scale(kTextLeft), Scale(kTextTop));
    }
    Flush();
}

double TCanvasPainter::DrawProgress(const TTickState& state) {
    if (IsNull(viBackground)) {
        return state.Percent;
    }
    const TProgressFrame frame =
        LayoutProgress(state, Width(viBackground), Height(viBackground), Measurer(), Scale);
    DrawFrame(frame);
    // The window layer reads the pixels directly: the drawing must have reached them.
    Flush();
    return frame.Percent;
}

void TCanvasPainter::DrawFrame(const TProgressFrame& frame) {
    Copy(viBackground, viWindow, 0, 0);

    const TRect& bar = frame.Bar;
    if (Width(viBar) != bar.Width || Height(viBar) != bar.Height) {
        Create(viBar, bar.Width, bar.Height);
    }
    if (!IsNull(viBar)) {
        Outline(viBar, 0, 0, bar.Width, bar.Height, kWhite);
        const TRect& filled = frame.Filled;
        const int fillLeft = filled.Left - bar.Left;
        const int fillTop = filled.Top - bar.Top;
        Outline(viBar, fillLeft, fillTop, fillLeft + filled.Width, fillTop + filled.Height,
                ColorToRgb(frame.FillColor, kBlack));
        if (frame.PercentText.Visible) {
            const TPlacedText& text = frame.PercentText;
            WriteText(viBar, text.Box.Left - bar.Left, text.Box.Top - bar.Top, text.Font,
                      text.Text);
        }
    }
    if (frame.ElapsedText.Visible) {
        const TPlacedText& text = frame.ElapsedText;
        WriteText(viWindow, text.Box.Left, text.Box.Top, text.Font, text.Text);
    }
    if (!IsNull(viBar)) {
        Copy(viBar, viWindow, bar.Left, bar.Top);
    }
    if (frame.CancelVisible) {
        DrawCancelButton(frame);
    }
}

void TCanvasPainter::DrawCancelButton(const TProgressFrame& frame) {
    const std::string& caption = frame.CancelCaption;
    const int width = frame.CancelButton.Width;
    const int height = frame.CancelButton.Height;
    // The button never changes between ticks: render it once per caption.
    if (IsNull(viButton) || ButtonCaption != caption || Width(viButton) != width ||
        Height(viButton) != height) {
        ButtonCaption = caption;
        Create(viButton, width, height);
        if (IsNull(viButton)) {
            return;
        }
        Fill(viButton, TRect{0, 0, width, height}, ButtonFace());
        for (const TEdgeLine& edge : RaisedButtonEdges(width, height)) {
            if (!edge.Line.IsEmpty()) {
                Fill(viButton, edge.Line, ColorToRgb(edge.Color, kBlack));
            }
        }
        CentreText(viButton, frame.CancelFont, caption);
    }
    Copy(viButton, viWindow, frame.CancelButton.Left, frame.CancelButton.Top);
}
