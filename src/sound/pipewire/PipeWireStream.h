#pragma once

#include "sound/pipewire/PipeWireClient.h"

#include <pipewire/stream.h>

#include <atomic>
#include <functional>

// One PipeWire stream of 16-bit samples at kSampleRate, on a connection of its own, from its making to its end:
// open() connects to the server, makes the stream, connects it and waits until it flows; close()
// ends the stream, then the connection. Its owner is told of each turn through `Events`, each
// given the owner's `data`, with the client's loop locked (process excepted). The owner holds
// it as its last member, so that it closes, on destruction at the latest, while all its events
// use is still there.
class PipeWireStream {
public:
    struct Events {
        void (*process)(void* data);    // on the graph's thread, once a cycle
        void (*made)(void* data);       // the stream made, not yet connected; may be null
        bool (*connected)(void* data);  // before the wait for the flow; false fails it; may be null
        void (*closing)(void* data);    // before the stream goes; may be null
    };

    PipeWireStream(const Events& events, void* data);
    ~PipeWireStream();
    PipeWireStream(const PipeWireStream&) = delete;
    PipeWireStream& operator=(const PipeWireStream&) = delete;

    // Connects on a loop thread named `threadName` and makes the stream `name` with `props`
    // (taken in any case), which plays (`output`) or records `channels` channels at kSampleRate: front
    // left and right, then rear left and right where there are four. The session manager links it
    // to the default device of its direction unless `props` say otherwise. True once it flows;
    // false, with nothing left running, where no server answers, the stream cannot be made or
    // connected, `connected` says no, the stream fails, or it does not flow within two seconds.
    bool open(const char* threadName, const char* name, pw_properties* props, bool output, int channels);
    void close();

    bool isOpen() const { return stream_ != nullptr; }
    // Whether the server says it flows.
    bool streaming() const { return state_.load() == PW_STREAM_STATE_STREAMING; }
    // For the owner's calls on the stream: in its events, or with the loop locked.
    pw_stream* stream() const { return stream_; }
    const PipeWireClient& client() const { return client_; }
    // With the loop locked: waits, at most two seconds, until `done` holds, looked at again
    // whenever the loop is signalled. False where the stream fails or the time runs out first.
    bool waitUntil(const std::function<bool()>& done);

private:
    static void stateChanged(void* data, pw_stream_state old, pw_stream_state state, const char* error);
    static void process(void* data);
    static const pw_stream_events kEvents;

    bool connect16(bool output, int channels);

    const Events events_;
    void* const data_;
    PipeWireClient client_;
    pw_stream* stream_ = nullptr;
    spa_hook hook_{};
    std::atomic<int> state_{PW_STREAM_STATE_UNCONNECTED};
};
