#include "listening/Downsampler.h"
#include "listening/EchoRemover.h"

#include <QTest>

#include <cmath>
#include <numbers>
#include <random>

// The microphone's sound cleaned for listening: the digits' echo taken out, the examinee left in,
// and the result brought to the recogniser's rate in place.
namespace {

constexpr int kRate = 44100;
using Samples = std::vector<std::int16_t>;

double energy(const Samples& x, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(x[i]) * x[i];
    return sum;
}

// Speech-like far end (noise in bursts, half a second in each second) and its echo through a
// room: 25 ms late, low-passed, with two reflections. The near end speaks alone at the end.
struct Scene {
    static constexpr std::size_t kLength = 5 * kRate, kNearFrom = 4 * kRate + kRate / 2;
    Samples reference = Samples(kLength, 0), microphone = Samples(kLength, 0), nearEnd = Samples(kLength, 0);

    Scene()
    {
        std::mt19937 random(3);
        std::normal_distribution<float> white(0.0f, 3000.0f);
        const float a = float(std::exp(-2 * std::numbers::pi * 2500.0 / kRate));
        float lowPassed = 0;
        std::vector<float> echo(kLength + kRate, 0.0f);
        for (std::size_t i = 0; i < kLength; ++i) {
            if (i < kNearFrom - kRate / 2 && i % kRate < kRate / 2)
                reference[i] = std::int16_t(white(random));
            lowPassed = (1 - a) * reference[i] + a * lowPassed;
            for (auto [ms, gain] : {std::pair{25, 1.0f}, {32, -0.5f}, {44, 0.3f}})
                echo[i + std::size_t(ms * kRate / 1000)] += gain * lowPassed;
            if (i >= kNearFrom)
                nearEnd[i] = std::int16_t(2000 * std::sin(2 * std::numbers::pi * 1000 * double(i) / kRate));
            microphone[i] = std::int16_t(std::lround(echo[i] + nearEnd[i]));
        }
    }
};

}  // namespace

class tst_EchoRemover : public QObject {
    Q_OBJECT

private slots:
    void echoIsTakenOutAndTheNearEndLeft()
    {
        const Scene scene;
        EchoRemover remover;
        EchoRemover::Cleaned cleaned;
        for (std::size_t at = 0; at < Scene::kLength; at += 4410) {  // blocks that are no whole frames
            const std::size_t n = std::min<std::size_t>(4410, Scene::kLength - at);
            const auto out = remover.process(std::span(scene.microphone).subspan(at, n), std::span(scene.reference).subspan(at, n));
            cleaned.sound.insert(cleaned.sound.end(), out.sound.begin(), out.sound.end());
            cleaned.echoLeft.insert(cleaned.echoLeft.end(), out.echoLeft.begin(), out.echoLeft.end());
        }
        const auto rest = remover.finish();
        cleaned.sound.insert(cleaned.sound.end(), rest.sound.begin(), rest.sound.end());
        cleaned.echoLeft.insert(cleaned.echoLeft.end(), rest.echoLeft.begin(), rest.echoLeft.end());
        QVERIFY(cleaned.sound.size() == Scene::kLength && cleaned.echoLeft.size() == Scene::kLength);

        // The last burst of echo, after three seconds of learning.
        const std::size_t from = 3 * kRate, to = from + kRate / 2;
        const double erle = 10 * std::log10(energy(scene.microphone, from, to) / energy(cleaned.sound, from, to));
        QVERIFY2(erle >= 20, qPrintable(QString::number(erle)));
        // The estimate of the echo left is the size of what is left, and nothing after the tail.
        const double left = energy(cleaned.sound, from, to) / double(to - from) / (32768.0 * 32768.0);
        const double estimate = cleaned.echoLeft[from + kRate / 4];
        QVERIFY2(estimate > left / 4 && estimate < left * 16, qPrintable(QString("%1 %2").arg(estimate).arg(left)));
        QCOMPARE(cleaned.echoLeft[Scene::kNearFrom], 0.0f);

        // The near end, alone: as it was, to within 0.5 dB and in place (15 dB: the canceller's
        // notch under 50 Hz turns the phase of a tone a little).
        const std::size_t nearTo = Scene::kLength - 1024;
        double difference = 0;
        for (std::size_t i = Scene::kNearFrom; i < nearTo; ++i)
            difference += std::pow(double(cleaned.sound[i]) - scene.nearEnd[i], 2);
        const double near = energy(scene.nearEnd, Scene::kNearFrom, nearTo);
        QVERIFY(std::abs(10 * std::log10(energy(cleaned.sound, Scene::kNearFrom, nearTo) / near)) <= 0.5);
        QVERIFY2(10 * std::log10(near / difference) >= 15, qPrintable(QString::number(10 * std::log10(near / difference))));
    }

    // A tone that starts at one second starts there at 16 kHz too, and the length is kept.
    void downsamplingKeepsTime()
    {
        Samples x(2 * kRate, 0);
        for (std::size_t i = kRate; i < x.size(); ++i)
            x[i] = std::int16_t(8000 * std::sin(2 * std::numbers::pi * 1000 * double(i) / kRate));
        const Samples y = Downsampler::downsample(x);
        QCOMPARE(y.size(), std::size_t(2 * Downsampler::kToRate));
        const auto first = std::find_if(y.begin(), y.end(), [](std::int16_t s) { return std::abs(s) > 800; });
        QVERIFY(std::abs(int(first - y.begin()) - Downsampler::kToRate) <= 3);
        QCOMPARE(Downsampler::monoOf(QByteArray::fromHex("e8030000" "0a00f6ff")), (Samples{500, 0}));
    }
};

QTEST_APPLESS_MAIN(tst_EchoRemover)
#include "tst_echoremover.moc"
