#pragma once

#include <QFont>
#include <QIcon>

class QWidget;

// Makes Tahoma visible to Qt: fontconfig does not scan the folder where the Wine fonts live.
// Missing files are passed over quietly (the forms then fall back to the default font). Bold
// text is Qt's emboldened regular face.
void LoadApplicationFonts();

// The forms' font: Tahoma, 11 pixels high.
QFont FormFont();

// Gives a form the button-face background of dialog windows.
void SetButtonFaceBackground(QWidget* form);

// The program's icon (data/icons): a barrel beside a table.
QIcon AppIcon();
