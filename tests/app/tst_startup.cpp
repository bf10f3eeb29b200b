#include "Recorders.h"
#include "app/Startup.h"
#include "platform/RuntimeError.h"

#include <QTest>

// A failure while the main window loads is reported once, and the program ends. (The real
// window's start is part of the end-to-end test.)
class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void aFailureIsReportedOnceAndEndsTheProgram_data()
    {
        QTest::addColumn<bool>("numbered");
        QTest::addColumn<QString>("text");
        QTest::newRow("numbered") << true << "Error 13: Type mismatch";
        QTest::newRow("other") << false << "Error 51: out of order";
    }
    void aFailureIsReportedOnceAndEndsTheProgram()
    {
        QFETCH(bool, numbered);
        QFETCH(QString, text);
        MessageRecorder messages;
        ExitRecorder exits;
        QWidget* window = showMainWindow([&]() -> QWidget* {
            if (numbered)
                throw RuntimeError(13, QStringLiteral("Type mismatch"));
            throw std::runtime_error("out of order");
        });
        QVERIFY(!window);
        QCOMPARE(messages.texts, QStringList{text});
        QCOMPARE(messages.icons.front(), MessageIcon::Critical);
        QCOMPARE(exits.ends, 1);
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
