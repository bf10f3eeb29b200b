// The second reference for the program's start-up and memory: the main window's widgets, written
// as plain Qt with no logic behind them. A menu bar with File and Help, the two groups of choices,
// the speaker picture, the volume slider and the two command buttons, the start/stop picture on
// one. Laid out and loaded the ordinary way: default font, layouts, pictures by file name.
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QGroupBox* choices(const QString& title, const QStringList& captions)
{
    auto* box = new QGroupBox(title);
    auto* column = new QVBoxLayout(box);
    for (const QString& caption : captions)
        column->addWidget(new QRadioButton(caption));
    return box;
}

QToolButton* commandButton(const QString& caption)
{
    auto* button = new QToolButton;
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Same widgets"));

    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Scoring"));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"));
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Manual"));
    help->addAction(QStringLiteral("Check Sound &Timing…"));
    help->addSeparator();
    help->addAction(QStringLiteral("&Download Record Form"));
    help->addSeparator();
    help->addAction(QStringLiteral("A&bout"));

    auto* client = new QWidget;
    auto* row = new QHBoxLayout(client);
    auto* introduction = choices(QStringLiteral("Introduction"), {"Demo", "Practice 1", "Practice 2"});
    row->addWidget(introduction);
    row->addWidget(choices(QStringLiteral("Test Pace"), {"2.4", "2.0", "1.6", "1.2"}));
    introduction->findChild<QRadioButton*>()->setChecked(true);

    auto* controls = new QVBoxLayout;
    auto* speaker = new QLabel;
    speaker->setPixmap(QPixmap(QStringLiteral(":/images/speaker.png")));
    controls->addWidget(speaker);
    auto* volume = new QSlider(Qt::Horizontal);
    volume->setRange(0, 100);
    volume->setTickPosition(QSlider::TicksBelow);
    volume->setTickInterval(10);
    controls->addWidget(volume);
    controls->addWidget(commandButton(QStringLiteral("Reset Trial")));
    QToolButton* start = commandButton(QStringLiteral("Start"));
    start->setIcon(QIcon(QStringLiteral(":/gif/102.gif")));
    start->setIconSize(QSize(20, 22));
    controls->addWidget(start);
    row->addLayout(controls);

    window.setCentralWidget(client);
    window.show();
    return app.exec();
}
