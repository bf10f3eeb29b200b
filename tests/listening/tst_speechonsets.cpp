#include "listening/SpeechOnsets.h"

#include <QTest>

#include <cmath>
#include <numbers>
#include <random>

// Where speech begins and ends, on sounds made here: a vowel (150 Hz and its harmonics, rising
// over 20 ms), a fricative (white noise over about 4 kHz, starting at once), a click, and white
// noise 20 dB under the vowel.
namespace {

constexpr int kRate = SpeechOnsets::kRate;
using Sound = std::vector<float>;

long long ms(double m) { return std::llround(m * kRate / 1000); }
double toMs(long long frames) { return double(frames) * 1000.0 / kRate; }

// Its first glottal pulse at `at`, at a quarter of its level, which it reaches in 20 ms; it dies
// away over the last 20 ms. RMS about 0.09.
void addVowel(Sound& x, long long at, double lengthMs)
{
    const long long n = ms(lengthMs), ramp = ms(20);
    for (long long i = 0; i < n; ++i) {
        double v = 0;
        for (int h = 1; h <= 20; ++h)
            v += std::cos(2 * std::numbers::pi * 150 * h * double(i) / kRate) / h;
        const double level = std::min({1.0, 0.25 + 0.75 * double(i) / ramp, double(n - i) / ramp});
        x[at + i] += float(0.1 * level * v);
    }
}

// White noise differenced twice (rising 12 dB an octave; 6 times the variance).
void addFricative(Sound& x, long long at, double lengthMs, float rms, std::mt19937& random)
{
    std::normal_distribution<float> white(0.0f, rms / 2.449f);
    float w1 = 0, w2 = 0;
    for (long long i = at; i < at + ms(lengthMs); ++i) {
        const float w = white(random);
        x[i] += w - 2 * w1 + w2;
        w2 = w1, w1 = w;
    }
}

// A 2 ms knock ringing at 2 kHz.
void addClick(Sound& x, long long at)
{
    for (long long i = 0; i < ms(2); ++i)
        x[at + i] += float(0.5 * std::exp(-double(i) / ms(0.5)) * std::sin(2 * std::numbers::pi * 2000 * double(i) / kRate));
}

void addNoise(Sound& x, std::mt19937& random)
{
    std::normal_distribution<float> white(0.0f, 0.009f);
    for (float& s : x)
        s += white(random);
}

}  // namespace

class tst_SpeechOnsets : public QObject {
    Q_OBJECT

private slots:
    // A plain loudness threshold would put a fricative's onset at its vowel, 80 ms late.
    void onsetIsWhereTheVoiceRises_data()
    {
        QTest::addColumn<double>("fricativeMs");
        QTest::addColumn<bool>("noisy");
        QTest::newRow("vowel in silence") << 0.0 << false;
        QTest::newRow("vowel in noise") << 0.0 << true;
        QTest::newRow("fricative, vowel, in silence") << 80.0 << false;
        QTest::newRow("fricative, vowel, in noise") << 80.0 << true;
    }
    void onsetIsWhereTheVoiceRises()
    {
        QFETCH(double, fricativeMs);
        QFETCH(bool, noisy);
        std::mt19937 random(7);
        Sound x(std::size_t(2.5 * kRate), 0.0f);
        const long long onset = ms(1000), vowelEnd = onset + ms(fricativeMs + 300);
        addFricative(x, onset, fricativeMs, 0.025f, random);
        addVowel(x, onset + ms(fricativeMs), 300);
        if (noisy)
            addNoise(x, random);
        const auto found = SpeechOnsets::find(x);
        QCOMPARE(found.size(), std::size_t(1));
        QVERIFY2(std::abs(toMs(found[0].begin - onset)) <= 3, qPrintable(QString::number(toMs(found[0].begin - onset))));
        // The end: where the last 20 ms fade into the noise, or where the filters' ringing dies.
        QVERIFY(toMs(found[0].end - vowelEnd) >= -15 && toMs(found[0].end - vowelEnd) <= 30);
    }

    void utterancesAreTold_data()
    {
        QTest::addColumn<int>("scene");
        QTest::addColumn<QList<double>>("onsetsMs");
        QTest::newRow("a click alone is none") << 0 << QList<double>{};
        QTest::newRow("a click before a word moves not its onset") << 1 << QList<double>{1000};
        QTest::newRow("a pause of 150 ms inside an answer is bridged") << 2 << QList<double>{1000};
        QTest::newRow("answers 600 ms apart are two") << 3 << QList<double>{700, 1300};
        QTest::newRow("a stop's release after its word belongs to it") << 4 << QList<double>{1000};
        QTest::newRow("noise alone is none") << 5 << QList<double>{};
        // What lies under the echo the canceller may have left is no speech; over it, it is.
        QTest::newRow("a word under the echo left is none") << 6 << QList<double>{};
        QTest::newRow("a word 30 dB over the echo left is one") << 7 << QList<double>{1000};
    }
    void utterancesAreTold()
    {
        QFETCH(int, scene);
        QFETCH(QList<double>, onsetsMs);
        std::mt19937 random(11);
        Sound x(std::size_t(2.5 * kRate), 0.0f);
        long long lastEnd = 0;
        std::vector<float> echo;
        switch (scene) {
        case 0: addClick(x, ms(1000)); break;
        case 1: addClick(x, ms(800)), addVowel(x, ms(1000), 300); break;
        case 2: addVowel(x, ms(1000), 250), addVowel(x, ms(1400), 250); break;
        case 3: addVowel(x, ms(700), 300), addVowel(x, ms(1300), 300); break;
        case 4:
            addVowel(x, ms(1000), 250), addFricative(x, ms(1330), 15, 0.12f, random);
            lastEnd = ms(1345);
            break;
        case 6:
        case 7:
            addVowel(x, ms(1000), 300);
            echo.assign(x.size(), scene == 6 ? 0.09f * 0.09f : 0.003f * 0.003f);
            break;
        }
        addNoise(x, random);
        const auto found = SpeechOnsets::find(x, echo);
        QCOMPARE(qsizetype(found.size()), onsetsMs.size());
        for (std::size_t i = 0; i < found.size(); ++i)
            QVERIFY2(std::abs(toMs(found[i].begin) - onsetsMs[i]) <= 3, qPrintable(QString::number(toMs(found[i].begin))));
        if (lastEnd)
            QVERIFY(found[0].end >= lastEnd - ms(3));
    }
};

QTEST_APPLESS_MAIN(tst_SpeechOnsets)
#include "tst_speechonsets.moc"
