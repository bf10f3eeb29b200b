#include "platform/Resources.h"
#include "presentation/DigitLists.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

// The record form the program carries, read back as text: one US Letter page whose expected sums
// are those of the digits the program plays.
class tst_RecordForm : public QObject {
    Q_OBJECT

    static QString run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

private slots:
    void isOneLetterPageWithEveryTrialsSums()
    {
        QTemporaryFile pdf;
        QVERIFY(pdf.open());
        pdf.write(resourceBytes(QStringLiteral("PDF"), 201));
        pdf.flush();
        const QString info = run(QStringLiteral("pdfinfo"), {pdf.fileName()});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")) && info.contains("612 x 792 pts (letter)"), qPrintable(info));
        const QString text = run(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")});
        for (const char* field : {"Name", "Date", "Age group", "16-29", "30-49", "50-69"})
            QVERIFY2(text.contains(QLatin1String(field)), field);
        std::vector<int> expected;
        for (std::size_t i = 1; i < kTrialDigits.size(); ++i)
            expected.push_back(kTrialDigits[i - 1] + kTrialDigits[i]);
        const char* paces[] = {"2.4", "2.0", "1.6", "1.2"};
        for (int t = 0; t < 4; ++t) {
            const QString heading = QStringLiteral("Trial %1 (%2 s)").arg(t + 1).arg(QLatin1String(paces[t]));
            const qsizetype from = text.indexOf(heading) + heading.size();
            const qsizetype to = text.indexOf(QStringLiteral("Raw score"), from);
            QVERIFY2(from >= heading.size() && to > from, qPrintable(heading));
            std::vector<int> sums;
            for (const auto& m : QRegularExpression(QStringLiteral("\\d+")).globalMatch(text.mid(from, to - from)))
                sums.push_back(m.captured().toInt());
            QCOMPARE(sums, expected);
        }
    }
};

QTEST_GUILESS_MAIN(tst_RecordForm)
#include "tst_recordform.moc"
