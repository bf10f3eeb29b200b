#include "FakeListening.h"
#include "FakeSteadyClock.h"
#include "MessageRecorder.h"
#include "TempSettings.h"
#include "recordsheet/RecordSheetWindow.h"
#include "recordsheet/SheetGrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

// The sheet's window where the program can listen: Listen by Alt+L, the microphone's level and
// state shown as the listening tells them, H on the grid asking for the answer at the cursor,
// and what cannot be played said in plain words. Without listening, none of it is there.
class tst_ListenBar : public QObject {
    Q_OBJECT

private slots:
    void listenIsWorkedFromTheSheet()
    {
        TempSettings settings;
        FakeSteadyClock clock;
        RecordSheet sheet(clock);
        MessageRecorder messages;
        FakeListening listening;
        RecordSheetWindow window(sheet, messages, &listening);
        window.show();
        auto* box = window.findChild<QCheckBox*>(QStringLiteral("listenBox"));
        auto* level = window.findChild<QProgressBar*>(QStringLiteral("microphoneLevel"));
        auto* state = window.findChild<QLabel*>(QStringLiteral("listenState"));
        QVERIFY(box && level && state);
        QVERIFY(!box->isChecked() && !level->isEnabled());
        QCOMPARE(level->text(), QStringLiteral("Microphone: off"));

        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(window.windowHandle(), Qt::Key_L, Qt::AltModifier);
        QTRY_VERIFY(listening.on && box->isChecked());  // a mnemonic clicks as a button is seen pressed
        QCOMPARE(state->text(), QStringLiteral("Listening."));
        QCOMPARE(level->text(), QStringLiteral("Microphone: -20 dB"));
        listening.level = -INFINITY;
        emit listening.levelChanged();
        QCOMPARE(level->text(), QStringLiteral("Microphone: silent"));

        // Nothing given yet: the set chosen is asked for as none, for the listening to say so.
        auto* grid = window.findChild<SheetGrid*>();
        QTest::keyClick(grid, Qt::Key_H);
        QCOMPARE(listening.heardAgain.at(0), (RecordSheet::Answer{-1, 0}));
        sheet.runStarted(ItemSet::Demonstration, 0);
        QTest::keyClick(grid, Qt::Key_Right);
        listening.problem = QStringLiteral("Answer 2 was not recorded.");
        QTest::keyClick(grid, Qt::Key_H);
        QCOMPARE(listening.heardAgain.size(), std::size_t(2));
        QCOMPARE(listening.heardAgain[1], (RecordSheet::Answer{0, 1}));
        QCOMPARE(messages.texts, QStringList{listening.problem});

        MessageRecorder plain;
        RecordSheetWindow keysAlone(sheet, plain);
        QVERIFY(!keysAlone.findChild<QCheckBox*>(QStringLiteral("listenBox")));
    }
};

QTEST_MAIN(tst_ListenBar)
#include "tst_listenbar.moc"
