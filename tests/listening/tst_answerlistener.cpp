#include "FakePacingTimer.h"
#include "FakeSoundOutput.h"
#include "FakeSoundRecorder.h"
#include "FakeSteadyClock.h"
#include "ToneRecogniser.h"
#include "listening/AnswerListener.h"
#include "protocol/ItemSet.h"
#include "resources/ResourceBytes.h"
#include "session/TestSession.h"
#include "sound/WaveImage.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace std::chrono_literals;

namespace {

constexpr int kRate = 44100;
constexpr auto kHeardAfter = 250ms;

// The practice given on fake timers, its digits going nowhere, and the microphone a recording
// made beforehand of the tone voice (and, where asked, of the digits through a room). Time
// runs from the timers' origin, where the recording starts; digit n is heard at
// (n + 1) intervals + kHeardAfter.
struct ListenRig {
    FakeSoundOutput output, replay;
    FakeSteadyClock clock;
    TestSession session{output, [](QObject* parent) { return new FakePacingTimer(parent); }};
    FakePacingTimer& timer = static_cast<FakePacingTimer&>(session.introductionTimer());
    RecordSheet sheet{clock};
    FakeSoundRecorder* recorder = nullptr;
    ToneRecogniser* recogniser = nullptr;
    QString recogniserProblem;
    std::vector<float> microphone = std::vector<float>(std::size_t(40 * kRate), 0.0f);
    AnswerListener listener{sheet, clock, replay,
                            [this] {
                                auto made = std::make_unique<FakeSoundRecorder>();
                                recorder = made.get();
                                return std::unique_ptr<SoundRecorder>(std::move(made));
                            },
                            [this](QString& problem) -> std::unique_ptr<AnswerRecogniser> {
                                problem = recogniserProblem;
                                if (!problem.isEmpty())
                                    return nullptr;
                                auto made = std::make_unique<ToneRecogniser>();
                                recogniser = made.get();
                                return made;
                            },
                            false};

    ListenRig()
    {
        // A microphone's own hiss, 60 dB under full scale.
        std::uint32_t noise = 7;
        for (float& sample : microphone) {
            noise = noise * 1664525 + 1013904223;
            sample = float((double(noise >> 8) / (1 << 24) - 0.5) * 0.002);
        }
        clock.at = SteadyTime{};
        output.heardAfter = kHeardAfter;
        output.available = false;
        sheet.follow(session);
        session.engine().choosePractice();
    }
    SteadyTime heard(int digit) const { return SteadyTime(std::chrono::milliseconds(timer.interval() * (digit + 1))) + kHeardAfter; }
    static long long frameOf(SteadyTime time) { return std::llround(std::chrono::duration<double>(time.time_since_epoch()).count() * kRate); }
    // A tone of the sum `sum` from `onset`, `ms` long, with 5 ms ramps.
    void say(int sum, SteadyTime onset, int ms = 400, double level = 0.3)
    {
        const long long from = frameOf(onset), n = ms * kRate / 1000, ramp = 5 * kRate / 1000;
        for (long long i = 0; i < n; ++i) {
            const double gain = std::min({1.0, double(i) / ramp, double(n - i) / ramp});
            microphone[std::size_t(from + i)] += float(level * gain * std::sin(2 * M_PI * ToneRecogniser::frequencyOf(sum) * i / kRate));
        }
    }
    void cough(SteadyTime onset)
    {
        std::uint32_t noise = 1;
        for (long long i = 0; i < 200 * kRate / 1000; ++i) {
            noise = noise * 1664525 + 1013904223;
            microphone[std::size_t(frameOf(onset) + i)] += float((double(noise >> 8) / (1 << 24) - 0.5) * 0.5);
        }
    }
    // The digits as they leave the speakers, 15 ms later through the room, at half their level,
    // with a reflection 30 ms after that.
    void digitsThroughARoom()
    {
        const std::span<const int> digits = digitsOf(ItemSet::Practice);
        for (std::size_t n = 0; n < digits.size(); ++n) {
            const QByteArray bytes = resourceBytes(QStringLiteral("WAVE"), digits[n]);
            WaveImage image;
            QVERIFY(WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), image));
            const long long at = frameOf(heard(int(n)) + 15ms);
            for (std::size_t f = 0; f < image.frames; ++f) {
                const float sample = float(image.samples[f * std::size_t(image.channels)]) / 32768.0f;
                microphone[std::size_t(at) + f] += 0.5f * sample;
                microphone[std::size_t(at) + f + 30 * kRate / 1000] += 0.15f * sample;
            }
        }
    }
    // The practice given and heard until `until`, 50 ms at a time (heard alone, where not `run`).
    void give(SteadyTime until, bool run = true)
    {
        // The recorder gives what the microphone heard from its start on.
        const std::size_t from = std::size_t(frameOf(recorderStarted));
        QByteArray& sound = recorder->recording.sound;
        sound.resize(qsizetype(microphone.size() - from) * 4);
        auto* samples = reinterpret_cast<std::int16_t*>(sound.data());
        for (std::size_t i = from; i < microphone.size(); ++i)
            samples[2 * (i - from)] = samples[2 * (i - from) + 1] = std::int16_t(std::clamp(microphone[i], -1.0f, 1.0f) * 32767);
        if (run)
            session.engine().startOrPause();
        for (; clock.at < until; clock.at += 50ms) {
            while (session.engine().isRunning() && timer.dueTime() + std::chrono::milliseconds(timer.interval()) <= clock.at)
                timer.tick();
            if (recorder->running)
                recorder->heardFrames = std::max(0LL, frameOf(clock.at - arrivesAfter) - frameOf(recorderStarted));
            listener.poll();
        }
    }
    const SheetAdministration& given() const { return sheet.administrations().back(); }
    SteadyTime recorderStarted{};
    // How long after its capture the sound reaches the program, unknown to it: a server that
    // buffers its capture and tells nothing of it.
    std::chrono::milliseconds arrivesAfter{0};
};

}  // namespace

