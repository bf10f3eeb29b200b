#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStringList>

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
    const QVariant value = store.value(path(key));
    if (!value.isValid())
        return fallback;
    // An INI value with unquoted commas reads back as a list: it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void writeSetting(const QString& key, const QString& value)
{
    QSettings store(QSettings::IniFormat, QSettings::UserScope, kApplication);
    store.setValue(path(key), value);
    store.sync();
}
