#include "desktop/FontConfigPreload.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QFontInfo>
#include <QTest>
#include <fontconfig/fontconfig.h>

// The font configuration read ahead, as the program starts: Qt must find the machine's whole
// configuration in it, rules included, for the windows are laid out for Arial and fontconfig's
// rules give Liberation Sans, whose metrics match.
class tst_FontConfigPreload : public QObject {
    Q_OBJECT

private slots:
    void theWindowsGetTheMetricCompatibleFont()
    {
        QCOMPARE(QFontInfo(arialFont(8.25)).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(arialFont(8.25, true)).bold(), true);
    }

    void theConfigurationIsTheMachines()
    {
        FcStrList* files = FcConfigGetConfigFiles(nullptr);
        QStringList read;
        while (const FcChar8* file = FcStrListNext(files))
            read << QString::fromUtf8(reinterpret_cast<const char*>(file));
        FcStrListDone(files);
        QVERIFY2(read.contains(QStringLiteral("/etc/fonts/fonts.conf")), qPrintable(read.join(u' ')));
    }
};

int main(int argc, char** argv)
{
    FontConfigPreload fonts;
    QApplication app(argc, argv);
    fonts.wait();
    tst_FontConfigPreload test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_fontconfigpreload.moc"
