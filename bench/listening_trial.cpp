// The real program listening, as tst_listeningonserver starts it, on the private PulseAudio rig:
// the trial given with Listen on while a synthetic examinee answers ListeningTrial's plan (right,
// wrong, nothing, late, self-corrected, a cough, "I don't know") into the rig's microphone, per
// voice, per pace (2.4 and 1.2 s) and per what the microphone hears (RigCondition: headphones,
// speakers, speakers with noise 20 dB under the voice). One row each:
// - right: items whose heard sum is the one said last, or none where none was said; "planned":
//   that with the flags of something said and of a self-correction as well;
// - the onset error (the sheet's latency less the true one, ms): its median and the 95th
//   percentile of its size, absolute (the rig's loopback delay measured before the trial, which is
//   not the same during it: 56 to 100 ms have been seen) and around the row's own median;
// - items with nothing said heard as something (the program's own digits at the microphone);
// - the process's CPU from Start to the run's end over that wall time, in % of one core (the
//   examinee's mixing and the noise stream's feeding, in the same process, included; their pacat and
//   parec are not);
// - digits off their due place in the sink's recording by more than a sample, of 61 (a digit not
//   found whole counts as off);
// - how long after its window closed each item's decision came: median and largest, ms.
// Then the load. The voices that went into no tuning and no unit test are held out (*).
//   listening_trial [--quick] [--pace 2.4|1.2] [--voices a,b] [--condition headphones|speakers|speakers+noise]
// --quick: one row, flite-rms at 1.2 s through the speakers. Under tests/sound/with-private-pulse.sh
// with QT_QPA_PLATFORM=offscreen; needs espeak-ng, flite, festival (text2wave,
// voice_cmu_us_slt_arctic_hts) and sox. Measures; asserts nothing (make bench).
#include "ListeningTrial.h"
#include "MessageRecorder.h"
#include "ProgramEndRecorder.h"
#include "RigCondition.h"
#include "SinkRecorder.h"
#include "TempSettings.h"
#include "app/MainWindow.h"
#include "app/RealServices.h"
#include "app/Startup.h"
#include "listening/RecogniserModule.h"
#include "protocol/DigitLists.h"
#include "sound/Median.h"
#include "timingcheck/DigitLocator.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QTest>

#include <cmath>
#include <cstdio>

namespace {

struct Voice {
    const char* id;
    SynthesisedWord::Voice voice;
    bool heldOut;  // in no tuning and no unit test
};

// The festival voice is the one the program's digits were recorded in (tools/make-recordings.sh):
// through the speakers, its answers and the digits are the same speaker.
const Voice kVoices[] = {
    {"espeak-f2", {"espeak-ng en+f2", {"espeak-ng", "-v", "en+f2", "-w", "%o", "%t"}, false}, true},
    {"espeak-gb", {"espeak-ng en-gb", {"espeak-ng", "-v", "en-gb", "-w", "%o", "%t"}, false}, true},
    {"flite-rms", {"flite rms", {"flite", "-voice", "rms", "-t", "%t", "-o", "%o"}, false}, true},
    {"flite-slt", {"flite slt", {"flite", "-voice", "slt", "-t", "%t", "-o", "%o"}, false}, false},
    {"festival-slt", {"festival slt hts", {"sh", "-c", "printf '%s\\n' \"$0\" | text2wave -eval '(voice_cmu_us_slt_arctic_hts)' -o \"$1\"",
                                           "%t", "%o"}, false}, true},
};

QString load()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2) : QString();
}

// Digits in the sink's recording off their due place (the first found, then one pace each) by
// more than a sample, not found whole, or not the trial's (the sink holds the digits alone, and
// they are found by their onsets, as the end-to-end tests find them).
int offInSink(const QByteArray& sink, int paceMs)
{
    const double pace = paceMs / 1000.0 * 44100;
    const std::vector<DigitLocator::Found> found = DigitLocator().locate(sink);
    int off = std::max(0, int(kTrialDigits.size()) - int(found.size()));
    for (std::size_t n = 0; n < found.size() && n < kTrialDigits.size(); ++n)
        off += !found[n].whole() || found[n].digit != kTrialDigits[n]
                       || std::fabs(double(found[n].sample - found[0].sample) - double(n) * pace) > 1 ? 1 : 0;
    return off;
}

struct Row {
    const Voice* voice;
    int paceMs;
    RigCondition::Kind condition;
};

