// Writes the bundle's descriptions from the effect itself, so that the
// ports' names, units, ranges and defaults and the presets are those of the
// parameters and of the embedded preset file:
//   qolm-lv2-ttl <bundle folder> <binary file name>
// writes manifest.ttl (naming that binary), Qolm.ttl and presets.ttl.
#include "framework/ZEffect.h"
#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"
#include "host/AudioEffect.h"
#include "host/PluginFactory.h"
#include "lv2/Lv2Ports.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace qolm_lv2;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

// A Turtle decimal: always with a point, so that it reads as a number of
// the same type whatever the value.
std::string decimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string s = text;
    while (s.size() > 1 && s.back() == '0' && s[s.size() - 2] != '.') s.pop_back();
    if (s == "-0.0") s = "0.0";
    return s;
}

// "Cut Off" -> "cut_off"; "All Pass" -> "all-pass" with '-' as separator.
std::string symbolOf(const char* name, char separator) {
    std::string s;
    for (const char* p = name; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (std::isalnum(c))
            s += static_cast<char>(std::tolower(c));
        else if (!s.empty() && s.back() != separator)
            s += separator;
    }
    while (!s.empty() && s.back() == separator) s.pop_back();
    if (s.empty() || std::isdigit(static_cast<unsigned char>(s[0]))) s = "p" + s;
    return s;
}

std::string quoted(const char* text) {
    std::string s = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\') s += '\\';
        s += *p;
    }
    return s + "\"";
}

const char* unitOf(const char* unit) {
    if (std::strcmp(unit, "dB") == 0) return "units:db";
    if (std::strcmp(unit, "Hz") == 0) return "units:hz";
    if (std::strcmp(unit, "%") == 0) return "units:pc";
    return nullptr;
}

const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

struct PluginShape {
    const char* uri;
    const char* name;
    uint32_t channels;
};
const PluginShape kPlugins[] = {{kStereoUri, "Qolm", 2}, {kMonoUri, "Qolm Mono", 1}};

