#include "BeepCounter.h"
#include "MessageRecorder.h"
#include "scoring/ScoringDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The scoring window: its checks and messages, results that always belong to the inputs on
// screen, and what can be typed.
class tst_ScoringDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<ScoringDialog> w;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<BeepCounter> beeper;

    template <class T>
    T* child(const QString& name) { return w->findChild<T*>(name); }
    QLineEdit* field(int row) { return child<QLineEdit>(QStringLiteral("rawScore%1").arg(24 - 4 * row)); }
    void chooseAge(int code) { child<QRadioButton>(QStringLiteral("age%1Button").arg(code))->click(); }
    void score() { child<QPushButton>(QStringLiteral("scoreButton"))->click(); }
    // Each row's raw score, z and percentile, top to bottom, as "raw z %".
    QStringList rows()
    {
        QStringList texts;
        for (int row = 0; row < 4; ++row) {
            const QString code = QString::number(24 - 4 * row);
            texts << QStringList{field(row)->text(), child<QLabel>("zScore" + code)->text(),
                                 child<QLabel>("percentile" + code)->text()}.join(' ');
        }
        return texts;
    }
    void type(const QStringList& raws)
    {
        for (int row = 0; row < 4; ++row)
            field(row)->setText(raws[row]);
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        messages = std::make_unique<MessageRecorder>();
        beeper = std::make_unique<BeepCounter>();
        w = std::make_unique<ScoringDialog>(*messages, *beeper, nullptr);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    void cleanup()
    {
        w.reset();
        messages.reset();
        beeper.reset();
    }

    void checksRunInOrderAndLeaveWhatTheySay()
    {
        score();  // no age group, all empty: only the first message
        QCOMPARE(messages->texts, QStringList{"Please select an age group."});
        QCOMPARE(messages->titles.first(), QStringLiteral("Corvane Computerized OVREL"));
        QCOMPARE(messages->icons.front(), MessageIcon::Warning);
        chooseAge(16);
        field(3)->setFocus();
        score();
        QCOMPARE(messages->texts.last(), QStringLiteral("At least one of the raw score fields must contain data."));
        QCOMPARE(w->focusWidget(), field(0));
        for (const QStringList& raws : {QStringList{"61", "40", "", ""}, QStringList{"", "-5", "", ""}}) {
            type(raws);  // pasted: typing lets only digits in
            score();
            QCOMPARE(messages->texts.last(), QStringLiteral("Invalid raw score range."));
            QCOMPARE(rows(), QStringList(4, "  "));
        }
        QCOMPARE(w->ageGroup(), 16);  // the age group stays
    }

    void resultsNeverOutliveTheirInputs()
    {
        chooseAge(50);
        type({"52", "", "", "41"});
        score();
        QCOMPARE(rows(), QStringList({"52 0.62 73", "  ", "  ", "41 1.38 92"}));
        field(3)->setText("4");  // an edit empties its own row only
        QCOMPARE(rows(), QStringList({"52 0.62 73", "  ", "  ", "4  "}));
        chooseAge(16);  // another group empties every result
        QCOMPARE(rows(), QStringList({"52  ", "  ", "  ", "4  "}));
        type({"0", "60", "36", ""});  // zero is a score; empty is not
        score();
        QCOMPARE(rows(), QStringList({"0 -4.69 0", "60 1.44 93", "36 0 50", "  "}));
        QVERIFY(messages->texts.isEmpty());
    }

    void onlyDigitsCanBeTypedAndEnterScores()
    {
        chooseAge(16);
        field(0)->setText(QStringLiteral("9"));
        QTest::keyClick(w.get(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(w.get(), Qt::Key_Tab);  // entering a field selects it: typing replaces
        QTest::keyClicks(field(0), "4a -.56");  // at most two characters
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));
        QTest::keyClick(field(0), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(beeper->beeps, 5);
        QTest::keyClick(field(0), Qt::Key_Return);
        QCOMPARE(rows().first(), QStringLiteral("45 -0.24 41"));
    }
};

QTEST_MAIN(tst_ScoringDialog)
#include "tst_scoringdialog.moc"
