#pragma once

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

// Points the per-user settings store at a fresh folder for the test's lifetime.
class TempSettings {
public:
    TempSettings() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path()); }
    QString file() const { return dir_.path() + QStringLiteral("/OVREL.ini"); }
    QString path() const { return dir_.path(); }
    void write(const QByteArray& ini) const
    {
        QFile f(file());
        if (f.open(QIODevice::WriteOnly))
            f.write(ini);
    }
    QString volume() const { return QSettings(file(), QSettings::IniFormat).value("Settings/Volume").toString(); }

private:
    QTemporaryDir dir_;
};
