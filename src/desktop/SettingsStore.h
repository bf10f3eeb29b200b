#pragma once

#include <QString>

// The program's per-user settings: section "Settings" of ~/.config/OVREL.ini.

// The stored text of `key`; `fallback` when the store, the section or the key does not exist.
// A stored empty text is returned empty.
QString readSetting(const QString& key, const QString& fallback);

// Stores `value` under `key`, keeping everything else in the store. A store that cannot be
// written is left as it was.
void writeSetting(const QString& key, const QString& value);
