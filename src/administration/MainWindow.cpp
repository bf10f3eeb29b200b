#include "administration/MainWindow.h"

#include "mixer/VolumeSetting.h"
#include "desktop/Desktop.h"
#include "ui/Fonts.h"
#include "desktop/MessagePresenter.h"
#include "desktop/ProgramEnder.h"
#include "sound/PacingTimer.h"
#include "ui/ResourcePicture.h"
#include "desktop/SettingsStore.h"
#include "ui/Twips.h"
#include "ui/CommandButton.h"
#include "administration/DigitPlayer.h"
#include "administration/OutputKeeper.h"
#include "administration/DeliveryNotice.h"
#include "timingcheck/TimingCheckDialog.h"
#include "scoring/ScoringDialog.h"
#include "administration/AboutDialog.h"
#include "administration/HelpDocuments.h"
#include "administration/RecordFormDialog.h"
#include "recordsheet/RecordSheet.h"
#include "recordsheet/RecordSheetWindow.h"

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
const QString kUnsavedMarks = QStringLiteral("The marks on the record sheet have not been saved. Close anyway?");

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
    trialTimer_ = services.makeTimer(this);
    introductionTimer_ = services.makeTimer(this);
    player_ = std::make_unique<DigitPlayer>(services.output);
    keeper_ = new OutputKeeper(services.output, *services.makeTimer(this), this);
    auto* notice = new DeliveryNotice(services.output, *services.makeTimer(this), this);
    RunEngine::DigitPlay play = [player = player_.get()](int digit, SteadyTime due) { player->play(digit, due); };

    setWindowTitle(QStringLiteral("OVREL"));
    setWindowIcon(resourceIcon(QStringLiteral(":/images/ovrel.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    buildControls();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    engine_ = new RunEngine(*this, *introductionTimer_, *trialTimer_, std::move(play), this);
    connect(introductionButtons_[0], &QRadioButton::clicked, engine_, &RunEngine::chooseDemonstration);
    for (QRadioButton* practice : {introductionButtons_[1], introductionButtons_[2]})
        connect(practice, &QRadioButton::clicked, engine_, &RunEngine::choosePractice);
    for (int pace = 0; pace < int(paceButtons_.size()); ++pace)
        connect(paceButtons_[pace], &QRadioButton::clicked, engine_, [this, pace] { engine_->chooseTrial(pace); });
    connect(startStopButton_, &QToolButton::clicked, engine_, &RunEngine::startOrPause);
    connect(resetButton_, &QToolButton::clicked, engine_, &RunEngine::rewind);
    connect(engine_, &RunEngine::runningChanged, keeper_, &OutputKeeper::setNeeded);
    connect(engine_, &RunEngine::digitPlayed, notice, &DeliveryNotice::digitStarted);
    connect(engine_, &RunEngine::runningChanged, notice, [this, notice](bool running) {
        notice->runningChanged(*engine_, running);
    });
    // After the notice's: a run begun as the one before is checked has its delivery told first.
    sheet_ = new RecordSheet(services.clock, this);
    sheet_->follow(*engine_, services.output);
    connect(notice, &DeliveryNotice::delivered, sheet_, &RecordSheet::delivered);
    connect(notice, &DeliveryNotice::noticeReady, this,
            [this](const QString& text) { services_.messages.tell(text, MessageIcon::Warning, this); });

    const QSignalBlocker quiet(volumeSlider_);  // the volume is set by applyStoredVolume()
    volumeSlider_->setValue(volumeFromSetting(readSetting(kVolumeKey, QString::number(kDefaultVolume))));
}

// The sheet's window goes before the sheet it shows.
MainWindow::~MainWindow()
{
    delete sheetWindow_;
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
    fileMenu_->addAction(QStringLiteral("Record &Sheet…"), QKeySequence(Qt::CTRL | Qt::Key_R), this, &MainWindow::onRecordSheetChosen)
        ->setObjectName(QStringLiteral("recordSheetAction"));
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

// Marks in no saved or printed report are not dropped without asking.
bool MainWindow::mayLeave()
{
    return exiting_ || !sheet_->hasUnsavedMarks() || services_.messages.confirm(this, kUnsavedMarks);
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
    introductionTimer_->stop();
    trialTimer_->stop();
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
    if (sheetWindow_ && scoring.ageGroup() != 0)
        sheetWindow_->setAgeGroup(scoring.ageGroup());
    ageGroup_ = scoring.ageGroup() != 0 ? scoring.ageGroup() : ageGroup_;
}

// Made the first time, kept until the program ends: its examinee code and age group stay while
// it is closed and opened again.
void MainWindow::onRecordSheetChosen()
{
    if (!sheetWindow_) {
        sheetWindow_ = new RecordSheetWindow(*sheet_, services_.messages, this);
        sheetWindow_->setObjectName(QStringLiteral("recordSheetWindow"));
        connect(sheetWindow_, &RecordSheetWindow::startOrPauseAsked, startStopButton_, &QToolButton::click);
    }
    if (ageGroup_ != 0)
        sheetWindow_->setAgeGroup(ageGroup_);
    sheetWindow_->show();
    sheetWindow_->raise();
    sheetWindow_->activateWindow();
}

// A missing manual or no PDF reader shows nothing here; the desktop may say something itself.
void MainWindow::onManualChosen()
{
    openDocument(documentPath(QCoreApplication::applicationDirPath(), kManualFileName));
}

// A check started soon after a run is not to have the stream closed under it by the run's delay.
void MainWindow::onTimingCheckChosen()
{
    TimingCheckDialog check(services_, this);
    connect(&check, &TimingCheckDialog::checkRunningChanged, keeper_, &OutputKeeper::setNeeded);
    check.exec();
}

void MainWindow::onRecordFormChosen()
{
    RecordFormDialog form;
    form.exec();
}

void MainWindow::onAboutChosen()
{
    AboutDialog about(this);
    about.exec();
}

void MainWindow::setStartStopCaption(const QString& caption)
{
    startStopButton_->setText(caption);
}

// Without a picture (no temporary folder, say) the button shows its caption alone.
void MainWindow::setStartStopPicture(int id)
{
    startStopButton_->setIcon(QIcon(loadResourcePicture(QStringLiteral("GIF"), id)));
}

void MainWindow::setResetEnabled(bool enabled)
{
    resetButton_->setEnabled(enabled);
}

void MainWindow::setMenusEnabled(bool enabled)
{
    for (QMenu* menu : {fileMenu_, helpMenu_}) {
        menu->menuAction()->setEnabled(enabled);
        for (QAction* item : menu->actions())
            item->setEnabled(enabled);
    }
}

void MainWindow::setChoicesEnabled(bool enabled)
{
    for (QRadioButton* button : introductionButtons_)
        button->setEnabled(enabled);
    for (QRadioButton* button : paceButtons_)
        button->setEnabled(enabled);
}

void MainWindow::clearPaceChoice()
{
    for (QRadioButton* button : paceButtons_)
        clearChoice(button);
}

void MainWindow::clearIntroductionChoice()
{
    for (QRadioButton* button : introductionButtons_)
        clearChoice(button);
}

// After the event that made the choice: an option button chosen by an arrow key takes the focus
// itself once its click has been handled, and would keep it from Start/Stop.
void MainWindow::focusStartStop()
{
    QMetaObject::invokeMethod(startStopButton_, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
}
