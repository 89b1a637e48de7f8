// The bundle's descriptions read back through lilv, as hosts read them:
// units, and presets that are exactly the VST library's factory programs.
#include "lv2/Lv2Support.h"

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace lv2test {
namespace {

using Values = std::map<std::string, double>;  // port symbol -> value

class Lv2Description : public ::testing::Test {
protected:
    void SetUp() override {
        world = lilv_world_new();
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, (bundlePath() + "/").c_str());
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
    }
    void TearDown() override {
        for (LilvNode* node : nodes) lilv_node_free(node);
        lilv_world_free(world);
    }
    LilvNode* uri(const std::string& text) { return nodes.emplace_back(lilv_new_uri(world, text.c_str())); }
    const LilvPlugin* plugin(const char* text) {
        return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri(text));
    }

    // The presets of a plug-in by label.
    std::map<std::string, Values> presets(const LilvPlugin* p) {
        std::map<std::string, Values> result;
        LilvNodes* related = lilv_plugin_get_related(p, uri("http://lv2plug.in/ns/ext/presets#Preset"));
        LILV_FOREACH (nodes, i, related) {
            const LilvNode* preset = lilv_nodes_get(related, i);
            lilv_world_load_resource(world, preset);
            LilvNode* label = lilv_world_get(world, preset, uri("http://www.w3.org/2000/01/rdf-schema#label"), nullptr);
            LilvState* state = lilv_state_new_from_world(world, &map, preset);
            if (label && state) {
                Values& values = result[lilv_node_as_string(label)];
                lilv_state_emit_port_values(
                    state,
                    [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
                        if (size == sizeof(float))
                            (*static_cast<Values*>(data))[symbol] = *static_cast<const float*>(value);
                    },
                    &values);
            }
            lilv_state_free(state);
            lilv_node_free(label);
        }
        lilv_nodes_free(related);
        return result;
    }

    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* text) {
        auto* uris = static_cast<std::vector<std::string>*>(handle);
        for (size_t i = 0; i < uris->size(); ++i)
            if ((*uris)[i] == text) return static_cast<LV2_URID>(i + 1);
        uris->emplace_back(text);
        return static_cast<LV2_URID>(uris->size());
    }

    LilvWorld* world = nullptr;
    std::vector<LilvNode*> nodes;
    std::vector<std::string> mapped;
    LV2_URID_Map map{&mapped, &Lv2Description::mapUri};
};

TEST_F(Lv2Description, ControlsCarryTheirUnits) {
    const char* units[] = {"db", "hz", "pc"};
    for (const char* text : {kStereoUri, kMonoUri}) {
        SCOPED_TRACE(text);
        const LilvPlugin* p = plugin(text);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(lilv_plugin_verify(p));
        for (uint32_t index = 0; index < 3; ++index) {
            const LilvPort* port = lilv_plugin_get_port_by_index(p, index);
            ASSERT_NE(port, nullptr);
            LilvNodes* unit = lilv_port_get_value(p, port, uri("http://lv2plug.in/ns/extensions/units#unit"));
            ASSERT_EQ(lilv_nodes_size(unit), 1u) << index;
            EXPECT_EQ(std::string(lilv_node_as_uri(lilv_nodes_get_first(unit))),
                      std::string("http://lv2plug.in/ns/extensions/units#") + units[index]);
            lilv_nodes_free(unit);
        }
    }
}

TEST_F(Lv2Description, PresetsAreTheFactoryProgramsOfTheVstLibrary) {
    // The programs the VST library was given by its embedded preset file,
    // with the values its parameter displays show.
    std::map<std::string, Values> programs;
    qtest::PluginHost host;
    ASSERT_NE(host.create(), nullptr);
    const char* symbols[] = {"gain", "cut_off", "res"};
    for (int p = 0; p < 10; ++p) {
        host.dispatch(effSetProgram, 0, p);
        const std::string name = host.dispatchString(effGetProgramName);
        if (name == "Defaults") continue;
        for (int i = 0; i < 3; ++i) programs[name][symbols[i]] = std::atof(host.dispatchString(effGetParamDisplay, i).c_str());
    }
    ASSERT_EQ(programs.size(), 3u);
    ASSERT_EQ(programs.count("Res High"), 1u);
    EXPECT_EQ(programs["Res High"]["cut_off"], 900.0);

    for (const char* text : {kStereoUri, kMonoUri}) {
        SCOPED_TRACE(text);
        const LilvPlugin* p = plugin(text);
        ASSERT_NE(p, nullptr);
        const auto found = presets(p);
        ASSERT_EQ(found.size(), programs.size());
        for (const auto& [name, values] : programs) {
            ASSERT_EQ(found.count(name), 1u) << name;
            for (const auto& [symbol, value] : values)
                EXPECT_DOUBLE_EQ(found.at(name).at(symbol), value) << name << " " << symbol;
        }
    }
}

// lilv finds, loads and runs the binary the manifest names: in the 32-bit
// build the only third-party LV2 host code here that can load it.
TEST_F(Lv2Description, LilvRunsTheBinaryTheManifestNames) {
    for (const char* text : {kStereoUri, kMonoUri}) {
        SCOPED_TRACE(text);
        const LilvPlugin* p = plugin(text);
        ASSERT_NE(p, nullptr);
        char* library = lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_library_uri(p)), nullptr);
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(std::string(library), binaryPath());
        lilv_free(library);
        LilvInstance* instance = lilv_plugin_instantiate(p, 44100.0, nullptr);
        ASSERT_NE(instance, nullptr);
        const uint32_t channels = lilv_plugin_get_num_ports(p) == kFirstAudio + 4 ? 2 : 1;
        float controls[kFirstAudio] = {-6.0f, 20.0f, 0.0f, 1.0f, 0.0f, -1.0f};
        for (uint32_t port = 0; port < kFirstAudio; ++port) lilv_instance_connect_port(instance, port, &controls[port]);
        Channels in = tones(static_cast<int>(channels), 4410, 44100.0, {{1000.0, 0.5}}), out = in;
        for (uint32_t c = 0; c < channels; ++c) {
            lilv_instance_connect_port(instance, kFirstAudio + c, in[c].data());
            lilv_instance_connect_port(instance, kFirstAudio + channels + c, out[c].data());
        }
        lilv_instance_activate(instance);
        lilv_instance_run(instance, 4410);
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
        float largest = 0.0f;
        for (uint32_t c = 0; c < channels; ++c) {
            EXPECT_NEAR(toDb(amplitudeAt(out[c], 44100.0, 1000.0, 441, 4410) / 0.5), -6.0, 0.05);
            for (float x : out[c]) largest = std::max(largest, std::fabs(x));
        }
        EXPECT_NEAR(controls[kPeak], toDb(largest), 1e-3);
        EXPECT_EQ(controls[kLatency], 0.0f);
    }
}

}  // namespace
}  // namespace lv2test
