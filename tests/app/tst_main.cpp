#include "FakeMixer.h"
#include "Recorders.h"
#include "TempSettings.h"
#include "app/Main.h"
#include "platform/RuntimeError.h"

#include <QTest>
#include <QWidget>

// Start-up: the window is shown, or a failure is reported once and the program ends.
class tst_Main : public QObject {
    Q_OBJECT
private slots:
    void showsTheLoadedWindow()
    {
        MessageRecorder messages;
        ExitRecorder exits;
        QWidget* window = Main([] { return new QWidget; });
        QVERIFY(window && window->isVisible());
        QVERIFY(messages.messages.empty());
        QCOMPARE(exits.ends, 0);
        delete window;
    }

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
        bool created = false;
        QWidget* window = Main([&]() -> QWidget* {
            created = true;
            if (numbered)
                throw RuntimeError(13, QStringLiteral("Type mismatch"));
            throw std::runtime_error("out of order");
        });
        QVERIFY(created);
        QVERIFY(!window);
        QCOMPARE(messages.messages.size(), std::size_t(1));
        QCOMPARE(messages.messages[0].text, text);
        QCOMPARE(messages.messages[0].title, QStringLiteral("Corvane Computerized OVREL"));
        QVERIFY(messages.messages[0].icon == MsgIcon::Critical);
        QCOMPARE(exits.ends, 1);
    }

    void theRealWindowStartsCentredEvenWithADamagedStore()
    {
        TempSettings settings;
        QFile f(settings.file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Settings]\nVolume=\"\\xff loud\"\n");
        f.close();
        FakeMixer mixer;
        MessageRecorder messages;
        ExitRecorder exits;
        std::unique_ptr<QWidget> window(Main(loadMainWindow));
        QVERIFY(window && window->isVisible());
        QVERIFY(messages.messages.empty());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Frame margins are known only once shown: centred to within the frame.
        QVERIFY((window->frameGeometry().center() - screen.center()).manhattanLength() <= 8);
    }
};

QTEST_MAIN(tst_Main)
#include "tst_main.moc"
