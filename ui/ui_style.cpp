#include "ui/ui_style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPalette>
#include <QShortcut>
#include <QTranslator>
#include <QWidget>

namespace {
// Simplified-Chinese families first, so that CJK text never takes Japanese glyph shapes; Qt takes the first one
// installed when the text is first drawn, without a look-up of every family at start-up.
const QStringList& chineseFamilies() {
    static const QStringList families{"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC"};
    return families;
}
} // namespace

QFont uiFont(int pointSize, bool bold) {
    QFont f = QApplication::font();
    f.setFamilies(chineseFamilies());
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

QFont displayFont(int pixelSize) {
    QFont f;
    f.setFamilies(QStringList{"DejaVu Serif", "Liberation Serif", "FreeSerif"} + chineseFamilies());
    f.setPixelSize(pixelSize);
    f.setWeight(QFont::Black);
    return f;
}

void applyUiFont() {
    QApplication::setFont(uiFont());
}

bool loadQtChineseTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

void maskWithStars(QLineEdit* box) {
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet("lineedit-password-character: 42"); // '*'
}

void cancelOnEscape(QAbstractButton* cancel, QWidget* scope) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), scope);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, cancel, &QAbstractButton::click);
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
