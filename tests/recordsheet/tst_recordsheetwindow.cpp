#include "MainWindowRig.h"
#include "session/TestSession.h"
#include "recordsheet/RecordSheetWindow.h"
#include "recordsheet/SheetGrid.h"
#include "recordsheet/SheetReport.h"
#include "recordsheet/SheetResults.h"
#include "ui/PaperSize.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

// The sheet as the examiner works it beside the main window: opened from the File menu, a trial
// started with F5 from the sheet and marked by keys, its results copied and saved, and the program
// left with marks in no report.
class tst_RecordSheetWindow : public QObject {
    Q_OBJECT

    // Items 1-20 right, 21-40 right and wrong by turns, 41-60 unanswered but 45-50.
    static QString plan()
    {
        QString keys = QString(20, QLatin1Char('c'));
        for (int n = 0; n < 10; ++n)
            keys += QStringLiteral("cx");
        return keys + QStringLiteral("----cccccc----------");
    }

private slots:
    void aTrialMarkedFromTheSheetIsCountedAndCopied()
    {
        MainWindowRig rig;
        MainWindow& main = rig.build();
        main.show();
        rig.child<QAction>("recordSheetAction").trigger();
        RecordSheetWindow* sheet = main.recordSheetWindow();
        QVERIFY(sheet && sheet->isVisible());
        auto* grid = sheet->findChild<SheetGrid*>();
        QCOMPARE(sheet->focusWidget(), grid);
        QVERIFY(!sheet->geometry().intersects(main.frameGeometry()));

        rig.child<QRadioButton>("pace12Button").click();
        sheet->layout()->activate();  // opened on the demonstration: a trial's rows are not squeezed
        QCOMPARE(grid->height(), grid->sizeHint().height());
        QTest::keyClick(sheet->findChild<QLineEdit*>(), Qt::Key_F5);  // from any field of the sheet
        QVERIFY(main.engine().isRunning());
        QCOMPARE(sheet->focusWidget(), grid);
        FakePacingTimer& pace = rig.timer(true);
        pace.tick();
        const QString keys = plan();
        for (int item = 0; item < 60; ++item) {
            pace.tick();
            rig.clock.at = pace.dueTime() + 500ms;
            if (item == 3) {  // a slip of the finger, taken back: the mark it replaced comes back
                QTest::keyClick(grid, Qt::Key_Space);
                QTest::keyClick(grid, Qt::Key_X);
                QTest::keyClick(grid, Qt::Key_Backspace);
                QCOMPARE(main.recordSheet().administrations().back().marks[3], SheetMark::Correct);
                QTest::keyClick(grid, Qt::Key_Backspace);
            }
            if (item == 10) {  // closed mid-run, the sheet comes back with Ctrl+R; a close of the main window asks
                sheet->close();
                QApplication::setActiveWindow(&main);
                QTest::keyClick(&main, Qt::Key_R, Qt::ControlModifier);
                QVERIFY(sheet->isVisible());
                rig.messages.answer = false;
                main.close();
                QCOMPARE(rig.messages.questions, QStringList{"A trial is under way. Stop it and quit?"});
                QVERIFY(main.engine().isRunning() && main.isVisible());
                // Yes stops the digits at once; No to the marks keeps the program, paused.
                rig.messages.answers = {true, false};
                main.close();
                QCOMPARE(rig.messages.questions.size(), 3);
                QVERIFY(!main.engine().isRunning() && main.isVisible());
                main.session().engine().startOrPause();
                rig.messages.questions.clear();
            }
            if (keys[item] != QLatin1Char('-'))
                QTest::keyClick(grid, keys[item] == QLatin1Char('c') ? Qt::Key_Space : Qt::Key_X);
        }
        QVERIFY(!main.engine().isRunning());
        static_cast<FakePacingTimer&>(main.session().settleTimer()).tick();
        QString marked;
        for (SheetMark mark : main.recordSheet().administrations().back().marks)
            marked += QLatin1Char(mark == SheetMark::Correct ? 'c' : mark == SheetMark::Wrong ? 'x' : '-');
        QCOMPARE(marked, keys);
        QCOMPARE(SheetResults::trialLine(main.recordSheet().administrations().back()),
                 QStringLiteral("Trial 1.2 s: correct 36, wrong 10, no answer 14, dyads 25, on time: yes"));

        // The age group chosen in the scoring window: 1.2 s, 30-49: mean 24.6, SD 10.6; z = (36 - 24.6) / 10.6.
        QTimer::singleShot(0, this, [] {
            QWidget* scoring = QApplication::activeModalWidget();
            scoring->findChild<QRadioButton*>(QStringLiteral("age30Button"))->click();
            scoring->close();
        });
        rig.child<QAction>("scoringAction").trigger();
        auto& ageGroup = *sheet->findChild<QComboBox*>(QStringLiteral("ageGroupBox"));
        QCOMPARE(ageGroup.currentText(), QStringLiteral("30-49"));
        sheet->copyResults();
        const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(copied.value(1), QStringLiteral("Trial 1.2 s\t36\t1.08\t86\t10\t14\t0\t25\t21\t20\t10\t6\t61 of 61 digits on time\tpaused after digit 12 for 0 s"));

        // A report saved keeps the marks: leaving asks nothing. An age group chosen since: it
        // asks, and No keeps the program.
        QTemporaryDir folder;
        QVERIFY(sheet->saveReport(folder.filePath(QStringLiteral("sheet.pdf"))));
        QVERIFY(!main.recordSheet().hasUnsavedMarks());
        ageGroup.setCurrentIndex(ageGroup.findData(50));
        emit ageGroup.activated(ageGroup.currentIndex());
        rig.messages.answer = false;
        main.close();
        QCOMPARE(rig.messages.questions, QStringList{"The record sheet has changes that are in no report saved or printed. Close anyway?"});
        QCOMPARE(rig.exits.ends, 0);
        rig.messages.answer = true;
        rig.child<QAction>("exitAction").trigger();
        QCOMPARE(rig.exits.ends, 1);

        // The age group is the examinee's: a new one has none, also once the sheet is opened again.
        sheet->findChild<QPushButton*>(QStringLiteral("newExamineeButton"))->click();
        sheet->close();
        rig.child<QAction>("recordSheetAction").trigger();
        QCOMPARE(ageGroup.currentText(), QStringLiteral("not chosen"));
    }