class tst_AnswerListener : public QObject {
    Q_OBJECT

private slots:
    // The practice's ten answers spoken as planned: right, wrong, nothing, a cough, a
    // self-correction, a late one within the next digit's grace, a quiet one. Each is decided
    // as planned, with its latency within 10 ms; the recordings stay for hearing
    // again and saving, and go with a new examinee.
    void aPlannedPracticeIsHeardItemByItem()
    {
        ListenRig rig;
        rig.listener.setOn(true);
        QVERIFY(rig.recorder && rig.recorder->running);
        QCOMPARE(rig.recorder->source, SoundRecorder::Source::Microphone);
        const std::vector<int> sums = SheetAdministration(ItemSet::Practice, 0).sums;
        const auto after = [&](int item, std::chrono::milliseconds latency) { return rig.heard(item + 1) + latency; };
        rig.say(sums[0], after(0, 800ms));
        rig.say(sums[1] + 1, after(1, 600ms));
        rig.cough(after(3, 700ms));
        rig.say(sums[4] + 2, after(4, 700ms), 250);
        rig.say(sums[4], after(4, 1050ms), 300);
        rig.say(sums[5], rig.heard(7) + 100ms, 200);  // late: in the grace after the next digit
        rig.say(sums[6], after(6, 1000ms));
        rig.say(sums[7], after(7, 900ms), 400, 0.02);  // 34 dB under full scale
        rig.say(sums[9], after(9, 700ms));
        rig.give(rig.heard(11) + 3s);

        const SheetAdministration& given = rig.given();
        struct Planned {
            std::optional<int> heard;
            double latency;  // ms; 0: none
            const char* flags;
        };
        const Planned plan[] = {{sums[0], 800, ""}, {sums[1] + 1, 600, ""}, {std::nullopt, 0, ""},
                                {std::nullopt, 0, "something said;unsure"}, {sums[4], 700, "self-correction"},
                                {sums[5], rig.timer.interval() + 100.0, ""}, {sums[6], 1000, ""}, {sums[7], 900, ""},
                                {std::nullopt, 0, ""}, {sums[9], 700, ""}};
        for (std::size_t item = 0; item < std::size(plan); ++item) {
            QVERIFY2(given.voice[item], qPrintable(QStringLiteral("item %1 undecided").arg(item + 1)));
            const SheetVoice& voice = *given.voice[item];
            QVERIFY2(voice.heard == plan[item].heard, qPrintable(QStringLiteral("item %1: %2").arg(item + 1).arg(voice.heard.value_or(-1))));
            QCOMPARE(voice.flags(), QString::fromLatin1(plan[item].flags));
            if (plan[item].heard)
                QVERIFY2(std::abs(*voice.latencyMs - plan[item].latency) <= 10,
                         qPrintable(QStringLiteral("item %1: %2 ms").arg(item + 1).arg(*voice.latencyMs)));
        }
        QCOMPARE(given.marks[0], SheetMark::Correct);
        QCOMPARE(given.marks[1], SheetMark::Wrong);
        QCOMPARE(given.marks[2], SheetMark::None);

        // Heard again from 300 ms before its onset to its window's end.
        QVERIFY(rig.listener.hearAgain({0, 0}).isEmpty());
        QCOMPARE(rig.replay.started.size(), std::size_t(1));
        const auto expected = ListenRig::frameOf(rig.heard(2) + RecordSheet::kGrace) - ListenRig::frameOf(after(0, 500ms));
        QVERIFY(std::abs((long long)(rig.replay.started[0].frames) - expected) <= 441);  // the onset found to 10 ms
        QVERIFY(!rig.listener.hearAgain({0, 20}).isEmpty());

        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("answers.wav"));
        QVERIFY(rig.listener.saveRecording(0, path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        WaveImage image;
        QVERIFY(WaveImage::parse(bytes.constData(), std::size_t(bytes.size()), image));
        QCOMPARE(image.channels, 1);
        QVERIFY(image.frames > std::size_t(ListenRig::frameOf(rig.heard(10))) - 4410);

        rig.sheet.clear();
        QVERIFY(!rig.listener.hasRecording(0));
        QVERIFY(!rig.listener.hearAgain({0, 0}).isEmpty());
    }

    // With speakers the microphone hears the program's own digits, two to nine of which are
    // also sums: taken out against what left the speakers, none of them is taken for a sum, nor
    // for something said, also before the echo remover has learnt the room, and also where the
    // sound reaches the program far later than it can tell (the first digit's echo places it).
    // An answer said among them is heard, its latency within 10 ms.
    void theProgramsOwnDigitsAreNotAnswers_data()
    {
        QTest::addColumn<int>("arrivesAfterMs");
        QTest::newRow("the capture's time known") << 0;
        QTest::newRow("the capture 350 ms older than it seems") << 350;
    }
    void theProgramsOwnDigitsAreNotAnswers()
    {
        QFETCH(int, arrivesAfterMs);
        ListenRig rig;
        rig.arrivesAfter = std::chrono::milliseconds(arrivesAfterMs);
        rig.listener.setOn(true);
        rig.digitsThroughARoom();
        const std::span<const int> digits = digitsOf(ItemSet::Practice);
        rig.say(digits[5] + digits[6], rig.heard(6) + 900ms);  // item 6, over no digit
        rig.give(rig.heard(11) + 3s);
        QCOMPARE(rig.given().voice[5]->heard.value_or(-1), digits[5] + digits[6]);
        // Placed by the echo, the recording leaves out the room's own 15 ms.
        const double latency = 900 - (arrivesAfterMs ? 15 : 0);
        QVERIFY2(std::abs(*rig.given().voice[5]->latencyMs - latency) <= 10, qPrintable(QString::number(*rig.given().voice[5]->latencyMs)));
        for (std::size_t item = 0; item < 10; ++item) {
            if (item == 5)
                continue;
            QVERIFY(rig.given().voice[item]);
            QVERIFY2(!rig.given().voice[item]->heard && !rig.given().voice[item]->somethingSaid,
                     qPrintable(QStringLiteral("item %1: %2").arg(item + 1).arg(rig.given().voice[item]->heard.value_or(-1))));
        }
    }

    // Before a run, what the microphone sounds like is said: silent, clipped, or in a room too
    // noisy for a voice to stand out.
    void whatTheMicrophoneHearsIsSaid_data()
    {
        QTest::addColumn<double>("level");  // of the noise, full scale 1; above 1: clipped
        QTest::addColumn<QString>("said");
        QTest::newRow("silent") << 0.0 << "The microphone is silent: check that it is plugged in and not muted.";
        QTest::newRow("its own hiss") << 0.002 << "Listening: the answers of the runs that follow are marked for you to check.";
        QTest::newRow("a noisy room") << 0.2 << "The room is too noisy for the answers to be heard: check the marks, or mark by keys.";
        QTest::newRow("far too loud") << 4.0 << "The microphone is far too loud, its sound clipped: turn its level down.";
    }
    void whatTheMicrophoneHearsIsSaid()
    {
        QFETCH(double, level);
        ListenRig rig;
        std::uint32_t noise = 3;
        for (float& sample : rig.microphone) {
            noise = noise * 1664525 + 1013904223;
            sample = float((double(noise >> 8) / (1 << 24) - 0.5) * level);
        }
        rig.listener.setOn(true);
        rig.give(SteadyTime(5s), false);
        QTEST(rig.listener.state(), "said");
    }

    // Listen turned on in a pause of a run begun without it: the rest of the run is heard, what
    // came before is left to the keys. Turned off and on again in a run, it says that the rest of
    // that run goes unheard, rather than seem to listen.
    void listenTurnedOnOrOffInARun()
    {
        ListenRig late;
        const std::vector<int> sums = SheetAdministration(ItemSet::Practice, 0).sums;
        late.say(sums[1], late.heard(2) + 600ms);
        late.say(sums[6], late.heard(7) + 600ms);
        late.session.engine().startOrPause();
        for (int digit = 0; digit < 4; ++digit)
            late.timer.tick();
        late.session.engine().startOrPause();  // paused after digit 4
        late.clock.at = late.recorderStarted = late.heard(3) + 2s;
        late.listener.setOn(true);
        late.give(late.heard(11) + 3s);  // goes on from here
        QVERIFY(!late.given().voice[1]);
        QCOMPARE(late.given().voice[6]->heard, sums[6]);

        ListenRig again;
        again.listener.setOn(true);
        again.give(again.heard(3));
        again.listener.setOn(false);
        again.listener.setOn(true);
        again.give(again.heard(5), false);
        QVERIFY2(again.listener.state().startsWith(QLatin1String("Listen was off during this run")), qPrintable(again.listener.state()));
    }

    // A microphone gone mid-run leaves the marks made and says what happened; a recogniser that
    // cannot be had leaves the sheet to the keys, and says why.
    void aMicrophoneGoneOrNoRecogniserIsSaid()
    {
        ListenRig gone;
        gone.listener.setOn(true);
        const std::vector<int> sums = SheetAdministration(ItemSet::Practice, 0).sums;
        gone.say(sums[0], gone.heard(1) + 700ms);
        gone.give(gone.heard(3));
        gone.recorder->running = false;
        gone.give(gone.heard(11) + 3s);
        QCOMPARE(gone.given().voice[0]->heard, sums[0]);
        QVERIFY(!gone.given().voice[5]);
        QVERIFY2(gone.listener.state().contains(QLatin1String("stopped sending sound during the run")), qPrintable(gone.listener.state()));

        ListenRig none;
        none.recogniserProblem = QStringLiteral("The speech recogniser's model is not installed.");
        none.listener.setOn(true);
        QVERIFY(!none.recorder);
        QCOMPARE(none.listener.state(), QStringLiteral("The speech recogniser's model is not installed. The answers are marked by keys alone."));
    }
};

QTEST_GUILESS_MAIN(tst_AnswerListener)
#include "tst_answerlistener.moc"
