#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QDir>

bool shellOpenUrl(const QUrl& url) {
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool shellOpenDocument(const std::string& target) {
    const QString text = QString::fromStdString(target);
    if (text.trimmed().isEmpty())
        return false;
    return shellOpenUrl(QUrl::fromUserInput(text, QDir::currentPath(), QUrl::AssumeLocalFile));
}
