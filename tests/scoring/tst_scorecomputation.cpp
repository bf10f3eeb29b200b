#include "scoring/ScoreComputation.h"

#include <QTest>

// The computation alone: norms, raw-score reading, z-scores and percentiles and their texts.
class tst_ScoreComputation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void normsAreTheFloatsNearestTheTable()
    {
        const NormPair p = *lookupNorms(12, 50);
        QCOMPARE(double(p.mean), 21.2000007629394531);
        QCOMPARE(double(p.sd), 14.3999996185302734);
        QCOMPARE(lookupNorms(16, 16)->mean, 36.0f);
        QCOMPARE(lookupNorms(20, 16)->mean, 42.0f);
        QCOMPARE(lookupNorms(24, 30)->sd, lookupNorms(20, 30)->sd);
        QVERIFY(!lookupNorms(24, 0));
        QVERIFY(!lookupNorms(18, 16));
        for (std::uint8_t t : {24, 20, 16, 12})
            for (std::uint8_t a : {16, 30, 50})
                QVERIFY(lookupNorms(t, a)->sd > 0);
    }

    void rawScoreIsTheNumberAtTheStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("raw");
        QTest::newRow("digit") << "7" << 7.0;
        QTest::newRow("leading zero") << "05" << 5.0;
        QTest::newRow("sixty") << "60" << 60.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blanks around") << " 4 " << 4.0;
        QTest::newRow("blank inside") << "4 5" << 45.0;
        QTest::newRow("minus") << "-3" << -3.0;
        QTest::newRow("minus alone") << "-" << 0.0;
        QTest::newRow("fraction") << "2.5" << 2.5;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("letters after") << "4x" << 4.0;
        QTest::newRow("letters first") << "x4" << 0.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("e without digits") << "6e" << 6.0;
        QTest::newRow("second point") << "1.2.3" << 1.2;
        QTest::newRow("not ASCII") << QString::fromUtf8("\u00e94") << 0.0;
    }
    void rawScoreIsTheNumberAtTheStart()
    {
        QFETCH(QString, text);
        QFETCH(double, raw);
        QCOMPARE(readRawScore(text), raw);
    }

    void publishedCasesGiveTheirTexts_data()
    {
        QTest::addColumn<int>("trial");
        QTest::addColumn<int>("age");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("z");
        QTest::addColumn<QString>("percentile");
        QTest::newRow("raw equals whole mean") << 20 << 16 << "42" << "0" << "50";
        QTest::newRow("same, another trial") << 16 << 16 << "36" << "0" << "50";
        QTest::newRow("ordinary") << 24 << 16 << "50" << "0.26" << "60";
        QTest::newRow("lowest z") << 24 << 16 << "0" << "-4.69" << "0";
        QTest::newRow("top score") << 12 << 16 << "60" << "3.29" << "100";
        QTest::newRow("trailing zero dropped") << 24 << 50 << "0" << "-3.2" << "0";
        QTest::newRow("0.625 tie to even") << 24 << 50 << "52" << "0.62" << "73";
        QTest::newRow("-0.625 tie to even") << 24 << 50 << "35" << "-0.62" << "27";
        QTest::newRow("tie up in magnitude") << 24 << 50 << "18" << "-1.88" << "3";
        QTest::newRow("tie to 8") << 12 << 50 << "41" << "1.38" << "92";
        QTest::newRow("tie to 2") << 12 << 50 << "59" << "2.62" << "100";
        QTest::newRow("just below 0.125") << 12 << 50 << "23" << "0.12" << "55";
        QTest::newRow("low but above 0") << 16 << 50 << "0" << "-1.94" << "3";
        QTest::newRow("05 as 5") << 24 << 16 << "05" << "-4.2" << "0";
    }
    void publishedCasesGiveTheirTexts()
    {
        QFETCH(int, trial);
        QFETCH(int, age);
        QFETCH(QString, raw);
        QFETCH(QString, z);
        QFETCH(QString, percentile);
        const TrialScore s = *scoreTrial(std::uint8_t(trial), std::uint8_t(age), raw);
        QCOMPARE(formatZScore(s.zScore), z);
        QCOMPARE(formatPercentile(s.percentile), percentile);
    }

    void theOneOpenCaseGivesEitherText()
    {
        const TrialScore s = *scoreTrial(12, 50, QStringLiteral("5"));
        QCOMPARE(s.zScore, -1.12500012f);
        QVERIFY(formatZScore(s.zScore) == "-1.13" || formatZScore(s.zScore) == "-1.12");
        QCOMPARE(formatPercentile(s.percentile), QStringLiteral("13"));
    }

    // Every whole raw score of every trial and group: tidy texts that never fall as raw rises.
    void everyWholeRawScoreGivesOrderedTidyTexts()
    {
        for (std::uint8_t trial : {24, 20, 16, 12}) {
            for (std::uint8_t age : {16, 30, 50}) {
                double lastZ = -1e9;
                int lastP = -1;
                for (int raw = 0; raw <= 60; ++raw) {
                    const TrialScore s = *scoreTrial(trial, age, QString::number(raw));
                    const QString z = formatZScore(s.zScore);
                    const QString p = formatPercentile(s.percentile);
                    const QString where = QStringLiteral("%1/%2/%3: %4 %5")
                                              .arg(trial).arg(age).arg(raw).arg(z, p);
                    const int point = int(z.indexOf(QLatin1Char('.')));
                    QVERIFY2(point < 0 || z.size() - point - 1 <= 2, qPrintable(where));
                    QVERIFY2(!(point >= 0 && z.endsWith(QLatin1Char('0'))), qPrintable(where));
                    QVERIFY2(z != "-0", qPrintable(where));
                    bool ok = false;
                    const int pv = p.toInt(&ok);
                    QVERIFY2(ok && pv >= 0 && pv <= 100 && QString::number(pv) == p,
                             qPrintable(where));
                    QVERIFY2(z.toDouble() >= lastZ && pv >= lastP, qPrintable(where));
                    lastZ = z.toDouble();
                    lastP = pv;
                }
            }
        }
    }

    void normalDistIsSymmetricAndBounded_data()
    {
        QTest::addColumn<float>("z");
        QTest::addColumn<float>("percentile");
        QTest::newRow("0") << 0.0f << 50.0f;
        QTest::newRow("1.96") << 1.96f << 98.0f;  // 97.50 rounds up
        QTest::newRow("-1.96") << -1.96f << 2.0f;
        QTest::newRow("4.7 low") << -4.7f << 0.0f;
        QTest::newRow("3.4 high") << 3.4f << 100.0f;
    }
    void normalDistIsSymmetricAndBounded()
    {
        QFETCH(float, z);
        QFETCH(float, percentile);
        const CumulativeProbability c = normalDistribution(z);
        QCOMPARE(c.percentile, percentile);
        QVERIFY(std::fabs(double(c.probability + normalDistribution(-z).probability) - 1) < 1e-6);
    }

    void textsFollowTheLocale()
    {
        QCOMPARE(formatZScore(0.26f, QLocale(QLocale::German)), QStringLiteral("0,26"));
        QCOMPARE(formatZScore(-1.5f, QLocale(QLocale::German)), QStringLiteral("-1,5"));
        QCOMPARE(formatZScore(2.0f, QLocale(QLocale::German)), QStringLiteral("2"));
        QCOMPARE(formatZScore(-0.001f), QStringLiteral("0"));
        QCOMPARE(formatZScore(-0.0f), QStringLiteral("0"));
        QCOMPARE(formatPercentile(100.0f), QStringLiteral("100"));
        QCOMPARE(formatPercentile(3.0f), QStringLiteral("3"));
    }
};

QTEST_GUILESS_MAIN(tst_ScoreComputation)
#include "tst_scorecomputation.moc"
