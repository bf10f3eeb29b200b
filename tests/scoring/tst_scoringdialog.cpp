#include "Recorders.h"
#include "platform/Beep.h"
#include "scoring/ScoreComputation.h"
#include "scoring/ScoringDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

// The scoring window: its checks and messages, results that always belong to the inputs on
// screen, and what can be typed.
class tst_ScoringDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> owner;
    std::unique_ptr<ScoringDialog> w;
    std::unique_ptr<MessageRecorder> messages;
    int beeps = 0;
    const int codes[4] = {24, 20, 16, 12};

    QLineEdit* field(int code) { return w->findChild<QLineEdit*>(QStringLiteral("rawScore%1").arg(code)); }
    void type(int code, const char* text) { field(code)->setText(QLatin1String(text)); }
    void chooseAge(int code) { w->findChild<QRadioButton*>(QStringLiteral("age%1Button").arg(code))->click(); }
    void score() { w->findChild<QPushButton*>(QStringLiteral("scoreButton"))->click(); }
    // z and percentile of each row, top to bottom.
    QStringList results()
    {
        QStringList texts;
        for (int code : codes)
            for (const char* kind : {"zScore", "percentile"})
                texts << w->findChild<QLabel*>(QLatin1String(kind) + QString::number(code))->text();
        return texts;
    }
    QStringList fields()
    {
        QStringList texts;
        for (int code : codes)
            texts << field(code)->text();
        return texts;
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        owner = std::make_unique<QWidget>();
        w = std::make_unique<ScoringDialog>(owner.get());
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        messages = std::make_unique<MessageRecorder>();
        beeps = 0;
        setBeepHandler([this] { ++beeps; });
    }
    void cleanup()
    {
        setBeepHandler({});
        messages.reset();
        w.reset();
    }

    void checksRunInOrderAndLeaveWhatTheySay()
    {
        score();  // no age group, all empty: only the first message
        QCOMPARE(messages->texts, QStringList{"Please select an age group."});
        QCOMPARE(messages->titles.first(), QStringLiteral("Corvane Computerized OVREL"));
        QCOMPARE(messages->icons.front(), MessageIcon::Warning);
        chooseAge(16);
        field(12)->setFocus();
        score();
        QCOMPARE(messages->texts.last(), QStringLiteral("At least one of the raw score fields must contain data."));
        QCOMPARE(w->focusWidget(), field(24));
        type(24, "61");
        type(20, "40");
        score();
        QCOMPARE(messages->texts.last(), QStringLiteral("Invalid raw score range."));
        QCOMPARE(fields(), QStringList(4, QString()));
        QCOMPARE(results(), QStringList(8, QString()));
        QCOMPARE(w->ageGroup(), 16);  // the age group stays
    }

    void resultsNeverOutliveTheirInputs()
    {
        chooseAge(50);
        type(24, "52");
        type(12, "41");
        score();
        QCOMPARE(results(), QStringList({"0.62", "73", "", "", "", "", "1.38", "92"}));
        type(12, "4");  // an edit empties its own row only
        QCOMPARE(results(), QStringList({"0.62", "73", "", "", "", "", "", ""}));
        chooseAge(16);  // another group empties every result
        QCOMPARE(results(), QStringList(8, QString()));
        type(24, "0");  // zero is a score; empty is not
        type(20, "60");
        type(16, "36");
        field(12)->clear();
        score();
        QCOMPARE(results(), QStringList({"-4.69", "0", "1.44", "93", "0", "50", "", ""}));
        QVERIFY(messages->texts.isEmpty());
    }

    void onlyDigitsCanBeTypedAndEnterScores()
    {
        chooseAge(16);
        field(24)->setText(QStringLiteral("9"));
        QTest::keyClick(w.get(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(w.get(), Qt::Key_Tab);  // entering a field selects it: typing replaces
        QCOMPARE(w->focusWidget(), field(24));
        QTest::keyClicks(field(24), "4a -.5");
        QTest::keyClick(field(24), Qt::Key_6);  // at most two characters
        QCOMPARE(field(24)->text(), QStringLiteral("45"));
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));
        QTest::keyClick(field(24), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field(24)->text(), QStringLiteral("45"));
        QCOMPARE(beeps, 5);
        QTest::keyClick(field(24), Qt::Key_Return);
        QCOMPARE(results().first(), QStringLiteral("-0.24"));
    }

    // Whatever one or two characters arrive in a field (pasted: typing is filtered), Score either
    // shows tidy results or reports the range; nothing else happens.
    void everyShortPastedTextHasOneOfTheOutcomes()
    {
        chooseAge(30);
        QString alphabet = QString::fromUtf8("\u00e9\u20ac\u0663\u00bd\u00a0");
        for (char c = 32; c < 127; ++c)
            alphabet += QLatin1Char(c);
        const QRegularExpression tidy(QStringLiteral("^-?\\d+(\\.\\d{1,2})?,\\d{1,3}$"));
        QStringList texts;
        for (QChar a : alphabet) {
            texts << QString(a);
            for (QChar b : alphabet)
                texts << QString(a) + b;
        }
        int scored = 0, refused = 0;
        for (int i = 0; i < texts.size(); ++i) {
            const int row = i % 4;
            field(codes[row])->setText(texts[i]);
            const qsizetype before = messages->texts.size();
            score();
            const double raw = readRawScore(texts[i]);
            if (raw >= 0 && raw <= 60) {
                QVERIFY2(messages->texts.size() == before, qPrintable(texts[i]));
                QVERIFY2(tidy.match(results().mid(2 * row, 2).join(',')).hasMatch(), qPrintable(texts[i]));
                ++scored;
            } else {
                QVERIFY2(messages->texts.size() == before + 1 && fields() == QStringList(4, QString()),
                         qPrintable(texts[i]));
                ++refused;
            }
            field(codes[row])->clear();
        }
        QVERIFY(scored > 0 && refused > 0);
    }
};

QTEST_MAIN(tst_ScoringDialog)
#include "tst_scoringdialog.moc"
