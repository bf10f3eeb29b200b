#include "TempSettings.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QTest>

// The per-user store: defaults for what is missing, texts kept as they are.
class tst_Settings : public QObject {
    Q_OBJECT
private slots:
    void missingEntriesGiveTheDefault()
    {
        TempSettings dir;
        QCOMPARE(GetSetting("OVREL", "Settings", "Volume", 25), QStringLiteral("25"));
        SaveSetting("OVREL", "Other", "Volume", "7");
        QCOMPARE(GetSetting("OVREL", "Settings", "Volume", 25), QStringLiteral("25"));
        QCOMPARE(GetSetting("OVREL", "Other", "Volume", 25), QStringLiteral("7"));
        QCOMPARE(GetSetting("Elsewhere", "Other", "Volume", "x"), QStringLiteral("x"));
    }

    void savedTextsComeBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("number") << "60";
        QTest::newRow("empty") << "";  // empty stays empty, not the default
        QTest::newRow("blanks") << " 40 ";
        QTest::newRow("commas") << "1,2,3";
        QTest::newRow("newline") << "a\nb";
    }
    void savedTextsComeBackUnchanged()
    {
        QFETCH(QString, text);
        TempSettings dir;
        SaveSetting("OVREL", "Settings", "Volume", "old");
        SaveSetting("OVREL", "Settings", "Volume", text);
        QCOMPARE(GetSetting("OVREL", "Settings", "Volume", 25), text);
        QVERIFY(QFile::exists(dir.file()));
    }

    void handEditedListsReadAsOneText()
    {
        TempSettings dir;
        QFile f(dir.file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\nVolume=5,0\n");
        f.close();
        QCOMPARE(GetSetting("OVREL", "Settings", "Volume", 25), QStringLiteral("5,0"));
    }
};

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