    // Each trial given twice: the report goes over a second page and leaves out no trial's line
    // or grid (item 59's number is in the grids only). It says when it was saved and each trial
    // started, who examined, the notes and each pause, on the page size of the computer's locale.
    void aReportOfEightTrialsKeepsEveryGrid()
    {
        FakeSteadyClock clock;
        RecordSheet sheet(clock);
        const QDateTime before = QDateTime::currentDateTime();
        for (int n = 0; n < 8; ++n) {
            sheet.runStarted(ItemSet::Trial, n % 4);
            sheet.digitStarted({});
            if (n == 0) {
                sheet.runPaused();
                clock.at += 75s;
                sheet.runResumed();
            }
            sheet.runFinished();
        }
        sheet.setNotes(0, QStringLiteral("coughed at item 12"));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("report.pdf"));
        QVERIFY(SheetReport(sheet, {{}, QStringLiteral("Dr Quinn"), QDateTime(QDate(2026, 3, 4), QTime(9, 5)), false}).writePdf(path));
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(10000));
        const QString said = QString::fromUtf8(text.readAllStandardOutput());
        QCOMPARE(said.count(QLatin1Char('\f')), 2);
        QCOMPARE(said.count(QStringLiteral("not given 60, dyads 0, on time: not known")), 8);
        QCOMPARE(said.count(QRegularExpression(QStringLiteral("^59$"), QRegularExpression::MultilineOption)), 8);
        for (const QString& line : {QStringLiteral("Saved: 2026-03-04 09:05"), QStringLiteral("Examiner: Dr Quinn"),
                                    QStringLiteral("Notes: coughed at item 12"), QStringLiteral("paused after digit 1 for 1 min 15 s"),
                                    QStringLiteral("Started ") + before.toString(QStringLiteral("yyyy-MM-dd HH:"))})
            QVERIFY2(said.contains(line), qPrintable(line));
        QVERIFY(!said.contains(QLatin1String("a digit that a notice names")));  // no notice named one
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path});
        QVERIFY(info.waitForFinished(10000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(paperSize().id() == QPageSize::A4 ? "(A4)" : "(letter)"));
        QCOMPARE(paperSizeFor(QLocale(QStringLiteral("en_US"))).id(), QPageSize::Letter);
        QCOMPARE(paperSizeFor(QLocale(QStringLiteral("de_DE"))).id(), QPageSize::A4);
    }
};

QTEST_MAIN(tst_RecordSheetWindow)
#include "tst_recordsheetwindow.moc"
