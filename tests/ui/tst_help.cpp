#include "platform/Shell.h"
#include "ui/HelpDocuments.h"
#include "ui/LinkLabel.h"
#include "ui/frmAbout.h"
#include "ui/frmDownloadRecordForm.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// Records what is handed to the desktop instead of opening it.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(QUrl::FullyEncoded); }
};

// The help documents, the about window and the record-form window.
class tst_Help : public QObject {
    Q_OBJECT
    UrlRecorder recorder;

private slots:
    void init()
    {
        recorder.urls.clear();
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), &recorder, "open");
    }

    void webLinksHandTheirAddressesToTheDesktop()
    {
        QWidget main;
        frmAbout about(&main);
        QTest::mouseClick(about.lblMyWebSite, Qt::LeftButton);
        frmDownloadRecordForm form;
        QTest::mouseClick(form.lblDownload, Qt::LeftButton);
        QTest::mouseClick(form.lblDownload, Qt::LeftButton);  // again: the window stays
        QCOMPARE(recorder.urls, QStringList({"http://www.corvane.com/ovrel.html",
                                             "http://www.corvane.com/downloads/OVREL%20Record%20Form.pdf",
                                             "http://www.corvane.com/downloads/OVREL%20Record%20Form.pdf"}));
        QCOMPARE(about.lblMyWebSite->text(), QStringLiteral("www.corvane.com/ovrel.html"));
        QCOMPARE(about.lblMyWebSite->toolTip(), QStringLiteral("Visit the web site!"));
        QCOMPARE(about.lblMyWebSite->cursor().hotSpot(), QPoint(5, 0));
        QCOMPARE(about.lblMyWebSite->cursor().pixmap().size(), QSize(32, 32));
    }

    void theManualIsFoundBesideTheProgramOrInItsInstallation()
    {
        QTemporaryDir root;
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("share/doc/ovrel"));
        const QString bin = root.filePath(QStringLiteral("bin"));
        const QString beside = bin + QStringLiteral("/OVREL Manual.pdf");
        QCOMPARE(manualPath(bin), beside);  // neither exists: beside, where nothing opens
        QCOMPARE(ShellExecuteA(0, nullptr, manualPath(bin), {}, {}, SW_SHOWNORMAL), 2);
        QVERIFY(recorder.urls.isEmpty());

        const QString installed = root.filePath(QStringLiteral("share/doc/ovrel/OVREL Manual.pdf"));
        QFile(installed).open(QIODevice::WriteOnly);
        QCOMPARE(manualPath(bin), installed);
        QFile(beside).open(QIODevice::WriteOnly);
        QCOMPARE(manualPath(bin), beside);
        QVERIFY(ShellExecuteA(0, nullptr, manualPath(bin), {}, {}, SW_SHOWNORMAL) > 32);
        QCOMPARE(recorder.urls, QStringList{QUrl::fromLocalFile(beside).toString(QUrl::FullyEncoded)});
    }

    void theBuildPutsTheManualBesideTheProgram()
    {
        const QString manual = manualPath(QStringLiteral(OVREL_EXECUTABLE_DIR));
        QCOMPARE(manual, QStringLiteral(OVREL_EXECUTABLE_DIR "/OVREL Manual.pdf"));
        QFile file(manual);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {manual, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* part : {"Demonstration and practice", "Giving the trials", "Scoring",
                                 "Troubleshooting sound and volume on Linux", "47.4", "14.4"})
            QVERIFY2(words.contains(QLatin1String(part)), part);
    }

    void versionTextHasThreePlainNumbers()
    {
        QCOMPARE(VersionText(3, 1, 0), QStringLiteral("Version 3.1.0"));
        QCOMPARE(VersionText(10, 2, 7), QStringLiteral("Version 10.2.7"));
        QWidget main;
        frmAbout about(&main);
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 3.1.0"));
        QCOMPARE(about.windowTitle(), QStringLiteral("About the OVREL..."));
        QCOMPARE(about.size(), QSize(400, 204));
        QCOMPARE(about.cmdOK->geometry(), QRect(287, 175, 92, 22));
    }

    void aboutSitsBelowRightOfCentreAndStaysOnScreen_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<QPoint>("placed");
        const QSize about(406, 230);
        QTest::addColumn<QSize>("size");
        // (328 - 406) / 2 + 100 + 53.3 = 114.3; (230 - 230) / 2 + 100 + 93.3 = 193.3
        QTest::newRow("rule") << QRect(100, 100, 328, 230) << QPoint(114, 193) << about;
        QTest::newRow("moved main window follows") << QRect(300, 50, 328, 230) << QPoint(314, 143) << about;
        QTest::newRow("pushed back from the right") << QRect(1500, 100, 328, 230) << QPoint(1920 - 406, 193) << about;
        QTest::newRow("pushed up from the bottom") << QRect(100, 1000, 328, 230) << QPoint(114, 1080 - 230) << about;
        QTest::newRow("pushed in from the left") << QRect(-300, 100, 328, 230) << QPoint(0, 193) << about;
    }
    void aboutSitsBelowRightOfCentreAndStaysOnScreen()
    {
        QFETCH(QRect, main);
        QFETCH(QPoint, placed);
        QFETCH(QSize, size);
        QCOMPARE(aboutPlacement(main, size, QRect(0, 0, 1920, 1080)), QRect(placed, size));
    }

    void enterAndEscCloseAboutButEscLeavesTheRecordForm()
    {
        QWidget main;
        for (int key : {Qt::Key_Return, Qt::Key_Escape}) {
            frmAbout about(&main);
            about.show();
            QVERIFY(QTest::qWaitForWindowActive(&about));
            QTest::keyClick(&about, Qt::Key(key));
            QTRY_VERIFY(!about.isVisible());
        }
        frmDownloadRecordForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(form.isVisible());
        QCOMPARE(form.windowTitle(), QStringLiteral("Download Record Form"));
        QCOMPARE(form.size(), QSize(324, 225));
        QCOMPARE(form.cmdClose->geometry(), QRect(127, 175, 71, 36));
        // Both texts can be read whole, one under the other, above the link.
        for (QLabel* text : {form.lblText1, form.lblText2})
            QVERIFY(text->heightForWidth(text->width()) <= text->height());
        QVERIFY(form.lblText1->geometry().bottom() < form.lblText2->geometry().top());
        QVERIFY(form.lblText2->geometry().bottom() < form.lblDownload->geometry().top());
        QCOMPARE(form.lblText1->geometry().topLeft(), QPoint(15, 14));
        form.cmdClose->click();
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
