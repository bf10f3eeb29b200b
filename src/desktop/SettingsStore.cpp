#include "desktop/SettingsStore.h"

#include <QSettings>

namespace {

const QString kApplication = QStringLiteral("OVREL");

QString path(const QString& key)
{
    return QStringLiteral("Settings/") + key;
}

}  // namespace

QString readSetting(const QString& key, const QString& fallback)
{
    const QSettings store(QSettings::IniFormat, QSettings::UserScope, kApplication);
    return store.value(path(key), fallback).toString();
}

void writeSetting(const QString& key, const QString& value)
{
    QSettings store(QSettings::IniFormat, QSettings::UserScope, kApplication);
    store.setValue(path(key), value);
    store.sync();
}