void writePorts(std::ostream& out, const VRAX::ZEffect& effect, uint32_t channels) {
    out << "  lv2:port [\n";
    for (uint32_t i = 0; i < kParameterPorts; ++i) {
        const VRAX::ZEffectParameter* p = effect.getParameterObject(static_cast<int32_t>(i));
        out << "    a lv2:InputPort, lv2:ControlPort ;\n    lv2:index " << i << " ;\n"
            << "    lv2:symbol " << quoted(symbolOf(p->getName(), '_').c_str()) << " ;\n"
            << "    lv2:name " << quoted(p->getName()) << " ;\n"
            << "    lv2:default " << decimal(p->toReal(p->getDefault())) << " ;\n"
            << "    lv2:minimum " << decimal(p->getMinimum()) << " ;\n"
            << "    lv2:maximum " << decimal(p->getMaximum());
        if (const char* unit = unitOf(p->getUnit())) out << " ;\n    units:unit " << unit;
        if (dynamic_cast<const VRAX::ZLogRangeParam*>(p)) out << " ;\n    lv2:portProperty pprops:logarithmic";
        if (const auto* range = dynamic_cast<const VRAX::ZRangeParam*>(p); range && range->getSteps() > 0)
            out << " ;\n    pprops:rangeSteps " << range->getSteps() + 1;
        out << "\n  ] , [\n";
    }
    out << "    a lv2:InputPort, lv2:ControlPort ;\n    lv2:index " << kEnabledPort << " ;\n"
        << "    lv2:symbol \"enabled\" ;\n    lv2:name \"Enabled\" ;\n    lv2:designation lv2:enabled ;\n"
        << "    lv2:portProperty lv2:toggled, lv2:integer ;\n"
        << "    lv2:default 1 ;\n    lv2:minimum 0 ;\n    lv2:maximum 1\n  ] , [\n"
        << "    a lv2:OutputPort, lv2:ControlPort ;\n    lv2:index " << kPeakPort << " ;\n"
        << "    lv2:symbol \"peak\" ;\n    lv2:name \"Peak\" ;\n"
        << "    lv2:default " << decimal(kPeakFloorDb) << " ;\n    lv2:minimum " << decimal(kPeakFloorDb)
        << " ;\n    lv2:maximum " << decimal(kPeakCeilingDb) << " ;\n    units:unit units:db ;\n"
        << "    lv2:portProperty lv2:connectionOptional\n  ] , [\n"
        << "    a lv2:OutputPort, lv2:ControlPort ;\n    lv2:index " << kLatencyPort << " ;\n"
        << "    lv2:symbol \"latency\" ;\n    lv2:name \"Latency\" ;\n    lv2:designation lv2:latency ;\n"
        << "    lv2:portProperty lv2:reportsLatency, lv2:integer, lv2:connectionOptional ;\n"
        << "    lv2:default 0 ;\n    lv2:minimum 0 ;\n    lv2:maximum 0 ;\n    units:unit units:frame\n";
    const char* sides[2] = {"left", "right"};
    for (int direction = 0; direction < 2; ++direction) {
        for (uint32_t c = 0; c < channels; ++c) {
            const bool input = direction == 0;
            const uint32_t index = input ? audioInputPort(c) : audioOutputPort(channels, c);
            std::string symbol = input ? "in" : "out";
            std::string name = input ? "In" : "Out";
            if (channels == 2) {
                symbol += std::string("_") + sides[c];
                name += c == 0 ? " Left" : " Right";
            }
            out << "  ] , [\n    a lv2:" << (input ? "InputPort" : "OutputPort") << ", lv2:AudioPort ;\n"
                << "    lv2:index " << index << " ;\n    lv2:symbol \"" << symbol << "\" ;\n"
                << "    lv2:name \"" << name << "\"\n";
        }
    }
    out << "  ] .\n";
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <bundle folder> <binary file name>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const std::string binary = argv[2];
    AudioEffect* object = createEffectInstance(&quietHost);
    auto* effect = dynamic_cast<VRAX::ZEffect*>(object);
    if (!effect || effect->getNumParams() != static_cast<VstInt32>(kParameterPorts)) {
        std::fprintf(stderr, "the effect does not fit the port layout\n");
        return 1;
    }

    // The factory programs: those the embedded preset file named.
    const VRAX::ProgramBank& bank = effect->getPrograms();
    std::ostringstream manifest, plugins, presets;
    manifest << kPrefixes;
    plugins << kPrefixes;
    presets << kPrefixes;
    for (const PluginShape& shape : kPlugins) {
        manifest << "<" << shape.uri << ">\n  a lv2:Plugin ;\n  lv2:binary <" << binary << "> ;\n"
                 << "  rdfs:seeAlso <Qolm.ttl> .\n\n";
        plugins << "<" << shape.uri << ">\n  a lv2:Plugin, lv2:HighpassPlugin ;\n"
                << "  doap:name " << quoted(shape.name) << " ;\n"
                << "  doap:maintainer [ foaf:name " << quoted(effect->vendorNameText()) << " ] ;\n"
                << "  lv2:optionalFeature lv2:hardRTCapable ;\n"
                << "  ui:ui <" << kUiUri << "> ;\n";
        writePorts(plugins, *effect, shape.channels);
        plugins << "\n";
        for (int32_t p = 0; p < bank.getNumPrograms(); ++p) {
            const char* name = bank.programName(p);
            if (!name || std::strcmp(name, "Defaults") == 0) continue;
            const std::string uri = std::string(shape.uri) + "#preset-" + symbolOf(name, '-');
            manifest << "<" << uri << ">\n  a pset:Preset ;\n  lv2:appliesTo <" << shape.uri << "> ;\n"
                     << "  rdfs:seeAlso <presets.ttl> .\n\n";
            presets << "<" << uri << ">\n  a pset:Preset ;\n  lv2:appliesTo <" << shape.uri << "> ;\n"
                    << "  rdfs:label " << quoted(name);
            for (uint32_t i = 0; i < kParameterPorts; ++i) {
                const VRAX::ZEffectParameter* parameter = effect->getParameterObject(static_cast<int32_t>(i));
                presets << " ;\n  lv2:port [\n    lv2:symbol "
                        << quoted(symbolOf(parameter->getName(), '_').c_str()) << " ;\n    pset:value "
                        << decimal(parameter->getReal(bank.valueAddress(p, static_cast<int32_t>(i)))) << "\n  ]";
            }
            presets << " .\n\n";
        }
    }
    manifest << "<" << kUiUri << ">\n  a ui:X11UI ;\n  ui:binary <" << binary << "> ;\n"
             << "  lv2:requiredFeature ui:idleInterface, ui:parent, <http://lv2plug.in/ns/ext/instance-access> ;\n"
             << "  lv2:optionalFeature ui:resize, ui:touch, ui:noUserResize ;\n"
             << "  lv2:extensionData ui:idleInterface .\n";

    AEffect* record = object->getAeffect();
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    const bool written = writeFile(folder + "/manifest.ttl", manifest.str()) &&
                         writeFile(folder + "/Qolm.ttl", plugins.str()) &&
                         writeFile(folder + "/presets.ttl", presets.str());
    if (!written) {
        std::fprintf(stderr, "cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
