#pragma once
// Fonts and colours shared by the windows.
#include <QColor>
#include <QFont>
#include <QString>

class QAbstractButton;
class QLineEdit;
class QWidget;

// The Chinese UI font (WenQuanYi Micro Hei where installed, so glyphs take their Simplified-Chinese shapes).
QFont uiFont(int pointSize = 9, bool bold = false);
// A bold display font for large numbers.
QFont displayFont(int pixelSize);
// Installs uiFont as the application font.
void applyUiFont();

// Loads Qt's own Simplified-Chinese texts (standard buttons, edit menus); false when they are not installed,
// and the windows then fall back to their own button texts.
bool loadQtChineseTexts();
// A password box that shows one "*" per typed character, whatever the style's own mask character is.
void maskWithStars(QLineEdit* box);
// Esc while the focus is inside `scope` clicks the cancel button.
void cancelOnEscape(QAbstractButton* cancel, QWidget* scope);

// Sets a widget's background (and optional text) colour through its palette.
void setBackground(QWidget* w, const QColor& background);
void setColors(QWidget* w, const QColor& background, const QColor& text);

// Colours given in the program's designs.
inline const QColor kLightCyan{192, 255, 255};
inline const QColor kLightYellow{255, 255, 192};
