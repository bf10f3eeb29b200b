#pragma once

#include <QString>

// The per-user store of text values addressed by application name, section and key: one INI
// file per application name in the user's configuration folder (~/.config/<appName>.ini).

// The stored text of the key; `defaultValue` when the application, the section or the key does
// not exist. A stored empty text is returned empty.
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue);
QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   int defaultValue);

// Stores `value` under the key, creating what is missing and replacing what is there. A store
// that cannot be written is left as it was.
void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value);
