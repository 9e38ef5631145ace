#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
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
QFont ViewerFont(const std::string& name, int points, TFontStyles style);
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

// The lines go into TextImage, the face into BackgroundImage, each tick's picture into
// WindowImage (Frame()).
class TViewerPainter final : public IViewerPainter {
  public:
    int MeasureStrings(std::vector<TViewerString>& lines, int width, TColor backColor) override;
    void DrawBackground(int width, int height) override;
    double DrawProgress(const TTickState& state) override;
    TFramePixels Frame() const override;

    QImage TextImage;
    QImage BackgroundImage;
    QImage BarImage;
    QImage WindowImage;

  private:
    void DrawTextBlock(const TTextBlockLayout& layout, const std::vector<TViewerString>& lines);
    void DrawFrame(const TProgressFrame& frame);
    void DrawCancelButton(const TProgressFrame& frame);

    TQtTextMeasurer Measurer;
    QImage ButtonImage;
    std::string ButtonCaption;
};
