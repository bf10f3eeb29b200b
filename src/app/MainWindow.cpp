#include "app/MainWindow.h"

#include "desktop/Desktop.h"
#include "desktop/MessagePresenter.h"
#include "desktop/ProgramEnder.h"
#include "desktop/SettingsStore.h"
#include "help/AboutDialog.h"
#include "help/HelpDocuments.h"
#include "help/RecordFormDialog.h"
#include "mixer/VolumeSetting.h"
#include "recordsheet/RecordSheet.h"
#include "recordsheet/RecordSheetWindow.h"
#include "scoring/ScoringDialog.h"
#include "session/TestSession.h"
#include "timingcheck/TimingCheckDialog.h"
#include "ui/CommandButton.h"
#include "ui/Fonts.h"
#include "ui/ResourcePicture.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

const QString kVolumeKey = QStringLiteral("Volume");
const QString kStopCaption = QStringLiteral(" Stop");
const QString kStartCaption = QStringLiteral(" Start");
constexpr int kStopPicture = 101;
constexpr int kStartPicture = 102;

QFont captionFont(bool bold = false)
{
    return arialFont(9.75, bold);
}

QRadioButton* choiceButton(const char* name, const char* caption, QWidget* group, QRect geometry)
{
    auto* button = new QRadioButton(QString::fromLatin1(caption), group);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

// Choices exclude each other only within their group; a checked one can only be cleared from code
// with its exclusivity lifted for a moment. Clearing does not count as a click.
void clearChoice(QRadioButton* button)
{
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

}  // namespace

MainWindow::MainWindow(const ProgramServices& services)
    : services_(services), volume_(services.mixer, services.messages)
{
    session_ = new TestSession(services.output, services.makeTimer, this);
    sheet_ = new RecordSheet(services.clock, this);
    sheet_->follow(*session_);
    listening_ = services.makeListening ? services.makeListening(*sheet_, this) : nullptr;

    setWindowTitle(QStringLiteral("OVREL"));
    setWindowIcon(resourceIcon(QStringLiteral(":/images/ovrel.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    buildControls();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connectControls();
    showState(session_->engine().state());

    const QSignalBlocker quiet(volumeSlider_);  // the volume is set by applyStoredVolume()
    volumeSlider_->setValue(volumeFromSetting(readSetting(kVolumeKey, QString::number(kDefaultVolume))));
}

// The sheet's window goes before the sheet it shows.
MainWindow::~MainWindow()
{
    delete sheetWindow_;
}

const RunEngine& MainWindow::engine() const { return session_->engine(); }

// A choice of one group clears the other's; the two practice choices present the same set.
void MainWindow::connectControls()
{
    RunEngine& engine = session_->engine();
    for (QRadioButton* introduction : introductionButtons_)
        connect(introduction, &QRadioButton::clicked, this, [this, &engine, introduction] {
            if (introduction == introductionButtons_[0])
                engine.chooseDemonstration();
            else
                engine.choosePractice(introduction == introductionButtons_[2] ? 2 : 1);
            for (QRadioButton* button : paceButtons_)
                clearChoice(button);
        });
    for (int pace = 0; pace < int(paceButtons_.size()); ++pace)
        connect(paceButtons_[std::size_t(pace)], &QRadioButton::clicked, this, [this, &engine, pace] {
            engine.chooseTrial(pace);
            for (QRadioButton* button : introductionButtons_)
                clearChoice(button);
        });
    connect(startStopButton_, &QToolButton::clicked, &engine, &RunEngine::startOrPause);
    connect(resetButton_, &QToolButton::clicked, &engine, &RunEngine::rewind);
    connect(&engine, &RunEngine::stateChanged, this, &MainWindow::showState);
    // After the event that made the choice: an option button chosen by an arrow key takes the
    // focus itself once its click has been handled, and would keep it from Start/Stop.
    connect(&engine, &RunEngine::rewound, startStopButton_, [this] {
        QMetaObject::invokeMethod(startStopButton_, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
    });
    connect(session_, &TestSession::noticeReady, this,
            [this](const QString& text) { services_.messages.tell(text, MessageIcon::Warning, this); });
}

// The button says what it will do. Ready comes of a choice or a rewind, which leave it as it
// was: until the first run it keeps the caption and picture it was made with.
void MainWindow::showState(RunEngine::State state)
{
    const bool running = state == RunEngine::State::Running;
    if (state != RunEngine::State::Ready) {
        startStopButton_->setText(running ? kStopCaption : kStartCaption);
        // Without a picture (no temporary folder, say) the button shows its caption alone.
        startStopButton_->setIcon(QIcon(loadResourcePicture(QStringLiteral("GIF"), running ? kStopPicture : kStartPicture)));
    }
    resetButton_->setEnabled(state == RunEngine::State::Paused);
    setMenusEnabled(!running);
    setChoicesEnabled(!running);
}

void MainWindow::buildControls()
{
    auto* client = new QWidget(this);
    client->setFixedSize(twipsToPixels(4860), twipsToPixels(2760));
    client->setFont(captionFont());
    setCentralWidget(client);

    auto* introduction = new QGroupBox(QStringLiteral("Introduction"), client);
    introduction->setGeometry(twipsRect(105, 105, 1590, 2535));
    introductionButtons_ = {choiceButton("demoButton", "Demo", introduction, twipsRect(150, 375, 945, 315)),
                            choiceButton("practice1Button", "Practice 1", introduction, twipsRect(150, 1147, 1305, 315)),
                            choiceButton("practice2Button", "Practice 2", introduction, twipsRect(150, 1920, 1305, 315))};
    introductionButtons_[0]->setChecked(true);

    auto* paces = new QGroupBox(QStringLiteral("Test Pace"), client);
    paces->setGeometry(twipsRect(1890, 105, 1275, 2535));
    paceButtons_ = {choiceButton("pace24Button", "2.4", paces, twipsRect(225, 375, 915, 315)),
                    choiceButton("pace20Button", "2.0", paces, twipsRect(225, 890, 915, 315)),
                    choiceButton("pace16Button", "1.6", paces, twipsRect(225, 1405, 915, 315)),
                    choiceButton("pace12Button", "1.2", paces, twipsRect(225, 1920, 915, 315))};

    auto* speaker = new QLabel(client);
    speaker->setGeometry(twipsRect(3360, 105, 480, 480));
    speaker->setPixmap(resourcePixmap(QStringLiteral(":/images/speaker.png")));
    speaker->setToolTip(QStringLiteral("Volume Control"));

    volumeSlider_ = new QSlider(Qt::Horizontal, client);
    volumeSlider_->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider_->setGeometry(twipsRect(3360, 630, 1380, 540));
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setPageStep(10);
    volumeSlider_->setTickPosition(QSlider::TicksBelow);
    volumeSlider_->setTickInterval(10);
    volumeSlider_->setToolTip(QStringLiteral("Slide to adjust volume"));
    // While the thumb is dragged the volume follows it; the value is set when it is let go.
    volumeSlider_->setTracking(false);
    connect(volumeSlider_, &QSlider::sliderMoved, this, [this](int position) { volume_.setPercent(position); });
    connect(volumeSlider_, &QSlider::valueChanged, this, [this](int value) { volume_.setPercent(value); });

    resetButton_ = new CommandButton(QStringLiteral("Reset Trial"), client);
    resetButton_->setObjectName(QStringLiteral("resetButton"));
    resetButton_->setGeometry(twipsRect(3360, 1260, 1380, 540));
    resetButton_->setFont(captionFont(true));
    resetButton_->setToolTip(QStringLiteral("Return to beginning of current trial"));

    startStopButton_ = new CommandButton(QStringLiteral("Start"), client);
    startStopButton_->setObjectName(QStringLiteral("startStopButton"));
    startStopButton_->setGeometry(twipsRect(3360, 1890, 1380, 750));
    startStopButton_->setFont(captionFont(true));
    startStopButton_->setIconSize(QSize(20, 22));
    startStopButton_->setIcon(QIcon(resourcePixmap(QStringLiteral(":/GIF/102"), "GIF")));  // until the first run

    const QWidget* chain[] = {introductionButtons_[0], introductionButtons_[1], introductionButtons_[2],
                              paceButtons_[0], paceButtons_[1], paceButtons_[2], paceButtons_[3],
                              resetButton_, volumeSlider_, startStopButton_};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(const_cast<QWidget*>(chain[i - 1]), const_cast<QWidget*>(chain[i]));
}

void MainWindow::buildMenus()
{
    menuBar()->setFont(captionFont());
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->addAction(QStringLiteral("&Scoring"), this, &MainWindow::onScoringChosen)->setObjectName(QStringLiteral("scoringAction"));
    // The sheet stays at hand during a run, when the menus are not: its item keeps its shortcut.
    recordSheetAction_ = fileMenu_->addAction(QStringLiteral("&Record Sheet…"), QKeySequence(Qt::CTRL | Qt::Key_R), this,
                                              &MainWindow::onRecordSheetChosen);
    recordSheetAction_->setObjectName(QStringLiteral("recordSheetAction"));
    recordSheetAction_->setShortcutContext(Qt::ApplicationShortcut);
    addAction(recordSheetAction_);
    fileMenu_->addSeparator();
    fileMenu_->addAction(QStringLiteral("E&xit"), this, &MainWindow::exitProgram)->setObjectName(QStringLiteral("exitAction"));

    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->addAction(QStringLiteral("&OVREL Manual"), Qt::Key_F1, this, &MainWindow::onManualChosen);
    helpMenu_->addAction(QStringLiteral("Check Sound &Timing…"), this, &MainWindow::onTimingCheckChosen)
        ->setObjectName(QStringLiteral("timingCheckAction"));
    helpMenu_->addSeparator();
    helpMenu_->addAction(QStringLiteral("&Download Record Form"), this, &MainWindow::onRecordFormChosen);
    helpMenu_->addSeparator();
    helpMenu_->addAction(QStringLiteral("A&bout"), this, &MainWindow::onAboutChosen);
}

void MainWindow::applyStoredVolume()
{
    volume_.recordStartupLevel();
    volume_.setPercent(volumeSlider_->value());
}

// The one way out, also taken by the close box: store the slider position, put the computer's
// volume back, then end at once, whatever is running.
void MainWindow::exitProgram()
{
    if (mayLeave())
        leave(false);
}

// A run under way or paused, and marks in no saved or printed report, are not dropped without
// asking. A run the examiner agreed to stop stops at once, whatever is asked next.
bool MainWindow::mayLeave()
{
    if (exiting_)
        return true;  // the desktop session ends it
    if (session_->engine().isUnderWay() && !services_.messages.confirm(this, QStringLiteral("A trial is under way. Stop it and quit?")))
        return false;
    session_->engine().pause();
    return RecordSheetWindow::mayDropMarks(*sheet_, services_.messages, this);
}

void MainWindow::endSession()
{
    leave(true);
}

void MainWindow::leave(bool quietly)
{
    if (exiting_)
        return;
    exiting_ = true;
    session_->engine().halt();
    writeSetting(kVolumeKey, QString::number(volumeSlider_->value()));
    volume_.restoreStartupLevel(quietly);
    services_.ender.end();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!mayLeave()) {
        event->ignore();
        return;
    }
    leave(false);
    event->accept();
}

// A new window each time, so every opening starts blank.
void MainWindow::onScoringChosen()
{
    ScoringDialog scoring(services_.messages, services_.beeper, this);
    scoring.setRawScores({sheet_->rawScore(0), sheet_->rawScore(1), sheet_->rawScore(2), sheet_->rawScore(3)});
    scoring.exec();
    if (scoring.ageGroup() != 0)
        sheet_->setAgeGroup(scoring.ageGroup());
}

// Made the first time, kept until the program ends: its examinee code stays while it is closed
// and opened again.
void MainWindow::onRecordSheetChosen()
{
    if (!sheetWindow_) {
        sheetWindow_ = new RecordSheetWindow(*sheet_, services_.messages, listening_, this);
        sheetWindow_->setObjectName(QStringLiteral("recordSheetWindow"));
        connect(sheetWindow_, &RecordSheetWindow::startOrPauseAsked, startStopButton_, &QToolButton::click);
    }
    sheetWindow_->show();
    sheetWindow_->raise();
    sheetWindow_->activateWindow();
}

void MainWindow::onManualChosen()
{
    if (const QString problem = openManual(QCoreApplication::applicationDirPath(), services_.documents); !problem.isEmpty())
        services_.messages.tell(problem, MessageIcon::Warning, this);
}

// A check started soon after a run is not to have the stream closed under it by the run's delay.
void MainWindow::onTimingCheckChosen()
{
    TimingCheckDialog check(services_.forTimingCheck(), this);
    connect(&check, &TimingCheckDialog::checkRunningChanged, session_, &TestSession::setOutputNeededElsewhere);
    check.exec();
}

void MainWindow::onRecordFormChosen()
{
    RecordFormDialog(this).exec();
}

void MainWindow::onAboutChosen()
{
    AboutDialog(this).exec();
}

void MainWindow::setMenusEnabled(bool enabled)
{
    for (QMenu* menu : {fileMenu_, helpMenu_}) {
        menu->menuAction()->setEnabled(enabled);
        for (QAction* item : menu->actions())
            item->setEnabled(enabled || item == recordSheetAction_);
    }
}

void MainWindow::setChoicesEnabled(bool enabled)
{
    for (QRadioButton* button : introductionButtons_)
        button->setEnabled(enabled);
    for (QRadioButton* button : paceButtons_)
        button->setEnabled(enabled);
}
