#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

bool shellOpenUrl(const QUrl& url) {
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool shellOpenDocument(const std::string& target) {
    const QString text = QString::fromStdString(target).trimmed();
    if (text.isEmpty())
        return false;
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (scheme == "http" || scheme == "https" || scheme == "mailto")
        return shellOpenUrl(url);
    const QString local = scheme == "file" ? url.toLocalFile() : QDir::current().absoluteFilePath(text);
    if (!local.isEmpty() && QFileInfo(local).isFile())
        return shellOpenUrl(QUrl::fromLocalFile(local));
    // A bare host ("www.example.org", "example.org:8080/a") is a web address, as a browser reads it.
    if (text.contains("://") || text.contains(' ') || text.contains('\\'))
        return false;
    const QUrl web("http://" + text, QUrl::StrictMode);
    return web.isValid() && web.host().contains('.') && shellOpenUrl(web);
}
