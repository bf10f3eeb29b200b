#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStringList>

namespace {

QString path(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

}  // namespace

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    const QSettings store(QSettings::IniFormat, QSettings::UserScope, appName);
    const QVariant value = store.value(path(section, key));
    if (!value.isValid())
        return defaultValue;
    // An INI value with unquoted commas reads back as a list: it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QString GetSetting(const QString& appName, const QString& section, const QString& key,
                   int defaultValue)
{
    return GetSetting(appName, section, key, QString::number(defaultValue));
}

void SaveSetting(const QString& appName, const QString& section, const QString& key,
                 const QString& value)
{
    QSettings store(QSettings::IniFormat, QSettings::UserScope, appName);
    store.setValue(path(section, key), value);
    store.sync();
}
