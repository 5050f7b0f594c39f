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
    // An address of any other scheme ("ftp://", "smb://", "mailto:") goes to the desktop's handler for it.
    if (scheme == "mailto" || (!scheme.isEmpty() && scheme != "file" && text.contains("://")))
        return shellOpenUrl(url);
    // A local file or folder opens as a document, never a program that would run.
    const QString local = scheme == "file" ? url.toLocalFile() : QDir::current().absoluteFilePath(text);
    if (const QFileInfo info(local); !local.isEmpty() && info.exists())
        return (info.isDir() || (info.isFile() && !info.isExecutable())) && shellOpenUrl(QUrl::fromLocalFile(local));
    // A bare host ("www.example.org", "example.org:8080/a") is a web address, as a browser reads it.
    if (text.contains("://") || text.contains(' ') || text.contains('\\'))
        return false;
    const QUrl web("http://" + text, QUrl::StrictMode);
    return web.isValid() && web.host().contains('.') && shellOpenUrl(web);
}
