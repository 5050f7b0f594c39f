#pragma once
// Fonts and colours shared by the windows.
#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

// The Chinese UI font (WenQuanYi Micro Hei where installed, so glyphs take their Simplified-Chinese shapes).
QFont uiFont(int pointSize = 9, bool bold = false);
// A bold display font for large numbers.
QFont displayFont(int pixelSize);
// Installs uiFont as the application font.
void applyUiFont();

// Sets a widget's background (and optional text) colour through its palette.
void setBackground(QWidget* w, const QColor& background);
void setColors(QWidget* w, const QColor& background, const QColor& text);

// Colours given in the program's designs.
inline const QColor kLightCyan{192, 255, 255};
inline const QColor kLightYellow{255, 255, 192};
