#include "sound/pipewire/PipeWireGraph.h"

#include "sound/StereoPair.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

std::string text(const spa_dict* props, const char* key)
{
    const char* value = props ? spa_dict_lookup(props, key) : nullptr;
    return value ? value : "";
}

}  // namespace

const pw_registry_events PipeWireGraph::kRegistryEvents = [] {
    pw_registry_events events{};
    events.version = PW_VERSION_REGISTRY_EVENTS;
    events.global = &PipeWireGraph::global;
    events.global_remove = &PipeWireGraph::globalRemove;
    return events;
}();

const pw_metadata_events PipeWireGraph::kMetadataEvents = [] {
    pw_metadata_events events{};
    events.version = PW_VERSION_METADATA_EVENTS;
    events.property = &PipeWireGraph::property;
    return events;
}();

void PipeWireGraph::global(void* data, std::uint32_t id, std::uint32_t, const char* type, std::uint32_t,
                           const spa_dict* props)
{
    static_cast<PipeWireGraph*>(data)->addGlobal(id, type, props);
}

void PipeWireGraph::globalRemove(void* data, std::uint32_t id)
{
    static_cast<PipeWireGraph*>(data)->removeGlobal(id);
}

int PipeWireGraph::property(void* data, std::uint32_t subject, const char* key, const char*, const char* value)
{
    if (subject == PW_ID_CORE && key)
        static_cast<PipeWireGraph*>(data)->setDefault(key, value);
    return 0;
}

PipeWireGraph::PipeWireGraph(pw_thread_loop* loop, pw_core* core) : loop_(loop), core_(core)
{
    registry_ = pw_core_get_registry(core_, PW_VERSION_REGISTRY, 0);
    if (registry_)
        pw_registry_add_listener(registry_, &registryHook_, &kRegistryEvents, this);
}

PipeWireGraph::~PipeWireGraph()
{
    for (pw_proxy* link : links_)
        pw_proxy_destroy(link);
    if (metadata_) {
        spa_hook_remove(&metadataHook_);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(metadata_));
    }
    if (registry_) {
        spa_hook_remove(&registryHook_);
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(registry_));
    }
}

void PipeWireGraph::addGlobal(std::uint32_t id, const char* type, const spa_dict* props)
{
    if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
        nodeNames_[id] = text(props, PW_KEY_NODE_NAME);
    } else if (std::strcmp(type, PW_TYPE_INTERFACE_Port) == 0) {
        Port port;
        port.id = id;
        port.node = std::uint32_t(std::strtoul(text(props, PW_KEY_NODE_ID).c_str(), nullptr, 10));
        port.output = text(props, PW_KEY_PORT_DIRECTION) == "out";
        port.channel = text(props, PW_KEY_AUDIO_CHANNEL);
        ports_[id] = port;
    } else if (std::strcmp(type, PW_TYPE_INTERFACE_Metadata) == 0 && !metadata_
               && text(props, PW_KEY_METADATA_NAME) == "default") {
        metadata_ = static_cast<pw_metadata*>(pw_registry_bind(registry_, id, type, PW_VERSION_METADATA, 0));
        if (metadata_)
            pw_metadata_add_listener(metadata_, &metadataHook_, &kMetadataEvents, this);
    }
    pw_thread_loop_signal(loop_, false);
}

void PipeWireGraph::removeGlobal(std::uint32_t id)
{
    nodeNames_.erase(id);
    ports_.erase(id);
    pw_thread_loop_signal(loop_, false);
}

// The session manager names each default as {"name": "<node name>"}.
void PipeWireGraph::setDefault(const char* key, const char* value)
{
    const bool sink = std::strcmp(key, "default.audio.sink") == 0;
    if (!sink && std::strcmp(key, "default.audio.source") != 0)
        return;
    const QJsonObject object = QJsonDocument::fromJson(QByteArray(value ? value : "")).object();
    (sink ? defaultSink_ : defaultSource_) = object.value(QLatin1String("name")).toString().toStdString();
    pw_thread_loop_signal(loop_, false);
}

std::uint32_t PipeWireGraph::defaultNode(bool sink) const
{
    const std::string& name = sink ? defaultSink_ : defaultSource_;
    const auto found = std::find_if(nodeNames_.begin(), nodeNames_.end(),
                                    [&](const auto& node) { return !name.empty() && node.second == name; });
    return found == nodeNames_.end() ? 0 : found->first;
}

std::vector<PipeWireGraph::Port> PipeWireGraph::ports(std::uint32_t node, bool output) const
{
    std::vector<Port> found;
    for (const auto& [id, port] : ports_)
        if (port.node == node && port.output == output)
            found.push_back(port);
    return found;
}

std::vector<PipeWireGraph::Port> PipeWireGraph::stereoOutputs(std::uint32_t node) const
{
    const std::vector<Port> outputs = ports(node, true);
    std::vector<std::string> channels;
    for (const Port& port : outputs)
        channels.push_back(port.channel);
    const auto [left, right] = stereoPair(channels);
    if (left < 0)
        return {};
    return {outputs[std::size_t(left)], outputs[std::size_t(right)]};
}

bool PipeWireGraph::link(const Port& from, const Port& to)
{
    pw_properties* props = pw_properties_new(nullptr, nullptr);
    pw_properties_setf(props, PW_KEY_LINK_OUTPUT_NODE, "%u", from.node);
    pw_properties_setf(props, PW_KEY_LINK_OUTPUT_PORT, "%u", from.id);
    pw_properties_setf(props, PW_KEY_LINK_INPUT_NODE, "%u", to.node);
    pw_properties_setf(props, PW_KEY_LINK_INPUT_PORT, "%u", to.id);
    auto* link = static_cast<pw_proxy*>(
        pw_core_create_object(core_, "link-factory", PW_TYPE_INTERFACE_Link, PW_VERSION_LINK, &props->dict, 0));
    pw_properties_free(props);
    if (!link)
        return false;
    links_.push_back(link);
    return true;
}
