#pragma once

#include <pipewire/pipewire.h>
#include <pipewire/extensions/metadata.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What a PipeWire client needs of the graph to link a stream of its own by hand: the nodes the
// session manager holds as the default sink and source, the ports of any node, and links made
// between two ports, which go when this goes. Made, used and destroyed with the client's loop
// locked; it learns of the graph on the loop's thread and signals the loop at each change, so
// that a wait on the loop sees what came.
class PipeWireGraph {
public:
    struct Port {
        std::uint32_t id = 0;
        std::uint32_t node = 0;
        bool output = false;
        std::string channel;  // "FL", "MONO", ...; empty where the port names none
    };

    PipeWireGraph(pw_thread_loop* loop, pw_core* core);
    ~PipeWireGraph();
    PipeWireGraph(const PipeWireGraph&) = delete;
    PipeWireGraph& operator=(const PipeWireGraph&) = delete;

    // The default sink's or source's node; 0 while none is known.
    std::uint32_t defaultNode(bool sink) const;
    // `node`'s ports of one direction, in the order the graph made them.
    std::vector<Port> ports(std::uint32_t node, bool output) const;
    // Two of `node`'s output ports to record as left and right (see stereoPair()); empty when it
    // has none yet.
    std::vector<Port> stereoOutputs(std::uint32_t node) const;
    // Asks for a link from `from` to `to`; false when the server cannot be asked.
    bool link(const Port& from, const Port& to);

private:
    static void global(void* data, std::uint32_t id, std::uint32_t permissions, const char* type,
                       std::uint32_t version, const spa_dict* props);
    static void globalRemove(void* data, std::uint32_t id);
    static int property(void* data, std::uint32_t subject, const char* key, const char* type, const char* value);
    static const pw_registry_events kRegistryEvents;
    static const pw_metadata_events kMetadataEvents;

    void addGlobal(std::uint32_t id, const char* type, const spa_dict* props);
    void removeGlobal(std::uint32_t id);
    void setDefault(const char* key, const char* value);

    pw_thread_loop* loop_;
    pw_core* core_;
    pw_registry* registry_ = nullptr;
    pw_metadata* metadata_ = nullptr;
    spa_hook registryHook_{};
    spa_hook metadataHook_{};
    std::map<std::uint32_t, std::string> nodeNames_;
    std::map<std::uint32_t, Port> ports_;
    std::string defaultSink_;
    std::string defaultSource_;
    std::vector<pw_proxy*> links_;
};
