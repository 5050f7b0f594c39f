#include "ui/ui_style.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace {
QString chineseFamily() {
    static const QString family = [] {
        for (const char* f : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC"})
            if (QFontDatabase::hasFamily(f))
                return QString(f);
        return QString();
    }();
    return family;
}
} // namespace

QFont uiFont(int pointSize, bool bold) {
    QFont f = chineseFamily().isEmpty() ? QApplication::font() : QFont(chineseFamily());
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

QFont displayFont(int pixelSize) {
    QFont f;
    bool found = false;
    for (const char* family : {"DejaVu Serif", "Liberation Serif", "FreeSerif"}) {
        if (QFontDatabase::hasFamily(family)) {
            f = QFont(family);
            found = true;
            break;
        }
    }
    if (!found)
        f = uiFont();
    f.setPixelSize(pixelSize);
    f.setWeight(QFont::Black);
    return f;
}

void applyUiFont() {
    QApplication::setFont(uiFont());
}

void setBackground(QWidget* w, const QColor& background) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Button, background);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setColors(QWidget* w, const QColor& background, const QColor& text) {
    setBackground(w, background);
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    w->setPalette(p);
}
