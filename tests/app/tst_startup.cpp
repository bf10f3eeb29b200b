#include "Recorders.h"
#include "TempSettings.h"
#include "app/Startup.h"
#include "platform/RuntimeError.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// Start-up: the window is shown, or a failure is reported once and the program ends.
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

    // The real window, on the private sound server's mixer.
    void theRealWindowStartsCentredEvenWithADamagedStore()
    {
        TempSettings settings;
        settings.write("[Settings]\nVolume=\"\\xff loud\"\n");
        MessageRecorder messages;
        ExitRecorder exits;
        std::unique_ptr<QWidget> window(showMainWindow(loadMainWindow));
        QVERIFY(window && window->isVisible());
        QVERIFY(messages.texts.isEmpty());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Frame margins are known only once shown: centred to within the frame.
        QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 8);
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
