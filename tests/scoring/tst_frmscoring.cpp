#include "Recorders.h"
#include "platform/Beep.h"
#include "scoring/ScoreComputation.h"
#include "scoring/frmScoring.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

// The scoring window: checks and messages, results that always match their inputs, typing.
class tst_frmScoring : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> owner;
    std::unique_ptr<frmScoring> w;
    int beeps = 0;

    QStringList results() const
    {
        return {w->lbl24z->text(), w->lbl24p->text(), w->lbl20z->text(), w->lbl20p->text(),
                w->lbl16z->text(), w->lbl16p->text(), w->lbl12z->text(), w->lbl12p->text()};
    }
    QStringList fields() const
    {
        return {w->txt24->text(), w->txt20->text(), w->txt16->text(), w->txt12->text()};
    }
    static QStringList none(int n) { return QStringList(n, QString()); }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        owner = std::make_unique<QWidget>();
        owner->setGeometry(100, 100, 400, 300);
        w = std::make_unique<frmScoring>(owner.get());
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        beeps = 0;
        setBeepHandler([this] { ++beeps; });
    }
    void cleanup()
    {
        setBeepHandler({});
        w.reset();
        owner.reset();
    }

    void opensBlankWithItsLayout()
    {
        QCOMPARE(w->windowTitle(), QStringLiteral("OVREL Scoring"));
        QCOMPARE(w->size(), QSize(316, 239));
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(w->Frame1->title(), QStringLiteral("Age Range"));
        QCOMPARE(w->Frame1->geometry(), QRect(7, 21, 99, 162));
        QCOMPARE(w->optAge30->geometry(), QRect(14, 77, 64, 22));
        QCOMPARE(w->txt16->geometry(), QRect(147, 112, 36, 29));
        QCOMPARE(w->lbl12p->geometry(), QRect(259, 154, 50, 29));
        QCOMPARE(w->cmdScore->geometry(), QRect(231, 196, 78, 36));
        QCOMPARE(w->cmdClose->geometry(), QRect(7, 196, 99, 36));
        QCOMPARE(w->cmdScore->text(), QStringLiteral("&Score"));
        QCOMPARE(w->cmdClear->text(), QStringLiteral("C&lear"));
        QCOMPARE(w->cmdClose->text(), QStringLiteral("&Close"));
        QVERIFY(w->cmdScore->isDefault());
        QVERIFY(w->lbl24z->font().bold() && !w->txt24->font().bold());
        QCOMPARE(w->txt24->font().pointSizeF(), 11.25);
        QCOMPARE(w->lbl24z->palette().color(QPalette::Window), QColor(255, 255, 128));
        QCOMPARE(w->lbl24z->frameShape(), QFrame::Box);
        QVERIFY(!w->optAge16->isChecked() && !w->optAge30->isChecked() && !w->optAge50->isChecked());
        QCOMPARE(fields(), none(4));
        QCOMPARE(results(), none(8));
        QCOMPARE(w->focusWidget(), w->txt24);
        QCOMPARE(w->frameGeometry().center(), owner->frameGeometry().center());
    }

    void checksRunInOrderAndLeaveWhatTheySay()
    {
        MessageRecorder messages;
        w->txt20->setFocus();
        w->cmdScore_Click();  // no age group, all empty: only the first message
        QCOMPARE(messages.messages.size(), std::size_t(1));
        QCOMPARE(messages.messages[0].text, QStringLiteral("Please select an age group."));
        QVERIFY(messages.messages[0].icon == MsgIcon::Exclamation);
        QCOMPARE(messages.messages[0].title, QStringLiteral("Corvane Computerized OVREL"));
        QCOMPARE(w->focusWidget(), w->txt20);

        w->optAge16->click();
        QCOMPARE(w->AgeGroup(), 16);
        w->txt12->setFocus();
        w->cmdScore_Click();
        QCOMPARE(messages.messages.back().text,
                 QStringLiteral("At least one of the raw score fields must contain data."));
        QCOMPARE(w->focusWidget(), w->txt24);

        w->txt24->setText("61");
        w->txt20->setText("40");
        w->cmdScore_Click();
        QCOMPARE(messages.messages.back().text, QStringLiteral("Invalid raw score range."));
        QCOMPARE(messages.messages.size(), std::size_t(3));
        QCOMPARE(fields(), none(4));
        QCOMPARE(results(), none(8));
        QVERIFY(w->optAge16->isChecked());  // the age group stays
    }

    void onlyFilledRowsGetResults()
    {
        MessageRecorder messages;
        w->optAge16->click();
        w->txt16->setText("36");
        w->cmdScore_Click();
        QCOMPARE(results(), QStringList({"", "", "", "", "0", "50", "", ""}));
        w->txt24->setText("0");  // zero is a score; empty is not
        w->txt20->setText("60");
        w->cmdScore_Click();
        QCOMPARE(results(), QStringList({"-4.69", "0", "1.44", "93", "0", "50", "", ""}));
        QVERIFY(messages.messages.empty());
    }

    void resultsNeverOutliveTheirInputs()
    {
        w->optAge50->click();
        w->txt24->setText("52");
        w->txt12->setText("41");
        w->cmdScore_Click();
        QCOMPARE(results(), QStringList({"0.62", "73", "", "", "", "", "1.38", "92"}));

        w->optAge50->click();  // the same group again changes nothing
        QCOMPARE(results(), QStringList({"0.62", "73", "", "", "", "", "1.38", "92"}));
        w->txt12->setText("4");  // an edit empties its own row only
        QCOMPARE(results(), QStringList({"0.62", "73", "", "", "", "", "", ""}));
        w->optAge16->click();  // another group empties every result
        QCOMPARE(results(), none(8));
        w->cmdScore_Click();  // and Score rescores against the new group
        QCOMPARE(results().at(0), QStringLiteral("0.46"));
        w->txt24->clear();
        w->cmdScore_Click();
        QCOMPARE(results().mid(0, 2), none(2));
    }

    void clearEmptiesFieldsAndResultsButKeepsTheGroup()
    {
        w->optAge30->click();
        w->txt20->setText("41");
        w->cmdScore_Click();
        w->cmdClear->click();
        QCOMPARE(fields(), none(4));
        QCOMPARE(results(), none(8));
        QCOMPARE(w->AgeGroup(), 30);
        QCOMPARE(w->focusWidget(), w->txt24);
    }

    void onlyDigitsAndBackspaceCanBeTyped()
    {
        w->txt24->setFocus();
        QTest::keyClicks(w->txt24, "4a -.");
        QCOMPARE(w->txt24->text(), QStringLiteral("4"));
        QCOMPARE(beeps, 4);
        QTest::keyClick(w->txt24, Qt::Key_5);
        QTest::keyClick(w->txt24, Qt::Key_6);  // at most two characters
        QCOMPARE(w->txt24->text(), QStringLiteral("45"));
        QTest::keyClick(w->txt24, Qt::Key_Backspace);
        QCOMPARE(w->txt24->text(), QStringLiteral("4"));
        QGuiApplication::clipboard()->setText(QStringLiteral("9"));
        QTest::keyClick(w->txt24, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w->txt24->text(), QStringLiteral("4"));
        QCOMPARE(beeps, 5);
    }

    void enteringAFieldSelectsItsContent()
    {
        w->txt20->setText("45");
        w->txt24->setFocus();
        QTest::keyClick(w->txt24, Qt::Key_Tab);
        QCOMPARE(w->focusWidget(), w->txt20);
        QTest::keyClick(w->txt20, Qt::Key_3);
        QCOMPARE(w->txt20->text(), QStringLiteral("3"));
    }

    void enterScoresFromAFieldAndEscCloses()
    {
        MessageRecorder messages;
        w->optAge16->click();
        w->txt12->setFocus();
        QTest::keyClicks(w->txt12, "27");
        QTest::keyClick(w->txt12, Qt::Key_Return);
        QCOMPARE(w->lbl12z->text(), QStringLiteral("-0.04"));
        QTest::keyClick(w->txt12, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(messages.messages.empty());
    }

    // Whatever one or two characters arrive in a field (pasted: typing is filtered), Score either
    // shows tidy results or reports the range; nothing else happens.
    void everyShortPastedTextHasOneOfTheOutcomes()
    {
        MessageRecorder messages;
        w->optAge30->click();
        QString alphabet;
        for (char c = 32; c < 127; ++c)
            alphabet += QLatin1Char(c);
        alphabet += QString::fromUtf8("\u00e9\u20ac\u0663\u00bd\u00a0");
        QStringList texts;
        for (QChar a : alphabet) {
            texts << QString(a);
            for (QChar b : alphabet)
                texts << QString(a) + b;
        }
        const QRegularExpression zText(QStringLiteral("^-?\\d+(\\.\\d{1,2})?$"));
        const QRegularExpression pText(QStringLiteral("^\\d{1,3}$"));
        QLineEdit* edits[] = {w->txt24, w->txt20, w->txt16, w->txt12};
        QLabel* zLabels[] = {w->lbl24z, w->lbl20z, w->lbl16z, w->lbl12z};
        QLabel* pLabels[] = {w->lbl24p, w->lbl20p, w->lbl16p, w->lbl12p};
        int scored = 0, refused = 0;
        for (int i = 0; i < texts.size(); ++i) {
            const int row = i % 4;
            edits[row]->setText(texts[i]);
            const std::size_t before = messages.messages.size();
            w->cmdScore_Click();
            const double raw = ReadRawScore(texts[i]);
            if (raw >= 0 && raw <= 60) {
                QVERIFY2(messages.messages.size() == before, qPrintable(texts[i]));
                QVERIFY2(zText.match(zLabels[row]->text()).hasMatch(), qPrintable(texts[i]));
                QVERIFY2(pText.match(pLabels[row]->text()).hasMatch(), qPrintable(texts[i]));
                ++scored;
            } else {
                QCOMPARE(messages.messages.size(), before + 1);
                QCOMPARE(messages.messages.back().text, QStringLiteral("Invalid raw score range."));
                QCOMPARE(fields(), none(4));
                ++refused;
            }
            edits[row]->clear();
        }
        QVERIFY(scored > 0 && refused > 0);
    }

    void accessKeysPressTheButtons()
    {
        MessageRecorder messages;
        // A pressed access key clicks its button a moment later, as the button animates.
        QTest::keyClick(w->focusWidget(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(messages.messages.size(), std::size_t(1));
        w->txt16->setText("7");
        QTest::keyClick(w->focusWidget(), Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(w->txt16->text(), QString());
        QTest::keyClick(w->focusWidget(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!w->isVisible());
    }
};

QTEST_MAIN(tst_frmScoring)
#include "tst_frmscoring.moc"
