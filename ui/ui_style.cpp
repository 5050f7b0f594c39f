#include "ui/ui_style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPalette>
#include <QShortcut>
#include <QTranslator>
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
