#include "desktop/SavePlace.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// A file is first offered in the documents folder, or in the home folder where there is none:
// never in the folder the program happened to be started from.
class tst_SavePlace : public QObject {
    Q_OBJECT

private slots:
    void aFileIsOfferedAtHome_data()
    {
        QTest::addColumn<bool>("documents");
        QTest::newRow("a documents folder") << true;
        QTest::newRow("none") << false;
    }
    void aFileIsOfferedAtHome()
    {
        QFETCH(bool, documents);
        QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        if (documents)
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("Documents")));
        const QString expected = documents ? home.filePath(QStringLiteral("Documents/sheet.pdf")) : home.filePath(QStringLiteral("sheet.pdf"));
        QCOMPARE(savePlace(QStringLiteral("sheet.pdf")), expected);
    }
};

QTEST_GUILESS_MAIN(tst_SavePlace)
#include "tst_saveplace.moc"
