#include "platform/Desktop.h"
#include "ui/AboutDialog.h"
#include "ui/HelpDocuments.h"
#include "ui/LinkLabel.h"
#include "ui/RecordFormDialog.h"
#include "ui/ResourcePicture.h"

#include <QDesktopServices>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <sys/resource.h>

// Records what is handed to the desktop instead of opening it.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(QUrl::FullyEncoded); }
};

// The start/stop pictures, the help documents and the two small windows.
class tst_Ui : public QObject {
    Q_OBJECT

    UrlRecorder recorder;

private slots:
    void init()
    {
        recorder.urls.clear();
        for (const char* scheme : {"http", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder, "open");
    }
    void cleanupTestCase()
    {
        for (const char* scheme : {"http", "file"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

    // Each picture comes through a temporary file that is gone again, whatever happened.
    void picturesLeaveNoTemporaryFileBehind_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("trouble");
        QTest::newRow("stop") << 101 << "";
        QTest::newRow("start") << 102 << "";
        QTest::newRow("no such resource") << 103 << "";
        QTest::newRow("no temporary folder") << 101 << "folder";
        QTest::newRow("the write fails part way") << 101 << "write";
    }
    void picturesLeaveNoTemporaryFileBehind()
    {
        QFETCH(int, id);
        QFETCH(QString, trouble);
        QTemporaryDir folder;
        QFile(folder.filePath("plain")).open(QIODevice::WriteOnly);
        qputenv("TMPDIR", QFile::encodeName(folder.path() + (trouble == "folder" ? "/plain/below" : "")));
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = trouble == "write" ? 16 : before.rlim_cur;
        std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
        setrlimit(RLIMIT_FSIZE, &small);
        const QPixmap loaded = loadResourcePicture(QStringLiteral("GIF"), id);
        setrlimit(RLIMIT_FSIZE, &before);
        qunsetenv("TMPDIR");
        QCOMPARE(loaded.size(), id < 103 && trouble.isEmpty() ? QSize(20, 22) : QSize(0, 0));
        QVERIFY(loaded.isNull() || loaded.hasAlpha());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain"});
    }

    void theManualIsFoundBesideTheProgramOrInItsInstallation()
    {
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("share/doc/ovrel"));
        const QString bin = root.filePath(QStringLiteral("bin"));
        const QString beside = bin + QStringLiteral("/OVREL Manual.pdf");
        QCOMPARE(manualPath(bin), beside);  // neither exists: beside, where nothing opens
        QVERIFY(!openDocument(manualPath(bin)));
        const QString installed = root.filePath(QStringLiteral("share/doc/ovrel/OVREL Manual.pdf"));
        QFile(installed).open(QIODevice::WriteOnly);
        QCOMPARE(manualPath(bin), installed);
        QFile(beside).open(QIODevice::WriteOnly);
        QCOMPARE(manualPath(bin), beside);
        QVERIFY(openDocument(manualPath(bin)));
        QCOMPARE(recorder.urls, QStringList{QUrl::fromLocalFile(beside).toString(QUrl::FullyEncoded)});
        QVERIFY(QFile::exists(manualPath(QStringLiteral(OVREL_EXECUTABLE_DIR))));  // the build's
    }

    void windowsHandTheirLinksToTheDesktopAndShowEveryText()
    {
        QWidget main;
        AboutDialog about(&main);
        QTest::mouseClick(about.findChild<LinkLabel*>(), Qt::LeftButton);
        RecordFormDialog form;
        QTest::mouseClick(form.findChild<LinkLabel*>(), Qt::LeftButton);
        QCOMPARE(recorder.urls, QStringList({"http://www.corvane.com/ovrel.html",
                                             "http://www.corvane.com/downloads/OVREL%20Record%20Form.pdf"}));
        QVERIFY(!openWebPage(QStringLiteral("file:///etc/passwd")));
        QCOMPARE(versionText(10, 2, 7), QStringLiteral("Version 10.2.7"));
        // At 12 points the record form's first text needs a third line: all three read whole.
        const QList<QLabel*> texts = form.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QVERIFY(texts[i]->height() >= texts[i]->heightForWidth(texts[i]->width()));
            QVERIFY(i == 0 || texts[i]->geometry().top() > texts[i - 1]->geometry().bottom());
        }
    }

    void aboutSitsBelowRightOfCentreAndStaysOnScreen_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QPoint>("placed");
        // (328 - 406) / 2 + 100 + 53.3 = 114.3; (230 - 230) / 2 + 100 + 93.3 = 193.3
        QTest::newRow("rule") << QRect(100, 100, 328, 230) << QPoint(114, 193);
        QTest::newRow("pushed in from the bottom right") << QRect(1500, 1000, 328, 230) << QPoint(1920 - 406, 1080 - 230);
        QTest::newRow("pushed in from the left") << QRect(-300, 100, 328, 230) << QPoint(0, 193);
    }
    void aboutSitsBelowRightOfCentreAndStaysOnScreen()
    {
        QFETCH(QRect, main);
        QFETCH(QPoint, placed);
        QCOMPARE(aboutPlacement(main, QSize(406, 230), QRect(0, 0, 1920, 1080)), QRect(placed, QSize(406, 230)));
    }
};

QTEST_MAIN(tst_Ui)
#include "tst_ui.moc"
