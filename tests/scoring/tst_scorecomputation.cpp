#include "scoring/ScoreComputation.h"

#include <QRegularExpression>
#include <QTest>

// The computation alone: norms, raw-score reading, z-scores and percentiles and their texts.
class tst_ScoreComputation : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // The published norms, written out here: a wrong one must fail a test.
    void normsAreThePublishedOnes()
    {
        const float published[4][7] = {{24, 47.4f, 10.1f, 43.4f, 10.2f, 43.5f, 13.6f},
                                        {20, 42.0f, 12.5f, 41.9f, 10.2f, 35.6f, 14.6f},
                                        {16, 36.0f, 13.0f, 33.1f, 12.2f, 30.8f, 15.9f},
                                        {12, 27.4f, 9.9f, 24.6f, 10.6f, 21.2f, 14.4f}};
        for (const auto& row : published)
            for (int group = 0; group < 3; ++group) {
                const NormPair norms = *lookupNorms(std::uint8_t(row[0]), std::uint8_t(group == 0 ? 16 : group * 20 + 10));
                QCOMPARE(norms.mean, row[1 + 2 * group]);
                QCOMPARE(norms.sd, row[2 + 2 * group]);
            }
        QVERIFY(!lookupNorms(24, 0) && !lookupNorms(18, 16));
    }

    void rawScoreIsTheNumberAtTheStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("raw");
        const std::pair<const char*, double> rows[] = {
            {"7", 7}, {"05", 5}, {"60", 60}, {"", 0}, {" 4 ", 4}, {"4 5", 45}, {"-3", -3}, {"-", 0},
            {"2.5", 2.5}, {".5", 0.5}, {"4x", 4}, {"x4", 0}, {"1e3", 1000}, {"6e", 6}, {"1.2.3", 1.2},
            {"\u00e94", 0}};
        for (const auto& [text, raw] : rows)
            QTest::newRow(text) << QString::fromUtf8(text) << raw;
    }
    void rawScoreIsTheNumberAtTheStart()
    {
        QFETCH(QString, text);
        QFETCH(double, raw);
        QCOMPARE(readRawScore(text), raw);
    }

    // Worked by hand from the published norms; the ties are decided on the single-precision z.
    void knownCasesGiveTheirTexts_data()
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
        QTest::newRow("30-49 norms") << 20 << 30 << "41" << "-0.09" << "46";
        QTest::newRow("-1.125 just beyond the tie") << 12 << 50 << "5" << "-1.13" << "13";
    }
    void knownCasesGiveTheirTexts()
    {
        QFETCH(int, trial);
        QFETCH(int, age);
        QFETCH(QString, raw);
        QFETCH(QString, z);
        QFETCH(QString, percentile);
        const TrialScore s = *scoreTrial(std::uint8_t(trial), std::uint8_t(age), raw);
        QCOMPARE(formatZScore(s.zScore), z);
        QCOMPARE(formatPercentile(s.percentile), percentile);
        QCOMPARE(formatZScore(s.zScore, QLocale(QLocale::German)), QString(z).replace('.', ','));
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
                    const QString z = formatZScore(s.zScore), p = formatPercentile(s.percentile);
                    const QString where = QStringLiteral("%1/%2/%3: %4 %5").arg(trial).arg(age).arg(raw).arg(z, p);
                    QVERIFY2(QRegularExpression("^(0|-?[1-9]\\d*(\\.\\d?[1-9])?|-?0\\.\\d?[1-9])$").match(z).hasMatch(), qPrintable(where));
                    QVERIFY2(QRegularExpression("^(100|[1-9]?\\d)$").match(p).hasMatch(), qPrintable(where));
                    QVERIFY2(z.toDouble() >= lastZ && p.toInt() >= lastP, qPrintable(where));
                    lastZ = z.toDouble();
                    lastP = p.toInt();
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_ScoreComputation)
#include "tst_scorecomputation.moc"
