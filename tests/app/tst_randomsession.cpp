#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/RealServices.h"
#include "app/Startup.h"
#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <memory>

// The real program, with its real output, recorder, timers and mixer on the private sound
// server, worked at random for a while: clicks, keys and text in every window, runs started,
// paused and rewound, and every dialog opened and left at random moments, the timing check and
// the scoring window among them mid-work. It must not crash (under the sanitizers: nor touch
// freed memory, nor leak), and the close box at the end must leave the sink's volume as it was found.
// OVREL_RANDOM_SECONDS sets how long (default 20), OVREL_RANDOM_SEED the seed (printed).
class tst_RandomSession : public QObject {
    Q_OBJECT

    QRandomGenerator random_;
    QStringList steps_;  // the last steps taken, for the report of a failure

    template <class T>
    T* pick(const QList<T*>& items)
    {
        return items.isEmpty() ? nullptr : items[random_.bounded(int(items.size()))];
    }

    void pressAKey(QWidget* in)
    {
        static const Qt::Key keys[] = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left,
                                       Qt::Key_Right, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_PageUp, Qt::Key_Home};
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : in;
        const Qt::Key key = keys[random_.bounded(int(std::size(keys)))];
        steps_ << QStringLiteral("key %1 on %2").arg(int(key)).arg(target->objectName());
        QTest::keyClick(target, key);
    }

    // One step in the window that takes input now: a modal dialog's, or the main window's.
    void step(MainWindow& window, const QList<QAction*>& dialogs)
    {
        if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            steps_ << QStringLiteral("file dialog left");
            files->reject();  // nothing is written where the session runs
            return;
        }
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            const QString name = dialog->metaObject()->className();
            switch (random_.bounded(16)) {
            case 0:
                steps_ << name + QStringLiteral(": Esc");
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            case 1:
                steps_ << name + QStringLiteral(": close box");
                dialog->close();
                return;
            case 2:
            case 3:
                if (QLineEdit* field = pick(dialog->findChildren<QLineEdit*>())) {
                    const QString text = QString::number(random_.bounded(-5, 70)) + (random_.bounded(3) ? "" : "x");
                    steps_ << name + QStringLiteral(": typed %1").arg(text);
                    field->setFocus();
                    QTest::keyClicks(field, text);
                    return;
                }
                [[fallthrough]];
            case 4:
            case 5:
                pressAKey(dialog);
                return;
            case 6:
            case 7:
            case 8:  // the default button (the check's Start, Score), as Enter presses it
                for (QPushButton* b : dialog->findChildren<QPushButton*>())
                    if (b->isDefault() && b->isEnabled()) {
                        steps_ << name + QStringLiteral(": pressed %1").arg(b->text());
                        b->click();
                        return;
                    }
                [[fallthrough]];
            default: {
                QList<QAbstractButton*> buttons;
                for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
                    if (b->isEnabled() && b->isVisible())
                        buttons << b;
                if (QAbstractButton* b = pick(buttons)) {
                    steps_ << name + QStringLiteral(": clicked %1").arg(b->text());
                    b->click();
                }
                return;
            }
            }
        }
        switch (random_.bounded(7)) {
        case 0:
        case 1:
            if (QAbstractButton* b = pick(window.findChildren<QAbstractButton*>())) {
                steps_ << QStringLiteral("clicked %1").arg(b->objectName());
                b->click();
            }
            return;
        case 2: {
            const int value = random_.bounded(101);
            steps_ << QStringLiteral("slider at %1").arg(value);
            window.findChild<QSlider*>(QStringLiteral("volumeSlider"))->setValue(value);
            return;
        }
        case 3:
        case 4:
            pressAKey(&window);
            return;
        default:
            // The timing check half the time: it is the one with work of its own under way.
            if (QAction* action = random_.bounded(2) ? dialogs.front() : pick(dialogs); action && action->isEnabled()) {
                steps_ << QStringLiteral("opened %1").arg(action->text());
                action->trigger();  // returns once the dialog is left, by a later step
            }
        }
    }

private slots:
    void initTestCase() { QVERIFY2(privateSoundServer(), "run through `make test`, which starts the sound server"); }

    void aRandomSessionLeavesTheComputerAsFound()
    {
        const quint32 seed = qEnvironmentVariableIsSet("OVREL_RANDOM_SEED") ? quint32(qEnvironmentVariableIntValue("OVREL_RANDOM_SEED"))
                                                                              : 20261209u;
        const int seconds = qEnvironmentVariableIsSet("OVREL_RANDOM_SECONDS") ? qEnvironmentVariableIntValue("OVREL_RANDOM_SECONDS") : 20;
        qInfo("seed %u, %d s (OVREL_RANDOM_SEED, OVREL_RANDOM_SECONDS)", seed, seconds);
        random_.seed(seed);
        QVERIFY(pactl({"set-sink-volume", "@DEFAULT_SINK@", "70%"}));
        TempSettings settings;
        MessageRecorder messages;
        ProgramEndRecorder exits;
        RealServices real{messages, exits};
        std::unique_ptr<QWidget> shown(showMainWindow([&] { return loadMainWindow(real.services()); }, messages, exits));
        auto& window = static_cast<MainWindow&>(*shown);
        QList<QAction*> dialogs;
        for (QMenu* menu : window.menuBar()->findChildren<QMenu*>())
            for (QAction* action : menu->actions())
                if (!action->isSeparator() && action->objectName() != QLatin1String("exitAction") && !action->text().contains("Manual"))
                    dialogs << action;
        QVERIFY(dialogs.size() >= 4);
        dialogs.move(dialogs.indexOf(window.findChild<QAction*>(QStringLiteral("timingCheckAction"))), 0);

        // The steps come from a timer, so that they go on inside each dialog's own event loop.
        QElapsedTimer clock;
        clock.start();
        int count = 0;
        QTimer driver;
        driver.setSingleShot(true);
        connect(&driver, &QTimer::timeout, &window, [&] {
            if (steps_.size() > 40)
                steps_.removeFirst();
            ++count;
            if (qEnvironmentVariableIsSet("OVREL_RANDOM_TRACE") && !steps_.isEmpty())
                qInfo("%s", qPrintable(steps_.last()));
            // Once the time is up, only the dialogs still open are left, innermost first: each
            // was opened by a step that waits for it.
            // The next step is set going first: this one may open a dialog and wait in it.
            const bool more = clock.elapsed() < seconds * 1000LL;
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!more && !dialog)
                return;
            driver.start(random_.bounded(10, 500));
            if (more)
                step(window, dialogs);
            else
                dialog->reject();
        });
        driver.start(0);
        QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= seconds * 1000LL && !driver.isActive(), (seconds + 30) * 1000);
        QVERIFY(!QApplication::activeModalWidget());
        qInfo("%d steps, %lld messages", count, (long long)messages.texts.size());
        window.close();  // the close box, which ends the program also during a run
        QCOMPARE(exits.ends, 1);
        QVERIFY2(sinkPercent() == 70, qPrintable(steps_.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(tst_RandomSession)
#include "tst_randomsession.moc"
