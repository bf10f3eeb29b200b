// Takes the pictures of the program for the manual and the README: run by make-screenshots.sh
// under a virtual X display. The windows are the program's own; the master volume is kept in
// memory and nothing is played aloud for long.
//   make_screenshots <output folder>
#include "platform/Mixer.h"
#include "platform/QtHiTime.h"
#include "platform/MessageBox.h"
#include "platform/ProgramEnd.h"
#include "scoring/frmScoring.h"
#include "test/frmOvrel.h"
#include "ui/frmAbout.h"
#include "ui/frmDownloadRecordForm.h"

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

class MemoryMixer final : public MixerBackend {
public:
    bool open() override { return true; }
    void close() override {}
    std::int32_t maximum() override { return 65536; }
    bool read(std::uint32_t& level) override { return level = level_, true; }
    bool write(std::uint32_t level) override { return level_ = level, true; }

private:
    std::uint32_t level_ = 32768;
};

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

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    MemoryMixer mixer;
    setMixerBackend(&mixer);

    frmOvrel main([](QObject* parent) -> HiTime* { return new QtHiTime(parent); }, [](int) { return 1; });
    main.Form_Load();
    main.move(40, 40);
    bool ok = shoot(main, out + QStringLiteral("main-ready.png"));
    main.optTrial[4]->click();
    main.cmdStartStop->click();
    ok = shoot(main, out + QStringLiteral("main-running.png")) && ok;
    main.cmdStartStop->click();

    frmScoring scoring(&main);
    scoring.optAge30->click();
    scoring.txt24->setText(QStringLiteral("48"));
    scoring.txt20->setText(QStringLiteral("41"));
    scoring.txt16->setText(QStringLiteral("30"));
    scoring.txt12->setText(QStringLiteral("22"));
    scoring.cmdScore->click();
    ok = shoot(scoring, out + QStringLiteral("scoring.png")) && ok;
    scoring.close();

    frmAbout about(&main);
    ok = shoot(about, out + QStringLiteral("about.png")) && ok;
    about.close();
    frmDownloadRecordForm form;
    ok = shoot(form, out + QStringLiteral("record-form.png")) && ok;
    setMixerBackend(nullptr);
    return ok ? 0 : 1;
}
