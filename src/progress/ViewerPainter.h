#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <array>
#include <string>
#include <vector>

#include "progress/ProgressViewer.h"
#include "progress/ViewerDrawing.h"
#include "progress/ViewerFrame.h"
#include "progress/ViewerLayout.h"

// The viewer's Qt drawing (the Linux half): measures text with QFontMetrics for the shared layout
// and paints what it returns into four QImages. Runs in the viewer thread; needs a
// QGuiApplication in the process.

// The colour a TColor stands for; `fallback` when it is clDefault.
QColor ViewerColor(TColor color, QColor fallback);

// The font of a line: name (with kUiFontName standing for Tahoma), size in points, style.
QFont ViewerFont(const std::string& name, int points, TFontStyles style, int dpi = 96);
QFont ViewerFont(const TViewerFont& font);

// Makes Tahoma visible to Qt when its files are installed and lets kUiFontName resolve to it.
// Quietly does nothing more when they are missing. Call it in the GUI thread.
void PrepareViewerFonts();

class TQtTextMeasurer final : public ITextMeasurer {
  public:
    int TextWidth(const TViewerFont& font, const std::string& text) override;
    int TextHeight(const TViewerFont& font, const std::string& text, int width,
                   bool wordWrap) override;
};

// The one drawing sequence on QImages.
class TViewerPainter final : public TCanvasPainter {
  public:
    const QImage& Image(TViewerImage image) const { return Images[image]; }

  private:
    ITextMeasurer& Measurer() override { return TextMeasurer; }
    void Create(TViewerImage image, int width, int height) override;
    bool IsNull(TViewerImage image) const override { return Images[image].isNull(); }
    int Width(TViewerImage image) const override { return Images[image].width(); }
    int Height(TViewerImage image) const override { return Images[image].height(); }
    void Fill(TViewerImage image, const TRect& rect, TRgb colour) override;
    void Copy(TViewerImage from, TViewerImage to, int left, int top) override;
    void DrawLine(TViewerImage image, const TRect& box, const TViewerString& line,
                  const TViewerFont& font, TRgb colour) override;
    void WriteText(TViewerImage image, int left, int top, const TViewerFont& font,
                   const std::string& text) override;
    void CentreText(TViewerImage image, const TViewerFont& font, const std::string& text) override;
    TFramePixels Pixels(TViewerImage image) const override;

    TQtTextMeasurer TextMeasurer;
    std::array<QImage, kViewerImageCount> Images;
};
