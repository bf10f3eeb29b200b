// The recogniser as the program loads it, on answers spoken at test time by flite's clearest
// voice, a made cough and silence; and the loader's reason where the model is missing.
#include "listening/RecogniserModule.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

constexpr int kRate = AnswerRecogniser::kRate;

std::vector<std::int16_t> silence(double seconds)
{
    return std::vector<std::int16_t>(std::size_t(seconds * kRate), 0);
}

// flite speaks at 16 kHz already; the answer gets 0.3 s before it and 0.2 s after.
std::vector<std::int16_t> spoken(const QString& text, const QString& folder)
{
    const QString path = folder + "/spoken.wav";
    if (QProcess::execute("flite", {"-voice", "slt", "-t", text, "-o", path}) != 0)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wave = file.readAll();
    const qsizetype data = wave.indexOf("data");
    if (data < 0)
        return {};
    std::vector<std::int16_t> samples = silence(0.3);
    const std::size_t start = samples.size();
    samples.resize(start + (wave.size() - data - 8) / 2);
    std::memcpy(samples.data() + start, wave.constData() + data + 8, (samples.size() - start) * 2);
    const std::vector<std::int16_t> after = silence(0.2);
    samples.insert(samples.end(), after.begin(), after.end());
    return samples;
}

// Two bursts of noise in the band of a cough, each rising fast and dying away.
std::vector<std::int16_t> cough()
{
    std::vector<std::int16_t> samples = silence(0.3);
    std::mt19937 random(7);
    std::normal_distribution<double> white;
    for (const auto& [seconds, centre] : {std::pair{0.12, 900.0}, std::pair{0.18, 700.0}}) {
        const double w = 2 * std::numbers::pi * centre / kRate, alpha = std::sin(w) / 2;  // a band-pass biquad, Q of 1
        const double a0 = 1 + alpha, a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0, b = alpha / a0;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        const int length = int(seconds * kRate);
        for (int i = 0; i < length; ++i) {
            const double x = white(random);
            const double y = b * x - b * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = x, y2 = y1, y1 = y;
            const double envelope = std::min(1.0, i / (0.005 * kRate)) * std::exp(-3.0 * i / length);
            samples.push_back(std::int16_t(std::clamp(6000 * y * envelope, -32768.0, 32767.0)));
        }
        const std::vector<std::int16_t> gap = silence(0.1);
        samples.insert(samples.end(), gap.begin(), gap.end());
    }
    return samples;
}

}  // namespace

class TestAnswerRecogniser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString reason;
        m_recogniser = RecogniserModule::make(&reason);
        QVERIFY2(m_recogniser, qPrintable(reason));
        QVERIFY(m_folder.isValid());
    }

    void hears_data()
    {
        QTest::addColumn<QString>("text");  // spoken by flite; "<cough>" and "<silence>" are made
        QTest::addColumn<std::vector<int>>("sums");
        QTest::addColumn<bool>("somethingSaid");
        QTest::newRow("seven") << "seven" << std::vector<int>{7} << false;
        QTest::newRow("twelve") << "twelve" << std::vector<int>{12} << false;
        QTest::newRow("eighteen") << "eighteen" << std::vector<int>{18} << false;
        QTest::newRow("three") << "three" << std::vector<int>{3} << false;
        QTest::newRow("seven, corrected to eight") << "seven, eight" << std::vector<int>{7, 8} << false;
        QTest::newRow("I don't know") << "I don't know" << std::vector<int>{} << true;
        QTest::newRow("a cough") << "<cough>" << std::vector<int>{} << true;
        QTest::newRow("silence") << "<silence>" << std::vector<int>{} << false;
    }

    void hears()
    {
        QFETCH(QString, text);
        QFETCH(std::vector<int>, sums);
        QFETCH(bool, somethingSaid);
        if (!text.startsWith('<') && QStandardPaths::findExecutable("flite").isEmpty())
            QSKIP("flite is not installed");
        const std::vector<std::int16_t> answer
            = text == "<cough>" ? cough() : text == "<silence>" ? silence(1.2) : spoken(text, m_folder.path());
        QVERIFY(!answer.empty());
        const AnswerRecogniser::Heard heard = m_recogniser->hear(answer);
        QCOMPARE(heard.sums, sums);
        QCOMPARE(heard.somethingSaid, somethingSaid);
        QVERIFY(heard.confidence >= 0 && heard.confidence <= 1);
    }

    // Checked last: the module, once loaded, stays, and only the model is missing.
    void givesTheReasonWithoutItsModel()
    {
        QTemporaryDir empty;
        qputenv(RecogniserModule::kModelVariable, empty.path().toUtf8());
        QString reason;
        QVERIFY(!RecogniserModule::make(&reason));
        QCOMPARE(reason, QString("The speech recogniser's model is not installed."));
        qunsetenv(RecogniserModule::kModelVariable);
    }

private:
    std::unique_ptr<AnswerRecogniser> m_recogniser;
    QTemporaryDir m_folder;
};

QTEST_GUILESS_MAIN(TestAnswerRecogniser)
#include "tst_answerrecogniser.moc"
