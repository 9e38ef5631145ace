#include "qt/AppStartup.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
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
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // The barrel: a wooden body with two hoops.
    QPainterPath barrel;
    barrel.moveTo(4, 6);
    barrel.cubicTo(1, 13, 1, 21, 4, 28);
    barrel.lineTo(16, 28);
    barrel.cubicTo(19, 21, 19, 13, 16, 6);
    barrel.closeSubpath();
    painter.setPen(QPen(QColor(90, 50, 20), 1));
    painter.setBrush(QColor(190, 120, 60));
    painter.drawPath(barrel);
    painter.setPen(QPen(QColor(70, 70, 70), 2));
    painter.drawLine(QPointF(3, 11), QPointF(17, 11));
    painter.drawLine(QPointF(3, 23), QPointF(17, 23));
    painter.setBrush(QColor(120, 70, 30));
    painter.setPen(QPen(QColor(90, 50, 20), 1));
    painter.drawEllipse(QRectF(4, 4, 12, 4));

    // The table: a white sheet with a blue title row and grid lines.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(40, 40, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(15, 12, 16, 18);
    painter.fillRect(16, 13, 15, 4, QColor(40, 90, 180));
    for (int y = 21; y < 30; y += 4) painter.drawLine(15, y, 30, y);
    painter.drawLine(21, 17, 21, 29);
    painter.end();
    return QIcon(image);
}
