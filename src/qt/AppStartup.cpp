#include "qt/AppStartup.h"

#include <QWidget>

#include "progress/ViewerPainter.h"

void LoadApplicationFonts() {
    // The progress windows' rule for the forms too: the regular face only, since the bold file
    // shipped with Wine draws at regular weight and would leave the bold captions thin.
    PrepareViewerFonts();
}

QFont FormFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

void SetButtonFaceBackground(QWidget* form) {
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    form->setPalette(palette);
    form->setAutoFillBackground(true);
}

QIcon AppIcon() {
    // The pictures of data/icons, one per size, so the window manager picks the sharpest.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/kelva2larmis-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