void giveRow(const Row& row)
{
    const auto print = [&](const QString& rest) {
        std::printf("%-13s %3.1f %-14s %s  load %s\n", qPrintable(QLatin1String(row.voice->id) + QLatin1String(row.voice->heldOut ? "*" : "")), row.paceMs / 1000.0, qPrintable(RigCondition::kNames[row.condition]),
                    qPrintable(rest), qPrintable(load()));
        std::fflush(stdout);
    };
    if (!ExamineeMouth::resetRig())
        return print(QStringLiteral("the rig could not be reset"));
    QTest::qWait(1500);  // for the new loopback's stream to run (a real server's time)
    const double rigDelayMs = ExamineeMouth::rigDelayMs();
    RigCondition condition;
    if (!std::isfinite(rigDelayMs) || !condition.set(row.condition))
        return print(QStringLiteral("the rig's delay could not be measured, or the condition not set"));
    MessageRecorder messages;
    ProgramEndRecorder exits;
    RealServices real(messages, exits);
    std::unique_ptr<QWidget> window(showMainWindow([&] { return loadMainWindow(real.services()); }, messages, exits));
    if (!window)
        return print(QStringLiteral("the program did not start"));
    ExamineeMouth::Speech speech{row.voice->voice, RigCondition::mouthSink()};
    const ListeningTrial::Given given = ListeningTrial::give(static_cast<MainWindow&>(*window), row.paceMs, true, speech, true);
    window->close();
    if (!given.fault.isEmpty())
        return print(given.fault);
    const ListeningTrial::Score score = ListeningTrial::score(given, row.paceMs, rigDelayMs);
    std::vector<double> absolute, around;
    const double offset = median(score.errors);
    for (const double error : score.errors) {
        absolute.push_back(std::fabs(error));
        around.push_back(std::fabs(error - offset));
    }
    print(QStringLiteral("%1/%2 %3 | %4 %5 | %6 %7 | %8 | %9 | %10 | %11 %12")
              .arg(score.right, 2).arg(given.sums.size()).arg(score.asPlanned, 2)
              .arg(offset, 6, 'f', 1).arg(ListeningTrial::quantile(absolute, 0.95), 5, 'f', 1)
              .arg(median(around), 4, 'f', 1).arg(ListeningTrial::quantile(around, 0.95), 5, 'f', 1)
              .arg(score.fromDigits).arg(given.cpuPercent, 4, 'f', 1).arg(offInSink(given.sink, row.paceMs), 2)
              .arg(median(given.decidedAfterMs), 4, 'f', 0).arg(ListeningTrial::quantile(given.decidedAfterMs, 1), 4, 'f', 0));
    if (qEnvironmentVariableIsSet("OVREL_LISTEN_ITEMS"))
        std::printf("  rig %.1f ms, %d digits whole at the microphone (%.1f to %.1f ms off), %zu onsets compared, %d not found,"
                    " loopback x%.3f, delivery %s; missed: %s\n", rigDelayMs, score.wholeDigits, score.strayFromMs, score.strayToMs,
                    score.errors.size(), score.unknownOnsets, condition.loopbackGain(), qPrintable(given.sheet.delivery),
                    qPrintable(score.missed.join(QStringLiteral("; "))));
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const auto option = [&](const char* name, const QString& otherwise) {
        const qsizetype at = arguments.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : otherwise;
    };
    const bool quick = arguments.contains(QStringLiteral("--quick"));
    const QStringList voices = option("--voices", quick ? QStringLiteral("flite-rms") : QStringLiteral("espeak-f2,flite-rms,festival-slt"))
                                   .split(QLatin1Char(','));
    const QString pace = option("--pace", quick ? QStringLiteral("1.2") : QString());
    const QString only = option("--condition", quick ? QStringLiteral("speakers") : QString());
    if (!privateSoundServer() || soundServerName() != QLatin1String("pulseaudio") || qEnvironmentVariableIsEmpty("OVREL_RIG_MICROPHONE")) {
        std::fprintf(stderr, "run under tests/sound/with-private-pulse.sh: the rig's microphone is on its PulseAudio server alone\n");
        return 1;
    }
    QString problem;
    if (const QString missing = ExamineeMouth::missing(); !missing.isEmpty() || !RecogniserModule::make(&problem)) {
        std::fprintf(stderr, "%s\n", qPrintable(missing.isEmpty() ? problem : missing));
        return 1;
    }
    TempSettings settings;
    std::printf("listening_trial, %s; * held out of tuning and unit tests\n", qPrintable(QDate::currentDate().toString(Qt::ISODate)));
    std::printf("%-13s %-3s %-14s %s\n", "voice", "pace", "condition",
                "right planned | onset error: median p95 | around the median: median p95 | from digits | CPU % | sink digits off"
                " | decided after window: median max");
    for (const Voice& voice : kVoices)
        for (const int paceMs : {2400, 1200})
            for (int condition = RigCondition::Headphones; condition <= RigCondition::SpeakersInNoise; ++condition)
                if (voices.contains(QLatin1String(voice.id)) && (pace.isEmpty() || pace == QString::number(paceMs / 1000.0, 'f', 1))
                    && (only.isEmpty() || only == RigCondition::kNames[condition]))
                    giveRow({&voice, paceMs, RigCondition::Kind(condition)});
    return 0;
}
