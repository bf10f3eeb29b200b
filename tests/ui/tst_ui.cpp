#include "desktop/Desktop.h"
#include "resources/ResourceBytes.h"
#include "protocol/DigitLists.h"
#include "help/AboutDialog.h"
#include "help/HelpDocuments.h"
#include "help/LinkLabel.h"
#include "help/RecordFormDialog.h"
#include "ui/ResourcePicture.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
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

// The start/stop pictures, the help documents, the record form and the two small windows.
class tst_Ui : public QObject {
    Q_OBJECT

    UrlRecorder recorder;

    static QString run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

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
        for (const auto& [name, id, trouble] : {std::tuple{"stop", 101, ""}, {"start", 102, ""}, {"no such resource", 103, ""},
                                                {"no temporary folder", 101, "folder"}, {"the write fails part way", 101, "write"}})
            QTest::newRow(name) << id << QString(trouble);
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

    void documentsAreFoundBesideTheProgramOrInItsInstallation()
    {
        const auto manualPath = [](const QString& bin) { return documentPath(bin, kManualFileName); };
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
        for (const QString& name : {kManualFileName, kRecordFormFileName})  // the build's
            QVERIFY(QFile::exists(documentPath(QStringLiteral(OVREL_EXECUTABLE_DIR), name)));
    }

    void windowsHandTheirLinksToTheDesktopAndShowEveryText()
    {
        QWidget main;
        AboutDialog about(&main);
        QTest::mouseClick(about.findChild<LinkLabel*>(), Qt::LeftButton);
        RecordFormDialog form;
        QTest::mouseClick(form.findChild<LinkLabel*>(), Qt::LeftButton);  // no form here: the web's
        const QString installed = QCoreApplication::applicationDirPath() + QLatin1Char('/') + kRecordFormFileName;
        QFile(installed).open(QIODevice::WriteOnly);
        QTest::mouseClick(form.findChild<LinkLabel*>(), Qt::LeftButton);
        QFile::remove(installed);
        QCOMPARE(recorder.urls, QStringList({"http://www.corvane.com/ovrel.html",
                                             "http://www.corvane.com/downloads/OVREL%20Record%20Form.pdf",
                                             QUrl::fromLocalFile(installed).toString(QUrl::FullyEncoded)}));
        QVERIFY(!openWebPage(QStringLiteral("file:///etc/passwd")));
        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        // At 12 points the record form's first text needs a third line: all three read whole.
        const QList<QLabel*> texts = form.findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            QVERIFY(texts[i]->height() >= texts[i]->heightForWidth(texts[i]->width()));
            QVERIFY(i == 0 || texts[i]->geometry().top() > texts[i - 1]->geometry().bottom());
        }
    }

    // The record form the program carries, read back: one US Letter page whose expected sums are
    // those of the digits the program plays, each after its answer's number as on the screen's
    // sheet, with boxes for the z-score and the percentile.
    void theRecordFormIsOneLetterPageWithEveryTrialsSums()
    {
        QTemporaryFile pdf;
        QVERIFY(pdf.open());
        pdf.write(resourceBytes(QStringLiteral("PDF"), 201));
        pdf.flush();
        const QString info = run(QStringLiteral("pdfinfo"), {pdf.fileName()});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")) && info.contains("612 x 792 pts (letter)"), qPrintable(info));
        const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf.fileName(), QStringLiteral("-")});
        for (const char* field : {"Name", "Date", "Age group", "16-29", "30-49", "50-69", "z-score", "Percentile", "Notes"})
            QVERIFY2(text.contains(QLatin1String(field)), field);
        std::vector<int> expected;  // each answer's number, then its sum
        for (std::size_t i = 1; i < kTrialDigits.size(); ++i)
            expected.insert(expected.end(), {int(i), kTrialDigits[i - 1] + kTrialDigits[i]});
        const char* paces[] = {"2.4", "2.0", "1.6", "1.2"};
        for (int t = 0; t < 4; ++t) {
            const QString heading = QStringLiteral("Trial %1 (%2 s)").arg(t + 1).arg(QLatin1String(paces[t]));
            const qsizetype from = text.indexOf(heading) + heading.size();
            const qsizetype to = text.indexOf(QStringLiteral("Raw score"), from);
            QVERIFY2(from >= heading.size() && to > from, qPrintable(heading));
            std::vector<int> sums;
            for (const auto& m : QRegularExpression(QStringLiteral("\\d+")).globalMatch(text.mid(from, to - from)))
                sums.push_back(m.captured().toInt());
            QCOMPARE(sums, expected);
        }
    }

    // 800 twips right of and 1400 below centre on the main window, moved onto the screen.
    void aboutSitsBelowRightOfCentreAndStaysOnScreen()
    {
        const QSize about(406, 230);
        const QRect screen(0, 0, 1920, 1080);
        // (328 - 406) / 2 + 100 + 53.3 = 114.3; (230 - 230) / 2 + 100 + 93.3 = 193.3
        QCOMPARE(aboutPlacement(QRect(100, 100, 328, 230), about, screen).topLeft(), QPoint(114, 193));
        QCOMPARE(aboutPlacement(QRect(1500, 1000, 328, 230), about, screen).topLeft(), QPoint(1514, 850));
        QCOMPARE(aboutPlacement(QRect(-300, 100, 328, 230), about, screen).topLeft(), QPoint(0, 193));
    }
};

QTEST_MAIN(tst_Ui)
#include "tst_ui.moc"
