// Takes the pictures of the program for the manual and the README: run by make-screenshots.sh
// under a virtual X display. The windows are the program's own; the master volume is kept in
// memory and nothing is played aloud.
//   make_screenshots <output folder>
#include "BeepCounter.h"
#include "FakeMasterMixer.h"
#include "FakeSoundDevices.h"
#include "FakeSoundOutput.h"
#include "FakePacingTimer.h"
#include "FakeSoundRecorder.h"
#include "FakeSteadyClock.h"
#include "session/TestSession.h"
#include "recordsheet/RecordSheetWindow.h"
#include "timingcheck/TimingCheck.h"
#include "timingcheck/TimingCheckDialog.h"
#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "SequenceRecording.h"
#include "sound/MonotonicClock.h"
#include "sound/PreciseTimer.h"
#include "app/MainWindow.h"
#include "scoring/ScoringDialog.h"
#include "help/AboutDialog.h"
#include "help/RecordFormDialog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

bool shoot(QWidget& window, const QString& file)
{
    window.show();
    window.raise();
    window.activateWindow();
    QTest::qWait(300);
    QPixmap picture = window.screen()->grabWindow(window.winId());
    if (picture.isNull())
        picture = window.grab();
    return picture.save(file);
}

template <class T>
T* child(QObject& parent, const char* name)
{
    return parent.findChild<T*>(QLatin1String(name));
}

// The record sheet in the middle of the 1.2 s trial and after it, marked by keys on a plan: on
// timers the tool ticks itself, so that every digit is where the plan wants it.
bool shootRecordSheet(const ProgramServices& real, const QString& out)
{
    FakeSteadyClock clock;
    const ProgramServices services{real.mixer, real.output, real.messages, real.ender, real.beeper, clock,
                                   [](QObject* parent) -> PacingTimer* { return new FakePacingTimer(parent); },
                                   real.makeRecorder, real.makeDevices};
    MainWindow main(services);
    main.move(40, 40);
    main.show();
    child<QRadioButton>(main, "pace12Button")->click();
    child<QAction>(main, "recordSheetAction")->trigger();
    RecordSheetWindow& sheet = *main.recordSheetWindow();
    main.recordSheet().setAgeGroup(30);
    child<QLineEdit>(sheet, "examineeField")->setText(QStringLiteral("A-17"));
    QWidget& grid = *child<QWidget>(sheet, "sheetGrid");
    QTest::keyClick(&grid, Qt::Key_F5);
    auto& pace = static_cast<FakePacingTimer&>(main.session().trialTimer());
    pace.tick();
    bool ok = true;
    for (int item = 0; item < 60; ++item) {
        pace.tick();
        clock.at = pace.dueTime() + std::chrono::milliseconds(400);
        if (item == 26)
            ok = shoot(sheet, out + QStringLiteral("record-sheet-running.png"));
        // Mostly right, a few wrong, more left unanswered towards the end.
        if (item % 11 == 5 || (item >= 44 && item % 3 == 0))
            continue;
        QTest::keyClick(&grid, item % 7 == 3 ? Qt::Key_X : Qt::Key_Space);
    }
    clock.at += std::chrono::seconds(2);
    static_cast<FakePacingTimer&>(main.session().settleTimer()).tick();
    return shoot(sheet, out + QStringLiteral("record-sheet.png")) && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    FakeMasterMixer mixer;
    FakeSoundOutput output;
    FakeSoundRecorder recorder;
    recorder.recording.sound = sequenceRecording(TimingCheck::sequence(), TimingCheck::kPaceMs);
    recorder.heardFrames = recorder.recording.sound.size() / 4;  // heard as it plays
    MessageRecorder messages;
    ProgramEndRecorder exits;
    BeepCounter beeper;
    const MonotonicClock clock;
    const ProgramServices services{mixer, output, messages, exits, beeper, clock,
        [](QObject* parent) -> PacingTimer* { return new PreciseTimer(parent); },
        [&] { return std::unique_ptr<SoundRecorder>(std::make_unique<FakeSoundRecorder>(recorder)); },
        [] { return std::unique_ptr<SoundDevices>(std::make_unique<FakeSoundDevices>()); }};

    MainWindow main(services);
    main.move(40, 40);
    bool ok = shoot(main, out + QStringLiteral("main-ready.png"));
    child<QRadioButton>(main, "pace12Button")->click();
    child<QToolButton>(main, "startStopButton")->click();
    ok = shoot(main, out + QStringLiteral("main-running.png")) && ok;
    child<QToolButton>(main, "startStopButton")->click();

    ScoringDialog scoring(messages, beeper, &main);
    child<QRadioButton>(scoring, "age30Button")->click();
    const char* rawScores[][2] = {{"rawScore24", "48"}, {"rawScore20", "41"}, {"rawScore16", "30"}, {"rawScore12", "22"}};
    for (const auto& [field, raw] : rawScores)
        child<QLineEdit>(scoring, field)->setText(QLatin1String(raw));
    child<QPushButton>(scoring, "scoreButton")->click();
    ok = shoot(scoring, out + QStringLiteral("scoring.png")) && ok;
    scoring.close();

    AboutDialog about(&main);
    ok = shoot(about, out + QStringLiteral("about.png")) && ok;
    about.close();
    RecordFormDialog form;
    ok = shoot(form, out + QStringLiteral("record-form.png")) && ok;
    form.close();

    TimingCheckDialog check(services.forTimingCheck(), &main);
    check.resize(560, 480);
    check.show();
    child<QPushButton>(check, "startButton")->click();
    ok = QTest::qWaitFor([&] { return check.result().has_value(); }, 60000) && ok;
    ok = shoot(check, out + QStringLiteral("timing-check.png")) && ok;
    check.close();
    return shootRecordSheet(services, out) && ok ? 0 : 1;
}
