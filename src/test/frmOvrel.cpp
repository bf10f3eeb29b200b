#include "test/frmOvrel.h"

#include "audio/VolumeSetting.h"
#include "audio/modVolumeControl.h"
#include "platform/Fonts.h"
#include "platform/HiTime.h"
#include "platform/ProgramEnd.h"
#include "platform/QtHiTime.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "platform/Shell.h"
#include "scoring/frmScoring.h"
#include "test/CommandButton.h"
#include "test/modOvrel.h"
#include "ui/HelpDocuments.h"
#include "ui/frmAbout.h"
#include "ui/frmDownloadRecordForm.h"
#include "ui/modStartButtonGraphics.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>

namespace {

QFont captionFont(bool bold = false)
{
    return arialFont(9.75, bold);
}

QRadioButton* optionButton(const char* caption, QWidget* frame, QRect twips)
{
    auto* button = new QRadioButton(QString::fromLatin1(caption), frame);
    button->setGeometry(twips);
    return button;
}

// Option buttons exclude each other only within their frame; a checked one can only be cleared
// from code with its exclusivity lifted for a moment. Clearing raises no Click.
void clearOption(QRadioButton* button)
{
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

}  // namespace

frmOvrel::frmOvrel(TimerFactory makeTimer, RunEngine::DigitPlayer play)
{
    if (!makeTimer)
        makeTimer = [](QObject* parent) -> HiTime* { return new QtHiTime(parent); };
    if (!play)
        play = PlayDigit;
    tmrTest_ = makeTimer(this);
    tmrPractice_ = makeTimer(this);
    engine_ = std::make_unique<RunEngine>(static_cast<RunControls&>(*this), *tmrPractice_, *tmrTest_, std::move(play));

    setWindowTitle(QStringLiteral("OVREL"));
    setWindowIcon(QIcon(QStringLiteral(":/images/ovrel.png")));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    buildControls();
    buildMenus();
    setTabOrder();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmOvrel::~frmOvrel() = default;

void frmOvrel::buildControls()
{
    auto* client = new QWidget(this);
    client->setFixedSize(twipsToPixels(4860), twipsToPixels(2760));
    client->setFont(captionFont());
    setCentralWidget(client);

    Frame2 = new QGroupBox(QStringLiteral("Introduction"), client);
    Frame2->setGeometry(twipsRect(105, 105, 1590, 2535));
    optPreTest[0] = optionButton("Demo", Frame2, twipsRect(150, 375, 945, 315));
    optPreTest[1] = optionButton("Practice 1", Frame2, twipsRect(150, 1147, 1305, 315));
    optPreTest[2] = optionButton("Practice 2", Frame2, twipsRect(150, 1920, 1305, 315));
    optPreTest[0]->setChecked(true);

    Frame1 = new QGroupBox(QStringLiteral("Test Pace"), client);
    Frame1->setGeometry(twipsRect(1890, 105, 1275, 2535));
    optTrial[1] = optionButton("2.4", Frame1, twipsRect(225, 375, 915, 315));
    optTrial[2] = optionButton("2.0", Frame1, twipsRect(225, 890, 915, 315));
    optTrial[3] = optionButton("1.6", Frame1, twipsRect(225, 1405, 915, 315));
    optTrial[4] = optionButton("1.2", Frame1, twipsRect(225, 1920, 915, 315));

    for (qint16 i = 0; i < 3; ++i)
        connect(optPreTest[i], &QRadioButton::clicked, this, [this, i] { optPreTest_Click(i); });
    for (qint16 i = 1; i <= 4; ++i)
        connect(optTrial[i], &QRadioButton::clicked, this, [this, i] { optTrial_Click(i); });

    Image1 = new QLabel(client);
    Image1->setGeometry(twipsRect(3360, 105, 480, 480));
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/speaker.png")));
    Image1->setToolTip(QStringLiteral("Volume Control"));

    Slider1 = new QSlider(Qt::Horizontal, client);
    Slider1->setGeometry(twipsRect(3360, 630, 1380, 540));
    Slider1->setRange(0, 100);
    Slider1->setSingleStep(1);
    Slider1->setPageStep(10);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(10);
    Slider1->setToolTip(QStringLiteral("Slide to adjust volume"));
    // While the thumb is dragged, Scroll follows it; Change comes when the value is set.
    Slider1->setTracking(false);
    connect(Slider1, &QSlider::sliderMoved, this, [this] { Slider1_Scroll(); });
    connect(Slider1, &QSlider::valueChanged, this, [this] { Slider1_Change(); });

    cmdReset = new CommandButton(QStringLiteral("Reset Trial"), client);
    cmdReset->setGeometry(twipsRect(3360, 1260, 1380, 540));
    cmdReset->setFont(captionFont(true));
    cmdReset->setToolTip(QStringLiteral("Return to beginning of current trial"));
    connect(cmdReset, &QToolButton::clicked, this, [this] { cmdReset_Click(); });

    cmdStartStop = new CommandButton(QStringLiteral("Start"), client);
    cmdStartStop->setGeometry(twipsRect(3360, 1890, 1380, 750));
    cmdStartStop->setFont(captionFont(true));
    cmdStartStop->setIconSize(QSize(20, 22));
    cmdStartStop->setIcon(QIcon(QStringLiteral(":/GIF/102")));  // the design picture
    connect(cmdStartStop, &QToolButton::clicked, this, [this] { cmdStartStop_Click(); });
}

void frmOvrel::buildMenus()
{
    menuBar()->setFont(captionFont());
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuScoring = mnuFile->addAction(QStringLiteral("&Scoring"));
    connect(mnuScoring, &QAction::triggered, this, [this] { mnuScoring_Click(); });
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuOVRELmanual = mnuHelp->addAction(QStringLiteral("&OVREL Manual"));
    mnuOVRELmanual->setShortcut(Qt::Key_F1);
    mnuHelp->addSeparator();
    connect(mnuOVRELmanual, &QAction::triggered, this, [this] { mnuOVRELmanual_Click(); });
    mnuDownloadRecordForm = mnuHelp->addAction(QStringLiteral("&Download Record Form"));
    connect(mnuDownloadRecordForm, &QAction::triggered, this, [this] { mnuDownloadRecordForm_Click(); });
    mnuHelp->addSeparator();
    mnuAbout = mnuHelp->addAction(QStringLiteral("A&bout"));
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
}

void frmOvrel::setTabOrder()
{
    const QWidget* chain[] = {optPreTest[0], optPreTest[1], optPreTest[2], optTrial[1], optTrial[2],
                              optTrial[3],   optTrial[4],   cmdReset,      Slider1,     cmdStartStop};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(chain[i - 1]), const_cast<QWidget*>(chain[i]));
}

// The master volume is noted before the slider applies the stored position, so that the exit
// can put back the computer's own level.
void frmOvrel::Form_Load()
{
    engine_->Form_Load();
    modVolumeControl::RecordStartupVolume();
    const int stored = VolumeFromSetting(GetSetting("OVREL", "Settings", "Volume", kDefaultVolume));
    // Setting the value the slider already has raises no change, yet the level must apply.
    if (stored == Slider1->value())
        Slider1_Change();
    else
        Slider1->setValue(stored);
}

void frmOvrel::Slider1_Scroll()
{
    modVolumeControl::SetMasterVolume(Slider1->sliderPosition());
}

void frmOvrel::Slider1_Change()
{
    modVolumeControl::SetMasterVolume(Slider1->value());
}

// The one exit path, also taken by the close box: store the slider position, then end at once,
// whatever is running.
void frmOvrel::mnuExit_Click()
{
    if (exiting_)
        return;
    exiting_ = true;
    tmrPractice_->setEnabled(false);
    tmrTest_->setEnabled(false);
    SaveSetting("OVREL", "Settings", "Volume", QString::number(Slider1->value()));
    modVolumeControl::RestoreStartupVolume();
    EndProgram();
}

// A new window each time, so every opening starts blank.
void frmOvrel::mnuScoring_Click()
{
    frmScoring scoring(this);
    scoring.exec();
}

// A missing manual or no PDF reader shows nothing here; the desktop may say something itself.
void frmOvrel::mnuOVRELmanual_Click()
{
    ShellExecuteA(winId(), nullptr, manualPath(QCoreApplication::applicationDirPath()), QString(),
                  QString(), SW_SHOWNORMAL);
}

void frmOvrel::mnuDownloadRecordForm_Click()
{
    frmDownloadRecordForm form;
    form.exec();
}

void frmOvrel::mnuAbout_Click()
{
    frmAbout about(this);
    about.exec();
}

void frmOvrel::closeEvent(QCloseEvent* event)
{
    mnuExit_Click();
    event->accept();
}

void frmOvrel::setStartStopCaption(const QString& caption)
{
    cmdStartStop->setText(caption);
}

// Without a picture (no temporary directory, say) the button shows its caption alone.
void frmOvrel::setStartStopPicture(int id)
{
    cmdStartStop->setIcon(QIcon(LoadResourceImage(id, QStringLiteral("GIF"))));
}

void frmOvrel::setResetEnabled(bool enabled)
{
    cmdReset->setEnabled(enabled);
}

void frmOvrel::setMenusEnabled(bool enabled)
{
    for (QMenu* menu : {mnuFile, mnuHelp}) {
        menu->menuAction()->setEnabled(enabled);
        for (QAction* item : menu->actions())
            item->setEnabled(enabled);
    }
}

void frmOvrel::setOptionsEnabled(bool enabled)
{
    for (int i = 0; i < 3; ++i)
        optPreTest[i]->setEnabled(enabled);
    for (int i = 1; i <= 4; ++i)
        optTrial[i]->setEnabled(enabled);
}

void frmOvrel::clearTrialOptions()
{
    for (int i = 1; i <= 4; ++i)
        clearOption(optTrial[i]);
}

void frmOvrel::clearPreTestOptions()
{
    for (int i = 0; i < 3; ++i)
        clearOption(optPreTest[i]);
}

void frmOvrel::focusStartStop()
{
    cmdStartStop->setFocus();
}
