// Whether a native PipeWire stream can tell when the server held its sound back: plays a short
// tone every 1.2 s (by its own frame count) through a pw_stream, records the sink, stops the
// server's process for 300 ms halfway, and prints beside each other what the recording shows
// (each tone's distance from its grid) and what the stream's time reports showed (steps in the
// graph position against the frames written, and in the graph position against the clock).
//
//   pipewire_time [--stop-ms N]
//
// Runs against the private PipeWire server of `make bench` (tests/sound/with-private-pipewire.sh).
#include "SinkRecorder.h"

#include <QCoreApplication>
#include <QThread>
#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr std::int64_t kPace = kRate * 12 / 10;
constexpr std::int64_t kTone = kRate / 50;  // 20 ms
constexpr int kTones = 10;

struct Report {
    std::int64_t now;      // ns, monotonic
    std::uint64_t ticks;   // graph position, samples
    std::int64_t delay;    // samples
    std::uint64_t queued;  // bytes
    std::int64_t written;  // frames written before this buffer
    double tickSeconds;    // the length of a tick
    std::uint64_t buffered;  // frames in the resampler
};

struct Probe {
    pw_thread_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    std::int64_t written = 0;
    std::vector<Report> reports = std::vector<Report>(20000);
    std::atomic<std::size_t> count{0};
};

void onProcess(void* data)
{
    auto& p = *static_cast<Probe*>(data);
    pw_buffer* b = pw_stream_dequeue_buffer(p.stream);
    if (!b)
        return;
    spa_buffer* buf = b->buffer;
    auto* out = static_cast<std::int16_t*>(buf->datas[0].data);
    if (!out)
        return;
    const std::uint32_t frames = std::min<std::uint32_t>(buf->datas[0].maxsize / 4, b->requested ? b->requested : 1024);
    pw_time t{};
    pw_stream_get_time_n(p.stream, &t, sizeof t);
    const std::size_t n = p.count.load();
    if (n < p.reports.size()) {
        p.reports[n] = {t.now, t.ticks, t.delay, t.queued, p.written,
                        t.rate.denom ? double(t.rate.num) / t.rate.denom : 0, t.buffered};
        p.count.store(n + 1);
    }
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::int64_t f = p.written + i;
        const std::int64_t at = f % kPace;
        const bool tone = f >= kPace && f < kPace * (kTones + 1) && at < kTone;
        const std::int16_t v = tone ? std::int16_t(12000 * std::sin(2 * M_PI * 1000.0 * double(at) / kRate)) : 0;
        out[2 * i] = out[2 * i + 1] = v;
    }
    p.written += frames;
    buf->datas[0].chunk->offset = 0;
    buf->datas[0].chunk->stride = 4;
    buf->datas[0].chunk->size = frames * 4;
    pw_stream_queue_buffer(p.stream, b);
}

const pw_stream_events kEvents = {PW_VERSION_STREAM_EVENTS, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, onProcess, nullptr, nullptr, nullptr};

// Onsets of the tones in a recording: the first loud sample after 100 ms of quiet.
std::vector<std::int64_t> onsets(const QByteArray& stereo16)
{
    const auto* s = reinterpret_cast<const std::int16_t*>(stereo16.constData());
    std::vector<std::int64_t> found;
    std::int64_t quietSince = 0;
    for (std::int64_t i = 0; i < stereo16.size() / 4; ++i) {
        if (std::abs(int(s[2 * i])) > 1500) {
            if (i - quietSince > kRate / 10)
                found.push_back(i);
            quietSince = i;
        }
    }
    return found;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--stop-ms"));
    const int stopMs = at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : 300;
    const pid_t server = pid_t(qEnvironmentVariableIntValue("OVREL_SERVER_PID"));
    if (!soundServerName().startsWith(QLatin1String("pipewire")) || server <= 0) {
        std::fprintf(stderr, "run inside tests/sound/with-private-pipewire.sh\n");
        return 2;
    }
    pw_init(&argc, &argv);
    Probe p;
    p.loop = pw_thread_loop_new("probe", nullptr);
    p.stream = pw_stream_new_simple(pw_thread_loop_get_loop(p.loop), "ovrel-time-probe",
                                    pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback",
                                                      PW_KEY_MEDIA_ROLE, "Music", "node.force-quantum", "1024", nullptr),
                                    &kEvents, &p);
    std::uint8_t buffer[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_audio_info_raw info{};
    info.format = SPA_AUDIO_FORMAT_S16;
    info.rate = kRate;
    info.channels = 2;
    const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
    SinkRecorder recorder;
    if (!recorder.start())
        return 1;
    pw_stream_connect(p.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                      pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS), params, 1);
    pw_thread_loop_start(p.loop);
    // Halfway: between the fifth and sixth tones, by the stream's own frames.
    while (p.written < kPace * 5 + kPace / 2)
        QThread::msleep(5);
    ::kill(server, SIGSTOP);
    QThread::msleep(std::uint64_t(stopMs));
    ::kill(server, SIGCONT);
    while (p.written < kPace * (kTones + 2))
        QThread::msleep(20);
    QThread::msleep(800);
    pw_thread_loop_lock(p.loop);
    pw_stream_destroy(p.stream);
    pw_thread_loop_unlock(p.loop);
    pw_thread_loop_stop(p.loop);
    const QByteArray recording = recorder.stop();

    std::printf("PipeWire stream time reports, server stopped %d ms between tones 5 and 6\n", stopMs);
    const auto tones = onsets(recording);
    std::printf("recording: %zu tones; distance from the grid of the first, ms:", tones.size());
    for (std::size_t i = 0; i < tones.size(); ++i)
        std::printf(" %.1f", double(tones[i] - tones[0] - std::int64_t(i) * kPace) * 1000 / kRate);
    std::printf("\n");
    const std::size_t n = p.count.load();
    double lastGraph = NAN, lastClock = NAN;
    int steps = 0;
    for (std::size_t i = 1; i < n; ++i) {
        const Report& r = p.reports[i];
        // Where the graph is against what this stream wrote: a step is sound held back or dropped.
        const double graph = (double(r.ticks) + double(r.delay)) * r.tickSeconds * kRate + double(r.queued) / 4
                             + double(r.buffered) - double(r.written);
        // Where the graph is against the clock: a step is a cycle that did not run on time.
        const double clock = double(r.ticks) * r.tickSeconds * kRate - double(r.now) * kRate / 1e9;
        if (!std::isnan(lastGraph) && (std::fabs(graph - lastGraph) > 44 || std::fabs(clock - lastClock) > 441)) {
            std::printf("  at %.3f s (frame %lld): graph vs written %+.1f ms, graph vs clock %+.1f ms, delay %lld ticks\n",
                        double(r.now - p.reports[0].now) / 1e9, (long long)r.written, (graph - lastGraph) * 1000 / kRate,
                        (clock - lastClock) * 1000 / kRate, (long long)r.delay);
            ++steps;
        }
        lastGraph = graph;
        lastClock = clock;
    }
    std::printf("%zu time reports, %d steps\n", n, steps);
    pw_deinit();
    return 0;
}
