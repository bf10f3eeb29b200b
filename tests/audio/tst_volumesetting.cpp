#include "audio/VolumeSetting.h"

#include <QTest>

// The stored "Volume" text, whatever state the store is in, becomes a slider position 0..100.
class tst_VolumeSetting : public QObject {
    Q_OBJECT
private slots:
    void textBecomesAPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::newRow("default text") << "25" << 25;
        QTest::newRow("lowest") << "0" << 0;
        QTest::newRow("highest") << "100" << 100;
        QTest::newRow("blanks and tab") << " \t40 " << 40;
        QTest::newRow("plus sign") << "+7" << 7;
        QTest::newRow("leading zeros") << "007" << 7;
        QTest::newRow("minus zero") << "-0" << 0;
        QTest::newRow("fraction down") << "12.49" << 12;
        QTest::newRow("fraction up") << "12.51" << 13;
        QTest::newRow("half to even, down") << "12.5" << 12;
        QTest::newRow("half to even, up") << "13.5" << 14;
        QTest::newRow("just below zero rounds in") << "-0.4" << 0;
        QTest::newRow("point only after") << "50." << 50;
        QTest::newRow("point only before") << ".5" << 0;
        QTest::newRow("exponent in range") << "5e1" << 50;
        QTest::newRow("exponent out of range") << "1e3" << 25;
        QTest::newRow("empty") << "" << 25;
        QTest::newRow("blanks only") << "   " << 25;
        QTest::newRow("letters") << "abc" << 25;
        QTest::newRow("number then letters") << "40abc" << 25;
        QTest::newRow("above") << "101" << 25;
        QTest::newRow("half above rounds out") << "100.51" << 25;
        QTest::newRow("below") << "-1" << 25;
        QTest::newRow("beyond 32 bits") << "2147483648" << 25;
        QTest::newRow("huge") << QString(10000, QLatin1Char('9')) << 25;
        QTest::newRow("infinity") << "inf" << 25;
        QTest::newRow("not a number") << "nan" << 25;
        QTest::newRow("hex") << "0x20" << 25;
        QTest::newRow("comma decimal") << "5,5" << 25;
        QTest::newRow("inner blank") << "4 0" << 25;
        QTest::newRow("not text") << QString::fromUtf8("\xff\xfe\x01") << 25;
    }
    void textBecomesAPosition()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QCOMPARE(VolumeFromSetting(text), position);
    }
};

QTEST_GUILESS_MAIN(tst_VolumeSetting)
#include "tst_volumesetting.moc"
