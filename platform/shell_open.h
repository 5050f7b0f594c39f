#pragma once
// Opening documents and web addresses with the desktop's default handler (the "open" of the platform shell).
// Tests capture what is opened with QDesktopServices::setUrlHandler.
#include <QUrl>
#include <string>

// An http(s) or "mailto:" address, or an existing local file (a path without a scheme is taken relative to
// the working directory); a bare host such as "www.example.org" gets "http://". Anything else (other schemes,
// missing files) opens nothing. Returns false when nothing was opened (never reported).
bool shellOpenDocument(const std::string& target);
bool shellOpenUrl(const QUrl& url);
