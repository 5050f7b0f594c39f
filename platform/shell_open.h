#pragma once
// Opening documents and web addresses with the desktop's default handler (the "open" of the platform shell).
// Tests capture what is opened with QDesktopServices::setUrlHandler.
#include <QUrl>
#include <string>

// An address with a scheme ("https://", "ftp://", "smb://", "mailto:"), or an existing local file or folder
// (a path without a scheme is taken relative to the working directory); a bare host such as
// "www.example.org" gets "http://". A local file that is a program, a missing file and anything else open
// nothing. Returns false when nothing was opened (never reported).
bool shellOpenDocument(const std::string& target);
bool shellOpenUrl(const QUrl& url);
