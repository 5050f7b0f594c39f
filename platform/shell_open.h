#pragma once
// Opening documents and web addresses with the desktop's default handler (the "open" of the platform shell).
// Tests capture what is opened with QDesktopServices::setUrlHandler.
#include <QUrl>
#include <string>

// A web address, a "mailto:" link or a document path, as the user stored it; a path without a scheme is
// taken relative to the working directory. Returns false when nothing could be opened (never reported).
bool shellOpenDocument(const std::string& target);
bool shellOpenUrl(const QUrl& url);
