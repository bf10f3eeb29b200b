#include "FakeMixer.h"
#include "Recorders.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "platform/HiTime.h"
#include "test/frmOvrel.h"
#include "test/modOvrel.h"

#include <QRadioButton>
#include <QTest>
#include <QToolButton>

// Ten full trials with the real timer and the real output stream, at a brisk pace: every digit
// is started, and nothing leaks or races (make check-sanitize runs this under the sanitizers).
class tst_Soak : public QObject {
    Q_OBJECT
private slots:
    void tenFullTrials()
    {
        QVERIFY2(privateSoundServer(), "run through `make test`");
        TempSettings settings;
        FakeMixer mixer;
        MessageRecorder messages;
        int started = 0, calls = 0;
        frmOvrel w({}, [&](int digit) {
            ++calls;
            const int r = PlayDigit(digit);
            started += r != 0;
            return r;
        });
        w.Form_Load();
        w.show();
        for (int trial = 0; trial < 10; ++trial) {
            w.optTrial[1 + trial % 4]->click();
            w.tmrTest().setInterval(60);
            w.cmdStartStop->click();
            QTRY_VERIFY_WITH_TIMEOUT(!w.engine().Running(), 20000);
        }
        QCOMPARE(calls, 610);
        QCOMPARE(started, 610);
        QVERIFY(messages.messages.empty());
    }
};

QTEST_MAIN(tst_Soak)
#include "tst_soak.moc"
