#include "TempSettings.h"
#include "platform/Resources.h"
#include "ui/modStartButtonGraphics.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>

// The two button images as files, and loading them through a temporary file that never stays.
class tst_ButtonImages : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;

    QStringList leftovers() const
    {
        return QDir(tmp->path()).entryList({QStringLiteral("~rs*")}, QDir::Files | QDir::Hidden);
    }

private slots:
    void init()
    {
        tmp.reset();
        qunsetenv("TMPDIR");
        tmp = std::make_unique<QTemporaryDir>();
        qputenv("TMPDIR", QFile::encodeName(tmp->path()));
    }

    void imagesAreSmallGif89aFiles_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("stop") << 101;
        QTest::newRow("start") << 102;
    }
    void imagesAreSmallGif89aFiles()
    {
        QFETCH(int, id);
        const QByteArray gif = LoadResourceBytes("GIF", id);
        auto u8 = [&](qsizetype at) { return quint8(gif.at(at)); };
        auto u16 = [&](qsizetype at) { return int(u8(at) | (u8(at + 1) << 8)); };
        QCOMPARE(gif.left(6), QByteArray("GIF89a"));
        QCOMPARE(u16(6), 20);
        QCOMPARE(u16(8), 22);
        QVERIFY(u8(10) & 0x80);              // a global colour table
        QCOMPARE(2 << (u8(10) & 7), 64);     // of 64 entries
        qsizetype at = 13 + 64 * 3;
        int frames = 0, controls = 0, transparent = -1;
        while (at < gif.size() && u8(at) != 0x3b) {
            if (u8(at) == 0x21) {  // extension: label, then sub-blocks
                if (u8(at + 1) == 0xf9) {
                    ++controls;
                    QVERIFY(u8(at + 3) & 1);
                    transparent = u8(at + 6);
                }
                at += 2;
            } else {
                QCOMPARE(u8(at), quint8(0x2c));
                ++frames;
                QVERIFY(!(u8(at + 9) & 0x40));  // not interlaced
                QVERIFY(!(u8(at + 9) & 0x80));  // no local table
                at += 11;                       // descriptor and the LZW code size
            }
            while (u8(at) != 0)
                at += u8(at) + 1;
            ++at;
        }
        QCOMPARE(frames, 1);
        QCOMPARE(controls, 1);
        QVERIFY(transparent >= 0);
        const qsizetype entry = 13 + transparent * 3;
        QVERIFY(u8(entry) >= 230 && u8(entry + 1) >= 230 && u8(entry + 2) >= 230);  // near-white

        const QImage image = QImage::fromData(gif);
        QCOMPARE(image.size(), QSize(20, 22));
        int clear = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 20; ++x)
                clear += qAlpha(image.pixel(x, y)) == 0;
        QVERIFY2(clear > 40 && clear < 200, qPrintable(QString::number(clear)));
        // The disc is red while a run is in progress, green when ready.
        const QRgb middle = image.pixel(10, 4);
        QVERIFY(id == 101 ? qRed(middle) > qGreen(middle) : qGreen(middle) > qRed(middle));
    }

    void loadingLeavesNoTemporaryFile()
    {
        const QPixmap picture = LoadResourceImage(101, QStringLiteral("GIF"));
        QCOMPARE(picture.size(), QSize(20, 22));
        QVERIFY(leftovers().isEmpty());
        // A resource that cannot be written out: no picture, and its empty file is removed too.
        QVERIFY(LoadResourceImage(999, QStringLiteral("GIF")).isNull());
        QVERIFY(LoadResourceImage(101, QStringLiteral("NONE")).isNull());
        QVERIFY(LoadResourceImage(70000, QStringLiteral("GIF")).isNull());
        QVERIFY(leftovers().isEmpty());
    }

    void aGivenFileNameIsUsedAndRemoved()
    {
        const QString name = tmp->filePath(QStringLiteral("button.gif"));
        QVERIFY(!LoadResourceImage(102, QStringLiteral("GIF"), name).isNull());
        QVERIFY(!QFile::exists(name));
        QVERIFY(LoadResourceImage(102, QStringLiteral("GIF"), tmp->filePath("no/such/dir.gif")).isNull());
    }

    void withoutAWritableTemporaryDirectoryThereIsNoPicture()
    {
        qputenv("TMPDIR", QFile::encodeName(tmp->filePath(QStringLiteral("missing"))));
        QVERIFY(LoadResourceImage(101, QStringLiteral("GIF")).isNull());
        QFile::setPermissions(tmp->path(), QFile::ReadOwner | QFile::ExeOwner);
        qputenv("TMPDIR", QFile::encodeName(tmp->path()));
        const bool root = QFileInfo(tmp->path()).isWritable();  // root writes anyway
        QCOMPARE(LoadResourceImage(101, QStringLiteral("GIF")).isNull(), !root);
        QFile::setPermissions(tmp->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(leftovers().isEmpty());
    }

    void temporaryNamesAreFreshEmptyFiles()
    {
        QString first, second;
        QVERIFY(MakeTempFileName(QString(), QStringLiteral("~rs"), 0, first));
        QVERIFY(MakeTempFileName(tmp->path(), QStringLiteral("~rsX"), 0, second));
        QVERIFY(first != second);
        for (const QString& name : {first, second}) {
            QVERIFY2(QRegularExpression(QStringLiteral("/~rs[0-9A-F]{1,4}\\.tmp$")).match(name).hasMatch(),
                     qPrintable(name));
            QCOMPARE(QFileInfo(name).size(), 0);
            QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(tmp->path()).absoluteFilePath());
        }
    }

    void trimAtNullCutsAtTheFirstNul_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("no NUL") << QStringLiteral("abc") << QStringLiteral("abc");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("starts with NUL") << QString(QChar(0)) + "abc" << QString();
        QTest::newRow("NUL inside") << QStringLiteral("ab") + QChar(0) + "c" + QChar(0) << "ab";
        QTest::newRow("padded buffer") << QStringLiteral("/tmp/") + QString(250, QChar(0)) << "/tmp/";
    }
    void trimAtNullCutsAtTheFirstNul()
    {
        QFETCH(QString, text);
        QFETCH(QString, trimmed);
        QCOMPARE(TrimAtNull(text), trimmed);
    }
};

QTEST_MAIN(tst_ButtonImages)
#include "tst_buttonimages.moc"
