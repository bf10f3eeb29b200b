#pragma once

#include <QString>

// Hands documents and web pages to the applications the user's desktop has for them
// (QDesktopServices) and returns at once: true when one took it.

// A local file; false without opening anything when the file does not exist or the desktop has
// no program for its type.
bool openDocument(const QString& path);
// An http or https address.
bool openWebPage(const QString& address);
